#pragma once

#include <array>
#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// The SNMP page: the router's community access list. The write community doubles as the
// telnet password, so the community the user logged in with cannot be removed here.
class CSMNP : public DialogModel {
 public:
  static constexpr int kTemplateId = 138;
  static constexpr int kCommunityList = 1025;
  static constexpr int kWrite = 1021;
  static constexpr int kRead = 1022;
  static constexpr int kCommunity = 1020;
  static constexpr int kAuthorizedIp = 1023;
  // Address octets 1 to 4 in screen order.
  static constexpr std::array<int, 4> kAddressIds = {1142, 1147, 1144, 1145};
  static constexpr int kAdd = 1;
  static constexpr int kRemove = 2;
  // The router's line buffer: every command, "\r\n" included, must fit.
  static constexpr std::size_t kMaxCommandLength = 63;

  explicit CSMNP(Session& session);

  int TemplateId() const override { return kTemplateId; }
  std::string Caption() const override { return "SNMP"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void OnCommand(int id) override;
  void OnOK() override {}
  void OnCancel() override {}

  void ListCommunities();
  void OnAuthorizedIp();
  void OnAddCommunity();
  void OnRemoveCommunity();

  int AccessRight = -1;  // 0 write, 1 read
  std::string Community;
  int AuthorizedIpEnabled = 0;
  std::array<std::string, 4> AuthorizedIpOctets;

 private:
  void Error(const std::string& text);
  void EnableAddressBoxes();
  bool SendChange(const std::string& command);

  Session& session_;
};

}  // namespace tarnwick
