// Modal dialogs from their templates, and the fitting of labels that wrap with blank runs.
#include "win32/DialogHost.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "win32/Dispatcher.h"
#include "win32/WideText.h"
#include "win32/Win32View.h"

namespace tarnwick::win32 {

namespace {

struct ModalContext {
  explicit ModalContext(DialogModel& m) : model(m), dispatcher(m, Dispatcher::Host::Dialog) {}
  DialogModel& model;
  Dispatcher dispatcher;
  std::unique_ptr<Win32View> view;
};

INT_PTR CALLBACK ModalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<ModalContext*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    context->view =
        std::make_unique<Win32View>(window, Win32View::Kind::Dialog, &context->dispatcher);
    DialogHost::FitWrappedLabels(window);
    context->model.Attach(context->view.get());
    context->model.OnInitDialog();
    return TRUE;  // the first tab stop takes the focus
  }
  auto* context = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!context) return FALSE;
  return context->dispatcher.Handle(window, message, wParam, lParam) ? TRUE : FALSE;
}

bool WrapsWords(HWND control) {
  wchar_t name[16];
  if (!GetClassNameW(control, name, 16) || lstrcmpiW(name, L"Static") != 0) return false;
  LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
}

LONG Extent(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// Greedy word wrap in which the blanks before the word that starts a line are dropped and
// never count towards the width of the line they follow.
std::vector<std::wstring> WrapWithHangingBlanks(HDC dc, const std::wstring& text, LONG width) {
  std::vector<std::wstring> lines;
  std::wstring line;
  bool lineHasWord = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t wordStart = text.find_first_not_of(L' ', pos);
    if (wordStart == std::wstring::npos) break;  // trailing blanks hang as well
    size_t wordEnd = std::min(text.find(L' ', wordStart), text.size());
    std::wstring word = text.substr(wordStart, wordEnd - wordStart);
    std::wstring joined = line + text.substr(pos, wordStart - pos) + word;
    if (lineHasWord && Extent(dc, joined) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = joined;
    }
    lineHasWord = true;
    pos = wordEnd;
  }
  if (lineHasWord) lines.push_back(line);
  return lines;
}

void FitWrappedLabel(HWND label) {
  int length = GetWindowTextLengthW(label);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), length + 1)));
  // Only the blank runs are at stake; breaks, tabs and mnemonics are left to the control.
  if (text.find(L"  ") == std::wstring::npos ||
      text.find_first_of(L"\r\n\t&") != std::wstring::npos)
    return;
  RECT client{};
  GetClientRect(label, &client);
  HDC dc = GetDC(label);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  std::vector<std::wstring> lines = WrapWithHangingBlanks(dc, text, client.right);
  RECT drawn{0, 0, client.right, 0};
  DrawTextW(dc, text.c_str(), -1, &drawn, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  ReleaseDC(label, dc);
  if (metrics.tmHeight <= 0 || drawn.bottom / metrics.tmHeight <= static_cast<LONG>(lines.size()))
    return;
  std::wstring broken;
  for (const std::wstring& line : lines) broken += (broken.empty() ? L"" : L"\r\n") + line;
  SetWindowTextW(label, broken.c_str());
}

}  // namespace

void DialogHost::FitWrappedLabels(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (WrapsWords(child)) FitWrappedLabel(child);
}

int DialogHost::Run(DialogModel& model, HWND owner) {
  ModalContext context(model);
  INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(model.TemplateId()), owner,
                                   ModalProc, reinterpret_cast<LPARAM>(&context));
  model.Attach(nullptr);
  return static_cast<int>(result);
}

}  // namespace tarnwick::win32
