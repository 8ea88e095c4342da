// The line history plotted: noise margins and interleaved rates against time, with the
// moments the link was lost or retrained and the polls that found no line or no answer.
#pragma once

#include <string>
#include <vector>

#include "channel/Clock.h"
#include "monitor/LineHistory.h"
#include "ui/Drawing.h"
#include "ui/PlotSource.h"

namespace tarnwick {

struct PlotOptions {
  Millis span = 0;  // the newest span of the history; 0 all of it
  int utcOffsetMinutes = 0;
  // The poll period: a silence of several periods (the page was not shown) breaks the lines.
  Millis periodMs = 3000;
  // One point per sample, for files. A window gets at most four a pixel column instead,
  // which looks the same and keeps a day's redraw cheap.
  bool everySample = false;
};

// The series' names in the drawing.
inline constexpr const char* kDownMarginSeries = "down-noise-margin";
inline constexpr const char* kUpMarginSeries = "up-noise-margin";
inline constexpr const char* kDownRateSeries = "down-interleaved-rate";
inline constexpr const char* kUpRateSeries = "up-interleaved-rate";

Drawing DrawLineHistory(const LineHistory& history, const Canvas& canvas,
                        const PlotOptions& options);

// "UTC", "UTC+05:30", "UTC-03:00"
std::string ZoneName(int utcOffsetMinutes);

// The plot of a page's history for a window: it redraws as the page appends.
class HistoryPlot final : public PlotSource {
 public:
  explicit HistoryPlot(std::size_t capacity = LineHistory::kDayAtPagePeriod, Millis periodMs = 3000)
      : history_(capacity), periodMs_(periodMs) {}

  void Append(DslSample sample) {
    history_.Append(std::move(sample));
    Changed();
  }
  const LineHistory& history() const { return history_; }

  std::string Title() const override { return "Line History"; }
  std::string Summary(int utcOffsetMinutes) const override;
  std::vector<Span> Spans() const override;
  Drawing Draw(const Canvas& canvas, Millis span, int utcOffsetMinutes) const override;
  std::string Csv() const override;
  std::string CsvFileName() const override { return "line-history.csv"; }

 private:
  LineHistory history_;
  Millis periodMs_;
};

}  // namespace tarnwick
