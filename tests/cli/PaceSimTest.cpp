// The console's two paces against the in-process simulator: the same lines in the same order
// either way, and a cooked terminal (echo at once, answer later) read and written right at the
// router's pace.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/SettingsCommands.h"
#include "cli/Show.h"
#include "support/RecordingUi.h"
#include "support/SimBench.h"
#include "support/SimSetups.h"

namespace tarnwick {
namespace {

using json = nlohmann::ordered_json;

const std::vector<std::string> kExtras = {
    "nat inbound add ppp_device 8080/tcp 192.168.1.10",
    "ip route add office 10.1.2.0 192.168.1.254 ff:ff:ff:0 1 0",
    "ip snmp access read pub2 10.0.0.5",
};

// A router in a set-up, its line figures steady; a cooked terminal answering cookedMs late.
struct PacedRouter {
  explicit PacedRouter(const char* preset, bool extras = false, Millis cookedMs = 0) {
    routersim::Options options = testing::SimulatorWorld::Defaults();
    options.preset = preset;
    options.dslDriftPeriodMs = 0;
    options.cookedTerminalMs = cookedMs;
    world.Start(&options);
    if (extras)
      for (const auto* commands : {&kExtras, &testing::kDhcpServerSetup})
        for (const std::string& command : *commands) world.sim->RunCommand(command);
  }
  ConsoleTarget Target(Pace pace) const { return {world.Address(), world.Password(), 5000, pace}; }
  int Save(const std::string& path) {
    return RunSave(Target(Pace::Fast), {path}, world.Sockets(), world.clock, ui);
  }
  int Apply(Pace pace, const std::string& path, std::string& out) {
    const SettingsRequest request{path, true, false, false, true};
    return RunApply(Target(pace), request, world.Sockets(), world.clock, ui, out);
  }
  json ShowAll(Pace pace) {
    std::string out;
    EXPECT_EQ(RunShow(Target(pace), "all", true, world.Sockets(), world.clock, ui, out),
              kConsoleDone);
    return json::parse(out.empty() ? "{}" : out);
  }

  // What was said with caption "Error": time-outs, refusals.
  std::vector<std::string> Errors() const {
    std::vector<std::string> out;
    for (const auto& m : ui.messages)
      if (m.caption == "Error") out.push_back(m.text);
    return out;
  }

  testing::SimulatorWorld world;
  testing::RecordingUi ui;
};

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

// Every page's writes, the line's through the Multiple PVC dialog (from "mixed") or through the
// Line page and its batch (from "routed").
TEST(Pace, AnApplySendsTheSameLinesInEitherPace) {
  for (const char* from : {"mixed", "routed"}) {
    SCOPED_TRACE(from);
    const std::string path = TempPath("tarnwick-pace-apply.json");
    ASSERT_EQ(PacedRouter(from, true).Save(path), kConsoleDone);
    std::vector<std::string> transcripts[2], said[2];
    std::string reports[2];
    for (Pace pace : {Pace::Program, Pace::Fast}) {
      const int i = pace == Pace::Fast;
      PacedRouter router("pppoe");
      EXPECT_EQ(router.Apply(pace, path, reports[i]), kConsoleDone) << reports[i];
      said[i] = router.ui.Texts();
      router.world.Settle();
      transcripts[i] = router.world.sim->TranscriptLines();
    }
    std::remove(path.c_str());
    const bool lineWritten = reports[0].find("(line): sent") != std::string::npos ||
                             reports[0].find("(pvc): sent") != std::string::npos;
    EXPECT_TRUE(lineWritten) << reports[0];
    EXPECT_EQ(reports[1], reports[0]);
    EXPECT_EQ(said[1], said[0]);
    EXPECT_GT(transcripts[0].size(), 80u);  // log-ins, readings and every page's writes
    EXPECT_EQ(transcripts[1], transcripts[0]);
  }
}

// Without waiting for each unread line's prompt, the next command's echo (at once) would come
// before that prompt (late), which would then end the command's reply.
TEST(Pace, FastReadsAndWritesACookedTerminalRight) {
  PacedRouter plain("pppoe", true);
  const std::string path = TempPath("tarnwick-pace-cooked.json");
  ASSERT_EQ(plain.Save(path), kConsoleDone);
  json file;
  {
    std::ifstream in(path);
    file = json::parse(in);
  }
  for (const char* page : {"line", "pvc", "dsl"}) file.erase(page);  // no batch, no restart
  std::ofstream(path) << file.dump();

  PacedRouter cooked("pppoe", false, 10);
  std::string report;
  EXPECT_EQ(cooked.Apply(Pace::Fast, path, report), kConsoleDone) << report;
  std::remove(path.c_str());
  EXPECT_NE(report.find("(routes): sent"), std::string::npos) << report;
  json want = plain.ShowAll(Pace::Fast);
  json got = cooked.ShowAll(Pace::Fast);
  EXPECT_EQ(cooked.Errors(), std::vector<std::string>{});
  for (json* pages : {&want, &got}) pages->erase("dsl");  // its counters run on
  EXPECT_EQ(got.dump(2), want.dump(2));
}

}  // namespace
}  // namespace tarnwick
