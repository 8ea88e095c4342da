// Reading the WAN set-up from canned listings: the protocol decision and each protocol's values.
#include "line/LineReading.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "line/LineScripts.h"

namespace tarnwick {
namespace {

const std::string kLan = "device lan ether //edd mtu 1500 10.0.0.138\r\n";
const std::string kLanSubnet = "subnet lan.home . 10.0.0.138 ff:ff:ff:0\r\n";
const std::string kRoute = "route add default 0.0.0.0 192.0.2.1 0:0:0:0 1 0\r\n";
const std::string kRoutedSpec =
    "//bun/port=atm/rfc1483=true/mode=llcrouted/txvpi=8/txvci=35/rxvpi=8/rxvci=35";

struct Case {
  const char* name;
  LineListings listings;
  std::map<std::string, std::string> further;  // replies to the further listings
  LineReading want;
  std::vector<std::string> asked;
};

LineReading Want(int protocol, std::string vpi, std::string vci, int nat, int framing) {
  LineReading r;
  r.values.Protocol = protocol;
  r.values.Vpi = std::move(vpi);
  r.values.Vci = std::move(vci);
  r.values.NatEnabled = nat;
  r.values.Framing = framing;
  r.texts.LanIpText = "10.0.0.138";
  r.texts.LanMaskText = "255:255:255:0";
  return r;
}

template <typename Edit>
LineReading With(LineReading r, Edit edit) {
  edit(r);
  return r;
}

void ExpectSame(const LineReading& got, const LineReading& want) {
  EXPECT_EQ(got.values.Protocol, want.values.Protocol);
  EXPECT_EQ(got.values.Vpi, want.values.Vpi);
  EXPECT_EQ(got.values.Vci, want.values.Vci);
  EXPECT_EQ(got.values.NatEnabled, want.values.NatEnabled);
  EXPECT_EQ(got.values.Channel, want.values.Channel);
  EXPECT_EQ(got.values.UserName, want.values.UserName);
  EXPECT_EQ(got.values.Password, want.values.Password);
  EXPECT_EQ(got.values.Framing, want.values.Framing);
  EXPECT_EQ(got.values.AutoWan, want.values.AutoWan);
  EXPECT_EQ(got.values.DnsDiscovery, want.values.DnsDiscovery);
  EXPECT_EQ(got.texts.LanIpText, want.texts.LanIpText);
  EXPECT_EQ(got.texts.LanMaskText, want.texts.LanMaskText);
  EXPECT_EQ(got.texts.WanIpText, want.texts.WanIpText);
  EXPECT_EQ(got.texts.WanMaskText, want.texts.WanMaskText);
  EXPECT_EQ(got.texts.RemoteGatewayText, want.texts.RemoteGatewayText);
  EXPECT_EQ(got.SinglePvc, want.SinglePvc);
}

TEST(LineReading, DecisionTableAndEachProtocolsValues) {
  const std::string ppp = "1 welogin user pw\r\n";
  const std::vector<Case> cases = {
      {"PPPoE, VC MUX written as llc 0",
       {"nat add ppp_device\r\n", "",
        kLan + "device ppp_device ether //ppp/DEVICE=2 mtu 1492 0\r\n", kLanSubnet,
        "1 pppoe atm 0 38\r\n2 welogin user pw\r\n2 llc 0\r\n1 enableprimarydns relay\r\n"},
       {},
       With(Want(kPppoe, "0", "38", 1, 1),
            [](LineReading& r) {
              r.values.Channel = "2";
              r.values.UserName = "user";
              r.values.Password = "pw";
              r.values.DnsDiscovery = 1;
            }),
       {}},
      {"mtu 1492 without pppoe is PPPoA; localip reads the WAN and the gateway",
       {"", "", kLan + "device ppp_device ether //ppp/DEVICE=1 mtu 1492 192.0.2.10\r\n",
        kLanSubnet + "subnet ppp_device.home . 192.0.2.10 ff:ff:0:0\r\n",
        "1 pvc atm 8 35\r\n" + ppp + "1 llc 1\r\n1 localip 192.0.2.10\r\n"},
       {{"ip route\r\n", kRoute}},
       With(Want(kPppoa, "8", "35", 0, 0),
            [](LineReading& r) {
              r.values.Channel = "1";
              r.values.UserName = "user";
              r.values.Password = "pw";
              r.texts.WanIpText = "192.0.2.10";
              r.texts.WanMaskText = "255:255:0:0";
              r.texts.RemoteGatewayText = "192.0.2.1";
            }),
       {"ip route\r\n"}},
      {"PPPoA without localip takes its address automatically, no llc line is VC MUX",
       {"", "", kLan + "device ppp_device ether //ppp/DEVICE=1 mtu 1500 0.0.0.0\r\n", kLanSubnet,
        "1 pvc atm 0 35\r\n" + ppp},
       {},
       With(Want(kPppoa, "0", "35", 0, 1),
            [](LineReading& r) {
              r.values.Channel = "1";
              r.values.UserName = "user";
              r.values.Password = "pw";
              r.values.AutoWan = 1;
            }),
       {}},
      {"bridged with a fixed WAN address, a second port is a further PVC",
       {"nat add wandevice\r\n",
        "Port 1: //bun/port=atm/rfc1483=true/mode=vcmuxbridged/txvpi=0/txvci=35\r\nPort 2: x\r\n",
        kLan + "device wandevice bridge //bridge mtu 1500 192.0.2.10\r\n",
        kLanSubnet + "subnet wandevice.home . 192.0.2.10 ff:ff:ff:0\r\n", ""},
       {{"ip route\r\n", kRoute}},
       With(Want(kBridged, "0", "35", 1, 1),
            [](LineReading& r) {
              r.texts.WanIpText = "192.0.2.10";
              r.texts.WanMaskText = "255:255:255:0";
              r.texts.RemoteGatewayText = "192.0.2.1";
              r.SinglePvc = 0;
            }),
       {"ip route\r\n"}},
      {"bridged dhcp anywhere takes the WAN automatically; no txvpi gives 0",
       {"", "Port 1: //bun/port=atm/mode=llcbridged\r\n",
        kLan + "device wandevice bridge //bridge/dhcp mtu 1500 dhcp\r\n", kLanSubnet, ""},
       {{"ip route\r\n", "Routing table is empty\r\n"}},
       With(Want(kBridged, "0", "0", 0, 0), [](LineReading& r) { r.values.AutoWan = 1; }),
       {"ip route\r\n"}},
      {"atm and edd bridged without //bridge sets no protocol but reads the PVC",
       {"", "Port 1: edd\r\nPort 2: //bun/port=atm/mode=llcbridged/txvpi=1/txvci=32\r\n", kLan,
        kLanSubnet, ""},
       {},
       With(Want(kBridged, "1", "32", 0, 0),
            [](LineReading& r) {
              r.texts.LanIpText.clear();
              r.texts.LanMaskText.clear();
              r.SinglePvc = 0;  // the bridged test finds port 2
            }),
       {}},
      {"transparent bridge, its LAN on the bridge device",
       {"", "Port 1: edd\r\nPort 2: //bun/port=atm/mode=vcmuxbridged/txvpi=0/txvci=35\r\n",
        "device bridge ether //bridge mtu 1500 10.0.0.138\r\n",
        "subnet bridge.home . 10.0.0.138 ff:ff:ff:0\r\n", ""},
       {},
       Want(kTransparentBridge, "0", "35", 0, 1),
       {}},
      {"routed: a second ptp past the first spec token is a further PVC",
       {"nat add wan1\r\n", "",
        kLan + "device wan1 ptp " + kRoutedSpec + " mtu 1500 192.0.2.10\r\ndevice wan2 ptp x\r\n",
        kLanSubnet + "subnet wan1.home . 192.0.2.10 ff:ff:ff:fc\r\n", ""},
       {{"ip route\r\n", kRoute}, {"ip ipatm pvc\r\n", "no PVCs\r\n"}},
       With(Want(kRouted, "8", "35", 1, 0),
            [](LineReading& r) {
              r.texts.WanIpText = "192.0.2.10";
              r.texts.WanMaskText = "255:255:255:252";
              r.texts.RemoteGatewayText = "192.0.2.1";
              r.SinglePvc = 0;
            }),
       {"ip route\r\n", "ip ipatm pvc\r\n"}},
      {"IPoA with a pair; another atm PVC after the first slash",
       {"", "", kLan + "device wanIPOA1 atm //bun/port=atm mtu 1500 192.0.2.10\r\n",
        kLanSubnet + "subnet wanIPOA1.home . 192.0.2.10 ff:ff:ff:0\r\n", ""},
       {{"ip route\r\n", kRoute},
        {"ip ipatm pvc\r\n",
         "ipatm pvc wanIPOA1 atm 0/38 encap llc\r\nipatm pvc wanIPOA2 atm 0/39\r\n"}},
       With(Want(kIpoa, "0", "38", 0, -1),
            [](LineReading& r) {
              r.texts.WanIpText = "192.0.2.10";
              r.texts.WanMaskText = "255:255:255:0";
              r.texts.RemoteGatewayText = "192.0.2.1";
              r.SinglePvc = 0;
            }),
       {"ip route\r\n", "ip ipatm pvc\r\n"}},
      {"IPoA pair without a slash leaves VPI and VCI empty",
       {"", "", kLan + "device wanIPOA1 atm //bun/port=atm mtu 1500 192.0.2.10\r\n", kLanSubnet,
        ""},
       {{"ip ipatm pvc\r\n", "ipatm pvc wanIPOA1 atm none\r\n"}},
       With(Want(kIpoa, "", "", 0, -1),
            [](LineReading& r) {
              r.texts.WanIpText = "192.0.2.10";
              r.SinglePvc = 0;  // a reply without a slash is searched whole for "atm"
            }),
       {"ip route\r\n", "ip ipatm pvc\r\n"}},
      {"every reply empty: nothing is read",
       {},
       {},
       With(Want(kBridged, "", "", 0, -1),
            [](LineReading& r) {
              r.texts.LanIpText.clear();
              r.texts.LanMaskText.clear();
            }),
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> asked;
    auto ask = [&](const std::string& command) {
      asked.push_back(command);
      auto it = c.further.find(command);
      return it == c.further.end() ? std::string() : it->second;
    };
    ExpectSame(ReadLineState(c.listings, ask, LineReading{}), c.want);
    EXPECT_EQ(asked, c.asked);
  }
}

}  // namespace
}  // namespace tarnwick
