// The DHCP page: reading the server and relay, the two check boxes, Apply and Remove DHCP.
#include "lan/CDHCP.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "channel/TextHelpers.h"
#include "ui/Router.h"
#include "ui/WaitProgress.h"

namespace tarnwick {
namespace {

// The longest dotted address; anything longer is not one and never reaches an octet split.
constexpr std::size_t kMaxDottedLength = 15;
constexpr double kSecondsPerDay = 24.0 * 3600.0;

const char* const kRelayReset = "dnsrelay config reset\r\n";
// Stops the server: Remove DHCP, and Apply with "Enable DHCP" unticked.
const char* const kServerRemoval[] = {"dhcpserver config flush\r\n",
                                      "dhcpserver config confirm\r\n", "dhcpserver reset\r\n"};

std::string WithoutSemicolons(std::string text) {
  std::erase(text, ';');
  return text;
}

// Field m of the first line holding key; empty when no line does.
std::string Field(const std::string& reply, const char* key, int m) {
  std::string out;
  return GetReplyField(reply, key, 1, m, out) ? out : std::string();
}

OctetMessages Invalid(const std::string& head, const std::string& tail = ".") {
  return {"", {head + "1" + tail, head + "2" + tail, head + "3" + tail, head + "4" + tail}};
}

}  // namespace

std::string LeaseSecondsToDays(const std::string& listed) {
  const std::string text = WithoutSemicolons(listed);
  // Leading digits only; a count far beyond any real lease stops growing rather than wraps.
  std::uint64_t seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (seconds > std::numeric_limits<std::uint64_t>::max() / 10 - 1) break;
    seconds = seconds * 10 + static_cast<unsigned>(c - '0');
  }
  const float days = static_cast<float>(seconds) / 3600.0f / 24.0f;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%4f", static_cast<double>(days));
  return buffer;
}

std::optional<long> LeaseDaysToSeconds(const std::string& days) {
  if (days.empty() || !IsValidDecimalNumber(days)) return std::nullopt;
  // Digits and at most one inner point: read without the locale's idea of a decimal point.
  double value = 0;
  double scale = 1;
  bool fraction = false;
  for (char c : days) {
    if (c == '.') {
      fraction = true;
    } else if (fraction) {
      scale /= 10;
      value += (c - '0') * scale;
    } else {
      value = value * 10 + (c - '0');
    }
  }
  // Days are shown with six decimals: rounding, not truncation, gives back the seconds read.
  const double seconds = std::round(value * kSecondsPerDay);
  if (seconds > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<long>(seconds);
}

DhcpReading ScanDhcpReplies(const std::string& dhcp, const std::string& relay) {
  DhcpReading r;
  r.DhcpEnabled = Contains(dhcp, "netmask") ? 1 : 0;
  r.NetworkId = Field(dhcp, "netmask", 2);
  r.SubnetMask = Field(dhcp, "netmask", 4);
  r.RangeStart = Field(dhcp, "range", 2);
  r.RangeEnd = WithoutSemicolons(Field(dhcp, "range", 3));
  r.Gateway = WithoutSemicolons(Field(dhcp, "routers", 3));
  std::string servers;
  if (GetReplyField(dhcp, "domain-name-server", 1, 3, servers)) {
    servers = WithoutSemicolons(servers);
    const std::size_t comma = servers.find(',');
    r.PrimaryDns = servers.substr(0, comma);
    // A third server and any after it are not the page's.
    if (comma != std::string::npos)
      r.SecondaryDns = servers.substr(comma + 1, servers.find(',', comma + 1) - comma - 1);
  }
  std::string lease;
  if (GetReplyField(dhcp, "max-lease-time", 1, 2, lease)) r.LeaseDays = LeaseSecondsToDays(lease);

  if (Contains(relay, "discovery incomplete")) {
    r.DnsRelayEnabled = 0;
  } else {
    r.DnsRelayEnabled = 1;
    r.PrimaryDns = Field(relay, "DNS server address", 5);
  }

  for (std::string* dotted : {&r.NetworkId, &r.SubnetMask, &r.RangeStart, &r.RangeEnd, &r.Gateway,
                              &r.PrimaryDns, &r.SecondaryDns})
    if (dotted->size() > kMaxDottedLength) dotted->clear();
  return r;
}

CDHCP::CDHCP(Session& session) : Page(session) {
  Description& d = description_;
  d.Check(IDC_DHCP_ENABLE, DhcpEnabled).Setting("DhcpEnabled", "Enable DHCP");
  d.On(IDC_DHCP_ENABLE, [this] { OnEnableDhcp(); });
  d.Address(NetworkIdOctets).Setting("NetworkId", "Network ID");
  d.Address(SubnetMaskOctets).Setting("SubnetMask", "Subnet Mask");
  d.Address(RangeStartOctets).Setting("RangeStart", "IP Range Start");
  d.Address(RangeEndOctets).Setting("RangeEnd", "IP Range End");
  d.Address(GatewayOctets).Setting("Gateway", "Gateway IP");
  d.Text(IDC_DHCP_LEASE, LeaseDays).Setting("LeaseDays", "Lease Live", "days");
  d.Check(IDC_DHCP_RELAY, DnsRelayEnabled).Setting("DnsRelayEnabled", "Enable DNS Relay");
  d.On(IDC_DHCP_RELAY, [this] { OnEnableDnsRelay(); });
  d.Address(PrimaryDnsOctets).Setting("PrimaryDns", "Primary DNS");
  d.Address(SecondaryDnsOctets).Setting("SecondaryDns", "Secondary DNS");
  d.Button(IDC_DHCP_APPLY, [this] { OnApplyDhcp(); }).Writes();
  d.Button(IDC_DHCP_REMOVE, [this] { OnRemoveDhcp(); }).Changes();
  Declare(ControlKind::Any, {IDC_DHCP_NETWORK_LABEL, IDC_DHCP_MASK_LABEL, IDC_DHCP_START_LABEL,
                             IDC_DHCP_END_LABEL, IDC_DHCP_GATEWAY_LABEL, IDC_DHCP_LEASE_LABEL,
                             IDC_DHCP_PRIMARY_LABEL, IDC_DHCP_SECONDARY_LABEL});
}

std::vector<int> CDHCP::PrimaryControls() const {
  const auto& boxes = PrimaryDnsOctets.ids();
  return {IDC_DHCP_PRIMARY_LABEL, boxes[0], boxes[1], boxes[2], boxes[3]};
}

void CDHCP::ReadRouterState() {
  router().Reconnect(0);
  const std::string dhcp = router().Ask("dhcpserver config\r\n", kListingLimitMs);
  const std::string relay = router().Ask("dnsrelay status\r\n", kListingLimitMs);
  static_cast<DhcpReading&>(*this) = ScanDhcpReplies(dhcp, relay);
  ServerOnRouter = DhcpEnabled == 1;

  NetworkIdOctets.Split(NetworkId, '.');
  RangeStartOctets.Split(RangeStart, '.');
  RangeEndOctets.Split(RangeEnd, '.');
  SubnetMaskOctets.Split(SubnetMask, '.');
  GatewayOctets.Split(Gateway, '.');
  PrimaryDnsOctets.Split(PrimaryDns, '.');
  SecondaryDnsOctets.Split(SecondaryDns, '.');
  Show();
  OnEnableDnsRelay();
  OnEnableDhcp();

  // DNS discovery on the PPP link and the relay exclude each other; the link wins.
  const std::string ppp = router().Ask("ppp config\r\n", kListingLimitMs);
  const bool discovers = Contains(ppp, "enableprimarydns");
  session().DnsDiscoveryAllowed = discovers ? 1 : 0;
  if (discovers) DnsRelayEnabled = 0;
  view().Enable(IDC_DHCP_RELAY, !discovers);
  Show();
  MarkApplied();
}

void CDHCP::OnSetActive() { view().Enable(IDC_DHCP_RELAY, session().DnsDiscoveryAllowed == 0); }

void CDHCP::OnKillActive() {
  Load();
  session().DnsDiscoveryAllowed = DnsRelayEnabled == 1 ? 0 : 1;
}

bool CDHCP::ResetRelay() {
  WriteScript script(session());
  return script.Execute(kRelayReset, kRelayResetLimitMs);
}

void CDHCP::OnEnableDnsRelay() {
  Load();
  if (DnsRelayEnabled == 1) {
    EnableAll(view(), PrimaryControls(), true);
  } else if (DhcpEnabled == 0) {
    // Nothing uses the primary DNS any more: the relay stops at once, no Apply needed.
    EnableAll(view(), PrimaryControls(), false);
    if (ResetRelay()) {
      session().DnsDiscoveryAllowed = 1;
      PrimaryDnsOctets.Clear();
    }
  }
  Show();
}

void CDHCP::OnEnableDhcp() {
  Load();
  const bool on = DhcpEnabled == 1;
  // The primary DNS boxes stay as they are while the relay uses them.
  if (on || DnsRelayEnabled == 0) EnableAll(view(), PrimaryControls(), on);
  const std::pair<int, const OctetField*> rows[] = {
      {IDC_DHCP_SECONDARY_LABEL, &SecondaryDnsOctets}, {IDC_DHCP_MASK_LABEL, &SubnetMaskOctets},
      {IDC_DHCP_NETWORK_LABEL, &NetworkIdOctets},      {IDC_DHCP_END_LABEL, &RangeEndOctets},
      {IDC_DHCP_START_LABEL, &RangeStartOctets},       {IDC_DHCP_GATEWAY_LABEL, &GatewayOctets}};
  for (const auto& [label, field] : rows) {
    view().Enable(label, on);
    for (int id : field->ids()) view().Enable(id, on);
  }
  view().Enable(IDC_DHCP_LEASE_LABEL, on);
  view().Enable(IDC_DHCP_LEASE, on);
  Show();
}

std::optional<std::string> CDHCP::ValidateApply() {
  if (PrimaryDnsOctets.AnyEmpty()) {
    if (DnsRelayEnabled == 1) return "Please set DNS One IP in the format xxx xxx xxx xxx.";
  } else {
    if (auto fault = PrimaryDnsOctets.Fault(Invalid("Error in DNS One IP"))) return fault;
    PrimaryDns = PrimaryDnsOctets.Join('.');
  }
  if (DhcpEnabled != 1) return std::nullopt;

  if (NetworkIdOctets.AnyEmpty() || SubnetMaskOctets.AnyEmpty() || RangeStartOctets.AnyEmpty() ||
      RangeEndOctets.AnyEmpty())
    return "NetworkID, SubnetMask, IP Range Start/End fields cannot be empty.";
  // A partly filled secondary DNS or gateway is left out without a word.
  const bool secondary = !SecondaryDnsOctets.AnyEmpty();
  if (secondary) {
    if (auto fault = SecondaryDnsOctets.Fault(Invalid("Error in DNS Two IP field"))) return fault;
  }
  const bool gateway = !GatewayOctets.AnyEmpty();
  if (gateway) {
    if (auto fault = GatewayOctets.Fault(Invalid("Error in Gateway field"))) return fault;
  }
  if (!LeaseDays.empty() && !LeaseDaysToSeconds(LeaseDays)) return "Error in Lease line.";
  if (auto fault = NetworkIdOctets.Fault(Invalid("Error in Network ID field "))) return fault;
  if (auto fault = RangeStartOctets.Fault(Invalid("Error in IP Range Start field "))) return fault;
  if (auto fault = RangeEndOctets.Fault(Invalid("Error in IP Range End field "))) return fault;
  if (auto fault = SubnetMaskOctets.Fault(Invalid("Error in Subnet Mask"))) return fault;

  NetworkId = NetworkIdOctets.Join('.');
  RangeStart = RangeStartOctets.Join('.');
  RangeEnd = RangeEndOctets.Join('.');
  if (gateway) Gateway = GatewayOctets.Join('.');
  if (secondary) SecondaryDns = SecondaryDnsOctets.Join('.');
  SubnetMask = SubnetMaskOctets.Join('.');
  return std::nullopt;
}

std::vector<ScriptItem> CDHCP::ServerScript() const {
  std::vector<ScriptItem> items;
  auto line = [&items](const std::string& text) {
    items.push_back({ScriptItem::Kind::Line, text + "\r\n"});
  };
  auto add = [&line](const std::string& text) { line("dhcpserver config add " + text); };
  auto steps = [&items](int n) { items.insert(items.end(), n, {ScriptItem::Kind::Step, ""}); };
  steps(1);
  line("dhcpserver config flush");
  add("allow unknown-clients;");
  add("subnet " + NetworkId + " netmask " + SubnetMask);
  add("{");
  add("range " + RangeStart + " " + RangeEnd + ";");
  add("option subnet-mask " + SubnetMask + ";");
  steps(WaitProgress::kFinishSteps);
  if (!Gateway.empty()) add("option routers " + Gateway + ";");
  if (!PrimaryDns.empty())
    add("option domain-name-servers " + PrimaryDns +
        (SecondaryDns.empty() ? "" : "," + SecondaryDns) + ";");
  steps(1);
  if (!LeaseDays.empty())
    add("max-lease-time " + std::to_string(*LeaseDaysToSeconds(LeaseDays)) + ";");
  steps(1);
  add("}");
  line("dhcpserver config confirm");
  line("dhcpserver reset");
  steps(1);
  return items;
}

void CDHCP::OnApplyDhcp() {
  Load();
  WriteScript script(session());
  // Before validating, so that even a refused Apply leaves a fresh connection.
  script.Reconnect(0);
  for (std::string* dotted :
       {&NetworkId, &SubnetMask, &RangeStart, &RangeEnd, &Gateway, &PrimaryDns, &SecondaryDns})
    dotted->clear();
  if (auto fault = ValidateApply()) return Error(*fault);
  if (!script.ok()) return;

  WaitProgress wait(session().ui, session().clock, session().channel.pace);
  bool serverOn = ServerOnRouter;
  if (DhcpEnabled == 1) {
    wait.Show("Please wait a moment while setting dhcp server.");
    script.Play(ServerScript(), wait);
    serverOn = true;
  } else if (ServerOnRouter) {
    for (const char* line : kServerRemoval) script.Send(line);
    serverOn = false;
  }
  int discoveryAllowed = 1;
  if (DnsRelayEnabled == 1) {
    script.Send("dnsrelay server " + PrimaryDns + "\r\n");
    discoveryAllowed = 0;
  } else {
    script.Execute(kRelayReset, kRelayResetLimitMs);
  }
  wait.Close();
  if (!script.ok()) return;

  ServerOnRouter = serverOn;
  session().DnsDiscoveryAllowed = discoveryAllowed;
  Tell("Configuration Successful", "Complete");
  session().ConfigChanged = true;
  MarkApplied();
}

void CDHCP::OnRemoveDhcp() {
  WaitProgress wait(session().ui, session().clock, session().channel.pace);
  wait.Show("Please wait a moment while removing dhcp server.");
  wait.Step();
  Load();
  WriteScript script(session());
  if (!script.Reconnect(0)) return;
  wait.Finish();
  for (const char* line : kServerRemoval) script.Send(line);
  const bool resetRelay = DnsRelayEnabled == 0;
  if (resetRelay) script.Execute(kRelayReset, kRelayResetLimitMs);
  if (!script.ok()) return;
  ServerOnRouter = false;
  if (resetRelay) {
    PrimaryDns.clear();
    PrimaryDnsOctets.Clear();
    session().DnsDiscoveryAllowed = 1;
  }
  for (int i = 0; i < 3; ++i) wait.Step();
  wait.Close();
  Tell("DHCP Removed Successfully", "Done");
  session().ConfigChanged = true;

  for (OctetField* field : {&NetworkIdOctets, &SubnetMaskOctets, &GatewayOctets,
                            &SecondaryDnsOctets, &RangeStartOctets, &RangeEndOctets})
    field->Clear();
  LeaseDays.clear();
  DhcpEnabled = 0;
  Show();
  OnEnableDhcp();
  MarkApplied();
}

}  // namespace tarnwick
