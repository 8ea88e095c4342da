// The main property sheet: every page, About and Load Default Configuration on its system menu.
#pragma once

#include <string>
#include <vector>

#include "app/General.h"
#include "app/SheetIds.h"
#include "lan/CDHCP.h"
#include "line/CLINE.h"
#include "monitor/CMONITOR.h"
#include "routing/CROUTE.h"
#include "routing/CSMNP.h"
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

  // Looked up in the working directory unless a path is given.
  std::string DefaultsPath = kDefaultsFile;

  General general;
  CLINE line;
  CROUTE route;
  CDHCP dhcp;
  CSMNP snmp;
  CMONITOR monitor;
};

}  // namespace tarnwick
