// Controls of a native window read and written by id.
#include "win32/Win32View.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "win32/DialogHost.h"
#include "win32/Dispatcher.h"
#include "win32/PlotWindow.h"
#include "win32/WideText.h"

namespace tarnwick::win32 {

std::string Win32View::GetText(int id) const { return Narrow(WindowText(Item(id))); }

void Win32View::SetText(int id, const std::string& text) {
  SetDlgItemTextW(window_, id, Widen(text).c_str());
}

bool Win32View::IsChecked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

namespace {

bool IsAutoRadio(HWND button) {
  return button && (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// Unchecking a radio button takes its tab stop away. A group left with none checked keeps
// one on its first button, so that Tab still reaches the group.
void KeepGroupReachable(HWND radio) {
  HWND first = radio;
  while (first && !(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
    HWND previous = GetWindow(first, GW_HWNDPREV);
    if (!IsAutoRadio(previous)) break;
    first = previous;
  }
  for (HWND b = first; IsAutoRadio(b); b = GetWindow(b, GW_HWNDNEXT)) {
    if (b != first && (GetWindowLongW(b, GWL_STYLE) & WS_GROUP)) break;
    if (SendMessageW(b, BM_GETCHECK, 0, 0) == BST_CHECKED) return;
  }
  SetWindowLongW(first, GWL_STYLE, GetWindowLongW(first, GWL_STYLE) | WS_TABSTOP);
}

}  // namespace

void Win32View::SetChecked(int id, bool checked) {
  CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
  if (!checked && IsAutoRadio(Item(id))) KeepGroupReachable(Item(id));
}

void Win32View::Enable(int id, bool enabled) {
  if (HWND item = Item(id)) EnableWindow(item, enabled ? TRUE : FALSE);
}

void Win32View::Focus(int id, bool selectAll) {
  if (dispatcher_) {
    dispatcher_->RequestFocus(window_, id, selectAll);
  } else if (HWND item = Item(id)) {
    SetFocus(item);
    if (selectAll) SendMessageW(item, EM_SETSEL, 0, -1);
  }
}

void Win32View::StartTimer(int timerId, int periodMs) {
  SetTimer(window_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs), nullptr);
}

void Win32View::StopTimer(int timerId) { KillTimer(window_, static_cast<UINT_PTR>(timerId)); }

void Win32View::Repaint() {
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Win32View::ListOuterWidth(int id) const {
  RECT r{};
  if (!GetWindowRect(Item(id), &r)) return 0;
  return r.right - r.left;
}

void Win32View::ListAddColumn(int id, int column, const std::string& heading, int width) {
  ColumnsChanged(id);
  HWND list = Item(id);
  if (!list) return;
  LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  if ((style & LVS_TYPEMASK) != LVS_REPORT)
    SetWindowLongPtrW(list, GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  std::wstring text = Widen(heading);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
  col.fmt = LVCFMT_LEFT;
  col.cx = width;
  col.pszText = text.data();
  col.iSubItem = column;
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&col));
}

int Win32View::ListRowCount(int id) const {
  return static_cast<int>(SendMessageW(Item(id), LVM_GETITEMCOUNT, 0, 0));
}

void Win32View::ListInsertRow(int id, int row, const std::string& text) {
  ColumnsChanged(id);
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  SendMessageW(Item(id), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32View::ListSetCell(int id, int row, int column, const std::string& text) {
  ColumnsChanged(id);
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(Item(id), LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

std::string Win32View::ListCell(int id, int row, int column) const {
  // LVM_GETITEMTEXT reports only what fitted: grow until the text is shorter than the room.
  for (int room = 256;; room *= 4) {
    std::wstring buffer(static_cast<std::size_t>(room), L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = room;
    int got = static_cast<int>(SendMessageW(Item(id), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                            reinterpret_cast<LPARAM>(&item)));
    if (got < room - 1 || room >= (1 << 20)) {
      buffer.resize(static_cast<std::size_t>(got > 0 ? got : 0));
      return Narrow(buffer);
    }
  }
}

void Win32View::ListDeleteRow(int id, int row) {
  ColumnsChanged(id);
  SendMessageW(Item(id), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void Win32View::ListDeleteAll(int id) {
  ColumnsChanged(id);
  SendMessageW(Item(id), LVM_DELETEALLITEMS, 0, 0);
}

std::vector<int> Win32View::ListSelectedRows(int id) const {
  std::vector<int> rows;
  HWND list = Item(id);
  if (!list) return rows;
  int row = -1;
  while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                              MAKELPARAM(LVNI_SELECTED, 0)))) != -1)
    rows.push_back(row);
  return rows;
}

void Win32View::ListSelect(int id, int row) {
  HWND list = Item(id);
  if (!list) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

namespace {
constexpr wchar_t kFitPending[] = L"Tarnwick.FitColumns";
}  // namespace

void Win32View::ColumnsChanged(int id) {
  HWND list = Item(id);
  if (!list || !dispatcher_ || GetPropW(list, kFitPending)) return;
  if (PostMessageW(window_, Dispatcher::kFitColumnsMessage, static_cast<WPARAM>(id), 0))
    SetPropW(list, kFitPending, reinterpret_cast<HANDLE>(1));
}

void FitColumns(HWND list) {
  if (!list) return;
  RemovePropW(list, kFitPending);
  HWND header = ListView_GetHeader(list);
  const int columns = header ? Header_GetItemCount(header) : 0;
  const int rows = ListView_GetItemCount(list);
  HDC dc = GetDC(list);
  // Room beside the text, as the list and its header leave it, at the screen's scale.
  const int padding = MulDiv(14, GetDeviceCaps(dc, LOGPIXELSX), 96);
  ReleaseDC(list, dc);
  auto textWidth = [&](const std::wstring& text) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  RECT client{};
  GetClientRect(list, &client);
  int used = 0;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int column = 0; column < columns; ++column) {
    wchar_t heading[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = heading;
    item.cchTextMax = 256;
    Header_GetItem(header, column, &item);
    int width = textWidth(heading);
    for (int row = 0; row < rows; ++row) {
      wchar_t cell[512] = {};
      ListView_GetItemText(list, row, column, cell, 512);
      width = std::max(width, textWidth(cell));
    }
    width += padding;
    if (column == columns - 1) width = std::max(width, static_cast<int>(client.right) - used);
    ListView_SetColumnWidth(list, column, width);
    used += width;
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int Win32View::RunModal(DialogModel& dialog) { return DialogHost::Run(dialog, window_); }

void Win32View::EndDialog(int result) {
  if (kind_ == Kind::Dialog)
    ::EndDialog(window_, result);
  else
    EndSheet(SheetWindow(), result == IDOK);
}

void Win32View::CancelToClose() {
  if (kind_ == Kind::Dialog) return;
  SendMessageW(SheetWindow(), PSM_CANCELTOCLOSE, 0, 0);
  SetDlgItemTextW(SheetWindow(), IDOK, L"&Close");
}

void Win32View::ShowPlot(PlotSource& source) {
  // Beside the sheet, which owns it, whichever page asks.
  ShowPlotWindow(kind_ == Kind::Dialog ? window_ : SheetWindow(), source);
}

std::optional<std::string> Win32View::ChooseFile(bool save, const std::string& suggested) {
  std::wstring file = Widen(suggested);
  file.resize(MAX_PATH * 4, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = kind_ == Kind::Dialog ? window_ : SheetWindow();
  dialog.lpstrFilter = L"Settings files (*.json)\0*.json\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = save ? L"Save Settings" : L"Open Settings File";
  dialog.lpstrDefExt = L"json";
  // The working directory is where Load Default Configuration finds its file: keep it.
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
  file.resize(wcslen(file.c_str()));
  return Narrow(file);
}

bool Ending(HWND sheet) { return GetPropW(sheet, kSheetEndingProperty) != nullptr; }

void EndSheet(HWND sheet, bool asOk) {
  // From here on the sheet's own handling of its buttons runs unasked.
  SetPropW(sheet, kSheetEndingProperty, reinterpret_cast<HANDLE>(1));
  int button = asOk ? IDOK : IDCANCEL;
  if (HWND b = GetDlgItem(sheet, button)) EnableWindow(b, TRUE);
  // Posted: the caller is usually still inside one of the sheet's own handlers.
  PostMessageW(sheet, PSM_PRESSBUTTON, asOk ? PSBTN_OK : PSBTN_CANCEL, 0);
}

}  // namespace tarnwick::win32
