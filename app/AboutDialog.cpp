#include "app/AboutDialog.h"

#include "channel/TextHelpers.h"

namespace tarnwick {

CAboutDlg::CAboutDlg(Session& session) : session_(session) {
  bindings_.Text(kFirmwareStatic, FirmwareVersion);
}

void CAboutDlg::OnInitDialog() {
  std::string reply;
  // On the connection as it is: no reconnect first.
  session_.channel.ExecuteCommand("version\r\n", reply, 5000);
  if (reply.find("Version") != std::string::npos)
    GetReplyField(reply, "Version", 1, 4, FirmwareVersion);
  bindings_.Show(view());
}

}  // namespace tarnwick
