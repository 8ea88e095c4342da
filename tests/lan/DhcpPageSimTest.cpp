// The DHCP page against the simulator: what Apply writes, a fresh reading shows again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CDHCP.h"
#include "support/SimBench.h"
#include "tests/lan/DhcpBoxes.h"

namespace tarnwick {
namespace {

using testing::DhcpBoxes;

class DhcpRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { bench.Start(); }

  // A page opened afresh, as the sheet does on the tab's first showing.
  DhcpBoxes ReadFresh() {
    CDHCP fresh(bench.session);
    testing::TestView view;
    view.Declare(fresh.Controls());
    fresh.Attach(&view);
    fresh.OnInitDialog();
    return testing::ShownBoxes(view, fresh);
  }
  void Apply(const DhcpBoxes& boxes) {
    CDHCP page(bench.session);
    bench.Open(page);
    testing::TypeBoxes(bench.view, page, boxes);
    bench.ui.messages.clear();
    page.OnCommand(IDC_DHCP_APPLY);
    ASSERT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});
  }

  testing::SimBench bench;
};

TEST_F(DhcpRoundTrip, AFreshReadingShowsWhatApplyWrote) {
  struct Case {
    const char* name;
    void (*edit)(DhcpBoxes&);
    void (*shown)(DhcpBoxes&);  // how the page shows it back
  };
  const std::vector<Case> cases = {
      {"everything, relay on", [](DhcpBoxes& b) { b.relay = true; },
       [](DhcpBoxes& b) { b.lease = "1.500000"; }},
      {"one server, no gateway, no lease",
       [](DhcpBoxes& b) { b.gateway = {}, b.secondary = {}, b.lease = ""; }, [](DhcpBoxes&) {}},
      {"a lease given in seconds that are no whole minutes",
       [](DhcpBoxes& b) { b.lease = "1.157407"; }, [](DhcpBoxes&) {}},
      {"DHCP unticked stops the running server",
       [](DhcpBoxes& b) { b.dhcp = false, b.relay = false; },
       [](DhcpBoxes& b) { b = DhcpBoxes{false, false, {}, {}, {}, {}, {}, {}, {}, ""}; }},
  };
  for (const Case& c : cases) {
    DhcpBoxes typed;
    c.edit(typed);
    Apply(typed);
    DhcpBoxes want = typed;
    c.shown(want);
    EXPECT_EQ(Describe(ReadFresh()), Describe(want)) << c.name;
  }
}

TEST_F(DhcpRoundTrip, AnUnchangedApplyKeepsTheLeaseToTheSecond) {
  for (const char* line :
       {"flush", "add subnet 10.1.0.0 netmask 255.255.0.0", "add {",
        "add range 10.1.0.10 10.1.0.20;", "add max-lease-time 100000;", "add }", "confirm"})
    bench.sim->RunCommand(std::string("dhcpserver config ") + line);
  for (int apply = 0; apply < 2; ++apply) {
    CDHCP page(bench.session);
    bench.Open(page);
    page.OnCommand(IDC_DHCP_APPLY);
  }
  EXPECT_NE(bench.sim->RunCommand("dhcpserver config").find("max-lease-time 100000;"),
            std::string::npos);
}

}  // namespace
}  // namespace tarnwick
