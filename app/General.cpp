// The General page's save on Close.
#include "app/General.h"

#include "ui/WaitProgress.h"

namespace tarnwick {

void General::SaveOnSheetOk() {
  if (!session().ConfigChanged) return;
  WaitProgress wait(session().ui, session().clock, session().channel.pace);
  wait.Show(kSavingText);
  wait.Step();
  wait.Repaint();
  router().Reconnect(0);
  for (int i = 0; i < 3; ++i) wait.Step();
  router().SaveConfiguration();
  wait.Finish();
  wait.Close();
}

}  // namespace tarnwick
