// The Route Table page: listing scan, add, remove and remove all.
#include "routing/CROUTE.h"

#include <algorithm>

#include "channel/TextHelpers.h"
#include "ui/CommandText.h"
#include "ui/Router.h"

namespace tarnwick {
namespace {

constexpr Millis kChangePauseMs = 200;
// The whole line as echo: "ip route" alone also matches the unread echo of an earlier
// "ip route add/delete/flush", whose answer would then be listed as the table.
const Listing kListing{"ip route\r\n", "ip route\r\n",       1024,
                       5000,           "ip route timeout\n", "ip route Timeout"};

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

std::optional<std::vector<std::vector<std::string>>> ScanRouteListing(const std::string& reply) {
  if (reply.find("Routing table is empty") != std::string::npos) return std::nullopt;
  std::vector<std::vector<std::string>> rows;
  // By position, each search going on from the last: a reply can be megabytes of rows.
  const std::string_view text(reply);
  std::size_t at = 0;
  for (;;) {
    // A row runs from the second character after "add" to its line feed, where the search
    // for the next one starts.
    const std::size_t add = text.find("add", at);
    if (add == std::string_view::npos) break;
    const std::size_t begin = std::min(text.size(), add + 4);
    const std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) break;
    std::string line(text.substr(begin, end - begin));
    at = end;

    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) break;
    rows.push_back({line.substr(0, blank)});
    line.erase(0, blank);

    std::string field;
    bool complete = true;
    for (const char* start : {"1234567890", "1234567890", "1234567890abcdef"}) {
      if (!TakeField(line, start, field)) {
        complete = false;
        break;
      }
      rows.back().push_back(field);
    }
    if (!complete) break;
  }
  return rows;
}

CROUTE::CROUTE(Session& session) : Page(session) {
  Description& d = description_;
  d.Text(IDC_ROUTE_COST, RouteCost).Text(IDC_ROUTE_TIMEOUT, RouteTimeout).Address(DestIp);
  d.Text(IDC_ROUTE_LABEL, RouteLabel).Address(Netmask).Address(NextHop);
  d.List(IDC_ROUTE_LIST,
         {{"Label", "Label"}, {"DestIp", "Dest IP"}, {"NextHop", "Next Hop"}, {"Mask", "Mask"}});
  d.Setting("RouteList", "").Rows(IDC_ROUTE_ADD, IDC_ROUTE_REMOVE);
  d.Button(IDC_ROUTE_ADD, [this] { OnAddRoute(); }).Changes();
  d.Button(IDC_ROUTE_REMOVE, [this] { OnRemoveRoute(); }).Changes();
  d.Button(IDC_ROUTE_REMOVE_ALL, [this] { OnRemoveAllRoutes(); }).Changes();
  Netmask.octets = {"255", "255", "255", "0"};
}

void CROUTE::OnInitDialog() {
  Show();
  AddEqualColumns(view(), IDC_ROUTE_LIST, description_.Headings(IDC_ROUTE_LIST));
  const std::string reply = router().Ask("ip route\r\n", kListing.limitMs);
  if (reply.find("Routing table is empty") != std::string::npos) {
    // Offer a default route.
    DestIp.octets = {"0", "0", "0", "0"};
    Netmask.octets = {"0", "0", "0", "0"};
    Show();
  }
}

void CROUTE::OnSetActive() {
  router().Reconnect(0);
  ListRoutes();
  kRefresh.Start(view());
}

void CROUTE::OnKillActive() { kRefresh.Stop(view()); }

void CROUTE::OnTimer(int timerId) {
  kRefresh.Tick(view(), timerId, [this] { ListRoutes(); });
}

bool CROUTE::EnterRow(int, const std::map<std::string, std::string>& row) {
  // The listing shows the mask in hexadecimal parts; the boxes take decimal ones.
  std::string mask = row.at("Mask");
  if (!HexColonQuadToDecimal(mask)) return false;
  view().SetText(IDC_ROUTE_LABEL, row.at("Label"));
  TypeAddress(view(), DestIp.ids(), row.at("DestIp"));
  TypeAddress(view(), NextHop.ids(), row.at("NextHop"));
  TypeAddress(view(), Netmask.ids(), mask, ':');
  view().SetText(IDC_ROUTE_COST, "1");
  view().SetText(IDC_ROUTE_TIMEOUT, "0");
  return true;
}

void CROUTE::ListRoutes() {
  if (!RequireConnection()) return;
  const std::optional<std::string> reply = router().List(kListing, view().Window());
  if (!reply) return;
  // Rows already removed locally stay removed.
  const auto rows = ScanRouteListing(*reply);
  if (!rows) return;
  view().ListDeleteAll(IDC_ROUTE_LIST);
  for (int row = 0; row < static_cast<int>(rows->size()); ++row)
    InsertListRow(view(), IDC_ROUTE_LIST, row, (*rows)[static_cast<std::size_t>(row)]);
  MarkRead();
}

void CROUTE::OnAddRoute() {
  Load();
  if (!RequireConnection()) return;
  if (RouteLabel.empty() || DestIp.AnyEmpty() || NextHop.AnyEmpty()) {
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
  if (auto fault =
          DestIp.Fault({"",
                        {"Error in Destination IP1 address", "Error in Destination IP2 address",
                         "Error in Destination IP3 address", "Error in Destination IP4 address"}}))
    return Error(*fault);
  command += DestIp.Join('.') + " ";
  if (auto fault = NextHop.Fault({"",
                                  {"Error in GateWay field 1", "Error in GateWay field 2",
                                   "Error in GateWay field 3", "Error in GateWay field 4"}}))
    return Error(*fault);
  command += NextHop.Join('.') + " ";

  if (!Netmask.AnyEmpty()) {
    // The members keep the hexadecimal text until the next load; the boxes stay decimal.
    if (auto fault = Netmask.FaultToHex({"",
                                         {"Error in NetMask field1", "Error in NetMask field2",
                                          "Error in NetMask field3", "Error in NetMask field4"}}))
      return Error(*fault);
    command += Netmask.Join(':') + " ";
  } else {
    command += "ff:ff:ff:0 ";
  }

  if (RouteCost.empty()) {
    command += "1 ";
  } else if (!IsAllDigits(RouteCost)) {
    return Error("Error in Cost entry.");
  } else {
    command += RouteCost + " ";
  }
  if (RouteTimeout.empty()) {
    command += "0";
  } else if (!IsAllDigits(RouteTimeout)) {
    return Error("Error in Timeout entry");
  } else {
    command += RouteTimeout + " ";
  }
  command += "\r\n";

  if (!Change(command, kChangePauseMs, "Error sending WinSocket command")) return;
  ListRoutes();
  session().ConfigChanged = true;
}

void CROUTE::OnRemoveRoute() {
  if (!RequireConnection()) return;
  const std::vector<int> selected = view().ListSelectedRows(IDC_ROUTE_LIST);
  if (selected.empty()) return;
  const int row = selected.front();
  // The whole label: a cut one would delete another route or none.
  const std::string label = view().ListCell(IDC_ROUTE_LIST, row, 0);
  view().ListDeleteRow(IDC_ROUTE_LIST, row);
  if (!Change("ip route delete " + label + "\r\n", kChangePauseMs)) return;
  session().ConfigChanged = true;
}

void CROUTE::OnRemoveAllRoutes() {
  if (!RequireConnection()) return;
  view().ListDeleteAll(IDC_ROUTE_LIST);
  if (!Change("ip route flush\r\n", kChangePauseMs)) return;
  session().ConfigChanged = true;
}

}  // namespace tarnwick
