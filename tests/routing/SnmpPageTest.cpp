// The SNMP listing scan on canned replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "routing/CSMNP.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using testing::CannedBench;

class SnmpListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Attach(page);
  }
  Rows Shown() const { return bench.view.Rows(IDC_SNMP_LIST); }

  CannedBench bench;
  CSMNP page{bench.session};
};

TEST_F(SnmpListing, ScansAccessLines) {
  struct Case {
    const char* name;
    std::string output;
    Rows rows;
  };
  const std::vector<Case> cases = {
      {"rights, blanks and addresses",
       "Communities:\r\n"
       "access write   Admin\r\n"
       "access read Public 10.0.0.1\r\n"
       "  access read mgr 10. 0 .0.2  \r\n",
       {{"Write", "Admin", ""}, {"Read", "Public", "10.0.0.1"}, {"Read", "mgr", "10.0.0.2"}}},
      {"an unknown right ends the list",
       "access write a\r\naccess denied\r\naccess read b\r\n",
       {{"Write", "a", ""}}},
      {"no entries", "\r\n", {}},
  };
  for (const Case& c : cases) {
    bench.view.ListInsertRow(IDC_SNMP_LIST, 0, "stale");
    bench.router.outputs["snmp access list\r\n"] = c.output;
    page.ListCommunities();
    EXPECT_EQ(Shown(), c.rows) << c.name;
  }
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_GT(bench.view.repaints, 0);
}

TEST_F(SnmpListing, SilentRouterTimesOutWithAnEmptyList) {
  bench.router.outputs["snmp access list\r\n"] = "access write admin\r\n";
  page.ListCommunities();
  ASSERT_EQ(Shown().size(), 1u);
  bench.router.silent = {"snmp access list\r\n"};
  const Millis before = bench.clock.Now();
  page.ListCommunities();
  EXPECT_LT(bench.clock.Now() - before, 5400);
  ASSERT_EQ(bench.ui.messages.size(), 1u);
  EXPECT_EQ(bench.ui.messages[0].text, "Timeout while reading the SNMP access list");
  EXPECT_EQ(bench.ui.messages[0].caption, "Error");
  EXPECT_EQ(bench.ui.traces, std::vector<std::string>{"Snmp List timeout\n"});
  EXPECT_TRUE(Shown().empty());
}

TEST_F(SnmpListing, PageIgnoresTheSheetsOkAndCancel) {
  page.OnOK();
  page.OnCancel();
  EXPECT_TRUE(bench.view.endResults.empty());
}

}  // namespace
}  // namespace tarnwick
