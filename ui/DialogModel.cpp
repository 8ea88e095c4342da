// Declared controls and the message helpers every page and dialog shares.
#include "ui/DialogModel.h"

#include <algorithm>

#include "ui/Session.h"

namespace tarnwick {

std::vector<ControlRef> DialogModel::Controls() const {
  std::vector<ControlRef> all = description_.Controls();
  all.insert(all.end(), declared_.begin(), declared_.end());
  return all;
}

void DialogModel::Declare(ControlKind kind, std::initializer_list<int> ids) {
  for (int id : ids) declared_.push_back({id, kind});
}

void DialogModel::Declare(ControlKind kind, const std::vector<int>& ids) {
  for (int id : ids) declared_.push_back({id, kind});
}

void DialogModel::OnCommand(int id) {
  WriteGuard* guard = session_ ? session_->guard : nullptr;
  if (!guard || !description_.ChangesRouter(id)) {
    description_.Click(id);
    return;
  }
  router().BeginChange([this, guard] { return guard->BeforeChange(*this); });
  description_.Click(id);
  router().EndChange();
}

void DialogModel::MarkRead() {
  // A stopped change left the controls as the user set them, not as the router holds them.
  if (session_ && session_->guard && !router().ChangeStopped()) session_->guard->Read(*this);
}

void DialogModel::Error(const std::string& text) { Tell(text, "Error"); }

Answer DialogModel::Ask(const std::string& text, const std::string& caption) {
  return session().ui.Message(view().Window(), text, caption, Buttons::YesNo);
}

void DialogModel::Tell(const std::string& text, const std::string& caption) {
  session().ui.Message(view().Window(), text, caption, Buttons::Ok);
}

Router& DialogModel::router() const { return session().router; }

std::optional<std::string> DialogModel::Change(const std::string& line, Millis pauseMs,
                                               const char* ownFailure) {
  std::optional<std::string> answer = router().Change(line, pauseMs);
  if (answer) return answer;
  if (router().ChangeStopped()) return std::nullopt;  // told why already
  if (ownFailure)
    Error(ownFailure);
  else
    router().TellSendFailed(view().Window());
  return std::nullopt;
}

std::vector<ListRow> DialogModel::RowsOf(int listId) const {
  std::vector<ListRow> rows;
  for (const ListDescription& list : description_.Lists()) {
    if (list.id != listId) continue;
    for (int r = 0; r < view().ListRowCount(listId); ++r) {
      ListRow row;
      for (std::size_t c = 0; c < list.columns.size(); ++c)
        row[list.columns[c].key] = TrimmedCell(view().ListCell(listId, r, static_cast<int>(c)));
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::optional<ListRow> DialogModel::PutRows(int listId, const std::vector<ListRow>& rows) {
  const ListDescription* list = nullptr;
  for (const ListDescription& l : description_.Lists())
    if (l.id == listId) list = &l;
  if (!list || !list->addButton || !list->removeButton) return std::nullopt;
  for (bool removed = true; removed;) {
    removed = false;
    const std::vector<ListRow> shown = RowsOf(listId);
    for (std::size_t r = 0; r < shown.size() && !removed; ++r) {
      if (std::find(rows.begin(), rows.end(), shown[r]) != rows.end()) continue;
      view().ListSelect(listId, static_cast<int>(r));
      OnCommand(list->removeButton);
      // A page may refuse to remove a row (the log-in community): it stays, and is left.
      removed = RowsOf(listId).size() < shown.size();
    }
  }
  for (const ListRow& row : rows) {
    const std::vector<ListRow> shown = RowsOf(listId);
    if (std::find(shown.begin(), shown.end(), row) != shown.end()) continue;
    if (!EnterRow(listId, row)) return row;
    OnCommand(list->addButton);
  }
  return std::nullopt;
}

bool DialogModel::RequireConnection() {
  if (router().Connected()) return true;
  router().TellNotConnected(view().Window());
  return false;
}

}  // namespace tarnwick
