#pragma once

#include <string>
#include <vector>

#include "app/Bindings.h"
#include "app/General.h"
#include "app/Session.h"
#include "monitor/CMONITOR.h"
#include "routing/CROUTE.h"
#include "routing/CSMNP.h"

namespace tarnwick {

// The main window: one property sheet holding every page, with About and Load Default
// Configuration on its system menu. Its view() is the sheet window itself.
class CAllControlsSheet : public DialogModel {
 public:
  struct MenuEntry {
    int stringId;
    unsigned command;
  };
  static constexpr MenuEntry kSystemMenu[2] = {{101, 0x10}, {102, 0x20}};
  static constexpr int kIconId = 128;
  static constexpr const char* kDefaultsFile = "default.dat";
  // Line buffer of the defaults replay: 255 characters and the terminating zero.
  static constexpr int kLineBufferSize = 256;
  static constexpr Millis kReplayLinePauseMs = 100;

  explicit CAllControlsSheet(Session& session);
  int TemplateId() const override { return 0; }
  std::string Caption() const override { return "Tarnwick"; }

  // Tab order.
  std::vector<DialogModel*> Pages();

  // False: not ours, let the platform handle it.
  bool OnSysCommand(unsigned id);
  void LoadDefaultConfiguration();

  // Looked up in the working directory unless a path is given.
  std::string DefaultsPath = kDefaultsFile;

  General general;
  CROUTE route;
  CSMNP snmp;
  CMONITOR monitor;

 private:
  Session& session_;
};

}  // namespace tarnwick
