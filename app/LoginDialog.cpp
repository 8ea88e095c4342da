#include "app/LoginDialog.h"

namespace tarnwick {

CLoginDlg::CLoginDlg(Session& session) : session_(session) {
  bindings_.Text(kAddressEdit, Address).Text(kPasswordEdit, Password);
}

void CLoginDlg::OnInitDialog() {
  bindings_.Show(view());
  std::optional<std::string> stored = session_.settings.ReadIPAddress();
  // A longer value does not fit the read buffer and is ignored.
  if (!stored || stored->size() > kMaxStoredAddress) return;
  Address = *stored;
  bindings_.Show(view());
}

void CLoginDlg::OnOK() {
  bindings_.Load(view());
  session_.channel.RouterPassword = Password;
  session_.channel.RouterAddress = Address;
  // On failure the channel has told the user why; the fields stay as typed.
  if (session_.channel.ConnectAndLogin()) view().EndDialog(1);
}

void CLoginDlg::OnCancel() { view().EndDialog(2); }

}  // namespace tarnwick
