// The DSL Monitoring page on canned replies: the scan of each listing, polling, retrain.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "monitor/CMONITOR.h"
#include "support/PageBench.h"

namespace tarnwick {
namespace {

using testing::CannedBench;

std::string ChannelUp(const std::string& downFast, const std::string& upFast,
                      const std::string& downInter, const std::string& upInter) {
  return "ADSL channel status\r\n"
         "NEAR END FAST CHANNEL BIT RATE = " +
         downFast +
         " kbps\r\n"
         "FAR END FAST CHANNEL BIT RATE = " +
         upFast +
         " kbps\r\n"
         "NEAR END INTERLEAVED CHANNEL BIT RATE = " +
         downInter +
         " kbps\r\n"
         "FAR END INTERLEAVED CHANNEL BIT RATE = " +
         upInter + " kbps\r\n";
}

std::string ModeReply(const std::string& mode) { return "  Modem Mode  : " + mode + "\r\n"; }

std::string LineReply(const std::string& op, const std::string& tag) {
  return "Operation Mode Seletected : " + op +
         "\r\n"
         "Downstream Noise Margin : 1" +
         tag +
         " dB\r\n"
         "Downstream Attenuation : 2" +
         tag +
         " dB\r\n"
         "Downstream Output Power : 3" +
         tag +
         " dBm\r\n"
         "Upstream Noise Margin : 4" +
         tag +
         " dB\r\n"
         "Upstream Attenuation : 5" +
         tag +
         " dB\r\n"
         "Upstream Output Power : 6" +
         tag + " dBm\r\n";
}

std::string TxLine(const std::string& name, const std::string& tx, const std::string& rx,
                   const std::string& vc) {
  return "ch TxPkts " + name + " Tx= " + tx + " Rx= " + rx + " VC= " + vc + "\r\n";
}

class MonitorPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.Login());
    bench.router.received.clear();
    bench.Attach(page);
    auto& out = bench.router.outputs;
    out["bsp channel\r\n"] = ChannelUp("0", "0", "8000", "800");
    out["bsp mode\r\n"] = ModeReply("G.dmt");
    out["bsp line\r\n"] = LineReply("G.dmt", "0");
    out["bun list channels\r\n"] =
        TxLine("oam0", "1", "1/0", "0/16") + TxLine("usr1", "123456", "70/3", "8/35");
  }
  std::string Shown(int id) const { return bench.view.GetText(id); }

  CannedBench bench;
  CMONITOR page{bench.session};
};

TEST_F(MonitorPage, ShowtimeFillsEveryValueFromItsKeyAndField) {
  page.Refresh();
  EXPECT_EQ(bench.router.received,
            (std::vector<std::string>{"bsp channel\r\n", "bsp mode\r\n", "bsp line\r\n",
                                      "bun list channels\r\n"}));
  const std::vector<std::pair<int, std::string>> expected = {
      {IDC_DSL_LINK_STATUS, "Alive"},
      {IDC_DSL_ADSL_MODE, "G.dmt"},
      {IDC_DSL_OPERATION_MODE, "G.dmt"},
      {IDC_DSL_DOWN_FAST, "0"},
      {IDC_DSL_UP_FAST, "0"},
      {IDC_DSL_DOWN_INTERLEAVED, "8000"},
      {IDC_DSL_UP_INTERLEAVED, "800"},
      {IDC_DSL_DOWN_MARGIN, "10"},
      {IDC_DSL_DOWN_ATTENUATION, "20"},
      {IDC_DSL_DOWN_POWER, "30"},
      {IDC_DSL_UP_MARGIN, "40"},
      {IDC_DSL_UP_ATTENUATION, "50"},
      {IDC_DSL_UP_POWER, "60"},
      {IDC_DSL_TX_PACKETS, "1234"},
      {IDC_DSL_RX_GOOD, "70"},
      {IDC_DSL_RX_BAD, "3"},
      {IDC_DSL_TX_VPI, "8"},
      {IDC_DSL_TX_VCI, "35"},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(Shown(id), text) << "control " << id;
  EXPECT_TRUE(bench.ui.messages.empty());
}

TEST_F(MonitorPage, IdleLineBlanksLineValuesButKeepsTheMode) {
  page.Refresh();
  bench.router.outputs["bsp channel\r\n"] = "Modem is NOT in SHOWTIME yet\r\n";
  bench.router.outputs["bsp mode\r\n"] = ModeReply("G.lite");
  page.Refresh();
  EXPECT_EQ(Shown(IDC_DSL_LINK_STATUS), "Idle");
  EXPECT_EQ(Shown(IDC_DSL_ADSL_MODE), "G.lite");
  for (int id :
       {IDC_DSL_OPERATION_MODE, IDC_DSL_DOWN_FAST, IDC_DSL_UP_FAST, IDC_DSL_DOWN_INTERLEAVED,
        IDC_DSL_UP_INTERLEAVED, IDC_DSL_DOWN_MARGIN, IDC_DSL_DOWN_ATTENUATION, IDC_DSL_DOWN_POWER,
        IDC_DSL_UP_MARGIN, IDC_DSL_UP_ATTENUATION, IDC_DSL_UP_POWER, IDC_DSL_TX_PACKETS,
        IDC_DSL_RX_GOOD, IDC_DSL_RX_BAD, IDC_DSL_TX_VPI, IDC_DSL_TX_VCI})
    EXPECT_EQ(Shown(id), "") << "control " << id;
}

TEST_F(MonitorPage, MissingKeyLinesKeepThePreviousTexts) {
  page.Refresh();
  auto& out = bench.router.outputs;
  out["bsp mode\r\n"] = "no mode here\r\n";
  // Rates present but the line figures' marker missing: the seven line values stay.
  out["bsp channel\r\n"] = ChannelUp("1", "2", "3", "4");
  out["bsp line\r\n"] = "Downstream Noise Margin : 99 dB\r\n";
  out["bun list channels\r\n"] = "no channels\r\n";
  page.Refresh();
  EXPECT_EQ(Shown(IDC_DSL_ADSL_MODE), "G.dmt");
  EXPECT_EQ(Shown(IDC_DSL_DOWN_FAST), "1");
  EXPECT_EQ(Shown(IDC_DSL_UP_INTERLEAVED), "4");
  EXPECT_EQ(Shown(IDC_DSL_OPERATION_MODE), "G.dmt");
  EXPECT_EQ(Shown(IDC_DSL_DOWN_MARGIN), "10");
  EXPECT_EQ(Shown(IDC_DSL_UP_POWER), "60");
  EXPECT_EQ(Shown(IDC_DSL_TX_PACKETS), "1234");
  EXPECT_EQ(Shown(IDC_DSL_TX_VCI), "35");
}

struct AtmCase {
  const char* name;
  std::string list;
  std::string transmitted, good, bad, vpi, vci;
};

TEST_F(MonitorPage, AtmValuesComeFromTheFirstUserChannel) {
  std::string eightManagement;
  for (int i = 0; i < 8; ++i) eightManagement += TxLine(i % 2 ? "edd" : "oam", "9", "9/9", "9/9");
  const std::vector<AtmCase> cases = {
      {"oam and edd skipped",
       TxLine("oam0", "11", "1/1", "0/16") + TxLine("edd1", "22", "2/2", "0/17") +
           TxLine("wan1", "55500", "40/2", "0/35"),
       "555", "40", "2", "0", "35"},
      {"two characters kept whole", TxLine("wan1", "12", "5/6", "1/32"), "12", "5", "6", "1", "32"},
      {"three characters lose two", TxLine("wan1", "123", "5/6", "1/32"), "1", "5", "6", "1", "32"},
      {"no slash keeps the pairs", TxLine("wan1", "4567", "77", "none"), "45", "old-good",
       "old-bad", "old-vpi", "old-vci"},
      {"only eight lines are searched", eightManagement + TxLine("wan1", "999", "1/2", "3/4"),
       "old-tx", "old-good", "old-bad", "old-vpi", "old-vci"},
      {"ninth line is not reached by a user channel on the eighth",
       eightManagement.substr(0, eightManagement.rfind("ch TxPkts")) +
           TxLine("wan8", "8800", "8/8", "8/88") + TxLine("wan9", "9900", "9/9", "9/99"),
       "88", "8", "8", "8", "88"},
  };
  for (const AtmCase& c : cases) {
    page.PacketsTransmitted = "old-tx";
    page.PacketsReceivedGood = "old-good";
    page.PacketsReceivedBad = "old-bad";
    page.TransmitVpi = "old-vpi";
    page.TransmitVci = "old-vci";
    bench.router.outputs["bun list channels\r\n"] = c.list;
    page.Refresh();
    EXPECT_EQ(Shown(IDC_DSL_TX_PACKETS), c.transmitted) << c.name;
    EXPECT_EQ(Shown(IDC_DSL_RX_GOOD), c.good) << c.name;
    EXPECT_EQ(Shown(IDC_DSL_RX_BAD), c.bad) << c.name;
    EXPECT_EQ(Shown(IDC_DSL_TX_VPI), c.vpi) << c.name;
    EXPECT_EQ(Shown(IDC_DSL_TX_VCI), c.vci) << c.name;
  }
}

TEST_F(MonitorPage, FirstShowChoosesTheRadioOnlyForTheRouterSpellings) {
  const std::vector<std::pair<std::string, int>> cases = {
      {ModeReply("multi"), 0}, {ModeReply("gdmt"), 1},  {ModeReply("glite"), 2},
      {ModeReply("Ansi"), 3},  {ModeReply("ANSI"), -1}, {ModeReply("G.dmt"), -1},
      {"nothing\r\n", -1},
  };
  for (const auto& [reply, choice] : cases) {
    CMONITOR fresh(bench.session);
    testing::TestView view;
    fresh.Attach(&view);
    bench.router.outputs["bsp mode\r\n"] = reply;
    bench.router.received.clear();
    fresh.OnInitDialog();
    EXPECT_EQ(bench.router.received, std::vector<std::string>{"bsp mode\r\n"}) << reply;
    EXPECT_EQ(fresh.ModeChoice, choice) << reply;
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(view.IsChecked(IDC_DSL_MODE_MULTI + i), i == choice) << reply << " button " << i;
  }
  EXPECT_EQ(bench.router.logins, 1) << "the first show runs on the log-in connection";
}

TEST_F(MonitorPage, PollsOnlyWhileActiveAndNeverDuringItsOwnRefresh) {
  std::vector<bool> timerDuringCommands;
  bench.router.onLine = [&](const std::string&) {
    timerDuringCommands.push_back(bench.view.TimerRunning(CMONITOR::kPoll.id()));
  };
  page.OnSetActive();
  EXPECT_EQ(bench.router.logins, 2) << "activation logs in afresh";
  ASSERT_TRUE(bench.view.TimerRunning(CMONITOR::kPoll.id()));
  EXPECT_EQ(bench.view.timers.at(CMONITOR::kPoll.id()), 3000);
  EXPECT_EQ(Shown(IDC_DSL_LINK_STATUS), "Alive");

  page.OnTimer(CMONITOR::kPoll.id());
  EXPECT_TRUE(bench.view.TimerRunning(CMONITOR::kPoll.id()));
  EXPECT_EQ(bench.router.logins, 2) << "ticks reuse the connection";
  ASSERT_EQ(timerDuringCommands.size(), 8u + 1u);  // "home " of the new log-in, then 2 x 4
  for (std::size_t i = 5; i < timerDuringCommands.size(); ++i)
    EXPECT_FALSE(timerDuringCommands[i]) << "command " << i;

  page.OnKillActive();
  EXPECT_FALSE(bench.view.TimerRunning(CMONITOR::kPoll.id()));
  page.OnSetActive();
  EXPECT_EQ(bench.router.logins, 3);
  EXPECT_TRUE(bench.view.TimerRunning(CMONITOR::kPoll.id()));
}

TEST_F(MonitorPage, ReconnectSendsTheCheckedModeThenRetrains) {
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {-1, {"config save\r\n", " bsp down\r\n", " bsp up\r\n"}},
      {0, {"bsp multi\r\n", "config save\r\n", " bsp down\r\n", " bsp up\r\n"}},
      {1, {"bsp gdmt\r\n", "config save\r\n", " bsp down\r\n", " bsp up\r\n"}},
      {2, {"bsp glite\r\n", "config save\r\n", " bsp down\r\n", " bsp up\r\n"}},
      {3, {"bsp ansi\r\n", "config save\r\n", " bsp down\r\n", " bsp up\r\n"}},
  };
  for (const auto& [checked, lines] : cases) {
    page.ModeChoice = 1;  // the member is reloaded from the buttons first
    for (int i = 0; i < 4; ++i) bench.view.SetChecked(IDC_DSL_MODE_MULTI + i, i == checked);
    bench.router.received.clear();
    page.OnCommand(IDC_DSL_RECONNECT);
    EXPECT_EQ(bench.router.received, lines) << checked;
  }
  EXPECT_FALSE(bench.session.ConfigChanged);
  EXPECT_TRUE(bench.ui.messages.empty());
}

TEST_F(MonitorPage, AModePickedButNotAppliedSurvivesARefresh) {
  page.ModeChoice = 1;
  page.Refresh();
  bench.view.SetChecked(IDC_DSL_MODE_MULTI + 1, false);
  bench.view.SetChecked(IDC_DSL_MODE_MULTI + 3, true);
  page.OnTimer(CMONITOR::kPoll.id());
  EXPECT_TRUE(bench.view.IsChecked(IDC_DSL_MODE_MULTI + 3));
  EXPECT_FALSE(bench.view.IsChecked(IDC_DSL_MODE_MULTI + 1));
}

TEST_F(MonitorPage, EachRefreshAddsASampleOfWhatThatPollAloneRead) {
  constexpr UtcMillis kEpoch = 1714600800000;
  page.UtcNow = [&] { return kEpoch + bench.clock.Now(); };
  auto& out = bench.router.outputs;
  const std::string up = out["bsp channel\r\n"];
  struct Step {
    const char* name;
    std::function<void()> change;
    LinkState link;
    std::optional<double> downInterleaved, downMargin;
    std::string adslMode;
    std::string shownMargin;  // what the page shows meanwhile
  };
  const Step steps[] = {
      {"showtime", [] {}, LinkState::Alive, 8000, 10, "G.dmt", "10"},
      {"line figures missing", [&] { out["bsp line\r\n"] = "nothing\r\n"; }, LinkState::Alive, 8000,
       std::nullopt, "G.dmt", "10"},
      {"idle", [&] { out["bsp channel\r\n"] = "Modem is NOT in SHOWTIME yet\r\n"; },
       LinkState::Idle, std::nullopt, std::nullopt, "G.dmt", ""},
      {"a listing times out",
       [&] {
         out["bsp channel\r\n"] = up;
         bench.router.silent = {"bsp mode\r\n"};
       },
       LinkState::Timeout, 8000, std::nullopt, "", ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    bench.router.received.clear();
    const UtcMillis started = kEpoch + bench.clock.Now();
    page.Refresh();
    EXPECT_EQ(bench.router.received,
              (std::vector<std::string>{"bsp channel\r\n", "bsp mode\r\n", "bsp line\r\n",
                                        "bun list channels\r\n"}));
    const DslSample& s = page.History.history().back();
    EXPECT_EQ(s.time, started);
    EXPECT_EQ(s.link, step.link);
    EXPECT_EQ(s.downInterleavedKbps, step.downInterleaved);
    EXPECT_EQ(s.downMarginDb, step.downMargin);
    EXPECT_EQ(s.adslMode, step.adslMode);
    EXPECT_EQ(Shown(IDC_DSL_DOWN_MARGIN), step.shownMargin);
  }
  EXPECT_EQ(page.History.history().size(), std::size(steps));
}

TEST_F(MonitorPage, SilentRouterGivesFourMessagesAndShowsAliveWithOldValues) {
  page.Refresh();
  bench.router.silent = {"bsp channel\r\n", "bsp mode\r\n", "bsp line\r\n",
                         "bun list channels\r\n"};
  const Millis before = bench.clock.Now();
  page.Refresh();
  EXPECT_EQ(bench.ui.Texts(), bench.router.silent);
  for (const auto& m : bench.ui.messages) EXPECT_EQ(m.caption, "Error");
  EXPECT_EQ(Shown(IDC_DSL_LINK_STATUS), "Alive");
  EXPECT_EQ(Shown(IDC_DSL_DOWN_INTERLEAVED), "8000");
  EXPECT_EQ(Shown(IDC_DSL_TX_PACKETS), "1234");
  EXPECT_LT(bench.clock.Now() - before, 4 * 5000 + 1000) << "every wait is bounded";
}

}  // namespace
}  // namespace tarnwick
