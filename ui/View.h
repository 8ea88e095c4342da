// The controls of one page or dialog as the models see them, addressed by control id.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "channel/Ui.h"

namespace tarnwick {

class DialogModel;
class PlotSource;

class View {
 public:
  virtual ~View() = default;

  virtual std::string GetText(int id) const = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  // Moves the keyboard focus to a control, selecting all of an edit's text if asked.
  virtual void Focus(int id, bool selectAll) = 0;

  // Window timers of this page.
  virtual void StartTimer(int timerId, int periodMs) = 0;
  virtual void StopTimer(int timerId) = 0;

  virtual void Repaint() = 0;
  // Owner of the page's message boxes.
  virtual WindowRef Window() const = 0;

  // Report-style list views.
  virtual int ListOuterWidth(int id) const = 0;
  virtual void ListAddColumn(int id, int column, const std::string& heading, int width) = 0;
  virtual int ListRowCount(int id) const = 0;
  virtual void ListInsertRow(int id, int row, const std::string& text) = 0;
  virtual void ListSetCell(int id, int row, int column, const std::string& text) = 0;
  virtual std::string ListCell(int id, int row, int column) const = 0;
  virtual void ListDeleteRow(int id, int row) = 0;
  virtual void ListDeleteAll(int id) = 0;
  // Selected rows in list order.
  virtual std::vector<int> ListSelectedRows(int id) const = 0;
  // Selects exactly this row, as a user's click does.
  virtual void ListSelect(int id, int row) = 0;

  // Runs a child dialog modally; returns its end result.
  virtual int RunModal(DialogModel& dialog) = 0;
  // Ends this dialog (or the sheet) with result.
  virtual void EndDialog(int result) = 0;
  // Sheet only: OK becomes "Close" and Cancel is disabled.
  virtual void CancelToClose() = 0;
  // Opens a modeless window beside this one that plots source as it changes, or brings the
  // one already open to the front. It closes by itself, at the latest with this window;
  // source must outlive this window.
  virtual void ShowPlot(PlotSource& source) = 0;
  // The common Save As (save) or Open dialog over this window, offering suggested: the file
  // chosen (UTF-8), or nullopt when cancelled. A view without such dialogs chooses none.
  virtual std::optional<std::string> ChooseFile(bool /*save*/, const std::string& /*suggested*/) {
    return std::nullopt;
  }
};

// Enables or disables each control of a group.
inline void EnableAll(View& view, const std::vector<int>& ids, bool enabled) {
  for (int id : ids) view.Enable(id, enabled);
}

// Inserts a row at row of a list, its cells left to right.
template <typename Cells>
void InsertListRow(View& view, int listId, int row, const Cells& cells) {
  int column = 0;
  for (const std::string& cell : cells) {
    if (column == 0)
      view.ListInsertRow(listId, row, cell);
    else
      view.ListSetCell(listId, row, column, cell);
    ++column;
  }
}

// A list cell as the page means it: some page scans keep the blank that led the field on the
// router's line; a list view hides it, a script reading the value would not.
inline std::string TrimmedCell(const std::string& cell) {
  const auto first = cell.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

// Types a dotted (or colon) address into four octet boxes.
inline void TypeAddress(View& view, const std::array<int, 4>& ids, const std::string& text,
                        char separator = '.') {
  std::size_t from = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t end = i < 3 ? text.find(separator, from) : std::string::npos;
    view.SetText(ids[i], from == std::string::npos ? "" : text.substr(from, end - from));
    from = end == std::string::npos ? end : end + 1;
  }
}

// Left-aligned columns that share the list's outer width equally (rounded down).
inline void AddEqualColumns(View& view, int listId, const std::vector<std::string>& headings) {
  const int width = view.ListOuterWidth(listId) / static_cast<int>(headings.size());
  for (int column = 0; column < static_cast<int>(headings.size()); ++column)
    view.ListAddColumn(listId, column, headings[column], width);
}

}  // namespace tarnwick
