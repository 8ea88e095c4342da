// The About box's firmware version.
#include "app/AboutDialog.h"

#include "channel/TextHelpers.h"

namespace tarnwick {

CAboutDlg::CAboutDlg(Session& session) : DialogModel(session) {
  description_.Text(IDC_ABOUT_FIRMWARE, FirmwareVersion);
}

void CAboutDlg::OnInitDialog() {
  // On the connection as it is: no reconnect first.
  const std::string reply = router().Ask("version\r\n", 5000);
  if (reply.find("Version") != std::string::npos)
    GetReplyField(reply, "Version", 1, 4, FirmwareVersion);
  Show();
}

}  // namespace tarnwick
