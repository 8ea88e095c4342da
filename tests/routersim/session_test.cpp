// Sessions in memory: log-in, echo and prompt, session ends, restart, transcript, faults.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "routersim/Console.h"
#include "routersim/Session.h"
#include "support/Clocks.h"

namespace tarnwick::routersim {
namespace {

constexpr const char kPassword[] = "s3cret";

// '>' only as the last-but-one byte: the prompt, and nothing before it.
bool OnlyPromptHoldsMark(const std::string& reply) {
  return reply.size() >= 8 && reply.compare(reply.size() - 8, 8, kPrompt) == 0 &&
         reply.find('>') == reply.size() - 2;
}

class InMemory : public ::testing::Test {
 protected:
  // Bytes in; everything the session answered.
  std::string Say(Session& s, const std::string& bytes) {
    console->Idle();
    s.Receive(bytes);
    return s.TakeOutput();
  }
  std::unique_ptr<Session> Open() {
    return std::make_unique<Session>(*console, console->Booting());
  }
  std::unique_ptr<Session> LoggedIn() {
    auto s = Open();
    s->TakeOutput();
    EXPECT_EQ(Say(*s, std::string(kPassword) + "\r\n"), std::string("\r\n\r\n") + kPrompt);
    return s;
  }

  static Options Defaults() {
    Options o;
    o.password = kPassword;
    return o;
  }

  Options options = Defaults();
  ManualClock clock;
  std::unique_ptr<Console> console = std::make_unique<Console>(options, clock);
};

TEST_F(InMemory, LogInDialogue) {
  auto s = Open();
  std::string banner = s->TakeOutput();
  EXPECT_NE(banner.find("password: "), std::string::npos);
  EXPECT_EQ(banner.find('>'), std::string::npos);
  // Case matters; the password is never echoed; two failures ask again, the third ends.
  for (const char* wrong : {"S3cret\r\n", "wrong\r\n"}) {
    std::string answer = Say(*s, wrong);
    EXPECT_NE(answer.find("Login incorrect"), std::string::npos);
    EXPECT_NE(answer.find("password: "), std::string::npos);
    EXPECT_EQ(answer.find('>'), std::string::npos);
    EXPECT_FALSE(s->Ending());
  }
  std::string last = Say(*s, "again\r\n");
  EXPECT_EQ(last.find('>'), std::string::npos);
  EXPECT_TRUE(s->Finished());
  // The router still takes the next caller.
  auto next = LoggedIn();
  EXPECT_EQ(next->phase(), Session::Phase::Command);
}

TEST_F(InMemory, EveryLineIsEchoedExactlyThenItsOutputThenThePrompt) {
  auto s = LoggedIn();
  const char* lines[] = {
      "home \r\n",    "version\r\n", " bsp down\r\n", "ip route\r\n", "snmp access list\r\n",
      "nonsense\r\n", "\r\n",        "bsp mode\n"};
  for (const char* line : lines) {
    std::string reply = Say(*s, line);
    EXPECT_EQ(reply, line + console->RunCommand(line) + kPrompt) << line;
    EXPECT_TRUE(OnlyPromptHoldsMark(reply)) << reply;
  }
  EXPECT_NE(Say(*s, "nonsense\r\n").find("Error"), std::string::npos);
}

TEST_F(InMemory, LinesAreAssembledAcrossPiecesAndAnsweredInOrder) {
  auto s = LoggedIn();
  EXPECT_EQ(Say(*s, "vers"), "");
  std::string both = Say(*s, "ion\r\nip route\r\nbsp");
  EXPECT_EQ(both, "version\r\n" + console->RunCommand("version") + kPrompt + "ip route\r\n" +
                      console->RunCommand("ip route") + kPrompt);
  EXPECT_EQ(Say(*s, " mode\r\n"), "bsp mode\r\n" + console->RunCommand("bsp mode") + kPrompt);
}

// How telnet clients end and edit lines, and what they ask for (echo is the client test's).
TEST_F(InMemory, TelnetClientsEnterEraseAndNegotiate) {
  using namespace std::string_literals;
  const std::string reply = "version\r\n" + console->RunCommand("version") + kPrompt;
  const std::string offers = "\xff\xfb\x01\xff\xfb\x03";  // WILL ECHO, WILL SGA
  struct Case {
    const char* name;
    std::vector<std::string> receives;  // then nothing more comes for a while
    std::string answer;
  };
  const Case cases[] = {
      {"CR NUL", {"version\r\0"s}, reply},
      {"bare CR, twice", {"version\rversion\r"}, reply + reply},
      {"CR LF split between receives", {"version\r", "\n"}, reply},
      {"BS and DEL erase", {"\bverz\bsionn\x7f\r\n"}, reply},
      {"requests refused but SGA's, option bytes taken out",
       {"\xff\xfb\x18\xff\xfb\x1f\xff\xfd\x03version\r\n"},
       "\xff\xfe\x18" + offers + "\xff\xfe\x1f" + reply},
      {"a request cut between receives",
       {"\xff", "\xfd", "\x18version\r\n"},
       "\xff\xfc\x18" + offers + reply},
      {"subnegotiation taken out, IAC IAC the byte itself",
       {"\xff\xfa\x18\0xterm\xff\xf0"s + "bad\xff\xff\r\n"},
       offers + "bad\xff\xff\r\n" + console->RunCommand("bad\xff") + kPrompt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = LoggedIn();
    for (const std::string& bytes : c.receives) s->Receive(bytes);
    s->InputIdle();
    EXPECT_EQ(s->TakeOutput(), c.answer);
  }
}

TEST_F(InMemory, SessionEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* said;  // in the last answer
    bool othersEnd;
    bool prompted;  // the last answer is complete: its client need not wait it out
  };
  const Case cases[] = {
      {"close", "@close\r\n", "Goodbye", false, false},
      {"batch execute", "batch add ip route add a 10.1.0.0 10.0.0.1 ff:ff:0:0\r\nbatch execute\r\n",
       "batch execute\r\n", true, true},
      {"endless line", std::string(70 * 1024, 'x'), "too long", false, false},
      {"quit", "quit\r\n", "Goodbye", false, false},
      {"logout", "logout\r\n", "Goodbye", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = LoggedIn();
    auto other = LoggedIn();
    std::string answer = Say(*s, c.bytes);
    EXPECT_NE(answer.find(c.said), std::string::npos) << answer;
    EXPECT_EQ(answer.size() >= 8 && answer.compare(answer.size() - 8, 8, kPrompt) == 0, c.prompted);
    EXPECT_TRUE(s->Finished());
    EXPECT_EQ(other->Ending(), c.othersEnd);
    // Nothing more is read from an ending session.
    EXPECT_EQ(Say(*s, "version\r\n"), "");
  }
  EXPECT_NE(console->RunCommand("ip route").find("add a 10.1.0.0"), std::string::npos);
}

TEST_F(InMemory, RestartHoldsNewSessionsUntilItsDowntimeThenForgetsUnsavedChanges) {
  options.restartDownMs = 4000;
  auto s = LoggedIn();
  Say(*s, "ip route add kept 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n");
  EXPECT_NE(Say(*s, "config save\r\n").find("Configuration saved"), std::string::npos);
  Say(*s, "ip route add lost 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0\r\n");
  Say(*s, "restart\r\n");
  EXPECT_TRUE(s->Finished());

  auto early = Open();
  EXPECT_EQ(early->phase(), Session::Phase::Held);
  EXPECT_EQ(Say(*early, std::string(kPassword) + "\r\n"), "");  // typed ahead: lost
  clock.Advance(3999);
  console->GreetWhenBooted();
  EXPECT_EQ(early->TakeOutput(), "");
  clock.Advance(1);
  console->GreetWhenBooted();
  EXPECT_NE(early->TakeOutput().find("password"), std::string::npos);
  EXPECT_EQ(Say(*early, std::string(kPassword) + "\r\n"), std::string("\r\n\r\n") + kPrompt);
  std::string routes = Say(*early, "ip route\r\n");
  EXPECT_NE(routes.find("kept"), std::string::npos);
  EXPECT_EQ(routes.find("lost"), std::string::npos);
}

TEST_F(InMemory, TranscriptHoldsEveryLineWithItsTime) {
  char path[] = "/tmp/routersim-transcript-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  options.transcriptFile = path;
  std::string error;
  ASSERT_TRUE(console->Boot(&error)) << error;
  auto s = LoggedIn();
  Say(*s, "home \r\n");
  clock.Advance(250);
  Say(*s, "version\r\n");
  const std::vector<TranscriptLine>& t = console->transcript();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].line, std::string(kPassword) + "\r\n");
  EXPECT_EQ(t[1].line, "home \r\n");
  EXPECT_EQ(t[2].line, "version\r\n");
  EXPECT_EQ(t[2].time - t[1].time, 250);

  std::ifstream f(path);
  std::stringstream text;
  text << f.rdbuf();
  EXPECT_NE(text.str().find("0 ms\thome \\r\\n\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("250 ms\tversion\\r\\n\n"), std::string::npos) << text.str();
  std::remove(path);
}

// ---- faults ----------------------------------------------------------------------------

TEST_F(InMemory, SilenceAfterNLinesAnswersNothingMore) {
  options.faults.silenceAfterLines = 3;  // password, home, version
  auto s = LoggedIn();
  Say(*s, "home \r\n");
  EXPECT_TRUE(OnlyPromptHoldsMark(Say(*s, "version\r\n")));
  EXPECT_EQ(Say(*s, "ip route\r\n"), "");
  EXPECT_FALSE(s->Ending());
  EXPECT_EQ(console->transcript().back().line, "ip route\r\n");
  EXPECT_EQ(Open()->TakeOutput(), "");  // not even a banner
}

TEST_F(InMemory, DropMidReplyCutsOneReplyAndEndsTheSessionOnce) {
  options.faults.dropMidReplyAfterLines = 2;  // password, home
  auto s = LoggedIn();
  Say(*s, "home \r\n");
  std::string whole = "bsp line\r\n" + console->RunCommand("bsp line") + kPrompt;
  EXPECT_EQ(Say(*s, "bsp line\r\n"), whole.substr(0, whole.size() / 2));
  EXPECT_TRUE(s->Finished());
  EXPECT_EQ(Say(*LoggedIn(), "bsp line\r\n"), whole);
}

TEST_F(InMemory, RepliesBentByFaults) {
  auto s = LoggedIn();
  const std::string output = console->RunCommand("bsp line");

  options.faults.echoWithoutLineEnd = true;
  EXPECT_EQ(Say(*s, "bsp line\r\n"), "bsp line" + output + kPrompt);
  options.faults.echoWithoutLineEnd = false;

  options.faults.zeroByteInReply = true;
  std::string reply = Say(*s, "bsp line\r\n");
  auto zero = reply.find('\0');
  ASSERT_NE(zero, std::string::npos);
  EXPECT_EQ(reply.erase(zero, 1), "bsp line\r\n" + output + kPrompt);
  EXPECT_EQ(zero, 10 + output.size() / 2);
  options.faults.zeroByteInReply = false;

  options.faults.padReplyTo = 5000;
  Say(*s, "ip route add x 10.0.0.0 10.0.0.1 ff:0:0:0\r\n");
  reply = Say(*s, "ip route\r\n");
  EXPECT_EQ(reply.size(), 10 + 5000 + 8u);
  EXPECT_TRUE(OnlyPromptHoldsMark(reply));
  // Filler carries none of the words listings are scanned for.
  EXPECT_EQ(reply.find("add", reply.find("route add") + 9), std::string::npos);
  options.faults.padReplyTo = 0;

  options.faults.optionBytesBeforeBanner = true;
  std::string banner = Open()->TakeOutput();
  EXPECT_EQ(banner.substr(0, 3), "\xff\xfb\x01");  // IAC WILL ECHO
  EXPECT_NE(banner.find("password: "), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::routersim
