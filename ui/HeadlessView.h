// A view without a window: pages and dialogs run their handlers on controls held in memory.
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
// this view, so the model's reading is the only one. Timers are noted and never fire; message
// boxes have no owner.
class HeadlessView final : public View {
 public:
  // A dialog run modally opens on a view of its own and runs its initialisation; then it is
  // handed here while still open, and closes as if cancelled unless it ended itself.
  std::function<void(DialogModel&)> onModalOpen;

  std::string GetText(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  void Enable(int id, bool enabled) override;
  void Focus(int, bool) override {}
  bool IsEnabled(int id) const;

  void StartTimer(int timerId, int) override { timers_.insert(timerId); }
  void StopTimer(int timerId) override { timers_.erase(timerId); }
  bool TimerRunning(int timerId) const { return timers_.count(timerId) != 0; }

  void Repaint() override {}
  WindowRef Window() const override { return nullptr; }

  int ListOuterWidth(int) const override { return kListWidth; }
  void ListAddColumn(int, int, const std::string&, int) override {}
  int ListRowCount(int id) const override;
  void ListInsertRow(int id, int row, const std::string& text) override;
  void ListSetCell(int id, int row, int column, const std::string& text) override;
  std::string ListCell(int id, int row, int column) const override;
  void ListDeleteRow(int id, int row) override;
  void ListDeleteAll(int id) override;
  // Nothing is ever selected: no user picks a row.
  std::vector<int> ListSelectedRows(int) const override { return {}; }

  int RunModal(DialogModel& dialog) override;
  void EndDialog(int result) override { ended_ = result; }
  void CancelToClose() override {}
  // Plots are for the eye; there is nothing to show them on.
  void ShowPlot(PlotSource&) override {}

 private:
  static constexpr int kListWidth = 700;
  static constexpr int kCancelled = 2;

  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
  };
  std::map<int, Control> controls_;
  std::map<int, std::vector<std::vector<std::string>>> lists_;
  std::set<int> timers_;
  int ended_ = -1;
};

// What the sheet does the first time a page's tab is chosen: create it, then activate it.
void OpenPage(Page& page, HeadlessView& view);
// What the sheet does when another tab is chosen.
void LeavePage(Page& page);

}  // namespace tarnwick
