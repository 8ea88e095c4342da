// Every page and dialog model against its real template: each control it binds, declares,
// enables, focuses or lists exists there, of the kind the model uses it as; and every
// template as the keyboard and a screen reader meet it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDialog.h"
#include "app/CompareDialog.h"
#include "app/GeneralIds.h"
#include "app/LoginDialog.h"
#include "app/PageRegistry.h"
#include "lan/CDHCPIds.h"
#include "lan/CINBOUNDIds.h"
#include "line/CLINEIds.h"
#include "monitor/CMONITORIds.h"
#include "multipvc/CMULTIPVCIds.h"
#include "routing/CROUTEIds.h"
#include "routing/CSMNPIds.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "ui/ExitDialog.h"
#include "ui/ExitDialogIds.h"
#include "ui/Session.h"
#include "win32/DialogHost.h"
#include "win32/PossibleErrorsIds.h"
#include "win32/Win32View.h"

namespace tarnwick {
namespace {

std::string ClassName(HWND control) {
  char name[64] = {};
  GetClassNameA(control, name, sizeof name);
  return name;
}

// Empty when the control fits; otherwise what is wrong with it.
std::string Misfit(HWND dialog, const ControlRef& ref) {
  HWND control = GetDlgItem(dialog, ref.id);
  if (!control) return "missing";
  const std::string cls = ClassName(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const LONG button = style & BS_TYPEMASK;
  auto is = [&](const char* wanted) { return lstrcmpiA(cls.c_str(), wanted) == 0; };
  switch (ref.kind) {
    case ControlKind::Text:
      return is("Edit") || is("Static") ? "" : "not an edit or label: " + cls;
    case ControlKind::Edit:
      return is("Edit") ? "" : "not an edit: " + cls;
    case ControlKind::Check:
      return is("Button") && (button == BS_AUTOCHECKBOX || button == BS_CHECKBOX)
                 ? ""
                 : "not a check box";
    case ControlKind::Radio:
      return is("Button") && (button == BS_AUTORADIOBUTTON || button == BS_RADIOBUTTON)
                 ? ""
                 : "not a radio button";
    case ControlKind::List:
      return is(WC_LISTVIEWA) && (style & LVS_TYPEMASK) == LVS_REPORT ? "" : "not a report list";
    case ControlKind::Button:
      return is("Button") && (button == BS_PUSHBUTTON || button == BS_DEFPUSHBUTTON)
                 ? ""
                 : "not a push button";
    case ControlKind::Any:
      return "";
  }
  return "unknown kind";
}

TEST(Templates, EveryControlAModelUsesIsInItsTemplateAsTheKindItNeeds) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  ManualClock clock;
  testing::RecordingUi ui;
  testing::MemorySettings settings;
  auto sockets = MakePlatformSocketFactory(true);
  Session session(*sockets, clock, ui, settings);

  CLoginDlg login(session);
  CAboutDlg about(session);
  CExitDlg exitDialog;
  CompareDialog compare("", {});
  std::vector<std::unique_ptr<DialogModel>> registered;
  for (const RegisteredPage& entry : PageRegistry())
    registered.push_back(entry.IsPage() ? entry.makePage(session) : entry.makeDialog(session));
  std::vector<const DialogModel*> models = {&login, &about, &exitDialog, &compare};
  for (const auto& model : registered) models.push_back(model.get());

  // Pages are child windows: they need a parent.
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
  for (const DialogModel* model : models) {
    SCOPED_TRACE(model->TemplateId());
    HWND dialog = CreateDialogParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(model->TemplateId()), parent,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(dialog, nullptr);
    for (const ControlRef& ref : model->Controls())
      EXPECT_EQ(Misfit(dialog, ref), "") << "control " << ref.id;
    DestroyWindow(dialog);
  }
  DestroyWindow(parent);
}

// ---------------------------------------------------------------------------------------
// Every template as a keyboard and screen-reader user meets it, prepared as the hosts
// prepare it and with every radio group showing no choice (as a model shows -1): each
// focusable control has a name of its own and is reached by Tab, each label, button, check
// box and radio button has a mnemonic, unique in its window (a page shares the sheet's
// "&Close"), and a label's mnemonic leads to the control right after it.

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// The mnemonic of a text, upper case, or 0.
wchar_t Mnemonic(const std::wstring& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(towupper(text[i + 1]));
    ++i;
  }
  return 0;
}

std::wstring AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
    return L"<none>";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring out;
  if (object->get_accName(self, &name) == S_OK && name) out = name;
  if (name) SysFreeString(name);
  object->Release();
  return out;
}

struct Walked {
  int templateId;
  bool page;
  std::vector<std::pair<int, std::wstring>> names;  // some controls and the names they get
};

TEST(Templates, EveryControlIsNamedReachableAndHasItsOwnMnemonic) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::vector<Walked> templates = {
      {IDD_LOGIN,
       false,
       {{IDC_LOGIN_ADDRESS, L"Router IP Address"}, {IDC_LOGIN_PASSWORD, L"Password"}}},
      {IDD_POSSIBLE_ERRORS, false, {}},
      {IDD_ABOUT, false, {}},
      {IDD_EXIT, false, {}},
      {IDD_COMPARE, false, {{IDC_COMPARE_LIST, L"Differences"}}},
      {IDD_GENERAL, true, {}},
      {IDD_LINE,
       true,
       {{IDC_LINE_LAN_IP1, L"LAN IP Configuration, part 1 of 4"},
        {IDC_LINE_LAN_IP2, L"LAN IP Configuration, part 2 of 4"},
        {IDC_LINE_GATEWAY4, L"Remote Gateway, part 4 of 4"},
        {IDC_LINE_VCI, L"VCI"}}},
      {IDD_ROUTE, true, {{IDC_ROUTE_LIST, L"Routes"}, {IDC_ROUTE_MASK3, L"Netmask, part 3 of 4"}}},
      {IDD_DHCP, true, {{IDC_DHCP_LEASE, L"Lease Live"}}},
      {IDD_SNMP,
       true,
       {{IDC_SNMP_IP1, L"Authorized IP, part 1 of 4"},
        {IDC_SNMP_COMMUNITY, L"Community"},
        {IDC_SNMP_LIST, L"Communities"}}},
      {IDD_MONITOR,
       true,
       {{IDC_DSL_DOWN_FAST, L"Downstream Rate(Fast)"},
        {IDC_DSL_UP_FAST, L"UpStream Rate(Fast)"},
        {IDC_DSL_LINK_STATUS, L"Link Status"}}},
      {IDD_MULTIPVC,
       false,
       {{IDC_MULTIPVC_LIST, L"PVCs"}, {IDC_MULTIPVC_WANMASK2, L"WAN Subnet Mask, part 2 of 4"}}},
      {IDD_INBOUND,
       false,
       {{IDC_INBOUND_LIST, L"Inbound rules"}, {IDC_INBOUND_HOST4, L"Host IP, part 4 of 4"}}},
  };
  // A page or dialog of the registry that the table does not name is walked all the same.
  std::vector<Walked> walk = templates;
  ManualClock clock;
  testing::RecordingUi ui;
  testing::MemorySettings settings;
  auto sockets = MakePlatformSocketFactory(true);
  Session session(*sockets, clock, ui, settings);
  for (const RegisteredPage& entry : PageRegistry()) {
    const int id = entry.IsPage() ? entry.makePage(session)->TemplateId()
                                  : entry.makeDialog(session)->TemplateId();
    if (std::none_of(walk.begin(), walk.end(), [&](const Walked& w) { return w.templateId == id; }))
      walk.push_back({id, entry.IsPage(), {}});
  }
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
  for (const Walked& walked : walk) {
    SCOPED_TRACE(walked.templateId);
    HWND dialog = CreateDialogParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(walked.templateId), parent,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(dialog, nullptr);
    win32::DialogHost::Prepare(dialog);
    win32::Win32View view(dialog, win32::Win32View::Kind::Dialog);

    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      children.push_back(c);
    auto buttonType = [](HWND c) { return GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK; };
    auto isButton = [&](HWND c) { return ClassName(c) == "Button"; };
    auto isRadio = [&](HWND c) {
      return isButton(c) &&
             (buttonType(c) == BS_AUTORADIOBUTTON || buttonType(c) == BS_RADIOBUTTON);
    };
    auto isField = [&](HWND c) {
      return ClassName(c) == "Edit" || ClassName(c) == "SysListView32" ||
             ClassName(c) == "ComboBox";
    };
    auto focusable = [&](HWND c) {
      return (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) &&
             (isField(c) || (isButton(c) && buttonType(c) != BS_GROUPBOX));
    };
    for (HWND c : children)
      if (isRadio(c)) view.SetChecked(GetDlgCtrlID(c), false);

    std::map<std::wstring, int> names;
    std::map<wchar_t, std::wstring> mnemonics;
    if (walked.page) mnemonics[L'C'] = L"&Close";
    HWND groupBox = nullptr;  // the last one before the control at hand
    for (std::size_t i = 0; i < children.size(); ++i) {
      HWND c = children[i];
      const std::wstring text = TextOf(c);
      const std::string what = ClassName(c) + " " + std::to_string(GetDlgCtrlID(c)) + " \"" +
                               std::string(text.begin(), text.end()) + "\"";
      const LONG style = GetWindowLongW(c, GWL_STYLE);
      const bool labelText = ClassName(c) == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
      if (isButton(c) && buttonType(c) == BS_GROUPBOX) groupBox = c;
      if (const wchar_t m = Mnemonic(text)) {
        EXPECT_TRUE(mnemonics.emplace(m, text).second)
            << what << " shares its mnemonic with \""
            << std::string(mnemonics[m].begin(), mnemonics[m].end()) << "\"";
        if (labelText) {
          EXPECT_TRUE(i + 1 < children.size() && focusable(children[i + 1]))
              << what << ": its mnemonic leads nowhere";
        }
      }
      // OK and Cancel are Enter's and Escape's.
      if (isButton(c) && buttonType(c) != BS_GROUPBOX && text != L"OK" && text != L"Cancel") {
        EXPECT_NE(Mnemonic(text), 0) << what;
      }
      // The "." between the boxes of an address is no label.
      const bool words = std::any_of(text.begin(), text.end(), iswalnum);
      if (labelText && words && i + 1 < children.size() && isField(children[i + 1])) {
        // Read-only figures are reached through the mnemonic of their group.
        if (GetWindowLongW(children[i + 1], GWL_STYLE) & ES_READONLY) {
          EXPECT_TRUE(groupBox && Mnemonic(TextOf(groupBox))) << what;
        } else {
          EXPECT_NE(Mnemonic(text), 0) << what << " labels a field";
        }
      }
      if (!focusable(c)) continue;
      const std::wstring name = AccessibleName(c);
      EXPECT_TRUE(!name.empty() && name != L".")
          << what << " is named \"" << std::string(name.begin(), name.end()) << "\"";
      EXPECT_EQ(++names[name], 1) << what << ": \"" << std::string(name.begin(), name.end())
                                  << "\" twice";
      if (!isRadio(c)) {
        EXPECT_TRUE(style & WS_TABSTOP) << what << " is no tab stop";
      } else if (style & WS_GROUP) {
        bool reachable = false;
        for (std::size_t j = i; j < children.size() && isRadio(children[j]) &&
                                (j == i || !(GetWindowLongW(children[j], GWL_STYLE) & WS_GROUP));
             ++j)
          reachable = reachable || (GetWindowLongW(children[j], GWL_STYLE) & WS_TABSTOP);
        EXPECT_TRUE(reachable) << "the radio group of " << what << " has no tab stop";
      }
    }
    for (const auto& [id, expected] : walked.names)
      EXPECT_EQ(AccessibleName(GetDlgItem(dialog, id)), expected) << "control " << id;
    DestroyWindow(dialog);
  }
  DestroyWindow(parent);
  CoUninitialize();
}

}  // namespace
}  // namespace tarnwick
