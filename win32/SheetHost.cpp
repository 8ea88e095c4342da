// The main property sheet: pages, title, icon, system menu.
#include "win32/SheetHost.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "win32/PageHost.h"
#include "win32/WideText.h"
#include "win32/Win32View.h"

namespace tarnwick::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;

struct SheetContext {
  SheetModel* sheet;
  HICON icon;
  HICON smallIcon;
  std::unique_ptr<Win32View> view;
  HWND window = nullptr;
};

// The sheet callback carries no user data; this is only set while PropertySheet creates
// the window on this thread.
thread_local SheetContext* creating = nullptr;
// The sheet whose keys the hook below serves, while it runs.
thread_local SheetContext* running = nullptr;
thread_local HHOOK pageKeysHook = nullptr;

// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp show the next or previous page. Windows'
// own sheet loop does this, Wine's does not; the key is taken here before either loop sees it,
// so the page changes once everywhere.
LRESULT CALLBACK PageKeys(int code, WPARAM removed, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  SheetContext* context = running;
  if (code == HC_ACTION && removed == PM_REMOVE && context && context->window &&
      msg->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
      !(GetKeyState(VK_MENU) & 0x8000) && GetAncestor(msg->hwnd, GA_ROOT) == context->window &&
      IsWindowEnabled(context->window)) {
    int step = 0;
    if (msg->wParam == VK_TAB) step = (GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    if (msg->wParam == VK_NEXT) step = 1;
    if (msg->wParam == VK_PRIOR) step = -1;
    const int count = static_cast<int>(context->sheet->Pages().size());
    const HWND shown = PropSheet_GetCurrentPageHwnd(context->window);
    if (step != 0 && count > 0 && shown) {
      const int index = PropSheet_HwndToIndex(context->window, shown);
      PropSheet_SetCurSel(context->window, nullptr, (index + step + count) % count);
      msg->message = WM_NULL;  // handled: no loop acts on it again
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return CallNextHookEx(pageKeysHook, code, removed, lParam);
}

void AddSystemMenu(HWND window, const SheetModel& sheet) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) return;
  for (const auto& entry : sheet.SystemMenu()) {
    wchar_t text[256] = {};
    if (LoadStringW(ModuleInstance(), static_cast<UINT>(entry.stringId), text, 256) <= 0 ||
        text[0] == L'\0')
      continue;
    if (entry.separate) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, entry.command, text);
  }
}

// Close, Enter, Escape and the close box all end the sheet as Close does, so that the shown
// page can object first and General saves what changed.
void RequestClose(HWND window, SheetContext& context) {
  const HWND shown = PropSheet_GetCurrentPageHwnd(window);
  const int index = shown ? PropSheet_HwndToIndex(window, shown) : -1;
  const std::vector<Page*> pages = context.sheet->Pages();
  if (index >= 0 && index < static_cast<int>(pages.size()) &&
      !context.sheet->MayClose(*pages[static_cast<std::size_t>(index)]))
    return;
  EndSheet(window, true);
}

// Enter on a page's own focused button reaches the sheet as that button's command: it is the
// page's. Any other Enter or Escape is the sheet's, whatever control the dialog manager names
// (it may name a button 1 or 2 of a page, even of one not shown).
bool OwnButtonOfPage(HWND window, LPARAM lParam) {
  const auto control = reinterpret_cast<HWND>(lParam);
  return control && control == GetFocus() && GetParent(control) != window &&
         IsChild(window, control);
}

LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
  auto* context = reinterpret_cast<SheetContext*>(data);
  const bool ending = Ending(window);
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && !ending) {
        RequestClose(window, *context);
        return 0;
      }
      if (context->sheet->OnSysCommand(static_cast<unsigned>(wParam))) return 0;
      break;
    case WM_CLOSE:
      if (ending) break;
      RequestClose(window, *context);
      return 0;
    case WM_COMMAND:
      if (ending || HIWORD(wParam) != BN_CLICKED) break;
      if (OwnButtonOfPage(window, lParam)) {
        SendMessageW(GetParent(reinterpret_cast<HWND>(lParam)), message, wParam, lParam);
        return 0;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        RequestClose(window, *context);
        return 0;
      }
      break;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(context->icon);
    case WM_TIMER:
      context->sheet->OnTimer(static_cast<int>(wParam));
      return 0;
    case WM_NCDESTROY:
      RemovePropW(window, kSheetEndingProperty);
      RemoveWindowSubclass(window, SheetProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND window, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED || !creating) return 0;
  SheetContext* context = creating;
  context->window = window;
  context->view = std::make_unique<Win32View>(window, Win32View::Kind::Sheet);
  context->sheet->Attach(context->view.get());
  AddSystemMenu(window, *context->sheet);
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(context->icon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(context->smallIcon));
  SetWindowSubclass(window, SheetProc, kSubclassId, reinterpret_cast<DWORD_PTR>(context));
  context->sheet->OnInitDialog();
  return 0;
}

}  // namespace

int SheetHost::Run(SheetModel& sheet) {
  HINSTANCE instance = ModuleInstance();
  SheetContext context{&sheet, nullptr, nullptr, nullptr};
  context.icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(sheet.IconId()),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  context.smallIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(sheet.IconId()), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));

  std::vector<std::unique_ptr<PageHost>> hosts;
  std::vector<PROPSHEETPAGEW> pages;
  for (Page* page : sheet.Pages()) {
    hosts.push_back(std::make_unique<PageHost>(*page));
    pages.push_back(hosts.back()->Description());
  }

  std::wstring title = Widen(sheet.Caption());
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags =
      PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USEHICON | PSH_NOCONTEXTHELP | PSH_USECALLBACK;
  header.hwndParent = nullptr;
  header.hInstance = instance;
  header.hIcon = context.icon;
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = pages.data();
  header.pfnCallback = SheetCallback;

  creating = &context;
  running = &context;
  pageKeysHook = SetWindowsHookExW(WH_GETMESSAGE, PageKeys, nullptr, GetCurrentThreadId());
  INT_PTR result = PropertySheetW(&header);
  if (pageKeysHook) UnhookWindowsHookEx(pageKeysHook);
  pageKeysHook = nullptr;
  running = nullptr;
  creating = nullptr;

  sheet.Attach(nullptr);
  hosts.clear();
  if (context.icon) DestroyIcon(context.icon);
  if (context.smallIcon) DestroyIcon(context.smallIcon);
  return static_cast<int>(result);
}

}  // namespace tarnwick::win32
