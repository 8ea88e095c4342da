// Controls held in memory for models driven without a window.
#include "ui/HeadlessView.h"

#include <algorithm>

namespace tarnwick {

std::string HeadlessView::GetText(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? std::string() : it->second.text;
}

void HeadlessView::SetText(int id, const std::string& text) { controls_[id].text = text; }

bool HeadlessView::IsChecked(int id) const {
  const auto it = controls_.find(id);
  return it != controls_.end() && it->second.checked;
}

void HeadlessView::SetChecked(int id, bool checked) { controls_[id].checked = checked; }

void HeadlessView::Enable(int id, bool enabled) { controls_[id].enabled = enabled; }

bool HeadlessView::IsEnabled(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() || it->second.enabled;
}

int HeadlessView::ListRowCount(int id) const {
  const auto it = lists_.find(id);
  return it == lists_.end() ? 0 : static_cast<int>(it->second.size());
}

void HeadlessView::ListInsertRow(int id, int row, const std::string& text) {
  auto& rows = lists_[id];
  row = std::clamp(row, 0, static_cast<int>(rows.size()));
  rows.insert(rows.begin() + row, std::vector<std::string>{text});
}

void HeadlessView::ListSetCell(int id, int row, int column, const std::string& text) {
  auto& rows = lists_[id];
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) return;
  auto& cells = rows[static_cast<std::size_t>(row)];
  if (static_cast<int>(cells.size()) <= column) cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)] = text;
}

std::string HeadlessView::ListCell(int id, int row, int column) const {
  const auto it = lists_.find(id);
  if (it == lists_.end() || row < 0 || row >= static_cast<int>(it->second.size()) || column < 0)
    return {};
  const auto& cells = it->second[static_cast<std::size_t>(row)];
  return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                 : std::string();
}

void HeadlessView::ListDeleteRow(int id, int row) {
  auto& rows = lists_[id];
  if (row >= 0 && row < static_cast<int>(rows.size())) rows.erase(rows.begin() + row);
}

void HeadlessView::ListDeleteAll(int id) { lists_[id].clear(); }

int HeadlessView::RunModal(DialogModel& dialog) {
  HeadlessView child;
  child.onModalOpen = onModalOpen;
  dialog.Attach(&child);
  dialog.OnInitDialog();
  if (onModalOpen) onModalOpen(dialog);
  dialog.Attach(nullptr);
  return child.ended_ >= 0 ? child.ended_ : kCancelled;
}

void OpenPage(Page& page, HeadlessView& view) {
  page.Attach(&view);
  page.OnInitDialog();
  page.OnSetActive();
}

void LeavePage(Page& page) { page.OnKillActive(); }

}  // namespace tarnwick
