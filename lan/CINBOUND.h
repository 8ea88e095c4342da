// The NAT inbound dialog: the router's port forwarding rules on the WAN interface.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "lan/CINBOUNDIds.h"
#include "ui/DialogModel.h"
#include "ui/OctetField.h"
#include "ui/Session.h"

namespace tarnwick {

// Rows of the "nat inbound list" reply: interface, port and protocol, new address.
std::vector<std::array<std::string, 3>> ScanInboundListing(const std::string& reply);
// The WAN interface new rules are bound to on a line protocol; empty when it has none.
std::string InboundInterface(int lineProtocol);

// Rules are deleted by their position in the router's list, so after every change that
// reached the router the list is read again: the rows always carry the router's numbering.
class CINBOUND : public DialogModel {
 public:
  static constexpr Millis kChangePauseMs = 500;

  // Without a line protocol it lists, removes and refuses to add.
  explicit CINBOUND(Session& session, int lineProtocol = -1);

  int TemplateId() const override { return IDD_INBOUND; }
  std::string Caption() const override { return "Inbound"; }
  void OnInitDialog() override;
  // Enter and the default button add a rule; the dialog stays open.
  void OnOK() override { OnAddInbound(); }

  bool EnterRow(int listId, const std::map<std::string, std::string>& row) override;

  void ListInbound();
  void OnAddInbound();
  void OnRemoveInbound();
  void OnRemoveAllInbound();

  int LineProtocol;
  std::string InboundPort;
  int InboundProtocol = 0;  // 0 TCP, 1 UDP
  OctetField HostIpOctets{
      {IDC_INBOUND_HOST1, IDC_INBOUND_HOST2, IDC_INBOUND_HOST3, IDC_INBOUND_HOST4}};

 private:
  // Sends a change and lists again; false when the line never left, told in the page's own
  // words when given, else the channel's.
  bool SendChange(const std::string& command, const char* ownFailure = nullptr);
};

}  // namespace tarnwick
