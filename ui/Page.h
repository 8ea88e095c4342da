// A property page of the main sheet, and the sheet itself as the native layer sees it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/DialogModel.h"

namespace tarnwick {

class Page : public DialogModel {
 public:
  using DialogModel::DialogModel;

  // The tab label.
  std::string Caption() const override = 0;
  virtual void OnSetActive() {}
  virtual void OnKillActive() {}
  // The sheet's Close: runs for each page that has been shown.
  virtual void OnSheetOk() {}
  // The router was changed from elsewhere (a restore): what the page shows is read again.
  virtual void Reread() { OnInitDialog(); }
  // Asked before the sheet closes while this page is shown, however it is closed: the
  // question to put when the controls of its settings differ from what was last read or
  // applied, else nothing.
  std::optional<std::string> UnappliedChanges() const {
    if (!applied_ || !attached() || description().SettingControls(view()) == *applied_)
      return std::nullopt;
    return UnappliedQuestion();
  }

  // A page's own buttons 1 and 2 arrive as commands; Enter and Escape belong to the sheet.
  void OnOK() final {}
  void OnCancel() final {}

 protected:
  // What UnappliedChanges asks, in the page's own words.
  std::string UnappliedQuestion() const {
    return "The " + Caption() + " page has changes that were not applied. Close anyway?";
  }
  // The settings as the controls now show them are the router's: read, or just applied.
  void MarkApplied() {
    applied_ = description().SettingControls(view());
    MarkRead();
  }

 private:
  std::optional<std::vector<std::string>> applied_;
};

// The main window: a property sheet of pages with entries of its own on the system menu.
// Its view() is the sheet window itself.
class SheetModel : public DialogModel {
 public:
  struct MenuEntry {
    int stringId;
    unsigned command;
    // After a separator; otherwise grouped with the entry before it.
    bool separate = true;
  };

  using DialogModel::DialogModel;
  int TemplateId() const override { return 0; }

  std::string Caption() const override = 0;
  virtual int IconId() const = 0;
  // Tab order.
  virtual std::vector<Page*> Pages() = 0;
  // Appended to the system menu.
  virtual std::vector<MenuEntry> SystemMenu() const = 0;
  // False: not ours, let the platform handle it.
  virtual bool OnSysCommand(unsigned id) = 0;

  // Every way of closing the sheet (Close, Enter, Escape, the close box) asks this first,
  // with the page shown; false keeps the sheet open.
  bool MayClose(const Page& shown) {
    const std::optional<std::string> question = shown.UnappliedChanges();
    return !question || Ask(*question, "Warning") == Answer::Yes;
  }
};

}  // namespace tarnwick
