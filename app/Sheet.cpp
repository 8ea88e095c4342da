// The main sheet: its pages, system menu and the factory-defaults replay.
#include "app/Sheet.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AboutDialog.h"
#include "app/PageRegistry.h"
#include "ui/Router.h"
#include "ui/WaitProgress.h"

namespace tarnwick {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

CAllControlsSheet::CAllControlsSheet(Session& session) : SheetModel(session) {
  for (const RegisteredPage& entry : PageRegistry())
    if (entry.IsPage()) pages_.push_back(entry.makePage(session));
}

std::vector<Page*> CAllControlsSheet::Pages() {
  std::vector<Page*> pages;
  for (const auto& page : pages_) pages.push_back(page.get());
  return pages;
}

bool CAllControlsSheet::OnSysCommand(unsigned id) {
  switch (id & ~0xFu) {
    case kAboutCommand: {
      CAboutDlg about(session());
      view().RunModal(about);
      return true;
    }
    case kDefaultsCommand:
      LoadDefaultConfiguration();
      return true;
    case kHistoryCommand:
      // What the DSL Monitoring page has read so far; it adds to it while it is shown.
      if (CMONITOR* monitor = Find<CMONITOR>()) view().ShowPlot(monitor->History);
      return true;
    default:
      return false;
  }
}

void CAllControlsSheet::LoadDefaultConfiguration() {
  Ui& ui = session().ui;
  WindowRef owner = view().Window();

  if (ui.Message(owner, "Do you want to load default factory settings?", "Help", Buttons::YesNo) !=
      Answer::Yes)
    return;

  char buffer[kLineBufferSize];
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(DefaultsPath.c_str(), "r"));
  if (!file) {
    ui.Message(owner, "Unable to find configuration file\n", "", Buttons::Ok);
    return;
  }

  WaitProgress wait(ui, session().clock, session().channel.pace);
  wait.Show("Please wait while flashing the Default configuration.");
  wait.Step();
  wait.Repaint();
  // A replay the router did not get whole must not be reported as loaded, nor end the program.
  WriteScript script(session());
  if (!script.Reconnect(0)) return;
  wait.Step();

  // End of file is only noticed by a read that finds nothing, so a file ending in a line
  // feed sends one more, bare line end from the zeroed buffer. A read error never sets
  // end of file and leaves the buffer undefined: stop there.
  while (!std::feof(file.get())) {
    std::memset(buffer, 0, sizeof buffer);
    if (!std::fgets(buffer, sizeof buffer, file.get()) && std::ferror(file.get())) break;
    if (!script.Send(std::string(buffer) + "\r\n")) return;
    session().channel.ProgramPause(kReplayLinePauseMs);
  }

  for (int i = 0; i < 3; ++i) wait.Step();
  if (!script.Reconnect(5000)) return;
  wait.Step();
  router().SaveConfiguration();
  wait.Step();
  router().Restart(true);
  wait.Step();
  wait.Step();
  router().Hangup();
  wait.Step();
  wait.Close();

  ui.Message(owner,
             "Default factory settings are loaded successfully. Please run the Tarnwick again.",
             "Config Success", Buttons::Ok);
  // As the sheet's Cancel: no page's OK runs, nothing more is saved.
  view().EndDialog(0);
}

}  // namespace tarnwick
