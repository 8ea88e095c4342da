// The console's show: each page opened on a headless view, its members and lists as text or JSON.
#include "app/Show.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include <map>

#include "app/PageRegistry.h"
#include "ui/HeadlessView.h"
#include "ui/Settings.h"

namespace tarnwick {
namespace {

constexpr const char* kMask = "********";

// Some page scans keep the blank that led the field on the router's line; a list view hides
// it, a script reading the value would not.
std::string Trimmed(const std::string& cell) {
  const auto first = cell.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

// What a page or dialog shows: its named values, and its list as the view holds it.
ShownPage Shown(const std::string& key, const DialogModel& model, const View& view,
                const std::string& loginPassword) {
  ShownPage page{key, model.Caption(), model.description().Values(), std::nullopt};
  for (const ListDescription& list : model.description().Lists()) {
    if (list.key.empty()) continue;
    ShownTable table{list.key, {}, {}};
    for (const ListColumn& column : list.columns)
      table.columns.push_back({column.key, column.heading});
    for (int row = 0; row < view.ListRowCount(list.id); ++row) {
      std::vector<std::string> cells;
      for (int c = 0; c < static_cast<int>(list.columns.size()); ++c) {
        std::string cell = Trimmed(view.ListCell(list.id, row, c));
        if (list.columns[static_cast<std::size_t>(c)].loginSecret && cell == loginPassword)
          cell = kMask;
        cells.push_back(std::move(cell));
      }
      table.rows.push_back(std::move(cells));
    }
    page.table = std::move(table);
    break;
  }
  return page;
}

// Opens pages as the sheet does when each tab is first chosen, each once and left again at
// once; a dialog is opened with its button on its opener, where that page stands.
class PageReader {
 public:
  explicit PageReader(Session& session) : session_(session) {}

  ShownPage Read(const RegisteredPage& entry) {
    if (entry.IsPage()) {
      Opened& opened = Open(entry);
      return Shown(entry.key, *opened.page, opened.view, session_.channel.RouterPassword);
    }
    const RegisteredPage* opener = FindPage(entry.opener);
    if (!opener) return {entry.key, "", {}, std::nullopt};
    Opened& from = Open(*opener);
    // An empty reading when the page refused to open the dialog (its message has been shown).
    std::unique_ptr<DialogModel> closed = entry.makeDialog(session_);
    ShownPage shown = Shown(entry.key, *closed, HeadlessView(), "");
    from.view.onModalOpen = [&](DialogModel& dialog) {
      shown = Shown(entry.key, dialog, dialog.view(), session_.channel.RouterPassword);
    };
    from.page->OnCommand(entry.button);
    from.view.onModalOpen = nullptr;
    return shown;
  }

 private:
  struct Opened {
    std::unique_ptr<Page> page;
    HeadlessView view;
  };

  Opened& Open(const RegisteredPage& entry) {
    std::unique_ptr<Opened>& opened = open_[entry.key];
    if (!opened) {
      opened = std::make_unique<Opened>();
      opened->page = entry.makePage(session_);
      OpenPage(*opened->page, opened->view);
      LeavePage(*opened->page);
    }
    return *opened;
  }

  Session& session_;
  std::map<std::string, std::unique_ptr<Opened>> open_;
};

// Forwards to the console; notes whether anything went wrong on the way, and answers every
// question No: a show agrees to no change.
class WatchingUi final : public Ui {
 public:
  explicit WatchingUi(Ui& inner) : inner_(inner) {}
  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    if (caption == "Error") failed = true;
    const Answer shown = inner_.Message(owner, text, caption, buttons);
    return buttons == Buttons::YesNo ? Answer::No : shown;
  }
  void ShowPossibleErrors() override {
    failed = true;
    inner_.ShowPossibleErrors();
  }
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override {
    return inner_.OpenWait(text);
  }
  void Trace(const std::string& line) override { inner_.Trace(line); }
  void PumpPaint() override { inner_.PumpPaint(); }

  bool failed = false;

 private:
  Ui& inner_;
};

// Nothing a show does keeps a setting; only an Apply would write one.
class NoSettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return std::nullopt; }
  bool WriteIPAddress(const std::string&) override { return false; }
};

nlohmann::ordered_json PageJson(const ShownPage& page) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ShownValue& field : page.fields)
    std::visit([&](const auto& value) { object[field.key] = value; }, field.value);
  if (page.table) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& cells : page.table->rows) {
      nlohmann::ordered_json row = nlohmann::ordered_json::object();
      for (std::size_t c = 0; c < page.table->columns.size(); ++c)
        row[page.table->columns[c].name] = c < cells.size() ? cells[c] : "";
      rows.push_back(std::move(row));
    }
    object[page.table->name] = std::move(rows);
  }
  return object;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::vector<std::string> ShowPageNames() {
  std::vector<std::string> names;
  for (const RegisteredPage& entry : PageRegistry())
    if (!entry.key.empty()) names.push_back(entry.key);
  return names;
}

std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names) {
  const Router::Mode wasMode = session.router.mode;
  session.router.mode = Router::Mode::ReadOnly;
  std::vector<ShownPage> pages;
  {
    PageReader reader(session);
    for (const std::string& name : names)
      if (const RegisteredPage* entry = FindPage(name)) pages.push_back(reader.Read(*entry));
  }
  session.router.mode = wasMode;
  return pages;
}

std::string ShowText(const std::vector<ShownPage>& pages) {
  std::string out;
  for (const ShownPage& page : pages) {
    if (!out.empty()) out += "\n";
    out += page.caption + "\n";
    std::size_t width = 0;
    for (const ShownValue& field : page.fields) width = std::max(width, field.label.size());
    for (const ShownValue& field : page.fields) {
      std::string line = "  " + Padded(field.label + ":", width + 2) + field.text;
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    if (!page.table) continue;
    const ShownTable& table = *page.table;
    if (table.rows.empty()) {
      out += "  (none)\n";
      continue;
    }
    std::vector<std::size_t> widths;
    for (const auto& column : table.columns) widths.push_back(column.heading.size());
    for (const auto& cells : table.rows)
      for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c)
        widths[c] = std::max(widths[c], cells[c].size());
    auto row = [&](const std::vector<std::string>& cells) {
      std::string line = " ";
      for (std::size_t c = 0; c < widths.size(); ++c)
        line += " " + Padded(c < cells.size() ? cells[c] : "", widths[c] + 1);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    };
    std::vector<std::string> headings;
    for (const auto& column : table.columns) headings.push_back(column.heading);
    row(headings);
    for (const auto& cells : table.rows) row(cells);
  }
  return out;
}

std::string ShowJson(const std::vector<ShownPage>& pages, bool keyed) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  if (keyed) {
    for (const ShownPage& page : pages) out[page.key] = PageJson(page);
  } else if (!pages.empty()) {
    out = PageJson(pages.front());
  }
  // Router text is not always UTF-8: odd bytes are replaced rather than refused.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::optional<std::string> ParseShowWords(const std::vector<std::string>& words,
                                          ShowRequest& request) {
  request.page.clear();
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "--json") {
      request.json = true;
    } else if (request.page.empty()) {
      request.page = words[i];
    } else {
      return "show takes one page";
    }
  }
  const std::vector<std::string> names = ShowPageNames();
  if (request.page != "all" && std::find(names.begin(), names.end(), request.page) == names.end()) {
    std::string known;
    for (const std::string& name : names) known += name + ", ";
    return "show needs a page: " + known.substr(0, known.size() - 2) + " or all";
  }
  return std::nullopt;
}

ShowStatus RunShow(const ShowRequest& request, SocketFactory& sockets, Clock& clock, Ui& ui,
                   std::string& out) {
  WatchingUi watching(ui);
  NoSettings settings;
  Session session(sockets, clock, watching, settings);
  session.channel.RouterAddress = request.routerAddress;
  session.channel.RouterPassword = request.password;
  session.channel.ReplyLimitOverride = request.replyLimit;
  if (!session.channel.ConnectAndLogin()) {
    ui.Message(nullptr, "log-in to " + request.routerAddress + " failed", "");
    return kShowLoginFailed;
  }
  const bool all = request.page == "all";
  const std::vector<ShownPage> pages =
      ReadPages(session, all ? ShowPageNames() : std::vector<std::string>{request.page});
  session.channel.DropConnection();
  if (watching.failed) {
    ui.Message(nullptr,
               "show " + request.page +
                   ": a command failed or its reply timed out (see above); nothing is shown",
               "");
    return kShowCommandFailed;
  }
  out = request.json ? ShowJson(pages, all) : ShowText(pages);
  return kShowRead;
}

}  // namespace tarnwick
