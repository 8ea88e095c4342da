// save, diff and apply: a settings file against the router, through the pages' own models.
#include "cli/SettingsCommands.h"

#include <nlohmann/json.hpp>
#include <variant>

#include "app/SettingsApply.h"
#include "app/SettingsFile.h"
#include "channel/TextHelpers.h"

namespace tarnwick {
namespace {

using Json = nlohmann::ordered_json;

// The file, or nothing when it could not be read or is refused (said on ui).
std::optional<SettingsFile> LoadFile(const std::string& path, Ui& ui) {
  auto loaded = LoadSettings(path);
  if (auto* file = std::get_if<SettingsFile>(&loaded)) return std::move(*file);
  ui.Message(nullptr, path + ": " + std::get<std::string>(loaded) + "; nothing was sent", "Error",
             Buttons::Ok);
  return std::nullopt;
}

std::string RowText(const ListRow& row, const std::vector<std::string>& columns) {
  std::string out;
  for (const std::string& column : columns)
    out += (out.empty() ? "" : ", ") + column + " \"" + row.at(column) + "\"";
  return out;
}

Json RowsJson(const std::vector<ListRow>& rows) {
  Json out = Json::array();
  for (const ListRow& row : rows) out.push_back(row);
  return out;
}

// A page's differences as diff --json and apply --json report them: each value as the router
// and the file have it, the rows the file adds and those it removes.
void AddDifference(Json& page, const PageDifference& d) {
  Json values = Json::array();
  for (const auto& v : d.values)
    values.push_back({{"key", v.key}, {"label", v.label}, {"router", v.router}, {"file", v.file}});
  page["values"] = values;
  page["added"] = RowsJson(d.added);
  page["removed"] = RowsJson(d.removed);
}

std::string Dump(const Json& json) {
  return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string Printable(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

const char* StatusName(PageApply::Status status) {
  switch (status) {
    case PageApply::Status::Same:
      return "unchanged";
    case PageApply::Status::Applied:
      return "applied";
    case PageApply::Status::Refused:
      return "refused";
    case PageApply::Status::Asked:
      return "asked";
  }
  return "";
}

}  // namespace

int RunSave(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
            Clock& clock, Ui& ui) {
  ConsoleSession console(target, sockets, clock, ui);
  if (!console.LogIn()) return kConsoleLoginFailed;
  const SettingsFile file = ReadSettings(console.session, UtcTimestamp());
  console.session.router.Drop();
  if (console.watching.Failed()) {
    ui.Message(nullptr, "save: a command failed or its reply timed out (see above); nothing saved",
               "");
    return kConsoleCommandFailed;
  }
  if (auto problem = WriteFileWhole(request.path, SettingsJson(file, request.secrets))) {
    ui.Message(nullptr, "save: " + *problem, "");
    return kConsoleCommandFailed;
  }
  return kConsoleDone;
}

int RunDiff(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
            Clock& clock, Ui& ui, std::string& out) {
  const std::optional<SettingsFile> wanted = LoadFile(request.path, ui);
  if (!wanted) return kDiffCouldNotRead;
  ConsoleSession console(target, sockets, clock, ui);
  if (!console.LogIn()) return kDiffCouldNotRead;
  const SettingsFile now = ReadSettings(console.session, "");
  console.session.router.Drop();
  if (console.watching.Failed()) {
    ui.Message(nullptr, "diff: a command failed or its reply timed out (see above)", "");
    return kDiffCouldNotRead;
  }
  const std::vector<PageDifference> diffs = CompareSettings(now, *wanted);
  if (request.json) {
    Json pages = Json::object();
    for (const PageDifference& d : diffs) {
      pages[d.key] = {{"caption", d.caption}};
      AddDifference(pages[d.key], d);
    }
    out = Dump({{"same", diffs.empty()}, {"pages", pages}});
  } else {
    for (const PageDifference& d : diffs) {
      out += d.caption + " (" + d.key + ")\n";
      for (const auto& v : d.values)
        out += "  " + v.label + " (" + v.key + "): router \"" + v.router + "\", file \"" + v.file +
               "\"\n";
      for (const ListRow& row : d.added) out += "  + " + RowText(row, d.columns) + "\n";
      for (const ListRow& row : d.removed) out += "  - " + RowText(row, d.columns) + "\n";
    }
  }
  return diffs.empty() ? kDiffSame : kDiffDiffers;
}

int RunApply(const ConsoleTarget& target, const SettingsRequest& request, SocketFactory& sockets,
             Clock& clock, Ui& ui, std::string& out) {
  const std::optional<SettingsFile> wanted = LoadFile(request.path, ui);
  if (!wanted) return kConsoleLoginFailed;
  ConsoleSession console(target, sockets, clock, ui);
  console.watching.answerQuestions = request.yes ? Answer::Yes : Answer::No;
  console.watching.showNotices = !request.dryRun;
  if (!console.LogIn()) return kConsoleLoginFailed;
  const ApplyReport report =
      ApplySettings(console.session, console.watching, *wanted, request.dryRun);
  // As the program's Close does: what was applied must outlive the router's next restart.
  bool saved = false;
  if (!request.dryRun && report.Changed()) {
    const std::size_t errors = console.watching.errors.size();
    console.session.router.Reconnect(0);
    console.session.router.SaveConfiguration();
    saved = console.watching.errors.size() == errors;
  }
  console.session.router.Drop();

  std::vector<std::string> secrets = {target.password};
  if (const ShownPage* line = wanted->Page("line"))
    for (const ShownValue& v : line->fields)
      if (v.secret) secrets.push_back(std::get<std::string>(v.value));
  if (request.json) {
    Json pages = Json::array();
    for (const PageApply& page : report.pages) {
      Json lines = Json::array();
      for (const std::string& line : page.lines)
        lines.push_back(MaskSecrets(Printable(line), secrets));
      Json entry = {{"page", page.key},
                    {"caption", page.caption},
                    {"status", StatusName(page.status)},
                    {"lines", lines},
                    {"message", Printable(page.message)}};
      AddDifference(entry, page.difference);
      pages.push_back(std::move(entry));
    }
    Json json = {{"changed", report.Changed()},
                 {"saved", saved},
                 {"dryRun", request.dryRun},
                 {"pages", pages}};
    if (report.movedTo) json["movedTo"] = *report.movedTo;
    out = Dump(json);
  } else {
    for (const PageApply& page : report.pages) {
      out += page.caption + " (" + page.key + "): ";
      if (page.status == PageApply::Status::Asked)
        out += "the page asks \"" + Printable(page.message) +
               "\"; nothing was sent for it (--yes answers Yes)\n";
      else if (page.status == PageApply::Status::Refused)
        out += "refused: " + Printable(page.message) + "\n";
      else if (page.status == PageApply::Status::Same)
        out += "already as the file has it\n";
      else
        out += std::string(request.dryRun ? "would send" : "sent") + " " +
               std::to_string(page.lines.size()) + " line(s)\n";
      if (request.dryRun)
        for (const std::string& line : page.lines)
          out += "  " + MaskSecrets(Printable(line), secrets) + "\n";
    }
    if (report.movedTo) out += "The router's LAN address is now " + *report.movedTo + ".\n";
    if (saved) out += "The router's configuration was saved.\n";
  }
  if (!request.dryRun && report.Changed() && !saved) {
    ui.Message(nullptr, "apply: the settings applied could not be saved on the router", "");
    return kConsoleCommandFailed;
  }
  if (report.Stopped()) {
    std::string applied;
    for (const PageApply& page : report.pages)
      if (page.status == PageApply::Status::Applied)
        applied += (applied.empty() ? "" : ", ") + page.key;
    ui.Message(nullptr,
               "apply stopped; " +
                   (applied.empty() ? std::string("no page was") : applied + " had been") +
                   " applied before it",
               "");
    return kConsoleCommandFailed;
  }
  return kConsoleDone;
}

}  // namespace tarnwick
