// Shell models end to end against the in-process router simulator over loopback. The
// simulator shares the client's SkippingClock, so pauses, restart downtime and reconnect
// delays cost no real time.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AboutDialog.h"
#include "app/General.h"
#include "app/LoginDialog.h"
#include "app/Sheet.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;
using testing::SimulatorWorld;
using testing::TestView;

const std::vector<int> kFullBar = {0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200};

class SimShell : public ::testing::Test, public testing::SimBench {
 protected:
  void SetUp() override { StartSimulator({}); }

  void StartSimulator(routersim::Options options) {
    options.password = kPassword;
    SimulatorWorld::Start(&options);
  }

  void LogIn() {
    session.channel.RouterAddress = sim->Address();
    session.channel.RouterPassword = kPassword;
    ASSERT_TRUE(session.channel.ConnectAndLogin());
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  }

  // SendCommand does not wait for the router: give its thread a moment to catch up.
  std::vector<std::string> CommandsEndingWith(const std::string& last) const {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::vector<std::string> lines = Commands();
    while ((lines.empty() || lines.back() != last) && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      lines = Commands();
    }
    return lines;
  }

  // A command whose reply proves the simulator has handled everything sent before it.
  std::vector<std::string> CommandsThroughMarker() {
    std::string reply;
    EXPECT_TRUE(session.channel.ExecuteCommand("version\r\n", reply, 5000));
    return Commands();
  }

  static constexpr const char* kPassword = "s3cret";
};

// A loopback port with nothing listening on it.
std::string UnusedLoopbackAddress() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t length = sizeof addr;
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length), 0);
  ::close(fd);
  return "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
}

// ---- Log In ---------------------------------------------------------------------------

TEST_F(SimShell, LogInFailureKeepsTheDialogOpenUntilARetrySucceeds) {
  struct Case {
    const char* name;
    std::string address;
    std::string password;
    std::vector<std::string> messages;
    int possibleErrors;
  };
  const std::vector<Case> cases = {
      {"nothing listening", UnusedLoopbackAddress(), kPassword, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingUi caseUi;
    Session s(*sockets, clock, caseUi, settings);
    CLoginDlg login(s);
    TestView view;
    login.Attach(&view);
    login.OnInitDialog();
    view.SetText(IDC_LOGIN_ADDRESS, c.address);
    view.SetText(IDC_LOGIN_PASSWORD, c.password);
    login.OnOK();

    EXPECT_TRUE(view.endResults.empty());
    EXPECT_EQ(view.GetText(IDC_LOGIN_ADDRESS), c.address);
    EXPECT_EQ(view.GetText(IDC_LOGIN_PASSWORD), c.password);
    EXPECT_EQ(caseUi.Texts(), c.messages);
    for (const auto& m : caseUi.messages) EXPECT_EQ(m.caption, "Error");
    EXPECT_EQ(caseUi.possibleErrors, c.possibleErrors);
    EXPECT_EQ(s.channel.TelnetSocket(), nullptr);

    // Corrected fields: a new attempt from scratch that ends the dialog.
    view.SetText(IDC_LOGIN_ADDRESS, sim->Address());
    view.SetText(IDC_LOGIN_PASSWORD, kPassword);
    login.OnOK();
    EXPECT_EQ(view.endResults, std::vector<int>{1});
    EXPECT_EQ(caseUi.messages.size(), c.messages.size());
    EXPECT_NE(s.channel.TelnetSocket(), nullptr);
    EXPECT_EQ(s.channel.RouterAddress, sim->Address());
    EXPECT_EQ(s.channel.RouterPassword, kPassword);
  }
}

// ---- Close ----------------------------------------------------------------------------

TEST_F(SimShell, CloseWithoutAChangeSendsNothing) {
  LogIn();
  General general(session);
  TestView page;
  general.Attach(&page);
  general.OnInitDialog();
  EXPECT_TRUE(page.cancelToClose);
  general.OnSheetOk();
  EXPECT_TRUE(ui.waits.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(CommandsThroughMarker(), std::vector<std::string>{"version\r\n"});
}

TEST_F(SimShell, CloseAfterAChangeReconnectsAndSaves) {
  LogIn();
  session.ConfigChanged = true;
  General general(session);
  TestView page;
  general.Attach(&page);
  general.OnSheetOk();

  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  ASSERT_EQ(ui.waits.size(), 1u);
  EXPECT_EQ(ui.waits[0]->text, "Please wait a moment while config is being saved.");
  EXPECT_EQ(ui.waits[0]->positions, kFullBar);
  EXPECT_EQ(ui.waits[0]->repaints, 1);
  EXPECT_TRUE(ui.waits[0]->closed);
  EXPECT_EQ(CommandsThroughMarker(), (std::vector<std::string>{"config save\r\n", "version\r\n"}));
  // The save ran on a fresh log-in.
  int logIns = 0;
  for (const std::string& line : sim->TranscriptLines()) logIns += line == "home \r\n";
  EXPECT_EQ(logIns, 2);
}

// ---- Load Default Configuration -------------------------------------------------------

class SimDefaults : public SimShell {
 protected:
  void TearDown() override { std::remove(path.c_str()); }

  void WriteDefaults(const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }

  void Run(CAllControlsSheet& sheet, TestView& view) {
    sheet.DefaultsPath = path;
    sheet.Attach(&view);
    ASSERT_TRUE(sheet.OnSysCommand(0x20));
  }

  std::string path =
      ::testing::TempDir() + "tarnwick-default-" + std::to_string(::getpid()) + ".dat";
};

TEST_F(SimDefaults, ReplaysTheFileLineByLineThenSavesRestartsAndCloses) {
  const std::string longLine(300, 'x');
  WriteDefaults("lan config ipaddress 10.9.8.7\n" + longLine + "\nip route flush\n");
  LogIn();
  CAllControlsSheet sheet(session);
  TestView view;
  Run(sheet, view);

  const std::vector<std::string> expected = {
      "lan config ipaddress 10.9.8.7\n\r\n",
      longLine.substr(0, 255) + "\r\n",
      longLine.substr(255) + "\n\r\n",
      "ip route flush\n\r\n",
      "\r\n",  // the read that finds end of file
      "config save\r\n",
      "restart\r\n",
      "@close\r\n",
  };
  std::string expectedBytes, gotBytes;
  for (const auto& line : expected) expectedBytes += line;
  for (const auto& line : CommandsEndingWith("@close\r\n")) gotBytes += line;
  EXPECT_EQ(gotBytes, expectedBytes);

  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text,
            "Default factory settings are loaded successfully. Please run the Tarnwick again.");
  EXPECT_EQ(ui.messages[1].caption, "Config Success");
  EXPECT_EQ(ui.messages[1].owner, view.Window());
  ASSERT_EQ(ui.waits.size(), 1u);
  EXPECT_EQ(ui.waits[0]->text, "Please wait while flashing the Default configuration.");
  EXPECT_EQ(ui.waits[0]->positions, kFullBar);
  EXPECT_EQ(ui.waits[0]->repaints, 1);
  EXPECT_TRUE(ui.waits[0]->closed);
  EXPECT_EQ(view.endResults, std::vector<int>{0});
}

TEST_F(SimDefaults, LastLineWithoutLineFeedGetsNoExtraPass) {
  WriteDefaults("ip route flush\nlan config ipaddress 10.9.8.7");
  LogIn();
  CAllControlsSheet sheet(session);
  TestView view;
  Run(sheet, view);
  std::vector<std::string> got = CommandsEndingWith("@close\r\n");
  std::string gotBytes;
  for (const auto& line : got) gotBytes += line;
  EXPECT_EQ(gotBytes,
            "ip route flush\n\r\nlan config ipaddress 10.9.8.7\r\nconfig save\r\nrestart\r\n"
            "@close\r\n");
  EXPECT_EQ(view.endResults, std::vector<int>{0});
}

// ---- About ----------------------------------------------------------------------------

TEST_F(SimShell, AboutShowsTheRouterFirmware) {
  routersim::Options options;
  options.firmwareVersion = "9.8.7";
  sim.reset();
  StartSimulator(options);
  LogIn();
  CAllControlsSheet sheet(session);
  TestView view;
  sheet.Attach(&view);
  std::string shown;
  view.onModal = [&](DialogModel& dialog) {
    TestView aboutView;
    dialog.Attach(&aboutView);
    dialog.OnInitDialog();
    shown = aboutView.GetText(IDC_ABOUT_FIRMWARE);
    return 1;
  };
  ASSERT_TRUE(sheet.OnSysCommand(0x10));
  EXPECT_EQ(shown, "9.8.7");
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tarnwick
