// Controls as plain state for model tests, holding each model to the controls it declared.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Description.h"
#include "ui/DialogModel.h"
#include "ui/PlotSource.h"
#include "ui/View.h"

namespace tarnwick::testing {

// Controls as plain state, kept apart from the model's members so tests see exactly
// when members are loaded from or shown in the controls.
class TestView final : public View {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
  };
  struct ListControl {
    std::vector<std::string> headings;
    std::vector<int> widths;
    std::vector<std::vector<std::string>> rows;
    std::set<int> selected;
  };
  struct ModalRecord {
    int templateId;
  };

  // From now on every control used must be one of these, of a fitting kind.
  void Declare(const std::vector<ControlRef>& refs) {
    for (const ControlRef& r : refs) declared[r.id].insert(r.kind);
  }

  std::string GetText(int id) const override {
    Use(id, {ControlKind::Text});
    auto it = controls.find(id);
    return it == controls.end() ? std::string() : it->second.text;
  }
  void SetText(int id, const std::string& text) override {
    Use(id, {ControlKind::Text});
    controls[id].text = text;
  }
  bool IsChecked(int id) const override {
    Use(id, {ControlKind::Check, ControlKind::Radio});
    auto it = controls.find(id);
    return it != controls.end() && it->second.checked;
  }
  void SetChecked(int id, bool checked) override {
    Use(id, {ControlKind::Check, ControlKind::Radio});
    controls[id].checked = checked;
  }
  void Enable(int id, bool enabled) override {
    Use(id, {});
    controls[id].enabled = enabled;
  }
  void Focus(int id, bool selectAll) override {
    Use(id, {ControlKind::Edit});
    focused = id;
    focusSelectsAll = selectAll;
  }
  bool IsEnabled(int id) const {
    auto it = controls.find(id);
    return it == controls.end() || it->second.enabled;
  }

  void StartTimer(int timerId, int periodMs) override { timers[timerId] = periodMs; }
  void StopTimer(int timerId) override { timers.erase(timerId); }
  bool TimerRunning(int timerId) const { return timers.count(timerId) != 0; }

  void Repaint() override { ++repaints; }
  WindowRef Window() const override { return const_cast<TestView*>(this); }

  int ListOuterWidth(int id) const override {
    Use(id, {ControlKind::List});
    return listWidth;
  }
  void ListAddColumn(int id, int column, const std::string& heading, int width) override {
    Use(id, {ControlKind::List});
    auto& l = lists[id];
    l.headings.insert(l.headings.begin() + column, heading);
    l.widths.insert(l.widths.begin() + column, width);
  }
  int ListRowCount(int id) const override {
    Use(id, {ControlKind::List});
    auto it = lists.find(id);
    return it == lists.end() ? 0 : static_cast<int>(it->second.rows.size());
  }
  void ListInsertRow(int id, int row, const std::string& text) override {
    Use(id, {ControlKind::List});
    auto& l = lists[id];
    if (row > static_cast<int>(l.rows.size())) row = static_cast<int>(l.rows.size());
    l.rows.insert(l.rows.begin() + row, std::vector<std::string>{text});
    std::set<int> moved;
    for (int s : l.selected) moved.insert(s >= row ? s + 1 : s);
    l.selected = moved;
  }
  void ListSetCell(int id, int row, int column, const std::string& text) override {
    Use(id, {ControlKind::List});
    auto& r = lists[id].rows.at(row);
    if (static_cast<int>(r.size()) <= column) r.resize(column + 1);
    r[column] = text;
  }
  std::string ListCell(int id, int row, int column) const override {
    Use(id, {ControlKind::List});
    const auto& r = lists.at(id).rows.at(row);
    return column < static_cast<int>(r.size()) ? r[column] : std::string();
  }
  void ListDeleteRow(int id, int row) override {
    Use(id, {ControlKind::List});
    auto& l = lists[id];
    l.rows.erase(l.rows.begin() + row);
    std::set<int> moved;
    for (int s : l.selected)
      if (s != row) moved.insert(s > row ? s - 1 : s);
    l.selected = moved;
  }
  void ListDeleteAll(int id) override {
    Use(id, {ControlKind::List});
    lists[id].rows.clear();
    lists[id].selected.clear();
  }
  std::vector<int> ListSelectedRows(int id) const override {
    Use(id, {ControlKind::List});
    auto it = lists.find(id);
    if (it == lists.end()) return {};
    return {it->second.selected.begin(), it->second.selected.end()};
  }

  int RunModal(DialogModel& dialog) override {
    modals.push_back({dialog.TemplateId()});
    if (onModal) return onModal(dialog);
    return 1;
  }
  void EndDialog(int result) override { endResults.push_back(result); }
  void CancelToClose() override { cancelToClose = true; }
  void ShowPlot(PlotSource& source) override { plots.push_back(&source); }

  // Column texts of every row of a list.
  std::vector<std::vector<std::string>> Rows(int id) const {
    auto it = lists.find(id);
    return it == lists.end() ? std::vector<std::vector<std::string>>{} : it->second.rows;
  }

  // Selects exactly these rows of a list, as the user would.
  void SelectRows(int id, std::set<int> rows) { lists[id].selected = std::move(rows); }

  std::map<int, Control> controls;
  std::map<int, std::set<ControlKind>> declared;  // empty: nothing is checked
  int focused = 0;
  bool focusSelectsAll = false;
  std::map<int, ListControl> lists;
  std::map<int, int> timers;
  std::vector<ModalRecord> modals;
  std::vector<int> endResults;
  std::function<int(DialogModel&)> onModal;
  int listWidth = 400;
  int repaints = 0;
  bool cancelToClose = false;
  std::vector<PlotSource*> plots;  // every ShowPlot, in order

 private:
  // A control the model did not declare, or declared as another kind, is a fault of the
  // model (or of the test typing into it). Any kind fits an enable; text fits edits too.
  void Use(int id, std::set<ControlKind> fitting) const {
    if (declared.empty()) return;
    auto it = declared.find(id);
    if (it == declared.end()) {
      ADD_FAILURE() << "control " << id << " is not declared by the model";
      return;
    }
    if (fitting.empty()) return;
    if (fitting.count(ControlKind::Text)) fitting.insert(ControlKind::Edit);
    for (ControlKind kind : it->second)
      if (fitting.count(kind)) return;
    ADD_FAILURE() << "control " << id << " is used as another kind than declared";
  }
};

}  // namespace tarnwick::testing
