// Every page read at once: the registry's pages opened on headless views, read by description.
#include "app/PageReading.h"

#include <map>
#include <memory>

#include "app/PageRegistry.h"
#include "ui/HeadlessView.h"

namespace tarnwick {

ShownPage PageSet::Shown(const std::string& key, const DialogModel& model, const View& view) const {
  ShownPage page{key, model.Caption(), model.description().Values(secrets_.reveal), std::nullopt};
  const std::string& loginPassword = session_.channel.RouterPassword;
  for (const ListDescription& list : model.description().Lists()) {
    if (list.key.empty()) continue;
    ShownTable table{list.key, {}, {}};
    for (const ListColumn& column : list.columns)
      table.columns.push_back({column.key, column.heading});
    for (int row = 0; row < view.ListRowCount(list.id); ++row) {
      std::vector<std::string> cells;
      for (int c = 0; c < static_cast<int>(list.columns.size()); ++c) {
        std::string cell = TrimmedCell(view.ListCell(list.id, row, c));
        if (list.columns[static_cast<std::size_t>(c)].loginSecret && cell == loginPassword)
          cell = secrets_.loginMarker;
        cells.push_back(std::move(cell));
      }
      table.rows.push_back(std::move(cells));
    }
    page.table = std::move(table);
    break;
  }
  return page;
}

PageSet::Opened& PageSet::Open(const RegisteredPage& entry, bool afresh) {
  std::unique_ptr<Opened>& opened = open_[entry.key];
  if (!opened || afresh) {
    opened = std::make_unique<Opened>();
    opened->page = entry.makePage(session_);
    OpenPage(*opened->page, opened->view);
    LeavePage(*opened->page);
  }
  return *opened;
}

bool PageSet::OpenDialog(const RegisteredPage& entry,
                         const std::function<void(DialogModel&)>& whileOpen) {
  const RegisteredPage* opener = FindPage(entry.opener);
  if (!opener) return false;
  Opened& from = Open(*opener);
  bool opened = false;
  from.view.onModalOpen = [&](DialogModel& dialog) {
    opened = true;
    whileOpen(dialog);
  };
  from.page->OnCommand(entry.button);
  from.view.onModalOpen = nullptr;
  return opened;
}

ShownPage PageSet::Read(const RegisteredPage& entry) {
  if (entry.IsPage()) {
    Opened& opened = Open(entry);
    return Shown(entry.key, *opened.page, opened.view);
  }
  // An empty reading when the page refused to open the dialog (its message has been shown).
  ShownPage shown = Shown(entry.key, *entry.makeDialog(session_), HeadlessView());
  OpenDialog(entry, [&](DialogModel& dialog) { shown = Shown(entry.key, dialog, dialog.view()); });
  return shown;
}

std::vector<std::string> ShowPageNames() {
  std::vector<std::string> names;
  for (const RegisteredPage& entry : PageRegistry())
    if (!entry.key.empty()) names.push_back(entry.key);
  return names;
}

std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names,
                                 Secrets secrets) {
  const Router::Mode wasMode = session.router.mode;
  session.router.mode = Router::Mode::ReadOnly;
  std::vector<ShownPage> pages;
  {
    PageSet set(session, secrets);
    for (const std::string& name : names)
      if (const RegisteredPage* entry = FindPage(name)) pages.push_back(set.Read(*entry));
  }
  session.router.mode = wasMode;
  return pages;
}

}  // namespace tarnwick
