#pragma once

#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// About box: program version (in the template) and the router's firmware version,
// asked for each time the box opens.
class CAboutDlg : public DialogModel {
 public:
  static constexpr int kTemplate = 100;
  static constexpr int kFirmwareStatic = 1191;
  static constexpr int kUpdateButton = 1096;  // created disabled, never enabled

  explicit CAboutDlg(Session& session);
  int TemplateId() const override { return kTemplate; }
  void OnInitDialog() override;

  std::string FirmwareVersion;

 private:
  Session& session_;
};

}  // namespace tarnwick
