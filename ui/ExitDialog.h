// The Exit dialog shown before the program ends after a LAN subnet change.
#pragma once

#include "ui/DialogModel.h"
#include "ui/ExitDialogIds.h"

namespace tarnwick {

// OK is the only way out.
class CExitDlg : public DialogModel {
 public:
  int TemplateId() const override { return IDD_EXIT; }
  void OnOK() override { view().EndDialog(1); }
  // Escape and the close box arrive here and must leave the dialog open.
  void OnCancel() override {}
};

}  // namespace tarnwick
