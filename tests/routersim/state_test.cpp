// The router's state and listings, driven without a connection.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "channel/TextHelpers.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"

namespace tarnwick::routersim {
namespace {

std::string Field(const std::string& reply, const std::string& key, int n, int m) {
  std::string out = "<missing>";
  GetReplyField(reply, key, n, m, out);
  return out;
}

bool IsDecimal(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}
bool IsTenths(const std::string& s) {
  auto dot = s.find('.');
  return dot != std::string::npos && IsDecimal(s.substr(0, dot)) && IsDecimal(s.substr(dot + 1));
}
int ToInt(const std::string& s) { return IsDecimal(s) ? std::atoi(s.c_str()) : -1; }

class RouterState : public ::testing::Test {
 protected:
  Options Defaults() {
    Options o;
    o.password = "admin";
    o.firmwareVersion = "3.12.0";
    o.retrainMs = 3000;
    o.restartDownMs = 4000;
    o.port = 0;
    return o;
  }
  ManualClock clock;
  std::unique_ptr<Simulator> sim = std::make_unique<Simulator>(Defaults(), clock);
  std::string Run(const std::string& line) { return sim->RunCommand(line + "\r\n"); }
};

// Every output a client scans must carry its value where the client looks for it.
TEST_F(RouterState, ListingsPutEachValueAtItsField) {
  struct Case {
    const char* command;
    const char* key;
    int n, m;
    std::function<bool(const std::string&)> ok;
  };
  auto is = [](std::string want) { return [want](const std::string& s) { return s == want; }; };
  auto rate = [](int lo, int hi) {
    return [lo, hi](const std::string& s) { return ToInt(s) >= lo && ToInt(s) <= hi; };
  };
  const Case cases[] = {
      {"version", "Version", 1, 4, is("3.12.0")},
      {"version", "Software Version", 1, 3, is("3.12.0")},  // "Version 10" for 10.x
      {"bsp mode", "Modem Mode", 1, 5, is("multi")},
      {"bsp channel", "NEAR END FAST CHANNEL", 1, 8, is("0")},
      {"bsp channel", "FAR END FAST CHANNEL", 1, 8, is("0")},
      {"bsp channel", "NEAR END INTERLEAVED CHANNEL", 1, 8, rate(2000, 12000)},
      {"bsp channel", "FAR END INTERLEAVED CHANNEL", 1, 8, rate(128, 1100)},
      {"bsp line", "Operation Mode Seletected", 1, 5, is("G.dmt")},
      {"bsp line", "Downstream Noise", 1, 5, IsTenths},
      {"bsp line", "Downstream Attenuation", 1, 4, IsTenths},
      {"bsp line", "Downstream Output Power", 1, 5, IsTenths},
      {"bsp line", "Upstream Noise", 1, 5, IsTenths},
      {"bsp line", "Upstream Attenuation", 1, 4, IsTenths},
      {"bsp line", "Upstream Output Power", 1, 5, IsTenths},
      {"bun list channels", "TxPkts", 1, 3, is("oam")},
      {"bun list channels", "TxPkts", 2, 3, is("edd")},
      {"bun list channels", "TxPkts", 3, 9, is("0/35")},
      {"bun list channels", "TxPkts", 3, 5,
       [](const std::string& s) {
         return s.size() > 2 && IsDecimal(s.substr(0, s.size() - 2)) &&
                !IsDecimal(s.substr(s.size() - 2));
       }},
      {"bun list channels", "TxPkts", 3, 7,
       [](const std::string& s) {
         auto slash = s.find('/');
         return slash != std::string::npos && IsDecimal(s.substr(0, slash)) &&
                IsDecimal(s.substr(slash + 1));
       }},
  };
  clock.Advance(60000);  // a minute of showtime, so counters are not all zero
  for (const Case& c : cases) {
    std::string reply = Run(c.command);
    std::string got = Field(reply, c.key, c.n, c.m);
    EXPECT_TRUE(c.ok(got)) << c.command << " / " << c.key << " field " << c.m << ": \"" << got
                           << "\"\n"
                           << reply;
    EXPECT_EQ(reply.find('>'), std::string::npos) << c.command;
  }
  // The user channel is neither a management channel nor empty.
  std::string user = Field(Run("bun list channels"), "TxPkts", 3, 3);
  EXPECT_EQ(user.find("oam"), std::string::npos);
  EXPECT_EQ(user.find("edd"), std::string::npos);
}

TEST_F(RouterState, RetrainTakesTheLineDownAndBringsItBackInTheChosenMode) {
  struct Case {
    const char* command;
    const char* listedMode;
    const char* operationMode;
    int maxDownKbps;
  };
  const Case cases[] = {
      {"bsp ansi", "Ansi", "T1.413", 8192},
      {"bsp glite", "glite", "G.lite", 1536},
      {"bsp gdmt", "gdmt", "G.dmt", 8192},
      {"bsp multi", "multi", "G.dmt", 8192},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    std::string trained = Field(Run("bsp line"), "Operation Mode Seletected", 1, 5);
    Run(c.command);
    // The mode only takes effect at the retrain.
    EXPECT_EQ(Field(Run("bsp line"), "Operation Mode Seletected", 1, 5), trained);
    EXPECT_EQ(Field(Run("bsp mode"), "Modem Mode", 1, 5), c.listedMode);

    Run(" bsp down");
    EXPECT_NE(Run("bsp channel").find("Modem is NOT in SHOWTIME yet"), std::string::npos);
    Run(" bsp up");
    clock.Advance(2999);
    EXPECT_NE(Run("bsp channel").find("Modem is NOT in SHOWTIME yet"), std::string::npos);
    clock.Advance(1);
    std::string channel = Run("bsp channel");
    EXPECT_EQ(channel.find("Modem is NOT in SHOWTIME yet"), std::string::npos) << channel;
    int down = ToInt(Field(channel, "NEAR END INTERLEAVED CHANNEL", 1, 8));
    EXPECT_GT(down, 0);
    EXPECT_LE(down, c.maxDownKbps);
    EXPECT_EQ(Field(Run("bsp line"), "Operation Mode Seletected", 1, 5), c.operationMode);
  }
}

TEST_F(RouterState, LineFiguresDipOverTheDriftPeriodAndRecover) {
  auto margin = [&] { return std::atof(Field(Run("bsp line"), "Downstream Noise", 1, 5).c_str()); };
  auto rate = [&] {
    return ToInt(Field(Run("bsp channel"), "NEAR END INTERLEAVED CHANNEL", 1, 8));
  };
  const double trainedMargin = margin();
  const int trainedRate = rate();
  struct Case {
    Millis at;  // into the default ten-minute period
    double marginDrop;
    int rateDrop;
  };
  for (const Case& c : {Case{150000, 1.0, 64}, Case{300000, 2.0, 128}, Case{600000, 0, 0}}) {
    clock.Advance(c.at - clock.Now());
    EXPECT_NEAR(margin(), trainedMargin - c.marginDrop, 0.051) << c.at;
    EXPECT_EQ(rate(), trainedRate - c.rateDrop) << c.at;
  }
}

TEST_F(RouterState, ScheduledDropsTakeTheLineDownForARetrain) {
  Options o = Defaults();
  // Out of order, and one while the line is still training from the drop before.
  o.dslDropsAtMs = {60000, 30000, 61000};
  sim = std::make_unique<Simulator>(o, clock);
  const std::pair<Millis, bool> cases[] = {
      {29999, true},  {30000, false}, {32999, false}, {33000, true}, {59999, true},
      {60000, false}, {61000, false}, {62999, false}, {63000, true}, {90000, true},
  };
  for (const auto& [at, up] : cases) {
    clock.Advance(at - clock.Now());
    EXPECT_EQ(Run("bsp channel").find("Modem is NOT in SHOWTIME yet") == std::string::npos, up)
        << at;
  }
}

TEST_F(RouterState, AtmCountersGrowOnlyWhileTheLineIsUp) {
  auto counters = [&] {
    std::string list = Run("bun list channels");
    return Field(list, "TxPkts", 3, 5) + " " + Field(list, "TxPkts", 3, 7);
  };
  std::string start = counters();
  clock.Advance(10000);
  std::string later = counters();
  EXPECT_NE(start, later);
  std::string tx = Field(Run("bun list channels"), "TxPkts", 3, 5);
  EXPECT_GT(std::atoll(tx.c_str()), 0);

  Run(" bsp down");
  std::string atDown = counters();
  clock.Advance(10000);
  EXPECT_EQ(counters(), atDown);
  Run(" bsp up");
  clock.Advance(3000 + 10000);
  EXPECT_NE(counters(), atDown);
}

TEST_F(RouterState, RouteListingKeepsTheFormClientsScan) {
  EXPECT_NE(Run("ip route").find("Routing table is empty"), std::string::npos);
  // The form the line scripts use: no cost, no time-out.
  EXPECT_EQ(Run("ip route add default 0.0.0.0 10.0.0.138 0:0:0:0"), "");
  EXPECT_EQ(Run("ip route add office 10.20.0.0 10.0.0.254 ff:ff:0:0 5 60"), "");
  std::string list = Run("ip route");
  EXPECT_EQ(list.find("Routing table is empty"), std::string::npos);
  EXPECT_NE(list.find("route add"), std::string::npos);
  EXPECT_EQ(Field(list, "0.0.0.0", 1, 5), "10.0.0.138");  // the default gateway
  // Label, destination, next hop, mask, then a blank before cost and time-out.
  EXPECT_NE(list.find("add default 0.0.0.0 10.0.0.138 0:0:0:0 1 0\r\n"), std::string::npos);
  EXPECT_NE(list.find("add office 10.20.0.0 10.0.0.254 ff:ff:0:0 5 60\r\n"), std::string::npos);

  EXPECT_EQ(Run("ip route delete default"), "");
  list = Run("ip route");
  EXPECT_EQ(list.find("default"), std::string::npos);
  EXPECT_NE(list.find("office"), std::string::npos);
  EXPECT_NE(Run("ip route delete default").find("Error"), std::string::npos);
  Run("ip route flush");
  EXPECT_NE(Run("ip route").find("Routing table is empty"), std::string::npos);
}

TEST_F(RouterState, BadRouteAddsAreRefusedAndChangeNothing) {
  Run("ip route add keep 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  const std::string before = Run("ip route");
  const char* bad[] = {
      "ip route add",
      "ip route add r 10.2.0.0 10.0.0.1",                   // no mask
      "ip route add r 10.2.0 10.0.0.1 ff:ff:0:0",           // three octets
      "ip route add r 10.2.0.256 10.0.0.1 ff:ff:0:0",       // octet out of range
      "ip route add r 10.2.0.0 10.0.0.x ff:ff:0:0",         // bad next hop
      "ip route add r 10.2.0.0 10.0.0.1 255.255.0.0",       // decimal mask
      "ip route add r 10.2.0.0 10.0.0.1 FF:FF:0:0",         // hexadecimal is lower case
      "ip route add r 10.2.0.0 10.0.0.1 ff:ff:0:0 one",     // cost
      "ip route add r 10.2.0.0 10.0.0.1 ff:ff:0:0 1 -5",    // time-out
      "ip route add keep 10.9.0.0 10.0.0.1 ff:ff:0:0 1 0",  // label taken
      "ip route add r 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0 9",   // too many fields
  };
  for (const char* line : bad) {
    std::string reply = Run(line);
    EXPECT_NE(reply.find("Error"), std::string::npos) << line;
    EXPECT_EQ(reply.find('>'), std::string::npos) << line;
    EXPECT_EQ(Run("ip route"), before) << line;
  }
}

TEST_F(RouterState, SnmpListHoldsThePasswordAsWriteCommunity) {
  EXPECT_EQ(Run("snmp access list"), "access write admin\r\naccess read public\r\n");
  Run("ip snmp access read monitor");
  Run("ip snmp access write Admin 192.168.1.5");
  Run("ip snmp access read ops 10.0.0.9");
  EXPECT_EQ(Run("snmp access list"),
            "access write admin\r\naccess read public\r\naccess read monitor\r\n"
            "access write Admin 192.168.1.5\r\naccess read ops 10.0.0.9\r\n");

  // As the page sends it: an entry without address ends in a blank.
  Run("ip snmp access delete public ");
  Run("ip snmp access delete ops 10.0.0.9");
  // Case matters: "Admin" is an ordinary community.
  Run("ip snmp access delete Admin 192.168.1.5");
  EXPECT_EQ(Run("snmp access list"), "access write admin\r\naccess read monitor\r\n");

  // The log-in password can be neither removed nor turned into another entry.
  EXPECT_NE(Run("ip snmp access delete admin ").find("Error"), std::string::npos);
  EXPECT_NE(Run("ip snmp access read admin").find("Error"), std::string::npos);
  EXPECT_NE(Run("ip snmp access delete nobody ").find("Error"), std::string::npos);
  EXPECT_NE(Run("ip snmp access write x 300.1.1.1").find("Error"), std::string::npos);
  EXPECT_EQ(Run("snmp access list"), "access write admin\r\naccess read monitor\r\n");
}

TEST_F(RouterState, BatchLinesWaitForExecuteAndRunInOrder) {
  Run("batch add ip route add a 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  Run("batch add ip route delete a");
  Run("batch add ip route add a 10.1.0.0 10.0.0.1 ff:ff:0:0 7 0");
  Run("batch delay 2");
  EXPECT_NE(Run("ip route").find("Routing table is empty"), std::string::npos);
  EXPECT_EQ(Run("batch execute").find('>'), std::string::npos);
  std::string list = Run("ip route");
  EXPECT_NE(list.find("add a 10.1.0.0 10.0.0.1 ff:ff:0:0 7 0\r\n"), std::string::npos) << list;
  // The queue is empty afterwards: a second execute changes nothing.
  Run("batch execute");
  EXPECT_EQ(Run("ip route"), list);
  EXPECT_NE(Run("batch delay soon").find("Error"), std::string::npos);
}

TEST_F(RouterState, UnknownCommandsGiveAnErrorLineWithoutPrompt) {
  for (const char* line : {"frobnicate", "ip routes", "bsp", "version>x"}) {
    std::string reply = Run(line);
    EXPECT_NE(reply.find("Error"), std::string::npos) << line;
    EXPECT_EQ(reply.find('>'), std::string::npos) << line;
  }
  EXPECT_EQ(Run("home "), "");
}

class SavedConfiguration : public RouterState {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/routersim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    file_ = dir_ + "/router.cfg";
    Options o = Defaults();
    o.stateFile = file_;
    sim = std::make_unique<Simulator>(o, clock);
  }
  void TearDown() override {
    std::remove(file_.c_str());
    rmdir(dir_.c_str());
  }
  std::string dir_, file_;
};

TEST_F(SavedConfiguration, RestartReloadsTheSavedStateAndLosesTheRest) {
  Run("ip route add kept 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0");
  Run("ip snmp access delete public ");
  Run("ip snmp access write ops 10.0.0.9");
  Run("bsp glite");
  EXPECT_NE(Run("config save").find("Configuration saved"), std::string::npos);
  std::ifstream f(file_);
  std::stringstream saved;
  saved << f.rdbuf();
  EXPECT_NE(saved.str().find("ip route add kept 10.1.0.0 10.0.0.1 ff:ff:0:0 1 0"),
            std::string::npos)
      << saved.str();

  Run("ip route add lost 10.2.0.0 10.0.0.1 ff:ff:0:0 1 0");
  Run("ip snmp access read public");
  Run("bsp ansi");
  Run("restart");
  std::string routes = Run("ip route");
  EXPECT_NE(routes.find("kept"), std::string::npos);
  EXPECT_EQ(routes.find("lost"), std::string::npos);
  EXPECT_EQ(Run("snmp access list"), "access write admin\r\naccess write ops 10.0.0.9\r\n");
  EXPECT_EQ(Field(Run("bsp mode"), "Modem Mode", 1, 5), "glite");
  // The line trains again once the router is back.
  EXPECT_NE(Run("bsp channel").find("NOT in SHOWTIME"), std::string::npos);
  clock.Advance(4000 + 3000);
  EXPECT_EQ(Field(Run("bsp line"), "Operation Mode Seletected", 1, 5), "G.lite");

  // A router started on the same file comes up with it.
  Options o = Defaults();
  o.stateFile = file_;
  Simulator next(o, clock);
  std::string error;
  ASSERT_TRUE(next.Start(&error)) << error;
  EXPECT_NE(next.RunCommand("ip route\r\n").find("kept"), std::string::npos);
  EXPECT_EQ(Field(next.RunCommand("bsp mode\r\n"), "Modem Mode", 1, 5), "glite");
}

TEST_F(SavedConfiguration, AFailedSaveIsNotReportedAsSaved) {
  Options o = Defaults();
  o.stateFile = dir_ + "/missing/router.cfg";
  Simulator broken(o, clock);
  std::string reply = broken.RunCommand("config save\r\n");
  EXPECT_EQ(reply.find("Configuration saved"), std::string::npos);
  EXPECT_NE(reply.find("Error"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::routersim
