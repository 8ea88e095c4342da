#pragma once

#include <array>
#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// The Route Table page: the router's static routes, re-read every five seconds while the
// page is active; add, remove and remove all.
class CROUTE : public DialogModel {
 public:
  static constexpr int kTemplateId = 135;
  static constexpr int kRouteList = 1025;
  static constexpr int kRouteCost = 1031;
  static constexpr int kRouteTimeout = 1032;
  static constexpr int kRouteLabel = 104;
  static constexpr int kDestIpFirst = 1151;   // 1151-1154
  static constexpr int kNextHopFirst = 1155;  // 1155-1158
  static constexpr int kNetmaskFirst = 1159;  // 1159-1162
  static constexpr int kAdd = 1;
  static constexpr int kRemove = 2;
  static constexpr int kRemoveAll = 1026;
  static constexpr int kRefreshTimer = 1;
  static constexpr int kRefreshPeriodMs = 5000;

  explicit CROUTE(Session& session);

  int TemplateId() const override { return kTemplateId; }
  std::string Caption() const override { return "Route Table"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void OnKillActive() override;
  void OnTimer(int timerId) override;
  void OnCommand(int id) override;
  // The page's own OK and Cancel notifications do nothing.
  void OnOK() override {}
  void OnCancel() override {}

  void ListRoutes();
  void OnAddRoute();
  void OnRemoveRoute();
  void OnRemoveAllRoutes();

  std::string RouteCost = "1";
  std::string RouteTimeout = "0";
  std::array<std::string, 4> DestIpOctets;
  std::string RouteLabel;
  std::array<std::string, 4> NetmaskOctets = {"255", "255", "255", "0"};
  std::array<std::string, 4> NextHopOctets;

 private:
  void Error(const std::string& text);
  // Sends a change command and reads its answer once; false after a failed send.
  bool SendChange(const std::string& command, const char* failure);

  Session& session_;
};

}  // namespace tarnwick
