// The Route Table listing scan and timer on canned replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "routing/CROUTE.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using testing::CannedBench;

class RouteListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Attach(page);
  }
  Rows Shown() const { return bench.view.Rows(IDC_ROUTE_LIST); }

  CannedBench bench;
  CROUTE page{bench.session};
};

TEST_F(RouteListing, ScansEachAddLineUntilAFieldIsMissing) {
  struct Case {
    const char* name;
    std::string output;
    Rows rows;
  };
  const std::vector<Case> cases = {
      {"two routes",
       "Label Destination Gateway Mask Cost Timeout\r\n"
       "route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n"
       "route add r2 172.16.0.0 10.0.0.2 ff:f0:0:0 3 60\r\n",
       {{"r1", "10.1.0.0", "10.0.0.1", "ff:ff:0:0"},
        {"r2", "172.16.0.0", "10.0.0.2", "ff:f0:0:0"}}},
      {"mask not followed by a blank ends the scan",
       "add r1 10.1.0.0 10.0.0.1 ff:ff:0:0\r\nadd r2 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n",
       {{"r1", "10.1.0.0", "10.0.0.1"}}},
      {"no next hop",
       "add r1 10.1.0.0 gw\r\nadd r2 10.2.0.0 10.0.0.1 ff:0:0:0 1 0\r\n",
       {{"r1", "10.1.0.0"}}},
      {"label alone on its line", "add lonely\r\nadd r2 10.2.0.0 10.0.0.1 ff:0:0:0 1 0\r\n", {}},
      {"fields found past other text",
       "add r1 to=10.1.0.0 via 10.0.0.1 nm ff:0:0:0 x\r\n",
       {{"r1", "10.1.0.0", "10.0.0.1", "ff:0:0:0"}}},
      {"no route lines", "nothing here\r\n", {}},
  };
  for (const Case& c : cases) {
    bench.view.ListDeleteAll(IDC_ROUTE_LIST);
    bench.view.ListInsertRow(IDC_ROUTE_LIST, 0, "stale");
    bench.router.outputs["ip route\r\n"] = c.output;
    page.ListRoutes();
    EXPECT_EQ(Shown(), c.rows) << c.name;
  }
  EXPECT_TRUE(bench.ui.messages.empty());
}

TEST_F(RouteListing, EmptyTableLeavesTheShownRows) {
  bench.router.outputs["ip route\r\n"] = "route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n";
  page.ListRoutes();
  bench.router.outputs["ip route\r\n"] = "Routing table is empty\r\n";
  page.ListRoutes();
  EXPECT_EQ(Shown(), (Rows{{"r1", "10.1.0.0", "10.0.0.1", "ff:ff:0:0"}}));
}

TEST_F(RouteListing, LeftoverAnswersBeforeTheEchoAreIgnored) {
  // An unread answer, prompt included, ahead of the listing's own echo.
  bench.router.outputs["bsp mode\r\n"] = "add old 1.1.1.1 1.1.1.1 ff:0:0:0 1 0\r\n";
  bench.router.outputs["ip route\r\n"] = "route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n";
  bench.session.channel.SendCommand("bsp mode\r\n");
  page.ListRoutes();
  EXPECT_EQ(Shown(), (Rows{{"r1", "10.1.0.0", "10.0.0.1", "ff:ff:0:0"}}));
}

TEST_F(RouteListing, AnUnreadAnswerOfAnEarlierChangeIsNotTakenForTheListing) {
  const std::string change = "ip route add x 1.1.1.1 1.1.1.1 ff:0:0:0 1 0\r\n";
  bench.router.outputs["ip route\r\n"] = "route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n";
  bench.session.channel.SendCommand(change);
  page.ListRoutes();
  EXPECT_EQ(Shown(), (Rows{{"r1", "10.1.0.0", "10.0.0.1", "ff:ff:0:0"}}));
}

TEST_F(RouteListing, SilentRouterTimesOutAfterFiveSecondsAndKeepsTheRows) {
  bench.router.outputs["ip route\r\n"] = "route add r1 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n";
  page.ListRoutes();
  bench.router.silent = {"ip route\r\n"};
  const Millis before = bench.clock.Now();
  page.ListRoutes();
  const Millis spent = bench.clock.Now() - before;
  EXPECT_GT(spent, 5000);
  EXPECT_LT(spent, 5400);
  EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"ip route Timeout"});
  EXPECT_EQ(bench.ui.messages[0].caption, "Error");
  EXPECT_EQ(bench.ui.traces, std::vector<std::string>{"ip route timeout\n"});
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(RouteListing, TimerIsStoppedWhileItsListingRuns) {
  bool runningDuringListing = true;
  bench.router.onLine = [&](const std::string& line) {
    if (line == "ip route\r\n")
      runningDuringListing = bench.view.TimerRunning(CROUTE::kRefresh.id());
  };
  bench.view.StartTimer(CROUTE::kRefresh.id(), 5000);
  page.OnTimer(CROUTE::kRefresh.id());
  EXPECT_FALSE(runningDuringListing);
  EXPECT_TRUE(bench.view.TimerRunning(CROUTE::kRefresh.id()));
  page.OnTimer(7);  // not ours
  EXPECT_EQ(bench.router.received.back(), "ip route\r\n");
  EXPECT_EQ(std::count(bench.router.received.begin(), bench.router.received.end(),
                       std::string("ip route\r\n")),
            1);
}

TEST_F(RouteListing, PageIgnoresTheSheetsOkAndCancel) {
  page.OnOK();
  page.OnCancel();
  page.OnSheetOk();
  EXPECT_TRUE(bench.view.endResults.empty());
}

}  // namespace
}  // namespace tarnwick
