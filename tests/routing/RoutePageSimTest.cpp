// The Route Table page against the simulator: first show, add, remove, refresh.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "routing/CROUTE.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using Quad = std::array<std::string, 4>;

struct RouteBoxes {
  std::string label = "office";
  Quad dest = {"10", "1", "2", "0"};
  Quad hop = {"192", "168", "1", "254"};
  Quad mask = {"255", "255", "255", "0"};
  std::string cost = "";
  std::string timeout = "";
};

class RoutePage : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.Start();
    bench.Attach(page);
  }
  void Type(const RouteBoxes& b) {
    auto& v = bench.view;
    v.SetText(IDC_ROUTE_LABEL, b.label);
    for (int i = 0; i < 4; ++i) {
      v.SetText(IDC_ROUTE_DEST1 + i, b.dest[i]);
      v.SetText(IDC_ROUTE_HOP1 + i, b.hop[i]);
      v.SetText(IDC_ROUTE_MASK1 + i, b.mask[i]);
    }
    v.SetText(IDC_ROUTE_COST, b.cost);
    v.SetText(IDC_ROUTE_TIMEOUT, b.timeout);
  }
  std::vector<std::vector<std::string>> Rows() const { return bench.view.Rows(IDC_ROUTE_LIST); }

  testing::SimBench bench;
  CROUTE page{bench.session};
};

TEST_F(RoutePage, EmptyTableAtFirstShowOffersADefaultRoute) {
  page.OnInitDialog();
  EXPECT_EQ(bench.view.lists[IDC_ROUTE_LIST].headings,
            (std::vector<std::string>{"Label", "Dest IP", "Next Hop", "Mask"}));
  EXPECT_EQ(bench.view.lists[IDC_ROUTE_LIST].widths, std::vector<int>(4, 100));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bench.view.GetText(IDC_ROUTE_DEST1 + i), "0");
    EXPECT_EQ(bench.view.GetText(IDC_ROUTE_MASK1 + i), "0");
  }
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_COST), "1");
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_TIMEOUT), "0");

  bench.view.SetText(IDC_ROUTE_LABEL, "default");
  for (int i = 0; i < 4; ++i) bench.view.SetText(IDC_ROUTE_HOP1 + i, "9");
  page.OnCommand(IDC_ROUTE_ADD);
  EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.Texts()[0];
  const auto commands = bench.Commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[commands.size() - 2], "ip route add default 0.0.0.0 9.9.9.9 0:0:0:0 1 0 \r\n");
  EXPECT_EQ(Rows(),
            (std::vector<std::vector<std::string>>{{"default", "0.0.0.0", "9.9.9.9", "0:0:0:0"}}));
  EXPECT_TRUE(bench.session.ConfigChanged);
}

TEST_F(RoutePage, FirstShowKeepsTheBoxesWhenRoutesExist) {
  bench.sim->RunCommand("ip route add lan2 10.9.0.0 10.0.0.1 ff:ff:0:0 1 0");
  page.OnInitDialog();
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_MASK1), "255");
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_DEST1), "");
  EXPECT_TRUE(Rows().empty()) << "the activation fills the list";
}

struct AddCase {
  const char* name;
  RouteBoxes boxes;
  std::string sent;     // the add line, when one goes out
  std::string message;  // the refusal otherwise
};

RouteBoxes With(void (*edit)(RouteBoxes&)) {
  RouteBoxes b;
  edit(b);
  return b;
}

TEST_F(RoutePage, AddBuildsTheCommandOrRefusesWithTheFirstFault) {
  const std::string head = "ip route add office 10.1.2.0 192.168.1.254 ";
  const std::vector<AddCase> cases = {
      {"empty cost and time-out", RouteBoxes{}, head + "ff:ff:ff:0 1 0\r\n", ""},
      {"cost and time-out given", With([](RouteBoxes& b) { b.cost = "5", b.timeout = "60"; }),
       head + "ff:ff:ff:0 5 60 \r\n", ""},
      {"mask converted", With([](RouteBoxes& b) {
         b.mask = {"255", "255", "192", "0"};
       }),
       head + "ff:ff:c0:0 1 0\r\n", ""},
      {"one empty mask box", With([](RouteBoxes& b) { b.mask[2] = ""; }),
       head + "ff:ff:ff:0 1 0\r\n", ""},
      {"bad mask box ignored when another is empty", With([](RouteBoxes& b) {
         b.mask = {"999", "", "0", "0"};
       }),
       head + "ff:ff:ff:0 1 0\r\n", ""},
      {"octets trimmed", With([](RouteBoxes& b) { b.dest[0] = " 10 "; }),
       head + "ff:ff:ff:0 1 0\r\n", ""},
      {"no label", With([](RouteBoxes& b) { b.label = ""; }), "",
       "Please make sure you have entered the Label,Destination Ip ,NextHop before you click Add"},
      {"no destination box", With([](RouteBoxes& b) { b.dest[3] = ""; }), "",
       "Please make sure you have entered the Label,Destination Ip ,NextHop before you click Add"},
      {"no next hop box", With([](RouteBoxes& b) { b.hop[0] = ""; }), "",
       "Please make sure you have entered the Label,Destination Ip ,NextHop before you click Add"},
      {"destination 1", With([](RouteBoxes& b) { b.dest[0] = "256"; }), "",
       "Error in Destination IP1 address"},
      {"destination 4", With([](RouteBoxes& b) { b.dest[3] = "-1"; }), "",
       "Error in Destination IP4 address"},
      {"destination with inner blank", With([](RouteBoxes& b) { b.dest[1] = "1 2"; }), "",
       "Error in Destination IP2 address"},
      {"next hop 2", With([](RouteBoxes& b) { b.hop[1] = "300"; }), "", "Error in GateWay field 2"},
      {"next hop 4", With([](RouteBoxes& b) { b.hop[3] = "1000"; }), "",
       "Error in GateWay field 4"},
      {"destination checked before next hop",
       With([](RouteBoxes& b) { b.dest[2] = "999", b.hop[0] = "999"; }), "",
       "Error in Destination IP3 address"},
      {"mask 1", With([](RouteBoxes& b) { b.mask[0] = "256"; }), "", "Error in NetMask field1"},
      {"mask 3", With([](RouteBoxes& b) { b.mask[2] = "0255"; }), "", "Error in NetMask field3"},
      {"cost", With([](RouteBoxes& b) { b.cost = "1a"; }), "", "Error in Cost entry."},
      {"time-out", With([](RouteBoxes& b) { b.timeout = "-5"; }), "", "Error in Timeout entry"},
      {"cost checked before time-out", With([](RouteBoxes& b) { b.cost = "x", b.timeout = "y"; }),
       "", "Error in Cost entry."},
      {"blank in label", With([](RouteBoxes& b) { b.label = "home office"; }), "",
       "The label may not contain blanks."},
      {"line end in label", With([](RouteBoxes& b) { b.label = "x\r\nip route flush"; }), "",
       "The label may hold only printable ASCII characters."},
      {"byte above ASCII in label", With([](RouteBoxes& b) { b.label = "caf\xc3\xa9"; }), "",
       "The label may hold only printable ASCII characters."},
  };
  for (const AddCase& c : cases) {
    bench.sim->RunCommand("ip route flush");
    bench.sim->ClearTranscript();
    bench.ui.messages.clear();
    bench.session.ConfigChanged = false;
    Type(c.boxes);
    page.OnCommand(IDC_ROUTE_ADD);
    if (c.message.empty()) {
      EXPECT_TRUE(bench.ui.messages.empty()) << c.name << ": " << bench.ui.Texts().at(0);
      EXPECT_EQ(bench.Commands(), (std::vector<std::string>{c.sent, "ip route\r\n"})) << c.name;
      EXPECT_EQ(Rows().size(), 1u) << c.name << ": the router took the route";
      EXPECT_TRUE(bench.session.ConfigChanged) << c.name;
    } else {
      ASSERT_EQ(bench.ui.messages.size(), 1u) << c.name;
      EXPECT_EQ(bench.ui.messages[0].text, c.message) << c.name;
      EXPECT_EQ(bench.ui.messages[0].caption, "Error") << c.name;
      EXPECT_EQ(bench.ui.messages[0].owner, bench.view.Window()) << c.name;
      EXPECT_TRUE(bench.Commands().empty()) << c.name;
      EXPECT_FALSE(bench.session.ConfigChanged) << c.name;
    }
  }
}

TEST_F(RoutePage, ConvertedMaskStaysInTheMembersWhileTheBoxesShowDecimal) {
  Type(With([](RouteBoxes& b) { b.mask = {"255", "255", "0", "0"}; }));
  page.OnAddRoute();
  EXPECT_EQ(page.Netmask.octets, (std::array<std::string, 4>{"ff", "ff", "0", "0"}));
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_MASK1), "255");
  EXPECT_EQ(bench.view.GetText(IDC_ROUTE_LABEL), "office") << "Add keeps what was typed";
}

TEST_F(RoutePage, RemoveTakesTheUpperSelectedRowByItsWholeLabel) {
  const std::string longLabel = "a-route-label-well-beyond-thirty-one-chars";
  const std::string truncatedTwin = longLabel.substr(0, 31);
  bench.sim->RunCommand("ip route add first 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  bench.sim->RunCommand("ip route add " + longLabel + " 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0");
  bench.sim->RunCommand("ip route add " + truncatedTwin + " 10.3.0.0 10.0.0.1 ff:ff:0:0 1 0");
  page.ListRoutes();
  ASSERT_EQ(Rows().size(), 3u);
  bench.view.lists[IDC_ROUTE_LIST].selected = {1, 2};
  bench.sim->ClearTranscript();

  page.OnCommand(IDC_ROUTE_REMOVE);
  EXPECT_EQ(bench.Commands(), std::vector<std::string>{"ip route delete " + longLabel + "\r\n"});
  ASSERT_EQ(Rows().size(), 2u) << "removed locally, not re-read";
  EXPECT_EQ(Rows()[1][0], truncatedTwin);
  EXPECT_TRUE(bench.session.ConfigChanged);
  const std::string listing = bench.sim->RunCommand("ip route");
  EXPECT_EQ(listing.find(longLabel), std::string::npos);
  EXPECT_NE(listing.find(truncatedTwin), std::string::npos);

  bench.view.lists[IDC_ROUTE_LIST].selected.clear();
  bench.sim->ClearTranscript();
  bench.session.ConfigChanged = false;
  page.OnCommand(IDC_ROUTE_REMOVE);
  EXPECT_TRUE(bench.Commands().empty()) << "nothing selected, nothing sent";
  EXPECT_FALSE(bench.session.ConfigChanged);
}

TEST_F(RoutePage, RemoveAllFlushesWithoutAsking) {
  bench.sim->RunCommand("ip route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  bench.sim->RunCommand("ip route add r2 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0");
  page.ListRoutes();
  ASSERT_EQ(Rows().size(), 2u);
  bench.sim->ClearTranscript();
  page.OnCommand(IDC_ROUTE_REMOVE_ALL);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(bench.Commands(), std::vector<std::string>{"ip route flush\r\n"});
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_TRUE(bench.session.ConfigChanged);

  // The next refresh finds an empty table and leaves the (already empty) list alone.
  page.OnTimer(CROUTE::kRefresh.id());
  EXPECT_TRUE(Rows().empty());
}

TEST_F(RoutePage, RefreshTimerRunsOnlyWhileActive) {
  bench.sim->RunCommand("ip route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  bench.sim->ClearTranscript();
  page.OnSetActive();
  auto lines = bench.sim->TranscriptLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"admin\r\n", "home \r\n", "ip route\r\n"}))
      << "activation logs in afresh, then lists";
  EXPECT_EQ(bench.view.timers, (std::map<int, int>{{1, 5000}}));
  EXPECT_EQ(Rows().size(), 1u);

  bench.sim->RunCommand("ip route add r2 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0");
  page.OnTimer(CROUTE::kRefresh.id());
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(bench.view.timers, (std::map<int, int>{{1, 5000}}));

  page.OnKillActive();
  EXPECT_TRUE(bench.view.timers.empty());
}

TEST_F(RoutePage, EveryActionWithoutAConnectionSaysSo) {
  bench.session.channel.DropConnection();
  const std::vector<std::pair<const char*, void (CROUTE::*)()>> actions = {
      {"listing", &CROUTE::ListRoutes},
      {"add", &CROUTE::OnAddRoute},
      {"remove", &CROUTE::OnRemoveRoute},
      {"remove all", &CROUTE::OnRemoveAllRoutes},
  };
  for (const auto& [name, action] : actions) {
    bench.ui.messages.clear();
    (page.*action)();
    ASSERT_EQ(bench.ui.messages.size(), 1u) << name;
    EXPECT_EQ(bench.ui.messages[0].text, "Winsock connection is not created") << name;
    EXPECT_EQ(bench.ui.messages[0].caption, "Error") << name;
  }
  EXPECT_FALSE(bench.session.ConfigChanged);
}

// Behind a telnet daemon's cooked terminal the echo comes at once and the answer later: the
// change's answer is read to its prompt, so that prompt cannot end the listing that follows.
TEST(RoutePageCooked, TheListingAfterAnAddShowsTheNewRoute) {
  testing::SimBench bench;
  routersim::Options options = testing::SimulatorWorld::Defaults();
  options.cookedTerminalMs = 30;
  bench.Start(&options);
  CROUTE page(bench.session);
  bench.Open(page);
  RouteBoxes boxes;
  bench.view.SetText(IDC_ROUTE_LABEL, boxes.label);
  for (int i = 0; i < 4; ++i) {
    bench.view.SetText(IDC_ROUTE_DEST1 + i, boxes.dest[i]);
    bench.view.SetText(IDC_ROUTE_HOP1 + i, boxes.hop[i]);
  }
  bench.Click(page, IDC_ROUTE_ADD);
  const auto rows = bench.view.Rows(IDC_ROUTE_LIST);
  ASSERT_EQ(rows.size(), 1u) << bench.ui.Texts().size();
  EXPECT_EQ(rows[0][0], "office");
}

TEST_F(RoutePage, DeadConnectionDoesNotHoldThePage) {
  bench.sim->Stop();
  const Millis before = bench.clock.Now();
  Type(RouteBoxes{});
  page.OnAddRoute();
  page.OnRemoveAllRoutes();
  // Each read is bounded; at most the listing's own limit per action.
  EXPECT_LT(bench.clock.Now() - before, 2 * (5000 + 5000 + 1000));
  for (const std::string& text : bench.ui.Texts())
    EXPECT_TRUE(text == "ip route Timeout" || text.rfind("Error sending", 0) == 0) << text;
}

}  // namespace
}  // namespace tarnwick
