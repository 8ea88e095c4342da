#pragma once

#include <string>
#include <vector>

#include "app/View.h"

namespace tarnwick {

// One page's member <-> control table, declared once and used by both the native
// dialog layer and the test view.
class Bindings {
 public:
  Bindings& Text(int id, std::string& member);
  Bindings& Check(int id, int& member);  // 0 or 1
  // Radio buttons with ids first..first+count-1 (or the listed ids); member is the index
  // of the checked one, -1 when none is checked.
  Bindings& Radio(int firstId, int count, int& member);
  Bindings& Radio(std::vector<int> ids, int& member);

  // Controls -> members.
  void Load(const View& view) const;
  // Members -> controls.
  void Show(View& view) const;

 private:
  enum class Kind { Text, Check, Radio };
  struct Entry {
    Kind kind;
    std::vector<int> ids;
    std::string* text = nullptr;
    int* number = nullptr;
  };
  std::vector<Entry> entries_;
};

// A page or dialog: its template, its bindings and its handlers. The native layer
// forwards events; the model never touches a native control itself.
class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual int TemplateId() const = 0;
  const Bindings& bindings() const { return bindings_; }

  void Attach(View* view) { view_ = view; }
  View& view() const { return *view_; }
  bool attached() const { return view_ != nullptr; }

  // WM_INITDIALOG (for a page: the first time it is shown).
  virtual void OnInitDialog() {}
  // A button or other control command (BN_CLICKED and the like).
  virtual void OnCommand(int /*id*/) {}
  // IDOK / IDCANCEL of a plain dialog; defaults end the dialog.
  virtual void OnOK() { view().EndDialog(1); }
  virtual void OnCancel() { view().EndDialog(2); }
  // Escape and the close box arrive as OnCancel.
  virtual void OnTimer(int /*timerId*/) {}

  // Property pages only.
  virtual void OnSetActive() {}
  virtual void OnKillActive() {}
  // The sheet's Close: runs for each page that has been shown.
  virtual void OnSheetOk() {}

  // Pages: tab label; dialogs: unused.
  virtual std::string Caption() const { return {}; }

 protected:
  Bindings bindings_;

 private:
  View* view_ = nullptr;
};

}  // namespace tarnwick
