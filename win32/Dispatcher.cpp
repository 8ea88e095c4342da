// One dispatcher for pages and dialogs: commands, focus, list selection and timers.
#include "win32/Dispatcher.h"

#include <commctrl.h>

#include "win32/Win32View.h"

namespace tarnwick::win32 {

bool Dispatcher::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return Command(window, wParam, lParam);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code != LVN_ITEMCHANGED) return false;
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
      if (!(change->uChanged & LVIF_STATE) ||
          !((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
        return false;
      model_.OnListSelection(static_cast<int>(header->idFrom));
      return true;
    }
    case WM_TIMER:
      model_.OnTimer(static_cast<int>(wParam));
      return true;
    case kFocusMessage:
      ApplyFocus(window, static_cast<int>(wParam), lParam != 0);
      return true;
    case kFitColumnsMessage:
      FitColumns(GetDlgItem(window, static_cast<int>(wParam)));
      return true;
    default:
      return false;
  }
}

bool Dispatcher::Command(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_KILLFOCUS) {
    FocusLeft(window, id);
    return true;
  }
  // Enter, Escape and accelerators arrive with code 0 as well.
  if (code != BN_CLICKED) return false;
  // An automatic radio button checks itself before it reports a click; one that reports a
  // click unchecked has only been given the focus (Tab into a group with none checked).
  if (const auto button = reinterpret_cast<HWND>(lParam);
      button && (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
      SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED)
    return true;
  if (id == IDOK || id == IDCANCEL) {
    if (host_ == Host::Page) {
      // Buttons 1 and 2 of a page (Add, Remove) are its own commands and come with their
      // window; without one it is Enter or Escape, which belong to the sheet.
      const bool ownButton = lParam && GetParent(reinterpret_cast<HWND>(lParam)) == window;
      if (!ownButton) return false;
      model_.OnCommand(id);
    } else if (id == IDOK) {
      model_.OnOK();
    } else {
      model_.OnCancel();
    }
    return true;
  }
  model_.OnCommand(id);
  return true;
}

void Dispatcher::FocusLeft(HWND window, int id) {
  if (quiet_ > 0) return;
  // Only a move to another control of this window is the user leaving the field; a message
  // box, another program or the window itself (as it closes) taking the focus is not.
  const HWND now = GetFocus();
  if (!now || !IsChild(window, now) || !IsWindowVisible(window)) return;
  ++quiet_;
  model_.OnFocusLeave(id);
  --quiet_;
}

void Dispatcher::RequestFocus(HWND window, int id, bool selectAll) {
  if (PostMessageW(window, kFocusMessage, static_cast<WPARAM>(id), selectAll ? 1 : 0)) ++quiet_;
}

void Dispatcher::ApplyFocus(HWND window, int id, bool selectAll) {
  HWND control = GetDlgItem(window, id);
  if (control) {
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (selectAll) SendMessageW(control, EM_SETSEL, 0, -1);
  }
  if (quiet_ > 0) --quiet_;
}

}  // namespace tarnwick::win32
