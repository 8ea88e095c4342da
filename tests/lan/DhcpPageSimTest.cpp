// The DHCP page against the simulator: what Apply writes, a fresh reading shows again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CDHCP.h"
#include "support/SimBench.h"
#include "tests/lan/DhcpBoxes.h"

namespace tarnwick {
namespace {

using namespace testing;

TEST(DhcpRoundTrip, AFreshReadingShowsWhatApplyWrote) {
  SimBench bench;
  bench.Start();
  // Each Apply starts from a page that has read what the one before wrote.
  const std::vector<std::tuple<const char*, void (*)(DhcpBoxes&), void (*)(DhcpBoxes&)>> cases = {
      {"everything, relay on", [](DhcpBoxes& b) { b.relay = true; },
       [](DhcpBoxes& b) { b.lease = "1.500000"; }},
      {"one server, no gateway, no lease",
       [](DhcpBoxes& b) { b.quads[kGateway] = b.quads[kSecondary] = {}, b.lease = ""; },
       [](DhcpBoxes&) {}},
      {"seconds that are no whole minutes", [](DhcpBoxes& b) { b.lease = "1.157407"; },
       [](DhcpBoxes&) {}},
      {"DHCP unticked stops the running server", [](DhcpBoxes& b) { b.dhcp = false; },
       [](DhcpBoxes& b) {
         b = DhcpBoxes{false, false, {}, ""};
       }},
  };
  for (const auto& [name, edit, shown] : cases) {
    CDHCP page(bench.session);
    bench.Open(page);
    DhcpBoxes typed;
    edit(typed);
    TypeBoxes(bench.view, page, typed);
    bench.ui.messages.clear();
    page.OnCommand(IDC_DHCP_APPLY);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"}) << name;

    CDHCP fresh(bench.session);
    TestView view;
    view.Declare(fresh.Controls());
    fresh.Attach(&view);
    fresh.OnInitDialog();
    shown(typed);
    EXPECT_EQ(ShownBoxes(view, fresh), typed) << name;
  }
}

}  // namespace
}  // namespace tarnwick
