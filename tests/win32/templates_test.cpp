// Every page and dialog model against its real template: each control it binds, declares,
// enables, focuses or lists exists there, of the kind the model uses it as.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AboutDialog.h"
#include "app/LoginDialog.h"
#include "app/PageRegistry.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "ui/ExitDialog.h"
#include "ui/Session.h"

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
  std::vector<std::unique_ptr<DialogModel>> registered;
  for (const RegisteredPage& entry : PageRegistry())
    registered.push_back(entry.IsPage() ? entry.makePage(session) : entry.makeDialog(session));
  std::vector<const DialogModel*> models = {&login, &about, &exitDialog};
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

}  // namespace
}  // namespace tarnwick
