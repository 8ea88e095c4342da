// The DHCP page against canned replies: scans, the relay and DNS-discovery interplay, Apply and
// Remove as wire scripts, and the write paths that could not reach the router.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CDHCP.h"
#include "support/Golden.h"
#include "support/PageBench.h"
#include "tests/lan/DhcpBoxes.h"

namespace tarnwick {

void PrintTo(const DhcpReading& r, std::ostream* out) {
  *out << "{" << r.DhcpEnabled << " " << r.NetworkId << " " << r.SubnetMask << " " << r.RangeStart
       << " " << r.RangeEnd << " " << r.Gateway << " " << r.PrimaryDns << "," << r.SecondaryDns
       << " [" << r.LeaseDays << "] relay " << r.DnsRelayEnabled << "}";
}

namespace {

using testing::CannedBench;
using testing::DhcpBoxes;

const char* const kRelayOff = "DNS relay: discovery incomplete\r\n";

std::string Config(const std::string& servers, const std::string& lease) {
  return "allow unknown-clients;\r\n"
         "subnet 192.168.1.0 netmask 255.255.255.0 {\r\n"
         "range 192.168.1.100 192.168.1.199;\r\n"
         "option subnet-mask 255.255.255.0;\r\n"
         "option routers 192.168.1.1;\r\n"
         "option domain-name-servers " +
         servers + ";\r\nmax-lease-time " + lease + ";\r\n}\r\n";
}

DhcpReading Read(std::string primary, std::string secondary, std::string lease, int relay) {
  return {"192.168.1.0", "255.255.255.0", "192.168.1.100", "192.168.1.199", "192.168.1.1",
          primary,       secondary,       lease,           relay,           1};
}

TEST(DhcpScan, EveryKeyOfTheServerAndRelayReplies) {
  struct Case {
    const char* name;
    std::string config;
    std::string relay;
    DhcpReading want;
  };
  const std::vector<Case> cases = {
      {"two servers, a day", Config("192.0.2.53,192.0.2.54", "86400"), kRelayOff,
       Read("192.0.2.53", "192.0.2.54", "1.000000", 0)},
      {"one server, half a day", Config("192.0.2.53", "43200"), kRelayOff,
       Read("192.0.2.53", "", "0.500000", 0)},
      {"a third server is ignored", Config("192.0.2.53,192.0.2.54,192.0.2.55", "3600"), kRelayOff,
       Read("192.0.2.53", "192.0.2.54", "0.041667", 0)},
      {"the relay's server replaces the first", Config("192.0.2.53,192.0.2.54", "86400"),
       "DNS server address : 10.0.0.53\r\n", Read("10.0.0.53", "192.0.2.54", "1.000000", 1)},
      {"an empty relay reply counts as on, without a server", Config("192.0.2.53", "86400"), "",
       Read("", "", "1.000000", 1)},
      {"no address is longer than fifteen characters", Config("192.168.100.1000,192.0.2.54", "x"),
       kRelayOff, Read("", "192.0.2.54", "0.000000", 0)},
      {"no subnet", "dhcpserver config\r\n", kRelayOff, DhcpReading{}},
  };
  for (const Case& c : cases) EXPECT_EQ(ScanDhcpReplies(c.config, c.relay), c.want) << c.name;
}

TEST(DhcpLease, DaysAreSentBackAsTheSecondsTheyStandFor) {
  const std::vector<std::pair<std::string, std::optional<long>>> cases = {
      {"1.5", 129600},      {"0.25", 21600},       {"0.500000", 43200},
      {"1.157407", 100000}, {"24855", 2147472000}, {"24856", std::nullopt},
      {".5", std::nullopt}, {"5.", std::nullopt},  {"1.2.3", std::nullopt}};
  for (const auto& [days, seconds] : cases) EXPECT_EQ(LeaseDaysToSeconds(days), seconds) << days;
  // Shown with six decimals, a lease up to a month reads back to the second.
  for (long s : {1L, 59L, 3600L, 86399L, 100000L, 1234567L, 2592000L})
    EXPECT_EQ(LeaseDaysToSeconds(LeaseSecondsToDays(std::to_string(s) + ";")), s) << s;
}

class DhcpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Attach(page);
  }
  void Answer(const std::string& config, const std::string& relay, const std::string& ppp = "") {
    bench.router.outputs["dhcpserver config\r\n"] = config;
    bench.router.outputs["dnsrelay status\r\n"] = relay;
    bench.router.outputs["ppp config\r\n"] = ppp;
  }
  bool Enabled(int id) const { return bench.view.IsEnabled(id); }
  bool Checked(int id) const { return bench.view.IsChecked(id); }
  std::string Text(int id) const { return bench.view.GetText(id); }
  void Apply(const DhcpBoxes& boxes) {
    testing::TypeBoxes(bench.view, page, boxes);
    bench.router.received.clear();
    bench.ui.messages.clear();
    page.OnCommand(IDC_DHCP_APPLY);
  }

  CannedBench bench;
  CDHCP page{bench.session};
};

TEST_F(DhcpPage, ReadingSetsTheBoxesAndTheDnsChoiceFromTheRouter) {
  struct Case {
    const char* name;
    std::string config, relay, ppp;
    std::vector<std::string> sent;
    bool dhcp, relayChecked, relayEnabled, primaryEnabled;
    std::string primary1;
    int discoveryAllowed;
  };
  const std::string full = Config("192.0.2.53,192.0.2.54", "86400");
  const std::vector<std::string> reads = {"dhcpserver config\r\n", "dnsrelay status\r\n",
                                          "ppp config\r\n"};
  const std::vector<std::string> readsWithReset = {"dhcpserver config\r\n", "dnsrelay status\r\n",
                                                   "dnsrelay config reset\r\n", "ppp config\r\n"};
  const std::string relayOn = "DNS server address : 10.0.0.53\r\n";
  const std::vector<Case> cases = {
      {"server on, relay off", full, kRelayOff, "", reads, true, false, true, true, "192", 0},
      {"nothing on: the relay is reset at once", "", kRelayOff, "", readsWithReset, false, false,
       true, false, "", 0},
      {"relay alone keeps its server", "", relayOn, "", reads, false, true, true, true, "10", 0},
      {"the PPP link discovers DNS", full, relayOn, "1 enableprimarydns relay\r\n", reads, true,
       false, false, true, "10", 1},
  };
  for (const Case& c : cases) {
    CDHCP fresh(bench.session);
    bench.Attach(fresh);
    bench.view.controls.clear();
    bench.router.received.clear();
    Answer(c.config, c.relay, c.ppp);
    fresh.OnInitDialog();
    EXPECT_EQ(bench.Commands(), c.sent) << c.name;
    EXPECT_EQ(Checked(IDC_DHCP_ENABLE), c.dhcp) << c.name;
    EXPECT_EQ(Enabled(IDC_DHCP_NET1), c.dhcp) << c.name;
    EXPECT_EQ(Enabled(IDC_DHCP_LEASE), c.dhcp) << c.name;
    EXPECT_EQ(Checked(IDC_DHCP_RELAY), c.relayChecked) << c.name;
    EXPECT_EQ(Enabled(IDC_DHCP_RELAY), c.relayEnabled) << c.name;
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY4), c.primaryEnabled) << c.name;
    EXPECT_EQ(Text(IDC_DHCP_PRIMARY1), c.primary1) << c.name;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, c.discoveryAllowed) << c.name;
    EXPECT_TRUE(bench.ui.messages.empty()) << c.name;
  }
}

TEST_F(DhcpPage, LeavingWithTheRelayUncheckedHandsDnsToTheLinePage) {
  Answer(Config("192.0.2.53", "86400"), "DNS server address : 10.0.0.53\r\n");
  page.OnInitDialog();
  page.OnSetActive();
  ASSERT_TRUE(Enabled(IDC_DHCP_RELAY));
  page.OnKillActive();
  EXPECT_EQ(bench.session.DnsDiscoveryAllowed, 0) << "left with the relay checked";

  bench.view.SetChecked(IDC_DHCP_RELAY, false);
  page.OnKillActive();
  EXPECT_EQ(bench.session.DnsDiscoveryAllowed, 1);
  page.OnSetActive();
  EXPECT_FALSE(Enabled(IDC_DHCP_RELAY)) << "greyed until the Line page gives DNS back";
  bench.session.DnsDiscoveryAllowed = 0;  // the Line page left without DNS discovery
  page.OnSetActive();
  EXPECT_TRUE(Enabled(IDC_DHCP_RELAY));
}

TEST_F(DhcpPage, UncheckingTheRelayResetsItAtOnceOnlyWithoutDhcp) {
  for (const bool dhcp : {true, false}) {
    Answer(dhcp ? Config("192.0.2.53", "86400") : "", "DNS server address : 10.0.0.53\r\n");
    page.OnInitDialog();
    bench.router.received.clear();
    bench.view.SetChecked(IDC_DHCP_RELAY, false);
    page.OnCommand(IDC_DHCP_RELAY);
    const std::vector<std::string> reset = {"dnsrelay config reset\r\n"};
    EXPECT_EQ(bench.Commands(), dhcp ? std::vector<std::string>{} : reset) << dhcp;
    EXPECT_EQ(Text(IDC_DHCP_PRIMARY1), dhcp ? "10" : "") << dhcp;
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY1), dhcp) << dhcp;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, dhcp ? 0 : 1) << dhcp;
  }
}

TEST_F(DhcpPage, ApplyRefusesTheFirstFaultInOrderAfterAFreshLogIn) {
  struct Case {
    const char* name;
    void (*edit)(DhcpBoxes&);
    std::string message;
  };
  const std::vector<Case> cases = {
      {"relay without primary", [](DhcpBoxes& b) { b.relay = true, b.primary[1] = ""; },
       "Please set DNS One IP in the format xxx xxx xxx xxx."},
      {"relay without primary, DHCP off",
       [](DhcpBoxes& b) { b.dhcp = false, b.relay = true, b.primary[3] = ""; },
       "Please set DNS One IP in the format xxx xxx xxx xxx."},
      {"primary before an empty subnet box",
       [](DhcpBoxes& b) { b.primary[1] = "256", b.net[0] = ""; }, "Error in DNS One IP2."},
      {"an empty range box", [](DhcpBoxes& b) { b.end[3] = ""; },
       "NetworkID, SubnetMask, IP Range Start/End fields cannot be empty."},
      {"secondary", [](DhcpBoxes& b) { b.secondary[2] = "300"; }, "Error in DNS Two IP field3."},
      {"gateway", [](DhcpBoxes& b) { b.gateway[3] = "1000"; }, "Error in Gateway field4."},
      {"lease before the octets", [](DhcpBoxes& b) { b.lease = ".5", b.net[0] = "999"; },
       "Error in Lease line."},
      {"lease past 32 bits of seconds", [](DhcpBoxes& b) { b.lease = "24856"; },
       "Error in Lease line."},
      {"network", [](DhcpBoxes& b) { b.net[0] = "256"; }, "Error in Network ID field 1."},
      {"range start", [](DhcpBoxes& b) { b.start[1] = "-1"; }, "Error in IP Range Start field 2."},
      {"range end", [](DhcpBoxes& b) { b.end[2] = "0256"; }, "Error in IP Range End field 3."},
      {"mask", [](DhcpBoxes& b) { b.mask[3] = "1 2"; }, "Error in Subnet Mask4."},
  };
  for (const Case& c : cases) {
    DhcpBoxes boxes;
    c.edit(boxes);
    const int logins = bench.router.logins;
    Apply(boxes);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Error") << c.name;
    EXPECT_EQ(bench.router.logins, logins + 1) << c.name;
    EXPECT_TRUE(bench.Commands().empty()) << c.name;
    EXPECT_FALSE(bench.session.ConfigChanged) << c.name;
  }
}

TEST_F(DhcpPage, ApplyScripts) {
  struct Case {
    const char* name;
    void (*edit)(DhcpBoxes&);
    bool serverOnRouter;
  };
  const std::vector<Case> cases = {
      {"everything, relay on", [](DhcpBoxes& b) { b.relay = true; }, false},
      {"relay alone", [](DhcpBoxes& b) { b.dhcp = false, b.relay = true, b.net = {}; }, false},
      {"nothing on", [](DhcpBoxes& b) { b.dhcp = false, b.primary = {}; }, false},
      {"no primary, partial gateway, lease read from the router",
       [](DhcpBoxes& b) { b.primary[0] = "", b.gateway[2] = "", b.lease = "0.500000"; }, false},
      {"no secondary, no lease, octets as typed",
       [](DhcpBoxes& b) { b.secondary[0] = "", b.lease = "", b.start[3] = " 010 "; }, false},
      {"server running, DHCP unticked", [](DhcpBoxes& b) { b.dhcp = false; }, true},
  };
  std::vector<std::string> golden;
  for (const Case& c : cases) {
    DhcpBoxes boxes;
    c.edit(boxes);
    page.ServerOnRouter = c.serverOnRouter;
    bench.session.ConfigChanged = false;
    Apply(boxes);
    golden.push_back(std::string("# ") + c.name);
    for (const std::string& line : bench.Commands()) golden.push_back(line);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"}) << c.name;
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Complete") << c.name;
    EXPECT_TRUE(bench.session.ConfigChanged) << c.name;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, boxes.relay ? 0 : 1) << c.name;
    EXPECT_EQ(page.ServerOnRouter, boxes.dhcp) << c.name;
  }
  testing::ExpectGolden(golden, "dhcp-apply");
  // The Wait box only for the server script: ten steps fill its bar.
  ASSERT_EQ(bench.ui.waits.size(), 3u);
  EXPECT_EQ(bench.ui.waits[0]->text, "Please wait a moment while setting dhcp server.");
  EXPECT_EQ(bench.ui.waits[0]->positions.size(), 11u);
  EXPECT_EQ(bench.ui.waits[0]->positions.back(), 200);
  EXPECT_TRUE(bench.ui.waits[0]->closed);
}

TEST_F(DhcpPage, RemoveFlushesTheServerAndResetsTheRelayUnlessItIsInUse) {
  std::vector<std::string> golden;
  for (const bool relay : {true, false}) {
    Answer(Config("192.0.2.53,192.0.2.54", "86400"),
           relay ? "DNS server address : 10.0.0.53\r\n" : kRelayOff);
    page.OnInitDialog();
    bench.session.DnsDiscoveryAllowed = 0;
    bench.router.received.clear();
    bench.ui.messages.clear();
    page.OnCommand(IDC_DHCP_REMOVE);
    golden.push_back(relay ? "# relay on" : "# relay off");
    for (const std::string& line : bench.Commands()) golden.push_back(line);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"DHCP Removed Successfully"});
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Done");
    EXPECT_EQ(bench.ui.waits.back()->text, "Please wait a moment while removing dhcp server.");
    EXPECT_EQ(bench.ui.waits.back()->positions.back(), 200);
    EXPECT_FALSE(Checked(IDC_DHCP_ENABLE));
    for (int id : {IDC_DHCP_NET1, IDC_DHCP_END4, IDC_DHCP_GATEWAY2, IDC_DHCP_SECONDARY1}) {
      EXPECT_EQ(Text(id), "") << id;
      EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_EQ(Text(IDC_DHCP_LEASE), "");
    EXPECT_EQ(Text(IDC_DHCP_PRIMARY1), relay ? "10" : "") << relay;
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY1), relay) << relay;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, relay ? 0 : 1) << relay;
    EXPECT_TRUE(bench.session.ConfigChanged);
  }
  testing::ExpectGolden(golden, "dhcp-remove");
}

TEST_F(DhcpPage, AWritePathThatCannotReachTheRouterReportsNoSuccessAndRecordsNothing) {
  Answer(Config("192.0.2.53", "86400"), kRelayOff);
  page.OnInitDialog();
  bench.router.refuseConnections = true;
  bench.session.DnsDiscoveryAllowed = 0;
  bench.router.received.clear();
  testing::TypeBoxes(bench.view, page, DhcpBoxes{});
  page.OnCommand(IDC_DHCP_APPLY);
  page.OnCommand(IDC_DHCP_REMOVE);
  EXPECT_EQ(bench.ui.possibleErrors, 2) << "the channel's own report, once per action";
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_FALSE(bench.session.ConfigChanged);
  EXPECT_EQ(bench.session.DnsDiscoveryAllowed, 0);
  EXPECT_TRUE(page.ServerOnRouter);
  EXPECT_EQ(Text(IDC_DHCP_NET1), "192") << "Remove left the page as it was";
  EXPECT_TRUE(Checked(IDC_DHCP_ENABLE));
}

}  // namespace
}  // namespace tarnwick
