// The console's settings files: save, diff and apply.
#pragma once

#include <string>

#include "cli/ConsoleSession.h"

namespace tarnwick {

struct SettingsRequest {
  std::string path;
  bool secrets = true;  // save: keep the PPP password in the file
  bool json = false;    // diff and apply: a JSON report on standard output
  bool dryRun = false;  // apply
  bool yes = false;     // apply: answer the pages' questions Yes
};

// The exit statuses of diff.
enum DiffStatus { kDiffSame = 0, kDiffDiffers = 1, kDiffCouldNotRead = 2 };

// Reads every page and writes the file (an earlier one stays whole until then).
int RunSave(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
            Clock& clock, Ui& ui);
// Prints each setting that differs; the status tells same, differs or could not read.
int RunDiff(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
            Clock& clock, Ui& ui, std::string& out);
// Brings the router to the file page by page (a dry run only reads and shows the lines). With
// json, one object: "changed" (a write line went out, or in a dry run would have), "dryRun",
// and for each page worked its status, lines, message and differences as diff --json has them.
int RunApply(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
             Clock& clock, Ui& ui, std::string& out);

}  // namespace tarnwick
