// The session log against scripted peers: its lines, and passwords hidden wherever they appear.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "channel/CommandChannel.h"
#include "channel/WireLog.h"
#include "support/FakeSocket.h"
#include "support/RecordingUi.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kTimeWidth = 25;  // "2024-02-29T23:59:58.007Z "

class WireLogTest : public ::testing::Test {
 protected:
  // The lines without their time.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const std::string& line : lines) texts.push_back(line.substr(kTimeWidth));
    return texts;
  }

  std::vector<std::string> lines;
  WireLog log{[this](const std::string& line) { lines.push_back(line); },
              [] { return std::chrono::sys_days{2024y / 2 / 29} + 23h + 59min + 58s + 7ms; }};
  ManualClock clock;
  testing::FakeSocketFactory peers{clock};
  LoggingSocketFactory sockets{peers, log};
};

TEST_F(WireLogTest, WritesEachLineOfALogInAndACommandInTheOrderItHappened) {
  peers.AddPeer().Login().Expect("ip route\r\n").Deliver("ip route\r\n0.0.0.0 wan1\r\nRouter> ");
  testing::RecordingUi ui;
  CommandChannel channel(sockets, clock, ui);
  channel.RouterAddress = "127.0.0.1";
  channel.RouterPassword = "admin";
  ASSERT_TRUE(channel.ConnectAndLogin());
  std::string reply;
  ASSERT_TRUE(channel.ExecuteCommand("ip route\r\n", reply, 5000));
  channel.DropConnection();

  EXPECT_EQ(lines.front(), "2024-02-29T23:59:58.007Z * connect 127.0.0.1:23");
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "* connect 127.0.0.1:23", "<", "< Enter password: ", "> ********", "<",
                         "< Router> ", "> home ", "< home ", "< Router> ", "> ip route",
                         "< ip route", "< 0.0.0.0 wan1", "< Router> ", "* closed"}));
}

struct WireCase {
  const char* name;
  // '>' sent by the client, '<' one receive from the router; after the log-in password.
  std::vector<std::pair<char, std::string>> wire;
  std::vector<std::string> logged;  // between the password line and "* closed"
};

class WireLogCaseTest : public WireLogTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(WireLogCaseTest, LogsWhatWentOverTheWire) {
  testing::FakePeer& peer = peers.AddPeer();
  auto socket = sockets.Make();
  ASSERT_TRUE(socket->Create() && socket->Connect("127.0.0.1", 23));
  socket->Send("admin\r\n", 7);
  for (const auto& [direction, bytes] : GetParam().wire) {
    if (direction == '>') {
      socket->Send(bytes.data(), static_cast<int>(bytes.size()));
      continue;
    }
    peer.Deliver(bytes);
    char buffer[8192];
    ASSERT_EQ(socket->Receive(buffer, sizeof buffer, 0), static_cast<int>(bytes.size()));
  }
  socket->Close();

  std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[1], "> ********");
  EXPECT_EQ(texts.back(), "* closed");
  EXPECT_EQ(std::vector<std::string>(texts.begin() + 2, texts.end() - 1), GetParam().logged);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, WireLogCaseTest,
    ::testing::Values(WireCase{"EchoedLogInPassword", {{'<', "admin\r\n"}}, {"< ********"}},
                      WireCase{"LogInPasswordInAListing",
                               {{'<', "access write admin\r\n"}},
                               {"< access write ********"}},
                      WireCase{"PasswordSplitAcrossReceives",
                               {{'<', "access write ad"}, {'<', "min\r\naccess read public\r\n"}},
                               {"< access write ********", "< access read public"}},
                      WireCase{"PppPasswordListedThenSeenAgain",
                               {{'<', "1 welogin subscriber@isp.example s3cret\r\n"},
                                {'<', "ppp: s3cret refused\r\n"}},
                               {"< 1 welogin subscriber@isp.example ********",
                                "< ppp: ******** refused"}},
                      WireCase{"PppPasswordTypedInAScript",
                               {{'>', "batch add ppp 1 welogin user p4ss\r\n"}},
                               {"> batch add ppp 1 welogin user ********"}},
                      WireCase{"ControlBytesAndBackslashEscaped",
                               {{'<',
                                 "\xff\xfb\x01"
                                 "a\tb\\c\r\r\n"}},
                               {"< \\xFF\\xFB\\x01a\\x09b\\x5Cc\\x0D"}},
                      WireCase{"PromptWrittenBeforeWhatIsTypedAfterIt",
                               {{'<', "Router> "}, {'>', "ip route\r\n"}},
                               {"< Router> ", "> ip route"}},
                      WireCase{"EndlessLineCutWithoutCuttingAPassword",
                               {{'<', kLong + "adm"}, {'<', "in\r\n"}},
                               {"< " + kLong, "< ********"}}),
    [](const ::testing::TestParamInfo<WireCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick
