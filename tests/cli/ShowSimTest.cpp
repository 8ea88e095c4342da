// show against the in-process simulator in two router set-ups: what each page reads, as JSON
// and as text, without a line that changes the router.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/Show.h"
#include "support/PageBench.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using json = nlohmann::ordered_json;

// Every line a reading may send after the log-in.
const std::set<std::string> kReadingLines = {"ip nat\r\n",
                                             "bridge device\r\n",
                                             "ip device\r\n",
                                             "ip subnet\r\n",
                                             "flashfs cat initppp\r\n",
                                             "ip route\r\n",
                                             "ip ipatm pvc\r\n",
                                             "version\r\n",
                                             "ppp config\r\n",
                                             "dhcpserver config\r\n",
                                             "dnsrelay status\r\n",
                                             "nat inbound list\r\n",
                                             "snmp access list\r\n",
                                             "bsp channel\r\n",
                                             "bsp mode\r\n",
                                             "bsp line\r\n",
                                             "bun list channels\r\n"};

const json kPppoeRows = json::parse(R"js([{"Protocol": "RFC 2516 (PPPoE)", "Pvc": "8/35",
    "Nat": "Enable", "FramingMode": "VC MUX", "Ip": "", "Subnet": "", "RemoteIp": ""}])js");
const json kDefaultRoute = json::parse(R"js({"Label": "default", "DestIp": "0.0.0.0",
    "NextHop": "198.51.100.1", "Mask": "0:0:0:0"})js");

struct SetUp {
  const char* name;
  const char* preset;
  std::vector<std::string> commands;                   // run on the router before the show
  std::vector<std::pair<const char*, json>> expected;  // JSON pointer into "show all"
};

void PrintTo(const SetUp& setUp, std::ostream* os) { *os << setUp.name; }

class ShowSim : public ::testing::Test {
 protected:
  void StartRouter(const char* preset) {
    routersim::Options options;
    options.preset = preset;
    world.Start(&options);
  }

  ConsoleStatus Show(const std::string& page, bool asJson, std::string& out) {
    const ConsoleTarget target{world.Address(), world.Password(), std::nullopt};
    return RunShow(target, page, asJson, world.Sockets(), world.clock, ui, out);
  }

  testing::SimulatorWorld world;
  testing::RecordingUi ui;
};

class ShowSimTest : public ShowSim, public ::testing::WithParamInterface<SetUp> {};

TEST_P(ShowSimTest, EveryPageHoldsWhatItsModelRead) {
  StartRouter(GetParam().preset);
  for (const std::string& command : GetParam().commands) world.sim->RunCommand(command);
  std::string out;
  ASSERT_EQ(Show("all", true, out), kConsoleDone);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;

  const json pages = json::parse(out);
  std::vector<std::string> keys;
  for (const auto& [key, value] : pages.items()) keys.push_back(key);
  EXPECT_EQ(keys, ShowPageNames());
  for (const auto& [pointer, value] : GetParam().expected)
    EXPECT_EQ(pages.value(json::json_pointer(pointer), json()), value) << pointer;

  // A show only reads, even where opening a page would change the router (the DHCP page
  // resets a relay that nothing uses).
  for (const std::string& line : world.Commands()) EXPECT_TRUE(kReadingLines.count(line)) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Routers, ShowSimTest,
    ::testing::Values(
        SetUp{"Pppoe",
              "pppoe",
              {"nat inbound add ppp_device 8080/udp 127.0.0.20",
               "ip snmp access write tech 192.0.2.7",
               "dhcpserver config add subnet 127.0.0.0 netmask 255.255.255.0 {",
               "dhcpserver config add range 127.0.0.100 127.0.0.199;",
               "dhcpserver config add option domain-name-servers 192.0.2.53,192.0.2.54;",
               "dhcpserver config add max-lease-time 86400;", "dhcpserver config add }",
               "dhcpserver config confirm"},
              {{"/line/Protocol", 4},
               {"/line/Vpi", "8"},
               {"/line/UserName", "subscriber@isp.example"},
               {"/line/Password", "********"},
               {"/line/LanMask", "255.255.255.0"},
               {"/pvc/PvcTable", kPppoeRows},
               {"/routes/RouteList", json::array()},
               {"/dhcp/DhcpEnabled", 1},
               {"/dhcp/RangeEnd", "127.0.0.199"},
               {"/dhcp/SecondaryDns", "192.0.2.54"},
               {"/dhcp/LeaseDays", "1.000000"},
               {"/nat/InboundList/0/Interface", "ppp_device"},
               {"/nat/InboundList/0/PortProto", "8080/UDP"},
               {"/nat/InboundList/0/NewIpAddr", "127.0.0.20"},
               {"/snmp/CommunityList/0/Community", "********"},
               {"/snmp/CommunityList/2/Community", "tech"},
               {"/snmp/CommunityList/2/IpAddress", "192.0.2.7"},
               {"/dsl/LinkStatus", "Alive"},
               {"/dsl/TransmitVci", "35"}}},
        SetUp{"Routed",
              "routed",
              {},
              {{"/line/Protocol", 1},
               {"/line/Framing", 0},
               {"/line/WanIp", "198.51.100.2"},
               {"/line/WanMask", "255.255.255.252"},
               {"/line/RemoteGateway", "198.51.100.1"},
               {"/pvc/PvcTable/0/Protocol", "RFC 1483 Routed"},
               {"/pvc/PvcTable/0/Subnet", "255:255:255:252"},
               {"/routes/RouteList/0", kDefaultRoute},
               {"/dhcp/DhcpEnabled", 0},
               {"/dhcp/DnsRelayEnabled", 0},
               {"/nat/InboundList", json::array()},
               {"/dsl/TransmitVpi", "8"}}}),
    [](const ::testing::TestParamInfo<SetUp>& info) { return std::string(info.param.name); });

TEST_F(ShowSim, TextLabelsEachValueAndListsEachRow) {
  StartRouter("routed");
  world.sim->RunCommand("ip snmp access read monitor 192.0.2.7");
  std::string out;
  ASSERT_EQ(Show("snmp", false, out), kConsoleDone);
  EXPECT_EQ(out,
            "SNMP\n"
            "  Access Right  Community  IP Address\n"
            "  Write         ********\n"
            "  Read          public\n"
            "  Read          monitor    192.0.2.7\n");
  ASSERT_EQ(Show("line", false, out), kConsoleDone);
  EXPECT_NE(out.find("\n  WAN IP Configuration:             198.51.100.2\n"), std::string::npos)
      << out;
}

// Failures on canned replies, on a virtual clock.
TEST(ShowFailureTest, ASilentListingFailsWithinTheGivenLimitAndShowsNothing) {
  testing::CannedWorld world;
  world.router.silent = {"bsp line\r\n"};
  testing::RecordingUi ui;
  const ConsoleTarget target{world.Address(), world.Password(), 300};
  std::string out;
  EXPECT_EQ(RunShow(target, "dsl", false, world.router, world.clock, ui, out),
            kConsoleCommandFailed);
  EXPECT_EQ(out, "");
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.front().text, "bsp line\r\n");
  // Log-ins and pauses take well under a second: the 5000 ms of the page did not apply.
  EXPECT_LT(world.clock.Now(), 5000);
}

TEST(ShowFailureTest, AWrongPasswordIsALogInFailure) {
  testing::CannedWorld world;
  testing::RecordingUi ui;
  const ConsoleTarget target{world.Address(), "wrong", std::nullopt};
  std::string out;
  EXPECT_EQ(RunShow(target, "line", true, world.router, world.clock, ui, out), kConsoleLoginFailed);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ui.messages.back().text, "log-in to 127.0.0.1 failed");
}

}  // namespace
}  // namespace tarnwick
