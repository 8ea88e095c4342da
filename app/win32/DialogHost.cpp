#include "app/win32/DialogHost.h"

#include <memory>

#include "app/win32/WideText.h"
#include "app/win32/Win32View.h"

namespace tarnwick::win32 {

namespace {

struct ModalContext {
  DialogModel* model;
  std::unique_ptr<Win32View> view;
};

INT_PTR CALLBACK ModalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<ModalContext*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    context->view = std::make_unique<Win32View>(window, Win32View::Kind::Dialog);
    context->model->Attach(context->view.get());
    context->model->OnInitDialog();
    return TRUE;  // the first tab stop takes the focus
  }
  auto* context = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!context) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return DialogHost::ForwardCommand(*context->model, wParam) ? TRUE : FALSE;
    case WM_TIMER:
      context->model->OnTimer(static_cast<int>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool DialogHost::ForwardCommand(DialogModel& model, WPARAM wParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  // Enter and Escape arrive with code 0 as well, as do accelerators.
  if (code != BN_CLICKED) return false;
  if (id == IDOK)
    model.OnOK();
  else if (id == IDCANCEL)
    model.OnCancel();
  else
    model.OnCommand(id);
  return true;
}

int DialogHost::Run(DialogModel& model, HWND owner) {
  ModalContext context{&model, nullptr};
  INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(model.TemplateId()), owner,
                                   ModalProc, reinterpret_cast<LPARAM>(&context));
  model.Attach(nullptr);
  return static_cast<int>(result);
}

}  // namespace tarnwick::win32
