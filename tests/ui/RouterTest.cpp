// The one way to the router: write sequences stop at the first line the router did not get,
// and the modes that keep every line from leaving.
#include "ui/Router.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/PageBench.h"

namespace tarnwick {
namespace {

TEST(WriteScript, StopsAtTheFirstLineThatNeverLeftButNotAtATimeOut) {
  testing::CannedBench bench;
  ASSERT_TRUE(bench.Login());
  bench.router.silent = {"batch execute\r\n"};
  WriteScript script(bench.session);
  EXPECT_TRUE(script.Send("batch add a\r\n"));
  EXPECT_TRUE(script.Execute("batch execute\r\n", 5000));  // timed out, but it was sent
  EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"batch execute\r\n"});

  bench.session.channel.DropConnection();
  EXPECT_FALSE(script.Send("batch add b\r\n"));
  EXPECT_FALSE(script.Execute("batch delay 2\r\n", 5000));
  EXPECT_FALSE(script.Reconnect(0));
  EXPECT_FALSE(script.ok());
  EXPECT_EQ(bench.ui.Texts(),
            (std::vector<std::string>{"batch execute\r\n", "Winsock connection is not created"}));
  EXPECT_EQ(bench.Commands(), (std::vector<std::string>{"batch add a\r\n", "batch execute\r\n"}));
  EXPECT_EQ(bench.router.logins, 1) << "nothing is tried after the failure";
}

TEST(WriteScript, AFailedLogInFailsTheScript) {
  testing::CannedBench bench;
  bench.router.refuseConnections = true;
  WriteScript script(bench.session);
  EXPECT_FALSE(script.Reconnect(5000));
  EXPECT_FALSE(script.Send("batch add a\r\n"));
  EXPECT_EQ(bench.ui.possibleErrors, 1);
  EXPECT_TRUE(bench.ui.messages.empty());
}

// Each kind of write, in each mode: what leaves, what is noted, what the caller is told.
TEST(Router, ReadOnlyAndRecordingKeepEveryWriteFromLeaving) {
  struct Case {
    Router::Mode mode;
    std::vector<bool> results;         // Send, Execute, Change
    std::vector<std::string> written;  // noted
    std::vector<std::string> sent;     // received by the router
  };
  const std::vector<std::string> all = {"a\r\n", "b\r\n", "c\r\n", "config save\r\n", "@close\r\n"};
  const Case cases[] = {
      {Router::Mode::Live, {true, true, true}, all, all},
      {Router::Mode::ReadOnly, {false, false, false}, {}, {}},
      {Router::Mode::Record, {true, true, true}, all, {}},
  };
  for (const Case& c : cases) {
    testing::CannedBench bench;
    bench.router.outputs["config save\r\n"] = "\r\nConfiguration saved";
    ASSERT_TRUE(bench.Login());
    Router& router = bench.session.router;
    std::vector<std::string> written;
    router.mode = c.mode;
    router.written = &written;
    EXPECT_EQ((std::vector<bool>{router.Send("a\r\n"), router.Execute("b\r\n", 5000),
                                 router.Change("c\r\n", 200).has_value()}),
              c.results);
    router.SaveConfiguration();
    router.Hangup();
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(bench.Commands(), c.sent);
    EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.Texts().front();
  }
}

TEST(Router, NotesOnlyTheLinesThatLeft) {
  testing::CannedBench bench;
  ASSERT_TRUE(bench.Login());
  std::vector<std::string> written;
  bench.session.router.written = &written;
  bench.router.sendsFailAfter = 2;  // "home " and "a"
  EXPECT_TRUE(bench.session.router.Send("a\r\n"));
  EXPECT_FALSE(bench.session.router.Send("b\r\n"));
  EXPECT_FALSE(bench.session.router.Change("c\r\n", 200));
  EXPECT_EQ(written, std::vector<std::string>{"a\r\n"});
}

}  // namespace
}  // namespace tarnwick
