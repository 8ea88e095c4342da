// The Line Configuration page against the simulator: what Apply writes, the next reading reads
// back, for every protocol; the wire lines of both batch endings; the address taken over.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "line/CLINE.h"
#include "support/Golden.h"
#include "support/SimBench.h"
#include "ui/ExitDialogIds.h"

namespace tarnwick {
namespace {

using Quad = std::array<std::string, 4>;

struct PageValues {
  int protocol = kBridged;
  std::string vpi = "8", vci = "35";
  int nat = 0, framing = 0, autoWan = 0, dns = 0;
  Quad lanIp = {"127", "0", "0", "1"}, lanMask = {"255", "255", "255", "0"};
  Quad wanIp, gateway, wanMask;
  std::string user, password;
};

const std::vector<int> kRadios = {IDC_LINE_BRIDGED, IDC_LINE_ROUTED, IDC_LINE_IPOA,
                                  IDC_LINE_PPPOA,   IDC_LINE_PPPOE,  IDC_LINE_TRANSPARENT};

class LineSim : public ::testing::Test {
 protected:
  // A router that runs a WAN protocol already; a bare LAN would read as nothing at all.
  void SetUp() override {
    routersim::Options options;
    options.preset = "pppoe";
    bench.Start(&options);
  }

  // Opens a page as the sheet does the first time its tab is chosen.
  void Open(CLINE& page, testing::TestView& view) {
    view.Declare(page.Controls());
    page.Attach(&view);
    page.OnInitDialog();
    page.OnSetActive();
  }

  // Types the values as a user would: the protocol first, then the fields.
  void Type(CLINE& page, const PageValues& v) {
    auto& view = bench.view;
    for (std::size_t i = 0; i < kRadios.size(); ++i)
      view.SetChecked(kRadios[i], static_cast<int>(i) == v.protocol);
    page.OnCommand(kRadios[static_cast<std::size_t>(v.protocol)]);
    view.SetChecked(IDC_LINE_AUTO_WAN, v.autoWan == 1);
    if (v.protocol == kBridged || v.protocol == kPppoa) page.OnCommand(IDC_LINE_AUTO_WAN);
    view.SetChecked(IDC_LINE_LLC, v.framing == 0);
    view.SetChecked(IDC_LINE_VCMUX, v.framing == 1);
    view.SetChecked(IDC_LINE_NAT, v.nat == 1);
    view.SetChecked(IDC_LINE_DNS_DISCOVERY, v.dns == 1);
    view.SetText(IDC_LINE_VPI, v.vpi);
    view.SetText(IDC_LINE_VCI, v.vci);
    view.SetText(IDC_LINE_USER_NAME, v.user);
    view.SetText(IDC_LINE_PASSWORD, v.password);
    for (int i = 0; i < 4; ++i) {
      view.SetText(page.LanIp.ids()[i], v.lanIp[i]);
      view.SetText(page.LanMask.ids()[i], v.lanMask[i]);
      view.SetText(page.WanIp.ids()[i], v.wanIp[i]);
      view.SetText(page.RemoteGateway.ids()[i], v.gateway[i]);
      view.SetText(page.WanMask.ids()[i], v.wanMask[i]);
    }
  }

  testing::SimBench bench;
};

PageValues Wan(PageValues v) {
  v.wanIp = {"192", "0", "2", "10"};
  v.gateway = {"192", "0", "2", "1"};
  v.wanMask = {"255", "255", "255", "252"};
  return v;
}
PageValues Ppp(PageValues v) {
  v.user = "subscriber@isp.example";
  v.password = "s3cret";
  return v;
}

TEST_F(LineSim, WhatApplyWritesTheNextReadingReadsBack) {
  struct Case {
    const char* name;
    PageValues v;
  };
  auto make = [](int protocol, int nat, int framing, int autoWan, int dns) {
    PageValues v;
    v.protocol = protocol;
    v.nat = nat;
    v.framing = framing;
    v.autoWan = autoWan;
    v.dns = dns;
    v.vci = std::to_string(32 + protocol);
    return v;
  };
  const std::vector<Case> cases = {
      {"bridged, fixed WAN, NAT, LLC", Wan(make(kBridged, 1, 0, 0, 0))},
      {"bridged, automatic WAN, VC MUX", make(kBridged, 0, 1, 1, 0)},
      {"routed, NAT, LLC", Wan(make(kRouted, 1, 0, 0, 0))},
      {"routed, VC MUX", Wan(make(kRouted, 0, 1, 0, 0))},
      {"IPoA, NAT", Wan(make(kIpoa, 1, 0, 0, 0))},
      {"IPoA", Wan(make(kIpoa, 0, 0, 0, 0))},
      {"PPPoA, fixed WAN, DNS discovery, LLC", Ppp(Wan(make(kPppoa, 1, 0, 0, 1)))},
      {"PPPoA, automatic WAN, VC MUX", Ppp(make(kPppoa, 0, 1, 1, 0))},
      {"PPPoE, DNS discovery, NAT", Ppp(make(kPppoe, 1, 1, 0, 1))},
      {"PPPoE", Ppp(make(kPppoe, 0, 1, 0, 0))},
      {"transparent bridge, LLC", make(kTransparentBridge, 0, 0, 0, 0)},
      {"transparent bridge, VC MUX", make(kTransparentBridge, 0, 1, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CLINE page(bench.session);
    Open(page, bench.view);
    Type(page, c.v);
    bench.ui.messages.clear();
    page.OnApplyLine();
    ASSERT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});

    CLINE again(bench.session);
    testing::TestView view;
    Open(again, view);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});
    EXPECT_EQ(again.values.Protocol, c.v.protocol);
    EXPECT_EQ(again.values.Vpi, c.v.vpi);
    EXPECT_EQ(again.values.Vci, c.v.vci);
    EXPECT_EQ(again.values.NatEnabled, c.v.nat);
    if (c.v.protocol != kIpoa) {
      EXPECT_EQ(again.values.Framing, c.v.framing);
    }
    EXPECT_EQ(again.values.AutoWan, c.v.autoWan);
    EXPECT_EQ(again.values.DnsDiscovery, c.v.dns);
    EXPECT_EQ(again.LanIp.octets, c.v.lanIp);
    EXPECT_EQ(again.LanMask.octets, c.v.lanMask);
    EXPECT_EQ(again.WanIp.octets, c.v.wanIp);
    EXPECT_EQ(again.WanMask.octets, c.v.wanMask);
    EXPECT_EQ(again.RemoteGateway.octets, c.v.gateway);
    EXPECT_EQ(again.values.UserName, c.v.user);
    EXPECT_EQ(again.values.Password, c.v.password);
    EXPECT_EQ(bench.session.line.SinglePvc, 1);
  }
}

TEST_F(LineSim, ApplyOnAnUnchangedLanRunsTheBatchAndLogsInAgain) {
  CLINE page(bench.session);
  bench.Attach(page);
  page.OnInitDialog();
  page.OnSetActive();
  Type(page, Wan([] {
         PageValues v;
         v.protocol = kRouted;
         v.nat = 1;
         return v;
       }()));
  bench.sim->ClearTranscript();
  page.OnApplyLine();
  testing::ExpectGolden(bench.Commands(), "line-apply-routed");
  EXPECT_EQ(bench.ui.waits.at(0)->positions.size(), 1u + 1 + 6 + 3) << "show, steps of the script";
  EXPECT_TRUE(bench.session.ConfigChanged);
  EXPECT_TRUE(bench.view.endResults.empty());
  // The address is taken over with the port the log-in used.
  const std::string address = "127.0.0.1:" + std::to_string(bench.sim->Port());
  EXPECT_EQ(bench.session.channel.RouterAddress, address);
  EXPECT_EQ(bench.settings.value, address);
  EXPECT_EQ(bench.session.line.ReadProtocol, kRouted);

  // A second Apply of the unchanged page sends the same mask, not its hexadecimal text.
  page.OnCommand(IDC_LINE_AUTO_WAN);  // a handler that shows the members
  bench.sim->ClearTranscript();
  page.OnApplyLine();
  testing::ExpectGolden(bench.Commands(), "line-apply-routed");
}

// What the sheet asks before it closes: nothing after a reading or an Apply, the question
// while a typed value waits for Apply.
TEST_F(LineSim, ATypedValueNotAppliedIsAskedAboutBeforeClosing) {
  CLINE page(bench.session);
  bench.Attach(page);
  page.OnInitDialog();
  page.OnSetActive();
  EXPECT_EQ(page.UnappliedChanges(), std::nullopt);
  bench.view.SetText(IDC_LINE_VCI, "36");
  EXPECT_EQ(page.UnappliedChanges(),
            "The Line Configuration page has changes that were not applied. Close anyway?");
  page.OnApplyLine();
  EXPECT_EQ(page.UnappliedChanges(), std::nullopt);
}

TEST_F(LineSim, ALanSubnetChangeEndsTheProgramBehindTheExitDialog) {
  CLINE page(bench.session);
  bench.Attach(page);
  page.OnInitDialog();
  page.OnSetActive();
  PageValues v;
  v.protocol = kPppoe;
  v.lanIp = {"127", "0", "0", "2"};
  Type(page, Ppp(v));
  bench.settings.writable = false;
  bench.sim->ClearTranscript();
  page.OnApplyLine();
  testing::ExpectGolden(bench.Commands(), "line-apply-lan-change");
  ASSERT_EQ(bench.view.modals.size(), 1u);
  EXPECT_EQ(bench.view.modals[0].templateId, IDD_EXIT);
  EXPECT_EQ(bench.view.endResults, std::vector<int>{0});
  EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Configuration Successful"});
  // Nothing could be stored: the snapshot keeps what was read.
  EXPECT_EQ(bench.session.line.ReadProtocol, kPppoe);

  // The router now answers on its new LAN address, with the port it had.
  const std::string moved = "127.0.0.2:" + std::to_string(bench.sim->Port());
  EXPECT_EQ(bench.session.channel.RouterAddress, moved);
  ASSERT_TRUE(bench.session.channel.ReconnectRouter(0));
  CLINE again(bench.session);
  testing::TestView view;
  Open(again, view);
  EXPECT_EQ(again.LanIp.octets, v.lanIp);
  EXPECT_EQ(again.values.Protocol, kPppoe);
}

}  // namespace
}  // namespace tarnwick
