#pragma once

#include <cstddef>
#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// Log In: router address (pre-filled from the last run) and password.
class CLoginDlg : public DialogModel {
 public:
  static constexpr int kTemplate = 132;
  static constexpr int kAddressEdit = 1019;
  static constexpr int kPasswordEdit = 1020;
  static constexpr const char* kDefaultAddress = "192.168.1.1";
  // The stored address is read into a zeroed 16-byte buffer: one byte stays zero.
  static constexpr std::size_t kMaxStoredAddress = 15;

  explicit CLoginDlg(Session& session);
  int TemplateId() const override { return kTemplate; }

  void OnInitDialog() override;
  // Logs in with the typed values; ends with 1 only when that succeeds.
  void OnOK() override;
  void OnCancel() override;

  std::string Address = kDefaultAddress;
  std::string Password;

 private:
  Session& session_;
};

}  // namespace tarnwick
