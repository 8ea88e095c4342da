// The plot window: GDI painting of a drawing, double-buffered, in the system's font and colours.
#include "win32/PlotWindow.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "win32/ControlNames.h"
#include "win32/PlotWindowIds.h"
#include "win32/WideText.h"

namespace tarnwick::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TarnwickPlotWindow";
// Sizes at 96 dpi.
constexpr int kMargin = 8;
constexpr int kRowHeight = 23;
constexpr int kButtonWidth = 90;
constexpr int kComboWidth = 120;
constexpr int kWidth = 680;
constexpr int kHeight = 460;
// Room for the legend and the top row whole.
constexpr int kMinWidth = 560;
constexpr int kMinHeight = 320;

COLORREF Blend(COLORREF a, COLORREF b, int percentOfB) {
  auto mix = [&](int x, int y) { return (x * (100 - percentOfB) + y * percentOfB) / 100; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}

struct InkStyle {
  COLORREF colour;
  float width;  // at 96 dpi
  bool dashed;
};

// The neutral parts follow the system's colours; the series keep their hues everywhere.
InkStyle StyleOf(Ink ink) {
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  switch (ink) {
    case Ink::Text:
      return {GetSysColor(COLOR_BTNTEXT), 1, false};
    case Ink::Axis:
      return {GetSysColor(COLOR_3DDKSHADOW), 1, false};
    case Ink::Grid:
      return {Blend(window, shadow, 35), 1, false};
    case Ink::PlotArea:
      return {window, 1, false};
    case Ink::Downstream:
      return {RGB(31, 95, 191), 1.5f, false};
    case Ink::Upstream:
      return {RGB(217, 115, 13), 1.5f, false};
    case Ink::LinkLost:
      return {RGB(198, 40, 40), 1.5f, true};
    case Ink::Retrain:
      return {RGB(46, 125, 50), 1.5f, true};
    case Ink::IdleBand:
      return {Blend(window, shadow, 25), 1, false};
    case Ink::TimeoutBand:
      return {RGB(250, 227, 180), 1, false};
  }
  return {RGB(0, 0, 0), 1, false};
}

int Round(float v) { return static_cast<int>(std::lround(v)); }

struct GdiDeleter {
  void operator()(HGDIOBJ object) const {
    if (object) DeleteObject(object);
  }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

HPEN MakePen(const InkStyle& style, float scale) {
  LOGBRUSH brush{BS_SOLID, style.colour, 0};
  const DWORD width = static_cast<DWORD>(std::max(1, Round(style.width * scale)));
  const DWORD dash[] = {static_cast<DWORD>(5 * scale), static_cast<DWORD>(3 * scale)};
  if (style.dashed)
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, width, &brush, 2, dash);
  return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, width, &brush, 0,
                      nullptr);
}

struct WindowState {
  PlotSource* source = nullptr;
  HWND summary = nullptr;
  HWND spanLabel = nullptr;
  HWND span = nullptr;
  HWND exportButton = nullptr;
  HFONT font = nullptr;
  float scale = 1;
  std::vector<PlotSource::Span> spans;
  Millis shownSpan = 0;
  RECT plot{};
  HWND lastFocus = nullptr;  // given back when the window is activated again

  ~WindowState() {
    if (font) DeleteObject(font);
  }
  int Px(int size) const { return Round(static_cast<float>(size) * scale); }
};

WindowState* StateOf(HWND window) {
  return reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Minutes east of UTC now, daylight saving included.
int UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return -static_cast<int>(bias);
}

HFONT MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return CreateFontIndirectW(&metrics.lfMessageFont);
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ShowSummary(HWND window, WindowState& state) {
  SetWindowTextW(state.summary, Widen(state.source->Summary(UtcOffsetMinutes())).c_str());
  InvalidateRect(window, &state.plot, FALSE);
}

void Layout(HWND window, WindowState& state) {
  RECT client{};
  GetClientRect(window, &client);
  const int m = state.Px(kMargin);
  const int row = state.Px(kRowHeight);
  const int button = state.Px(kButtonWidth);
  const int combo = state.Px(kComboWidth);
  int right = client.right - m;
  MoveWindow(state.exportButton, right - button, m, button, row, TRUE);
  right -= button + m;
  // The drop-down's height includes its list.
  MoveWindow(state.span, right - combo, m, combo, row * 8, TRUE);
  right -= combo + state.Px(4);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, state.font);
  SIZE label{};
  GetTextExtentPoint32W(dc, L"Show:", 5, &label);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  MoveWindow(state.spanLabel, right - label.cx, m + (row - metrics.tmHeight) / 2, label.cx,
             metrics.tmHeight, TRUE);
  right -= label.cx + m;
  MoveWindow(state.summary, m, m + (row - metrics.tmHeight) / 2, std::max(0, right - m),
             metrics.tmHeight, TRUE);
  state.plot = {m, m + row + m, std::max<LONG>(m, client.right - m),
                std::max<LONG>(m + row + m, client.bottom - m)};
  InvalidateRect(window, nullptr, TRUE);
}

void Paint(HWND window, WindowState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client{};
  GetClientRect(window, &client);
  const int width = std::max<LONG>(client.right, 1);
  const int height = std::max<LONG>(client.bottom, 1);
  // Drawn off screen and copied at once: no flicker as samples arrive or the window sizes.
  HDC buffer = CreateCompatibleDC(dc);
  GdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
  HGDIOBJ oldBitmap = SelectObject(buffer, bitmap.get());
  FillRect(buffer, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(buffer, state.font);

  TEXTMETRICW metrics{};
  GetTextMetricsW(buffer, &metrics);
  Canvas canvas;
  canvas.width = static_cast<float>(state.plot.right - state.plot.left);
  canvas.height = static_cast<float>(state.plot.bottom - state.plot.top);
  canvas.scale = state.scale;
  canvas.lineHeight = static_cast<float>(metrics.tmHeight + metrics.tmExternalLeading);
  canvas.textWidth = [buffer](const std::string& text) {
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(buffer, wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<float>(size.cx);
  };
  const Drawing drawing = state.source->Draw(canvas, state.shownSpan, UtcOffsetMinutes());
  PaintDrawing(buffer, drawing, state.plot.left, state.plot.top, state.scale);

  BitBlt(dc, 0, 0, width, height, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, oldFont);
  SelectObject(buffer, oldBitmap);
  DeleteDC(buffer);
  EndPaint(window, &paint);
}

void ExportCsv(HWND window, WindowState& state) {
  std::wstring file = Widen(state.source->CsvFileName());
  file.resize(MAX_PATH * 4, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFilter = L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = L"Export CSV";
  dialog.lpstrDefExt = L"csv";
  // The working directory is where Load Default Configuration finds its file: keep it.
  dialog.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) return;
  file.resize(wcslen(file.c_str()));

  const std::string csv = state.source->Csv();
  HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  bool written = out != INVALID_HANDLE_VALUE;
  for (std::size_t at = 0; written && at < csv.size();) {
    DWORD done = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(csv.size() - at, 1u << 20));
    written = WriteFile(out, csv.data() + at, chunk, &done, nullptr) && done > 0;
    at += done;
  }
  if (out != INVALID_HANDLE_VALUE && !CloseHandle(out)) written = false;
  if (!written)
    MessageBoxW(window, (L"Unable to write " + file).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

// The sheet runs its own modal loop, which gives the dialog keys (Tab, Shift+Tab, Enter, Escape)
// to the sheet alone. A hook on that loop gives them their dialog meaning in this window too.
HHOOK keyboardHook = nullptr;
int windowsHooked = 0;

bool IsPlotWindow(HWND window) {
  wchar_t name[64] = {};
  return window && GetClassNameW(window, name, 64) && lstrcmpW(name, kClassName) == 0;
}

LRESULT CALLBACK DialogKeys(int code, WPARAM removed, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST) {
    HWND top = GetAncestor(msg->hwnd, GA_ROOT);
    if (IsPlotWindow(top) && IsDialogMessageW(top, msg)) {
      msg->message = WM_NULL;  // handled: the loop must not act on it again
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return CallNextHookEx(keyboardHook, code, removed, lParam);
}

void HookDialogKeys() {
  if (windowsHooked++ == 0)
    keyboardHook = SetWindowsHookExW(WH_GETMESSAGE, DialogKeys, nullptr, GetCurrentThreadId());
}

void UnhookDialogKeys() {
  if (--windowsHooked == 0 && keyboardHook) {
    UnhookWindowsHookEx(keyboardHook);
    keyboardHook = nullptr;
  }
}

HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
               HFONT font) {
  HWND child =
      CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

void Create(HWND window, WindowState& state) {
  HDC screen = GetDC(nullptr);
  state.scale = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY)) / 96.0f;
  ReleaseDC(nullptr, screen);
  state.font = MessageFont();
  state.summary = MakeChild(window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                            IDC_PLOT_SUMMARY, state.font);
  state.spanLabel =
      MakeChild(window, L"STATIC", L"&Show:", SS_RIGHT, IDC_PLOT_SPAN_LABEL, state.font);
  state.span = MakeChild(window, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                         IDC_PLOT_SPAN, state.font);
  state.exportButton = MakeChild(window, L"BUTTON", L"&Export CSV...", BS_PUSHBUTTON | WS_TABSTOP,
                                 IDC_PLOT_EXPORT, state.font);
  state.spans = state.source->Spans();
  for (const auto& span : state.spans)
    SendMessageW(state.span, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(span.label).c_str()));
  SendMessageW(state.span, CB_SETCURSEL, 0, 0);
  state.shownSpan = state.spans.empty() ? 0 : state.spans.front().length;
  Layout(window, state);
  NameControls(window);
  ShowSummary(window, state);
  HookDialogKeys();
  state.source->Watch([window] {
    if (WindowState* s = StateOf(window)) ShowSummary(window, *s);
  });
}

LRESULT CALLBACK PlotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* state = new WindowState;
    state->source = static_cast<PlotSource*>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  WindowState* state = StateOf(window);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      Create(window, *state);
      return 0;
    case WM_SIZE:
      Layout(window, *state);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {state->Px(kMinWidth), state->Px(kMinHeight)};
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // Paint covers everything
    case WM_PAINT:
      Paint(window, *state);
      return 0;
    case WM_CTLCOLORSTATIC:
      // The labels sit on the window's face, like a dialog's.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) state->lastFocus = focus;
      } else {
        SetFocus(state->lastFocus && IsWindow(state->lastFocus) ? state->lastFocus : state->span);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {  // Escape, as in a dialog
        DestroyWindow(window);
        return 0;
      }
      // Enter: with no default button the dialog keys send IDOK; it means the focused button.
      if (LOWORD(wParam) == IDOK && GetFocus() == state->exportButton) {
        ExportCsv(window, *state);
        return 0;
      }
      if (LOWORD(wParam) == IDC_PLOT_EXPORT && HIWORD(wParam) == BN_CLICKED) {
        ExportCsv(window, *state);
        return 0;
      }
      if (LOWORD(wParam) == IDC_PLOT_SPAN && HIWORD(wParam) == CBN_SELCHANGE) {
        const auto chosen = SendMessageW(state->span, CB_GETCURSEL, 0, 0);
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < state->spans.size())
          state->shownSpan = state->spans[static_cast<std::size_t>(chosen)].length;
        InvalidateRect(window, &state->plot, FALSE);
        return 0;
      }
      break;
    case WM_DESTROY:
      state->source->Watch({});
      UnhookDialogKeys();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete state;
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterPlotClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(ModuleInstance(), kClassName, &wc)) return true;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlotProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

struct Search {
  PlotSource* source;
  HWND found;
};

BOOL CALLBACK FindPlot(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!IsPlotWindow(window)) return TRUE;
  const WindowState* state = StateOf(window);
  if (!state || state->source != search->source) return TRUE;
  search->found = window;
  return FALSE;
}

// Right of the owner if there is room on its monitor, else left of it, else over it.
POINT BesideOwner(HWND owner, int width, int height, float scale) {
  RECT o{};
  GetWindowRect(owner, &o);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info))
    area = info.rcWork;
  const int gap = Round(4 * scale);
  int x = o.right + gap;
  if (x + width > area.right) x = o.left - gap - width;
  if (x < area.left) x = std::max<LONG>(area.left, area.right - width);
  const int y = std::clamp<LONG>(o.top, area.top, std::max<LONG>(area.top, area.bottom - height));
  return {x, y};
}

}  // namespace

void PaintDrawing(HDC dc, const Drawing& drawing, int x, int y, float scale) {
  auto at = [&](Point p) { return POINT{x + Round(p.x), y + Round(p.y)}; };
  for (const auto& r : drawing.rects) {
    RECT rect{x + Round(r.left), y + Round(r.top), x + Round(r.right), y + Round(r.bottom)};
    GdiObject brush(CreateSolidBrush(StyleOf(r.ink).colour));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
  }

  // One pen per ink, made when first needed.
  GdiObject pens[kInkCount];
  HGDIOBJ oldPen = nullptr;
  std::vector<POINT> points;
  for (const auto& path : drawing.paths) {
    if (path.points.empty()) continue;
    const auto which = static_cast<int>(path.ink);
    const InkStyle style = StyleOf(path.ink);
    if (!pens[which]) pens[which].reset(MakePen(style, scale));
    HGDIOBJ previous = SelectObject(dc, pens[which].get());
    if (!oldPen) oldPen = previous;
    if (path.points.size() == 1) {
      // A lone sample between gaps: a dot the size of the line.
      const POINT p = at(path.points[0]);
      const int r = std::max(1, Round(style.width * scale));
      GdiObject brush(CreateSolidBrush(style.colour));
      RECT dot{p.x - r, p.y - r, p.x + r + 1, p.y + r + 1};
      FillRect(dc, &dot, static_cast<HBRUSH>(brush.get()));
      continue;
    }
    points.clear();
    for (const Point& p : path.points) points.push_back(at(p));
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  if (oldPen) SelectObject(dc, oldPen);

  SetBkMode(dc, TRANSPARENT);
  for (const auto& label : drawing.labels) {
    SetTextColor(dc, StyleOf(label.ink).colour);
    UINT align = TA_TOP | TA_NOUPDATECP;
    if (label.align == Drawing::Align::Start) align |= TA_LEFT;
    if (label.align == Drawing::Align::Middle) align |= TA_CENTER;
    if (label.align == Drawing::Align::End) align |= TA_RIGHT;
    SetTextAlign(dc, align);
    const std::wstring text = Widen(label.text);
    const POINT p = at(label.at);
    TextOutW(dc, p.x, p.y, text.c_str(), static_cast<int>(text.size()));
  }
}

void ShowPlotWindow(HWND owner, PlotSource& source) {
  Search search{&source, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindPlot, reinterpret_cast<LPARAM>(&search));
  if (search.found) {
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    SetForegroundWindow(search.found);
    return;
  }
  if (!RegisterPlotClass()) return;
  HDC screen = GetDC(nullptr);
  const float scale = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY)) / 96.0f;
  ReleaseDC(nullptr, screen);
  const int width = Round(kWidth * scale);
  const int height = Round(kHeight * scale);
  const POINT place = BesideOwner(owner, width, height, scale);
  HWND window = CreateWindowExW(0, kClassName, Widen(source.Title()).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.x, place.y, width,
                                height, owner, nullptr, ModuleInstance(), &source);
  if (!window) return;
  // The owner's icon on the title bar, so the window reads as part of the program.
  for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
    if (LRESULT icon = SendMessageW(owner, WM_GETICON, size, 0))
      SendMessageW(window, WM_SETICON, size, icon);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
}

}  // namespace tarnwick::win32
