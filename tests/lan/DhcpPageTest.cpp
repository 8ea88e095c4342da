// The DHCP page against canned replies: scans, the relay and DNS-discovery interplay, Apply and
// Remove as wire scripts, and write paths that cannot reach the router.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CDHCP.h"
#include "support/Golden.h"
#include "support/PageBench.h"
#include "tests/lan/DhcpBoxes.h"

namespace tarnwick {

void PrintTo(const DhcpReading& r, std::ostream* out) {
  *out << r.DhcpEnabled << " " << r.NetworkId << " " << r.SubnetMask << " " << r.RangeStart << "-"
       << r.RangeEnd << " " << r.Gateway << " " << r.PrimaryDns << "," << r.SecondaryDns << " ["
       << r.LeaseDays << "] relay " << r.DnsRelayEnabled;
}

namespace {

using namespace testing;
using Lines = std::vector<std::string>;

const char* const kRelayOff = "DNS relay: discovery incomplete\r\n";
const char* const kRelayOn = "DNS relay: active\r\nDNS server address : 10.0.0.53\r\n";

std::string Config(const std::string& servers = "192.0.2.53,192.0.2.54",
                   const std::string& lease = "86400") {
  return "allow unknown-clients;\r\nsubnet 192.168.1.0 netmask 255.255.255.0 {\r\n"
         "range 192.168.1.100 192.168.1.199;\r\noption routers 192.168.1.1;\r\n"
         "option domain-name-servers " +
         servers + ";\r\nmax-lease-time " + lease + ";\r\n}\r\n";
}

TEST(DhcpScan, EveryKeyOfTheServerAndRelayReplies) {
  auto read = [](std::string dns1, std::string dns2, std::string days, int relay) {
    return DhcpReading{"192.168.1.0",
                       "255.255.255.0",
                       "192.168.1.100",
                       "192.168.1.199",
                       "192.168.1.1",
                       dns1,
                       dns2,
                       days,
                       relay,
                       1};
  };
  const std::vector<std::tuple<std::string, std::string, DhcpReading>> cases = {
      {Config(), kRelayOff, read("192.0.2.53", "192.0.2.54", "1.000000", 0)},
      {Config("192.0.2.53,192.0.2.54,192.0.2.55", "3600"), kRelayOff,
       read("192.0.2.53", "192.0.2.54", "0.041667", 0)},
      {Config("192.0.2.53", "43200"), kRelayOn, read("10.0.0.53", "", "0.500000", 1)},
      {Config(), "", read("", "192.0.2.54", "1.000000", 1)},  // no relay reply: on, no server
      {Config("192.168.100.1000,192.0.2.54", "x"), kRelayOff,
       read("", "192.0.2.54", "0.000000", 0)},
  };
  for (const auto& [config, relay, want] : cases)
    EXPECT_EQ(ScanDhcpReplies(config, relay), want) << config << relay;
}

TEST(DhcpLease, DaysGoBackAsTheSecondsTheyStandFor) {
  const std::vector<std::pair<std::string, std::optional<long>>> cases = {
      {"1.5", 129600},      {"0.25", 21600},       {"0.500000", 43200},
      {"1.157407", 100000}, {"24855", 2147472000}, {"24856", std::nullopt},
      {".5", std::nullopt}, {"5.", std::nullopt},  {"1.2.3", std::nullopt}};
  for (const auto& [days, seconds] : cases) EXPECT_EQ(LeaseDaysToSeconds(days), seconds) << days;
  for (long s : {1L, 59L, 86399L, 100000L, 1234567L, 2592000L})
    EXPECT_EQ(LeaseDaysToSeconds(LeaseSecondsToDays(std::to_string(s) + ";")), s) << s;
}

class DhcpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Attach(page);
  }
  void Read(const std::string& config, const std::string& relay, const std::string& ppp = "") {
    bench.router.outputs["dhcpserver config\r\n"] = config;
    bench.router.outputs["dnsrelay status\r\n"] = relay;
    bench.router.outputs["ppp config\r\n"] = ppp;
    bench.view.controls.clear();
    bench.router.received.clear();
    page.OnInitDialog();
  }
  void Click(int id) {
    bench.router.received.clear();
    bench.ui.messages.clear();
    page.OnCommand(id);
  }
  bool Enabled(int id) const { return bench.view.IsEnabled(id); }
  std::string Text(int id) const { return bench.view.GetText(id); }

  CannedBench bench;
  CDHCP page{bench.session};
};

TEST_F(DhcpPage, ReadingSetsTheBoxesAndTheDnsChoiceFromTheRouter) {
  struct Case {
    std::string config, relay, ppp;
    bool resetSent, relayChecked, relayEnabled, primaryEnabled;
    std::string primary;
    int discoveryAllowed;
  };
  const std::vector<Case> cases = {
      {Config(), kRelayOff, "", false, false, true, true, "192", 0},
      {"", kRelayOff, "", true, false, true, false, "", 0},  // nothing on: relay reset at once
      {"", kRelayOn, "", false, true, true, true, "10", 0},
      {Config(), kRelayOn, "1 enableprimarydns relay\r\n", false, false, false, true, "10", 1},
  };
  for (const Case& c : cases) {
    Read(c.config, c.relay, c.ppp);
    const std::string what = c.config + c.relay + c.ppp;
    Lines sent = {"dhcpserver config\r\n", "dnsrelay status\r\n", "ppp config\r\n"};
    if (c.resetSent) sent.insert(sent.begin() + 2, "dnsrelay config reset\r\n");
    EXPECT_EQ(bench.Commands(), sent) << what;
    EXPECT_EQ(bench.view.IsChecked(IDC_DHCP_ENABLE), !c.config.empty()) << what;
    EXPECT_EQ(Enabled(IDC_DHCP_NET1), !c.config.empty()) << what;
    EXPECT_EQ(Enabled(IDC_DHCP_LEASE), !c.config.empty()) << what;
    EXPECT_EQ(bench.view.IsChecked(IDC_DHCP_RELAY), c.relayChecked) << what;
    EXPECT_EQ(Enabled(IDC_DHCP_RELAY), c.relayEnabled) << what;
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY4), c.primaryEnabled) << what;
    EXPECT_EQ(Text(IDC_DHCP_PRIMARY1), c.primary) << what;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, c.discoveryAllowed) << what;
  }
}

TEST_F(DhcpPage, TheDnsChoicePassesBetweenThePages) {
  Read(Config(), kRelayOn);
  page.OnKillActive();
  EXPECT_EQ(bench.session.DnsDiscoveryAllowed, 0) << "left with the relay checked";
  bench.view.SetChecked(IDC_DHCP_RELAY, false);
  page.OnKillActive();
  page.OnSetActive();
  EXPECT_EQ(bench.session.DnsDiscoveryAllowed, 1);
  EXPECT_FALSE(Enabled(IDC_DHCP_RELAY)) << "greyed until the Line page gives DNS back";
  bench.session.DnsDiscoveryAllowed = 0;
  page.OnSetActive();
  EXPECT_TRUE(Enabled(IDC_DHCP_RELAY));
}

TEST_F(DhcpPage, UncheckingTheRelayResetsItAtOnceOnlyWithoutDhcp) {
  for (const bool dhcp : {true, false}) {
    Read(dhcp ? Config() : "", kRelayOn);
    bench.view.SetChecked(IDC_DHCP_RELAY, false);
    Click(IDC_DHCP_RELAY);
    EXPECT_EQ(bench.Commands(), dhcp ? Lines{} : Lines{"dnsrelay config reset\r\n"});
    EXPECT_EQ(Text(IDC_DHCP_PRIMARY1), dhcp ? "10" : "");
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY1), dhcp);
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, dhcp ? 0 : 1);
  }
}

TEST_F(DhcpPage, ApplyRefusesTheFirstFaultInOrderAfterAFreshLogIn) {
  const std::vector<std::pair<void (*)(DhcpBoxes&), std::string>> cases = {
      {[](DhcpBoxes& b) { b.dhcp = false, b.relay = true, b.quads[kPrimary][3] = ""; },
       "Please set DNS One IP in the format xxx xxx xxx xxx."},
      {[](DhcpBoxes& b) { b.quads[kPrimary][1] = "256", b.quads[kNet][0] = ""; },
       "Error in DNS One IP2."},
      {[](DhcpBoxes& b) { b.quads[kEnd][3] = ""; },
       "NetworkID, SubnetMask, IP Range Start/End fields cannot be empty."},
      {[](DhcpBoxes& b) { b.quads[kGateway][3] = "1000"; }, "Error in Gateway field4."},
      {[](DhcpBoxes& b) { b.lease = ".5", b.quads[kNet][0] = "999"; }, "Error in Lease line."},
      {[](DhcpBoxes& b) { b.lease = "24856"; }, "Error in Lease line."},
      {[](DhcpBoxes& b) { b.quads[kNet][0] = "256"; }, "Error in Network ID field 1."},
      {[](DhcpBoxes& b) { b.quads[kMask][3] = "1 2"; }, "Error in Subnet Mask4."},
  };
  for (const auto& [edit, message] : cases) {
    DhcpBoxes boxes;
    edit(boxes);
    TypeBoxes(bench.view, page, boxes);
    const int logins = bench.router.logins;
    Click(IDC_DHCP_APPLY);
    EXPECT_EQ(bench.ui.Texts(), Lines{message});
    EXPECT_EQ(bench.router.logins, logins + 1) << message;
    EXPECT_TRUE(bench.Commands().empty()) << message;
  }
  EXPECT_FALSE(bench.session.ConfigChanged);
}

TEST_F(DhcpPage, ApplyAndRemoveScripts) {
  const std::vector<std::tuple<const char*, bool, void (*)(DhcpBoxes&)>> applies = {
      {"everything, relay on", false, [](DhcpBoxes& b) { b.relay = true; }},
      {"relay alone", false, [](DhcpBoxes& b) { b.dhcp = false, b.relay = true; }},
      {"nothing on", false, [](DhcpBoxes& b) { b.dhcp = false, b.quads[kPrimary] = {}; }},
      {"no primary, partial gateway, a lease as read", false,
       [](DhcpBoxes& b) {
         b.quads[kPrimary][0] = b.quads[kGateway][2] = "", b.lease = "0.500000";
       }},
      {"no secondary, no lease, octets as typed", false,
       [](DhcpBoxes& b) { b.quads[kSecondary][0] = b.lease = "", b.quads[kStart][3] = " 010 "; }},
      {"server running, DHCP unticked", true, [](DhcpBoxes& b) { b.dhcp = false; }},
  };
  Lines golden;
  for (const auto& [name, running, edit] : applies) {
    DhcpBoxes boxes;
    edit(boxes);
    TypeBoxes(bench.view, page, boxes);
    page.ServerOnRouter = running;
    Click(IDC_DHCP_APPLY);
    golden.push_back(std::string("# apply: ") + name);
    for (const std::string& line : bench.Commands()) golden.push_back(line);
    EXPECT_EQ(bench.ui.Texts(), Lines{"Configuration Successful"}) << name;
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Complete") << name;
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, boxes.relay ? 0 : 1) << name;
    EXPECT_EQ(page.ServerOnRouter, boxes.dhcp) << name;
  }
  EXPECT_EQ(bench.ui.waits.size(), 3u) << "a Wait box only for the server script";
  EXPECT_EQ(bench.ui.waits[0]->positions.size(), 11u) << "ten steps";

  for (const bool relay : {true, false}) {
    Read(Config(), relay ? kRelayOn : kRelayOff);
    Click(IDC_DHCP_REMOVE);
    golden.push_back(relay ? "# remove: relay on" : "# remove: relay off");
    for (const std::string& line : bench.Commands()) golden.push_back(line);
    EXPECT_EQ(bench.ui.Texts(), Lines{"DHCP Removed Successfully"});
    EXPECT_EQ(bench.ui.waits.back()->positions.back(), 200);
    DhcpBoxes cleared{false, relay, {}, ""};
    if (relay) cleared.quads[kPrimary] = {"10", "0", "0", "53"};
    EXPECT_EQ(ShownBoxes(bench.view, page), cleared);
    EXPECT_EQ(Enabled(IDC_DHCP_PRIMARY1), relay) << "the relay still uses its server";
    EXPECT_FALSE(Enabled(IDC_DHCP_NET1));
  }
  ExpectGolden(golden, "dhcp-scripts");
  EXPECT_TRUE(bench.session.ConfigChanged);
}

TEST_F(DhcpPage, AWritePathThatCannotReachTheRouterReportsNoSuccessAndRecordsNothing) {
  Read(Config(), kRelayOff);
  bench.router.refuseConnections = true;
  Click(IDC_DHCP_APPLY);
  Click(IDC_DHCP_REMOVE);
  EXPECT_EQ(bench.ui.possibleErrors, 2) << "the channel's own report, once per action";
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_FALSE(bench.session.ConfigChanged);
  EXPECT_TRUE(page.ServerOnRouter);
  EXPECT_EQ(Text(IDC_DHCP_NET1), "192") << "Remove left the page as it was";
}

}  // namespace
}  // namespace tarnwick
