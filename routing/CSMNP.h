// The SNMP page: the router's community access list; add and remove communities.
#pragma once

#include <string>
#include <vector>

#include "routing/CSMNPIds.h"
#include "ui/OctetField.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

// Rows of the community listing: access right ("Write" or "Read"), community, address.
std::vector<std::vector<std::string>> ScanCommunityListing(const std::string& reply);

// The write community doubles as the telnet password, so the community the user logged in
// with cannot be removed here.
class CSMNP : public Page {
 public:
  // The router's line buffer: every command of the page, "\r\n" included, must fit.
  static constexpr std::size_t kMaxCommandLength = 63;

  explicit CSMNP(Session& session);

  int TemplateId() const override { return IDD_SNMP; }
  std::string Caption() const override { return "SNMP"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void Reread() override { ListCommunities(); }
  bool EnterRow(int listId, const std::map<std::string, std::string>& row) override;

  void ListCommunities();
  void OnAuthorizedIp();
  void OnAddCommunity();
  void OnRemoveCommunity();

  int AccessRight = -1;  // 0 write, 1 read
  std::string Community;
  int AuthorizedIpEnabled = 0;
  OctetField AuthorizedIp{{IDC_SNMP_IP1, IDC_SNMP_IP2, IDC_SNMP_IP3, IDC_SNMP_IP4}};

 private:
  void EnableAddressBoxes();
};

}  // namespace tarnwick
