// The program's run: Log In, the main sheet, and the dropped connection at the end.
#include "app/Startup.h"

#include "app/LoginDialog.h"
#include "app/Sheet.h"

namespace tarnwick {

ShellHost::~ShellHost() = default;

int RunApplication(Session& session, ShellHost& host, bool socketLayerReady, Snapshots* snapshots) {
  if (!socketLayerReady) {
    session.ui.Message(nullptr, "Windows sockets initialization failed.", "", Buttons::Ok);
    return 0;
  }

  CLoginDlg login(session);
  session.ConfigChanged = false;
  if (host.RunModal(login) != 1) return 0;

  session.guard = snapshots;
  {
    CAllControlsSheet sheet(session);
    sheet.KeptSnapshots = snapshots;
    host.RunSheet(sheet);
  }
  session.guard = nullptr;
  // The program ends after a change that moved the router (its LAN address): the next start,
  // at the new address, offers to undo it.
  if (snapshots && !snapshots->LastWritten().empty() &&
      snapshots->LastAddress() != session.channel.RouterAddress)
    snapshots->OfferUndoAtNextStart(session.channel.RouterAddress);
  // Whichever way the sheet ended.
  session.router.Drop();
  return 0;
}

}  // namespace tarnwick
