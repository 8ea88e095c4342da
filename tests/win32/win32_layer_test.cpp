// The native dialog layer on real windows: views over controls, the dispatch of dialog
// events to models, the main sheet, and the registry value. Runs under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/LoginDialog.h"
#include "app/Sheet.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "support/TestView.h"
#include "ui/ExitDialog.h"
#include "ui/Session.h"
#include "win32/DialogHost.h"
#include "win32/PlotWindowIds.h"
#include "win32/PossibleErrorsIds.h"
#include "win32/RegistrySettings.h"
#include "win32/SheetHost.h"
#include "win32/Win32Ui.h"
#include "win32/Win32View.h"

namespace tarnwick::win32 {
namespace {

using tarnwick::testing::MemorySettings;
using tarnwick::testing::RecordingUi;
using tarnwick::testing::TestView;

// ---------------------------------------------------------------------------------------
// Registry

constexpr const char* kTestKey = "software\\Quorvane\\TarnwickTest";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }

  static void StoreRaw(const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "IPAddress", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
  }
};

TEST_F(RegistryTest, MissingKeyIsCreatedAndGivesNothing) {
  RegistrySettings settings(kTestKey);
  EXPECT_EQ(settings.ReadIPAddress(), std::nullopt);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

// What Log In shows for each stored value: the read buffer and the model's limit together.
TEST_F(RegistryTest, LogInPrefillFollowsTheSixteenByteBuffer) {
  struct Case {
    std::string stored;  // raw bytes of the value
    std::optional<std::string> read;
    std::string shown;
    // Whether a 16-byte value with no zero is read whole (then refused by the model) or
    // refused by the registry already differs between Windows versions; either is fine.
    bool readVaries = false;
  };
  const std::string fifteen = "192.168.100.200";   // 15 characters
  const std::string sixteen = "router.home.lan1";  // 16 characters
  const std::vector<Case> cases = {
      {std::string("10.0.0.138") + '\0', "10.0.0.138", "10.0.0.138"},
      {"10.0.0.138", "10.0.0.138", "10.0.0.138"},
      {fifteen + '\0', fifteen, fifteen},
      {sixteen, sixteen, "192.168.1.1", true},
      {sixteen + '\0', std::nullopt, "192.168.1.1"},
      {"a.very.long.router.name.example", std::nullopt, "192.168.1.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    StoreRaw(c.stored);
    RegistrySettings settings(kTestKey);
    if (!c.readVaries) {
      EXPECT_EQ(settings.ReadIPAddress(), c.read);
    }

    ManualClock clock;
    RecordingUi ui;
    auto sockets = MakePlatformSocketFactory(true);
    Session session(*sockets, clock, ui, settings);
    CLoginDlg login(session);
    TestView view;
    login.Attach(&view);
    login.OnInitDialog();
    EXPECT_EQ(view.GetText(IDC_LOGIN_ADDRESS), c.shown);
    EXPECT_EQ(view.GetText(IDC_LOGIN_PASSWORD), "");
  }
}

TEST_F(RegistryTest, WriteStoresTheCharactersWithoutTerminatingZero) {
  RegistrySettings settings(kTestKey);
  settings.WriteIPAddress("10.1.2.3");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0;
  DWORD size = 0;
  RegQueryValueExA(key, "IPAddress", nullptr, &type, nullptr, &size);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // Windows may report room for a terminator it adds itself; the data has none.
  EXPECT_TRUE(size == 8 || size == 9) << size;
  EXPECT_EQ(settings.ReadIPAddress(), "10.1.2.3");
}

// ---------------------------------------------------------------------------------------
// Win32View over real controls

class ViewTest : public ::testing::Test {
 protected:
  static constexpr int kEdit = 10, kCheck = 11, kList = 12;

  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    window_ = CreateWindowExW(0, L"Static", L"view test", WS_POPUP, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
    auto child = [&](const wchar_t* cls, DWORD style, int id, int width) {
      return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, width, 100, window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    child(L"Edit", ES_AUTOHSCROLL, kEdit, 100);
    child(L"Button", BS_AUTOCHECKBOX, kCheck, 100);
    list_ = child(WC_LISTVIEWW, LVS_ICON, kList, 250);
    view_ = std::make_unique<Win32View>(window_, Win32View::Kind::Dialog);
  }
  void TearDown() override { DestroyWindow(window_); }

  HWND window_ = nullptr;
  HWND list_ = nullptr;
  std::unique_ptr<Win32View> view_;
};

TEST_F(ViewTest, TextsRoundTripWhateverTheirLength) {
  for (const std::string& text : {std::string(), std::string("192.168.1.1"), std::string(3000, 'x'),
                                  std::string("Gr\xc3\xbc\xc3\x9f"
                                              "e")}) {
    view_->SetText(kEdit, text);
    EXPECT_EQ(view_->GetText(kEdit), text);
  }
  EXPECT_EQ(view_->GetText(999), "");  // no such control
}

TEST_F(ViewTest, CheckAndEnable) {
  view_->SetChecked(kCheck, true);
  EXPECT_TRUE(view_->IsChecked(kCheck));
  view_->SetChecked(kCheck, false);
  EXPECT_FALSE(view_->IsChecked(kCheck));
  view_->Enable(kEdit, false);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, kEdit)));
  view_->Enable(kEdit, true);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, kEdit)));
  view_->Enable(999, false);  // no such control: nothing happens
}

TEST_F(ViewTest, ListInReportModeKeepsRowsCellsAndSelection) {
  view_->ListAddColumn(kList, 0, "Destination", 100);
  view_->ListAddColumn(kList, 1, "Gateway", 80);
  EXPECT_EQ(GetWindowLongPtrW(list_, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(list_) & LVS_EX_FULLROWSELECT);
  EXPECT_EQ(view_->ListOuterWidth(kList), 250);

  view_->ListInsertRow(kList, 0, "b");
  view_->ListInsertRow(kList, 1, "c");
  view_->ListInsertRow(kList, 0, "a");
  const std::string longCell(700, 'g');
  view_->ListSetCell(kList, 0, 1, longCell);
  view_->ListSetCell(kList, 2, 1, "10.0.0.1");
  ASSERT_EQ(view_->ListRowCount(kList), 3);
  EXPECT_EQ(view_->ListCell(kList, 0, 0), "a");
  EXPECT_EQ(view_->ListCell(kList, 1, 0), "b");
  EXPECT_EQ(view_->ListCell(kList, 2, 0), "c");
  EXPECT_EQ(view_->ListCell(kList, 0, 1), longCell);
  EXPECT_EQ(view_->ListCell(kList, 2, 1), "10.0.0.1");
  EXPECT_EQ(view_->ListCell(kList, 1, 1), "");

  EXPECT_TRUE(view_->ListSelectedRows(kList).empty());
  ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(view_->ListSelectedRows(kList), (std::vector<int>{0, 2}));

  view_->ListDeleteRow(kList, 1);
  ASSERT_EQ(view_->ListRowCount(kList), 2);
  EXPECT_EQ(view_->ListCell(kList, 1, 0), "c");
  view_->ListDeleteAll(kList);
  EXPECT_EQ(view_->ListRowCount(kList), 0);
  EXPECT_TRUE(view_->ListSelectedRows(kList).empty());
}

// ---------------------------------------------------------------------------------------
// Steps run from a thread timer while a modal loop (dialog or sheet) runs.

class Script {
 public:
  // A step returns true when done; false to be polled again.
  using Step = std::function<bool()>;

  explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Script::Tick);
    start_ = GetTickCount();
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = active_;
    if (!s || s->running_) return;
    s->running_ = true;
    if (s->next_ < s->steps_.size() && s->steps_[s->next_]()) ++s->next_;
    if (!s->Finished() && GetTickCount() - s->start_ > 10000) {
      ADD_FAILURE() << "script stuck at step " << s->next_;
      s->next_ = s->steps_.size();
      PostQuitMessage(3);  // ends whatever modal loop runs
    }
    s->running_ = false;
  }

  static inline Script* active_ = nullptr;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
  DWORD start_ = 0;
  bool running_ = false;
};

HWND ThreadWindow(const std::wstring& title) {
  struct Search {
    std::wstring title;
    HWND found;
  } search{title, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t text[256] = {};
        GetWindowTextW(w, text, 256);
        if (IsWindowVisible(w) && s->title == text) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A model that records what reaches it.
class RecordingModel final : public DialogModel {
 public:
  RecordingModel() {
    description_.Button(1096, [this] { events.push_back("command 1096"); });
  }
  int TemplateId() const override { return IDD_LOGIN; }
  void OnInitDialog() override {
    events.push_back("init");
    window = static_cast<HWND>(view().Window());
  }
  void OnOK() override {
    events.push_back("ok");
    view().EndDialog(7);
  }
  void OnCancel() override { events.push_back("cancel"); }
  void OnTimer(int id) override {
    events.push_back("timer " + std::to_string(id));
    view().StopTimer(id);
  }
  std::vector<std::string> events;
  HWND window = nullptr;
};

TEST(DialogHostTest, ForwardsEventsOfTheTemplateToTheModel) {
  RecordingModel model;
  int focused = 0;
  Script script({
      [&] {
        if (!model.window) return false;
        focused = GetDlgCtrlID(GetFocus());
        model.view().StartTimer(4, 10);
        // Typing into an edit notifies the dialog too; that is not a click.
        SetDlgItemTextW(model.window, 1019, L"10.0.0.2");
        PostMessageW(model.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);  // Escape
        PostMessageW(model.window, WM_COMMAND, MAKEWPARAM(1096, BN_CLICKED), 0);
        PostMessageW(model.window, WM_CLOSE, 0, 0);  // the close box
        return true;
      },
      [&] { return !model.events.empty() && model.events.back().rfind("timer", 0) == 0; },
      [&] {
        EXPECT_TRUE(IsWindow(model.window));  // the model did not end it
        PostMessageW(model.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      },
  });
  int result = DialogHost::Run(model, nullptr);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(result, 7);
  EXPECT_EQ(focused, 1019);  // the first tab stop of the template: the address
  EXPECT_EQ(model.events, (std::vector<std::string>{"init", "cancel", "command 1096", "cancel",
                                                    "timer 4", "ok"}));
  EXPECT_FALSE(model.attached());
}

// Refuses a non-empty password when the focus leaves it, then puts the focus back there.
class CheckingModel final : public DialogModel {
 public:
  explicit CheckingModel(Session& session) : DialogModel(session) {
    description_.Text(IDC_LOGIN_PASSWORD, password);
  }
  int TemplateId() const override { return IDD_LOGIN; }
  void OnInitDialog() override {
    window = static_cast<HWND>(view().Window());
    view().Focus(IDC_LOGIN_PASSWORD, false);  // as Log In does
  }
  void OnFocusLeave(int id) override {
    left.push_back(id);
    Load();
    if (id != IDC_LOGIN_PASSWORD || password.empty()) return;
    Error("Error in the field.");
    view().Focus(IDC_LOGIN_PASSWORD, true);
  }
  std::string password;
  std::vector<int> left;
  HWND window = nullptr;
};

TEST(DialogHostTest, AFieldThatTakesTheFocusBackAfterItsMessageDoesNotTriggerItselfAgain) {
  ManualClock clock;
  Win32Ui ui;
  MemorySettings settings;
  auto sockets = MakePlatformSocketFactory(true);
  Session session(*sockets, clock, ui, settings);
  CheckingModel model(session);
  HWND box = nullptr;
  int boxes = 0;
  int quietTicks = 0;
  Script script({
      [&] {
        if (!model.window || GetFocus() != GetDlgItem(model.window, IDC_LOGIN_PASSWORD))
          return false;
        HWND password = GetDlgItem(model.window, IDC_LOGIN_PASSWORD);
        SetWindowTextW(password, L"wrong");
        SetFocus(password);
        // Tab to the address field (posted: the message box must not open inside this step).
        PostMessageW(model.window, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(model.window, IDC_LOGIN_ADDRESS)), TRUE);
        return true;
      },
      [&] {
        box = ThreadWindow(L"Error");
        if (!box) return false;
        ++boxes;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      },
      [&] {
        if (IsWindow(box) || GetFocus() != GetDlgItem(model.window, IDC_LOGIN_PASSWORD))
          return false;
        // No second message box may come up while nothing else happens.
        if (ThreadWindow(L"Error")) ++boxes;
        return ++quietTicks == 10;
      },
      [&] {
        DWORD start = 0, end = 0;
        SendDlgItemMessageW(model.window, IDC_LOGIN_PASSWORD, EM_GETSEL,
                            reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 5u);
        EndDialog(model.window, 1);
        return true;
      },
  });
  DialogHost::Run(model, nullptr);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(model.left, std::vector<int>{IDC_LOGIN_PASSWORD});
}

std::wstring LabelText(HWND label) {
  wchar_t text[512];
  GetWindowTextW(label, text, 512);
  return text;
}

// The words of a text with its blanks and line breaks each reduced to a single blank.
std::wstring Words(const std::wstring& text) {
  std::wstring words;
  for (wchar_t c : text) {
    bool blank = c == L' ' || c == L'\r' || c == L'\n';
    if (!blank)
      words += c;
    else if (!words.empty() && words.back() != L' ')
      words += L' ';
  }
  return words;
}

TEST(DialogHostTest, LabelsWithBlankRunsKeepTheirWordsAndFitTheirLines) {
  HWND dialog = CreateDialogParamW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_POSSIBLE_ERRORS), nullptr,
      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  ASSERT_NE(dialog, nullptr);
  std::vector<std::pair<HWND, std::wstring>> labels;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16];
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Static") == 0) labels.emplace_back(child, LabelText(child));
  }
  ASSERT_EQ(labels.size(), 3u);
  // A blank run that does not end a line is no reason to touch the text.
  SetWindowTextW(labels[0].first, L"1.  Short");
  labels[0].second = L"1.  Short";

  DialogHost::FitWrappedLabels(dialog);
  for (const auto& [label, original] : labels) {
    std::wstring text = LabelText(label);
    EXPECT_EQ(Words(text), Words(original));
    RECT client{};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    EXPECT_LE(needed.bottom, client.bottom) << std::string(text.begin(), text.end());
  }
  EXPECT_EQ(LabelText(labels[0].first), L"1.  Short");
  DestroyWindow(dialog);
}

TEST(DialogHostTest, ExitDialogLeavesOnlyThroughOk) {
  CExitDlg exitDialog;
  HWND window = nullptr;
  Script script({
      [&] {
        window = ThreadWindow(L"Exiting program due to LAN IP changes...");
        if (!window) return false;
        PostMessageW(window, WM_CLOSE, 0, 0);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return true;
      },
      [&] {
        EXPECT_TRUE(IsWindowVisible(window));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      },
  });
  EXPECT_EQ(DialogHost::Run(exitDialog, nullptr), 1);
  EXPECT_TRUE(script.Finished());
}

// ---------------------------------------------------------------------------------------
// The main sheet

class SheetTest : public ::testing::Test {
 protected:
  SheetTest()
      : sockets_(MakePlatformSocketFactory(true)), session_(*sockets_, clock_, ui_, settings_) {
    // Nothing listens there: any log-in attempt fails at once.
    session_.channel.RouterAddress = "127.0.0.1:1";
  }

  HWND Sheet() const { return ThreadWindow(L"Tarnwick"); }

  ManualClock clock_;
  RecordingUi ui_;
  MemorySettings settings_;
  std::unique_ptr<SocketFactory> sockets_;
  Session session_;
};

std::wstring MenuText(HMENU menu, int position, UINT* id) {
  wchar_t text[128] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 128;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
  *id = (info.fType & MFT_SEPARATOR) ? 0 : info.wID;
  return (info.fType & MFT_SEPARATOR) ? L"-" : text;
}

TEST_F(SheetTest, ShowsGeneralWithCloseMenuAndIconThenEndsAsCancel) {
  CAllControlsSheet sheet(session_);
  session_.ConfigChanged = true;  // Close would save; ending as Cancel must not
  Script script({[&] {
    HWND window = Sheet();
    if (!window) return false;
    HWND ok = GetDlgItem(window, IDOK);
    wchar_t text[32] = {};
    GetWindowTextW(ok, text, 32);
    EXPECT_STREQ(text, L"&Close");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));
    for (int hidden : {IDHELP, 0x3021 /* Apply */}) {
      HWND b = GetDlgItem(window, hidden);
      EXPECT_TRUE(!b || !IsWindowVisible(b)) << hidden;
    }
    HWND tabs = PropSheet_GetTabControl(window);
    EXPECT_EQ(TabCtrl_GetItemCount(tabs), static_cast<int>(sheet.Pages().size()));
    EXPECT_NE(SendMessageW(window, WM_QUERYDRAGICON, 0, 0), 0);

    HMENU menu = GetSystemMenu(window, FALSE);
    int count = GetMenuItemCount(menu);
    EXPECT_GE(count, 10);
    std::vector<std::pair<std::wstring, UINT>> tail;
    for (int i = count - 10; i < count; ++i) {
      UINT id = 0;
      std::wstring t = MenuText(menu, i, &id);
      tail.emplace_back(t, id);
    }
    EXPECT_EQ(tail,
              (std::vector<std::pair<std::wstring, UINT>>{{L"-", 0u},
                                                          {L"&About...", 0x10u},
                                                          {L"-", 0u},
                                                          {L"&Load Default Configuration", 0x20u},
                                                          {L"-", 0u},
                                                          {L"Line &History...", 0x30u},
                                                          {L"-", 0u},
                                                          {L"Sa&ve Settings...", 0x40u},
                                                          {L"Res&tore Settings...", 0x50u},
                                                          {L"&Undo Last Change...", 0x60u}}));
    sheet.view().EndDialog(0);
    return true;
  }});
  EXPECT_EQ(SheetHost::Run(sheet), 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(ui_.waits.empty());  // General's save did not run
  EXPECT_FALSE(sheet.attached());
}

TEST_F(SheetTest, CloseRunsTheSaveOfAShownPage) {
  CAllControlsSheet sheet(session_);
  session_.ConfigChanged = true;
  Script script({[&] {
    HWND window = Sheet();
    if (!window) return false;
    PostMessageW(window, PSM_PRESSBUTTON, PSBTN_OK, 0);
    return true;
  }});
  SheetHost::Run(sheet);
  EXPECT_TRUE(script.Finished());
  ASSERT_EQ(ui_.waits.size(), 1u);
  EXPECT_EQ(ui_.waits[0]->text, "Please wait a moment while config is being saved.");
  EXPECT_TRUE(ui_.waits[0]->closed);
}

TEST_F(SheetTest, SystemMenuRangeOpensAboutOwnedByTheSheet) {
  CAllControlsSheet sheet(session_);
  HWND about = nullptr;
  Script script({
      [&] {
        HWND window = Sheet();
        if (!window) return false;
        PostMessageW(window, WM_SYSCOMMAND, 0x1f, 0);
        return true;
      },
      [&] {
        about = ThreadWindow(L"About Tarnwick");
        if (!about) return false;
        EXPECT_EQ(GetWindow(about, GW_OWNER), Sheet());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(about, 1096)));
        PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
      },
      [&] {
        if (IsWindow(about)) return false;
        sheet.view().EndDialog(0);
        return true;
      },
  });
  SheetHost::Run(sheet);
  EXPECT_TRUE(script.Finished());
  // About asks the current connection, and there is none.
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{"Winsock connection is not created"}));
}

int WindowsTitled(const std::wstring& title) {
  struct Count {
    std::wstring title;
    int n;
  } count{title, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Count*>(p);
        wchar_t text[256] = {};
        GetWindowTextW(w, text, 256);
        if (IsWindowVisible(w) && c->title == text) ++c->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

TEST_F(SheetTest, LineHistoryOpensOnceFollowsTheSamplesAndGoesWithTheSheet) {
  CAllControlsSheet sheet(session_);
  auto sample = [](UtcMillis time, double margin) {
    DslSample s;
    s.time = time;
    s.link = LinkState::Alive;
    s.downMarginDb = margin;
    s.downInterleavedKbps = 7616;
    return s;
  };
  sheet.Find<CMONITOR>()->History.Append(sample(1714600800000, 9.5));
  HWND plot = nullptr;
  auto summary = [&] {
    wchar_t text[256] = {};
    GetDlgItemTextW(plot, IDC_PLOT_SUMMARY, text, 256);
    return std::wstring(text);
  };
  Script script({
      [&] {
        HWND window = Sheet();
        if (!window) return false;
        PostMessageW(window, WM_SYSCOMMAND, 0x30, 0);
        return true;
      },
      [&] {
        plot = ThreadWindow(L"Line History");
        if (!plot) return false;
        EXPECT_EQ(GetWindow(plot, GW_OWNER), Sheet());
        EXPECT_EQ(summary().substr(0, 9), L"1 sample,");
        // As the page's next refresh adds one.
        sheet.Find<CMONITOR>()->History.Append(sample(1714600803000, 9.3));
        EXPECT_EQ(summary().substr(0, 10), L"2 samples,");
        EXPECT_TRUE(SetWindowPos(plot, nullptr, 0, 0, 600, 380, SWP_NOMOVE | SWP_NOZORDER));
        UpdateWindow(plot);
        PostMessageW(Sheet(), WM_SYSCOMMAND, 0x30, 0);
        return true;
      },
      [&] {
        EXPECT_EQ(WindowsTitled(L"Line History"), 1) << "the open one comes forward";
        RECT r{};
        GetWindowRect(plot, &r);
        EXPECT_EQ(r.right - r.left, 600);
        sheet.view().EndDialog(0);
        return true;
      },
  });
  SheetHost::Run(sheet);
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(IsWindow(plot)) << "closed with the sheet that owns it";
}

TEST_F(SheetTest, LineHistoryTakesTheDialogKeysInsideTheSheetsLoop) {
  CAllControlsSheet sheet(session_);
  HWND plot = nullptr;
  Script script({
      [&] {
        if (!Sheet()) return false;
        PostMessageW(Sheet(), WM_SYSCOMMAND, 0x30, 0);
        return true;
      },
      [&] {
        plot = ThreadWindow(L"Line History");
        if (!plot) return false;
        EXPECT_EQ(GetFocus(), GetDlgItem(plot, IDC_PLOT_SPAN)) << "opens on its first control";
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        return true;
      },
      [&] {
        EXPECT_EQ(GetFocus(), GetDlgItem(plot, IDC_PLOT_EXPORT));
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
      },
      [&] {
        EXPECT_FALSE(IsWindow(plot)) << "Escape closes it";
        EXPECT_TRUE(IsWindow(Sheet())) << "and only it";
        sheet.view().EndDialog(0);
        return true;
      },
  });
  SheetHost::Run(sheet);
  EXPECT_TRUE(script.Finished());
}

}  // namespace
}  // namespace tarnwick::win32
