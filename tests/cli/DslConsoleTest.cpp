// The console's polls on a virtual clock: their schedule, an overrun, and stopping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/DslConsole.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

class DslPolls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.router.outputs["bsp channel\r\n"] =
        "NEAR END INTERLEAVED CHANNEL BIT RATE : 8000 kbps\r\n";
  }
  // Polls until count, or until stopAfter samples; records when each poll started.
  long Poll(long count, Millis everyMs, std::size_t stopAfter = 0) {
    DslPolling polling;
    polling.count = count;
    polling.everyMs = everyMs;
    polling.timeoutMs = 5000;
    return PollDsl(
        bench.session.channel, polling, [&] { return bench.clock.Now(); },
        [&](const DslSample& s) { samples.push_back(s); },
        [&] { return stopAfter > 0 && samples.size() >= stopAfter; });
  }

  testing::CannedBench bench;
  std::vector<DslSample> samples;
};

TEST_F(DslPolls, StartEveryPeriodFromStartToStart) {
  const Millis start = bench.clock.Now();
  EXPECT_EQ(Poll(3, 3000), 3);
  ASSERT_EQ(samples.size(), 3u);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(samples[i].time - start, static_cast<Millis>(i) * 3000) << i;
    EXPECT_EQ(samples[i].link, LinkState::Alive);
  }
  const std::vector<std::string> poll = {"bsp channel\r\n", "bsp mode\r\n", "bsp line\r\n",
                                         "bun list channels\r\n"};
  std::vector<std::string> three;
  for (int i = 0; i < 3; ++i) three.insert(three.end(), poll.begin(), poll.end());
  EXPECT_EQ(bench.Commands(), three) << "the page's four listings, nothing more";
  EXPECT_EQ(bench.router.logins, 1);
}

TEST_F(DslPolls, AnOverrunStartsTheNextAtOnceOnAFreshLogIn) {
  int polls = 0;
  bench.router.onLine = [&](const std::string& line) {
    if (line == "bsp channel\r\n") ++polls;
    // The second poll's line listing never answers.
    bench.router.silent =
        polls == 2 ? std::vector<std::string>{"bsp line\r\n"} : std::vector<std::string>{};
  };
  const Millis start = bench.clock.Now();
  EXPECT_EQ(Poll(3, 3000), 3);
  ASSERT_EQ(samples.size(), 3u);
  EXPECT_EQ(samples[1].link, LinkState::Timeout);
  EXPECT_EQ(samples[1].downInterleavedKbps, 8000) << "what did answer is kept";
  const Millis overrun = samples[1].time + 5000;
  EXPECT_GT(samples[2].time, overrun) << "after the second poll's wait";
  EXPECT_LT(samples[2].time - start, 3 * 3000) << "not held back to its slot";
  EXPECT_EQ(bench.router.logins, 2) << "the poll after a time-out logs in afresh";
  EXPECT_EQ(samples[2].link, LinkState::Alive);
}

TEST_F(DslPolls, StopEndsThePollingBetweenPolls) {
  EXPECT_EQ(Poll(0, 60000, 2), 2);
  EXPECT_EQ(samples.size(), 2u);
}

}  // namespace
}  // namespace tarnwick
