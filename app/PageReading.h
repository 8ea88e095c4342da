// Every page read at once, each through its own model on a headless view, as the sheet reads
// it when its tab is first chosen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/Description.h"
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

// The names pages are read by (the registry's keys), in the order "all" reads them.
std::vector<std::string> ShowPageNames();

// Reads the named pages on a logged-in session, as the sheet would when each tab is first
// chosen; a dialog is opened with its button on its opener page, as that page was read. The
// router is only read meanwhile. Passwords are masked. Unknown names are skipped.
std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names);

}  // namespace tarnwick
