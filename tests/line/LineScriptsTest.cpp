// The six WAN protocol scripts and the tear-down, line for line against golden files.
#include "line/LineScripts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Golden.h"

namespace tarnwick {
namespace {

// Lines as sent, every other item in brackets, then the flag updates.
std::vector<std::string> Render(const LineScript& script) {
  std::vector<std::string> out;
  for (const ScriptItem& item : script.items) {
    const std::string ms = std::to_string(item.ms);
    switch (item.kind) {
      case ScriptItem::Kind::Line:
        out.push_back(item.line);
        break;
      case ScriptItem::Kind::Execute:
        out.push_back("[reply within " + ms + " ms] " + item.line);
        break;
      case ScriptItem::Kind::Step:
        out.push_back("[step]");
        break;
      case ScriptItem::Kind::Pause:
        out.push_back("[pause " + ms + " ms]");
        break;
      case ScriptItem::Kind::Reconnect:
        out.push_back("[log in again after " + ms + " ms]");
        break;
      case ScriptItem::Kind::Hangup:
        out.push_back("[hang up]");
        break;
      case ScriptItem::Kind::Mark:
        out.push_back("[script sent]");
        break;
    }
  }
  if (script.DnsDiscoveryAllowed)
    out.push_back("[DnsDiscoveryAllowed=" + std::to_string(*script.DnsDiscoveryAllowed) + "]");
  if (script.PvcModeNormal)
    out.push_back("[PvcModeNormal=" + std::to_string(*script.PvcModeNormal) + "]");
  return out;
}

LineScriptInputs Inputs(int protocol, int framing, int autoWan, int nat, int dns,
                        const std::string& gateway = "192.0.2.1") {
  LineScriptInputs in;
  in.values.Protocol = protocol;
  in.values.Vpi = "8";
  in.values.Vci = "35";
  in.values.Channel = "1";
  in.values.UserName = "user@isp";
  in.values.Password = "pw";
  in.values.Framing = framing;
  in.values.AutoWan = autoWan;
  in.values.NatEnabled = nat;
  in.values.DnsDiscovery = dns;
  in.texts.LanIpText = "10.0.0.138";
  in.texts.LanMaskText = "ff:ff:ff:0";
  // Outside the WAN case Apply leaves the WAN texts empty.
  const bool wan = (protocol == kBridged && autoWan == 0) || protocol == kRouted ||
                   protocol == kIpoa || (protocol == kPppoa && autoWan == 0);
  if (wan) {
    in.texts.WanIpText = "192.0.2.10";
    in.texts.WanMaskText = "ff:ff:ff:0";
    in.texts.RemoteGatewayText = gateway;
  }
  return in;
}

TEST(LineScripts, EachProtocolAndConditionAsGolden) {
  struct Case {
    const char* name;
    LineScriptInputs in;
  };
  const std::vector<Case> cases = {
      {"bridged-fixed-nat-llc", Inputs(kBridged, 0, 0, 1, 0)},
      {"bridged-auto-no-framing", Inputs(kBridged, -1, 1, 0, 0)},
      {"routed-nat-llc", Inputs(kRouted, 0, 0, 1, 0)},
      {"routed-vcmux-no-gateway", Inputs(kRouted, 1, 0, 0, 0, "")},
      {"ipoa-nat", Inputs(kIpoa, 0, 0, 1, 0)},
      {"ipoa-no-gateway", Inputs(kIpoa, 0, 0, 0, 0, "")},
      {"pppoa-fixed-dns-llc-nat", Inputs(kPppoa, 0, 0, 1, 1)},
      {"pppoa-auto-vcmux", Inputs(kPppoa, 1, 1, 0, 0)},
      {"pppoe-dns-nat", Inputs(kPppoe, 1, 0, 1, 1)},
      {"pppoe-plain", Inputs(kPppoe, 1, 0, 0, 0)},
      {"transparent-llc", Inputs(kTransparentBridge, 0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ExpectGolden(Render(BuildLineScript(c.in)), std::string("line-script-") + c.name);
  }
  testing::ExpectGolden(LineTearDownLines(), "line-teardown");
}

// The whole Apply after validation, with the LAN as it was and with a new one.
TEST(LineScripts, TheWholeApplyAsGolden) {
  std::vector<std::string> out = {"# RFC 1483 Routed, the LAN as read"};
  for (const std::string& line : Render(BuildLineApply(Inputs(kRouted, 0, 0, 1, 0), false)))
    out.push_back(line);
  out.push_back("# RFC 2516 PPPoE, a new LAN address");
  for (const std::string& line : Render(BuildLineApply(Inputs(kPppoe, 1, 0, 0, 1), true)))
    out.push_back(line);
  testing::ExpectGolden(out, "line-apply-script");
}

}  // namespace
}  // namespace tarnwick
