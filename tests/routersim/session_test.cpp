// The simulator over loopback: log-in dialogue, echo and prompt, session ends, faults.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
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

// '>' only as the last-but-one byte: the prompt, and nothing before it.
bool OnlyPromptHoldsMark(const std::string& reply) {
  return reply.size() >= 8 && reply.compare(reply.size() - 8, 8, kPrompt) == 0 &&
         reply.find('>') == reply.size() - 2;
}

class Session : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }

  void Start(FaultOptions faults, std::string transcript = "") {
    Options o;
    o.port = 0;
    o.password = kPassword;
    o.faults = faults;
    o.transcriptFile = transcript;
    sim = std::make_unique<Simulator>(o, clock);
    std::string error;
    ASSERT_TRUE(sim->Start(&error)) << error;
  }
  // A logged-in client.
  std::unique_ptr<SimClient> LoggedIn() {
    auto c = std::make_unique<SimClient>();
    EXPECT_TRUE(c->Connect(sim->Port()));
    EXPECT_NE(c->LogIn(kPassword).find('>'), std::string::npos);
    return c;
  }

  SkippingClock clock;
  std::unique_ptr<Simulator> sim;
};

TEST_F(Session, RightPasswordGivesAPrompt) {
  SimClient c;
  ASSERT_TRUE(c.Connect(sim->Port()));
  std::string banner = c.ReadUntil(
      [](const std::string& t) { return t.size() >= 16 && t.compare(t.size() - 2, 2, ": ") == 0; });
  EXPECT_NE(banner.find("password"), std::string::npos);
  EXPECT_EQ(banner.find('>'), std::string::npos);
  c.Send(std::string(kPassword) + "\r\n");
  std::string after = c.ReadPrompt();
  EXPECT_TRUE(OnlyPromptHoldsMark(after)) << after;
  EXPECT_EQ(after.find(kPassword), std::string::npos);  // a password is never echoed
}

TEST_F(Session, WrongPasswordsGetANewRequestThenTheConnectionCloses) {
  SimClient c;
  ASSERT_TRUE(c.Connect(sim->Port()));
  std::string answer = c.LogIn("S3cret");  // case matters
  EXPECT_EQ(answer.find('>'), std::string::npos);
  EXPECT_NE(answer.find("password"), std::string::npos);
  c.Send("wrong\r\n");
  answer =
      c.ReadUntil([](const std::string& t) { return t.find("password") != std::string::npos; });
  EXPECT_EQ(answer.find('>'), std::string::npos);
  c.Send("again\r\n");
  answer = c.ReadFor(1500);
  EXPECT_TRUE(c.closed);
  EXPECT_EQ(answer.find('>'), std::string::npos);
  // The router still takes the next caller.
  EXPECT_NE(LoggedIn(), nullptr);
}

TEST_F(Session, EveryLineIsEchoedExactlyThenOutputThenPrompt) {
  auto c = LoggedIn();
  const char* lines[] = {
      "home \r\n",    "version\r\n", " bsp down\r\n", "ip route\r\n", "snmp access list\r\n",
      "nonsense\r\n", "\r\n",        "bsp mode\n"};
  for (const char* line : lines) {
    std::string reply = c->Command(line);
    EXPECT_EQ(reply.compare(0, std::string(line).size(), line), 0) << line << reply;
    EXPECT_TRUE(OnlyPromptHoldsMark(reply)) << line << reply;
  }
  std::string unknown = c->Command("nonsense\r\n");
  EXPECT_NE(unknown.find("Error"), std::string::npos);
}

TEST_F(Session, LinesSentTogetherAreAnsweredInOrder) {
  auto c = LoggedIn();
  c->Send("version\r\nip route\r\n");
  std::string both = c->ReadUntil([](const std::string& t) {
    return t.find("ip route\r\n") != std::string::npos &&
           t.compare(t.size() - 8, 8, kPrompt) == 0 && t.find("empty") != std::string::npos;
  });
  auto v = both.find("version\r\n"), r = both.find("ip route\r\n");
  ASSERT_NE(v, std::string::npos);
  ASSERT_NE(r, std::string::npos);
  EXPECT_LT(v, r);
  EXPECT_LT(both.find("Firmware Version"), r);
}

TEST_F(Session, BatchExecuteRunsTheQueueAndEndsTheSession) {
  auto c = LoggedIn();
  c->Send(
      "batch add ip route add a 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n"
      "batch add ip snmp access read ops\r\n"
      "batch delay 2\r\n");
  c->Send("ip route\r\n");
  c->ReadUntil(
      [](const std::string& t) { return t.find("Routing table is empty") != std::string::npos; });
  EXPECT_NE(sim->RunCommand("ip route\r\n").find("Routing table is empty"), std::string::npos);
  c->Send("batch execute\r\n");
  std::string rest = c->ReadFor(1500);
  EXPECT_TRUE(c->closed);
  EXPECT_EQ(rest.find('>'), std::string::npos);
  EXPECT_NE(sim->RunCommand("ip route\r\n").find("add a 10.1.0.0"), std::string::npos);
  EXPECT_NE(sim->RunCommand("snmp access list\r\n").find("access read ops"), std::string::npos);
  auto again = LoggedIn();
  EXPECT_NE(again->Command("ip route\r\n").find("add a"), std::string::npos);
}

TEST_F(Session, AnEndlessLineEndsTheSessionInsteadOfFillingMemory) {
  auto c = LoggedIn();
  c->Send(std::string(70 * 1024, 'x'));
  std::string answer = c->ReadFor(1500);
  EXPECT_TRUE(c->closed);
  EXPECT_NE(answer.find("too long"), std::string::npos);
  EXPECT_NE(LoggedIn(), nullptr);
}

TEST_F(Session, CloseEndsTheSession) {
  auto c = LoggedIn();
  c->Send("@close\r\n");
  c->ReadFor(1500);
  EXPECT_TRUE(c->closed);
}

TEST_F(Session, RestartIsUnreachableUntilItsDowntimeThenForgetsUnsavedChanges) {
  auto c = LoggedIn();
  c->Command("ip route add kept 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n");
  EXPECT_NE(c->Command("config save\r\n").find("Configuration saved"), std::string::npos);
  c->Command("ip route add lost 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n");
  c->Send("restart\r\n");
  c->ReadFor(1500);
  EXPECT_TRUE(c->closed);

  // Still booting: the call is taken but nothing answers.
  SimClient early;
  ASSERT_TRUE(early.Connect(sim->Port()));
  EXPECT_EQ(early.ReadFor(300), "");
  auto started = std::chrono::steady_clock::now();
  clock.Sleep(15000);  // what the client waits after a restart; costs no real time
  EXPECT_NE(early.LogIn(kPassword).find('>'), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  std::string routes = early.Command("ip route\r\n");
  EXPECT_NE(routes.find("kept"), std::string::npos);
  EXPECT_EQ(routes.find("lost"), std::string::npos);
}

TEST_F(Session, TranscriptHoldsEveryLineWithItsTime) {
  char path[] = "/tmp/routersim-transcript-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  sim.reset();
  Start({}, path);
  auto c = LoggedIn();
  c->Command("home \r\n");
  clock.Sleep(250);
  c->Command("version\r\n");
  std::vector<TranscriptLine> t = sim->Transcript();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].line, std::string(kPassword) + "\r\n");
  EXPECT_EQ(t[1].line, "home \r\n");
  EXPECT_EQ(t[2].line, "version\r\n");
  EXPECT_GE(t[2].time - t[1].time, 250);
  EXPECT_EQ(sim->TranscriptLines().back(), "version\r\n");

  std::ifstream f(path);
  std::stringstream text;
  text << f.rdbuf();
  EXPECT_NE(text.str().find("home \\r\\n\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(" ms\tversion\\r\\n\n"), std::string::npos) << text.str();
  std::remove(path);

  sim->ClearTranscript();
  EXPECT_TRUE(sim->Transcript().empty());
}

TEST(SessionStart, RefusesAddressesOutsideLoopback) {
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

// ---- faults ----------------------------------------------------------------------------

TEST_F(Session, SilenceAfterNLinesAnswersNothingMore) {
  FaultOptions f;
  f.silenceAfterLines = 3;  // password, home, version
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  c->Command("home \r\n");
  EXPECT_TRUE(OnlyPromptHoldsMark(c->Command("version\r\n")));
  c->Send("ip route\r\n");
  EXPECT_EQ(c->ReadFor(400), "");
  EXPECT_FALSE(c->closed);
  EXPECT_EQ(sim->TranscriptLines().back(), "ip route\r\n");
  SimClient late;
  ASSERT_TRUE(late.Connect(sim->Port()));
  EXPECT_EQ(late.ReadFor(300), "");  // not even a banner
}

TEST_F(Session, ChunkedRepliesArriveInPiecesButWhole) {
  FaultOptions f;
  f.chunkSize = 7;
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  c->receiveSizes.clear();
  std::string reply = c->Command("bsp line\r\n");
  EXPECT_EQ(reply, "bsp line\r\n" + sim->RunCommand("bsp line\r\n") + kPrompt);
  // Pacing keeps the pieces apart, though the receiver may still join a few.
  EXPECT_GE(c->receiveSizes.size(), reply.size() / 7 / 3);
}

TEST_F(Session, DropMidReplyCutsOneReplyAndCloses) {
  FaultOptions f;
  f.dropMidReplyAfterLines = 2;  // password, home
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  c->Command("home \r\n");
  c->Send("bsp line\r\n");
  std::string half = c->ReadFor(1500);
  EXPECT_TRUE(c->closed);
  std::string whole = "bsp line\r\n" + sim->RunCommand("bsp line\r\n") + kPrompt;
  EXPECT_EQ(half, whole.substr(0, whole.size() / 2));
  // Once only: the next session works.
  auto again = LoggedIn();
  EXPECT_TRUE(OnlyPromptHoldsMark(again->Command("bsp line\r\n")));
}

TEST_F(Session, EchoWithoutLineEnd) {
  FaultOptions f;
  f.echoWithoutLineEnd = true;
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  std::string reply = c->Command("version\r\n");
  EXPECT_EQ(reply.find("version\r\n"), std::string::npos);
  EXPECT_EQ(reply, "version" + sim->RunCommand("version\r\n") + kPrompt);
}

TEST_F(Session, OptionBytesComeBeforeTheBanner) {
  FaultOptions f;
  f.optionBytesBeforeBanner = true;
  sim.reset();
  Start(f);
  SimClient c;
  ASSERT_TRUE(c.Connect(sim->Port()));
  std::string banner =
      c.ReadUntil([](const std::string& t) { return t.find("password: ") != std::string::npos; });
  ASSERT_GE(banner.size(), 3u);
  EXPECT_EQ(static_cast<unsigned char>(banner[0]), 0xff);  // IAC
  EXPECT_EQ(static_cast<unsigned char>(banner[1]), 0xfb);  // WILL
  c.Send(std::string(kPassword) + "\r\n");
  EXPECT_NE(c.ReadPrompt().find('>'), std::string::npos);
}

TEST_F(Session, ZeroByteSitsInsideTheOutput) {
  FaultOptions f;
  f.zeroByteInReply = true;
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  std::string reply = c->Command("bsp line\r\n");
  auto zero = reply.find('\0');
  ASSERT_NE(zero, std::string::npos);
  EXPECT_GT(zero, std::string("bsp line\r\n").size());
  EXPECT_LT(zero, reply.size() - 8);
  std::string without = reply;
  without.erase(zero, 1);
  EXPECT_EQ(without, "bsp line\r\n" + sim->RunCommand("bsp line\r\n") + kPrompt);
}

TEST_F(Session, PaddedRepliesKeepTheirKeysAndSize) {
  FaultOptions f;
  f.padReplyTo = 5000;
  sim.reset();
  Start(f);
  auto c = LoggedIn();
  for (const char* line :
       {"bsp line\r\n", "ip route\r\n", "ip route add x 10.0.0.0 10.0.0.1 ff:0:0:0\r\n"}) {
    std::string reply = c->Command(line);
    EXPECT_EQ(reply.size(), std::string(line).size() + 5000 + 8) << line;
    EXPECT_TRUE(OnlyPromptHoldsMark(reply));
  }
  std::string reply = c->Command("ip route\r\n");
  std::string out;
  EXPECT_TRUE(GetReplyField(reply, "route add", 1, 3, out));
  EXPECT_EQ(out, "x");
  // Filler carries none of the words listings are scanned for.
  EXPECT_EQ(reply.find("add", reply.find("route add") + 9), std::string::npos);
}

// ---- against the real command channel ------------------------------------------------

TEST_F(Session, ChannelLogsInRunsCommandsAndSurvivesRestartAndBatch) {
  ::tarnwick::testing::RecordingUi ui;
  auto sockets = MakePlatformSocketFactory(true);
  CommandChannel channel(*sockets, clock, ui);
  channel.RouterAddress = sim->Address();
  channel.RouterPassword = kPassword;
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(channel.ConnectAndLogin());
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand("bsp mode\r\n", reply, 5000));
  std::string mode;
  EXPECT_TRUE(GetReplyField(reply, "Modem Mode", 1, 5, mode));
  EXPECT_EQ(mode, "multi");

  channel.SendCommand("batch add bsp gdmt\r\n");
  channel.SendCommand("batch delay 2\r\n");
  channel.SendCommand("batch execute\r\n");
  ASSERT_TRUE(channel.ReconnectRouter(5000));
  channel.SaveConfiguration();
  ASSERT_TRUE(channel.ExecuteCommand("bsp mode\r\n", reply, 5000));
  GetReplyField(reply, "Modem Mode", 1, 5, mode);
  EXPECT_EQ(mode, "gdmt");

  channel.SendCommand("bsp glite\r\n");
  channel.RestartRouter(true);
  ASSERT_NE(channel.TelnetSocket(), nullptr);
  ASSERT_TRUE(channel.ExecuteCommand("bsp mode\r\n", reply, 5000));
  GetReplyField(reply, "Modem Mode", 1, 5, mode);
  EXPECT_EQ(mode, "gdmt");  // the unsaved change did not survive
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  channel.DropConnection();
  // The pauses after "restart" and "batch execute" cost no real time.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST_F(Session, RetrainRunsFromWhenTheLinesWereSent) {
  ::tarnwick::testing::RecordingUi ui;
  auto sockets = MakePlatformSocketFactory(true);
  CommandChannel channel(*sockets, clock, ui);
  channel.RouterAddress = sim->Address();
  channel.RouterPassword = kPassword;
  ASSERT_TRUE(channel.ConnectAndLogin());
  auto lineUp = [&] {
    std::string reply;
    EXPECT_TRUE(channel.ExecuteCommand("bsp channel\r\n", reply, 5000));
    EXPECT_NE(reply, "");
    return reply.find("Modem is NOT in SHOWTIME yet") == std::string::npos;
  };
  EXPECT_TRUE(lineUp());
  // As the monitoring page retrains: lines sent back to back, then its 3 s period.
  channel.SendCommand("bsp ansi\r\n");
  channel.SendCommand(" bsp down\r\n");
  channel.SendCommand(" bsp up\r\n");
  clock.Sleep(3000);
  EXPECT_FALSE(lineUp());
  clock.Sleep(3000);
  EXPECT_FALSE(lineUp());
  clock.Sleep(3000);
  EXPECT_TRUE(lineUp());
  std::string reply, mode;
  ASSERT_TRUE(channel.ExecuteCommand("bsp line\r\n", reply, 5000));
  GetReplyField(reply, "Operation Mode Seletected", 1, 5, mode);
  EXPECT_EQ(mode, "T1.413");
}

}  // namespace
}  // namespace tarnwick::routersim
