// The SNMP page: listing scan, add and remove of communities.
#include "routing/CSMNP.h"

#include "channel/TextHelpers.h"
#include "ui/CommandText.h"
#include "ui/Router.h"

namespace tarnwick {
namespace {

constexpr Millis kChangePauseMs = 200;
constexpr const char* kEcho = "snmp access list";
const Listing kListing{"snmp access list\r\n",
                       kEcho,
                       2048,
                       5000,
                       "Snmp List timeout\n",
                       "Timeout while reading the SNMP access list"};
const std::string kDeletePrefix = "ip snmp access delete ";

// The line that removes an entry; an entry without address still has the blank.
std::string DeleteLine(const std::string& community, const std::string& address) {
  return kDeletePrefix + community + " " + address + "\r\n";
}

}  // namespace

std::vector<std::vector<std::string>> ScanCommunityListing(const std::string& reply) {
  std::vector<std::vector<std::string>> rows;
  // By position, each search going on from the last: a reply can be megabytes of rows.
  const std::string_view text(reply);
  const std::size_t echo = text.find(kEcho);
  std::size_t from = echo == std::string_view::npos ? 0 : echo + std::string_view(kEcho).size();
  for (;;) {
    // A row runs from "access" to its line feed, where the search for the next one starts.
    const std::size_t access = text.find("access", from);
    if (access == std::string_view::npos) break;
    const std::size_t end = text.find('\n', access);
    if (end == std::string_view::npos) break;
    std::string line(text.substr(access, end - access));
    from = end;

    std::string right;
    if (std::size_t at = line.find("access write"); at != std::string::npos) {
      right = "Write";
      line.erase(0, at + 12);
    } else if (at = line.find("access read"); at != std::string::npos) {
      right = "Read";
      line.erase(0, at + 11);
    } else {
      break;
    }

    const std::size_t first = line.find_first_not_of(' ');
    line.erase(0, first == std::string::npos ? line.size() : first);
    std::erase(line, '\r');
    std::erase(line, '\n');
    std::string community = line;
    std::string address;
    if (const std::size_t blank = line.find(' '); blank != std::string::npos) {
      community = line.substr(0, blank);
      address = RemoveBlanks(line.substr(blank));
    }
    rows.push_back({right, RemoveBlanks(community), address});
  }
  return rows;
}

CSMNP::CSMNP(Session& session) : Page(session) {
  Description& d = description_;
  d.Radio({IDC_SNMP_WRITE, IDC_SNMP_READ}, AccessRight).Text(IDC_SNMP_COMMUNITY, Community);
  d.Check(IDC_SNMP_AUTHORIZED, AuthorizedIpEnabled).Address(AuthorizedIp);
  d.On(IDC_SNMP_AUTHORIZED, [this] { OnAuthorizedIp(); });
  d.List(IDC_SNMP_LIST, {{"AccessRight", "Access Right"},
                         {"Community", "Community", true},
                         {"IpAddress", "IP Address"}});
  d.Setting("CommunityList", "").Rows(IDC_SNMP_ADD, IDC_SNMP_REMOVE);
  d.Button(IDC_SNMP_ADD, [this] { OnAddCommunity(); }).Changes();
  d.Button(IDC_SNMP_REMOVE, [this] { OnRemoveCommunity(); }).Changes();
}

void CSMNP::EnableAddressBoxes() {
  for (int id : AuthorizedIp.ids()) view().Enable(id, AuthorizedIpEnabled == 1);
}

void CSMNP::OnInitDialog() {
  AddEqualColumns(view(), IDC_SNMP_LIST, description_.Headings(IDC_SNMP_LIST));
  AccessRight = 0;
  Show();
  EnableAddressBoxes();
}

void CSMNP::OnSetActive() {
  router().Reconnect(0);
  ListCommunities();
}

bool CSMNP::EnterRow(int, const std::map<std::string, std::string>& row) {
  const std::string& right = row.at("AccessRight");
  if (right != "Write" && right != "Read") return false;
  view().SetChecked(IDC_SNMP_WRITE, right == "Write");
  view().SetChecked(IDC_SNMP_READ, right == "Read");
  view().SetText(IDC_SNMP_COMMUNITY, row.at("Community"));
  const std::string& address = row.at("IpAddress");
  view().SetChecked(IDC_SNMP_AUTHORIZED, !address.empty());
  OnAuthorizedIp();
  TypeAddress(view(), AuthorizedIp.ids(), address);
  return true;
}

void CSMNP::ListCommunities() {
  if (!RequireConnection()) return;
  view().ListDeleteAll(IDC_SNMP_LIST);
  view().Repaint();
  const std::optional<std::string> reply = router().List(kListing, view().Window());
  if (!reply) return;
  const auto rows = ScanCommunityListing(*reply);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    InsertListRow(view(), IDC_SNMP_LIST, row, rows[static_cast<std::size_t>(row)]);
  MarkRead();
}

void CSMNP::OnAuthorizedIp() {
  Load();
  EnableAddressBoxes();
}

void CSMNP::OnAddCommunity() {
  Load();
  router().Reconnect(0);
  if (!RequireConnection()) return;
  if (Community.empty()) return;
  if (!IsPrintableAscii(Community))
    return Error("The community may hold only printable ASCII characters.");
  if (HasBlank(Community)) return Error("The community may not contain blanks.");

  const std::string prefix = AccessRight == 1 ? "ip snmp access read " : "ip snmp access write ";
  std::string address;
  if (AuthorizedIpEnabled == 1) {
    if (auto fault = AuthorizedIp.Fault({"Please set IP address in the format xxx xxx xxx xxx.",
                                         {"Error in IP address1.", "Error in IP address2.",
                                          "Error in IP address3.", "Error in IP address4."}}))
      return Error(*fault);
    address = AuthorizedIp.Join('.');
  }

  // The entry must also be removable from here, and its delete line is the longer one.
  if (DeleteLine(Community, address).size() > kMaxCommandLength) {
    const std::size_t room = kMaxCommandLength - DeleteLine("", address).size();
    return Error("The community is too long: with " +
                 std::string(address.empty() ? "no address" : "this address") +
                 " it may hold at most " + std::to_string(room) + " characters.");
  }
  if (!Change(prefix + Community + (address.empty() ? "" : " " + address) + "\r\n", kChangePauseMs))
    return;
  ListCommunities();
  session().ConfigChanged = true;
}

void CSMNP::OnRemoveCommunity() {
  router().Reconnect(0);
  if (!RequireConnection()) return;
  const std::vector<int> selected = view().ListSelectedRows(IDC_SNMP_LIST);
  if (selected.empty()) return;
  const int row = selected.front();
  // Whole texts: a cut community would delete another entry or none.
  const std::string community = view().ListCell(IDC_SNMP_LIST, row, 1);
  if (community == session().channel.RouterPassword) {
    Tell(
        "You are trying to remove the password with which you have logged in "
        "with.\nThis action is not allowed.",
        "ERROR");
    return;
  }
  const std::string line = DeleteLine(community, view().ListCell(IDC_SNMP_LIST, row, 2));
  if (line.size() > kMaxCommandLength)
    return Error(
        "This entry is too long to be removed from here: the router takes command lines of at "
        "most " +
        std::to_string(kMaxCommandLength) + " characters.");
  if (!Change(line, kChangePauseMs)) return;
  ListCommunities();
  session().ConfigChanged = true;
}

}  // namespace tarnwick
