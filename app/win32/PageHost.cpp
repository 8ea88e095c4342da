#include "app/win32/PageHost.h"

#include "app/win32/DialogHost.h"
#include "app/win32/WideText.h"

namespace tarnwick::win32 {

PageHost::PageHost(DialogModel& model) : model_(model), caption_(Widen(model.Caption())) {}

PageHost::~PageHost() {
  if (view_) model_.Attach(nullptr);
}

PROPSHEETPAGEW PageHost::Description() {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  // No PSP_HASHELP: the sheet shows no Help button.
  page.dwFlags = PSP_USETITLE;
  page.hInstance = ModuleInstance();
  page.pszTemplate = MAKEINTRESOURCEW(model_.TemplateId());
  page.pszTitle = caption_.c_str();
  page.pfnDlgProc = Proc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK PageHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<PageHost*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    DialogHost::FitWrappedLabels(window);
    self->view_ = std::make_unique<Win32View>(window, Win32View::Kind::Page);
    self->model_.Attach(self->view_.get());
    self->model_.OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<PageHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_NOTIFY:
      return self->Notify(window, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: {
      // Buttons 1 and 2 of a page (Add, Remove) are its own commands and come with their
      // window; an IDOK or IDCANCEL without one is Enter or Escape, which belong to the sheet.
      int id = LOWORD(wParam);
      bool ownButton = lParam && GetParent(reinterpret_cast<HWND>(lParam)) == window;
      if (HIWORD(wParam) != BN_CLICKED || (!ownButton && (id == IDOK || id == IDCANCEL)))
        return FALSE;
      self->model_.OnCommand(id);
      return TRUE;
    }
    case WM_TIMER:
      self->model_.OnTimer(static_cast<int>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR PageHost::Notify(HWND window, const NMHDR& header) {
  LONG_PTR result = 0;
  switch (header.code) {
    case PSN_SETACTIVE:
      model_.OnSetActive();
      result = 0;  // accept the activation
      break;
    case PSN_KILLACTIVE:
      model_.OnKillActive();
      result = FALSE;  // let the page go
      break;
    case PSN_APPLY:
      // The sheet's Close: sent to every page that has been shown.
      model_.OnSheetOk();
      result = PSNRET_NOERROR;
      break;
    default:
      return FALSE;
  }
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace tarnwick::win32
