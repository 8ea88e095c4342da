// Lays out the line history: two panels sharing a time axis, scaled to what is shown.
#include "monitor/LinePlot.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "monitor/HistoryCsv.h"

namespace tarnwick {
namespace {

constexpr Millis kSecond = 1000;
constexpr Millis kMinute = 60 * kSecond;
constexpr Millis kHour = 60 * kMinute;
constexpr Millis kDay = 24 * kHour;
// A short history still gets a minute's axis, filling from the left as it grows.
constexpr Millis kShortestAxis = kMinute;
// Silences longer than this many poll periods break the lines.
constexpr int kGapPeriods = 5;
constexpr double kLargest = std::numeric_limits<double>::max();

using Figure = std::optional<double> DslSample::*;

struct TimeAxis {
  UtcMillis from = 0;
  UtcMillis to = kShortestAxis;
  float left = 0;
  float right = 0;
  float X(UtcMillis t) const {
    return left + static_cast<float>(static_cast<double>(t - from) /
                                     static_cast<double>(to - from) * (right - left));
  }
};

struct Panel {
  const char* title;
  Figure down;
  Figure up;
  const char* downName;
  const char* upName;
  double emptyHigh;  // the range shown before there is any value
  float top = 0;
  float bottom = 0;
  double low = 0;
  double high = 1;
  double step = 1;
  int decimals = 0;     // of plain labels
  int significant = 0;  // digits of scientific labels; 0: labels are plain decimals
  // Differences are taken of halves, which stay finite for figures anywhere in a double's
  // range (-1e308 and 1e308 included) and are exact halves of the plain ones otherwise.
  float Y(double v) const {
    return bottom - static_cast<float>((v / 2 - low / 2) / (high / 2 - low / 2)) * (bottom - top);
  }
  // Ticks at low + k * step for k from 0 to Ticks(), computed afresh to keep them exact.
  int Ticks() const { return static_cast<int>(std::lround((high / 2 - low / 2) / (step / 2))); }
  double Tick(int k) const { return std::clamp(2 * (low / 2 + k * (step / 2)), low, high); }
};

// 1, 2, 2.5 or 5 times a power of ten, at least rough; rough itself when no such step is a
// double.
double NiceStep(double rough) {
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    const double step = m * magnitude;
    if (std::isfinite(step) && step >= rough * (1 - 1e-9)) return step;
  }
  return rough;
}

int DecimalsOf(double step) {
  for (int d = 0; d < 4; ++d) {
    const double scaled = step * std::pow(10.0, d);
    if (std::abs(scaled - std::round(scaled)) < 1e-6) return d;
  }
  return 4;
}

// Significant digits that tell a panel's ticks apart in scientific form: from the largest
// tick's leading digit down to the step's, one more for a step of 2.5.
int SignificantDigits(const Panel& panel) {
  const double largest = std::max(std::abs(panel.low), std::abs(panel.high));
  const double stepPower = std::floor(std::log10(panel.step));
  int digits = static_cast<int>(std::floor(std::log10(largest)) - stepPower) + 1;
  if (std::abs(panel.step / std::pow(10.0, stepPower) - 2.5) < 1e-6) ++digits;
  return std::clamp(digits, 1, 17);
}

// A tick label, always a number: plain decimals, or for figures beyond nine digits (or
// steps below the plain labels' last decimal) the scientific form, whose length is bounded.
std::string FormatValue(const Panel& panel, double value) {
  if (std::abs(value) < std::max(1e-9, panel.step * 1e-9)) value = 0;  // no "-0", no noise
  char buffer[64];  // either form of any double fits several times over
  std::to_chars_result result{buffer, std::errc()};
  if (panel.significant == 0) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                           panel.decimals);
  } else if (value == 0) {
    return "0";
  } else {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                           panel.significant - 1);
  }
  if (result.ec != std::errc()) result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string TwoDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

std::string FormatDate(const CivilTime& c) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
  return text;
}

// Tick labels of a step: seconds only when ticks are less than a minute apart, the date
// only when they are days apart.
std::string TickLabel(UtcMillis localTime, Millis step) {
  const CivilTime c = ToCivil(localTime);
  if (step >= kDay) return TwoDigits(c.month) + "-" + TwoDigits(c.day);
  std::string text = TwoDigits(c.hour) + ":" + TwoDigits(c.minute);
  if (step < kMinute) text += ":" + TwoDigits(c.second);
  return text;
}

Millis TimeStep(const TimeAxis& axis, const Canvas& canvas) {
  static constexpr Millis kSteps[] = {
      kSecond,     2 * kSecond, 5 * kSecond,  10 * kSecond, 15 * kSecond, 30 * kSecond, kMinute,
      2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,        2 * kHour,
      3 * kHour,   6 * kHour,   12 * kHour,   kDay,         2 * kDay,     7 * kDay};
  const float room = axis.right - axis.left;
  const double span = static_cast<double>(axis.to - axis.from);
  for (Millis step : kSteps) {
    const float label = canvas.textWidth(TickLabel(0, step)) + 2 * canvas.lineHeight;
    if (span / static_cast<double>(step) * label <= room) return step;
  }
  return 7 * kDay;
}

// The first of the visible samples: all of them, or those of the newest span.
std::size_t FirstShown(const LineHistory& history, Millis span) {
  if (span <= 0 || history.empty()) return 0;
  const UtcMillis from = history.back().time - span;
  std::size_t first = history.size();
  while (first > 0 && history[first - 1].time >= from) --first;
  return first;
}

void FitRange(Panel& panel, const LineHistory& history, std::size_t first, int targetTicks) {
  double low = HUGE_VAL;
  double high = -HUGE_VAL;
  for (std::size_t i = first; i < history.size(); ++i) {
    for (Figure figure : {panel.down, panel.up}) {
      if (const auto& v = history[i].*figure; v && std::isfinite(*v)) {
        low = std::min(low, *v);
        high = std::max(high, *v);
      }
    }
  }
  if (low > high) {
    low = 0;
    high = panel.emptyHigh;
  } else if (high / 2 - low / 2 < 0.5e-9) {
    // A flat line sits in the middle of a small range around it.
    const double margin = std::max(1.0, std::abs(high) * 0.05);
    low = std::max(low - margin, -kLargest);
    high = std::min(high + margin, kLargest);
  }
  const int ticks = std::max(targetTicks, 1);
  // A range wider than the largest double is divided in halves.
  const double span = high - low;
  panel.step = NiceStep(std::isfinite(span) ? span / ticks : high / ticks - low / ticks);
  panel.low = std::floor(low / panel.step + 1e-9) * panel.step;
  panel.high = std::ceil(high / panel.step - 1e-9) * panel.step;
  if (!std::isfinite(panel.low) || !std::isfinite(panel.high)) {
    // Whole steps would pass the largest double: the figures' own range, in equal steps.
    panel.low = low;
    panel.high = high;
    panel.step = high / ticks - low / ticks;
  }
  if (panel.high <= panel.low) panel.high = std::min(panel.low + panel.step, kLargest);
  panel.decimals = DecimalsOf(panel.step);
  const bool plain = panel.step >= 1e-4 && std::max(-panel.low, panel.high) < 1e9;
  panel.significant = plain ? 0 : SignificantDigits(panel);
}

// Consecutive points of one series; a missing figure or a long silence ends a run.
class SeriesBuilder {
 public:
  SeriesBuilder(Drawing& drawing, Ink ink, const char* name, bool everySample)
      : drawing_(drawing), ink_(ink), name_(name), everySample_(everySample) {}

  void Add(std::size_t index, Point p) {
    if (everySample_) {
      points_.push_back(p);
      return;
    }
    const auto column = static_cast<long>(std::floor(p.x));
    if (count_ == 0 || column != column_) {
      FlushColumn();
      column_ = column;
      firstIn_ = minIn_ = maxIn_ = lastIn_ = {index, p};
      count_ = 1;
      return;
    }
    if (p.y < minIn_.second.y) minIn_ = {index, p};
    if (p.y > maxIn_.second.y) maxIn_ = {index, p};
    lastIn_ = {index, p};
    ++count_;
  }

  void EndRun() {
    FlushColumn();
    if (!points_.empty()) drawing_.paths.push_back({ink_, name_, std::move(points_)});
    points_.clear();
  }

 private:
  // The first, lowest, highest and last point of a column, in their order.
  void FlushColumn() {
    if (count_ == 0) return;
    std::array<std::pair<std::size_t, Point>, 4> kept = {firstIn_, minIn_, maxIn_, lastIn_};
    std::sort(kept.begin(), kept.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < kept.size(); ++i)
      if (i == 0 || kept[i].first != kept[i - 1].first) points_.push_back(kept[i].second);
    count_ = 0;
  }

  Drawing& drawing_;
  Ink ink_;
  const char* name_;
  bool everySample_;
  std::vector<Point> points_;
  long column_ = 0;
  int count_ = 0;
  std::pair<std::size_t, Point> firstIn_, minIn_, maxIn_, lastIn_;
};

void AddSeries(Drawing& drawing, const LineHistory& history, std::size_t first,
               const TimeAxis& axis, const Panel& panel, Figure figure, Ink ink, const char* name,
               Millis gapMs, bool everySample) {
  SeriesBuilder series(drawing, ink, name, everySample);
  for (std::size_t i = first; i < history.size(); ++i) {
    const DslSample& s = history[i];
    if (i > first && s.time - history[i - 1].time > gapMs) series.EndRun();
    const auto& value = s.*figure;
    if (!value || !std::isfinite(*value)) {
      series.EndRun();
      continue;
    }
    series.Add(i, {axis.X(s.time), panel.Y(*value)});
  }
  series.EndRun();
}

// A poll that found no line, or no answer, covers the time until the next poll.
void AddBands(Drawing& drawing, const LineHistory& history, std::size_t first, const TimeAxis& axis,
              const std::array<Panel, 2>& panels, Millis periodMs, Millis gapMs, float scale) {
  std::vector<Drawing::Rect> bands;
  for (std::size_t i = first; i < history.size(); ++i) {
    const DslSample& s = history[i];
    if (s.link == LinkState::Alive) continue;
    const Ink ink = s.link == LinkState::Idle ? Ink::IdleBand : Ink::TimeoutBand;
    UtcMillis end = s.time + periodMs;
    if (i + 1 < history.size() && history[i + 1].time - s.time <= gapMs) end = history[i + 1].time;
    const float left = axis.X(s.time);
    const float right = std::min(axis.right, std::max(axis.X(end), left + scale));
    if (!bands.empty() && bands.back().ink == ink && bands.back().right >= left - 0.5f) {
      bands.back().right = std::max(bands.back().right, right);
    } else {
      bands.push_back({ink, left, 0, right, 0});
    }
  }
  for (const Panel& panel : panels) {
    for (Drawing::Rect band : bands) {
      band.top = panel.top;
      band.bottom = panel.bottom;
      drawing.rects.push_back(band);
    }
  }
}

// A marker where the link went from up to idle, or came back up; polls without an answer
// say nothing about the link.
void AddMarkers(Drawing& drawing, const LineHistory& history, std::size_t first,
                const TimeAxis& axis, const std::array<Panel, 2>& panels) {
  std::optional<LinkState> known;
  for (std::size_t i = first; i-- > 0;) {
    if (history[i].link != LinkState::Timeout) {
      known = history[i].link;
      break;
    }
  }
  for (std::size_t i = first; i < history.size(); ++i) {
    const DslSample& s = history[i];
    if (s.link == LinkState::Timeout) continue;
    std::optional<Ink> marker;
    if (known == LinkState::Alive && s.link == LinkState::Idle) marker = Ink::LinkLost;
    if (known == LinkState::Idle && s.link == LinkState::Alive) marker = Ink::Retrain;
    known = s.link;
    if (!marker) continue;
    const float x = axis.X(s.time);
    for (const Panel& panel : panels)
      drawing.paths.push_back({*marker, "", {{x, panel.top}, {x, panel.bottom}}});
  }
}

void AddLegend(Drawing& drawing, const Canvas& canvas, float left, float top) {
  struct Entry {
    Ink ink;
    const char* text;
    bool band;
  };
  static constexpr Entry kEntries[] = {
      {Ink::Downstream, "Downstream", false}, {Ink::Upstream, "Upstream", false},
      {Ink::LinkLost, "Link lost", false},    {Ink::Retrain, "Retrain", false},
      {Ink::IdleBand, "Idle", true},          {Ink::TimeoutBand, "No answer", true},
  };
  const float s = canvas.scale;
  const float middle = top + canvas.lineHeight / 2;
  float x = left;
  for (const Entry& e : kEntries) {
    if (e.band) {
      drawing.rects.push_back({e.ink, x, top + 2 * s, x + 18 * s, top + canvas.lineHeight - 2 * s});
    } else if (e.ink == Ink::LinkLost || e.ink == Ink::Retrain) {
      drawing.paths.push_back(
          {e.ink, "", {{x + 9 * s, top + 1 * s}, {x + 9 * s, top + canvas.lineHeight - s}}});
    } else {
      drawing.paths.push_back({e.ink, "", {{x, middle}, {x + 18 * s, middle}}});
    }
    x += 22 * s;
    drawing.labels.push_back({Ink::Text, {x, top}, Drawing::Align::Start, e.text});
    x += canvas.textWidth(e.text) + 14 * s;
  }
}

}  // namespace

std::string ZoneName(int utcOffsetMinutes) {
  if (utcOffsetMinutes == 0) return "UTC";
  const int magnitude = std::abs(utcOffsetMinutes);
  return std::string("UTC") + (utcOffsetMinutes < 0 ? "-" : "+") + TwoDigits(magnitude / 60) + ":" +
         TwoDigits(magnitude % 60);
}

Drawing DrawLineHistory(const LineHistory& history, const Canvas& canvas,
                        const PlotOptions& options) {
  Drawing drawing;
  drawing.width = canvas.width;
  drawing.height = canvas.height;
  const float s = canvas.scale;
  const float lh = canvas.lineHeight;
  const float pad = 6 * s;
  const float tick = 4 * s;
  const Millis offset = static_cast<Millis>(options.utcOffsetMinutes) * kMinute;
  const Millis periodMs = std::max<Millis>(options.periodMs, kSecond);
  const Millis gapMs = kGapPeriods * periodMs;

  std::array<Panel, 2> panels = {
      Panel{"Noise margin (dB)", &DslSample::downMarginDb, &DslSample::upMarginDb,
            kDownMarginSeries, kUpMarginSeries, 10},
      Panel{"Interleaved rate (kbps)", &DslSample::downInterleavedKbps,
            &DslSample::upInterleavedKbps, kDownRateSeries, kUpRateSeries, 1000},
  };

  // Rows from the top: legend, title, panel, title, panel, time labels, time caption.
  const float titleRow = lh + 2 * s;
  const float firstTop = pad + lh + pad + titleRow;
  const float between = pad + titleRow;
  const float below = tick + 2 * s + 2 * lh + pad;
  const float panelHeight = std::max((canvas.height - firstTop - between - below) / 2, 4 * s);
  panels[0].top = firstTop;
  panels[0].bottom = firstTop + panelHeight;
  panels[1].top = panels[0].bottom + between;
  panels[1].bottom = panels[1].top + panelHeight;

  const std::size_t first = FirstShown(history, options.span);
  const int targetTicks = std::max(2, static_cast<int>(panelHeight / (2.5f * lh)));
  float labelWidth = 0;
  for (Panel& panel : panels) {
    FitRange(panel, history, first, targetTicks);
    for (int k = 0; k <= panel.Ticks(); ++k)
      labelWidth = std::max(labelWidth, canvas.textWidth(FormatValue(panel, panel.Tick(k))));
  }

  TimeAxis axis;
  axis.left = pad + labelWidth + tick + 2 * s;
  axis.right = std::max(axis.left + 4 * s, canvas.width - pad - canvas.textWidth("00:00:00") / 2);
  if (!history.empty()) {
    axis.to = history.back().time;
    axis.from = options.span > 0 ? axis.to - options.span : history[first].time;
    if (options.span <= 0) axis.to = std::max(axis.to, axis.from + kShortestAxis);
    if (axis.to <= axis.from) axis.to = axis.from + kShortestAxis;
  }

  // Backgrounds, then the bands over them; grid, series and markers; labels on top.
  for (const Panel& panel : panels)
    drawing.rects.push_back({Ink::PlotArea, axis.left, panel.top, axis.right, panel.bottom});
  AddBands(drawing, history, first, axis, panels, periodMs, gapMs, s);
  AddLegend(drawing, canvas, axis.left, pad);

  for (const Panel& panel : panels) {
    drawing.labels.push_back(
        {Ink::Text, {axis.left, panel.top - titleRow}, Drawing::Align::Start, panel.title});
    for (int k = 0; k <= panel.Ticks(); ++k) {
      const double v = panel.Tick(k);
      const float y = panel.Y(v);
      if (k > 0 && k < panel.Ticks())
        drawing.paths.push_back({Ink::Grid, "", {{axis.left, y}, {axis.right, y}}});
      drawing.paths.push_back({Ink::Axis, "", {{axis.left - tick, y}, {axis.left, y}}});
      drawing.labels.push_back({Ink::Text,
                                {axis.left - tick - 2 * s, y - lh / 2},
                                Drawing::Align::End,
                                FormatValue(panel, v)});
    }
  }

  if (!history.empty()) {
    const Millis step = TimeStep(axis, canvas);
    // Ticks fall on whole steps of the labelled time, so days start at its midnight.
    const UtcMillis local = axis.from + offset;
    UtcMillis t = (local / step + (local % step > 0 ? 1 : 0)) * step - offset;
    for (; t <= axis.to; t += step) {
      const float x = axis.X(t);
      for (const Panel& panel : panels) {
        if (x > axis.left + 0.5f && x < axis.right - 0.5f)
          drawing.paths.push_back({Ink::Grid, "", {{x, panel.top}, {x, panel.bottom}}});
      }
      const float bottom = panels[1].bottom;
      drawing.paths.push_back({Ink::Axis, "", {{x, bottom}, {x, bottom + tick}}});
      drawing.labels.push_back({Ink::Text,
                                {x, bottom + tick + 2 * s},
                                Drawing::Align::Middle,
                                TickLabel(t + offset, step)});
    }
    std::string caption = "Time (" + ZoneName(options.utcOffsetMinutes) + "), " +
                          FormatDate(ToCivil(axis.from + offset));
    const std::string last = FormatDate(ToCivil(axis.to + offset));
    if (last != FormatDate(ToCivil(axis.from + offset))) caption += " to " + last;
    drawing.labels.push_back({Ink::Text,
                              {(axis.left + axis.right) / 2, panels[1].bottom + tick + 2 * s + lh},
                              Drawing::Align::Middle,
                              caption});
  } else {
    drawing.labels.push_back(
        {Ink::Text,
         {(axis.left + axis.right) / 2, (panels[0].top + panels[0].bottom - lh) / 2},
         Drawing::Align::Middle,
         "No samples yet"});
  }

  for (const Panel& panel : panels) {
    AddSeries(drawing, history, first, axis, panel, panel.down, Ink::Downstream, panel.downName,
              gapMs, options.everySample);
    AddSeries(drawing, history, first, axis, panel, panel.up, Ink::Upstream, panel.upName, gapMs,
              options.everySample);
  }
  AddMarkers(drawing, history, first, axis, panels);
  for (const Panel& panel : panels) {
    drawing.paths.push_back({Ink::Axis,
                             "",
                             {{axis.left, panel.top},
                              {axis.right, panel.top},
                              {axis.right, panel.bottom},
                              {axis.left, panel.bottom},
                              {axis.left, panel.top}}});
  }
  return drawing;
}

std::string HistoryPlot::Summary(int utcOffsetMinutes) const {
  if (history_.empty()) return "No samples yet: the DSL Monitoring page adds one at each refresh.";
  const Millis offset = static_cast<Millis>(utcOffsetMinutes) * kMinute;
  auto clock = [&](UtcMillis t) {
    const CivilTime c = ToCivil(t + offset);
    return TwoDigits(c.hour) + ":" + TwoDigits(c.minute) + ":" + TwoDigits(c.second);
  };
  const std::size_t n = history_.size();
  return std::to_string(n) + (n == 1 ? " sample" : " samples") + ", " + clock(history_[0].time) +
         " to " + clock(history_.back().time) + " (" + ZoneName(utcOffsetMinutes) + ")";
}

std::vector<PlotSource::Span> HistoryPlot::Spans() const {
  return {{"All", 0},
          {"Last 24 hours", kDay},
          {"Last 6 hours", 6 * kHour},
          {"Last hour", kHour},
          {"Last 10 minutes", 10 * kMinute}};
}

Drawing HistoryPlot::Draw(const Canvas& canvas, Millis span, int utcOffsetMinutes) const {
  PlotOptions options;
  options.span = span;
  options.utcOffsetMinutes = utcOffsetMinutes;
  options.periodMs = periodMs_;
  return DrawLineHistory(history_, canvas, options);
}

std::string HistoryPlot::Csv() const { return HistoryCsv(history_); }

}  // namespace tarnwick
