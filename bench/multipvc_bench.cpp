// The Multiple PVC dialog against the simulator on loopback: opening it (reading every PVC)
// and one Apply of eight rows. The pauses the dialogue mandates (100 ms per command, the
// log-ins, the Wait box steps, the 5000 ms reconnect) run on a SkippingClock, so each figure
// is the real time above them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Figures.h"
#include "PageRig.h"
#include "multipvc/CMULTIPVC.h"
#include "ui/HeadlessView.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

// A dialog as the Line page opens it, on its own view.
struct Opened {
  explicit Opened(Session& session) : dialog(session) {
    dialog.LanIp = "127.0.0.1";
    dialog.LanMask = "ff:ff:ff:0";
    dialog.Attach(&view);
  }
  HeadlessView view;
  CMULTIPVC dialog;
};

// The simulator with every kind of PVC, in normal mode.
struct Rig : bench::PageRig {
  Rig() : PageRig("mixed") { session.line.PvcModeNormal = 1; }
};

struct Figures {
  double readingMs = 0;
  std::size_t rowsRead = 0;
  double applyMs = 0;
  std::size_t rowsApplied = 0;
  std::size_t linesApplied = 0;
} figures;

void BM_OpenDialog(benchmark::State& state) {
  Rig rig;
  std::vector<double> samples;
  for (auto _ : state) {
    Opened opened(rig.session);
    const auto start = Steady::now();
    opened.dialog.OnInitDialog();
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
    figures.rowsRead = opened.dialog.Rows().size();
  }
  if (!rig.ui.messages.empty()) state.SkipWithError(rig.ui.messages.front().text.c_str());
  figures.readingMs = bench::Median(samples) * 1000;
  state.counters["median_ms"] = figures.readingMs;
  char line[160];
  std::snprintf(line, sizeof line,
                "median Multiple PVC opening, %zu rows read, beyond its pauses: %7.3f ms "
                "(target < 10 ms)",
                figures.rowsRead, figures.readingMs);
  tarnwick::bench::Figures().push_back(line);
}

void BM_ApplyEightRows(benchmark::State& state) {
  Rig rig;
  Opened opened(rig.session);
  opened.dialog.OnInitDialog();
  opened.dialog.AddPvcRow(kRouted, "8/37", 1, 0, "198.51.100.10", "255.255.255.252", "");
  opened.dialog.AddPvcRow(kIpoa, "0/39", 0, 0, "203.0.113.6", "255.255.255.0", "");
  figures.rowsApplied = opened.dialog.Rows().size();
  std::vector<double> samples;
  for (auto _ : state) {
    rig.ui.messages.clear();
    rig.simulator->ClearTranscript();
    const auto start = Steady::now();
    opened.dialog.OnApplyPvcs();
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
    if (rig.ui.messages.empty() || rig.ui.messages.back().text != "Configuration Successful")
      state.SkipWithError("apply failed");
  }
  figures.linesApplied = rig.simulator->TranscriptLines().size();
  figures.applyMs = bench::Median(samples) * 1000;
  state.counters["median_ms"] = figures.applyMs;
  char line[160];
  std::snprintf(line, sizeof line,
                "median Multiple PVC Apply of %zu rows (%zu lines), beyond its pauses: %7.3f ms "
                "(target < 20 ms)",
                figures.rowsApplied, figures.linesApplied, figures.applyMs);
  tarnwick::bench::Figures().push_back(line);
}

BENCHMARK(BM_OpenDialog)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyEightRows)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace
