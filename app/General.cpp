#include "app/General.h"

#include "app/WaitProgress.h"

namespace tarnwick {

General::General(Session& session) : session_(session) {}

void General::OnInitDialog() { view().CancelToClose(); }

void General::SaveOnSheetOk() {
  if (!session_.ConfigChanged) return;
  WaitProgress wait(session_.ui, session_.clock);
  wait.Show(kSavingText);
  wait.Step();
  wait.Repaint();
  session_.channel.ReconnectRouter(0);
  for (int i = 0; i < 3; ++i) wait.Step();
  session_.channel.SaveConfiguration();
  wait.Finish();
  wait.Close();
}

}  // namespace tarnwick
