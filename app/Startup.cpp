// The program's run: Log In, the main sheet, and the dropped connection at the end.
#include "app/Startup.h"

#include "app/LoginDialog.h"
#include "app/Sheet.h"

namespace tarnwick {

ShellHost::~ShellHost() = default;

int RunApplication(Session& session, ShellHost& host, bool socketLayerReady) {
  if (!socketLayerReady) {
    session.ui.Message(nullptr, "Windows sockets initialization failed.", "", Buttons::Ok);
    return 0;
  }

  CLoginDlg login(session);
  session.ConfigChanged = false;
  if (host.RunModal(login) != 1) return 0;

  {
    CAllControlsSheet sheet(session);
    host.RunSheet(sheet);
  }
  // Whichever way the sheet ended.
  session.router.Drop();
  return 0;
}

}  // namespace tarnwick
