// Applying the table: the script for mixed tables line for line, refusals, a failed script.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "PvcDialogBench.h"
#include "support/Golden.h"

namespace tarnwick {
namespace {

using testing::CannedPvcRig;
using testing::Table;

// A dialog opened on an empty router, holding these rows (top first), ready to apply.
struct ApplyRig : CannedPvcRig {
  explicit ApplyRig(const std::vector<std::string>& rows) {
    Open();
    const testing::Rows cells = Table(rows);
    for (auto r = cells.rbegin(); r != cells.rend(); ++r) {
      int protocol = 0;
      while (PvcProtocolName(protocol) != (*r)[0]) ++protocol;
      dialog.AddPvcRow(protocol, (*r)[1], (*r)[2] == "Enable", (*r)[3] == "VC MUX", (*r)[4],
                       (*r)[5], (*r)[6]);
    }
    dialog.PppChannel = "1";
    dialog.PppUserName = "someone";
    dialog.PppPassword = "s3cret";
    bench.session.line.SinglePvc = 1;
    bench.session.line.BridgeLossAccepted = 1;
    bench.router.received.clear();
  }
};

TEST(PvcApply, MixedTablesAreWrittenAsOneScript) {
  struct Case {
    const char* golden;
    int normalMode, autoWan, dnsRelay;
    std::string gateway;
    std::vector<std::string> rows;
  };
  // Routed, IPoA, Routed gives wan1, wanIPOA1, wan2; only the upper addressed bridged row
  // becomes wandevice; masks added (dots) and read (colons) both go out in hexadecimal.
  const std::vector<std::string> mixed = {
      "RFC 1483 Routed|8/35|Enable|LLC SNAP|198.51.100.2|255.255.255.252|",
      "RFC 1577(IPoA)|0/38|Disable|LLC SNAP|203.0.113.2|255:255:255:0|203.0.113.1",
      "RFC 1483 Routed|8/36|Disable|VC MUX|198.51.100.6|255:255:255:252|",
      "RFC 1483 Bridged|0/35|Enable|LLC SNAP|192.0.2.10|255.255.255.0|",
      "RFC 1483 Bridged|0/36|Enable|VC MUX|192.0.2.20|255.255.255.0|",
      "RFC 2364 (PPPoA)|0/40|Enable|VC MUX|192.0.2.99|255:255:255:0|",
      "RFC 1577(IPoA)|0/39|Enable|LLC SNAP|203.0.113.6|255.255.255.240|"};
  // The LAN port is bridged with the PVCs: no row makes a wandevice.
  const std::vector<std::string> transparent = {
      "Transparent Bridge|0/35|Disable|LLC SNAP| | |",
      "RFC 1483 Bridged|0/36|Enable|VC MUX|192.0.2.10|255.255.255.0|"};
  // With the automatic-WAN box ticked every routed row is leased, whatever its IP cell.
  const std::vector<std::string> leased = {
      "RFC 1483 Bridged|0/35|Enable|LLC SNAP|dhcp||",
      "RFC 1483 Routed|8/35|Disable|LLC SNAP|198.51.100.2|255.255.255.252|",
      "RFC 2516 (PPPoE)|8/36|Disable|LLC SNAP| | |"};
  const std::vector<Case> cases = {{"multipvc-mixed", 1, 0, 1, "192.0.2.1", mixed},
                                   {"multipvc-transparent", 0, 0, 0, "", transparent},
                                   {"multipvc-dhcp-pppoe", 1, 1, 0, "192.0.2.1", leased}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    ApplyRig rig(c.rows);
    rig.bench.session.line.PvcModeNormal = c.normalMode;
    rig.bench.view.SetChecked(IDC_MULTIPVC_AUTOWAN, c.autoWan == 1);
    rig.dialog.DnsRelay = c.dnsRelay;
    rig.dialog.DefaultGateway = c.gateway;
    rig.Click(IDC_MULTIPVC_APPLY);

    testing::ExpectGolden(rig.bench.Commands(), c.golden);
    EXPECT_EQ(rig.bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});
    EXPECT_EQ(rig.bench.ui.messages.at(0).caption, "Complete");
    EXPECT_EQ(rig.bench.router.logins, 3) << "afresh, and after the batch";
    ASSERT_EQ(rig.bench.ui.waits.size(), 1u);
    const std::vector<int> steps = {0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200};
    EXPECT_EQ(rig.bench.ui.waits[0]->positions, steps);
    EXPECT_TRUE(rig.bench.ui.waits[0]->closed);
    EXPECT_EQ(rig.bench.session.line.SinglePvc + rig.bench.session.line.BridgeLossAccepted, 0);
    EXPECT_TRUE(rig.bench.session.ConfigChanged);
    EXPECT_EQ(rig.bench.session.DnsDiscoveryAllowed, c.dnsRelay);
    EXPECT_EQ(rig.Shown(), Table(c.rows)) << "the table stays";
  }
}

TEST(PvcApply, ATableTheRouterCannotTakeIsRefusedBeforeAnythingIsSent) {
  const std::string pppoa = "RFC 2364 (PPPoA)|0/40|Disable|LLC SNAP|dhcp||";
  for (const auto& [rows, user, password, message] :
       std::vector<std::tuple<std::vector<std::string>, std::string, std::string, std::string>>{
           {{pppoa, "RFC 1483 Routed|835|Disable|LLC SNAP|10.0.0.1||"},
            "u",
            "p",
            "Row 2 holds the PVC \"835\", which has no \"/\""},
           {{pppoa, "RFC 2516 (PPPoE)|8/35|Disable|LLC SNAP| | |"},
            "u",
            "p",
            "Only one PPPoA or PPPoE PVC"},
           {{pppoa}, "some one", "p", "The PPP user name may not contain blanks"},
           {{pppoa}, "u", "p\r\nip route flush", "The PPP password may not contain blanks"}}) {
    ApplyRig rig(rows);
    rig.dialog.PppUserName = user;
    rig.dialog.PppPassword = password;
    rig.Click(IDC_MULTIPVC_APPLY);
    ASSERT_EQ(rig.bench.ui.messages.size(), 1u);
    EXPECT_EQ(rig.bench.ui.messages[0].text.rfind(message, 0), 0u) << rig.bench.ui.messages[0].text;
    EXPECT_TRUE(rig.bench.Commands().empty());
    EXPECT_EQ(rig.bench.router.logins, 1);
  }
}

TEST(PvcApply, NoSuccessIsReportedOrRecordedWhenTheLogInAfterTheBatchFails) {
  ApplyRig rig({"RFC 1483 Bridged|0/35|Disable|LLC SNAP|||"});
  rig.bench.router.onLine = [&](const std::string& line) {
    if (line == "batch execute\r\n") rig.bench.router.refuseConnections = true;
  };
  rig.Click(IDC_MULTIPVC_APPLY);
  EXPECT_EQ(rig.bench.ui.possibleErrors, 1);
  EXPECT_TRUE(rig.bench.ui.messages.empty());
  EXPECT_TRUE(rig.bench.ui.waits.at(0)->closed);
  EXPECT_FALSE(rig.bench.session.ConfigChanged);
  EXPECT_EQ(rig.bench.session.line.SinglePvc + rig.bench.session.line.BridgeLossAccepted, 2);
}

}  // namespace
}  // namespace tarnwick
