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
  Description& d = description_;
  d.Radio(kProtocolIds, values.Protocol).Setting("Protocol", "Protocol");
  d.Choices({"RFC 1483 Bridged", "RFC 1483 Routed", "RFC 1577 (IPoA)", "RFC 2364 (PPPoA)",
             "RFC2516 (PPPoE)", "Transparent Bridge"});
  d.On(IDC_LINE_BRIDGED, [this] { OnBridged(); }).On(IDC_LINE_ROUTED, [this] { OnRouted(); });
  d.On(IDC_LINE_IPOA, [this] { OnIpoa(); }).On(IDC_LINE_PPPOA, [this] { OnPppoa(); });
  d.On(IDC_LINE_PPPOE, [this] { OnPppoe(); });
  d.On(IDC_LINE_TRANSPARENT, [this] { OnTransparentBridge(); });
  d.Text(IDC_LINE_VPI, values.Vpi).Setting("Vpi", "VPI");
  d.Text(IDC_LINE_VCI, values.Vci).Setting("Vci", "VCI");
  d.Check(IDC_LINE_NAT, values.NatEnabled).Setting("NatEnabled", "Enable NAT");
  d.On(IDC_LINE_NAT, [this] { OnEnableNat(); });
  d.Text(IDC_LINE_CHANNEL, values.Channel).Setting("Channel", "Channel");
  d.Text(IDC_LINE_USER_NAME, values.UserName).Setting("UserName", "User Name");
  d.Text(IDC_LINE_PASSWORD, values.Password).Setting("Password", "Password").Secret();
  d.Radio(kFraming, values.Framing).Setting("Framing", "Framing Mode");
  d.Choices({"LLC SNAP", "VC MUX"});
  d.Check(IDC_LINE_AUTO_WAN, values.AutoWan).Setting("AutoWan", "Obtain Wan Setting Automatically");
  d.On(IDC_LINE_AUTO_WAN, [this] { OnAutoWan(); });
  d.Address(LanIp).Setting("LanIp", "LAN IP Configuration");
  d.Address(LanMask).Setting("LanMask", "LAN Subnet Mask");
  d.Address(WanIp).Setting("WanIp", "WAN IP Configuration");
  d.Address(RemoteGateway).Setting("RemoteGateway", "Remote Gateway");
  d.Address(WanMask).Setting("WanMask", "WAN Subnet Mask");
  d.Check(IDC_LINE_DNS_DISCOVERY, values.DnsDiscovery)
      .Setting("DnsDiscovery", "DNS Server Discovery");
  d.Button(IDC_LINE_INBOUND, [this] { OnInbound(); });
  d.Button(IDC_LINE_MULTIPLE_PVC, [this] { OnMultiplePvc(); });
  d.Button(IDC_LINE_APPLY, [this] { OnApplyLine(); }).Writes();
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

  const LineReading r = ReadLineState(listings, ask, {values, s.texts});
  values = r.values;
  s.texts = r.texts;
  s.SinglePvc = r.SinglePvc;

  SplitInto(LanIp, s.texts.LanIpText, '.');
  SplitInto(WanIp, s.texts.WanIpText, '.');
  SplitInto(RemoteGateway, s.texts.RemoteGatewayText, '.');
  SplitInto(LanMask, s.texts.LanMaskText, ':');
  SplitInto(WanMask, s.texts.WanMaskText, ':');
  Show();

  s.PvcModeNormal = s.SinglePvc == 0 && values.Protocol == kTransparentBridge ? 0 : 1;
  if (values.Protocol == kTransparentBridge) {
    s.BridgeVpi = values.Vpi;
    s.BridgeVci = values.Vci;
  }
  s.ReadProtocol = values.Protocol;
  s.ReadWanIp = s.texts.WanIpText;
  s.ReadUserName = values.UserName;
  s.ReadPassword = values.Password;
  s.ReadVpi = values.Vpi;
  s.ReadVci = values.Vci;
  s.ReadDnsDiscovery = values.DnsDiscovery;

  // The read protocol's handler sets the page's look; it runs only on a changed selection,
  // so it is handed another one and loads the true one back from the controls.
  const int read = values.Protocol;
  values.Protocol = read == kBridged ? kRouted : kBridged;
  OnCommand(kProtocolIds[static_cast<std::size_t>(read)]);
  MarkApplied();
}

void CLINE::OnSetActive() {
  Load();
  LineState& s = session().line;
  s.texts.LanIpText = LanIp.Join('.');
  std::string mask = LanMask.Join(':');
  ColonQuadToHex(mask);
  LanIpAtActivation = s.texts.LanIpText;
  LanMaskAtActivation = mask;
  Load();
  if (IsPpp(values.Protocol))
    view().Enable(IDC_LINE_DNS_DISCOVERY, session().DnsDiscoveryAllowed == 1);
  Show();
}

void CLINE::OnKillActive() {
  Load();
  session().DnsDiscoveryAllowed = values.DnsDiscovery == 1 ? 1 : 0;
}

// ---- Controls -----------------------------------------------------------------------------

bool CLINE::SelectionChanged() {
  const int before = values.Protocol;
  Load();
  return values.Protocol != before;
}

void CLINE::EnableForProtocol(int protocol) {
  const ProtocolLook& look = kLooks[protocol];
  View& v = view();
  auto on = [this](Rule rule) {
    switch (rule) {
      case Rule::Enabled:
        return true;
      case Rule::ByNat:
        return values.NatEnabled == 1;
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
  values.DnsDiscovery = 0;
  Show();
}

void CLINE::OnRouted() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kRouted);
  values.DnsDiscovery = 0;
  values.AutoWan = 0;
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
  if (values.Channel.empty()) values.Channel = "1";
  Show();
}

void CLINE::OnPppoe() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kPppoe);
  if (values.Channel.empty()) values.Channel = "1";
  values.Framing = 1;
  values.AutoWan = 0;
  Show();
}

void CLINE::OnTransparentBridge() {
  if (!SelectionChanged()) return;
  EnableForProtocol(kTransparentBridge);
  values.DnsDiscovery = 0;
  values.NatEnabled = 0;
  Show();
}

void CLINE::OnAutoWan() {
  Load();
  const bool automatic = values.AutoWan == 1;
  EnableAll(view(), kWanLabels, !automatic);
  for (OctetField* field : {&WanIp, &RemoteGateway, &WanMask}) {
    EnableAll(view(), {field->ids().begin(), field->ids().end()}, !automatic);
    if (automatic) field->Clear();
  }
  Show();
}

void CLINE::OnEnableNat() {
  Load();
  view().Enable(IDC_LINE_INBOUND, values.NatEnabled == 1);
}

void CLINE::OnInbound() {
  Load();
  CINBOUND inbound(session(), values.Protocol);
  view().RunModal(inbound);
}

// ---- Validation ---------------------------------------------------------------------------

bool CLINE::WanCase() const {
  return (values.Protocol == kBridged && values.AutoWan == 0) || values.Protocol == kRouted ||
         values.Protocol == kIpoa || (values.Protocol == kPppoa && values.AutoWan == 0);
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
  if (values.Vpi.empty()) return fail("Please set VPI.");
  if (!IsWithin(values.Vpi, 255)) return fail("Error in VPI.");
  if (values.Vci.empty()) return fail("Please set VCI.");
  if (!IsWithin(values.Vci, 65535)) return fail("Error in VCI.");

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

  if (IsPpp(values.Protocol)) {
    if (values.Channel.empty()) return fail("Please set Channel Number.");
    if (!IsAllDigits(values.Channel)) return fail("Error in Channel Number.");
    if (values.UserName.empty()) return fail("Please set User Name.");
    if (values.Password.empty()) return fail("Please set Password.");
    // Each travels as one token of a command line: a blank would split it on the router and
    // a control byte would end the line early.
    if (!IsCommandToken(values.UserName))
      return fail("The user name may hold only printable characters, and no blanks.");
    if (!IsCommandToken(values.Password))
      return fail("The password may hold only printable characters, and no blanks.");
  }
  return true;
}

void CLINE::BuildTexts() {
  LineState& s = session().line;
  s.texts.LanIpText = LanIp.Join('.');
  s.texts.LanMaskText = lanMaskHex_;
  if (WanCase()) {
    s.texts.WanIpText = WanIp.Join('.');
    s.texts.WanMaskText = wanMaskHex_;
    s.texts.RemoteGatewayText = RemoteGateway.Join('.');
  }
}

LineScriptInputs CLINE::ScriptInputs() const { return {values, session().line.texts}; }

// ---- Apply --------------------------------------------------------------------------------

void CLINE::OnApplyLine() {
  LineState& s = session().line;
  for (std::string* text : {&s.texts.LanIpText, &s.texts.WanIpText, &s.texts.LanMaskText,
                            &s.texts.RemoteGatewayText, &s.texts.WanMaskText})
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
  LanIpAtActivation = s.texts.LanIpText;
  LanMaskAtActivation = s.texts.LanMaskText;
  StoreRouterAddress();
  MarkApplied();
  if (programEnds) view().EndDialog(0);
}

bool CLINE::Apply(bool& programEnds) {
  LineState& s = session().line;
  WriteScript script(session());
  // The script runs on a fresh log-in.
  if (!script.Reconnect(0)) return false;
  if (!ValidateLinePage()) return false;
  BuildTexts();

  WaitProgress wait(session().ui, session().clock, session().channel.pace);
  wait.Show("");
  wait.Repaint();
  const bool lanChanged =
      s.texts.LanIpText != LanIpAtActivation || s.texts.LanMaskText != LanMaskAtActivation;
  const LineScript apply = BuildLineApply(ScriptInputs(), lanChanged);
  const auto scriptSent = [&] {
    if (apply.DnsDiscoveryAllowed) session().DnsDiscoveryAllowed = *apply.DnsDiscoveryAllowed;
    if (apply.PvcModeNormal) s.PvcModeNormal = *apply.PvcModeNormal;
    if (lanChanged) {
      // The link is lost once the batch runs: the user is told before, and the program ends.
      CExitDlg exitDialog;
      view().RunModal(exitDialog);
    }
    return true;
  };
  if (!script.Play(apply.items, wait, scriptSent)) return false;
  programEnds = lanChanged;
  return true;
}

void CLINE::StoreRouterAddress() {
  LineState& s = session().line;
  CommandChannel& channel = session().channel;
  // A port given at log-in stays: the router keeps listening where it was reached.
  std::string address = s.texts.LanIpText;
  if (const std::size_t colon = channel.RouterAddress.rfind(':'); colon != std::string::npos)
    address += channel.RouterAddress.substr(colon);
  channel.RouterAddress = address;
  if (!session().settings.WriteIPAddress(address)) return;
  s.ReadWanIp = s.texts.WanIpText;
  s.ReadUserName = values.UserName;
  s.ReadPassword = values.Password;
  s.ReadVpi = values.Vpi;
  s.ReadVci = values.Vci;
  s.ReadProtocol = values.Protocol;
  s.ReadDnsDiscovery = values.DnsDiscovery;
}

// ---- Multiple PVC -------------------------------------------------------------------------

void CLINE::OnMultiplePvc() {
  LineState& s = session().line;
  for (std::string* text : {&s.texts.LanIpText, &s.texts.LanMaskText, &s.texts.WanIpText,
                            &s.texts.WanMaskText, &s.texts.RemoteGatewayText})
    text->clear();
  Load();
  if (!ValidateLinePage()) return;
  BuildTexts();
  if (!s.texts.WanMaskText.empty()) HexColonQuadToDecimal(s.texts.WanMaskText);

  CMULTIPVC dialog(session());
  PvcValues& in = dialog;
  const bool noWan = values.Protocol == kPppoe || values.Protocol == kTransparentBridge;
  in.EntryWanIp = noWan ? " " : s.texts.WanIpText;
  if (values.AutoWan == 1 && (values.Protocol == kBridged || values.Protocol == kPppoa))
    in.EntryWanIp = "dhcp";
  in.EntryWanMask = noWan ? " " : s.texts.WanMaskText;
  in.EntryProtocol = values.Protocol;
  in.DnsRelay = IsPpp(values.Protocol) && values.DnsDiscovery == 1 ? 1 : 0;
  if (values.Protocol == kIpoa) in.EntryRemoteIp = s.texts.RemoteGatewayText;
  if (WanCase()) in.DefaultGateway = s.texts.RemoteGatewayText;
  in.LanIp = s.texts.LanIpText;
  in.LanMask = s.texts.LanMaskText;
  in.EntryVpi = values.Vpi;
  in.EntryVci = values.Vci;
  in.EntryFraming = values.Framing;
  in.EntryNat = values.NatEnabled;
  in.PppUserName = values.UserName;
  in.PppPassword = values.Password;
  in.PppChannel = values.Channel;

  if (values.UserName == s.ReadUserName && values.Password == s.ReadPassword &&
      values.Vci == s.ReadVci && values.Vpi == s.ReadVpi && s.texts.WanIpText == s.ReadWanIp &&
      values.Protocol == s.ReadProtocol && values.DnsDiscovery == s.ReadDnsDiscovery) {
    s.LineChangedSinceRead = 0;
  } else {
    s.LineChangedSinceRead = 1;
    s.ReadVpi = values.Vpi;
    s.ReadVci = values.Vci;
  }
  if (values.Protocol == kTransparentBridge) s.PvcModeNormal = 0;
  if (IsPpp(values.Protocol) && s.LineChangedSinceRead == 1) in.PppSeeded = 1;

  if (s.PvcModeNormal == 0 && values.Protocol != kTransparentBridge) {
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
      values.Protocol = kTransparentBridge;
      OnTransparentBridge();
      values.Vpi = s.BridgeVpi;
      values.Vci = s.BridgeVci;
      values.Protocol = kTransparentBridge;
      Show();
    }
  }
  Load();
  if (values.Protocol == kTransparentBridge) {
    s.BridgeVpi = values.Vpi;
    s.BridgeVci = values.Vci;
  }
  view().RunModal(dialog);
}

}  // namespace tarnwick
