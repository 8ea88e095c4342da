// The main property sheet: every page, About and Load Default Configuration on its system menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SheetIds.h"
#include "monitor/CMONITOR.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

class CAllControlsSheet : public SheetModel {
 public:
  static constexpr unsigned kAboutCommand = IDM_ABOUT;
  static constexpr unsigned kDefaultsCommand = IDM_LOAD_DEFAULTS;
  static constexpr unsigned kHistoryCommand = IDM_LINE_HISTORY;
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
            {IDS_LINE_HISTORY, kHistoryCommand}};
  }
  bool OnSysCommand(unsigned id) override;

  void LoadDefaultConfiguration();

  // The page of type Model (the first of it), or null.
  template <typename Model>
  Model* Find() const {
    for (const auto& page : pages_)
      if (auto* found = dynamic_cast<Model*>(page.get())) return found;
    return nullptr;
  }

  // Looked up in the working directory unless a path is given.
  std::string DefaultsPath = kDefaultsFile;

 private:
  // The registered pages, owned for the whole run.
  std::vector<std::unique_ptr<Page>> pages_;
};

}  // namespace tarnwick
