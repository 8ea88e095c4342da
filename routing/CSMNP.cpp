#include "routing/CSMNP.h"

#include <optional>

#include "channel/CommandChannel.h"
#include "channel/TextHelpers.h"
#include "routing/CommandText.h"
#include "routing/DirectCommand.h"

namespace tarnwick {
namespace {

constexpr int kListingReceiveSize = 2048;
constexpr Millis kListingLimitMs = 5000;
constexpr const char* kNotConnected = "Winsock connection is not created";
constexpr const char* kEcho = "snmp access list";

}  // namespace

CSMNP::CSMNP(Session& session) : session_(session) {
  bindings_.Radio({kWrite, kRead}, AccessRight)
      .Text(kCommunity, Community)
      .Check(kAuthorizedIp, AuthorizedIpEnabled);
  for (int i = 0; i < 4; ++i) bindings_.Text(kAddressIds[i], AuthorizedIpOctets[i]);
}

void CSMNP::Error(const std::string& text) { session_.ui.Message(view().Window(), text, "Error"); }

void CSMNP::EnableAddressBoxes() {
  for (int id : kAddressIds) view().Enable(id, AuthorizedIpEnabled == 1);
}

void CSMNP::OnInitDialog() {
  const int width = view().ListOuterWidth(kCommunityList) / 3;
  const char* headings[] = {"Access Right", "Community", "IP Address"};
  for (int column = 0; column < 3; ++column)
    view().ListAddColumn(kCommunityList, column, headings[column], width);
  AccessRight = 0;
  bindings().Show(view());
  EnableAddressBoxes();
}

void CSMNP::OnSetActive() {
  session_.channel.ReconnectRouter(0);
  ListCommunities();
}

void CSMNP::OnCommand(int id) {
  switch (id) {
    case kAdd:
      OnAddCommunity();
      break;
    case kRemove:
      OnRemoveCommunity();
      break;
    case kAuthorizedIp:
      OnAuthorizedIp();
      break;
    default:
      break;
  }
}

void CSMNP::ListCommunities() {
  Socket* socket = session_.channel.TelnetSocket();
  if (socket == nullptr) {
    Error(kNotConnected);
    return;
  }
  view().ListDeleteAll(kCommunityList);
  view().Repaint();
  const std::string command = std::string(kEcho) + "\r\n";
  if (socket->Send(command.data(), static_cast<int>(command.size())) <= 0) return;
  session_.clock.Sleep(100);
  std::optional<std::string> reply = CollectReply(*socket, session_.clock, session_.ui, kEcho,
                                                  kListingReceiveSize, kListingLimitMs);
  if (!reply) {
    session_.ui.Trace("Snmp List timeout\n");
    Error("Timeout while reading the SNMP access list");
    return;
  }

  std::string rest = *reply;
  rest.erase(0, rest.find(kEcho) + std::string(kEcho).size());
  int row = 0;
  for (;;) {
    const std::size_t access = rest.find("access");
    if (access == std::string::npos) break;
    rest.erase(0, access);
    const std::size_t end = rest.find('\n');
    if (end == std::string::npos) break;
    std::string line = rest.substr(0, end);
    rest.erase(0, end);

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
    view().ListInsertRow(kCommunityList, row, right);

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
    view().ListSetCell(kCommunityList, row, 1, RemoveBlanks(community));
    view().ListSetCell(kCommunityList, row, 2, address);
    ++row;
  }
}

void CSMNP::OnAuthorizedIp() {
  bindings().Load(view());
  EnableAddressBoxes();
}

bool CSMNP::SendChange(const std::string& command) {
  if (SendChangeOnSocket(session_, command)) return true;
  Error("Error sending Winsock command");
  return false;
}

void CSMNP::OnAddCommunity() {
  bindings().Load(view());
  session_.channel.ReconnectRouter(0);
  if (session_.channel.TelnetSocket() == nullptr) {
    Error(kNotConnected);
    return;
  }
  if (Community.empty()) return;
  if (!IsPrintableAscii(Community)) {
    Error("The community may hold only printable ASCII characters.");
    return;
  }
  if (HasBlank(Community)) {
    Error("The community may not contain blanks.");
    return;
  }

  const std::string prefix = AccessRight == 1 ? "ip snmp access read " : "ip snmp access write ";
  std::string address;
  if (AuthorizedIpEnabled == 1) {
    for (const std::string& octet : AuthorizedIpOctets) {
      if (octet.empty()) {
        Error("Please set IP address in the format xxx xxx xxx xxx.");
        return;
      }
    }
    for (int i = 0; i < 4; ++i) {
      if (!IsValidOctet(AuthorizedIpOctets[i]) || !IsSafeOctetText(AuthorizedIpOctets[i])) {
        Error("Error in IP address" + std::to_string(i + 1) + ".");
        return;
      }
    }
    address = " " + AuthorizedIpOctets[0] + "." + AuthorizedIpOctets[1] + "." +
              AuthorizedIpOctets[2] + "." + AuthorizedIpOctets[3];
  }

  const std::string command = prefix + Community + address + "\r\n";
  if (command.size() > kMaxCommandLength) {
    const std::size_t room = kMaxCommandLength - prefix.size() - address.size() - 2;
    Error("The community is too long: with this access right and address it may hold at most " +
          std::to_string(room) + " characters.");
    return;
  }
  if (!SendChange(command)) return;
  ListCommunities();
  session_.ConfigChanged = true;
}

void CSMNP::OnRemoveCommunity() {
  session_.channel.ReconnectRouter(0);
  if (session_.channel.TelnetSocket() == nullptr) {
    Error(kNotConnected);
    return;
  }
  const std::vector<int> selected = view().ListSelectedRows(kCommunityList);
  if (selected.empty()) return;
  const int row = selected.front();
  // Whole texts: a cut community would delete another entry or none.
  const std::string community = view().ListCell(kCommunityList, row, 1);
  if (community == session_.channel.RouterPassword) {
    session_.ui.Message(view().Window(),
                        "You are trying to remove the password with which you have logged in "
                        "with.\nThis action is not allowed.",
                        "ERROR");
    return;
  }
  const std::string address = view().ListCell(kCommunityList, row, 2);
  if (!SendChange("ip snmp access delete " + community + " " + address + "\r\n")) return;
  ListCommunities();
  session_.ConfigChanged = true;
}

}  // namespace tarnwick
