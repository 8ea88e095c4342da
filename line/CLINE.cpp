// The Line Configuration page: reading, activation, the protocol handlers, Apply and the
// inputs of the Multiple PVC dialog.
#include "line/CLINE.h"

#include <vector>

#include "channel/TextHelpers.h"
#include "lan/CINBOUND.h"
#include "multipvc/CMULTIPVC.h"
#include "ui/CommandText.h"
#include "ui/ExitDialog.h"
#include "ui/Router.h"
#include "ui/WaitProgress.h"

namespace tarnwick {
namespace {

constexpr Millis kReplyLimitMs = 5000;
constexpr Millis kAfterExecutePauseMs = 500;
constexpr Millis kReconnectDelayMs = 5000;
constexpr Millis kClosingPauseMs = 100;

const std::vector<int> kProtocolIds = {IDC_LINE_BRIDGED, IDC_LINE_ROUTED, IDC_LINE_IPOA,
                                       IDC_LINE_PPPOA,   IDC_LINE_PPPOE,  IDC_LINE_TRANSPARENT};
const std::vector<int> kFraming = {IDC_LINE_LLC, IDC_LINE_VCMUX};
const std::vector<int> kPppLogin = {IDC_LINE_USER_NAME, IDC_LINE_PASSWORD, IDC_LINE_USER_NAME_LABEL,
                                    IDC_LINE_PASSWORD_LABEL};
const std::vector<int> kChannel = {IDC_LINE_CHANNEL, IDC_LINE_CHANNEL_LABEL};
const std::vector<int> kWanLabels = {IDC_LINE_WAN_IP_LABEL, IDC_LINE_WAN_MASK_LABEL,
                                     IDC_LINE_GATEWAY_LABEL};

// How each protocol's handler sets the page's controls.
enum class Rule { Enabled, Disabled, ByNat, ByAutoWan, ByFirmware, ByDnsAllowed };
struct ProtocolLook {
  Rule framing, nat, inbound, ppp, autoWan, wanRows, dnsDiscovery;
};
constexpr ProtocolLook kLooks[] = {
    // framing, NAT, Inbound, PPP log-in, automatic WAN, WAN rows, DNS discovery
    {Rule::Enabled, Rule::Enabled, Rule::ByNat, Rule::Disabled, Rule::ByFirmware, Rule::ByAutoWan,
     Rule::Disabled},  // RFC 1483 Bridged
    {Rule::Enabled, Rule::Enabled, Rule::ByNat, Rule::Disabled, Rule::Disabled, Rule::Enabled,
     Rule::Disabled},  // RFC 1483 Routed
    {Rule::Disabled, Rule::Enabled, Rule::ByNat, Rule::Disabled, Rule::Disabled, Rule::Enabled,
     Rule::Disabled},  // RFC 1577 IPoA
    {Rule::Enabled, Rule::Enabled, Rule::ByNat, Rule::Enabled, Rule::Enabled, Rule::ByAutoWan,
     Rule::ByDnsAllowed},  // RFC 2364 PPPoA
    {Rule::Disabled, Rule::Enabled, Rule::ByNat, Rule::Enabled, Rule::Disabled, Rule::Disabled,
     Rule::ByDnsAllowed},  // RFC 2516 PPPoE
    {Rule::Enabled, Rule::Disabled, Rule::Disabled, Rule::Disabled, Rule::Disabled, Rule::Disabled,
     Rule::Disabled},  // Transparent Bridge
};

bool IsPpp(int protocol) { return protocol == kPppoa || protocol == kPppoe; }

// A VPI or VCI: decimal digits within what ATM can carry.
bool IsWithin(const std::string& digits, unsigned long max) {
  if (!IsAllDigits(digits)) return false;
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return true;
  return digits.size() - first <= 5 && std::stoul(digits.substr(first)) <= max;
}

// Only an address text goes into the digits-only boxes (a WAN device may list "dhcp").
bool IsAddressText(const std::string& text, char separator) {
  for (char c : text)
    if (c != separator && (c < '0' || c > '9')) return false;
  return true;
}

void SplitInto(OctetField& field, const std::string& text, char separator) {
  if (IsAddressText(text, separator)) field.Split(text, separator);
}

}  // namespace

CLINE::CLINE(Session& session) : Page(session) {
  description_.Radio(kProtocolIds, Protocol)
      .Setting("Protocol", "Protocol")
      .Choices({"RFC 1483 Bridged", "RFC 1483 Routed", "RFC 1577 (IPoA)", "RFC 2364 (PPPoA)",
                "RFC2516 (PPPoE)", "Transparent Bridge"})
      .On(IDC_LINE_BRIDGED, [this] { OnBridged(); })
      .On(IDC_LINE_ROUTED, [this] { OnRouted(); })
      .On(IDC_LINE_IPOA, [this] { OnIpoa(); })
      .On(IDC_LINE_PPPOA, [this] { OnPppoa(); })
      .On(IDC_LINE_PPPOE, [this] { OnPppoe(); })
      .On(IDC_LINE_TRANSPARENT, [this] { OnTransparentBridge(); })
      .Text(IDC_LINE_VPI, Vpi)
      .Setting("Vpi", "VPI")
      .Text(IDC_LINE_VCI, Vci)
      .Setting("Vci", "VCI")
      .Check(IDC_LINE_NAT, NatEnabled)
      .Setting("NatEnabled", "Enable NAT")
      .On(IDC_LINE_NAT, [this] { OnEnableNat(); })
      .Text(IDC_LINE_CHANNEL, Channel)
      .Setting("Channel", "Channel")
      .Text(IDC_LINE_USER_NAME, UserName)
      .Setting("UserName", "User Name")
      .Text(IDC_LINE_PASSWORD, Password)
      .Setting("Password", "Password")
      .Secret()
      .Radio(kFraming, Framing)
      .Setting("Framing", "Framing Mode")
      .Choices({"LLC SNAP", "VC MUX"})
      .Check(IDC_LINE_AUTO_WAN, AutoWan)
      .Setting("AutoWan", "Obtain Wan Setting Automatically")
      .On(IDC_LINE_AUTO_WAN, [this] { OnAutoWan(); })
      .Address(LanIp)
      .Setting("LanIp", "LAN IP Configuration")
      .Address(LanMask)
      .Setting("LanMask", "LAN Subnet Mask")
      .Address(WanIp)
      .Setting("WanIp", "WAN IP Configuration")
      .Address(RemoteGateway)
      .Setting("RemoteGateway", "Remote Gateway")
      .Address(WanMask)
      .Setting("WanMask", "WAN Subnet Mask")
      .Check(IDC_LINE_DNS_DISCOVERY, DnsDiscovery)
      .Setting("DnsDiscovery", "DNS Server Discovery")
      .Button(IDC_LINE_INBOUND, [this] { OnInbound(); })
      .Button(IDC_LINE_MULTIPLE_PVC, [this] { OnMultiplePvc(); })
      .Button(IDC_LINE_APPLY, [this] { OnApplyLine(); });
  Declare(ControlKind::Any, kWanLabels);
  Declare(ControlKind::Any,
          {IDC_LINE_USER_NAME_LABEL, IDC_LINE_PASSWORD_LABEL, IDC_LINE_CHANNEL_LABEL});
}

// ---- Reading and activation -------------------------------------------------------------

void CLINE::ReadRouterState() {
  Show();
  LineState& s = session().line;
  s.SinglePvc = 1;
  s.BridgeLossAccepted = 0;
  s.LineChangedSinceRead = 1;
  session().DnsDiscoveryAllowed = 1;
  for (std::string* text : {&s.ReadVpi, &s.ReadVci, &s.ReadWanIp, &s.ReadUserName, &s.ReadPassword,
                            &s.BridgeVpi, &s.BridgeVci})
    text->clear();

  auto ask = [this](const std::string& command) { return router().Ask(command, kReplyLimitMs); };
  LineListings listings;
  listings.nat = ask("ip nat\r\n");
  listings.bridge = ask("bridge device\r\n");
  listings.device = ask("ip device\r\n");
  listings.subnet = ask("ip subnet\r\n");
  listings.ppp = ask("flashfs cat initppp\r\n");

  LineReading start;
  static_cast<LineValues&>(start) = *this;
  static_cast<LineTexts&>(start) = s;
  const LineReading r = ReadLineState(listings, ask, start);
  static_cast<LineValues&>(*this) = r;
  static_cast<LineTexts&>(s) = r;
  s.SinglePvc = r.SinglePvc;

  SplitInto(LanIp, s.LanIpText, '.');
  SplitInto(WanIp, s.WanIpText, '.');
  SplitInto(RemoteGateway, s.RemoteGatewayText, '.');
  SplitInto(LanMask, s.LanMaskText, ':');
  SplitInto(WanMask, s.WanMaskText, ':');
  Show();

  s.PvcModeNormal = s.SinglePvc == 0 && Protocol == kTransparentBridge ? 0 : 1;
  if (Protocol == kTransparentBridge) {
    s.BridgeVpi = Vpi;
    s.BridgeVci = Vci;
  }
  s.ReadProtocol = Protocol;
  s.ReadWanIp = s.WanIpText;
  s.ReadUserName = UserName;
  s.ReadPassword = Password;
  s.ReadVpi = Vpi;
  s.ReadVci = Vci;
  s.ReadDnsDiscovery = DnsDiscovery;

  // The read protocol's handler sets the page's look; it runs only on a changed selection,
  // so it is handed another one and loads the true one back from the controls.
  const int read = Protocol;
  Protocol = read == kBridged ? kRouted : kBridged;
  OnCommand(kProtocolIds[static_cast<std::size_t>(read)]);
}

void CLINE::OnSetActive() {
  Load();
  LineState& s = session().line;
  s.LanIpText = LanIp.Join('.');
  std::string mask = LanMask.Join(':');
  ColonQuadToHex(mask);
  LanIpAtActivation = s.LanIpText;
  LanMaskAtActivation = mask;
  Load();
  if (IsPpp(Protocol)) view().Enable(IDC_LINE_DNS_DISCOVERY, session().DnsDiscoveryAllowed == 1);
  Show();
}

void CLINE::OnKillActive() {
  Load();
  session().DnsDiscoveryAllowed = DnsDiscovery == 1 ? 1 : 0;
}

// ---- Controls -----------------------------------------------------------------------------

bool CLINE::SelectionChanged() {
  const int before = Protocol;
  Load();
  return Protocol != before;
}

void CLINE::EnableForProtocol(int protocol) {
  const ProtocolLook& look = kLooks[protocol];
  View& v = view();
  auto on = [this](Rule rule) {
    switch (rule) {
      case Rule::Enabled:
        return true;
      case Rule::ByNat:
        return NatEnabled == 1;
      case Rule::ByDnsAllowed:
        return session().DnsDiscoveryAllowed == 1;
      default:
        return false;
    }
  };
  v.Enable(IDC_LINE_MULTIPLE_PVC, true);
  EnableAll(v, {LanIp.ids().begin(), LanIp.ids().end()}, true);
  EnableAll(v, {LanMask.ids().begin(), LanMask.ids().end()}, true);
  EnableAll(v, kFraming, on(look.framing));
  v.Enable(IDC_LINE_NAT, on(look.nat));
  v.Enable(IDC_LINE_INBOUND, on(look.inbound));
  EnableAll(v, kPppLogin, on(look.ppp));
  EnableAll(v, kChannel, false);
  // The firmware and the automatic-WAN box are asked by the handlers that depend on them.
  if (look.autoWan != Rule::ByFirmware) v.Enable(IDC_LINE_AUTO_WAN, on(look.autoWan));
  if (look.wanRows != Rule::ByAutoWan) {
    const bool wan = on(look.wanRows);
    EnableAll(v, kWanLabels, wan);
    for (const OctetField* field : {&WanIp, &WanMask, &RemoteGateway})
      EnableAll(v, {field->ids().begin(), field->ids().end()}, wan);
  }
  v.Enable(IDC_LINE_DNS_DISCOVERY, on(look.dnsDiscovery));
}

void CLINE::CheckFirmware() {
  const std::string reply = router().Ask("version\r\n", kReplyLimitMs);
  view().Enable(IDC_LINE_AUTO_WAN, reply.find("Version 10") == std::string::npos);
}

void CLINE::OnBridged() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kBridged);
  CheckFirmware();
  OnAutoWan();
  DnsDiscovery = 0;
  Show();
}

void CLINE::OnRouted() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kRouted);
  DnsDiscovery = 0;
  AutoWan = 0;
  Show();
}

void CLINE::OnIpoa() {
  // Routed's body runs unless IPoA was already selected; the rest runs in every case.
  OnRouted();
  view().Enable(IDC_LINE_MULTIPLE_PVC, true);
  EnableAll(view(), kFraming, false);
  Show();
}

void CLINE::OnPppoa() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kPppoa);
  OnAutoWan();
  if (Channel.empty()) Channel = "1";
  Show();
}

void CLINE::OnPppoe() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kPppoe);
  if (Channel.empty()) Channel = "1";
  Framing = 1;
  AutoWan = 0;
  Show();
}

void CLINE::OnTransparentBridge() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kTransparentBridge);
  DnsDiscovery = 0;
  NatEnabled = 0;
  Show();
}

void CLINE::OnAutoWan() {
  Load();
  const bool automatic = AutoWan == 1;
  EnableAll(view(), kWanLabels, !automatic);
  for (OctetField* field : {&WanIp, &RemoteGateway, &WanMask}) {
    EnableAll(view(), {field->ids().begin(), field->ids().end()}, !automatic);
    if (automatic) field->Clear();
  }
  Show();
}

void CLINE::OnEnableNat() {
  Load();
  view().Enable(IDC_LINE_INBOUND, NatEnabled == 1);
}

void CLINE::OnInbound() {
  Load();
  CINBOUND inbound(session(), Protocol);
  view().RunModal(inbound);
}

// ---- Validation ---------------------------------------------------------------------------

bool CLINE::WanCase() const {
  return (Protocol == kBridged && AutoWan == 0) || Protocol == kRouted || Protocol == kIpoa ||
         (Protocol == kPppoa && AutoWan == 0);
}

bool CLINE::ValidateLinePage() {
  auto fail = [this](const std::string& text) {
    Error(text);
    return false;
  };
  if (auto f = LanIp.Fault({"Please set Lan IP in the format xxx xxx xxx xxx.",
                            {"Error in Lan IP1 address.", "Error in Lan IP2 address",
                             "Error in Lan IP3 address", "Error in Lan IP4 address"}}))
    return fail(*f);
  // Converted on a copy: the boxes keep showing the decimal mask.
  OctetField lanMask = LanMask;
  if (auto f = lanMask.FaultToHex({"Please set Lan Subnet in the format xxx xxx xxx xxx.",
                                   {"Error in Lan Subnet1.", "Error in Lan Subnet2.",
                                    "Error in Lan Subnet3.", "Error in Lan Subnet4."}}))
    return fail(*f);
  LanMask.Fault({"", {}});  // trims the boxes as the conversion did
  lanMaskHex_ = lanMask.Join(':');

  // ATM cannot carry a larger VPI or VCI; the router would refuse the device line after the
  // tear-down and leave the user without a WAN.
  if (Vpi.empty()) return fail("Please set VPI.");
  if (!IsWithin(Vpi, 255)) return fail("Error in VPI.");
  if (Vci.empty()) return fail("Please set VCI.");
  if (!IsWithin(Vci, 65535)) return fail("Error in VCI.");

  wanMaskHex_.clear();
  if (WanCase()) {
    if (auto f = WanIp.Fault({"Please set Wan IP in the format xxx xxx xxx xxx.",
                              {"Error in Wan IP1 address.", "Error in Wan IP2 address.",
                               "Error in Wan IP3 address.", "Error in Wan IP4 address."}}))
      return fail(*f);
    if (auto f = RemoteGateway.Fault(
            {"Please set Remote GateWay in the format xxx xxx xxx xxx.",
             {"Error in Remote Gateway1 address.", "Error in Remote Gateway2 address.",
              "Error in Remote Gateway3 address.", "Error in Remote Gateway4 address."}}))
      return fail(*f);
    OctetField wanMask = WanMask;
    if (auto f = wanMask.FaultToHex({"Please set Wan Subnet in the format xxx xxx xxx xxx.",
                                     {"Error in Wan Subnet1.", "Error in Wan Subnet2.",
                                      "Error in Wan Subnet3.", "Error in Wan Subnet4."}}))
      return fail(*f);
    WanMask.Fault({"", {}});
    wanMaskHex_ = wanMask.Join(':');
  }

  if (IsPpp(Protocol)) {
    if (Channel.empty()) return fail("Please set Channel Number.");
    if (!IsAllDigits(Channel)) return fail("Error in Channel Number.");
    if (UserName.empty()) return fail("Please set User Name.");
    if (Password.empty()) return fail("Please set Password.");
    // Each travels as one token of a command line: a blank would split it on the router and
    // a control byte would end the line early.
    if (!IsCommandToken(UserName))
      return fail("The user name may hold only printable characters, and no blanks.");
    if (!IsCommandToken(Password))
      return fail("The password may hold only printable characters, and no blanks.");
  }
  return true;
}

void CLINE::BuildTexts() {
  LineState& s = session().line;
  s.LanIpText = LanIp.Join('.');
  s.LanMaskText = lanMaskHex_;
  if (WanCase()) {
    s.WanIpText = WanIp.Join('.');
    s.WanMaskText = wanMaskHex_;
    s.RemoteGatewayText = RemoteGateway.Join('.');
  }
}

LineScriptInputs CLINE::ScriptInputs() const {
  LineScriptInputs in;
  static_cast<LineValues&>(in) = *this;
  static_cast<LineTexts&>(in) = session().line;
  return in;
}

// ---- Apply --------------------------------------------------------------------------------

void CLINE::OnApplyLine() {
  LineState& s = session().line;
  for (std::string* text :
       {&s.LanIpText, &s.WanIpText, &s.LanMaskText, &s.RemoteGatewayText, &s.WanMaskText})
    text->clear();
  Load();
  if (s.SinglePvc == 0) {
    if (Ask("All Multiple PVC configuration would be lost and changed to Single PVC if you "
            "continue.",
            "Warning") == Answer::Yes)
      s.SinglePvc = 1;
    if (s.SinglePvc == 0) return;
  }
  bool programEnds = false;
  if (!Apply(programEnds)) return;

  Tell("Configuration Successful", "Complete");
  session().ConfigChanged = true;
  LanIpAtActivation = s.LanIpText;
  LanMaskAtActivation = s.LanMaskText;
  StoreRouterAddress();
  if (programEnds) view().EndDialog(0);
}

bool CLINE::Apply(bool& programEnds) {
  LineState& s = session().line;
  WriteScript script(session());
  // The script runs on a fresh log-in.
  if (!script.Reconnect(0)) return false;
  if (!ValidateLinePage()) return false;
  BuildTexts();

  WaitProgress wait(session().ui, session().clock);
  wait.Show("");
  wait.Repaint();
  wait.Step();
  for (const std::string& line : LineTearDownLines()) script.Send(line);
  const bool lanChanged = s.LanIpText != LanIpAtActivation || s.LanMaskText != LanMaskAtActivation;
  const LineScript lineScript = BuildLineScript(ScriptInputs());
  if (!script.Play(lineScript.items, wait)) return false;
  if (lineScript.DnsDiscoveryAllowed)
    session().DnsDiscoveryAllowed = *lineScript.DnsDiscoveryAllowed;
  if (lineScript.PvcModeNormal) s.PvcModeNormal = *lineScript.PvcModeNormal;

  const std::string ping = "batch add ip ping " + s.LanIpText + "\r\n";
  if (lanChanged) {
    // The link is lost once the batch runs: the user is told before, and the program ends.
    CExitDlg exitDialog;
    view().RunModal(exitDialog);
    for (const char* line : {"batch add dhcpserver reset\r\n", "batch add config save\r\n"})
      script.Send(line);
    script.Send(ping);
    script.Send("batch delay 5\r\n");
    script.Send("batch execute\r\n");
    if (!script.ok()) return false;
    session().clock.Sleep(kAfterExecutePauseMs);
    router().Hangup();
    programEnds = true;
  } else {
    script.Send(ping);
    script.Execute("batch delay 2\r\n", kReplyLimitMs);
    script.Execute("batch execute\r\n", kReplyLimitMs);
    if (!script.ok()) return false;
    // The router rebuilds its interfaces before it takes a log-in again; a router that does
    // not take it is no success to report.
    if (!script.Reconnect(kReconnectDelayMs)) return false;
  }
  for (int i = 0; i < 3; ++i) {
    wait.Step();
    session().clock.Sleep(kClosingPauseMs);
  }
  return true;
}

void CLINE::StoreRouterAddress() {
  LineState& s = session().line;
  CommandChannel& channel = session().channel;
  // A port given at log-in stays: the router keeps listening where it was reached.
  std::string address = s.LanIpText;
  if (const std::size_t colon = channel.RouterAddress.rfind(':'); colon != std::string::npos)
    address += channel.RouterAddress.substr(colon);
  channel.RouterAddress = address;
  if (!session().settings.WriteIPAddress(address)) return;
  s.ReadWanIp = s.WanIpText;
  s.ReadUserName = UserName;
  s.ReadPassword = Password;
  s.ReadVpi = Vpi;
  s.ReadVci = Vci;
  s.ReadProtocol = Protocol;
  s.ReadDnsDiscovery = DnsDiscovery;
}

// ---- Multiple PVC -------------------------------------------------------------------------

void CLINE::OnMultiplePvc() {
  LineState& s = session().line;
  for (std::string* text :
       {&s.LanIpText, &s.LanMaskText, &s.WanIpText, &s.WanMaskText, &s.RemoteGatewayText})
    text->clear();
  Load();
  if (!ValidateLinePage()) return;
  BuildTexts();
  if (!s.WanMaskText.empty()) HexColonQuadToDecimal(s.WanMaskText);

  CMULTIPVC dialog(session());
  PvcValues& in = dialog;
  const bool noWan = Protocol == kPppoe || Protocol == kTransparentBridge;
  in.EntryWanIp = noWan ? " " : s.WanIpText;
  if (AutoWan == 1 && (Protocol == kBridged || Protocol == kPppoa)) in.EntryWanIp = "dhcp";
  in.EntryWanMask = noWan ? " " : s.WanMaskText;
  in.EntryProtocol = Protocol;
  in.DnsRelay = IsPpp(Protocol) && DnsDiscovery == 1 ? 1 : 0;
  if (Protocol == kIpoa) in.EntryRemoteIp = s.RemoteGatewayText;
  if (WanCase()) in.DefaultGateway = s.RemoteGatewayText;
  in.LanIp = s.LanIpText;
  in.LanMask = s.LanMaskText;
  in.EntryVpi = Vpi;
  in.EntryVci = Vci;
  in.EntryFraming = Framing;
  in.EntryNat = NatEnabled;
  in.PppUserName = UserName;
  in.PppPassword = Password;
  in.PppChannel = Channel;

  if (UserName == s.ReadUserName && Password == s.ReadPassword && Vci == s.ReadVci &&
      Vpi == s.ReadVpi && s.WanIpText == s.ReadWanIp && Protocol == s.ReadProtocol &&
      DnsDiscovery == s.ReadDnsDiscovery) {
    s.LineChangedSinceRead = 0;
  } else {
    s.LineChangedSinceRead = 1;
    s.ReadVpi = Vpi;
    s.ReadVci = Vci;
  }
  if (Protocol == kTransparentBridge) s.PvcModeNormal = 0;
  if (IsPpp(Protocol) && s.LineChangedSinceRead == 1) in.PppSeeded = 1;

  if (s.PvcModeNormal == 0 && Protocol != kTransparentBridge) {
    if (Ask("Multiple PVC configuration set in Transparent Bridge mode would be lost if you "
            "continue.",
            "Warning") == Answer::Yes) {
      s.BridgeLossAccepted = 1;
      s.PvcModeNormal = 1;
    } else {
      // Back to the transparent bridge the router holds.
      s.LineChangedSinceRead = 0;
      s.PvcModeNormal = 0;
      Load();
      Protocol = kTransparentBridge;
      OnTransparentBridge();
      Vpi = s.BridgeVpi;
      Vci = s.BridgeVci;
      Protocol = kTransparentBridge;
      Show();
    }
  }
  Load();
  if (Protocol == kTransparentBridge) {
    s.BridgeVpi = Vpi;
    s.BridgeVci = Vci;
  }
  view().RunModal(dialog);
}

}  // namespace tarnwick
