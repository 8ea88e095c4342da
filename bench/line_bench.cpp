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
#include "PageRig.h"
#include "line/CLINE.h"
#include "ui/HeadlessView.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

// A page as the sheet shows it the first time.
void Open(CLINE& page, HeadlessView& view) {
  page.Attach(&view);
  page.OnInitDialog();
  page.OnSetActive();
}

void Summarise(const char* what, std::vector<double>& samples, double goalMs) {
  char line[160];
  std::snprintf(line, sizeof line,
                "median Line Configuration %-8s beyond its pauses: %8.3f ms (target < %g ms)", what,
                bench::Median(samples) * 1000, goalMs);
  tarnwick::bench::Figures().push_back(line);
}

void BM_LineReading(benchmark::State& state) {
  bench::PageRig rig("pppoe");
  std::vector<double> samples;
  for (auto _ : state) {
    CLINE page(rig.session);
    HeadlessView view;
    const auto start = Steady::now();
    Open(page, view);
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    if (page.values.Protocol != kPppoe) state.SkipWithError("read the wrong protocol");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  Summarise("reading", samples, 5);
}

void BM_LineApply(benchmark::State& state) {
  bench::PageRig rig("pppoe");
  CLINE page(rig.session);
  HeadlessView view;
  Open(page, view);
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
