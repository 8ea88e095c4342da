// A View over a native dialog, property page or property sheet window.
#pragma once

#include <windows.h>

#include "ui/View.h"

namespace tarnwick::win32 {

class Dispatcher;

class Win32View final : public View {
 public:
  enum class Kind { Dialog, Page, Sheet };

  // The dispatcher of the window, if any, applies focus requests.
  Win32View(HWND window, Kind kind, Dispatcher* dispatcher = nullptr)
      : window_(window), kind_(kind), dispatcher_(dispatcher) {}

  std::string GetText(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  void Enable(int id, bool enabled) override;
  void Focus(int id, bool selectAll) override;

  void StartTimer(int timerId, int periodMs) override;
  void StopTimer(int timerId) override;

  void Repaint() override;
  WindowRef Window() const override { return window_; }

  int ListOuterWidth(int id) const override;
  void ListAddColumn(int id, int column, const std::string& heading, int width) override;
  int ListRowCount(int id) const override;
  void ListInsertRow(int id, int row, const std::string& text) override;
  void ListSetCell(int id, int row, int column, const std::string& text) override;
  std::string ListCell(int id, int row, int column) const override;
  void ListDeleteRow(int id, int row) override;
  void ListDeleteAll(int id) override;
  std::vector<int> ListSelectedRows(int id) const override;
  void ListSelect(int id, int row) override;

  int RunModal(DialogModel& dialog) override;
  // Dialog: ends it. Page or sheet: ends the sheet, as its Cancel unless result is IDOK.
  void EndDialog(int result) override;
  void CancelToClose() override;
  void ShowPlot(PlotSource& source) override;
  std::optional<std::string> ChooseFile(bool save, const std::string& suggested) override;

  HWND handle() const { return window_; }

 private:
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  // Columns are fitted once the current event is over, however many cells it set.
  void ColumnsChanged(int id);
  HWND SheetWindow() const { return kind_ == Kind::Page ? GetParent(window_) : window_; }

  HWND window_;
  Kind kind_;
  Dispatcher* dispatcher_;
};

// Ends a modal property sheet as if the given button were pressed, even while that button
// is disabled (Cancel after CancelToClose).
void EndSheet(HWND sheet, bool asOk);
// Each column of a report list as wide as its widest cell or heading; the last one takes the
// rest of the list's width.
void FitColumns(HWND list);

// True once EndSheet has run for this sheet (a window property, removed as the sheet goes).
bool Ending(HWND sheet);
inline constexpr wchar_t kSheetEndingProperty[] = L"Tarnwick.SheetEnding";

}  // namespace tarnwick::win32
