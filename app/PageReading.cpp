// Every page read at once: the registry's pages opened on headless views, read by description.
#include "app/PageReading.h"

#include <map>
#include <memory>

#include "app/PageRegistry.h"
#include "ui/HeadlessView.h"

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

}  // namespace tarnwick
