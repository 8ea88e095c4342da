// The Line Configuration page on canned replies: validation, the controls of each protocol,
// activation, what Multiple PVC hands on, and an Apply the router did not get.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "line/CLINE.h"
#include "multipvc/CMULTIPVC.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

class LinePage : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.Open(page);
    bench.router.received.clear();
  }
  void Set(int id, const std::string& text) { bench.view.SetText(id, text); }
  void Quad(const OctetField& field, std::array<std::string, 4> octets) {
    for (int i = 0; i < 4; ++i) Set(field.ids()[i], octets[i]);
  }
  void Click(int id) {
    const std::vector<int> protocols = {IDC_LINE_BRIDGED, IDC_LINE_ROUTED, IDC_LINE_IPOA,
                                        IDC_LINE_PPPOA,   IDC_LINE_PPPOE,  IDC_LINE_TRANSPARENT};
    const std::vector<int> framings = {IDC_LINE_LLC, IDC_LINE_VCMUX};
    if (id == IDC_LINE_NAT || id == IDC_LINE_AUTO_WAN) {
      bench.view.SetChecked(id, !bench.view.IsChecked(id));
    } else {
      const auto& group =
          std::find(framings.begin(), framings.end(), id) != framings.end() ? framings : protocols;
      for (int radio : group) bench.view.SetChecked(radio, radio == id);
    }
    page.OnCommand(id);
  }
  // A complete RFC 1483 Routed page.
  void TypeRoutedPage() {
    Click(IDC_LINE_ROUTED);
    Quad(page.LanIp, {"10", "0", "0", "138"});
    Quad(page.LanMask, {"255", "255", "255", "0"});
    Quad(page.WanIp, {"192", "0", "2", "10"});
    Quad(page.RemoteGateway, {"192", "0", "2", "1"});
    Quad(page.WanMask, {"255", "255", "255", "0"});
    Set(IDC_LINE_VPI, "8");
    Set(IDC_LINE_VCI, "35");
    for (int id : {IDC_LINE_CHANNEL, IDC_LINE_USER_NAME, IDC_LINE_PASSWORD}) Set(id, "");
  }
  bool On(int id) const { return bench.view.IsEnabled(id); }

  testing::CannedBench bench;
  CLINE page{bench.session};
};

TEST_F(LinePage, ValidationShowsTheFirstFaultInTheOrderOfItsChecksAndSendsNothing) {
  struct Case {
    std::function<void(LinePage&)> edit;
    std::string message;
  };
  auto lan = [](int i, const char* v) {
    return [=](LinePage& t) { t.Set(t.page.LanIp.ids()[i], v); };
  };
  auto ppp = [](LinePage& t) { t.Click(IDC_LINE_PPPOA); };
  const std::vector<Case> cases = {
      {lan(2, ""), "Please set Lan IP in the format xxx xxx xxx xxx."},
      {lan(0, "256"), "Error in Lan IP1 address."},
      {lan(1, "1000"), "Error in Lan IP2 address"},
      {lan(3, "1 2"), "Error in Lan IP4 address"},
      {[](LinePage& t) { t.Set(t.page.LanMask.ids()[0], ""); },
       "Please set Lan Subnet in the format xxx xxx xxx xxx."},
      {[](LinePage& t) { t.Set(t.page.LanMask.ids()[3], "300"); }, "Error in Lan Subnet4."},
      {[](LinePage& t) { t.Set(IDC_LINE_VPI, ""); }, "Please set VPI."},
      {[](LinePage& t) { t.Set(IDC_LINE_VPI, "256"); }, "Error in VPI."},
      {[](LinePage& t) { t.Set(IDC_LINE_VCI, ""); }, "Please set VCI."},
      {[](LinePage& t) { t.Set(IDC_LINE_VCI, "65536"); }, "Error in VCI."},
      {[](LinePage& t) { t.Set(IDC_LINE_VCI, "3a"); }, "Error in VCI."},
      {[](LinePage& t) { t.Set(t.page.WanIp.ids()[3], ""); },
       "Please set Wan IP in the format xxx xxx xxx xxx."},
      {[](LinePage& t) { t.Set(t.page.WanIp.ids()[1], "-1"); }, "Error in Wan IP2 address."},
      {[](LinePage& t) { t.Set(t.page.RemoteGateway.ids()[0], ""); },
       "Please set Remote GateWay in the format xxx xxx xxx xxx."},
      {[](LinePage& t) { t.Set(t.page.RemoteGateway.ids()[2], "999"); },
       "Error in Remote Gateway3 address."},
      {[](LinePage& t) { t.Set(t.page.WanMask.ids()[1], ""); },
       "Please set Wan Subnet in the format xxx xxx xxx xxx."},
      {[](LinePage& t) { t.Set(t.page.WanMask.ids()[0], "256"); }, "Error in Wan Subnet1."},
      {[&](LinePage& t) {
         ppp(t);
         t.Set(IDC_LINE_CHANNEL, "");
       },
       "Please set Channel Number."},
      {[&](LinePage& t) {
         ppp(t);
         t.Set(IDC_LINE_CHANNEL, "1x");
       },
       "Error in Channel Number."},
      {[&](LinePage& t) { ppp(t); }, "Please set User Name."},
      {[&](LinePage& t) {
         ppp(t);
         t.Set(IDC_LINE_USER_NAME, "u");
       },
       "Please set Password."},
      {[&](LinePage& t) {
         ppp(t);
         t.Set(IDC_LINE_USER_NAME, "my name");
         t.Set(IDC_LINE_PASSWORD, "pw");
       },
       "The user name may hold only printable characters, and no blanks."},
      {[&](LinePage& t) {
         ppp(t);
         t.Set(IDC_LINE_USER_NAME, "u");
         t.Set(IDC_LINE_PASSWORD, "pw\r\nip nat flush");
       },
       "The password may hold only printable characters, and no blanks."},
      // Outside the WAN case the WAN boxes are not looked at.
      {[](LinePage& t) {
         t.Click(IDC_LINE_PPPOE);
         t.Set(t.page.WanIp.ids()[0], "999");
         t.Set(IDC_LINE_USER_NAME, "u");
         t.Set(IDC_LINE_PASSWORD, "p");
         t.Set(IDC_LINE_LAN_IP1, "");
       },
       "Please set Lan IP in the format xxx xxx xxx xxx."},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].message);
    TypeRoutedPage();
    cases[i].edit(*this);
    bench.ui.messages.clear();
    bench.router.received.clear();
    page.OnApplyLine();
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{cases[i].message});
    EXPECT_EQ(bench.ui.messages.at(0).caption, "Error");
    EXPECT_TRUE(bench.Commands().empty()) << "only a fresh log-in";
  }
}

TEST_F(LinePage, EachProtocolSetsItsControls) {
  struct Look {
    int protocol;
    bool framing, nat, ppp, autoWan, wan, dns;
  };
  // In order, each from the one before.
  const std::vector<Look> looks = {
      {IDC_LINE_ROUTED, true, true, false, false, true, false},
      {IDC_LINE_IPOA, false, true, false, false, true, false},
      {IDC_LINE_PPPOA, true, true, true, true, true, true},
      {IDC_LINE_PPPOE, false, true, true, false, false, true},
      {IDC_LINE_TRANSPARENT, true, false, false, false, false, false},
      {IDC_LINE_BRIDGED, true, true, false, true, true, false},
  };
  for (const Look& look : looks) {
    SCOPED_TRACE(look.protocol);
    Click(look.protocol);
    EXPECT_EQ(On(IDC_LINE_LLC), look.framing);
    EXPECT_EQ(On(IDC_LINE_VCMUX), look.framing);
    EXPECT_EQ(On(IDC_LINE_NAT), look.nat);
    EXPECT_FALSE(On(IDC_LINE_INBOUND)) << "NAT is off";
    EXPECT_EQ(On(IDC_LINE_USER_NAME), look.ppp);
    EXPECT_EQ(On(IDC_LINE_PASSWORD_LABEL), look.ppp);
    EXPECT_EQ(On(IDC_LINE_AUTO_WAN), look.autoWan);
    EXPECT_EQ(On(IDC_LINE_WAN_IP1), look.wan);
    EXPECT_EQ(On(IDC_LINE_GATEWAY_LABEL), look.wan);
    EXPECT_EQ(On(IDC_LINE_DNS_DISCOVERY), look.dns);
    EXPECT_FALSE(On(IDC_LINE_CHANNEL));
    EXPECT_TRUE(On(IDC_LINE_MULTIPLE_PVC));
    EXPECT_TRUE(On(IDC_LINE_LAN_MASK4));
  }
}

TEST_F(LinePage, HandlersChangeTheirMembers) {
  Click(IDC_LINE_PPPOA);
  EXPECT_EQ(bench.view.GetText(IDC_LINE_CHANNEL), "1");
  Click(IDC_LINE_LLC);
  Click(IDC_LINE_NAT);
  EXPECT_TRUE(On(IDC_LINE_INBOUND));
  Click(IDC_LINE_PPPOE);
  EXPECT_TRUE(bench.view.IsChecked(IDC_LINE_VCMUX)) << "PPPoE forces VC MUX";
  Click(IDC_LINE_TRANSPARENT);
  EXPECT_FALSE(bench.view.IsChecked(IDC_LINE_NAT));
  EXPECT_FALSE(On(IDC_LINE_INBOUND));

  Click(IDC_LINE_ROUTED);
  Quad(page.WanIp, {"1", "2", "3", "4"});
  bench.router.received.clear();
  Click(IDC_LINE_ROUTED);  // already selected: nothing changes
  EXPECT_EQ(bench.view.GetText(IDC_LINE_WAN_IP1), "1");
  Click(IDC_LINE_BRIDGED);
  EXPECT_EQ(bench.Commands(), std::vector<std::string>{"version\r\n"})
      << "bridged asks the firmware";
  Click(IDC_LINE_AUTO_WAN);
  EXPECT_EQ(bench.view.GetText(IDC_LINE_WAN_IP1), "");
  EXPECT_FALSE(On(IDC_LINE_WAN_IP1));
  Click(IDC_LINE_AUTO_WAN);
  EXPECT_TRUE(On(IDC_LINE_WAN_IP1));
  EXPECT_EQ(bench.view.GetText(IDC_LINE_WAN_IP4), "");

  bench.router.outputs["version\r\n"] = "Software Version 10.2\r\n";
  Click(IDC_LINE_ROUTED);
  Click(IDC_LINE_BRIDGED);
  EXPECT_FALSE(On(IDC_LINE_AUTO_WAN));
}

TEST_F(LinePage, LeavingThePageHandsTheDnsChoiceToDhcp) {
  Click(IDC_LINE_PPPOE);
  for (bool ticked : {true, false}) {
    bench.view.SetChecked(IDC_LINE_DNS_DISCOVERY, ticked);
    page.OnKillActive();
    EXPECT_EQ(bench.session.DnsDiscoveryAllowed, ticked ? 1 : 0);
    page.OnSetActive();
    EXPECT_EQ(On(IDC_LINE_DNS_DISCOVERY), ticked);
  }
}

TEST_F(LinePage, MultiplePvcHandsTheDialogThePagesValues) {
  std::vector<PvcValues> handed;
  bench.view.onModal = [&](DialogModel& dialog) {
    handed.push_back(dynamic_cast<CMULTIPVC&>(dialog));
    return 1;
  };
  TypeRoutedPage();
  Click(IDC_LINE_PPPOE);
  Set(IDC_LINE_USER_NAME, "u");
  Set(IDC_LINE_PASSWORD, "p");
  page.OnMultiplePvc();
  ASSERT_EQ(handed.size(), 1u);
  const PvcValues& in = handed[0];
  EXPECT_EQ(in.EntryProtocol, kPppoe);
  EXPECT_EQ(in.EntryWanIp, " ");
  EXPECT_EQ(in.EntryWanMask, " ");
  EXPECT_EQ(in.LanMask, "ff:ff:ff:0");
  EXPECT_EQ(in.DefaultGateway, "");
  EXPECT_EQ(in.PppSeeded, 1) << "the page changed since it was read";
  EXPECT_EQ(bench.session.line.LineChangedSinceRead, 1);
  EXPECT_TRUE(bench.Commands().empty());

  // A transparent-bridge router left for another protocol: No returns to it.
  bench.session.line.PvcModeNormal = 0;
  bench.session.line.BridgeVpi = "0";
  bench.session.line.BridgeVci = "33";
  TypeRoutedPage();
  bench.ui.answers.push_back(Answer::No);
  page.OnMultiplePvc();
  EXPECT_TRUE(bench.view.IsChecked(IDC_LINE_TRANSPARENT));
  EXPECT_EQ(bench.view.GetText(IDC_LINE_VCI), "33");
  ASSERT_EQ(handed.size(), 2u) << "the dialog opens all the same";
  EXPECT_EQ(handed[1].EntryProtocol, kRouted);
  EXPECT_EQ(handed[1].EntryWanMask, "255:255:255:0");
  EXPECT_EQ(bench.session.line.LineChangedSinceRead, 0);
}

TEST_F(LinePage, AnApplyTheRouterDidNotGetIsNeitherReportedNorRecorded) {
  TypeRoutedPage();
  bench.settings.value = "kept";
  bench.router.sendsFailAfter = 5;
  page.OnApplyLine();
  EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Error sending Winsock command"});
  EXPECT_EQ(bench.router.received.size(), 5u) << "nothing after the failed line";
  EXPECT_FALSE(bench.session.ConfigChanged);
  EXPECT_EQ(bench.settings.value, "kept");
  EXPECT_EQ(bench.session.channel.RouterAddress, "127.0.0.1");
  EXPECT_EQ(bench.session.line.ReadProtocol, kBridged);
  ASSERT_EQ(bench.ui.waits.size(), 1u);
  EXPECT_TRUE(bench.ui.waits[0]->closed);
}

}  // namespace
}  // namespace tarnwick
