// The SNMP page against the simulator: listing, add, remove and their limits.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "routing/CSMNP.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class SnmpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.Start();
    bench.Attach(page);
    page.OnInitDialog();
    page.OnSetActive();
    bench.sim->ClearTranscript();
  }
  void Type(int right, const std::string& community, bool authorized,
            const std::array<std::string, 4>& address = {}) {
    bench.view.SetChecked(IDC_SNMP_WRITE, right == 0);
    bench.view.SetChecked(IDC_SNMP_READ, right == 1);
    bench.view.SetText(IDC_SNMP_COMMUNITY, community);
    bench.view.SetChecked(IDC_SNMP_AUTHORIZED, authorized);
    for (int i = 0; i < 4; ++i) bench.view.SetText(page.AuthorizedIp.ids()[i], address[i]);
  }
  Rows Shown() const { return bench.view.Rows(IDC_SNMP_LIST); }
  void Select(std::set<int> rows) { bench.view.lists[IDC_SNMP_LIST].selected = rows; }

  testing::SimBench bench;
  CSMNP page{bench.session};
};

TEST_F(SnmpPage, FirstShowAndActivation) {
  EXPECT_EQ(bench.view.lists[IDC_SNMP_LIST].headings,
            (std::vector<std::string>{"Access Right", "Community", "IP Address"}));
  EXPECT_EQ(bench.view.lists[IDC_SNMP_LIST].widths, std::vector<int>(3, 133));
  EXPECT_TRUE(bench.view.IsChecked(IDC_SNMP_WRITE));
  EXPECT_FALSE(bench.view.IsChecked(IDC_SNMP_READ));
  for (int id : page.AuthorizedIp.ids()) EXPECT_FALSE(bench.view.IsEnabled(id));
  EXPECT_EQ(Shown(), (Rows{{"Write", "admin", ""}, {"Read", "public", ""}}));
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_TRUE(bench.view.timers.empty()) << "this page does not poll";
}

TEST_F(SnmpPage, AuthorizedIpEnablesTheAddressBoxesAndKeepsTheirText) {
  bench.view.SetText(IDC_SNMP_IP1, "10");
  bench.view.SetChecked(IDC_SNMP_AUTHORIZED, true);
  page.OnCommand(IDC_SNMP_AUTHORIZED);
  for (int id : page.AuthorizedIp.ids()) EXPECT_TRUE(bench.view.IsEnabled(id));
  bench.view.SetChecked(IDC_SNMP_AUTHORIZED, false);
  page.OnCommand(IDC_SNMP_AUTHORIZED);
  for (int id : page.AuthorizedIp.ids()) EXPECT_FALSE(bench.view.IsEnabled(id));
  EXPECT_EQ(bench.view.GetText(IDC_SNMP_IP1), "10");
}

TEST_F(SnmpPage, AddSendsTheEntryOrRefusesItBeforeSending) {
  const std::string address15 = "192.168.100.200";
  const std::array<std::string, 4> full = {"192", "168", "100", "200"};
  struct Case {
    const char* name;
    int right;
    std::string community;
    bool authorized;
    std::array<std::string, 4> address;
    std::string sent;     // empty: nothing may go out
    std::string message;  // expected refusal, if any
    Rows added;           // rows the listing shows beyond the two factory ones
  };
  const std::vector<Case> cases = {
      {"read without address",
       1,
       "monitor",
       false,
       {},
       "ip snmp access read monitor\r\n",
       "",
       {{"Read", "monitor", ""}}},
      {"write with address in screen order",
       0,
       "ops",
       true,
       {"192", "168", "1", "5"},
       "ip snmp access write ops 192.168.1.5\r\n",
       "",
       {{"Write", "ops", "192.168.1.5"}}},
      {"address boxes ignored while unchecked",
       0,
       "ops",
       false,
       {"999", "", "", ""},
       "ip snmp access write ops\r\n",
       "",
       {{"Write", "ops", ""}}},
      {"empty community does nothing", 0, "", true, {}, "", "", {}},
      {"an address box empty",
       0,
       "ops",
       true,
       {"192", "168", "", "5"},
       "",
       "Please set IP address in the format xxx xxx xxx xxx.",
       {}},
      {"address octet 1", 0, "ops", true, {"256", "1", "1", "1"}, "", "Error in IP address1.", {}},
      {"address octet 4", 1, "ops", true, {"1", "1", "1", "1000"}, "", "Error in IP address4.", {}},
      {"blank in community",
       0,
       "my community",
       false,
       {},
       "",
       "The community may not contain blanks.",
       {}},
      {"line end in community",
       0,
       "x\r\nip route flush",
       false,
       {},
       "",
       "The community may hold only printable ASCII characters.",
       {}},
      // The limits are those of the entry's delete line, the longer of the two.
      {"longest write community with a full address",
       0,
       std::string(23, 'w'),
       true,
       full,
       "ip snmp access write " + std::string(23, 'w') + " " + address15 + "\r\n",
       "",
       {{"Write", std::string(23, 'w'), address15}}},
      {"write community one too long with a full address",
       0,
       std::string(24, 'w'),
       true,
       full,
       "",
       "The community is too long: with this address it may hold at most 23 characters.",
       {}},
      {"longest read community without address",
       1,
       std::string(38, 'r'),
       false,
       {},
       "ip snmp access read " + std::string(38, 'r') + "\r\n",
       "",
       {{"Read", std::string(38, 'r'), ""}}},
      {"read community one too long without address",
       1,
       std::string(39, 'r'),
       false,
       {},
       "",
       "The community is too long: with no address it may hold at most 38 characters.",
       {}},
  };
  for (const Case& c : cases) {
    bench.sim->RunCommand("snmp access clear");
    bench.sim->RunCommand("ip snmp access read public");
    page.ListCommunities();
    bench.sim->ClearTranscript();
    bench.ui.messages.clear();
    bench.session.ConfigChanged = false;
    Type(c.right, c.community, c.authorized, c.address);
    page.OnCommand(IDC_SNMP_ADD);

    const auto commands = bench.Commands();
    if (c.sent.empty()) {
      EXPECT_TRUE(commands.empty()) << c.name << ": " << commands.size();
      EXPECT_FALSE(bench.session.ConfigChanged) << c.name;
      if (c.message.empty()) {
        EXPECT_TRUE(bench.ui.messages.empty()) << c.name;
      } else {
        ASSERT_EQ(bench.ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(bench.ui.messages[0].text, c.message) << c.name;
        EXPECT_EQ(bench.ui.messages[0].caption, "Error") << c.name;
      }
      continue;
    }
    EXPECT_TRUE(bench.ui.messages.empty()) << c.name << ": " << bench.ui.Texts().at(0);
    EXPECT_EQ(commands, (std::vector<std::string>{c.sent, "snmp access list\r\n"})) << c.name;
    EXPECT_LE(c.sent.size(), 63u) << c.name;
    Rows expected = {{"Write", "admin", ""}, {"Read", "public", ""}};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(Shown(), expected) << c.name;
    EXPECT_TRUE(bench.session.ConfigChanged) << c.name;
  }
}

TEST_F(SnmpPage, AddAndRemoveStartOnAFreshLogIn) {
  Type(1, "", false);
  page.OnCommand(IDC_SNMP_ADD);
  page.OnCommand(IDC_SNMP_REMOVE);  // nothing selected
  const auto lines = bench.sim->TranscriptLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("admin\r\n")), 2);
  EXPECT_TRUE(bench.Commands().empty());
}

TEST_F(SnmpPage, TheLogInCommunityCannotBeRemovedButItsOtherCaseCan) {
  bench.sim->RunCommand("ip snmp access write Admin");
  page.ListCommunities();
  ASSERT_EQ(Shown(),
            (Rows{{"Write", "admin", ""}, {"Read", "public", ""}, {"Write", "Admin", ""}}));
  bench.sim->ClearTranscript();

  Select({0});
  page.OnCommand(IDC_SNMP_REMOVE);
  ASSERT_EQ(bench.ui.messages.size(), 1u);
  EXPECT_EQ(bench.ui.messages[0].text,
            "You are trying to remove the password with which you have logged in with.\nThis "
            "action is not allowed.");
  EXPECT_EQ(bench.ui.messages[0].caption, "ERROR");
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_FALSE(bench.session.ConfigChanged);

  Select({2});
  page.OnCommand(IDC_SNMP_REMOVE);
  EXPECT_EQ(bench.Commands(),
            (std::vector<std::string>{"ip snmp access delete Admin \r\n", "snmp access list\r\n"}));
  EXPECT_EQ(Shown(), (Rows{{"Write", "admin", ""}, {"Read", "public", ""}}));
  EXPECT_TRUE(bench.session.ConfigChanged);
}

TEST_F(SnmpPage, RemoveDeletesOnlyTheUpperSelectedEntryWithItsWholeTexts) {
  const std::string longName = std::string(27, 'c');  // the delete line's longest
  bench.sim->RunCommand("ip snmp access write " + longName + " 10.20.30.40");
  bench.sim->RunCommand("ip snmp access read other");
  page.ListCommunities();
  ASSERT_EQ(Shown().size(), 4u);
  bench.sim->ClearTranscript();
  Select({2, 3});
  page.OnCommand(IDC_SNMP_REMOVE);
  EXPECT_EQ(bench.Commands(),
            (std::vector<std::string>{"ip snmp access delete " + longName + " 10.20.30.40\r\n",
                                      "snmp access list\r\n"}));
  EXPECT_EQ(Shown(), (Rows{{"Write", "admin", ""}, {"Read", "public", ""}, {"Read", "other", ""}}));
  EXPECT_TRUE(bench.view.ListSelectedRows(IDC_SNMP_LIST).empty());
}

TEST_F(SnmpPage, RemoveRefusesAnEntryWhoseDeleteLineTheRouterCouldNotTake) {
  bench.sim->RunCommand("ip snmp access write " + std::string(28, 'c') + " 10.20.30.40");
  page.ListCommunities();
  bench.sim->ClearTranscript();
  Select({2});
  page.OnCommand(IDC_SNMP_REMOVE);
  EXPECT_EQ(bench.ui.Texts(),
            std::vector<std::string>{"This entry is too long to be removed from here: the router "
                                     "takes command lines of at most 63 characters."});
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_EQ(Shown().size(), 3u);
}

TEST_F(SnmpPage, WithoutARouterEveryActionSaysSo) {
  bench.sim->Stop();
  const std::vector<std::pair<const char*, void (CSMNP::*)()>> actions = {
      {"activation", &CSMNP::OnSetActive},
      {"add", &CSMNP::OnAddCommunity},
      {"remove", &CSMNP::OnRemoveCommunity},
  };
  Type(0, "ops", false);
  for (const auto& [name, action] : actions) {
    bench.ui.messages.clear();
    (page.*action)();
    ASSERT_EQ(bench.ui.messages.size(), 1u) << name;
    EXPECT_EQ(bench.ui.messages[0].text, "Winsock connection is not created") << name;
    EXPECT_EQ(bench.ui.messages[0].caption, "Error") << name;
  }
  EXPECT_EQ(bench.ui.possibleErrors, 3);
  EXPECT_FALSE(bench.session.ConfigChanged);
}

}  // namespace
}  // namespace tarnwick
