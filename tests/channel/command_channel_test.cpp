// The command channel byte by byte against scripted peers on a virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "channel/CommandChannel.h"
#include "support/FakeSocket.h"
#include "support/RecordingUi.h"

namespace tarnwick {
namespace {

using testing::ApplyChunking;
using testing::Chunking;
using testing::FakePeer;

const std::string kRoute = "ip route\r\n";
// Replies end at the chunk holding ">", so a prompt ending in ">" keeps them independent
// of chunking.
const std::string kRouteReply = kRoute + "10.0.0.0 ff:0:0:0 lan\r\n0.0.0.0 0:0:0:0 wan1\r\nRouter>";
const std::string kPromptMessage = "Unable to receive message from modem for login via Telnet";
const std::string kPasswordTimeout = "Timeout trying to get password acknowledgement\n";

class ChannelTest : public ::testing::Test {
 protected:
  ChannelTest() {
    channel.RouterAddress = "127.0.0.1";
    channel.RouterPassword = "admin";
  }
  FakePeer& Peer(std::size_t i = 0) { return *sockets.peers.at(i); }

  ManualClock clock;
  testing::FakeSocketFactory sockets{clock};
  testing::RecordingUi ui;
  CommandChannel channel{sockets, clock, ui};
};

struct ChunkingCase {
  Chunking chunking;
  unsigned seed;
};

void PrintTo(const ChunkingCase& c, std::ostream* os) {
  const char* names[] = {"as scripted", "one byte", "random"};
  *os << names[static_cast<int>(c.chunking)];
  if (c.chunking == Chunking::Random) *os << " seed " << c.seed;
}

// Cases whose outcome must not depend on how the peer's bytes are cut into receives.
class ChunkedChannelTest : public ChannelTest, public ::testing::WithParamInterface<ChunkingCase> {
 protected:
  void Rechunk(FakePeer& peer) { ApplyChunking(peer, GetParam().chunking, GetParam().seed); }
};

INSTANTIATE_TEST_SUITE_P(Chunkings, ChunkedChannelTest,
                         ::testing::Values(ChunkingCase{Chunking::AsScripted, 0},
                                           ChunkingCase{Chunking::OneByte, 0},
                                           ChunkingCase{Chunking::Random, 1},
                                           ChunkingCase{Chunking::Random, 7},
                                           ChunkingCase{Chunking::Random, 42}));

TEST_P(ChunkedChannelTest, LogsInSendsPasswordAndHome) {
  Rechunk(sockets.AddPeer().Login());
  ASSERT_TRUE(channel.ConnectAndLogin());
  EXPECT_NE(channel.TelnetSocket(), nullptr);
  EXPECT_EQ(Peer().sent, (std::vector<std::string>{"admin\r\n", "home \r\n"}));
  EXPECT_EQ(Peer().connectedHost, "127.0.0.1");
  EXPECT_EQ(Peer().connectedPort, 23);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_GE(clock.Now(), 600);  // three 200 ms pauses
}

TEST_P(ChunkedChannelTest, RecognisesPasswordSplitAcrossReceives) {
  Rechunk(sockets.AddPeer()
              .Deliver("Enter pass")
              .Deliver("word: ", 300)
              .Expect("admin\r\n")
              .Deliver("\r\nRout")
              .Deliver("er> "));
  EXPECT_TRUE(channel.ConnectAndLogin());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_P(ChunkedChannelTest, PromptBeforeThePasswordRequestDoesNotCount) {
  Rechunk(sockets.AddPeer().Deliver("Router> Enter password: ").Expect("admin\r\n"));
  EXPECT_FALSE(channel.ConnectAndLogin());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kPromptMessage});
  EXPECT_EQ(channel.TelnetSocket(), nullptr);
}

TEST_F(ChannelTest, PromptInTheRequestChunkEndsTheLogInAtOnce) {
  sockets.AddPeer()
      .Deliver("Enter password: >")
      .Expect("admin\r\n")
      .Expect("home \r\n")
      .Deliver("home \r\n>");
  ASSERT_TRUE(channel.ConnectAndLogin());
  EXPECT_EQ(clock.Now(), 600);  // no receive after the password but the one of "home "
  EXPECT_EQ(Peer().receives, 2);
  EXPECT_EQ(Peer().sent, (std::vector<std::string>{"admin\r\n", "home \r\n"}));
}

TEST_F(ChannelTest, AddressMayCarryAPort) {
  channel.RouterAddress = "localhost:2323";
  sockets.AddPeer().Login();
  ASSERT_TRUE(channel.ConnectAndLogin());
  EXPECT_EQ(Peer().connectedHost, "localhost");
  EXPECT_EQ(Peer().connectedPort, 2323);
}

TEST(SplitHostPort, AcceptsOnlyAValidPort) {
  struct Case {
    std::string address;
    bool ok;
    std::string host;
    std::uint16_t port;
  };
  const std::vector<Case> cases = {
      {"192.168.1.1", true, "192.168.1.1", 23},
      {"router:2323", true, "router", 2323},
      {"h:65535", true, "h", 65535},
      {"h:0", false, "", 0},
      {"h:65536", false, "", 0},
      {"h:", false, "", 0},
      {"h:2x", false, "", 0},
      {"h:123456", false, "", 0},
  };
  for (const auto& c : cases) {
    std::string host;
    std::uint16_t port = 0;
    EXPECT_EQ(SplitHostPort(c.address, host, port), c.ok) << c.address;
    if (c.ok) {
      EXPECT_EQ(host, c.host);
      EXPECT_EQ(port, c.port);
    }
  }
}

struct LoginFailure {
  const char* name;
  std::function<void(testing::FakeSocketFactory&, CommandChannel&)> setUp;
  std::vector<std::string> messages;
  int possibleErrors;
  bool shutDown;  // the connection was dropped, not merely discarded
};

TEST_F(ChannelTest, EachLogInFailureReportsOnceAndLeavesNoConnection) {
  const std::vector<LoginFailure> cases = {
      {"no socket object",
       [](auto& s, auto&) { s.makeFails = true; },
       {"Unable to create a winsock connection\n"},
       0,
       false},
      {"create fails",
       [](auto& s, auto&) { s.AddPeer().createFails = true; },
       {"Unable to create a Telnet socket connection to the modem\n"},
       0,
       false},
      {"connect fails", [](auto& s, auto&) { s.AddPeer().connectFails = true; }, {}, 1, true},
      {"malformed port",
       [](auto& s, auto& c) {
         s.AddPeer().Login();
         c.RouterAddress = "127.0.0.1:99999";
       },
       {},
       1,
       true},
      {"silent router", [](auto& s, auto&) { s.AddPeer(); }, {kPasswordTimeout}, 0, true},
      {"request one ms late",
       [](auto& s, auto&) { s.AddPeer().Deliver("password:", 600 + 5001); },
       {kPasswordTimeout},
       0,
       true},
      {"closed before the request",
       [](auto& s, auto&) { s.AddPeer().Deliver("Welcome\r\n").Close(); },
       {kPasswordTimeout},
       0,
       true},
      {"receive error", [](auto& s, auto&) { s.AddPeer().Fail(); }, {kPasswordTimeout}, 0, true},
      {"password send fails",
       [](auto& s, auto&) {
         auto& p = s.AddPeer().Login();
         p.failSendAt = 0;
       },
       {"Unable to send password\n"},
       0,
       true},
      {"wrong password",
       [](auto& s, auto&) {
         s.AddPeer().Deliver("password: ").Expect("admin\r\n").Deliver("\r\nBad\r\npassword: ");
       },
       {kPromptMessage},
       0,
       true},
      {"no prompt",
       [](auto& s, auto&) { s.AddPeer().Deliver("password: ").Expect("admin\r\n"); },
       {kPromptMessage},
       0,
       true},
      {"closed after the password",
       [](auto& s, auto&) { s.AddPeer().Deliver("password: ").Expect("admin\r\n").Close(); },
       {kPromptMessage},
       0,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ManualClock clock;
    testing::FakeSocketFactory sockets(clock);
    testing::RecordingUi ui;
    CommandChannel channel(sockets, clock, ui);
    channel.RouterAddress = "127.0.0.1";
    channel.RouterPassword = "admin";
    c.setUp(sockets, channel);

    EXPECT_FALSE(channel.ConnectAndLogin());
    EXPECT_EQ(ui.Texts(), c.messages);
    for (const auto& m : ui.messages) {
      EXPECT_EQ(m.caption, "Error");
      EXPECT_EQ(m.owner, nullptr);
      EXPECT_EQ(m.buttons, Buttons::Ok);
    }
    EXPECT_EQ(ui.possibleErrors, c.possibleErrors);
    EXPECT_EQ(channel.TelnetSocket(), nullptr);
    if (!sockets.peers.empty()) {
      const FakePeer& peer = *sockets.peers[0];
      EXPECT_TRUE(peer.destroyed);
      EXPECT_EQ(peer.shutDown, c.shutDown);
      EXPECT_EQ(peer.closed, c.shutDown);
      // Each wait ends within its limit plus one receive slice; nothing spins.
      EXPECT_LE(clock.Now(), 600 + 2 * (5000 + 51));
      EXPECT_LE(peer.receives, 2 * (5000 / 20 + 5));
    }
  }
}

TEST_F(ChannelTest, RequestAtTheLimitStillCounts) {
  sockets.AddPeer()
      .Deliver("password:", 600 + 5000)
      .Expect("admin\r\n")
      .Deliver(">", 5000);  // 5000 ms after the password, at the limit
  EXPECT_TRUE(channel.ConnectAndLogin());
  EXPECT_TRUE(ui.messages.empty());
}

class LoggedInTest : public ChannelTest {
 protected:
  // A logged-in channel whose peer answers command with the given chunks.
  FakePeer& LogInThenAnswer(const std::string& command, const std::vector<std::string>& chunks) {
    FakePeer& peer = sockets.AddPeer().Login().Expect(command);
    for (const auto& c : chunks) peer.Deliver(c);
    return peer;
  }
  void LogIn() {
    ASSERT_TRUE(channel.ConnectAndLogin());
    ui.messages.clear();
    sentAt = clock.Now();
  }
  Millis sentAt = 0;
};

class ChunkedReplyTest : public LoggedInTest, public ::testing::WithParamInterface<ChunkingCase> {
 protected:
  void Rechunk(FakePeer& peer) { ApplyChunking(peer, GetParam().chunking, GetParam().seed); }
};

INSTANTIATE_TEST_SUITE_P(Chunkings, ChunkedReplyTest,
                         ::testing::Values(ChunkingCase{Chunking::AsScripted, 0},
                                           ChunkingCase{Chunking::OneByte, 0},
                                           ChunkingCase{Chunking::Random, 3},
                                           ChunkingCase{Chunking::Random, 11}));

TEST_P(ChunkedReplyTest, ReplyStartsAtTheEchoAndEndsWithThePrompt) {
  // Unread text of earlier commands, with prompts of its own, before a split echo.
  Rechunk(LogInThenAnswer(kRoute,
                          {"batch add x\r\nRouter> ip ro", "Router> ip ro",
                           "ute\r\n10.0.0.0 ff:0:0:0 lan\r\n0.0.0.0 0:0:0:0 wan1\r\n", "Router>"}));
  LogIn();
  std::string reply = "stale";
  ASSERT_TRUE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, kRouteReply);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Peer().sent.back(), kRoute);
}

TEST_P(ChunkedReplyTest, LongReplyIsCollectedWhole) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += "line " + std::to_string(i) + "\r\n";
  Rechunk(LogInThenAnswer("dsl\r\n", {"dsl\r\n" + body + "Router>"}));
  LogIn();
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand("dsl\r\n", reply, 5000));
  EXPECT_EQ(reply.size(), body.size() + 12);
  EXPECT_TRUE(reply == "dsl\r\n" + body + "Router>");
}

TEST_P(ChunkedReplyTest, EchoWithoutLineEndTimesOutWithTheCommandAsMessage) {
  Rechunk(LogInThenAnswer(kRoute, {"ip route\n10.0.0.0\r\nRouter> "}));
  LogIn();
  std::string reply = "stale";
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "");
  ASSERT_EQ(ui.Texts(), std::vector<std::string>{kRoute});
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].owner, nullptr);
  EXPECT_GT(clock.Now() - sentAt, 100 + 5000);
  EXPECT_LE(clock.Now() - sentAt, 100 + 5000 + 100);
}

TEST_P(ChunkedReplyTest, ClosedConnectionEndsAtTheLimitWithoutSpinning) {
  Rechunk(sockets.AddPeer().Login().Expect(kRoute).Deliver("ip ro").Close());
  LogIn();
  int receivesBefore = Peer().receives;
  std::string reply = "stale";
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kRoute});
  EXPECT_GT(clock.Now() - sentAt, 100 + 5000);
  EXPECT_LE(clock.Now() - sentAt, 100 + 5000 + 100);
  // Sleeps between receives that return at once; bytes still to read add one each.
  EXPECT_LE(Peer().receives - receivesBefore, 5000 / 20 + 40);
  EXPECT_NE(channel.TelnetSocket(), nullptr);  // the connection is kept
}

TEST_F(LoggedInTest, SilentRouterIsBoundedByTheLimit) {
  sockets.AddPeer().Login();
  LogIn();
  int pumps = ui.paintPumps;
  std::string reply;
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 10000));
  EXPECT_GT(clock.Now() - sentAt, 100 + 10000);
  EXPECT_LE(clock.Now() - sentAt, 100 + 10000 + 100);
  EXPECT_GT(ui.paintPumps - pumps, 100);  // windows repaint during the wait
}

TEST_F(LoggedInTest, ReplyCompletedAfterTheLimitIsATimeOut) {
  // Times count from the send; collection starts 100 ms later.
  sockets.AddPeer().Login().Expect(kRoute).Deliver(kRouteReply, 100 + 5001);
  LogIn();
  std::string reply;
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kRoute});
}

TEST_F(LoggedInTest, ReplyCompletedAtTheLimitSucceeds) {
  sockets.AddPeer().Login().Expect(kRoute).Deliver(kRouteReply, 100 + 5000);
  LogIn();
  std::string reply;
  EXPECT_TRUE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, kRouteReply);
}

TEST_F(LoggedInTest, BytesAfterAZeroByteInAChunkAreDropped) {
  using namespace std::string_literals;
  LogInThenAnswer(kRoute, {"ip route\r\nA\0lost>\r\n"s, "B\r\nRouter> "});
  LogIn();
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "ip route\r\nAB\r\nRouter> ");
}

TEST_F(LoggedInTest, PromptInsideTheOutputEndsTheReplyEarly) {
  LogInThenAnswer(kRoute, {"ip route\r\na>b\r\n", "Router> "});
  LogIn();
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "ip route\r\na>b\r\n");
}

TEST_F(LoggedInTest, PausesBeforeCollecting) {
  LogInThenAnswer(kRoute, {kRouteReply});
  LogIn();
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(clock.Now() - sentAt, 100);
}

// At fast pace only the router is waited for: a log-in and a reply that come at once take no
// time; a line whose answer is not read waits for its echo and prompt, bounded as a reply, and
// one that gets neither is the message. The program's pace sends the same and waits 700 ms.
TEST(ChannelPace, FastWaitsForTheRouterAlone) {
  for (Pace pace : {Pace::Fast, Pace::Program}) {
    SCOPED_TRACE(pace == Pace::Fast ? "fast" : "program");
    ManualClock time;
    testing::FakeSocketFactory peers{time};
    testing::RecordingUi said;
    CommandChannel paced{peers, time, said};
    paced.RouterAddress = "127.0.0.1";
    paced.RouterPassword = "admin";
    paced.ReplyLimitOverride = 3000;
    paced.pace = pace;
    FakePeer& peer = peers.AddPeer().Login().Expect(kRoute).Deliver(kRouteReply);
    peer.Expect("batch add x\r\n").Deliver("batch add x\r\n").Deliver("Router> ", 40);
    ASSERT_TRUE(paced.ConnectAndLogin());
    std::string reply;
    ASSERT_TRUE(paced.ExecuteCommand(kRoute, reply, 5000));
    EXPECT_EQ(reply, kRouteReply);
    EXPECT_EQ(time.Now(), pace == Pace::Fast ? 0 : 700);
    EXPECT_EQ(paced.SendLine("batch add x\r\n"), CommandChannel::Outcome::Complete);
    EXPECT_EQ(paced.SendLine("batch add y\r\n"), pace == Pace::Fast
                                                     ? CommandChannel::Outcome::TimedOut
                                                     : CommandChannel::Outcome::Complete);
    if (pace == Pace::Program) {
      EXPECT_EQ(time.Now(), 700);
      EXPECT_TRUE(said.messages.empty());
    } else {
      EXPECT_GT(time.Now(), 40 + 3000);
      EXPECT_LE(time.Now(), 40 + 3000 + 100);
      EXPECT_EQ(said.Texts(), std::vector<std::string>{"batch add y\r\n"});
    }
    EXPECT_EQ(peer.sent, (std::vector<std::string>{"admin\r\n", "home \r\n", kRoute,
                                                   "batch add x\r\n", "batch add y\r\n"}));
  }
}

TEST_F(LoggedInTest, FailedSendLeavesReplyUntouchedWithoutMessage) {
  sockets.AddPeer().Login().failSendAt = 2;
  LogIn();
  std::string reply = "stale";
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "stale");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(clock.Now(), sentAt);
}

TEST_F(ChannelTest, NoConnectionIsReportedAndNothingIsSent) {
  std::string reply = "stale";
  EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 5000));
  EXPECT_EQ(reply, "stale");
  channel.SendCommand("batch add x\r\n");
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Winsock connection is not created",
                                                  "Winsock connection is not created"}));
  EXPECT_TRUE(sockets.peers.empty());
  EXPECT_EQ(clock.Now(), 0);
}

TEST_F(LoggedInTest, SendCommandSendsUnchangedAndReadsNothing) {
  sockets.AddPeer().Login();
  LogIn();
  int receives = Peer().receives;
  channel.SendCommand("batch add ip ping 10.0.0.1\r\n");
  EXPECT_EQ(Peer().sent.back(), "batch add ip ping 10.0.0.1\r\n");
  EXPECT_EQ(Peer().receives, receives);
  EXPECT_EQ(clock.Now(), sentAt);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoggedInTest, SendCommandReportsAFailedSend) {
  sockets.AddPeer().Login().failSendAt = 2;
  LogIn();
  channel.SendCommand("restart\r\n");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Error sending Winsock command"});
  EXPECT_NE(channel.TelnetSocket(), nullptr);
}

TEST_F(LoggedInTest, SaveConfiguration) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> messages;
    Millis minElapsed;
  };
  const std::vector<Case> cases = {
      {"saved", {"config save\r\nConfiguration saved\r\nRouter> "}, {}, 0},
      {"not saved",
       {"config save\r\nError: flash busy\r\nRouter> "},
       {"Error saving configuration"},
       0},
      {"timed out",
       {"config save\r\n"},
       {"config save\r\n", "Error saving configuration"},
       100 + 30000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ManualClock clock;
    testing::FakeSocketFactory sockets(clock);
    testing::RecordingUi ui;
    CommandChannel channel(sockets, clock, ui);
    channel.RouterPassword = "admin";
    FakePeer& peer = sockets.AddPeer().Login().Expect("config save\r\n");
    for (const auto& chunk : c.chunks) peer.Deliver(chunk);
    ASSERT_TRUE(channel.ConnectAndLogin());
    Millis start = clock.Now();
    channel.SaveConfiguration();
    EXPECT_EQ(ui.Texts(), c.messages);
    EXPECT_EQ(peer.sent.back(), "config save\r\n");
    EXPECT_GE(clock.Now() - start, c.minElapsed);
    EXPECT_LE(clock.Now() - start, 100 + 30000 + 100);
  }
}

TEST_F(ChannelTest, ReconnectWithoutConnectionSimplyLogsIn) {
  sockets.AddPeer().Login();
  EXPECT_TRUE(channel.ReconnectRouter(0));
  EXPECT_EQ(sockets.peers.size(), 1u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChannelTest, ReconnectDropsWaitsAndLogsInAfresh) {
  sockets.AddPeer().Login();
  sockets.AddPeer().Login();
  ASSERT_TRUE(channel.ConnectAndLogin());
  Millis before = clock.Now();
  EXPECT_TRUE(channel.ReconnectRouter(5000));
  EXPECT_TRUE(Peer(0).shutDown && Peer(0).closed && Peer(0).destroyed);
  EXPECT_EQ(Peer(1).sent, (std::vector<std::string>{"admin\r\n", "home \r\n"}));
  EXPECT_GE(clock.Now() - before, 5000 + 600);
}

TEST_F(ChannelTest, RestartSendsWaitsAndOptionallyLogsInAgain) {
  for (bool reconnect : {false, true}) {
    SCOPED_TRACE(reconnect);
    ManualClock clock;
    testing::FakeSocketFactory sockets(clock);
    testing::RecordingUi ui;
    CommandChannel channel(sockets, clock, ui);
    channel.RouterPassword = "admin";
    sockets.AddPeer().Login();
    sockets.AddPeer().Login();
    ASSERT_TRUE(channel.ConnectAndLogin());
    Millis before = clock.Now();
    channel.RestartRouter(reconnect);
    EXPECT_EQ(sockets.peers[0]->sent.back(), "restart\r\n");
    EXPECT_TRUE(sockets.peers[0]->shutDown);
    EXPECT_GE(clock.Now() - before, 15000);
    EXPECT_EQ(channel.TelnetSocket() != nullptr, reconnect);
    EXPECT_EQ(sockets.peers[1]->sent.size(), reconnect ? 2u : 0u);
    EXPECT_TRUE(ui.messages.empty());
  }
}

TEST_F(ChannelTest, DropConnectionIsHarmlessWhenDisconnected) {
  channel.DropConnection();
  sockets.AddPeer().Login();
  ASSERT_TRUE(channel.ConnectAndLogin());
  channel.DropConnection();
  channel.DropConnection();
  EXPECT_EQ(channel.TelnetSocket(), nullptr);
  EXPECT_TRUE(Peer().shutDown);
}

// A router that never stops sending: every receive fills the whole buffer, first from
// lead and then from endless repeats of pattern, and costs msPerReceive of virtual time.
class FloodSocket final : public Socket {
 public:
  FloodSocket(ManualClock& clock, std::string lead, const std::string& pattern, Millis msPerReceive)
      : clock_(clock), lead_(std::move(lead)), ms_(msPerReceive) {
    // Whole repeats, long enough to copy in blocks: the same endless stream.
    while (pattern_.size() < 4096) pattern_ += pattern;
  }
  bool Create() override { return true; }
  bool Connect(const std::string&, std::uint16_t) override { return true; }
  int Send(const char*, int length) override { return length; }
  int Receive(char* buffer, int capacity, Millis) override {
    clock_.Advance(ms_);
    std::size_t filled = 0;
    while (filled < static_cast<std::size_t>(capacity)) {
      bool inLead = delivered < lead_.size();
      const std::string& source = inLead ? lead_ : pattern_;
      std::size_t from = inLead ? delivered : (delivered - lead_.size()) % pattern_.size();
      std::size_t n = std::min(static_cast<std::size_t>(capacity) - filled, source.size() - from);
      std::memcpy(buffer + filled, source.data() + from, n);
      filled += n;
      delivered += n;
    }
    return capacity;
  }
  void ShutdownSend() override {}
  void Close() override {}

  std::size_t delivered = 0;

 private:
  ManualClock& clock_;
  std::string lead_, pattern_;
  Millis ms_;
};

class FloodFactory final : public SocketFactory {
 public:
  explicit FloodFactory(std::function<std::unique_ptr<FloodSocket>()> make) : make_(make) {}
  std::unique_ptr<Socket> Make() override {
    auto socket = make_();
    made = socket.get();
    return socket;
  }
  FloodSocket* made = nullptr;

 private:
  std::function<std::unique_ptr<FloodSocket>()> make_;
};

TEST(Flood, EveryWaitEndsAtItsLimitOrAtTheReplyCap) {
  // Exactly the receives of the log-in and of home's answer: the command's reply comes next.
  const std::string login = "password: " + std::string(1024 - 11, ' ') + ">" + "home \r\n" +
                            std::string(2048 - 8, ' ') + ">";
  struct Case {
    const char* name;
    std::string lead, pattern;
    Millis msPerReceive;
    std::string message;
    Millis waitStart;  // when the wait that must end began
    bool capped;       // ended by the reply cap, well before the limit
  };
  const std::vector<Case> cases = {
      {"no password request", "", "Router> ", 1, kPasswordTimeout, 600, false},
      {"no prompt after the password", "password: ", "x", 1, kPromptMessage, 601, false},
      {"no echo", login, "Router> ip rout", 1, kRoute, 601 + 1 + 100, false},
      {"no prompt after the echo", login + kRoute, "y", 5, kRoute, 601 + 5 + 100, false},
      {"no prompt after the echo, fast", login + kRoute, "y", 1, kRoute, 601 + 1 + 100, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ManualClock clock;
    FloodFactory sockets(
        [&] { return std::make_unique<FloodSocket>(clock, c.lead, c.pattern, c.msPerReceive); });
    testing::RecordingUi ui;
    CommandChannel channel(sockets, clock, ui);
    channel.RouterAddress = "127.0.0.1";
    channel.RouterPassword = "admin";
    std::string reply = "stale";
    bool loggedIn = channel.ConnectAndLogin();
    if (loggedIn) {
      EXPECT_FALSE(channel.ExecuteCommand(kRoute, reply, 10000));
    }
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
    Millis limit = loggedIn ? 10000 : 5000;
    if (c.capped) {
      EXPECT_LT(clock.Now() - c.waitStart, limit);
      EXPECT_GT(sockets.made->delivered, kMaxReplyBytes);
      EXPECT_LE(sockets.made->delivered, login.size() + kMaxReplyBytes + 4096);
    } else {
      EXPECT_GT(clock.Now() - c.waitStart, limit);
      EXPECT_LE(clock.Now() - c.waitStart, limit + 100);
    }
    if (loggedIn) {
      EXPECT_EQ(reply, "");
      EXPECT_NE(channel.TelnetSocket(), nullptr);  // like a time-out, the connection is kept
    }
  }
}

TEST(ReplyCap, AReplyOfTheCapIsCollectedOneByteMoreIsATimeOut) {
  for (std::size_t size : {kMaxReplyBytes, kMaxReplyBytes + 1}) {
    SCOPED_TRACE(size);
    ManualClock clock;
    testing::FakeSocketFactory sockets(clock);
    testing::RecordingUi ui;
    CommandChannel channel(sockets, clock, ui);
    channel.RouterPassword = "admin";
    const std::string sent = kRoute + std::string(size - kRoute.size() - 1, 'y') + ">";
    sockets.AddPeer().Login().Expect(kRoute).Deliver(sent);
    ASSERT_TRUE(channel.ConnectAndLogin());
    const bool fits = size <= kMaxReplyBytes;
    std::string reply;
    EXPECT_EQ(channel.ExecuteCommand(kRoute, reply, 60000), fits);
    EXPECT_TRUE(reply == (fits ? sent : ""));
    EXPECT_EQ(ui.Texts(), fits ? std::vector<std::string>{} : std::vector<std::string>{kRoute});
  }
}

// The pages' own listing loops wait for an echo without the line end.
TEST_P(ChunkedChannelTest, CollectReplyWithAPageEcho) {
  FakePeer& peer = sockets.AddPeer()
                       .Deliver("snmp access list\r\nsnmp access lis")
                       .Deliver("t\r\npublic read\r\n>");
  Rechunk(peer);
  auto socket = sockets.Make();
  auto reply = CollectReply(*socket, clock, ui, "snmp access list", 2048, 5000);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(*reply, "snmp access list\r\nsnmp access list\r\npublic read\r\n>");
  EXPECT_TRUE(ui.messages.empty());  // the caller reports
}

}  // namespace
}  // namespace tarnwick
