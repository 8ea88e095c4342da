// A view without a window: pages and dialogs run their handlers on controls held as state.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Page.h"
#include "ui/View.h"

namespace tarnwick {

// Whatever reads a page without showing it (the console) drives the page's own model through
// this view, so the model's reading is the only one. The controls are plain state, kept apart
// from the model's members. Timers are noted and never fire; message boxes have no owner.
class HeadlessView : public View {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
  };
  struct List {
    std::vector<std::string> headings;
    std::vector<int> widths;
    std::vector<std::vector<std::string>> rows;
    std::set<int> selected;  // nothing is selected unless someone picks a row
  };

  // A dialog run modally opens on a view of its own and runs its initialisation; then it is
  // handed here while still open, and closes as if cancelled unless it ended itself.
  std::function<void(DialogModel&)> onModalOpen;

  std::string GetText(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  void Enable(int id, bool enabled) override;
  void Focus(int id, bool selectAll) override;
  bool IsEnabled(int id) const;

  void StartTimer(int timerId, int periodMs) override { timers[timerId] = periodMs; }
  void StopTimer(int timerId) override { timers.erase(timerId); }
  bool TimerRunning(int timerId) const { return timers.count(timerId) != 0; }

  void Repaint() override { ++repaints; }
  WindowRef Window() const override { return nullptr; }

  int ListOuterWidth(int) const override { return listWidth; }
  void ListAddColumn(int id, int column, const std::string& heading, int width) override;
  int ListRowCount(int id) const override;
  void ListInsertRow(int id, int row, const std::string& text) override;
  void ListSetCell(int id, int row, int column, const std::string& text) override;
  std::string ListCell(int id, int row, int column) const override;
  void ListDeleteRow(int id, int row) override;
  void ListDeleteAll(int id) override;
  std::vector<int> ListSelectedRows(int id) const override;
  void ListSelect(int id, int row) override { lists[id].selected = {row}; }

  int RunModal(DialogModel& dialog) override;
  void EndDialog(int result) override { endResults.push_back(result); }
  void CancelToClose() override { cancelToClose = true; }
  // Plots are for the eye: noted, never drawn.
  void ShowPlot(PlotSource& source) override { plots.push_back(&source); }

  std::map<int, Control> controls;
  std::map<int, List> lists;
  std::map<int, int> timers;  // running timers and their periods
  int listWidth = 700;
  int focused = 0;
  bool focusSelectsAll = false;
  int repaints = 0;
  bool cancelToClose = false;
  std::vector<int> endResults;     // every EndDialog, in order
  std::vector<PlotSource*> plots;  // every ShowPlot, in order

 protected:
  static constexpr int kCancelled = 2;
};

// What the sheet does the first time a page's tab is chosen: create it, then activate it.
void OpenPage(Page& page, HeadlessView& view);
// What the sheet does when another tab is chosen.
void LeavePage(Page& page);

}  // namespace tarnwick
