// The main property sheet: every page; About, Load Default Configuration, Line History and the
// settings' Save, Restore and Undo on its system menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "app/SheetIds.h"
#include "app/Snapshots.h"
#include "monitor/CMONITOR.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

class CAllControlsSheet : public SheetModel {
 public:
  static constexpr unsigned kAboutCommand = IDM_ABOUT;
  static constexpr unsigned kDefaultsCommand = IDM_LOAD_DEFAULTS;
  static constexpr unsigned kHistoryCommand = IDM_LINE_HISTORY;
  static constexpr unsigned kSaveCommand = IDM_SAVE_SETTINGS;
  static constexpr unsigned kRestoreCommand = IDM_RESTORE_SETTINGS;
  static constexpr unsigned kUndoCommand = IDM_UNDO_CHANGE;
  // Once the sheet shows, the undo offered after a run that moved the router.
  static constexpr int kOfferTimer = 0x7A01;
  static constexpr const char* kDefaultsFile = "default.dat";
  // Line buffer of the defaults replay: 255 characters and the terminating zero.
  static constexpr int kLineBufferSize = 256;
  static constexpr Millis kReplayLinePauseMs = 100;

  explicit CAllControlsSheet(Session& session);
  std::string Caption() const override { return "Tarnwick"; }
  int IconId() const override { return IDI_TARNWICK; }
  std::vector<Page*> Pages() override;
  std::vector<MenuEntry> SystemMenu() const override {
    return {{IDS_ABOUT, kAboutCommand},
            {IDS_LOAD_DEFAULTS, kDefaultsCommand},
            {IDS_LINE_HISTORY, kHistoryCommand},
            {IDS_SAVE_SETTINGS, kSaveCommand},
            {IDS_RESTORE_SETTINGS, kRestoreCommand, false},
            {IDS_UNDO_CHANGE, kUndoCommand, false}};
  }
  bool OnSysCommand(unsigned id) override;
  void OnInitDialog() override;
  void OnTimer(int timerId) override;

  void LoadDefaultConfiguration();
  // Every page read (the Wait box meanwhile) and written to a file the user picks.
  void SaveSettings();
  // A file the user picks, or the newest snapshot of this router, compared with the router and,
  // once the differences are confirmed, restored page by page.
  void RestoreSettings();
  void UndoLastChange();
  void Restore(const std::string& path, const std::string& origin);

  // The page of type Model (the first of it), or null.
  template <typename Model>
  Model* Find() const {
    for (const auto& page : pages_)
      if (auto* found = dynamic_cast<Model*>(page.get())) return found;
    return nullptr;
  }

  // Looked up in the working directory unless a path is given.
  std::string DefaultsPath = kDefaultsFile;
  // Where the copies kept before each change go; none: no Undo.
  Snapshots* KeptSnapshots = nullptr;

 private:
  void Restore(const SettingsFile& file, const std::string& origin);

  std::optional<std::string> offeredUndo_;
  // The registered pages, owned for the whole run.
  std::vector<std::unique_ptr<Page>> pages_;
};

}  // namespace tarnwick
