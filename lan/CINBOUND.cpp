// The NAT inbound dialog: listing scan, add, remove and remove all of port forwarding rules.
#include "lan/CINBOUND.h"

#include <cctype>
#include <utility>

#include "channel/TextHelpers.h"
#include "ui/Router.h"

namespace tarnwick {
namespace {

constexpr const char* kDigits = "0123456789";
constexpr int kMaxPort = 65535;
// The whole line as echo: the unread prompt of the log-in's "home" must not end the listing.
const Listing kListing{"nat inbound list\r\n",       "nat inbound list\r\n",       1024, 5000,
                       "NAT inbound list timeout\n", "Timeout in NAT Inbound List"};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A port the router takes: 1 to 65535, at most five digits.
bool IsValidPort(const std::string& port) {
  if (port.empty() || port.size() > 5 || !IsAllDigits(port)) return false;
  const int value = std::stoi(port);
  return value >= 1 && value <= kMaxPort;
}

}  // namespace

std::string InboundInterface(int lineProtocol) {
  switch (lineProtocol) {
    case kBridged:
      return "wandevice";
    case kRouted:
      return "wan1";
    case kIpoa:
      return "wanIPOA1";
    case kPppoa:
    case kPppoe:
      return "ppp_device";
    default:
      return "";
  }
}

std::vector<std::array<std::string, 3>> ScanInboundListing(const std::string& reply) {
  // Tested in this order; the last name found wins.
  static const std::pair<const char*, const char*> kInterfaces[] = {
      {"ETHERNET", "ethernet"},     {"IPOA", "ipoa"}, {"R1483", "r1483"},
      {"PPP_DEVICE", "ppp_device"}, {"WAN1", "wan1"}, {"WANIPOA1", "wanIPOA1"},
      {"WANDEVICE", "wandevice"}};
  const std::string upper = Upper(reply);
  // By position, each search going on from the last: a reply can be megabytes of rows.
  const std::string_view text(upper);
  std::size_t at = 0;
  if (const std::size_t echo = text.find("NAT INBOUND LIST"); echo != std::string_view::npos)
    at = echo;

  std::vector<std::array<std::string, 3>> rows;
  for (;;) {
    // The rule number goes whole, however many digits it has; the row runs from after it to
    // its line feed, where the search for the next one starts.
    const std::size_t number = text.find_first_of(kDigits, at);
    if (number == std::string_view::npos) break;
    const std::size_t after = text.find_first_not_of(kDigits, number);
    if (after == std::string_view::npos) break;
    const std::size_t end = text.find('\n', after);
    if (end == std::string_view::npos) break;
    std::string line(text.substr(after, end - after));
    at = end;
    std::erase(line, '\r');

    std::string iface;
    for (const auto& [listed, name] : kInterfaces) {
      const std::size_t at = line.find(listed);
      if (at == std::string::npos) continue;
      iface = name;
      if (iface == "r1483") line.erase(0, at + 5);
    }
    if (iface.empty()) break;

    // The port is the number right before the protocol; an interface name may hold digits
    // of its own, which a blank separates from it.
    if (const std::size_t digit = line.find_first_of(kDigits); digit != std::string::npos)
      line.erase(0, digit);
    std::string port = line;
    std::size_t protocol = line.find("TCP");
    if (protocol == std::string::npos) protocol = line.find("UDP");
    if (protocol != std::string::npos) {
      port = line.substr(0, protocol + 3);
      if (const std::size_t blank = port.find(' '); blank != std::string::npos)
        port.erase(0, port.find_first_not_of(' ', blank));
      line.erase(0, protocol + 3);
    }
    if (const std::size_t paren = line.find('('); paren != std::string::npos) line.resize(paren);
    rows.push_back({iface, port, line});
  }
  return rows;
}

CINBOUND::CINBOUND(Session& session, int lineProtocol)
    : DialogModel(session), LineProtocol(lineProtocol) {
  // Add is the default button and Exit the cancel button: in a window they arrive as OK and
  // Cancel.
  Description& d = description_;
  d.Text(IDC_INBOUND_PORT, InboundPort).Radio({IDC_INBOUND_TCP, IDC_INBOUND_UDP}, InboundProtocol);
  d.Address(HostIpOctets);
  d.List(IDC_INBOUND_LIST,
         {{"Interface", "Interface"}, {"PortProto", "Port/Proto"}, {"NewIpAddr", "New IP Addr"}});
  d.Setting("InboundList", "").Rows(IDC_INBOUND_ADD, IDC_INBOUND_REMOVE);
  d.Button(IDC_INBOUND_ADD, [this] { OnAddInbound(); }).Changes().Button(IDC_INBOUND_EXIT);
  d.Button(IDC_INBOUND_REMOVE, [this] { OnRemoveInbound(); }).Changes();
  d.Button(IDC_INBOUND_REMOVE_ALL, [this] { OnRemoveAllInbound(); }).Changes();
}

void CINBOUND::OnInitDialog() {
  AddEqualColumns(view(), IDC_INBOUND_LIST, description_.Headings(IDC_INBOUND_LIST));
  Show();
  router().Reconnect(0);
  ListInbound();
}

bool CINBOUND::EnterRow(int, const std::map<std::string, std::string>& row) {
  // "8080/TCP": the port, then the protocol; the interface is the line's.
  const std::string& portProto = row.at("PortProto");
  const std::size_t slash = portProto.find('/');
  const std::string protocol = slash == std::string::npos ? "" : Upper(portProto.substr(slash + 1));
  if (protocol != "TCP" && protocol != "UDP") return false;
  view().SetText(IDC_INBOUND_PORT, portProto.substr(0, slash));
  view().SetChecked(IDC_INBOUND_TCP, protocol == "TCP");
  view().SetChecked(IDC_INBOUND_UDP, protocol == "UDP");
  TypeAddress(view(), HostIpOctets.ids(), row.at("NewIpAddr"));
  return true;
}

void CINBOUND::ListInbound() {
  if (!RequireConnection()) return;
  // A listing that times out leaves no rows whose numbers nobody knows.
  view().ListDeleteAll(IDC_INBOUND_LIST);
  const std::optional<std::string> reply = router().List(kListing, view().Window());
  if (!reply) return;
  const auto rows = ScanInboundListing(*reply);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    InsertListRow(view(), IDC_INBOUND_LIST, row, rows[static_cast<std::size_t>(row)]);
  MarkRead();
}

bool CINBOUND::SendChange(const std::string& command, const char* ownFailure) {
  const std::optional<std::string> answer = Change(command, kChangePauseMs, ownFailure);
  if (!answer) return false;
  if (Contains(Upper(*answer), "DOES NOT EXIST"))
    Error("Error in Winsock. Interface does not exist");
  session().ConfigChanged = true;
  ListInbound();
  return true;
}

void CINBOUND::OnAddInbound() {
  Load();
  const std::string iface = InboundInterface(LineProtocol);
  if (iface.empty())
    return Error(
        "The line has no WAN interface to forward ports from (Transparent Bridge, or no "
        "protocol chosen).");
  if (InboundPort.empty()) return Error("Port value is needed.");
  if (!IsValidPort(InboundPort)) return Error("Error in Port value.");
  if (auto fault = HostIpOctets.Fault({"Please setIP address in the format xxx xxx xxx xxx.",
                                       {"Error in IP address1.", "Error in IP address2.",
                                        "Error in IP address3.", "Error in IP address4."}}))
    return Error(*fault);
  const std::string host = HostIpOctets.Join('.');

  router().Reconnect(0);
  if (!RequireConnection()) return;
  SendChange("nat inbound add " + iface + " " + InboundPort +
                 (InboundProtocol == 1 ? "/udp " : "/tcp ") + host + "\r\n",
             "Error in sending Winsock command");
}

void CINBOUND::OnRemoveInbound() {
  const std::vector<int> selected = view().ListSelectedRows(IDC_INBOUND_LIST);
  router().Reconnect(0);
  if (!RequireConnection()) return;
  if (selected.empty()) return;
  SendChange("nat inbound delete " + std::to_string(selected.front() + 1) + "\r\n");
}

void CINBOUND::OnRemoveAllInbound() {
  const int rows = view().ListRowCount(IDC_INBOUND_LIST);
  router().Reconnect(0);
  if (!RequireConnection()) return;
  if (rows == 0) return;
  SendChange("nat inbound flush\r\n");
}

}  // namespace tarnwick
