// The Route Table page: the router's static routes, refreshed while shown; add and remove.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "routing/CROUTEIds.h"
#include "ui/OctetField.h"
#include "ui/Page.h"
#include "ui/PollTimer.h"
#include "ui/Session.h"

namespace tarnwick {

// Rows of the route listing (label, destination, next hop, mask; a row the scan stopped in
// holds fewer cells). nullopt when the router says its table is empty.
std::optional<std::vector<std::vector<std::string>>> ScanRouteListing(const std::string& reply);

class CROUTE : public Page {
 public:
  static constexpr PollTimer kRefresh{1, 5000};

  explicit CROUTE(Session& session);

  int TemplateId() const override { return IDD_ROUTE; }
  std::string Caption() const override { return "Route Table"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void Reread() override { ListRoutes(); }
  void OnKillActive() override;
  void OnTimer(int timerId) override;
  bool EnterRow(int listId, const std::map<std::string, std::string>& row) override;

  void ListRoutes();
  void OnAddRoute();
  void OnRemoveRoute();
  void OnRemoveAllRoutes();

  std::string RouteCost = "1";
  std::string RouteTimeout = "0";
  std::string RouteLabel;
  OctetField DestIp{{IDC_ROUTE_DEST1, IDC_ROUTE_DEST2, IDC_ROUTE_DEST3, IDC_ROUTE_DEST4}};
  OctetField NextHop{{IDC_ROUTE_HOP1, IDC_ROUTE_HOP2, IDC_ROUTE_HOP3, IDC_ROUTE_HOP4}};
  OctetField Netmask{{IDC_ROUTE_MASK1, IDC_ROUTE_MASK2, IDC_ROUTE_MASK3, IDC_ROUTE_MASK4}};
};

}  // namespace tarnwick
