#include "routing/CROUTE.h"

#include <algorithm>
#include <optional>

#include "channel/CommandChannel.h"
#include "channel/TextHelpers.h"
#include "routing/CommandText.h"
#include "routing/DirectCommand.h"

namespace tarnwick {
namespace {

constexpr int kListingReceiveSize = 1024;
constexpr Millis kListingLimitMs = 5000;
constexpr const char* kNotConnected = "Winsock connection is not created";

std::string Join(const std::array<std::string, 4>& octets, char separator) {
  return octets[0] + separator + octets[1] + separator + octets[2] + separator + octets[3];
}

// Cuts one field off the front of line: skips to the first character of start, takes the
// token up to the next blank and leaves line at that blank. False when either is missing.
bool TakeField(std::string& line, const char* start, std::string& field) {
  const std::size_t begin = line.find_first_of(start);
  if (begin == std::string::npos) return false;
  const std::size_t blank = line.find(' ', begin);
  if (blank == std::string::npos) return false;
  field = RemoveBlanks(line.substr(begin, blank - begin));
  line.erase(0, blank);
  return true;
}

}  // namespace

CROUTE::CROUTE(Session& session) : session_(session) {
  bindings_.Text(kRouteCost, RouteCost).Text(kRouteTimeout, RouteTimeout);
  for (int i = 0; i < 4; ++i) bindings_.Text(kDestIpFirst + i, DestIpOctets[i]);
  bindings_.Text(kRouteLabel, RouteLabel);
  for (int i = 0; i < 4; ++i) bindings_.Text(kNetmaskFirst + i, NetmaskOctets[i]);
  for (int i = 0; i < 4; ++i) bindings_.Text(kNextHopFirst + i, NextHopOctets[i]);
}

void CROUTE::Error(const std::string& text) { session_.ui.Message(view().Window(), text, "Error"); }

void CROUTE::OnInitDialog() {
  bindings().Show(view());
  const int width = view().ListOuterWidth(kRouteList) / 4;
  const char* headings[] = {"Label", "Dest IP", "Next Hop", "Mask"};
  for (int column = 0; column < 4; ++column)
    view().ListAddColumn(kRouteList, column, headings[column], width);

  std::string reply;
  session_.channel.ExecuteCommand("ip route\r\n", reply, kListingLimitMs);
  if (reply.find("Routing table is empty") != std::string::npos) {
    // Offer a default route.
    DestIpOctets = {"0", "0", "0", "0"};
    NetmaskOctets = {"0", "0", "0", "0"};
    bindings().Show(view());
  }
}

void CROUTE::OnSetActive() {
  session_.channel.ReconnectRouter(0);
  ListRoutes();
  view().StartTimer(kRefreshTimer, kRefreshPeriodMs);
}

void CROUTE::OnKillActive() { view().StopTimer(kRefreshTimer); }

void CROUTE::OnTimer(int timerId) {
  if (timerId != kRefreshTimer) return;
  // Stopped while the listing runs, so refreshes never overlap.
  view().StopTimer(kRefreshTimer);
  ListRoutes();
  view().StartTimer(kRefreshTimer, kRefreshPeriodMs);
}

void CROUTE::OnCommand(int id) {
  switch (id) {
    case kAdd:
      OnAddRoute();
      break;
    case kRemove:
      OnRemoveRoute();
      break;
    case kRemoveAll:
      OnRemoveAllRoutes();
      break;
    default:
      break;
  }
}

void CROUTE::ListRoutes() {
  Socket* socket = session_.channel.TelnetSocket();
  if (socket == nullptr) {
    Error(kNotConnected);
    return;
  }
  const std::string command = "ip route\r\n";
  if (socket->Send(command.data(), static_cast<int>(command.size())) <= 0) return;
  session_.clock.Sleep(100);
  // The whole line as echo: "ip route" alone also matches the unread echo of an earlier
  // "ip route add/delete/flush", whose answer would then be listed as the table.
  std::optional<std::string> reply = CollectReply(*socket, session_.clock, session_.ui, command,
                                                  kListingReceiveSize, kListingLimitMs);
  if (!reply) {
    session_.ui.Trace("ip route timeout\n");
    Error("ip route Timeout");
    return;
  }
  // Rows already removed locally stay removed.
  if (reply->find("Routing table is empty") != std::string::npos) return;

  view().ListDeleteAll(kRouteList);
  int row = 0;
  std::string rest = *reply;
  for (;;) {
    const std::size_t add = rest.find("add");
    if (add == std::string::npos) break;
    rest.erase(0, std::min(rest.size(), add + 4));
    const std::size_t end = rest.find('\n');
    if (end == std::string::npos) break;
    std::string line = rest.substr(0, end);
    rest.erase(0, end);

    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) break;
    view().ListInsertRow(kRouteList, row, line.substr(0, blank));
    line.erase(0, blank);

    std::string field;
    if (!TakeField(line, "1234567890", field)) break;
    view().ListSetCell(kRouteList, row, 1, field);
    if (!TakeField(line, "1234567890", field)) break;
    view().ListSetCell(kRouteList, row, 2, field);
    if (!TakeField(line, "1234567890abcdef", field)) break;
    view().ListSetCell(kRouteList, row, 3, field);
    ++row;
  }
}

bool CROUTE::SendChange(const std::string& command, const char* failure) {
  if (SendChangeOnSocket(session_, command)) return true;
  Error(failure);
  return false;
}

void CROUTE::OnAddRoute() {
  bindings().Load(view());
  if (session_.channel.TelnetSocket() == nullptr) {
    Error(kNotConnected);
    return;
  }
  bool missing = RouteLabel.empty();
  for (int i = 0; i < 4; ++i)
    missing = missing || DestIpOctets[i].empty() || NextHopOctets[i].empty();
  if (missing) {
    Error(
        "Please make sure you have entered the Label,Destination Ip ,NextHop before you click Add");
    return;
  }
  if (!IsPrintableAscii(RouteLabel)) {
    Error("The label may hold only printable ASCII characters.");
    return;
  }
  if (HasBlank(RouteLabel)) {
    Error("The label may not contain blanks.");
    return;
  }

  std::string command = "ip route add " + RouteLabel + " ";
  for (int i = 0; i < 4; ++i) {
    if (!IsValidOctet(DestIpOctets[i]) || !IsSafeOctetText(DestIpOctets[i])) {
      Error("Error in Destination IP" + std::to_string(i + 1) + " address");
      return;
    }
  }
  command += Join(DestIpOctets, '.') + " ";
  for (int i = 0; i < 4; ++i) {
    if (!IsValidOctet(NextHopOctets[i]) || !IsSafeOctetText(NextHopOctets[i])) {
      Error("Error in GateWay field " + std::to_string(i + 1));
      return;
    }
  }
  command += Join(NextHopOctets, '.') + " ";

  bool maskFilled = true;
  for (const std::string& octet : NetmaskOctets) maskFilled = maskFilled && !octet.empty();
  if (maskFilled) {
    // The members keep the hexadecimal text until the next load; the boxes stay decimal.
    for (int i = 0; i < 4; ++i) {
      if (!OctetToHex(NetmaskOctets[i])) {
        Error("Error in NetMask field" + std::to_string(i + 1));
        return;
      }
    }
    command += Join(NetmaskOctets, ':') + " ";
  } else {
    command += "ff:ff:ff:0 ";
  }

  if (RouteCost.empty()) {
    command += "1 ";
  } else if (!IsAllDigits(RouteCost)) {
    Error("Error in Cost entry.");
    return;
  } else {
    command += RouteCost + " ";
  }
  if (RouteTimeout.empty()) {
    command += "0";
  } else if (!IsAllDigits(RouteTimeout)) {
    Error("Error in Timeout entry");
    return;
  } else {
    command += RouteTimeout + " ";
  }
  command += "\r\n";

  if (!SendChange(command, "Error sending WinSocket command")) return;
  ListRoutes();
  session_.ConfigChanged = true;
}

void CROUTE::OnRemoveRoute() {
  if (session_.channel.TelnetSocket() == nullptr) {
    Error(kNotConnected);
    return;
  }
  const std::vector<int> selected = view().ListSelectedRows(kRouteList);
  if (selected.empty()) return;
  const int row = selected.front();
  // The whole label: a cut one would delete another route or none.
  const std::string label = view().ListCell(kRouteList, row, 0);
  view().ListDeleteRow(kRouteList, row);
  if (!SendChange("ip route delete " + label + "\r\n", "Error sending Winsock command")) return;
  session_.ConfigChanged = true;
}

void CROUTE::OnRemoveAllRoutes() {
  if (session_.channel.TelnetSocket() == nullptr) {
    Error(kNotConnected);
    return;
  }
  view().ListDeleteAll(kRouteList);
  if (!SendChange("ip route flush\r\n", "Error sending Winsock command")) return;
  session_.ConfigChanged = true;
}

}  // namespace tarnwick
