// Log In: the stored address, and the log-in on OK.
#include "app/LoginDialog.h"

namespace tarnwick {

CLoginDlg::CLoginDlg(Session& session) : DialogModel(session) {
  description_.Text(IDC_LOGIN_ADDRESS, Address).Text(IDC_LOGIN_PASSWORD, Password);
  Declare(ControlKind::Edit, {IDC_LOGIN_PASSWORD});
}

void CLoginDlg::OnInitDialog() {
  Show();
  // The address is usually the one offered; the password is what is typed first.
  view().Focus(IDC_LOGIN_PASSWORD, false);
  std::optional<std::string> stored = session().settings.ReadIPAddress();
  // A longer value does not fit the read buffer and is ignored.
  if (!stored || stored->size() > kMaxStoredAddress) return;
  Address = *stored;
  Show();
}

void CLoginDlg::OnOK() {
  Load();
  CommandChannel& channel = session().channel;
  channel.RouterPassword = Password;
  channel.RouterAddress = Address;
  // On failure the channel has told the user why; the fields stay as typed.
  if (router().Login()) view().EndDialog(1);
}

}  // namespace tarnwick
