// The program's run: Log In, the main sheet, and the dropped connection at the end.
#pragma once

#include "ui/DialogModel.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {
class Snapshots;
}

namespace tarnwick {

// What the program's start needs from the platform: running the Log In dialog and the
// main sheet modally.
class ShellHost {
 public:
  virtual ~ShellHost();
  // Returns the dialog's end result (1 OK, 2 Cancel).
  virtual int RunModal(DialogModel& dialog) = 0;
  virtual int RunSheet(SheetModel& sheet) = 0;
};

// Log In, then the sheet until it ends, then the connection is dropped. Returns the
// process exit code.
// With snapshots, a copy of the settings is kept before every change, Undo is offered, and a run
// that ends after moving the router offers the undo at the next start.
int RunApplication(Session& session, ShellHost& host, bool socketLayerReady,
                   Snapshots* snapshots = nullptr);

}  // namespace tarnwick
