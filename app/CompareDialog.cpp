// The comparison dialog: the differences as a report list, Apply as OK.
#include "app/CompareDialog.h"

#include <algorithm>

namespace tarnwick {
namespace {

std::string RowText(const ListRow& row, const std::vector<std::string>& columns) {
  std::string out;
  for (const std::string& column : columns) {
    const auto cell = row.find(column);
    if (cell == row.end() || cell->second.empty()) continue;
    out += (out.empty() ? "" : ", ") + cell->second;
  }
  return out;
}

}  // namespace

CompareDialog::CompareDialog(std::string caption, const std::vector<PageDifference>& differences)
    : caption_(std::move(caption)), rows_(Rows(differences)) {
  description_.List(
      IDC_COMPARE_LIST,
      {{"Page", "Page"}, {"Setting", "Setting"}, {"Router", "Router"}, {"File", "File"}});
  // Apply is the dialog's OK (1), Cancel its Cancel (2): both end it as the platform's do.
  Declare(ControlKind::Button, {1, 2});
  Declare(ControlKind::Text, {IDC_COMPARE_SUMMARY});
}

std::vector<CompareDialog::Row> CompareDialog::Rows(
    const std::vector<PageDifference>& differences) {
  std::vector<Row> rows;
  for (const PageDifference& page : differences) {
    for (const PageDifference::Value& value : page.values)
      rows.push_back({page.caption, value.label.empty() ? value.key : value.label,
                      value.routerShown, value.fileShown});
    for (const ListRow& row : page.removed)
      rows.push_back({page.caption, "List row", RowText(row, page.columns), "(none)"});
    for (const ListRow& row : page.added)
      rows.push_back({page.caption, "List row", "(none)", RowText(row, page.columns)});
  }
  return rows;
}

void CompareDialog::OnInitDialog() {
  view().SetText(IDC_COMPARE_SUMMARY,
                 std::to_string(rows_.size()) +
                     (rows_.size() == 1 ? " setting differs" : " settings differ") +
                     " between the router and the file. Apply sends the file's values, page by "
                     "page; Cancel sends nothing.");
  // Page and Setting are short; the values take what is left, equally.
  const int width = view().ListOuterWidth(IDC_COMPARE_LIST);
  const int narrow = width / 5;
  const int wide = (width - 2 * narrow) / 2;
  const std::vector<std::string> headings = description_.Headings(IDC_COMPARE_LIST);
  for (int c = 0; c < static_cast<int>(headings.size()); ++c)
    view().ListAddColumn(IDC_COMPARE_LIST, c, headings[static_cast<std::size_t>(c)],
                         c < 2 ? narrow : wide);
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const Row& row = rows_[static_cast<std::size_t>(r)];
    InsertListRow(view(), IDC_COMPARE_LIST, r,
                  std::vector<std::string>{row.page, row.setting, row.router, row.file});
  }
  view().Focus(IDC_COMPARE_LIST, false);
}

}  // namespace tarnwick
