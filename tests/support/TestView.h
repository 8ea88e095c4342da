// The headless view for model tests, holding each model to the controls it declared.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Description.h"
#include "ui/DialogModel.h"
#include "ui/HeadlessView.h"

namespace tarnwick::testing {

// Controls as plain state, kept apart from the model's members so tests see exactly when
// members are loaded from or shown in the controls. Every control used must be one the model
// declared, of a fitting kind; list rows used must exist; modal dialogs are recorded and run by
// onModal instead of opening.
class TestView final : public HeadlessView {
 public:
  struct ModalRecord {
    int templateId;
  };

  TestView() { listWidth = 400; }

  // From now on every control used must be one of these, of a fitting kind.
  void Declare(const std::vector<ControlRef>& refs) {
    for (const ControlRef& r : refs) declared[r.id].insert(r.kind);
  }

  std::string GetText(int id) const override {
    Use(id, {ControlKind::Text});
    return HeadlessView::GetText(id);
  }
  void SetText(int id, const std::string& text) override {
    Use(id, {ControlKind::Text});
    HeadlessView::SetText(id, text);
  }
  bool IsChecked(int id) const override {
    Use(id, {ControlKind::Check, ControlKind::Radio});
    return HeadlessView::IsChecked(id);
  }
  void SetChecked(int id, bool checked) override {
    Use(id, {ControlKind::Check, ControlKind::Radio});
    HeadlessView::SetChecked(id, checked);
  }
  void Enable(int id, bool enabled) override {
    Use(id, {});
    HeadlessView::Enable(id, enabled);
  }
  void Focus(int id, bool selectAll) override {
    Use(id, {ControlKind::Edit});
    HeadlessView::Focus(id, selectAll);
  }

  WindowRef Window() const override { return const_cast<TestView*>(this); }

  int ListOuterWidth(int id) const override {
    Use(id, {ControlKind::List});
    return HeadlessView::ListOuterWidth(id);
  }
  void ListAddColumn(int id, int column, const std::string& heading, int width) override {
    Use(id, {ControlKind::List});
    HeadlessView::ListAddColumn(id, column, heading, width);
  }
  int ListRowCount(int id) const override {
    Use(id, {ControlKind::List});
    return HeadlessView::ListRowCount(id);
  }
  void ListInsertRow(int id, int row, const std::string& text) override {
    Use(id, {ControlKind::List});
    HeadlessView::ListInsertRow(id, row, text);
  }
  void ListSetCell(int id, int row, int column, const std::string& text) override {
    Use(id, {ControlKind::List});
    ExistingRow(id, row);
    HeadlessView::ListSetCell(id, row, column, text);
  }
  std::string ListCell(int id, int row, int column) const override {
    Use(id, {ControlKind::List});
    ExistingRow(id, row);
    return HeadlessView::ListCell(id, row, column);
  }
  void ListDeleteRow(int id, int row) override {
    Use(id, {ControlKind::List});
    ExistingRow(id, row);
    HeadlessView::ListDeleteRow(id, row);
  }
  void ListDeleteAll(int id) override {
    Use(id, {ControlKind::List});
    HeadlessView::ListDeleteAll(id);
  }
  void ListSelect(int id, int row) override {
    Use(id, {ControlKind::List});
    ExistingRow(id, row);
    HeadlessView::ListSelect(id, row);
  }
  std::vector<int> ListSelectedRows(int id) const override {
    Use(id, {ControlKind::List});
    return HeadlessView::ListSelectedRows(id);
  }

  int RunModal(DialogModel& dialog) override {
    modals.push_back({dialog.TemplateId()});
    if (onModal) return onModal(dialog);
    return 1;
  }

  // Column texts of every row of a list.
  std::vector<std::vector<std::string>> Rows(int id) const {
    auto it = lists.find(id);
    return it == lists.end() ? std::vector<std::vector<std::string>>{} : it->second.rows;
  }
  // Selects exactly these rows of a list, as the user would.
  void SelectRows(int id, std::set<int> rows) { lists[id].selected = std::move(rows); }

  std::map<int, std::set<ControlKind>> declared;  // empty: nothing is checked
  std::vector<ModalRecord> modals;
  std::function<int(DialogModel&)> onModal;

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
  void ExistingRow(int id, int row) const {
    if (row < 0 || row >= HeadlessView::ListRowCount(id))
      ADD_FAILURE() << "list " << id << " has no row " << row;
  }
};

}  // namespace tarnwick::testing
