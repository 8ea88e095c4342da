// Property pages: their creation, the sheet's notifications, and the shared dispatcher.
#include "win32/PageHost.h"

#include "win32/DialogHost.h"
#include "win32/WideText.h"

namespace tarnwick::win32 {

PageHost::PageHost(Page& model)
    : model_(model), dispatcher_(model, Dispatcher::Host::Page), caption_(Widen(model.Caption())) {}

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
    DialogHost::Prepare(window);
    self->view_ = std::make_unique<Win32View>(window, Win32View::Kind::Page, &self->dispatcher_);
    self->model_.Attach(self->view_.get());
    self->model_.OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<PageHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NOTIFY) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.code >= PSN_LAST && header.code <= PSN_FIRST) return self->Notify(window, header);
  }
  return self->dispatcher_.Handle(window, message, wParam, lParam) ? TRUE : FALSE;
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
