// The Multiple PVC dialog: every PVC on the router in one table, edited and written back at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "multipvc/CMULTIPVCIds.h"
#include "multipvc/PvcTable.h"
#include "ui/DialogModel.h"
#include "ui/OctetField.h"
#include "ui/Router.h"
#include "ui/Session.h"

namespace tarnwick {

// Opened by the Line Configuration page, which sets the PvcValues members (the page's own
// PVC, LAN, gateway and PPP log-in) before running it modally.
class CMULTIPVC : public DialogModel, public PvcValues {
 public:
  // Rows Add accepts; reading lists every PVC it finds.
  static constexpr int kMaxRows = 8;

  explicit CMULTIPVC(Session& session);

  int TemplateId() const override { return IDD_MULTIPVC; }
  std::string Caption() const override { return "Multiple PVC"; }

  void OnInitDialog() override { ReadExistingPvcs(); }
  void OnFocusLeave(int id) override;
  bool EnterRow(int listId, const ListRow& row) override;
  std::optional<ListRow> PutRows(int listId, const std::vector<ListRow>& rows) override;

  void ReadExistingPvcs();
  // Inserts a row at the top of the table; false (nothing inserted) for a row MakePvcRow
  // refuses.
  bool AddPvcRow(int protocol, const std::string& pvc, int nat, int framing, const std::string& ip,
                 const std::string& subnet, const std::string& remoteIp);
  // The table's rows, top to bottom.
  std::vector<PvcRow> Rows() const;

  void OnPvcBridged();
  void OnPvcRouted();
  void OnPvcIpoa();
  void OnPvcAutoWan();
  void OnAddPvc();
  void OnRemovePvc();
  void OnCloseMultiPvc();
  void OnApplyPvcs();
  // Sends the removal lines; stops with the script when one of them never left.
  void TearDownPvcs(WriteScript& script);

  int ProtocolChoice = -1;  // 0 Bridged, 1 Routed, 2 IPoA
  int FramingChoice = -1;   // 0 LLC SNAP, 1 VC MUX
  int NatCheck = 0;
  std::string EditVpi;
  std::string EditVci;
  OctetField EditWanIpOctets{
      {IDC_MULTIPVC_WANIP1, IDC_MULTIPVC_WANIP2, IDC_MULTIPVC_WANIP3, IDC_MULTIPVC_WANIP4}};
  OctetField EditWanMaskOctets{
      {IDC_MULTIPVC_WANMASK1, IDC_MULTIPVC_WANMASK2, IDC_MULTIPVC_WANMASK3, IDC_MULTIPVC_WANMASK4}};
  OctetField EditRemoteIpOctets{
      {IDC_MULTIPVC_REMOTE1, IDC_MULTIPVC_REMOTE2, IDC_MULTIPVC_REMOTE3, IDC_MULTIPVC_REMOTE4}};

 private:
  // The message of an octet box that holds something other than an octet, or nullopt.
  std::optional<std::string> OctetFault(int id);
  void ResetEntries();
  // At the top, so the newest row is always first.
  void InsertRow(const PvcRow& row);
  int RowCount() const;
};

}  // namespace tarnwick
