// The Line Configuration page against the simulator: a reading and an Apply, with every pause
// of the router dialogue skipped, so what is left is our own work and the loopback round trips.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Figures.h"
#include "line/CLINE.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "support/TestView.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

struct LineRig {
  LineRig() {
    routersim::Options options;
    options.port = 0;
    options.preset = "pppoe";
    simulator = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    if (!simulator->Start(&error)) std::fprintf(stderr, "simulator: %s\n", error.c_str());
    session.channel.RouterAddress = simulator->Address();
    session.channel.RouterPassword = "admin";
    session.channel.ConnectAndLogin();
  }
  // A page as the sheet shows it the first time.
  void Open(CLINE& page, tarnwick::testing::TestView& view) {
    page.Attach(&view);
    page.OnInitDialog();
    page.OnSetActive();
  }

  SkippingClock clock;
  tarnwick::testing::RecordingUi ui;
  tarnwick::testing::MemorySettings settings;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
  Session session{*sockets, clock, ui, settings};
  std::unique_ptr<routersim::Simulator> simulator;
};

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples.empty() ? 0 : samples[samples.size() / 2];
}

void Summarise(const char* what, std::vector<double>& samples, double goalMs) {
  char line[160];
  std::snprintf(line, sizeof line,
                "median Line Configuration %-8s beyond its pauses: %8.3f ms (target < %g ms)", what,
                Median(samples) * 1000, goalMs);
  tarnwick::bench::Figures().push_back(line);
}

void BM_LineReading(benchmark::State& state) {
  LineRig rig;
  std::vector<double> samples;
  for (auto _ : state) {
    CLINE page(rig.session);
    tarnwick::testing::TestView view;
    const auto start = Steady::now();
    rig.Open(page, view);
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    if (page.Protocol != kPppoe) state.SkipWithError("read the wrong protocol");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  Summarise("reading", samples, 5);
}

void BM_LineApply(benchmark::State& state) {
  LineRig rig;
  CLINE page(rig.session);
  tarnwick::testing::TestView view;
  rig.Open(page, view);
  std::vector<double> samples;
  for (auto _ : state) {
    rig.ui.messages.clear();
    const auto start = Steady::now();
    page.OnApplyLine();
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    if (rig.ui.Texts() != std::vector<std::string>{"Configuration Successful"})
      state.SkipWithError("apply failed");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  Summarise("Apply", samples, 20);
}

BENCHMARK(BM_LineReading)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineApply)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace
