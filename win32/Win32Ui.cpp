// Message boxes, the Possible Errors dialog, the modeless Wait box and the paint pump.
#include "win32/Win32Ui.h"

#include <commctrl.h>

#include "ui/DialogModel.h"
#include "ui/WaitIds.h"
#include "win32/DialogHost.h"
#include "win32/PossibleErrorsIds.h"
#include "win32/WideText.h"

namespace tarnwick::win32 {

namespace {

// Possible Errors has no logic: OK, Escape and the close box end it.
class PossibleErrorsDialog final : public DialogModel {
 public:
  int TemplateId() const override { return IDD_POSSIBLE_ERRORS; }
};

INT_PTR CALLBACK WaitProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class Win32Wait final : public WaitWindow {
 public:
  explicit Win32Wait(HWND window) : window_(window) {}
  ~Win32Wait() override {
    if (window_) DestroyWindow(window_);
  }
  void SetProgress(int position) override {
    SendDlgItemMessageW(window_, IDC_WAIT_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  void Repaint() override {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

 private:
  HWND window_;
};

void CentreOnScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info))
    area = info.rcMonitor;
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::string ApplicationName() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n);
  std::size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  std::size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return Narrow(name);
}

Answer Win32Ui::Message(WindowRef owner, const std::string& text, const std::string& caption,
                        Buttons buttons) {
  std::wstring title = Widen(caption.empty() ? ApplicationName() : caption);
  UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  int answer = MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), title.c_str(), type);
  if (buttons == Buttons::Ok) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

void Win32Ui::ShowPossibleErrors() {
  PossibleErrorsDialog dialog;
  DialogHost::Run(dialog, nullptr);
}

std::unique_ptr<WaitWindow> Win32Ui::OpenWait(const std::string& text) {
  HWND window =
      CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_WAIT), nullptr, WaitProc, 0);
  if (!window) return nullptr;
  CentreOnScreen(window);
  SendDlgItemMessageW(window, IDC_WAIT_PROGRESS, PBM_SETRANGE32, 0, 200);
  SendDlgItemMessageW(window, IDC_WAIT_PROGRESS, PBM_SETSTEP, 20, 0);
  SendDlgItemMessageW(window, IDC_WAIT_PROGRESS, PBM_SETPOS, 0, 0);
  if (!text.empty()) SetDlgItemTextW(window, IDC_WAIT_TEXT, Widen(text).c_str());
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return std::make_unique<Win32Wait>(window);
}

void Win32Ui::Trace(const std::string& line) {
  std::string out = line;
  if (out.empty() || out.back() != '\n') out += '\n';
  OutputDebugStringA(out.c_str());
}

void Win32Ui::PumpPaint() {
  // Paint only: input, timers and commands wait until the socket operation is over. The
  // bound keeps a window that never validates itself from holding the caller here.
  MSG msg;
  for (int i = 0; i < 256 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
    DispatchMessageW(&msg);
}

}  // namespace tarnwick::win32
