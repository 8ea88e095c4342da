// The proof the dialog works: a table applied to the simulated router reads back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PvcDialogBench.h"
#include "routersim/Options.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using testing::Entry;
using testing::Rows;
using testing::Spec;

// Rows as the router holds them: reading lists them by kind with the latest device on top,
// and shows masks with colons where Add shows dots.
Rows AsOnTheRouter(Rows rows) {
  for (auto& row : rows) std::replace(row[5].begin(), row[5].end(), '.', ':');
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST(PvcRoundTrip, AnAppliedTableReadsBackTheSame) {
  struct Case {
    std::string preset;
    int normalMode;
    std::size_t rows;
    std::vector<std::string> setUp;  // router lines run before the dialog opens
    std::vector<Entry> added;
  };
  // With the router's PPPoA link, eight PVCs of every kind.
  const std::string m = "255.255.255.252";
  const std::vector<Entry> seven = {
      {IDC_MULTIPVC_BRIDGED, "0", "35", "192.0.2.10", "255.255.255.0", "", true},
      {IDC_MULTIPVC_ROUTED, "8", "35", "198.51.100.2", m, "", true},
      {IDC_MULTIPVC_ROUTED, "8", "36", "198.51.100.6", m, "", false, true},
      {IDC_MULTIPVC_ROUTED, "8", "37", "198.51.100.10", m},
      {IDC_MULTIPVC_ROUTED, "8", "38", "198.51.100.14", m, "", true, true},
      {IDC_MULTIPVC_IPOA, "0", "41", "203.0.113.2", "255.255.255.0", "203.0.113.1", true},
      {IDC_MULTIPVC_IPOA, "0", "42", "203.0.113.6", "255.255.255.240"}};
  // A leased routed PVC beside a fixed bridged WAN address keeps that address.
  const std::vector<std::string> leasedBesideFixed = {
      "bridge device add " + Spec("llcbridged", "0", "35"),
      "ip device add wandevice bridge //bridge 192.0.2.10",
      "ip subnet add wandevice.home . 192.0.2.10 ff:ff:ff:0", "ip nat add wandevice",
      "ip device add wan1 ptp " + Spec("vcmuxrouted", "8", "35") + " dhcp"};
  const std::vector<Case> cases = {{"pppoa", 1, 8, {}, seven},
                                   {"", 1, 2, leasedBesideFixed, {}},
                                   {"transparent", 0, 1, {}, {}},
                                   {"pppoe", 1, 1, {}, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    testing::PvcDialogRig<testing::SimBench> rig;
    routersim::Options options = testing::SimulatorWorld::Defaults();
    options.preset = c.preset;
    rig.bench.Start(&options);
    for (const std::string& line : c.setUp) rig.bench.sim->RunCommand(line + "\r\n");
    rig.bench.session.line.PvcModeNormal = c.normalMode;
    rig.dialog.LanIp = "127.0.0.1";
    rig.Open();
    for (const Entry& e : c.added) rig.Add(e);
    const Rows applied = rig.Shown();
    ASSERT_EQ(applied.size(), c.rows);
    rig.Click(IDC_MULTIPVC_APPLY);
    ASSERT_EQ(rig.bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});

    CMULTIPVC reopened(rig.bench.session);
    testing::TestView view;
    view.Declare(reopened.Controls());
    reopened.Attach(&view);
    reopened.OnInitDialog();
    EXPECT_EQ(AsOnTheRouter(view.Rows(IDC_MULTIPVC_LIST)), AsOnTheRouter(applied));
    EXPECT_EQ(reopened.DefaultGateway, rig.dialog.DefaultGateway);
    EXPECT_EQ(reopened.DnsRelay, rig.dialog.DnsRelay);
    EXPECT_EQ(view.IsChecked(IDC_MULTIPVC_AUTOWAN), rig.dialog.AutoWanCheck == 1);
    EXPECT_EQ(rig.bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"})
        << "reading shows no message";
  }
}

}  // namespace
}  // namespace tarnwick
