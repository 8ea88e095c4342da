// The settings file: reading it off the router, its JSON, its checks, and comparing.
#include "app/SettingsFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "channel/TextHelpers.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <fstream>

namespace tarnwick {
namespace {

using Json = nlohmann::ordered_json;

// ---- What a file may hold, from the pages' own descriptions.

class NoSockets final : public SocketFactory {
 public:
  std::unique_ptr<Socket> Make() override { return nullptr; }
};
class NoUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string&, const std::string&, Buttons) override {
    return Answer::No;
  }
  void ShowPossibleErrors() override {}
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}
};
class NoSettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return std::nullopt; }
  bool WriteIPAddress(const std::string&) override { return false; }
};

struct PageSchema {
  int templateId = 0;
  std::string caption;
  std::map<std::string, ShownValue> values;  // kind by the value's alternative
  std::vector<std::string> valueOrder;
  std::string list;  // its key, or empty
  std::vector<std::string> columns;
};

// Every page's settings as the pages describe them (models made without a connection).
const std::map<std::string, PageSchema>& Schema() {
  static const std::map<std::string, PageSchema> schema = [] {
    NoSockets sockets;
    SteadyClock clock;
    NoUi ui;
    NoSettings settings;
    Session session(sockets, clock, ui, settings);
    std::map<std::string, PageSchema> out;
    for (const RegisteredPage& entry : PageRegistry()) {
      if (entry.key.empty()) continue;
      std::unique_ptr<DialogModel> model =
          entry.IsPage() ? std::unique_ptr<DialogModel>(entry.makePage(session))
                         : entry.makeDialog(session);
      PageSchema page{model->TemplateId(), model->Caption(), {}, {}, {}, {}};
      for (const ShownValue& value : model->description().Values(true)) {
        if (value.role != Role::Setting) continue;
        page.values.emplace(value.key, value);
        page.valueOrder.push_back(value.key);
      }
      for (const ListDescription& list : model->description().Lists()) {
        if (list.role != Role::Setting || !page.list.empty()) continue;
        page.list = list.key;
        for (const ListColumn& column : list.columns) page.columns.push_back(column.key);
      }
      if (!page.values.empty() || !page.list.empty()) out.emplace(entry.key, std::move(page));
    }
    return out;
  }();
  return schema;
}

std::string Text(const SettingValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return std::to_string(std::get<int>(value));
}

// Line and column of a byte offset, both counted from 1.
std::string Place(const std::string& text, std::size_t offset) {
  offset = std::min(offset, text.size());
  const auto before = text.begin() + static_cast<std::ptrdiff_t>(offset);
  const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), before, '\n'));
  const std::size_t lineStart = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
  const std::size_t column = lineStart == std::string::npos ? offset + 1 : offset - lineStart;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string ReadPage(const std::string& key, const PageSchema& schema, const Json& object,
                     ShownPage& page) {
  if (!object.is_object()) return key + ": an object is needed";
  page = {key, schema.caption, {}, std::nullopt};
  for (const std::string& name : schema.valueOrder) {
    if (!object.contains(name)) continue;
    const Json& value = object.at(name);
    ShownValue shown = schema.values.at(name);
    if (std::holds_alternative<int>(shown.value)) {
      if (!value.is_number_integer() || value.get<long long>() < -1 || value.get<long long>() > 99)
        return key + "." + name + ": a whole number is needed";
      shown.value = value.get<int>();
    } else {
      if (!value.is_string()) return key + "." + name + ": a text is needed";
      shown.value = value.get<std::string>();
    }
    shown.text = Text(shown.value);
    page.fields.push_back(std::move(shown));
  }
  for (const auto& [name, value] : object.items()) {
    if (schema.values.count(name) || name == schema.list) continue;
    return key + ": unknown setting \"" + name + "\"";
  }
  if (schema.list.empty() || !object.contains(schema.list)) return {};
  const Json& rows = object.at(schema.list);
  const std::string where = key + "." + schema.list;
  if (!rows.is_array()) return where + ": a list of rows is needed";
  ShownTable table{schema.list, {}, {}};
  for (const std::string& column : schema.columns) table.columns.push_back({column, column});
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Json& row = rows[r];
    const std::string at = where + "[" + std::to_string(r) + "]";
    if (!row.is_object()) return at + ": a row is an object";
    std::vector<std::string> cells;
    for (const std::string& column : schema.columns) {
      if (!row.contains(column)) return at + ": \"" + column + "\" is missing";
      if (!row.at(column).is_string()) return at + "." + column + ": a text is needed";
      cells.push_back(row.at(column).get<std::string>());
    }
    if (row.size() != schema.columns.size()) {
      for (const auto& [name, cell] : row.items())
        if (std::find(schema.columns.begin(), schema.columns.end(), name) == schema.columns.end())
          return at + ": unknown column \"" + name + "\"";
    }
    table.rows.push_back(std::move(cells));
  }
  page.table = std::move(table);
  return {};
}

}  // namespace

const ShownPage* SettingsFile::Page(const std::string& key) const {
  for (const ShownPage& page : pages)
    if (page.key == key) return &page;
  return nullptr;
}

std::string UtcTimestamp() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

SettingsFile ReadSettings(Session& session, const std::string& savedAt) {
  SettingsFile file;
  file.saved = savedAt;
  const std::string version = session.router.Ask("version\r\n", 5000);
  GetReplyField(version, "Version", 1, 4, file.firmware);
  for (ShownPage& page : ReadPages(session, ShowPageNames(), Secrets{true, kLoginPasswordMarker}))
    if (std::optional<ShownPage> settings = SettingsOfPage(std::move(page)))
      file.pages.push_back(std::move(*settings));
  return file;
}

std::optional<ShownPage> SettingsOfPage(ShownPage page) {
  std::erase_if(page.fields, [](const ShownValue& v) { return v.role != Role::Setting; });
  const auto schema = Schema().find(page.key);
  if (schema == Schema().end()) return std::nullopt;
  if (schema->second.list.empty()) page.table.reset();
  return page;
}

std::string SettingsKeyOf(int templateId) {
  for (const auto& [key, page] : Schema())
    if (page.templateId == templateId) return key;
  return {};
}

std::string SettingsJson(const SettingsFile& file, bool secrets) {
  Json out = Json::object();
  out["format"] = kSettingsFormat;
  out["version"] = kSettingsVersion;
  out["saved"] = file.saved;
  out["firmware"] = file.firmware;
  for (const ShownPage& page : file.pages) {
    Json object = Json::object();
    for (const ShownValue& field : page.fields) {
      if (field.secret && !secrets) continue;
      std::visit([&](const auto& value) { object[field.key] = value; }, field.value);
    }
    if (page.table) {
      Json rows = Json::array();
      for (const ListRow& row : RowsOf(*page.table)) {
        Json cells = Json::object();
        for (const ShownTable::Column& column : page.table->columns)
          cells[column.name] = row.at(column.name);
        rows.push_back(std::move(cells));
      }
      object[page.table->name] = std::move(rows);
    }
    out[page.key] = std::move(object);
  }
  // Router text is not always UTF-8: odd bytes are replaced rather than refused.
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string SettingsSchemaJson() {
  Json pages = Json::object();
  for (const std::string& key : ShowPageNames()) {
    const auto schema = Schema().find(key);
    if (schema == Schema().end()) continue;
    const PageSchema& page = schema->second;
    Json properties = Json::object();
    for (const std::string& name : page.valueOrder) {
      const ShownValue& value = page.values.at(name);
      Json property = {{"description", value.label + (value.secret ? " (secret: left out by "
                                                                     "save --no-secrets)"
                                                                   : "")}};
      if (std::holds_alternative<std::string>(value.value)) {
        property["type"] = "string";
      } else if (value.choices.empty()) {
        property["enum"] = {0, 1};
      } else {
        std::string names = "-1 none";
        Json choices = {-1};
        for (std::size_t i = 0; i < value.choices.size(); ++i) {
          choices.push_back(static_cast<int>(i));
          names += ", " + std::to_string(i) + " " + value.choices[i];
        }
        property["enum"] = choices;
        property["description"] = value.label + ": " + names;
      }
      properties[name] = property;
    }
    if (!page.list.empty()) {
      Json cells = Json::object();
      for (const std::string& column : page.columns) cells[column] = {{"type", "string"}};
      properties[page.list] = {{"type", "array"},
                               {"items",
                                {{"type", "object"},
                                 {"properties", cells},
                                 {"required", page.columns},
                                 {"additionalProperties", false}}}};
    }
    pages[key] = {{"description", page.caption},
                  {"type", "object"},
                  {"properties", properties},
                  {"additionalProperties", false}};
  }
  Json properties = {
      {"format", {{"const", kSettingsFormat}}},
      {"version", {{"type", "integer"}, {"minimum", 1}, {"maximum", kSettingsVersion}}},
      {"saved", {{"type", "string"}, {"description", "when it was saved, ISO 8601 UTC"}}},
      {"firmware", {{"type", "string"}, {"description", "the router's firmware version"}}}};
  properties.update(pages);
  const Json schema = {
      {"$schema", "https://json-schema.org/draft/2020-12/schema"},
      {"title", "Tarnwick settings file"},
      {"description",
       "A router's settings, page by page. A value or page left out is left as "
       "the router has it. In a list, \"" +
           std::string(kLoginPasswordMarker) + "\" stands for the log-in password."},
      {"type", "object"},
      {"required", {"format", "version"}},
      {"properties", properties},
      {"additionalProperties", false}};
  return schema.dump(2) + "\n";
}

std::variant<SettingsFile, std::string> ParseSettings(const std::string& text) {
  if (text.size() > kMaxSettingsBytes)
    return std::string("larger than 1 MiB: a settings file is a few kilobytes");
  Json json;
  try {
    json = Json::parse(text);
  } catch (const Json::parse_error& e) {
    std::string what = e.what();
    if (const std::size_t colon = what.find(": "); colon != std::string::npos)
      what = what.substr(colon + 2);
    return "not JSON (" + Place(text, e.byte == 0 ? 0 : e.byte - 1) + "): " + what;
  }
  if (!json.is_object() || !json.contains("format") || json.at("format") != kSettingsFormat)
    return "not a Tarnwick settings file (no \"format\": \"" + std::string(kSettingsFormat) + "\")";
  if (!json.contains("version") || !json.at("version").is_number_integer() ||
      json.at("version").get<long long>() < 1)
    return std::string("\"version\" must be a whole number from 1");
  if (json.at("version").get<long long>() > kSettingsVersion)
    return "format version " + std::to_string(json.at("version").get<long long>()) +
           " is newer than this Tarnwick reads (" + std::to_string(kSettingsVersion) + ")";
  SettingsFile file;
  for (const char* header : {"saved", "firmware"}) {
    if (!json.contains(header)) continue;
    if (!json.at(header).is_string()) return std::string(header) + ": a text is needed";
    (std::string(header) == "saved" ? file.saved : file.firmware) = json.at(header);
  }
  for (const auto& [key, value] : json.items())
    if (key != "format" && key != "version" && key != "saved" && key != "firmware" &&
        !Schema().count(key))
      return "unknown page \"" + key + "\"";
  for (const std::string& key : ShowPageNames()) {
    const auto schema = Schema().find(key);
    if (schema == Schema().end() || !json.contains(key)) continue;
    ShownPage page;
    if (std::string problem = ReadPage(key, schema->second, json.at(key), page); !problem.empty())
      return problem;
    file.pages.push_back(std::move(page));
  }
  return file;
}

std::optional<std::string> WriteFileWhole(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".part";
#ifdef _WIN32
  auto wide = [](const std::string& s) {
    std::wstring out(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out.data(), static_cast<int>(out.size()));
    out.resize(out.size() - 1);
    return out;
  };
  HANDLE file = CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "cannot create " + temporary;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveFileExW(wide(temporary).c_str(), wide(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(wide(temporary).c_str());
    return "cannot write " + path;
  }
#else
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return "cannot create " + temporary + ": " + std::strerror(errno);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool ok = done == text.size() && fsync(fd) == 0;
  const int error = errno;
  if (close(fd) != 0 || !ok || rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string why = std::strerror(ok ? errno : error);
    unlink(temporary.c_str());
    return "cannot write " + path + ": " + why;
  }
#endif
  return std::nullopt;
}

std::variant<std::string, std::string> ReadFileText(const std::string& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::variant<std::string, std::string>(std::in_place_index<1>, "cannot read " + path);
  std::string text(limit + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > limit)
    return std::variant<std::string, std::string>(
        std::in_place_index<1>, "larger than 1 MiB: a settings file is a few kilobytes");
  return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(text));
}

std::variant<SettingsFile, std::string> LoadSettings(const std::string& path) {
  auto text = ReadFileText(path, kMaxSettingsBytes);
  if (text.index() == 1) return std::get<1>(text);
  return ParseSettings(std::get<0>(text));
}

std::vector<ListRow> RowsOf(const ShownTable& table) {
  std::vector<ListRow> rows;
  for (const auto& cells : table.rows) {
    ListRow row;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
      row[table.columns[c].name] = c < cells.size() ? cells[c] : "";
    rows.push_back(std::move(row));
  }
  return rows;
}

PageDifference ComparePage(const ShownPage& router, const ShownPage& file) {
  PageDifference diff{file.key, router.caption.empty() ? file.caption : router.caption, {}, {}, {},
                      {}};
  for (const ShownValue& wanted : file.fields) {
    const auto now = std::find_if(router.fields.begin(), router.fields.end(),
                                  [&](const ShownValue& v) { return v.key == wanted.key; });
    if (now != router.fields.end() && now->value == wanted.value) continue;
    auto shown = [&](const SettingValue& value) {
      return wanted.secret ? (Text(value).empty() ? std::string() : kSecretMask) : Text(value);
    };
    auto named = [&](const SettingValue& value) {
      const int* number = std::get_if<int>(&value);
      if (!number) return shown(value);
      if (wanted.choices.empty()) return std::string(*number ? "yes" : "no");
      return *number >= 0 && *number < static_cast<int>(wanted.choices.size())
                 ? wanted.choices[static_cast<std::size_t>(*number)]
                 : std::string("none");
    };
    const bool known = now != router.fields.end();
    diff.values.push_back({wanted.key, wanted.label, known ? shown(now->value) : std::string(),
                           shown(wanted.value), known ? named(now->value) : std::string(),
                           named(wanted.value)});
  }
  if (file.table) {
    for (const ShownTable::Column& column : file.table->columns)
      diff.columns.push_back(column.name);
    std::vector<ListRow> have = router.table ? RowsOf(*router.table) : std::vector<ListRow>{};
    std::vector<ListRow> want = RowsOf(*file.table);
    for (const ListRow& row : want) {
      const auto at = std::find(have.begin(), have.end(), row);
      if (at == have.end())
        diff.added.push_back(row);
      else
        have.erase(at);
    }
    diff.removed = std::move(have);
  }
  return diff;
}

std::vector<PageDifference> CompareSettings(const SettingsFile& router, const SettingsFile& file) {
  std::vector<PageDifference> out;
  for (const ShownPage& page : file.pages) {
    const ShownPage* now = router.Page(page.key);
    PageDifference diff = ComparePage(now ? *now : ShownPage{page.key, page.caption, {}, {}}, page);
    if (!diff.Empty()) out.push_back(std::move(diff));
  }
  return out;
}

}  // namespace tarnwick
