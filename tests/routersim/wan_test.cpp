// WAN side, LAN services and port forwarding, read back where the pages scan them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "channel/TextHelpers.h"
#include "routersim/Presets.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"

namespace tarnwick::routersim {
namespace {

constexpr const char kLan[] = "127.0.0.1";

std::string Pvc(const std::string& mode, const std::string& vpi, const std::string& vci) {
  return "//bun/port=atm/rfc1483=true/mode=" + mode + "/txvpi=" + vpi + "/txvci=" + vci +
         "/rxvpi=" + vpi + "/rxvci=" + vci;
}

struct Scan {
  const char* command;
  const char* key;
  int n, m;
  std::string want;  // "-" when no line holds the key
};

class Wan : public ::testing::Test {
 protected:
  void Boot(const std::string& preset, const std::string& stateFile = "") {
    Options o;
    o.port = 0;
    o.preset = preset;
    o.stateFile = stateFile;
    sim = std::make_unique<Simulator>(o, clock);
  }
  // The reply as the client collects it: echo, output, prompt.
  std::string Reply(const std::string& command) {
    return command + "\r\n" + sim->RunCommand(command + "\r\n") + "router> ";
  }
  void ExpectScans(const std::vector<Scan>& scans) {
    for (const Scan& s : scans) {
      std::string got = "-";
      GetReplyField(Reply(s.command), s.key, s.n, s.m, got);
      EXPECT_EQ(got, s.want) << s.command << " / " << s.key << " " << s.n << "," << s.m << "\n"
                             << Reply(s.command);
    }
  }
  // The protocol the line page concludes from the listings; -1 for none.
  int ReadProtocol() {
    std::string b = Reply("bridge device"), d = Reply("ip device");
    std::string p = Reply("flashfs cat initppp");
    auto has = [](const std::string& text, const char* key) {
      return text.find(key) != std::string::npos;
    };
    if (has(d, "//ppp/") && has(d, "mtu 1492") && has(p, "pppoe")) return 4;
    if (has(d, "//ppp/") && has(p, "pvc atm ")) return 3;
    if (has(b, "atm"))
      return !has(d, "//bridge") ? -1 : has(b, "edd") ? 5 : has(d, "//edd") ? 0 : -1;
    if (!has(d, "//bun") || !has(d, "//edd") || !has(d, "ptp"))
      return has(d, "//edd") && has(d, "//bun") && has(d, "atm") ? 2 : -1;
    return 1;
  }
  // Channels of "bun list channels" beyond the two management ones.
  int UserChannels() {
    std::string list = sim->RunCommand("bun list channels\r\n");
    int lines = 0;
    for (auto at = list.find("TxPkts"); at != std::string::npos; at = list.find("TxPkts", at + 1))
      ++lines;
    return lines - 2;
  }

  ManualClock clock;
  std::unique_ptr<Simulator> sim;
};

TEST_F(Wan, PresetsAreReadAsTheirProtocolWithTheLanWhereTheRouterListens) {
  struct Case {
    const char* preset;
    int protocol, pvcs;
    const char* lanDevice;
  };
  const Case cases[] = {{"bridged", 0, 1, "lan"}, {"routed", 1, 1, "lan"},
                        {"ipoa", 2, 1, "lan"},    {"pppoa", 3, 1, "lan"},
                        {"pppoe", 4, 1, "lan"},   {"transparent", 5, 1, "bridge"},
                        {"mixed", 3, 6, "lan"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    Boot("");
    std::vector<std::string> lines;
    ASSERT_TRUE(PresetLines(c.preset, kLan, lines));
    for (const std::string& line : lines) EXPECT_EQ(sim->RunCommand(line), "") << line;
    Boot(c.preset);
    EXPECT_EQ(ReadProtocol(), c.protocol);
    EXPECT_EQ(UserChannels(), c.pvcs);
    ExpectScans({{"ip device", c.lanDevice, 1, 7, kLan}});
  }
}

// Each protocol's script after the tear-down, run on a router holding every kind of PVC:
// the listings then show what the script wrote, and nothing else.
TEST_F(Wan, ScriptsRebuildWhatTheListingsThenShow) {
  const std::string lan[] = {"ip device add lan ether //edd 127.0.0.1",
                             "ip subnet add lan.home . 127.0.0.1 ff:ff:ff:0"};
  const std::string rip = "ip rip accept all none", send = "ip rip send all none";
  struct Case {
    const char* name;
    std::vector<std::string> script;
    int protocol, pvcs;
    std::vector<Scan> scans;
  };
  const Case cases[] = {
      {"bridged, address by DHCP",
       {"bridge device add " + Pvc("vcmuxbridged", "0", "33"), lan[0], lan[1],
        "ip device add wandevice bridge //bridge dhcp", rip, send, "ip relay all",
        "ip nat add wandevice"},
       0,
       1,
       {{"ip device", "//bridge", 1, 4, "//bridge/dhcp"},
        {"ip device", "wandevice", 1, 7, "dhcp"},
        {"bridge device", "/txvci=", 1, 3, Pvc("vcmuxbridged", "0", "33")},
        {"ip nat", "nat add", 2, 3, "-"}}},
      {"routed",
       {lan[0], lan[1], "ip device add wan1 ptp " + Pvc("llcrouted", "8", "35") + " 198.51.100.9",
        "ip subnet add wan1.home . 198.51.100.9 ff:ff:ff:fc", "ip relay all", rip, send,
        "ip route add default 0.0.0.0 198.51.100.1 0:0:0:0", "ip nat add wan1"},
       1,
       1,
       {{"ip device", "ptp", 1, 4, Pvc("llcrouted", "8", "35")},
        {"ip device", "wan1", 1, 7, "198.51.100.9"},
        {"ip route", "0.0.0.0", 1, 5, "198.51.100.1"},
        {"ip nat", "nat add", 2, 3, "-"}}},
      {"IPoA",
       {lan[0], lan[1], "ip device add wanIPOA1 atm //atm 203.0.113.9",
        "ip subnet add wanIPOA1.home . 203.0.113.9 ff:ff:ff:0", "ip relay all", rip, send,
        "ip route add default 0.0.0.0 203.0.113.1 0:0:0:0",
        "ip ipatm pvc add wanIPOA1 atm 0/32 remoteip 203.0.113.1", "ip nat add wanIPOA1"},
       2,
       1,
       {{"ip ipatm pvc", "wanIPOA1", 1, 5, "0/32"},
        {"ip ipatm pvc", "wanIPOA1", 1, 9, "203.0.113.1"},
        {"ip nat", "nat add", 1, 3, "wanIPOA1"}}},
      {"PPPoA with its own address",
       {lan[0], lan[1], "ip device add ppp_device ether //ppp/DEVICE=1 192.0.2.66",
        "ip subnet add ppp_device.home . 192.0.2.66 ff:ff:ff:ff",
        "ip route add default 0.0.0.0 192.0.2.65 0:0:0:0", "ppp interface 1 localip 192.0.2.66",
        "ppp 1 pvc 0 32 ip", "ppp 1 welogin jo pass word", "ppp 1 enableprimarydns relay",
        "ppp 1 enable", "ip relay all", rip, send, "ip nat add ppp_device", "ppp 1 llc 1",
        "ppp 1 gateway local", "ppp 1 echo every 10"},
       3,
       1,
       {{"ppp config", "pvc atm", 1, 5, "32"},
        {"flashfs cat initppp", "localip", 1, 1, "1"},
        {"ip device", "ppp_device", 1, 7, "192.0.2.66"},
        {"flashfs cat initppp", "welogin", 1, 4, "pass"},  // a blank splits the password
        {"flashfs cat initppp", "llc", 1, 3, "1"}}},
      {"PPPoE on channel 2",
       {lan[0], lan[1], "ip device add ppp_device ether //ppp/DEVICE=2 mtu 1492",
        "ppp 2 pppoe 8 35 ", "ppp 2 welogin jo secret", "ppp 1 gateway local", "ppp 2 enable",
        "ip relay all", rip, send, "ip nat add ppp_device", "ppp 2 llc 0", "ppp 2 echo every 10"},
       4,
       1,
       {{"flashfs cat initppp", "welogin", 1, 1, "2"},
        {"flashfs cat initppp", "pppoe", 1, 5, "35"},
        {"flashfs cat initppp", "enableprimarydns", 1, 1, "-"}}},
      {"transparent bridge",
       {"bridge device add edd", "bridge device add " + Pvc("vcmuxbridged", "0", "35"),
        "ip device add bridge ether //bridge 127.0.0.1",
        "ip subnet add bridge.home . 127.0.0.1 ff:ff:ff:0"},
       5,
       1,
       {{"bridge device", "Port 1:", 1, 3, "edd"},
        {"bridge device", "Port 2:", 1, 3, Pvc("vcmuxbridged", "0", "35")},
        {"ip subnet", "bridge.home", 1, 5, "ff:ff:ff:0"},
        {"ip nat", "nat add", 1, 3, "-"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Boot("mixed");
    std::vector<std::string> tearDown = {
        "ip nat delete wan",          "ip ipatm pvc flush",
        "ip nat delete ppp_device",   "ip nat delete pppoe_device",
        "batch add ip device flush",  "batch add ip subnet flush",
        "ip route delete default",    "batch add bridge device flush",
        "batch add config reset ppp "};
    for (const char* kind : {"wan", "wanIPOA"})
      for (int n = 1; n <= 8; ++n)
        tearDown.push_back("ip nat delete " + (kind + std::to_string(n)));
    for (const std::string& line : tearDown) sim->RunCommand(line + "\r\n");
    for (const std::string& line : c.script)
      EXPECT_EQ(sim->RunCommand("batch add " + line + "\r\n"), "") << line;
    sim->RunCommand("batch add ip ping 127.0.0.1\r\n");
    sim->RunCommand("batch delay 2\r\n");
    EXPECT_EQ(sim->RunCommand("batch execute\r\n"), "");  // no queued line failed
    ExpectScans(c.scans);
    EXPECT_EQ(ReadProtocol(), c.protocol);
    EXPECT_EQ(UserChannels(), c.pvcs);
  }
}

TEST_F(Wan, InboundRulesAreNumberedInListOrder) {
  Boot("mixed");
  const std::string empty = Reply("nat inbound list");
  EXPECT_NE(Reply("nat inbound add wan3 80/tcp 192.168.1.10").find("does not exist"),
            std::string::npos);
  EXPECT_EQ(Reply("nat inbound list"), empty);
  for (const char* line : {"nat inbound add wandevice 80/tcp 192.168.1.10",
                           "nat inbound add wanIPOA1 8080/udp 192.168.1.20",
                           "nat inbound add ppp_device 21/tcp 192.168.1.30"})
    EXPECT_EQ(sim->RunCommand(line), "") << line;
  ExpectScans({{"nat inbound list", "(NATINBOUNDLIST):", 1, 1, "(NATINBOUNDLIST):"},
               {"nat inbound list", "1:", 1, 2, "WANDEVICE"},
               {"nat inbound list", "2:", 1, 3, "8080/UDP"},
               {"nat inbound list", "3:", 1, 4, "192.168.1.30"}});
  EXPECT_NE(Reply("nat inbound delete 4").find("Error"), std::string::npos);
  EXPECT_EQ(sim->RunCommand("nat inbound delete 2"), "");
  ExpectScans(
      {{"nat inbound list", "2:", 1, 2, "PPP_DEVICE"}, {"nat inbound list", "3:", 1, 2, "-"}});
  sim->RunCommand("nat inbound flush");
  EXPECT_EQ(Reply("nat inbound list"), empty);
}

TEST_F(Wan, DhcpLinesTakeEffectWhenConfirmedAndRelayFollowsItsServer) {
  Boot("");
  for (const char* line :
       {"flush", "add allow unknown-clients;", "add subnet 192.168.1.0 netmask 255.255.255.0",
        "add {", "add range 192.168.1.100 192.168.1.199;", "add option subnet-mask 255.255.255.0;",
        "add option routers 192.168.1.1;", "add option domain-name-servers 192.0.2.53,192.0.2.54;",
        "add max-lease-time 129600;", "add }"})
    EXPECT_EQ(sim->RunCommand(std::string("dhcpserver config ") + line), "") << line;
  EXPECT_EQ(sim->RunCommand("dhcpserver config"), "");  // pending until confirmed
  sim->RunCommand("dhcpserver config confirm");
  const std::string listed = Reply("dhcpserver config");
  EXPECT_NE(listed.find("\r\nsubnet 192.168.1.0 netmask 255.255.255.0 {\r\n"), std::string::npos);
  ExpectScans({{"dhcpserver config", "netmask", 1, 4, "255.255.255.0"},
               {"dhcpserver config", "routers", 1, 3, "192.168.1.1;"},
               {"dhcpserver config", "domain-name-server", 1, 3, "192.0.2.53,192.0.2.54;"},
               {"dhcpserver config", "max-lease-time", 1, 2, "129600;"}});
  // A configuration the server could not start on is refused whole.
  sim->RunCommand("dhcpserver config add {");
  EXPECT_NE(sim->RunCommand("dhcpserver config confirm").find("Error"), std::string::npos);
  EXPECT_EQ(Reply("dhcpserver config"), listed);
  sim->RunCommand("dhcpserver config flush");
  sim->RunCommand("dhcpserver config confirm");
  EXPECT_EQ(sim->RunCommand("dhcpserver config"), "");

  EXPECT_NE(Reply("dnsrelay status").find("discovery incomplete"), std::string::npos);
  sim->RunCommand("dnsrelay server 192.0.2.53");
  EXPECT_EQ(Reply("dnsrelay status").find("discovery incomplete"), std::string::npos);
  ExpectScans({{"dnsrelay status", "DNS server address", 1, 5, "192.0.2.53"}});
  sim->RunCommand("dnsrelay config reset");
  EXPECT_NE(Reply("dnsrelay status").find("discovery incomplete"), std::string::npos);
}

// Everything is saved, and rebuilt in an order the router accepts, by restart and by the
// state file.
TEST_F(Wan, SavedConfigurationComesBackWhole) {
  char dir[] = "/tmp/routersim-wan-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/router.cfg";
  auto everything = [&] {
    std::string text;
    for (const char* command :
         {"ip device", "ip subnet", "bridge device", "ip nat", "ip ipatm pvc", "ppp config",
          "ip route", "nat inbound list", "dhcpserver config", "dnsrelay status"})
      text += Reply(command);
    return text;
  };
  Boot("mixed", file);
  for (const char* line :
       {"nat inbound add wan1 80/tcp 192.168.1.10",
        "dhcpserver config add subnet 192.168.1.0 netmask 255.255.255.0 {",
        "dhcpserver config add }", "dhcpserver config confirm", "dnsrelay server 192.0.2.53"})
    EXPECT_EQ(sim->RunCommand(line), "") << line;
  const std::string saved = everything();
  EXPECT_NE(sim->RunCommand("config save\r\n").find("Configuration saved"), std::string::npos);
  for (const char* line : {"ip device flush", "bridge device flush", "config reset ppp",
                           "nat inbound flush", "dnsrelay config reset", "ip route flush"})
    sim->RunCommand(line);
  sim->RunCommand("restart\r\n");
  EXPECT_EQ(everything(), saved);

  Options o;
  o.port = 0;
  o.preset = "routed";  // the file wins
  o.stateFile = file;
  sim = std::make_unique<Simulator>(o, clock);
  std::string error;
  ASSERT_TRUE(sim->Start(&error)) << error;
  EXPECT_EQ(everything(), saved);
  sim.reset();
  std::remove(file.c_str());
  rmdir(dir);
}

}  // namespace
}  // namespace tarnwick::routersim
