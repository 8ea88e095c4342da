// The About box's firmware version.
#include "app/AboutDialog.h"

#include "channel/TextHelpers.h"

namespace tarnwick {

CAboutDlg::CAboutDlg(Session& session) : DialogModel(session) {
  bindings_.Text(IDC_ABOUT_FIRMWARE, FirmwareVersion);
}

void CAboutDlg::OnInitDialog() {
  std::string reply;
  // On the connection as it is: no reconnect first.
  session().channel.ExecuteCommand("version\r\n", reply, 5000);
  if (reply.find("Version") != std::string::npos)
    GetReplyField(reply, "Version", 1, 4, FirmwareVersion);
  Show();
}

}  // namespace tarnwick
