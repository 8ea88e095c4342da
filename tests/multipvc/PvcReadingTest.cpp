// Reading the router's PVCs into the table when the dialog opens, from canned listings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PvcDialogBench.h"

namespace tarnwick {
namespace {

using testing::CannedPvcRig;
using testing::Spec;
using testing::Table;

// One PVC of every kind, two of some; NAT on the bridged WAN device, wan1, PPP and wanIPOA2.
void ServeMixed(CannedPvcRig& rig) {
  auto dev = [](const std::string& name, const std::string& rest) {
    return "device " + name + " " + rest + "\r\n";
  };
  auto subnet = [](const std::string& name, const std::string& rest) {
    return "subnet " + name + ".home . " + rest + "\r\n";
  };
  rig.Serve("bridge device", "Port 1: " + Spec("llcbridged", "0", "35") +
                                 "\r\nPort 2: " + Spec("vcmuxbridged", "0", "36") + "\r\n");
  rig.Serve("ip device",
            dev("lan", "ether //edd mtu 1500 192.168.1.1") +
                dev("wandevice", "bridge //bridge mtu 1500 192.0.2.10") +
                dev("wan1", "ptp " + Spec("llcrouted", "8", "35") + " mtu 1500 198.51.100.2") +
                dev("wan2", "ptp " + Spec("vcmuxrouted", "8", "36") + " mtu 1500 198.51.100.6") +
                dev("wanIPOA1", "atm //bun/port=atm mtu 1500 203.0.113.2") +
                dev("wanIPOA2", "atm //bun/port=atm mtu 1500 203.0.113.6") +
                dev("ppp_device", "ether //ppp/DEVICE=1 mtu 1500 192.0.2.99"));
  rig.Serve("ip subnet", subnet("wandevice", "192.0.2.10 ff:ff:ff:0") +
                             subnet("wan1", "198.51.100.2 ff:ff:ff:fc") +
                             subnet("wan2", "198.51.100.6 ff:ff:ff:fc") +
                             subnet("wanIPOA1", "203.0.113.2 ff:ff:ff:0") +
                             subnet("wanIPOA2", "203.0.113.6 ff:ff:ff:f0") +
                             subnet("ppp_device", "192.0.2.99 ff:ff:ff:0"));
  rig.Serve("ppp config",
            "1 pvc atm 0 40\r\n1 localip 192.0.2.99\r\n1 welogin someone s3cret\r\n"
            "1 llc 0\r\n1 enableprimarydns relay\r\n1 enable\r\n");
  rig.Serve("ip nat",
            "nat add wandevice\r\nnat add wan1\r\nnat add ppp_device\r\n"
            "nat add wanIPOA2\r\n");
  rig.Serve("ip ipatm pvc",
            "ipatm pvc wanIPOA1 atm 0/38 encap llc remoteip 203.0.113.1\r\n"
            "ipatm pvc wanIPOA2 atm 0/39 encap llc\r\n");
  rig.Serve("ip route", "route add default 0.0.0.0 192.0.2.1 0:0:0:0 1 0\r\n");
}

TEST(PvcReading, EveryKindIsReadAndTheLastFoundIsTheTopRow) {
  CannedPvcRig rig;
  ServeMixed(rig);
  EXPECT_EQ(rig.Open(),
            Table({"RFC 1577(IPoA)|0/39|Enable|LLC SNAP|203.0.113.6|255:255:255:240|",
                   "RFC 1577(IPoA)|0/38|Disable|LLC SNAP|203.0.113.2|255:255:255:0|203.0.113.1",
                   "RFC 1483 Routed|8/36|Disable|VC MUX|198.51.100.6|255:255:255:252|",
                   "RFC 1483 Routed|8/35|Enable|LLC SNAP|198.51.100.2|255:255:255:252|",
                   "RFC 2364 (PPPoA)|0/40|Enable|VC MUX|192.0.2.99|255:255:255:0|",
                   "RFC 1483 Bridged|0/36|Disable|VC MUX|||",
                   "RFC 1483 Bridged|0/35|Enable|LLC SNAP|192.0.2.10|255:255:255:0|"}));
  const CMULTIPVC& d = rig.dialog;
  EXPECT_EQ(d.DefaultGateway + " " + d.PppChannel + " " + d.PppUserName + " " + d.PppPassword,
            "192.0.2.1 1 someone s3cret");
  EXPECT_EQ(d.DnsRelay, 1);
  EXPECT_EQ(rig.bench.session.DnsDiscoveryAllowed, 1);
  EXPECT_TRUE(rig.bench.ui.messages.empty());
}

TEST(PvcReading, TheLinePagesOwnPvcIsListedOnceAtTheBottom) {
  for (int protocol : {kRouted, kIpoa}) {
    CannedPvcRig rig;
    ServeMixed(rig);
    LineState& line = rig.bench.session.line;
    line.LineChangedSinceRead = 1;
    line.ReadVpi = rig.dialog.EntryVpi = protocol == kRouted ? "8" : "0";
    line.ReadVci = rig.dialog.EntryVci = protocol == kRouted ? "35" : "38";
    rig.dialog.EntryProtocol = protocol;
    rig.dialog.EntryWanIp = "10.0.0.1";
    const testing::Rows rows = rig.Open();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows.back()[0] + " " + rows.back()[4], PvcProtocolName(protocol) + " 10.0.0.1");
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) EXPECT_NE(rows[r][1], rows.back()[1]);
  }
}

TEST(PvcReading, BridgePortsStopAtEightButReadingListsMoreThanEightRows) {
  CannedPvcRig rig;
  std::string ports;
  for (int port = 1; port <= 9; ++port)
    ports += "Port " + std::to_string(port) + ": " + Spec("llcbridged", "1", std::to_string(port)) +
             "\r\n";
  rig.Serve("bridge device", ports);
  rig.Serve("ip device", "device wan1 ptp " + Spec("llcrouted", "8", "35") +
                             " mtu 1500 10.0.0.1\r\n" + "device wan2 ptp " +
                             Spec("llcrouted", "8", "36") + "/dhcp mtu 1500 dhcp\r\n");
  const testing::Rows rows = rig.Open();
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[2][1] + " " + rows[9][1], "1/8 1/1");
  EXPECT_EQ(rows[0], Table({"RFC 1483 Routed|8/36|Disable|LLC SNAP|||"})[0]);
  EXPECT_TRUE(rig.bench.view.IsChecked(IDC_MULTIPVC_AUTOWAN)) << "the last routed PVC is leased";
}

TEST(PvcReading, TransparentBridgeModeReadsTheBridgePortsAfterTheEthernetPortOnly) {
  CannedPvcRig rig;
  ServeMixed(rig);
  rig.Serve("bridge device", "Port 1: edd\r\nPort 2: " + Spec("llcbridged", "0", "35") +
                                 "\r\nPort 3: " + Spec("vcmuxbridged", "0", "36") + "\r\n");
  rig.bench.session.line.PvcModeNormal = 0;
  EXPECT_EQ(rig.Open(), Table({"Transparent Bridge|0/36|Disable|VC MUX|||",
                               "Transparent Bridge|0/35|Disable|LLC SNAP|||"}));
  for (int id : {IDC_MULTIPVC_ROUTED, IDC_MULTIPVC_IPOA, IDC_MULTIPVC_AUTOWAN, IDC_MULTIPVC_NAT,
                 IDC_MULTIPVC_WANIP1, IDC_MULTIPVC_WANMASK4, IDC_MULTIPVC_REMOTE_LABEL})
    EXPECT_FALSE(rig.bench.view.IsEnabled(id)) << id;
}

TEST(PvcReading, APppLinkWithoutADeviceNameHasNoNat) {
  CannedPvcRig rig;
  rig.Serve("ip device", "device ppp_device ether //ppp/ mtu 1492 0.0.0.0\r\n");
  rig.Serve("ppp config", "1 pppoe atm 8 35\r\n1 welogin a b\r\n1 llc 1\r\n");
  rig.Serve("ip nat", "nat add ppp_device\r\n");
  EXPECT_EQ(rig.Open(), Table({"RFC 2516 (PPPoE)|8/35|Disable|LLC SNAP|||"}));
}

}  // namespace
}  // namespace tarnwick
