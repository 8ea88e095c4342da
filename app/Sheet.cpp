// The main sheet: its pages, system menu and the factory-defaults replay.
#include "app/Sheet.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AboutDialog.h"
#include "app/CompareDialog.h"
#include "app/PageRegistry.h"
#include "app/SettingsApply.h"
#include "ui/NotingUi.h"
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
    case kSaveCommand:
      SaveSettings();
      return true;
    case kRestoreCommand:
      RestoreSettings();
      return true;
    case kUndoCommand:
      UndoLastChange();
      return true;
    default:
      return false;
  }
}

void CAllControlsSheet::OnInitDialog() {
  if (!KeptSnapshots) return;
  offeredUndo_ = KeptSnapshots->TakeOffer(session().channel.RouterAddress);
  // Asked once the sheet is on the screen, not while it is being made.
  if (offeredUndo_) view().StartTimer(kOfferTimer, 100);
}

void CAllControlsSheet::OnTimer(int timerId) {
  if (timerId != kOfferTimer) return;
  view().StopTimer(kOfferTimer);
  const std::optional<std::string> snapshot = std::move(offeredUndo_);
  offeredUndo_.reset();
  if (!snapshot || Ask("The last run of Tarnwick changed the router's LAN address to " +
                           session().channel.RouterAddress +
                           " and ended.\n\nUndo that change? The settings kept before it are "
                           "compared with the router first.",
                       "Undo Last Change") != Answer::Yes)
    return;
  Restore(*snapshot, "The settings kept before the last change");
}

void CAllControlsSheet::SaveSettings() {
  if (!RequireConnection()) return;
  const std::optional<std::string> path = view().ChooseFile(true, "router-settings.json");
  if (!path) return;
  NotingUi* noted = session().noted;
  if (noted) noted->Forget();
  SettingsFile file;
  {
    WaitProgress wait(session().ui, session().clock, session().channel.pace);
    wait.Show("Please wait while the router's settings are read.");
    wait.Repaint();
    file = ReadSettings(session(), UtcTimestamp());
  }
  if (noted && noted->Failed()) {
    Error("The router's settings could not be read whole (" + noted->errors.front() +
          ").\n\nNothing was saved.");
    return;
  }
  if (const std::optional<std::string> problem = WriteFileWhole(*path, SettingsJson(file, true))) {
    Error("Unable to save the settings: " + *problem + ".");
    return;
  }
  Tell("The settings of " + std::to_string(file.pages.size()) + " pages were saved to " + *path +
           ".",
       "Save Settings");
}

void CAllControlsSheet::RestoreSettings() {
  if (!RequireConnection()) return;
  if (const std::optional<std::string> path = view().ChooseFile(false, "")) Restore(*path, *path);
}

void CAllControlsSheet::UndoLastChange() {
  if (!RequireConnection()) return;
  const std::optional<std::string> newest =
      KeptSnapshots ? KeptSnapshots->Newest(session().channel.RouterAddress) : std::nullopt;
  if (!newest) {
    Tell("No change Tarnwick made to the router at " + session().channel.RouterAddress +
             " has been kept: there is nothing to undo.",
         "Undo Last Change");
    return;
  }
  Restore(*newest, "The settings kept before the last change");
}

void CAllControlsSheet::Restore(const std::string& path, const std::string& origin) {
  const auto loaded = LoadSettings(path);
  if (const auto* file = std::get_if<SettingsFile>(&loaded)) return Restore(*file, origin);
  Error(path + ": " + std::get<std::string>(loaded) + ".\n\nNothing was sent.");
}

void CAllControlsSheet::Restore(const SettingsFile& file, const std::string& origin) {
  NotingUi* noted = session().noted;
  if (!noted) return;
  std::vector<std::string> keys;
  for (const ShownPage& page : file.pages) keys.push_back(page.key);
  noted->Forget();
  SettingsFile now;
  {
    WaitProgress wait(session().ui, session().clock, session().channel.pace);
    wait.Show("Please wait while the router's settings are read.");
    wait.Repaint();
    for (ShownPage& page : ReadPages(session(), keys, Secrets{true, kLoginPasswordMarker}))
      if (std::optional<ShownPage> settings = SettingsOfPage(std::move(page)))
        now.pages.push_back(std::move(*settings));
  }
  if (noted->Failed()) {
    Error("The router's settings could not be read whole (" + noted->errors.front() +
          ").\n\nNothing was sent.");
    return;
  }
  const std::vector<PageDifference> differences = CompareSettings(now, file);
  if (differences.empty()) {
    Tell("The router already holds these settings: nothing needs to be sent.", "Restore Settings");
    return;
  }
  CompareDialog compare(origin, differences);
  if (view().RunModal(compare) != 1) return;

  ApplyReport report;
  {
    WaitProgress wait(session().ui, session().clock, session().channel.pace);
    wait.Show("Please wait while the settings are restored.");
    wait.Repaint();
    // Each page's own "Configuration Successful" would interrupt the run: one summary follows.
    noted->showNotices = false;
    noted->Forget();
    report = ApplySettings(session(), *noted, file, false);
    noted->showNotices = true;
  }
  std::string restored;
  for (const PageApply& page : report.pages)
    if (page.status == PageApply::Status::Applied)
      restored += (restored.empty() ? "" : ", ") + page.caption;
  if (report.Changed()) session().ConfigChanged = true;
  // The pages already opened show what the router now holds.
  for (const auto& page : pages_)
    if (page->attached()) page->Reread();

  std::string moved;
  if (report.movedTo) moved = "\n\nThe router's LAN address is now " + *report.movedTo + ".";
  if (report.Stopped()) {
    const PageApply& last = report.pages.back();
    Error("The " + last.caption + " page did not take the settings: " + last.message +
          "\n\nNothing after it was sent." +
          (restored.empty() ? std::string() : " Restored before it: " + restored + ".") + moved);
    return;
  }
  Tell(
      (restored.empty() ? std::string("No page needed changing.") : "Restored: " + restored + ".") +
          moved,
      "Restore Settings");
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

  // The replay rewrites every page: what each has read is kept first.
  if (KeptSnapshots && !KeptSnapshots->BeforeChangeOfAll(owner)) return;

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
