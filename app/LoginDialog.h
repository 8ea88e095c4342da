// The Log In dialog: router address (pre-filled from the last run) and password.
#pragma once

#include <cstddef>
#include <string>

#include "app/LoginDialogIds.h"
#include "ui/DialogModel.h"
#include "ui/Session.h"

namespace tarnwick {

class CLoginDlg : public DialogModel {
 public:
  static constexpr const char* kDefaultAddress = "192.168.1.1";
  // The stored address is read into a zeroed 16-byte buffer: one byte stays zero.
  static constexpr std::size_t kMaxStoredAddress = 15;

  explicit CLoginDlg(Session& session);
  int TemplateId() const override { return IDD_LOGIN; }

  void OnInitDialog() override;
  // Logs in with the typed values; ends with 1 only when that succeeds.
  void OnOK() override;

  std::string Address = kDefaultAddress;
  std::string Password;
};

}  // namespace tarnwick
