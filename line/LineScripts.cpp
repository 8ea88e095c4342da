// The six WAN protocol scripts and the tear-down of the Line Configuration page.
#include "line/LineScripts.h"

namespace tarnwick {
namespace {

class Builder {
 public:
  explicit Builder(LineScript& script) : script_(script) {}
  Builder& Line(const std::string& text) { return Add(ScriptItem::Kind::Line, text + "\r\n"); }
  Builder& Step() { return Add(ScriptItem::Kind::Step, {}); }
  Builder& Execute(const std::string& text, Millis limitMs) {
    return Add(ScriptItem::Kind::Execute, text + "\r\n", limitMs);
  }
  Builder& Pause(Millis ms) { return Add(ScriptItem::Kind::Pause, {}, ms); }
  Builder& Reconnect(Millis delayMs) { return Add(ScriptItem::Kind::Reconnect, {}, delayMs); }
  Builder& Hangup() { return Add(ScriptItem::Kind::Hangup, {}); }
  Builder& Mark() { return Add(ScriptItem::Kind::Mark, {}); }

 private:
  Builder& Add(ScriptItem::Kind kind, std::string line, Millis ms = 0) {
    script_.items.push_back({kind, std::move(line), ms});
    return *this;
  }

  LineScript& script_;
};

// The same VPI and VCI for both directions.
std::string Pvc(const LineScriptInputs& in) {
  return in.values.Vpi + "/txvci=" + in.values.Vci + "/rxvpi=" + in.values.Vpi +
         "/rxvci=" + in.values.Vci;
}

std::string BridgePort(const LineScriptInputs& in) {
  return std::string("batch add bridge device add //bun/port=atm/rfc1483=true/mode=") +
         (in.values.Framing == 0 ? "llcbridged" : "vcmuxbridged") + "/txvpi=" + Pvc(in);
}

void LanLines(Builder& b, const LineScriptInputs& in, bool stepBetween) {
  b.Line("batch add ip device add lan ether //edd " + in.texts.LanIpText);
  if (stepBetween) b.Step();
  b.Line("batch add ip subnet add lan.home . " + in.texts.LanIpText + " " + in.texts.LanMaskText);
}

std::string DefaultRoute(const LineScriptInputs& in) {
  return "batch add ip route add default 0.0.0.0 " + in.texts.RemoteGatewayText + " 0:0:0:0";
}

std::string Llc(const LineScriptInputs& in) {
  return "batch add ppp " + in.values.Channel + " llc " + (in.values.Framing == 0 ? "1" : "0");
}

void Bridged(Builder& b, const LineScriptInputs& in, LineScript& s) {
  b.Line(BridgePort(in)).Step();
  LanLines(b, in, false);
  b.Step();
  if (in.values.AutoWan == 1) {
    b.Line("batch add ip device add wandevice bridge //bridge dhcp");
  } else {
    b.Line("batch add ip device add wandevice bridge //bridge " + in.texts.WanIpText);
    b.Line("batch add ip subnet add wandevice.home . " + in.texts.WanIpText + " " +
           in.texts.WanMaskText);
  }
  b.Step().Line("batch add ip rip accept all none").Line("batch add ip rip send all none").Step();
  if (in.values.AutoWan == 0 && !in.texts.RemoteGatewayText.empty()) b.Line(DefaultRoute(in));
  b.Step().Line("batch add ip relay all");
  if (in.values.NatEnabled == 1) b.Line("batch add ip nat add wandevice");
  b.Step();
  s.DnsDiscoveryAllowed = 1;
  s.PvcModeNormal = 1;
}

void Routed(Builder& b, const LineScriptInputs& in, LineScript& s) {
  LanLines(b, in, true);
  b.Step().Step();
  b.Line(std::string("batch add ip device add wan1 ptp //bun/port=atm/rfc1483=true/mode=") +
         (in.values.Framing == 0 ? "llcrouted" : "vcmuxrouted") + "/txvpi=" + Pvc(in) + " " +
         in.texts.WanIpText);
  b.Line("batch add ip subnet add wan1.home . " + in.texts.WanIpText + " " + in.texts.WanMaskText);
  b.Line("batch add ip relay all")
      .Line("batch add ip rip accept all none")
      .Line("batch add ip rip send all none")
      .Step();
  if (!in.texts.RemoteGatewayText.empty()) b.Line(DefaultRoute(in)).Step();
  if (in.values.NatEnabled == 1) b.Line("batch add ip nat add wan1");
  b.Step();
  s.DnsDiscoveryAllowed = 1;
  s.PvcModeNormal = 1;
}

void Ipoa(Builder& b, const LineScriptInputs& in, LineScript& s) {
  LanLines(b, in, true);
  b.Step();
  b.Line("batch add ip device add wanIPOA1 atm //atm " + in.texts.WanIpText);
  b.Line("batch add ip subnet add wanIPOA1.home . " + in.texts.WanIpText + " " +
         in.texts.WanMaskText);
  b.Step()
      .Line("batch add ip relay all")
      .Line("batch add ip rip accept all none")
      .Line("batch add ip rip send all none")
      .Step();
  if (!in.texts.RemoteGatewayText.empty()) b.Line(DefaultRoute(in));
  b.Step();
  std::string pvc =
      "batch add ip ipatm pvc add wanIPOA1 atm " + in.values.Vpi + "/" + in.values.Vci;
  if (!in.texts.RemoteGatewayText.empty()) pvc += " remoteip " + in.texts.RemoteGatewayText;
  b.Line(pvc).Step();
  if (in.values.NatEnabled == 1) b.Line("batch add ip nat add wanIPOA1");
  s.DnsDiscoveryAllowed = 1;
  s.PvcModeNormal = 1;
}

// The log-in, DNS and enable lines both PPP scripts share up to the DNS choice.
void PppLogin(Builder& b, const LineScriptInputs& in, LineScript& s) {
  b.Step();  // taken while the next line is being built
  b.Line("batch add ppp " + in.values.Channel + " welogin " + in.values.UserName + " " +
         in.values.Password);
  if (in.values.DnsDiscovery == 1) {
    b.Line("batch add ppp 1 enableprimarydns relay");
    s.DnsDiscoveryAllowed = 1;
  } else {
    b.Step();
  }
}

void Pppoa(Builder& b, const LineScriptInputs& in, LineScript& s) {
  LanLines(b, in, true);
  const std::string device =
      "batch add ip device add ppp_device ether //ppp/DEVICE=" + in.values.Channel;
  if (in.values.AutoWan == 1) {
    b.Line(device);
  } else {
    b.Line(device + " " + in.texts.WanIpText);
    b.Line("batch add ip subnet add ppp_device.home . " + in.texts.WanIpText + " " +
           in.texts.WanMaskText);
    if (!in.texts.RemoteGatewayText.empty()) b.Line(DefaultRoute(in));
    b.Line("batch add ppp interface " + in.values.Channel + " localip " + in.texts.WanIpText);
  }
  b.Step()
      .Line("batch add ppp " + in.values.Channel + " pvc " + in.values.Vpi + " " + in.values.Vci +
            " ip")
      .Step();
  PppLogin(b, in, s);
  b.Line("batch add ppp " + in.values.Channel + " enable")
      .Line("batch add ip relay all")
      .Line("batch add ip rip accept all none")
      .Line("batch add ip rip send all none");
  if (in.values.NatEnabled == 1) b.Line("batch add ip nat add ppp_device");
  b.Line(Llc(in)).Step();
  b.Line("batch add ppp 1 gateway local")
      .Line("batch add ppp " + in.values.Channel + " echo every 10");
  s.PvcModeNormal = 1;
}

void Pppoe(Builder& b, const LineScriptInputs& in, LineScript& s) {
  LanLines(b, in, true);
  b.Line("batch add ip device add ppp_device ether //ppp/DEVICE=" + in.values.Channel +
         " mtu 1492");
  b.Step()
      .Line("batch add ppp " + in.values.Channel + " pppoe " + in.values.Vpi + " " + in.values.Vci +
            " ")
      .Step();
  PppLogin(b, in, s);
  b.Line("batch add ppp 1 gateway local")
      .Line("batch add ppp " + in.values.Channel + " enable")
      .Line("batch add ip relay all")
      .Line("batch add ip rip accept all none")
      .Line("batch add ip rip send all none")
      .Step();
  if (in.values.NatEnabled == 1) b.Line("batch add ip nat add ppp_device");
  b.Line(Llc(in)).Line("batch add ppp " + in.values.Channel + " echo every 10");
  s.PvcModeNormal = 1;
}

void TransparentBridge(Builder& b, const LineScriptInputs& in, LineScript& s) {
  b.Line("batch add bridge device add edd").Step().Step();
  b.Line(BridgePort(in)).Step();
  b.Line("batch add ip device add bridge ether //bridge " + in.texts.LanIpText).Step().Step();
  b.Line("batch add ip subnet add bridge.home . " + in.texts.LanIpText + " " + in.texts.LanMaskText)
      .Step();
  s.DnsDiscoveryAllowed = 1;
}

}  // namespace

LineScript BuildLineScript(const LineScriptInputs& in) {
  LineScript script;
  Builder b(script);
  switch (in.values.Protocol) {
    case kBridged:
      Bridged(b, in, script);
      break;
    case kRouted:
      Routed(b, in, script);
      break;
    case kIpoa:
      Ipoa(b, in, script);
      break;
    case kPppoa:
      Pppoa(b, in, script);
      break;
    case kPppoe:
      Pppoe(b, in, script);
      break;
    case kTransparentBridge:
      TransparentBridge(b, in, script);
      break;
    default:
      break;
  }
  return script;
}

LineScript BuildLineApply(const LineScriptInputs& in, bool lanChanged) {
  constexpr Millis kReplyLimitMs = 5000;
  constexpr Millis kAfterExecutePauseMs = 500;
  constexpr Millis kReconnectDelayMs = 5000;
  constexpr Millis kClosingPauseMs = 100;
  LineScript script = BuildLineScript(in);
  std::vector<ScriptItem> items = {{ScriptItem::Kind::Step, {}}};
  for (const std::string& line : LineTearDownLines())
    items.push_back({ScriptItem::Kind::Line, line});
  items.insert(items.end(), script.items.begin(), script.items.end());
  script.items = std::move(items);
  Builder b(script);
  b.Mark();
  const std::string ping = "batch add ip ping " + in.texts.LanIpText;
  if (lanChanged) {
    // The link is lost once the batch runs.
    b.Line("batch add dhcpserver reset").Line("batch add config save").Line(ping);
    b.Line("batch delay 5").Line("batch execute").Pause(kAfterExecutePauseMs).Hangup();
  } else {
    b.Line(ping).Execute("batch delay 2", kReplyLimitMs).Execute("batch execute", kReplyLimitMs);
    // The router takes no log-in until it has rebuilt its interfaces; one that never takes it
    // again is no success to report.
    b.Reconnect(kReconnectDelayMs);
  }
  for (int i = 0; i < 3; ++i) b.Step().Pause(kClosingPauseMs);
  return script;
}

std::vector<std::string> LineTearDownLines() {
  std::vector<std::string> lines = {
      "ip nat delete wan\r\n",
      // The bridged script puts NAT on "wandevice": without this line re-applying it without
      // NAT would leave NAT on.
      "ip nat delete wandevice\r\n",
      "ip ipatm pvc flush\r\n",
      "ip nat delete ppp_device\r\n",
      "ip nat delete pppoe_device\r\n",
      "batch add ip device flush\r\n",
      "batch add ip subnet flush\r\n",
      "ip route delete default\r\n",
      "batch add bridge device flush\r\n",
      "batch add config reset ppp \r\n",
  };
  for (int n = 1; n <= 8; ++n) lines.push_back("ip nat delete wan" + std::to_string(n) + "\r\n");
  for (int n = 1; n <= 8; ++n)
    lines.push_back("ip nat delete wanIPOA" + std::to_string(n) + "\r\n");
  return lines;
}

}  // namespace tarnwick
