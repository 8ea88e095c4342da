// The About box: program version and the router's firmware version.
#pragma once

#include <string>

#include "app/AboutDialogIds.h"
#include "ui/DialogModel.h"
#include "ui/Session.h"

namespace tarnwick {

// The firmware version is asked for each time the box opens; Update is never enabled.
class CAboutDlg : public DialogModel {
 public:
  explicit CAboutDlg(Session& session);
  int TemplateId() const override { return IDD_ABOUT; }
  void OnInitDialog() override;

  std::string FirmwareVersion;
};

}  // namespace tarnwick
