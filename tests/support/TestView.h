#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/Bindings.h"
#include "app/View.h"

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

  std::string GetText(int id) const override {
    auto it = controls.find(id);
    return it == controls.end() ? std::string() : it->second.text;
  }
  void SetText(int id, const std::string& text) override { controls[id].text = text; }
  bool IsChecked(int id) const override {
    auto it = controls.find(id);
    return it != controls.end() && it->second.checked;
  }
  void SetChecked(int id, bool checked) override { controls[id].checked = checked; }
  void Enable(int id, bool enabled) override { controls[id].enabled = enabled; }
  bool IsEnabled(int id) const {
    auto it = controls.find(id);
    return it == controls.end() || it->second.enabled;
  }

  void StartTimer(int timerId, int periodMs) override { timers[timerId] = periodMs; }
  void StopTimer(int timerId) override { timers.erase(timerId); }
  bool TimerRunning(int timerId) const { return timers.count(timerId) != 0; }

  void Repaint() override { ++repaints; }
  WindowRef Window() const override { return const_cast<TestView*>(this); }

  int ListOuterWidth(int) const override { return listWidth; }
  void ListAddColumn(int id, int column, const std::string& heading, int width) override {
    auto& l = lists[id];
    l.headings.insert(l.headings.begin() + column, heading);
    l.widths.insert(l.widths.begin() + column, width);
  }
  int ListRowCount(int id) const override {
    auto it = lists.find(id);
    return it == lists.end() ? 0 : static_cast<int>(it->second.rows.size());
  }
  void ListInsertRow(int id, int row, const std::string& text) override {
    auto& l = lists[id];
    if (row > static_cast<int>(l.rows.size())) row = static_cast<int>(l.rows.size());
    l.rows.insert(l.rows.begin() + row, std::vector<std::string>{text});
    std::set<int> moved;
    for (int s : l.selected) moved.insert(s >= row ? s + 1 : s);
    l.selected = moved;
  }
  void ListSetCell(int id, int row, int column, const std::string& text) override {
    auto& r = lists[id].rows.at(row);
    if (static_cast<int>(r.size()) <= column) r.resize(column + 1);
    r[column] = text;
  }
  std::string ListCell(int id, int row, int column) const override {
    const auto& r = lists.at(id).rows.at(row);
    return column < static_cast<int>(r.size()) ? r[column] : std::string();
  }
  void ListDeleteRow(int id, int row) override {
    auto& l = lists[id];
    l.rows.erase(l.rows.begin() + row);
    std::set<int> moved;
    for (int s : l.selected)
      if (s != row) moved.insert(s > row ? s - 1 : s);
    l.selected = moved;
  }
  void ListDeleteAll(int id) override {
    lists[id].rows.clear();
    lists[id].selected.clear();
  }
  std::vector<int> ListSelectedRows(int id) const override {
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

  // Column texts of every row of a list.
  std::vector<std::vector<std::string>> Rows(int id) const {
    auto it = lists.find(id);
    return it == lists.end() ? std::vector<std::vector<std::string>>{} : it->second.rows;
  }

  std::map<int, Control> controls;
  std::map<int, ListControl> lists;
  std::map<int, int> timers;
  std::vector<ModalRecord> modals;
  std::vector<int> endResults;
  std::function<int(DialogModel&)> onModal;
  int listWidth = 400;
  int repaints = 0;
  bool cancelToClose = false;
};

}  // namespace tarnwick::testing
