// Shell models against canned replies: deterministic, no network, no real time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/AboutDialog.h"
#include "app/LoginDialog.h"
#include "app/PageRegistry.h"
#include "app/Sheet.h"
#include "app/Startup.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using testing::TestView;

struct ScriptedShell : ::testing::Test, testing::CannedBench {
  void LogIn() {
    ASSERT_TRUE(Login());
    ASSERT_TRUE(ui.messages.empty());
  }
};

// ---- The page registry -----------------------------------------------------------------

TEST_F(ScriptedShell, TheSheetTakesTheRegisteredPagesAndEachDialogHasTheButtonThatOpensIt) {
  CAllControlsSheet sheet(session);
  std::vector<std::string> tabs;
  for (Page* page : sheet.Pages()) tabs.push_back(page->Caption());
  std::vector<std::string> registered;
  std::set<std::string> keys;
  std::set<int> templates = {CLoginDlg(session).TemplateId(), CAboutDlg(session).TemplateId()};
  for (const RegisteredPage& entry : PageRegistry()) {
    if (entry.IsPage()) registered.push_back(entry.makePage(session)->Caption());
    const int id = entry.IsPage() ? entry.makePage(session)->TemplateId()
                                  : entry.makeDialog(session)->TemplateId();
    EXPECT_TRUE(templates.insert(id).second) << entry.key << ": template " << id << " is taken";
    if (!entry.key.empty()) {
      EXPECT_TRUE(keys.insert(entry.key).second) << entry.key;
    }
    if (entry.IsPage()) continue;
    const RegisteredPage* opener = FindPage(entry.opener);
    ASSERT_TRUE(opener && opener->IsPage()) << entry.key;
    const std::vector<ControlRef> controls = opener->makePage(session)->Controls();
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [&](const ControlRef& c) {
      return c.id == entry.button && c.kind == ControlKind::Button;
    })) << entry.key;
  }
  EXPECT_EQ(tabs, registered);
  EXPECT_EQ(tabs.front(), "General");
}

// ---- Log In pre-fill ------------------------------------------------------------------

struct PrefillCase {
  const char* name;
  std::optional<std::string> stored;
  std::string shown;
};

class LoginPrefill : public ScriptedShell, public ::testing::WithParamInterface<PrefillCase> {};

TEST_P(LoginPrefill, AddressFieldOffersTheStoredValueOnlyWhenItFits) {
  settings.value = GetParam().stored;
  CLoginDlg login(session);
  Open(login);
  EXPECT_EQ(login.Address, GetParam().shown);
  EXPECT_EQ(view.GetText(IDC_LOGIN_ADDRESS), GetParam().shown);
  EXPECT_EQ(view.GetText(IDC_LOGIN_PASSWORD), "");
  EXPECT_EQ(router.made, 0);  // opening the dialog does not connect
}

INSTANTIATE_TEST_SUITE_P(
    Registry, LoginPrefill,
    ::testing::Values(PrefillCase{"Absent", std::nullopt, "192.168.1.1"},
                      PrefillCase{"Dotted", "10.0.0.138", "10.0.0.138"},
                      PrefillCase{"FifteenCharacters", "192.168.100.200", "192.168.100.200"},
                      PrefillCase{"SixteenCharacters", "router.home.lan1", "192.168.1.1"},
                      PrefillCase{"Longer", "a-very-long-router-name", "192.168.1.1"},
                      PrefillCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- About ----------------------------------------------------------------------------

struct AboutCase {
  const char* name;
  std::optional<std::string> output;  // nullopt: the router never answers
  std::string firmware;
  std::vector<std::string> messages;
};

class AboutFirmware : public ScriptedShell, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutFirmware, ShowsFieldFourOfTheFirstVersionLine) {
  LogIn();
  if (GetParam().output)
    router.outputs["version\r\n"] = *GetParam().output;
  else
    router.silent = {"version\r\n"};
  const int connectsBefore = router.connects;

  CAboutDlg about(session);
  Open(about);

  EXPECT_EQ(about.FirmwareVersion, GetParam().firmware);
  EXPECT_EQ(view.GetText(IDC_ABOUT_FIRMWARE), GetParam().firmware);
  EXPECT_EQ(ui.Texts(), GetParam().messages);
  EXPECT_EQ(router.connects, connectsBefore);  // asked on the connection as it is
  EXPECT_EQ(router.received.back(), "version\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AboutFirmware,
    ::testing::Values(
        AboutCase{"FieldFour",
                  "Firmware Version : 4.1.7 build 12\r\nBoot Version : 1.0 x\r\n",
                  "4.1.7",
                  {}},
        // The lower-case echo "version" must not match; only the capitalised line does.
        AboutCase{"EchoDoesNotMatch", "Router Version is 2.0.1\r\n", "2.0.1", {}},
        AboutCase{"ShortLineGivesItsLastField", "Version 7\r\n", "7", {}},
        AboutCase{"NoVersionLine", "firmware 1.2.3\r\n", "", {}},
        AboutCase{"TimeOut", std::nullopt, "", {"version\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The sheet's system menu ----------------------------------------------------------

TEST_F(ScriptedShell, SystemMenuRangesIgnoreTheLowFourBits) {
  CAllControlsSheet sheet(session);
  Attach(sheet);
  std::vector<int> aboutOpened;
  view.onModal = [&](DialogModel& dialog) {
    aboutOpened.push_back(dialog.TemplateId());
    return 1;
  };

  for (unsigned id = 0x10; id <= 0x1f; ++id) EXPECT_TRUE(sheet.OnSysCommand(id)) << id;
  EXPECT_EQ(aboutOpened, std::vector<int>(16, IDD_ABOUT));
  EXPECT_TRUE(ui.messages.empty());

  for (unsigned id = 0x20; id <= 0x2f; ++id) {
    ui.answers.push_back(Answer::No);
    EXPECT_TRUE(sheet.OnSysCommand(id)) << id;
  }
  ASSERT_EQ(ui.messages.size(), 16u);
  for (const auto& m : ui.messages) {
    EXPECT_EQ(m.text, "Do you want to load default factory settings?");
    EXPECT_EQ(m.caption, "Help");
    EXPECT_EQ(m.buttons, Buttons::YesNo);
    EXPECT_EQ(m.owner, view.Window());
  }

  // Line History shows what the DSL Monitoring page has read, without asking the router.
  for (unsigned id = 0x30; id <= 0x3f; ++id) EXPECT_TRUE(sheet.OnSysCommand(id)) << id;
  EXPECT_EQ(view.plots, std::vector<PlotSource*>(16, &sheet.Find<CMONITOR>()->History));

  // Move, close and the like belong to the platform.
  for (unsigned id : {0x00u, 0x0fu, 0x70u, 0x110u, 0xF010u, 0xF060u, 0xF120u})
    EXPECT_FALSE(sheet.OnSysCommand(id)) << id;
  EXPECT_EQ(aboutOpened.size(), 16u);
  EXPECT_EQ(ui.messages.size(), 16u);
  EXPECT_TRUE(view.endResults.empty());
  EXPECT_EQ(router.made, 0);
}

TEST_F(ScriptedShell, DefaultsDeclinedOrMissingFileLeaveTheSheetOpen) {
  CAllControlsSheet sheet(session);
  sheet.DefaultsPath = ::testing::TempDir() + "no-such-dir/default.dat";
  Attach(sheet);

  ui.answers.push_back(Answer::No);
  sheet.LoadDefaultConfiguration();
  EXPECT_EQ(ui.messages.size(), 1u);

  sheet.LoadDefaultConfiguration();  // answered Yes
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].text, "Unable to find configuration file\n");
  EXPECT_EQ(ui.messages[2].caption, "");
  EXPECT_EQ(ui.messages[2].buttons, Buttons::Ok);
  EXPECT_TRUE(ui.waits.empty());
  EXPECT_TRUE(view.endResults.empty());
  EXPECT_EQ(router.made, 0);
}

TEST_F(ScriptedShell, ADefaultsReplayTheRouterDidNotGetWholeIsNotReportedAsLoaded) {
  const std::string path = ::testing::TempDir() + "tarnwick-defaults-" + std::to_string(getpid());
  std::FILE* file = std::fopen(path.c_str(), "w");
  std::fputs("a\nb\nc\n", file);
  std::fclose(file);
  CAllControlsSheet sheet(session);
  sheet.DefaultsPath = path;
  Attach(sheet);
  router.sendsFailAfter = 2;  // the log-in's line and the first replayed one
  sheet.LoadDefaultConfiguration();
  std::remove(path.c_str());
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Do you want to load default factory settings?",
                                                  "Error sending Winsock command"}));
  EXPECT_EQ(Commands(), (std::vector<std::string>{"a\n", "\r\n"})) << "the first line only";
  EXPECT_TRUE(view.endResults.empty()) << "the sheet stays open";
  ASSERT_EQ(ui.waits.size(), 1u);
  EXPECT_TRUE(ui.waits[0]->closed);
}

// ---- Start-up -------------------------------------------------------------------------

struct ScriptedHost final : ShellHost {
  std::function<int(DialogModel&)> onModal;
  std::function<int(SheetModel&)> onSheet;
  std::vector<int> modals;
  int sheets = 0;

  int RunModal(DialogModel& dialog) override {
    modals.push_back(dialog.TemplateId());
    return onModal(dialog);
  }
  int RunSheet(SheetModel& sheet) override {
    ++sheets;
    return onSheet(sheet);
  }
};

// Drives Log In as a user would: types the password (one attempt each) and presses OK,
// pressing Cancel when out of attempts.
std::function<int(DialogModel&)> TypePasswords(std::vector<std::string> attempts) {
  return [attempts](DialogModel& dialog) {
    TestView view;
    dialog.Attach(&view);
    dialog.OnInitDialog();
    for (const std::string& password : attempts) {
      view.SetText(IDC_LOGIN_PASSWORD, password);
      dialog.OnOK();
      if (!view.endResults.empty()) return view.endResults.back();
    }
    dialog.OnCancel();
    return view.endResults.back();
  };
}

TEST_F(ScriptedShell, StartupWithoutSocketsShowsTheMessageOnly) {
  ScriptedHost host;
  EXPECT_EQ(RunApplication(session, host, false), 0);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Windows sockets initialization failed."});
  EXPECT_EQ(ui.messages[0].caption, "");
  EXPECT_EQ(ui.messages[0].owner, nullptr);
  EXPECT_TRUE(host.modals.empty());
  EXPECT_EQ(host.sheets, 0);
}

TEST_F(ScriptedShell, CancelOnLogInEndsWithoutConnectingOrShowingTheSheet) {
  ScriptedHost host;
  host.onModal = TypePasswords({});
  EXPECT_EQ(RunApplication(session, host, true), 0);
  EXPECT_EQ(host.modals, std::vector<int>{IDD_LOGIN});
  EXPECT_EQ(host.sheets, 0);
  EXPECT_EQ(router.made, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ScriptedShell, SheetRunsLoggedInAndTheConnectionIsDroppedHoweverItEnds) {
  for (int sheetResult : {1, 2, 0}) {
    SCOPED_TRACE(sheetResult);
    settings.value = "127.0.0.1";
    session.ConfigChanged = true;  // left over: start-up clears it
    ScriptedHost host;
    host.onModal = TypePasswords({"nope", "admin"});
    bool sawConnection = false;
    host.onSheet = [&](SheetModel& sheet) {
      sawConnection = session.channel.TelnetSocket() != nullptr;
      EXPECT_FALSE(session.ConfigChanged);
      EXPECT_EQ(sheet.Caption(), "Tarnwick");
      return sheetResult;
    };
    const int closesBefore = router.closes;
    EXPECT_EQ(RunApplication(session, host, true), 0);
    EXPECT_EQ(host.sheets, 1);
    EXPECT_TRUE(sawConnection);
    EXPECT_EQ(session.channel.TelnetSocket(), nullptr);
    // The failed attempt closed its own socket; the drop after the sheet closes the other.
    EXPECT_EQ(router.closes, closesBefore + 2);
  }
}

}  // namespace
}  // namespace tarnwick
