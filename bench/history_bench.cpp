// The Line History window's redraw: one sample appended to a full day, then the whole plot
// laid out again for a window's size, as the window does after every refresh of the page.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Figures.h"
#include "HistoryDay.h"
#include "monitor/LinePlot.h"
#include "ui/SvgWriter.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

void BM_AppendAndRedrawADay(benchmark::State& state) {
  HistoryPlot plot;
  std::size_t next = 0;
  for (; next < plot.history().capacity(); ++next) plot.Append(bench::DaySample(next));
  // A window of 1000 x 600 pixels; the text measure stands in for the window's font.
  const Canvas canvas = SvgCanvas(1000, 600);
  std::vector<double> samples;
  std::size_t points = 0;
  for (auto _ : state) {
    const auto start = Steady::now();
    plot.Append(bench::DaySample(next++));
    const Drawing drawing = plot.Draw(canvas, 0, 0);
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    benchmark::DoNotOptimize(drawing.paths.data());
    points = 0;
    for (const auto& path : drawing.paths) points += path.points.size();
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  std::sort(samples.begin(), samples.end());
  char line[200];
  std::snprintf(line, sizeof line,
                "median append + redraw of a full day (%zu samples, %zu points drawn): %8.3f ms "
                "(target < 16 ms)",
                plot.history().size(), points, samples[samples.size() / 2] * 1000);
  tarnwick::bench::Figures().push_back(line);
}

BENCHMARK(BM_AppendAndRedrawADay)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace
