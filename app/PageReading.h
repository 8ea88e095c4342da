// Every page read at once, each through its own model on a headless view, as the sheet reads
// it when its tab is first chosen.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PageRegistry.h"
#include "channel/TextHelpers.h"
#include "ui/Description.h"
#include "ui/HeadlessView.h"
#include "ui/Session.h"

namespace tarnwick {

// A list of the page: its rows as the page shows them, keyed by the columns' names.
struct ShownTable {
  struct Column {
    std::string name;
    std::string heading;
  };
  std::string name;
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
};

struct ShownPage {
  std::string key;  // the registry's name for it
  std::string caption;
  std::vector<ShownValue> fields;
  std::optional<ShownTable> table;
};

// How secrets are read: masked for the eye, or revealed for a settings file, where the log-in
// password standing in a list is written as this marker instead.
struct Secrets {
  bool reveal = false;
  std::string loginMarker = kSecretMask;
};

// The pages of one session, each opened once as the sheet opens it when its tab is first
// chosen (and left again at once), kept open so that a dialog can be opened from its page.
class PageSet {
 public:
  struct Opened {
    std::unique_ptr<Page> page;
    HeadlessView view;
  };

  PageSet(Session& session, Secrets secrets = {}) : session_(session), secrets_(secrets) {}

  // A page opened afresh (forgetting an earlier opening), or the one already open.
  Opened& Open(const RegisteredPage& page, bool afresh = false);
  // Opens a dialog with its button on its opener page, where that page stands, and runs
  // whileOpen on it before it closes. False when the page did not open it (its message has
  // been shown).
  bool OpenDialog(const RegisteredPage& dialog, const std::function<void(DialogModel&)>& whileOpen);

  ShownPage Read(const RegisteredPage& entry);
  // What a page or dialog shows: its named values, and its list as the view holds it.
  ShownPage Shown(const std::string& key, const DialogModel& model, const View& view) const;

 private:
  Session& session_;
  Secrets secrets_;
  std::map<std::string, std::unique_ptr<Opened>> open_;
};

// The names pages are read by (the registry's keys), in the order "all" reads them.
std::vector<std::string> ShowPageNames();

// Reads the named pages on a logged-in session, as the sheet would when each tab is first
// chosen; a dialog is opened with its button on its opener page, as that page was read. The
// router is only read meanwhile. Unknown names are skipped.
std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names,
                                 Secrets secrets = {});

}  // namespace tarnwick
