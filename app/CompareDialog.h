// What a settings file would change on the router, shown before anything is sent: a row for
// each setting and list row that differs, with Apply and Cancel.
#pragma once

#include <string>
#include <vector>

#include "app/CompareDialogIds.h"
#include "app/SettingsFile.h"
#include "ui/DialogModel.h"

namespace tarnwick {

class CompareDialog : public DialogModel {
 public:
  // One row of the list: the page, the setting, the router's value and the file's.
  struct Row {
    std::string page;
    std::string setting;
    std::string router;
    std::string file;
    bool operator==(const Row&) const = default;
  };

  // caption: the dialog's title (what is being restored).
  CompareDialog(std::string caption, const std::vector<PageDifference>& differences);
  int TemplateId() const override { return IDD_COMPARE; }
  std::string Caption() const override { return caption_; }
  void OnInitDialog() override;

  // Passwords are masked as the comparison gives them; a list row shows on the side that has it.
  static std::vector<Row> Rows(const std::vector<PageDifference>& differences);

 private:
  std::string caption_;
  std::vector<Row> rows_;
};

}  // namespace tarnwick
