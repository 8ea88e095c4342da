// The router's settings as a file: what every page holds as a setting, read, written as JSON,
// checked when read back, and compared.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "app/PageReading.h"
#include "ui/Session.h"

namespace tarnwick {

constexpr const char* kSettingsFormat = "tarnwick-settings";
constexpr int kSettingsVersion = 1;
// Stands in a list for the log-in password, which a file never holds.
constexpr const char* kLoginPasswordMarker = "(log-in password)";
constexpr std::size_t kMaxSettingsBytes = std::size_t{1} << 20;

struct SettingsFile {
  std::string saved;  // ISO 8601, UTC
  std::string firmware;
  // Each page's settings (its Setting values and its list), in the registry's order. A value
  // a file leaves out is left as the router has it.
  std::vector<ShownPage> pages;

  const ShownPage* Page(const std::string& key) const;
};

// Reads every page's settings on a logged-in session, which is only read meanwhile; the PPP
// password revealed, the log-in password in a list marked.
SettingsFile ReadSettings(Session& session, const std::string& savedAt);

// A page as a file holds it: its settings and, where it has one, its list; nullopt for a page
// with no settings.
std::optional<ShownPage> SettingsOfPage(ShownPage page);
// The key a file holds the page or dialog of this template under, or empty.
std::string SettingsKeyOf(int templateId);

// The file's text; without secrets the values the pages keep secret are left out.
std::string SettingsJson(const SettingsFile& file, bool secrets);

// The JSON Schema of the file, from the pages' descriptions.
std::string SettingsSchemaJson();

// The file from its text, or what is wrong with it, naming the place.
std::variant<SettingsFile, std::string> ParseSettings(const std::string& text);

// What differs between the router's settings and a file's, page by page.
struct PageDifference {
  struct Value {
    std::string key;
    std::string label;
    std::string router;  // as text; secrets masked
    std::string file;
    // As a person reads them: a choice by its name, a check box as yes or no.
    std::string routerShown = {};
    std::string fileShown = {};
  };
  std::string key;
  std::string caption;
  std::vector<Value> values;
  std::vector<std::string> columns;  // of the list, in order
  std::vector<ListRow> added;        // rows the file has and the router not
  std::vector<ListRow> removed;      // rows the router has and the file not

  bool Empty() const { return values.empty() && added.empty() && removed.empty(); }
};

// Only the pages and values the file holds are compared; list rows as a set.
PageDifference ComparePage(const ShownPage& router, const ShownPage& file);
std::vector<PageDifference> CompareSettings(const SettingsFile& router, const SettingsFile& file);

// A list's rows keyed by column.
std::vector<ListRow> RowsOf(const ShownTable& table);

// The current time as the file writes it.
std::string UtcTimestamp();

// Writes text to path so that an earlier file stays whole until the new one is complete: a
// file beside it, readable by its owner only, renamed over it. What went wrong otherwise.
std::optional<std::string> WriteFileWhole(const std::string& path, const std::string& text);
// The file's text, or what went wrong; a file over limit bytes is not read.
std::variant<std::string, std::string> ReadFileText(const std::string& path, std::size_t limit);
// The settings file at path, or why it cannot be used (unreadable, too large, refused).
std::variant<SettingsFile, std::string> LoadSettings(const std::string& path);

}  // namespace tarnwick
