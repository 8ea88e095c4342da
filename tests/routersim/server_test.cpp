// The simulator over loopback sockets: listening, paced sends, the real command channel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "RecordingUi.h"
#include "SimClient.h"
#include "channel/CommandChannel.h"
#include "channel/TextHelpers.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"

namespace tarnwick::routersim {
namespace {

using testing::kPrompt;
using testing::SimClient;

constexpr const char kPassword[] = "s3cret";

class Served : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }

  void Start(FaultOptions faults, Millis cookedTerminalMs = 0) {
    Options o;
    o.port = 0;
    o.password = kPassword;
    o.faults = faults;
    o.cookedTerminalMs = cookedTerminalMs;
    o.notice = [this](const std::string& text) {
      std::lock_guard<std::mutex> lock(noticeMu);
      notices += text + "\n";
    };
    sim = std::make_unique<Simulator>(o, clock);
    std::string error;
    ASSERT_TRUE(sim->Start(&error)) << error;
  }
  std::unique_ptr<CommandChannel> Channel() {
    auto channel = std::make_unique<CommandChannel>(*sockets, clock, ui);
    channel->RouterAddress = sim->Address();
    channel->RouterPassword = kPassword;
    return channel;
  }

  // Waits (in real time) for the server thread to act on what was sent.
  bool Eventually(const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
  }
  std::string Notices() {
    std::lock_guard<std::mutex> lock(noticeMu);
    return notices;
  }

  SkippingClock clock;
  std::mutex noticeMu;
  std::string notices;
  ::tarnwick::testing::RecordingUi ui;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
  std::unique_ptr<Simulator> sim;
};

TEST_F(Served, SessionOverLoopbackEndsWithItsConnection) {
  SimClient c;
  ASSERT_TRUE(c.Connect(sim->Port()));
  EXPECT_NE(c.LogIn(kPassword).find(kPrompt), std::string::npos);
  EXPECT_EQ(c.Command("version\r\n"), "version\r\n" + sim->RunCommand("version\r\n") + kPrompt);
  c.Send("@close\r\n");
  EXPECT_EQ(c.ReadFor(1500), "@close\r\nGoodbye\r\n");
  EXPECT_TRUE(c.closed);
}

TEST(ServedStart, RefusesAddressesOutsideLoopback) {
  SkippingClock clock;
  for (const char* address : {"192.168.1.1", "0.0.0.0", "10.0.0.1", "router"}) {
    Options o;
    o.listenAddress = address;
    o.port = 0;
    Simulator sim(o, clock);
    std::string error;
    EXPECT_FALSE(sim.Start(&error)) << address;
    EXPECT_NE(error.find("loopback"), std::string::npos) << error;
  }
  Options o;
  o.listenAddress = "127.0.0.2";
  o.port = 0;
  Simulator sim(o, clock);
  std::string error;
  EXPECT_TRUE(sim.Start(&error)) << error;
  EXPECT_EQ(sim.Address(), "127.0.0.2:" + std::to_string(sim.Port()));
}

TEST(ServedStart, ARouterComesUpAtItsSavedLanAddress) {
  char path[] = "/tmp/routersim-lan-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::ofstream(path) << "ip device flush\nip device add lan ether //edd 127.0.0.6\n";
  SkippingClock clock;
  Options o;
  o.port = 0;
  o.stateFile = path;
  Simulator sim(o, clock);
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  EXPECT_EQ(sim.Address(), "127.0.0.6:" + std::to_string(sim.Port()));
  std::remove(path);
}

TEST_F(Served, ChunkedRepliesArriveInPiecesButWhole) {
  FaultOptions f;
  f.chunkSize = 7;
  sim.reset();
  Start(f);
  SimClient c;
  ASSERT_TRUE(c.Connect(sim->Port()));
  c.LogIn(kPassword);
  c.receiveSizes.clear();
  std::string reply = c.Command("bsp line\r\n");
  EXPECT_EQ(reply, "bsp line\r\n" + sim->RunCommand("bsp line\r\n") + kPrompt);
  // Pacing keeps the pieces apart, though the receiver may still join a few.
  EXPECT_GE(c.receiveSizes.size(), reply.size() / 7 / 3);
}

TEST_F(Served, ChannelLogsInRunsCommandsAndSurvivesRestartAndBatch) {
  auto channel = Channel();
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(channel->ConnectAndLogin());
  std::string reply, mode;
  ASSERT_TRUE(channel->ExecuteCommand("bsp mode\r\n", reply, 5000));
  EXPECT_TRUE(GetReplyField(reply, "Modem Mode", 1, 5, mode));
  EXPECT_EQ(mode, "multi");

  channel->SendCommand("batch add bsp gdmt\r\n");
  channel->SendCommand("batch delay 2\r\n");
  channel->SendCommand("batch execute\r\n");
  ASSERT_TRUE(channel->ReconnectRouter(5000));
  channel->SaveConfiguration();
  ASSERT_TRUE(channel->ExecuteCommand("bsp mode\r\n", reply, 5000));
  GetReplyField(reply, "Modem Mode", 1, 5, mode);
  EXPECT_EQ(mode, "gdmt");

  channel->SendCommand("bsp glite\r\n");
  channel->RestartRouter(true);
  ASSERT_NE(channel->TelnetSocket(), nullptr);
  ASSERT_TRUE(channel->ExecuteCommand("bsp mode\r\n", reply, 5000));
  GetReplyField(reply, "Modem Mode", 1, 5, mode);
  EXPECT_EQ(mode, "gdmt");  // the unsaved change did not survive
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  channel->DropConnection();
  // The pauses after "restart" and "batch execute" cost no real time.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

// A line-buffered CLI behind a telnet daemon echoes typed-ahead lines at once and prompts later:
// the prompt of a line left unread ends the next reply early, though it counts as complete.
TEST_F(Served, OnACookedTerminalALineLeftUnreadEndsTheNextReplyEarly) {
  sim.reset();
  Start({}, 50);
  const std::string echo = "version\r\n";
  const std::string whole = echo + sim->RunCommand("version") + kPrompt;
  // What runs between the log-in and the command; whether the reply is then whole.
  const std::pair<std::function<void(CommandChannel&)>, bool> cases[] = {
      {[](CommandChannel&) {}, true},
      {[](CommandChannel& c) { c.SendCommand("home \r\n"); }, false},  // as the log-in did
      {[](CommandChannel& c) { c.SendAndSettle("home \r\n"); }, true},
  };
  for (const auto& [before, isWhole] : cases) {
    auto channel = Channel();
    ASSERT_TRUE(channel->ConnectAndLogin());
    before(*channel);
    std::string reply;
    EXPECT_TRUE(channel->ExecuteCommand(echo, reply, 5000));
    EXPECT_TRUE(isWhole ? reply == whole : reply.rfind(echo + kPrompt, 0) == 0) << reply;
  }
}

TEST_F(Served, RetrainRunsFromWhenTheLinesWereSent) {
  auto channel = Channel();
  ASSERT_TRUE(channel->ConnectAndLogin());
  auto lineUp = [&] {
    std::string reply;
    EXPECT_TRUE(channel->ExecuteCommand("bsp channel\r\n", reply, 5000));
    EXPECT_NE(reply, "");
    return reply.find("Modem is NOT in SHOWTIME yet") == std::string::npos;
  };
  EXPECT_TRUE(lineUp());
  // As the monitoring page retrains: lines sent back to back, then its 3 s period.
  channel->SendCommand("bsp ansi\r\n");
  channel->SendCommand(" bsp down\r\n");
  channel->SendCommand(" bsp up\r\n");
  clock.Sleep(3000);
  EXPECT_FALSE(lineUp());
  clock.Sleep(3000);
  EXPECT_FALSE(lineUp());
  clock.Sleep(3000);
  EXPECT_TRUE(lineUp());
  std::string reply, mode;
  ASSERT_TRUE(channel->ExecuteCommand("bsp line\r\n", reply, 5000));
  GetReplyField(reply, "Operation Mode Seletected", 1, 5, mode);
  EXPECT_EQ(mode, "T1.413");
}

TEST_F(Served, ListenerFollowsTheLanToAnotherLoopbackAddressOnly) {
  const std::string port = std::to_string(sim->Port());
  auto channel = Channel();
  auto moveLan = [&](const std::string& address) {
    ASSERT_TRUE(channel->ReconnectRouter(0));
    const std::string lines[] = {"ip device flush", "ip subnet flush",
                                 "ip device add lan ether //edd " + address,
                                 "ip subnet add lan.home . " + address + " ff:ff:ff:0"};
    for (const std::string& line : lines) channel->SendCommand("batch add " + line + "\r\n");
    channel->SendCommand("batch delay 2\r\n");
    channel->SendCommand("batch execute\r\n");
  };
  ASSERT_TRUE(channel->ConnectAndLogin());
  moveLan("127.0.0.5");
  ASSERT_TRUE(Eventually([&] { return sim->Address() == "127.0.0.5:" + port; })) << sim->Address();
  SimClient old;
  EXPECT_FALSE(old.Connect(sim->Port()));  // nothing left on 127.0.0.1

  channel->RouterAddress = sim->Address();
  std::string reply, lan;
  ASSERT_TRUE(channel->ReconnectRouter(5000));
  ASSERT_TRUE(channel->ExecuteCommand("ip device\r\n", reply, 5000));
  EXPECT_TRUE(GetReplyField(reply, "lan", 1, 7, lan));
  EXPECT_EQ(lan, "127.0.0.5");

  // A LAN address off loopback is never served: the listener stays and says so.
  moveLan("192.168.7.1");
  ASSERT_TRUE(Eventually([&] { return Notices().find("192.168.7.1") != std::string::npos; }));
  EXPECT_EQ(sim->Address(), "127.0.0.5:" + port);
  ASSERT_TRUE(channel->ReconnectRouter(5000));
  ASSERT_TRUE(channel->ExecuteCommand("ip device\r\n", reply, 5000));
  GetReplyField(reply, "lan", 1, 7, lan);
  EXPECT_EQ(lan, "192.168.7.1");
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
}

}  // namespace
}  // namespace tarnwick::routersim
