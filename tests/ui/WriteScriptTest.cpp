// A write sequence stops at the first line the router did not get, with one message.
#include "ui/WriteScript.h"

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

}  // namespace
}  // namespace tarnwick
