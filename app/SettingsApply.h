// Bringing the router to a settings file, page by page, through the pages' own models.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "ui/NotingUi.h"
#include "ui/Session.h"

namespace tarnwick {

struct PageApply {
  enum class Status {
    Same,     // the router holds the file's settings: nothing sent
    Applied,  // the page wrote them (a dry run: would have)
    Refused,  // the page refused a value or a line never left: nothing after it is sent
    Asked,    // the page asked a question that was answered No: nothing sent for it
  };
  std::string key;
  std::string caption;
  Status status = Status::Same;
  std::vector<std::string> lines;  // sent, or in a dry run what would have been
  std::string message;             // the page's refusal or question
  // What differed when the page was read afresh (the pvc entry also holds the line's values);
  // empty when Same.
  PageDifference difference;
};

struct ApplyReport {
  std::vector<PageApply> pages;
  // The router's address when the file moved its LAN side.
  std::optional<std::string> movedTo;

  bool Stopped() const;
  bool Changed() const;
};

// Each page the file holds is read afresh (the pages written before may have changed it) and,
// where it differs, worked as a user would: its settings typed or clicked into its controls,
// list rows removed and added with its own buttons, then its own Apply pressed. The line and
// its PVCs go through the Line page, or through the Multiple PVC dialog it opens when the file
// holds more than one PVC. noted is the session's Ui: its answers are the pages' answers, and
// what it notes tells a refusal. A dry run lets no line leave and notes what each page would
// send. The run stops at the first page that refused or was answered No.
ApplyReport ApplySettings(Session& session, NotingUi& noted, const SettingsFile& file, bool dryRun);

}  // namespace tarnwick
