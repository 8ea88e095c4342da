// The Line Configuration page: which WAN protocol the router runs, its PVC, addresses, NAT,
// framing and PPP log-in; reading it from the router and applying it as one script.
#pragma once

#include <optional>
#include <string>

#include "line/CLINEIds.h"
#include "line/LineReading.h"
#include "line/LineScripts.h"
#include "ui/OctetField.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

class CLINE : public Page {
 public:
  explicit CLINE(Session& session);

  int TemplateId() const override { return IDD_LINE; }
  std::string Caption() const override { return "Line Configuration"; }

  // Reading the router: the page's initialisation, the first time it is shown.
  void OnInitDialog() override { ReadRouterState(); }
  void OnSetActive() override;
  void OnKillActive() override;

  void ReadRouterState();
  void OnApplyLine();
  // The first failure is shown (caption "Error"); false then.
  bool ValidateLinePage();
  void OnBridged();
  void OnRouted();
  void OnIpoa();
  void OnPppoa();
  void OnPppoe();
  void OnTransparentBridge();
  void OnAutoWan();
  void OnEnableNat();
  void OnInbound();
  void OnMultiplePvc();

  // The page's values other than its addresses.
  LineValues values;
  OctetField LanIp{{IDC_LINE_LAN_IP1, IDC_LINE_LAN_IP2, IDC_LINE_LAN_IP3, IDC_LINE_LAN_IP4}};
  OctetField LanMask{
      {IDC_LINE_LAN_MASK1, IDC_LINE_LAN_MASK2, IDC_LINE_LAN_MASK3, IDC_LINE_LAN_MASK4}};
  OctetField WanIp{{IDC_LINE_WAN_IP1, IDC_LINE_WAN_IP2, IDC_LINE_WAN_IP3, IDC_LINE_WAN_IP4}};
  OctetField RemoteGateway{
      {IDC_LINE_GATEWAY1, IDC_LINE_GATEWAY2, IDC_LINE_GATEWAY3, IDC_LINE_GATEWAY4}};
  OctetField WanMask{
      {IDC_LINE_WAN_MASK1, IDC_LINE_WAN_MASK2, IDC_LINE_WAN_MASK3, IDC_LINE_WAN_MASK4}};
  std::string LanIpAtActivation;
  std::string LanMaskAtActivation;

 private:
  // Validation and the texts Apply and Multiple PVC build from the page.
  bool WanCase() const;
  void BuildTexts();
  LineScriptInputs ScriptInputs() const;
  bool Apply(bool& programEnds);
  void StoreRouterAddress();

  // Radio handlers: false when the selection did not change (nothing more to do).
  bool SelectionChanged();
  void EnableForProtocol(int protocol);
  void CheckFirmware();

  // The masks as validation leaves them: lower-case hexadecimal parts joined by ":". The boxes
  // and members keep their decimal values, so a second Apply sends the same masks.
  std::string lanMaskHex_;
  std::string wanMaskHex_;
};

}  // namespace tarnwick
