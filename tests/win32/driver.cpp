// Works Tarnwick's windows from outside, by title, control identifier and tab label, for the
// end-to-end tests and the screenshots. Commands run in order; each prints what it
// reads. Any failure prints "driver: ..." to stderr and exits with 1.
//
//   desktop NAME                work on the windows of that desktop (wine explorer /desktop=NAME)
//   timeout MS                  how long the waits below wait (default 20000)
//   wait-window TITLE           wait for a visible top-level window; it becomes current
//   wait-gone TITLE             wait until no visible window has that title
//   set-text ID TEXT            set a control's text in the current window
//   read-text ID                print a control's text
//   read-enabled ID             print 1 or 0
//   press ID                    click a button of the current window
//   click ID                    click a check box or radio button (it changes as under the mouse)
//   read-checked ID             print 1 or 0
//   read-message                wait for a message box, make it current, print its text
//   read-caption                print the current window's title
//   read-rect                   print the current window's screen rectangle: X Y WIDTH HEIGHT
//   press-message-button        press the message box's OK (or its first button)
//   answer-message ID           press button ID (6 Yes, 7 No) of the message box
//   syscommand ID               send a system command (0x10, 0x20, ...) to the current window
//   read-tabs                   print the current property sheet's tab labels, one a line
//   select-tab LABEL            show the page of the current property sheet with that tab label
//   wait-page LABEL             wait until the current sheet shows that page; the page
//                               becomes current, so that its own buttons 1 and 2 can be pressed
//   read-rows ID                print every row of a list view, columns separated by tabs
//   wait-row ID TEXT            wait for a list view row with a column that is TEXT; print it
//   wait-no-row ID TEXT         wait until no row has a column that is TEXT
//   select-row ID TEXT          wait-row, then make that row the only selected one
//   wait-text ID TEXT           wait until a control shows TEXT
//   wait-enabled ID 0|1         wait until a control is disabled (0) or enabled (1)
//   focus ID                    move the keyboard focus to a control, as the Tab key would
//   wait-focus ID               wait until a control of the current window has the focus
//   read-selection ID           print an edit's selection: START END
//   close                       the current window's close box
//   key KEYS                    type keys into the current window as the keyboard would, e.g.
//                               escape, enter, ctrl+tab, ctrl+shift+tab, ctrl+pgdn, alt+l
//   read-focus                  print the id of the control that has the keyboard focus
//   resize WIDTH HEIGHT         give the current window this outer size, as a drag would
//   screenshot-ready            wait until the current window's thread is idle
//   sleep MS
//   dump                        list every window (for debugging)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

DWORD g_timeout = 20000;
HWND g_current = nullptr;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "driver: %s\n", what.c_str());
  std::exit(1);
}

std::wstring Widen(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// Cross-process WM_GETTEXT, bounded so that a busy target cannot hang the driver.
std::string TextOf(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 5000, &got))
    return {};
  return Narrow(std::wstring(buffer, got));
}

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return Narrow(name);
}

bool Foreign(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid != GetCurrentProcessId();
}

std::vector<HWND> TopLevel() {
  std::vector<HWND> out;
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        if (IsWindowVisible(w) && Foreign(w)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND WaitFor(const std::function<HWND()>& find, const std::string& what) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = find()) return w;
    if (GetTickCount() - start > g_timeout) Fail("timed out waiting for " + what);
    Sleep(50);
  }
}

HWND WindowTitled(const std::string& title) {
  for (HWND w : TopLevel())
    if (TextOf(w) == title) return w;
  return nullptr;
}

// A message box: a dialog whose buttons are only the standard answers and that holds
// a text but no edit, list or other control of ours.
bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770") return false;
  bool hasButton = false;
  for (HWND c : Children(window)) {
    if (!IsWindowVisible(c)) continue;
    int id = GetDlgCtrlID(c);
    std::string cls = ClassOf(c);
    if (cls == "Button") {
      if (id < IDOK || id > IDNO) return false;
      hasButton = true;
    } else if (cls != "Static") {
      return false;
    }
  }
  return hasButton;
}

std::string MessageText(HWND box) {
  // The longest static is the message; the others are the icon.
  std::string best;
  for (HWND c : Children(box)) {
    if (ClassOf(c) != "Static") continue;
    std::string t = TextOf(c);
    if (t.size() > best.size()) best = t;
  }
  return best;
}

HWND Current() {
  if (!g_current || !IsWindow(g_current)) Fail("no current window");
  return g_current;
}

// Direct children first (the sheet's own buttons), then the controls of its pages.
HWND Control(int id) {
  HWND parent = Current();
  if (HWND c = GetDlgItem(parent, id)) return c;
  for (HWND c : Children(parent))
    if (GetDlgCtrlID(c) == id && IsWindowVisible(c)) return c;
  Fail("no control " + std::to_string(id) + " in \"" + TextOf(parent) + "\"");
}

void Press(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  HWND target = button ? GetParent(button) : window;
  // Posted: the handler may run a modal loop of its own.
  PostMessageW(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// List view and tab messages carry pointers, which do not cross processes: the item and its
// text live in memory allocated inside the program that owns the control.
template <typename Item>
class RemoteItem {
 public:
  static constexpr int kTextChars = 512;

  explicit RemoteItem(HWND control) {
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_) Fail("cannot open the control's process");
    base_ = static_cast<std::byte*>(
        VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!base_) Fail("cannot allocate memory in the control's process");
  }
  ~RemoteItem() {
    VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  RemoteItem(const RemoteItem&) = delete;
  RemoteItem& operator=(const RemoteItem&) = delete;

  // Copies the item in, pointing its text at the remote text buffer; returns the remote item.
  LPARAM Put(Item item) {
    item.pszText = reinterpret_cast<wchar_t*>(base_ + sizeof(Item));
    item.cchTextMax = kTextChars;
    if (!WriteProcessMemory(process_, base_, &item, sizeof item, nullptr))
      Fail("cannot write the control's item");
    return reinterpret_cast<LPARAM>(base_);
  }
  std::string Text() {
    wchar_t text[kTextChars + 1] = {};
    if (!ReadProcessMemory(process_, base_ + sizeof(Item), text, kTextChars * sizeof(wchar_t),
                           nullptr))
      Fail("cannot read the control's item text");
    return Narrow(text);
  }

 private:
  static constexpr std::size_t kSize = sizeof(Item) + (kTextChars + 1) * sizeof(wchar_t);
  HANDLE process_ = nullptr;
  std::byte* base_ = nullptr;
};

LRESULT Ask(HWND window, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &r))
    Fail("no answer from window \"" + TextOf(window) + "\"");
  return static_cast<LRESULT>(r);
}

using Row = std::vector<std::string>;

std::vector<Row> Rows(HWND list) {
  int columns = 1;
  if (HWND header = reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER, 0, 0)))
    columns = std::max(1, static_cast<int>(Ask(header, HDM_GETITEMCOUNT, 0, 0)));
  RemoteItem<LVITEMW> remote(list);
  std::vector<Row> rows;
  int count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < count; ++r) {
    Row row;
    for (int c = 0; c < columns; ++c) {
      LVITEMW item{};
      item.iSubItem = c;
      Ask(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), remote.Put(item));
      row.push_back(remote.Text());
    }
    rows.push_back(row);
  }
  return rows;
}

std::string Joined(const Row& row) {
  std::string out;
  for (std::size_t c = 0; c < row.size(); ++c) out += (c ? "\t" : "") + row[c];
  return out;
}

std::optional<int> RowWith(const std::vector<Row>& rows, const std::string& text) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (const std::string& cell : rows[r])
      if (cell == text) return static_cast<int>(r);
  return std::nullopt;
}

// The row index is looked up again right before selecting: a refresh may have refilled the list.
int WaitRow(HWND list, const std::string& text, Row* found) {
  int index = -1;
  WaitFor(
      [&]() -> HWND {
        std::vector<Row> rows = Rows(list);
        std::optional<int> r = RowWith(rows, text);
        if (!r) return nullptr;
        index = *r;
        if (found) *found = rows[static_cast<std::size_t>(*r)];
        return list;
      },
      "a row with \"" + text + "\"");
  return index;
}

void SelectOnly(HWND list, int row) {
  RemoteItem<LVITEMW> remote(list);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  Ask(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), remote.Put(item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Ask(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Put(item));
}

std::vector<std::string> TabLabels(HWND sheet) {
  HWND tabs = reinterpret_cast<HWND>(Ask(sheet, PSM_GETTABCONTROL, 0, 0));
  if (!tabs) Fail("\"" + TextOf(sheet) + "\" is not a property sheet");
  RemoteItem<TCITEMW> remote(tabs);
  std::vector<std::string> labels;
  int count = static_cast<int>(Ask(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int t = 0; t < count; ++t) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    Ask(tabs, TCM_GETITEMW, static_cast<WPARAM>(t), remote.Put(item));
    labels.push_back(remote.Text());
  }
  return labels;
}

// The sheet's pages are all added before it shows, so an unknown label is a mistake, not
// something to wait for.
WPARAM TabIndex(HWND sheet, const std::string& label) {
  std::vector<std::string> labels = TabLabels(sheet);
  auto found = std::find(labels.begin(), labels.end(), label);
  if (found == labels.end()) {
    std::string known;
    for (const std::string& l : labels) known += (known.empty() ? "" : ", ") + l;
    Fail("no tab \"" + label + "\" in \"" + TextOf(sheet) + "\" (tabs: " + known + ")");
  }
  return static_cast<WPARAM>(found - labels.begin());
}

void Dump() {
  for (HWND w : TopLevel()) {
    std::printf("window \"%s\" class %s\n", TextOf(w).c_str(), ClassOf(w).c_str());
    for (HWND c : Children(w))
      std::printf("  id %d class %s text \"%s\"%s\n", GetDlgCtrlID(c), ClassOf(c).c_str(),
                  TextOf(c).c_str(), IsWindowEnabled(c) ? "" : " (disabled)");
  }
}

// The window gets the keys as if typed: it is brought to the front and the keys go through
// the system's input queue, modifiers included (GetKeyState sees them).
void TypeKeys(HWND window, const std::string& spec) {
  std::vector<WORD> keys;
  std::size_t start = 0;
  while (start <= spec.size()) {
    std::size_t plus = spec.find('+', start);
    if (plus == std::string::npos) plus = spec.size();
    std::string name = spec.substr(start, plus - start);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const std::vector<std::pair<std::string, WORD>> named = {
        {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},  {"alt", VK_MENU},    {"tab", VK_TAB},
        {"escape", VK_ESCAPE}, {"enter", VK_RETURN}, {"space", VK_SPACE}, {"pgdn", VK_NEXT},
        {"pgup", VK_PRIOR},    {"down", VK_DOWN},    {"up", VK_UP}};
    WORD vk = 0;
    for (const auto& [n, v] : named)
      if (n == name) vk = v;
    if (!vk && name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
      vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    if (!vk) Fail("unknown key " + name);
    keys.push_back(vk);
    start = plus + 1;
  }
  SetForegroundWindow(GetAncestor(window, GA_ROOT));
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_NEXT || vk == VK_PRIOR || vk == VK_DOWN || vk == VK_UP)
      in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    inputs.push_back(in);
  };
  for (WORD vk : keys) add(vk, false);
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) add(*k, true);
  if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
    Fail("the keys could not be sent");
}

unsigned long Number(const char* text) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 0);
  if (!end || *end) Fail(std::string("not a number: ") + text);
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  auto arg = [&](const char* command) -> const char* {
    if (i >= argc) Fail(std::string(command) + " needs an argument");
    return argv[i++];
  };
  while (i < argc) {
    std::string command = argv[i++];
    if (command == "desktop") {
      // Made by the program's explorer; it may not exist yet.
      std::wstring name = Widen(arg("desktop"));
      HDESK desk = nullptr;
      for (DWORD waited = 0; !desk && waited <= g_timeout; waited += 50) {
        desk = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
        if (!desk) Sleep(50);
      }
      if (!desk || !SetThreadDesktop(desk)) Fail("cannot use desktop " + Narrow(name));
    } else if (command == "timeout") {
      g_timeout = static_cast<DWORD>(Number(arg("timeout")));
    } else if (command == "wait-window") {
      std::string title = arg("wait-window");
      g_current = WaitFor([&] { return WindowTitled(title); }, "window \"" + title + "\"");
    } else if (command == "wait-gone") {
      std::string title = arg("wait-gone");
      WaitFor([&]() -> HWND { return WindowTitled(title) ? nullptr : GetDesktopWindow(); },
              "window \"" + title + "\" to close");
    } else if (command == "set-text") {
      int id = static_cast<int>(Number(arg("set-text")));
      std::wstring text = Widen(arg("set-text"));
      DWORD_PTR r = 0;
      if (!SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, 5000, &r))
        Fail("set-text timed out");
    } else if (command == "read-text") {
      std::printf("%s\n", TextOf(Control(static_cast<int>(Number(arg("read-text"))))).c_str());
    } else if (command == "read-enabled") {
      std::printf("%d\n",
                  IsWindowEnabled(Control(static_cast<int>(Number(arg("read-enabled"))))) ? 1 : 0);
    } else if (command == "click") {
      // Posted: the handler may run a modal loop of its own.
      PostMessageW(Control(static_cast<int>(Number(arg("click")))), BM_CLICK, 0, 0);
    } else if (command == "read-checked") {
      HWND button = Control(static_cast<int>(Number(arg("read-checked"))));
      DWORD_PTR state = 0;
      SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
      std::printf("%d\n", state == BST_CHECKED ? 1 : 0);
    } else if (command == "press") {
      int id = static_cast<int>(Number(arg("press")));
      Control(id);
      Press(Current(), id);
    } else if (command == "read-message") {
      // A program that has just left a long pause may be taken for hung and not answer text
      // requests at once: a box counts once its text can be read.
      g_current = WaitFor(
          [] {
            for (HWND w : TopLevel())
              if (IsMessageBox(w) && !MessageText(w).empty()) return w;
            return static_cast<HWND>(nullptr);
          },
          "a message box");
      std::printf("%s\n", MessageText(g_current).c_str());
    } else if (command == "read-rect") {
      RECT r{};
      GetWindowRect(Current(), &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (command == "read-caption") {
      std::printf("%s\n", TextOf(Current()).c_str());
    } else if (command == "press-message-button" || command == "answer-message") {
      HWND box = Current();
      int id = 0;
      if (command == "answer-message") {
        id = static_cast<int>(Number(arg("answer-message")));
      } else {
        for (int candidate : {IDOK, IDYES, IDCANCEL})
          if (!id && GetDlgItem(box, candidate)) id = candidate;
      }
      if (!id || !GetDlgItem(box, id)) Fail("the message box has no button " + std::to_string(id));
      Press(box, id);
      g_current = nullptr;
    } else if (command == "syscommand") {
      PostMessageW(Current(), WM_SYSCOMMAND, Number(arg("syscommand")), 0);
    } else if (command == "read-tabs") {
      for (const std::string& label : TabLabels(Current())) std::printf("%s\n", label.c_str());
    } else if (command == "select-tab") {
      HWND sheet = Current();
      PostMessageW(sheet, PSM_SETCURSEL, TabIndex(sheet, arg("select-tab")), 0);
    } else if (command == "wait-page") {
      HWND sheet = Current();
      std::string label = arg("wait-page");
      WPARAM index = TabIndex(sheet, label);
      g_current = WaitFor(
          [&]() -> HWND {
            HWND page = reinterpret_cast<HWND>(Ask(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            if (!page || static_cast<WPARAM>(Ask(sheet, PSM_HWNDTOINDEX,
                                                 reinterpret_cast<WPARAM>(page), 0)) != index)
              return nullptr;
            return page;
          },
          "page \"" + label + "\"");
    } else if (command == "read-rows") {
      for (const Row& row : Rows(Control(static_cast<int>(Number(arg("read-rows"))))))
        std::printf("%s\n", Joined(row).c_str());
    } else if (command == "wait-row" || command == "select-row") {
      HWND list = Control(static_cast<int>(Number(arg(command.c_str()))));
      std::string text = arg(command.c_str());
      Row row;
      int index = WaitRow(list, text, &row);
      if (command == "select-row") SelectOnly(list, index);
      std::printf("%s\n", Joined(row).c_str());
    } else if (command == "wait-no-row") {
      HWND list = Control(static_cast<int>(Number(arg("wait-no-row"))));
      std::string text = arg("wait-no-row");
      WaitFor([&]() -> HWND { return RowWith(Rows(list), text) ? nullptr : list; },
              "no row with \"" + text + "\"");
    } else if (command == "wait-text") {
      HWND control = Control(static_cast<int>(Number(arg("wait-text"))));
      std::string text = arg("wait-text");
      WaitFor([&]() -> HWND { return TextOf(control) == text ? control : nullptr; },
              "\"" + text + "\" in control " + std::to_string(GetDlgCtrlID(control)));
    } else if (command == "wait-enabled") {
      HWND control = Control(static_cast<int>(Number(arg("wait-enabled"))));
      const bool enabled = Number(arg("wait-enabled")) != 0;
      WaitFor(
          [&]() -> HWND { return (IsWindowEnabled(control) != 0) == enabled ? control : nullptr; },
          std::string(enabled ? "enabled" : "disabled") + " control " +
              std::to_string(GetDlgCtrlID(control)));
    } else if (command == "focus") {
      HWND control = Control(static_cast<int>(Number(arg("focus"))));
      PostMessageW(Current(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    } else if (command == "wait-focus") {
      HWND control = Control(static_cast<int>(Number(arg("wait-focus"))));
      DWORD thread = GetWindowThreadProcessId(control, nullptr);
      WaitFor(
          [&]() -> HWND {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control ? control : nullptr;
          },
          "the focus in control " + std::to_string(GetDlgCtrlID(control)));
    } else if (command == "read-selection") {
      HWND control = Control(static_cast<int>(Number(arg("read-selection"))));
      DWORD_PTR range = 0;
      SendMessageTimeoutW(control, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &range);
      std::printf("%u %u\n", static_cast<unsigned>(LOWORD(range)),
                  static_cast<unsigned>(HIWORD(range)));
    } else if (command == "key") {
      TypeKeys(Current(), arg("key"));
    } else if (command == "read-focus") {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      if (!GetGUIThreadInfo(GetWindowThreadProcessId(Current(), nullptr), &info))
        Fail("no focus information");
      std::printf("%d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    } else if (command == "close") {
      PostMessageW(Current(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (command == "resize") {
      const int width = static_cast<int>(Number(arg("resize")));
      const int height = static_cast<int>(Number(arg("resize")));
      if (!SetWindowPos(Current(), nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        Fail("the window could not be resized");
    } else if (command == "screenshot-ready") {
      // Two round trips through the target's queue: everything posted before is handled
      // and the resulting paints are done.
      for (int k = 0; k < 2; ++k) {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(Current(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
        Sleep(300);
      }
      std::printf("ready\n");
    } else if (command == "sleep") {
      Sleep(static_cast<DWORD>(Number(arg("sleep"))));
    } else if (command == "dump") {
      Dump();
    } else {
      Fail("unknown command " + command);
    }
    std::fflush(stdout);
  }
  return 0;
}
