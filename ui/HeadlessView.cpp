// Controls held in memory for models driven without a window.
#include "ui/HeadlessView.h"

#include <algorithm>

namespace tarnwick {

std::string HeadlessView::GetText(int id) const {
  const auto it = controls.find(id);
  return it == controls.end() ? std::string() : it->second.text;
}

void HeadlessView::SetText(int id, const std::string& text) { controls[id].text = text; }

bool HeadlessView::IsChecked(int id) const {
  const auto it = controls.find(id);
  return it != controls.end() && it->second.checked;
}

void HeadlessView::SetChecked(int id, bool checked) { controls[id].checked = checked; }

void HeadlessView::Enable(int id, bool enabled) { controls[id].enabled = enabled; }

void HeadlessView::Focus(int id, bool selectAll) {
  focused = id;
  focusSelectsAll = selectAll;
}

bool HeadlessView::IsEnabled(int id) const {
  const auto it = controls.find(id);
  return it == controls.end() || it->second.enabled;
}

void HeadlessView::ListAddColumn(int id, int column, const std::string& heading, int width) {
  List& list = lists[id];
  column = std::clamp(column, 0, static_cast<int>(list.headings.size()));
  list.headings.insert(list.headings.begin() + column, heading);
  list.widths.insert(list.widths.begin() + column, width);
}

int HeadlessView::ListRowCount(int id) const {
  const auto it = lists.find(id);
  return it == lists.end() ? 0 : static_cast<int>(it->second.rows.size());
}

void HeadlessView::ListInsertRow(int id, int row, const std::string& text) {
  List& list = lists[id];
  row = std::clamp(row, 0, static_cast<int>(list.rows.size()));
  list.rows.insert(list.rows.begin() + row, std::vector<std::string>{text});
  std::set<int> moved;
  for (int s : list.selected) moved.insert(s >= row ? s + 1 : s);
  list.selected = std::move(moved);
}

void HeadlessView::ListSetCell(int id, int row, int column, const std::string& text) {
  auto& rows = lists[id].rows;
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) return;
  auto& cells = rows[static_cast<std::size_t>(row)];
  if (static_cast<int>(cells.size()) <= column) cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)] = text;
}

std::string HeadlessView::ListCell(int id, int row, int column) const {
  const auto it = lists.find(id);
  if (it == lists.end() || row < 0 || row >= static_cast<int>(it->second.rows.size()) || column < 0)
    return {};
  const auto& cells = it->second.rows[static_cast<std::size_t>(row)];
  return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                 : std::string();
}

void HeadlessView::ListDeleteRow(int id, int row) {
  List& list = lists[id];
  if (row < 0 || row >= static_cast<int>(list.rows.size())) return;
  list.rows.erase(list.rows.begin() + row);
  std::set<int> moved;
  for (int s : list.selected)
    if (s != row) moved.insert(s > row ? s - 1 : s);
  list.selected = std::move(moved);
}

void HeadlessView::ListDeleteAll(int id) {
  lists[id].rows.clear();
  lists[id].selected.clear();
}

std::vector<int> HeadlessView::ListSelectedRows(int id) const {
  const auto it = lists.find(id);
  if (it == lists.end()) return {};
  return {it->second.selected.begin(), it->second.selected.end()};
}

int HeadlessView::RunModal(DialogModel& dialog) {
  HeadlessView child;
  child.onModalOpen = onModalOpen;
  dialog.Attach(&child);
  dialog.OnInitDialog();
  if (onModalOpen) onModalOpen(dialog);
  dialog.Attach(nullptr);
  return child.endResults.empty() ? kCancelled : child.endResults.back();
}

void OpenPage(Page& page, HeadlessView& view) {
  page.Attach(&view);
  page.OnInitDialog();
  page.OnSetActive();
}

void LeavePage(Page& page) { page.OnKillActive(); }

}  // namespace tarnwick
