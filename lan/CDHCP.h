// The DHCP page: the router's DHCP server (subnet, range, options, lease) and its DNS relay.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lan/CDHCPIds.h"
#include "ui/OctetField.h"
#include "ui/Page.h"
#include "ui/Router.h"
#include "ui/Session.h"

namespace tarnwick {

// What the router's "dhcpserver config" and "dnsrelay status" replies say, as the page holds
// it: dotted texts, the lease in days, and the two check boxes.
struct DhcpReading {
  std::string NetworkId;
  std::string SubnetMask;
  std::string RangeStart;
  std::string RangeEnd;
  std::string Gateway;
  std::string PrimaryDns;
  std::string SecondaryDns;
  std::string LeaseDays;
  int DnsRelayEnabled = 0;
  int DhcpEnabled = 0;

  bool operator==(const DhcpReading&) const = default;
};

DhcpReading ScanDhcpReplies(const std::string& dhcpConfig, const std::string& relayStatus);
// A lease listed in seconds ("86400;"), shown in days with six decimals.
std::string LeaseSecondsToDays(const std::string& listed);
// The seconds a lease box in days stands for, rounded to the nearest second; nullopt when the
// text is no decimal number or the seconds would not fit the router's signed 32-bit value.
std::optional<long> LeaseDaysToSeconds(const std::string& days);

class CDHCP : public Page, public DhcpReading {
 public:
  static constexpr Millis kListingLimitMs = 5000;
  static constexpr Millis kRelayResetLimitMs = 10000;

  explicit CDHCP(Session& session);

  int TemplateId() const override { return IDD_DHCP; }
  std::string Caption() const override { return "DHCP"; }

  void OnInitDialog() override { ReadRouterState(); }
  void OnSetActive() override;
  void OnKillActive() override;

  void ReadRouterState();
  void OnEnableDnsRelay();
  void OnEnableDhcp();
  void OnApplyDhcp();
  void OnRemoveDhcp();

  OctetField NetworkIdOctets{{IDC_DHCP_NET1, IDC_DHCP_NET2, IDC_DHCP_NET3, IDC_DHCP_NET4}};
  OctetField RangeEndOctets{{IDC_DHCP_END1, IDC_DHCP_END2, IDC_DHCP_END3, IDC_DHCP_END4}};
  OctetField SubnetMaskOctets{{IDC_DHCP_MASK1, IDC_DHCP_MASK2, IDC_DHCP_MASK3, IDC_DHCP_MASK4}};
  OctetField RangeStartOctets{{IDC_DHCP_START1, IDC_DHCP_START2, IDC_DHCP_START3, IDC_DHCP_START4}};
  OctetField GatewayOctets{
      {IDC_DHCP_GATEWAY1, IDC_DHCP_GATEWAY2, IDC_DHCP_GATEWAY3, IDC_DHCP_GATEWAY4}};
  OctetField PrimaryDnsOctets{
      {IDC_DHCP_PRIMARY1, IDC_DHCP_PRIMARY2, IDC_DHCP_PRIMARY3, IDC_DHCP_PRIMARY4}};
  OctetField SecondaryDnsOctets{
      {IDC_DHCP_SECONDARY1, IDC_DHCP_SECONDARY2, IDC_DHCP_SECONDARY3, IDC_DHCP_SECONDARY4}};

  // The router runs a DHCP server, as read or as last written: unticking "Enable DHCP" must
  // then stop it rather than leave it running.
  bool ServerOnRouter = false;

 private:
  // "Primary:" and its four boxes.
  std::vector<int> PrimaryControls() const;
  // Resets the relay; false when the line never left (the user has been told).
  bool ResetRelay();
  // The first validation fault of Apply, or nullopt; fills the dotted texts it checks.
  std::optional<std::string> ValidateApply();
  // The server part of Apply from the validated texts, with its progress steps.
  std::vector<ScriptItem> ServerScript() const;
};

}  // namespace tarnwick
