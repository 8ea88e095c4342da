// Modal dialogs from their templates, and the fitting of labels that wrap with blank runs.
#include "win32/DialogHost.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "win32/ControlNames.h"
#include "win32/Dispatcher.h"
#include "win32/PictureIds.h"
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
    DialogHost::Prepare(window);
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

// An octet box is a few dialog units wider than three digits; the margins a scalable font
// gives an edit can leave less than that, so they shrink to what is left.
void FitDigitBox(HWND edit) {
  wchar_t name[16];
  if (!GetClassNameW(edit, name, 16) || lstrcmpiW(name, L"Edit") != 0 ||
      !(GetWindowLongW(edit, GWL_STYLE) & ES_NUMBER))
    return;
  RECT client{};
  GetClientRect(edit, &client);
  HDC dc = GetDC(edit);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
  SIZE digits{};
  GetTextExtentPoint32W(dc, L"255", 3, &digits);
  SelectObject(dc, oldFont);
  ReleaseDC(edit, dc);
  const DWORD margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
  const LONG room = client.right - LOWORD(margins) - HIWORD(margins);
  if (room >= digits.cx) return;
  const WORD each = static_cast<WORD>(std::max<LONG>(1, (client.right - digits.cx) / 2));
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(each, each));
}

constexpr UINT_PTR kPictureSubclass = 0x5043;  // "PC"

// The picture the control shows was made for it: it goes with the control.
LRESULT CALLBACK OwnedPictureProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR data) {
  if (message == WM_DESTROY) {
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(reinterpret_cast<HBITMAP>(data));
    RemoveWindowSubclass(control, OwnedPictureProc, kPictureSubclass);
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

// A picture keeps its place in dialog units whatever the screen's scale: it shows the
// rendering of its bitmap nearest above that size, scaled to fit exactly.
void FitPicture(HWND control) {
  wchar_t name[16];
  if (!GetClassNameW(control, name, 16) || lstrcmpiW(name, L"Static") != 0 ||
      (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
    return;
  const int id = GetDlgCtrlID(control);
  RECT box{};
  GetClientRect(control, &box);
  if (id <= 0 || box.right <= 0 || box.bottom <= 0) return;
  HBITMAP source = nullptr;
  BITMAP size{};
  for (int rendering : {id, id + PICTURE_150, id + PICTURE_200}) {
    auto loaded = static_cast<HBITMAP>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(rendering),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) continue;
    if (source) DeleteObject(source);
    source = loaded;
    GetObjectW(source, sizeof size, &size);
    if (size.bmWidth >= box.right) break;
  }
  if (!source) return;
  HBITMAP shown = source;
  if (size.bmWidth != box.right || size.bmHeight != box.bottom) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = box.right;
    info.bmiHeader.biHeight = box.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    shown = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (shown) {
      HGDIOBJ oldFrom = SelectObject(from, source);
      HGDIOBJ oldTo = SelectObject(to, shown);
      SetStretchBltMode(to, HALFTONE);
      SetBrushOrgEx(to, 0, 0, nullptr);
      StretchBlt(to, 0, 0, box.right, box.bottom, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
      SelectObject(from, oldFrom);
      SelectObject(to, oldTo);
    }
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(source);
    if (!shown) return;
  }
  // The control's own picture, loaded from the template, is given back here.
  if (auto old = reinterpret_cast<HBITMAP>(
          SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown))))
    DeleteObject(old);
  SetWindowSubclass(control, OwnedPictureProc, kPictureSubclass,
                    reinterpret_cast<DWORD_PTR>(shown));
}

}  // namespace

void DialogHost::FitWrappedLabels(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (WrapsWords(child)) FitWrappedLabel(child);
}

void DialogHost::Prepare(HWND dialog) {
  FitWrappedLabels(dialog);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    FitDigitBox(child);
    FitPicture(child);
  }
  NameControls(dialog);
}

int DialogHost::Run(DialogModel& model, HWND owner) {
  ModalContext context(model);
  INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(model.TemplateId()), owner,
                                   ModalProc, reinterpret_cast<LPARAM>(&context));
  model.Attach(nullptr);
  return static_cast<int>(result);
}

}  // namespace tarnwick::win32
