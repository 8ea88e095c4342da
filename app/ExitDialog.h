#pragma once

#include "app/Bindings.h"

namespace tarnwick {

// Shown before the program ends after a LAN subnet change: OK is the only way out.
class CExitDlg : public DialogModel {
 public:
  static constexpr int kTemplate = 155;
  int TemplateId() const override { return kTemplate; }
  void OnOK() override { view().EndDialog(1); }
  // Escape and the close box arrive here and must leave the dialog open.
  void OnCancel() override {}
};

}  // namespace tarnwick
