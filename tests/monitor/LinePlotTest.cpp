// The line history's plot: its SVG, the points a window gets, the span and the time scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "monitor/LinePlot.h"
#include "support/Xml.h"
#include "ui/SvgWriter.h"

namespace tarnwick {
namespace {

constexpr UtcMillis kStart = 1714600800000;  // 2024-05-01T22:00:00Z

DslSample Up(UtcMillis time, double margin, double rate) {
  DslSample s;
  s.time = time;
  s.link = LinkState::Alive;
  s.downMarginDb = margin;
  s.upMarginDb = margin + 3;
  s.downInterleavedKbps = rate;
  s.upInterleavedKbps = rate / 8;
  return s;
}

DslSample Down(UtcMillis time, LinkState link) {
  DslSample s;
  s.time = time;
  s.link = link;
  return s;
}

std::size_t CountPoints(const std::string& points) {
  std::istringstream in(points);
  std::size_t n = 0;
  for (std::string pair; in >> pair;) ++n;
  return n;
}

// Points of each named series and the count of each kind of element, by class.
struct SvgCensus {
  std::map<std::string, std::size_t> seriesPoints;
  std::map<std::string, std::size_t> byClass;
};

SvgCensus Census(const std::vector<testing::XmlElement>& elements) {
  SvgCensus census;
  for (const auto& e : elements) {
    auto cls = e.attributes.find("class");
    if (cls == e.attributes.end()) continue;
    std::istringstream words(cls->second);
    std::string ink, series;
    words >> ink >> series;
    ++census.byClass[e.name + "." + ink];
    if (series.empty()) continue;
    if (e.name == "polyline") census.seriesPoints[series] += CountPoints(e.attributes.at("points"));
    if (e.name == "circle") census.seriesPoints[series] += 1;
  }
  return census;
}

TEST(LinePlot, SvgIsWellFormedWithOnePointPerSample) {
  LineHistory history;
  UtcMillis t = kStart;
  for (int i = 0; i < 20; ++i, t += 3000) history.Append(Up(t, 9 + i % 3, 7616 - 32 * (i % 4)));
  for (int i = 0; i < 3; ++i, t += 3000) history.Append(Down(t, LinkState::Idle));
  for (int i = 0; i < 10; ++i, t += 3000) history.Append(Up(t, 8, 7584));
  history.Append(Down(t, LinkState::Timeout));
  history.Append(Up(t += 3000, 8, 7584));  // alone between two polls without an answer
  history.Append(Down(t += 3000, LinkState::Timeout));
  t += 120 * 1000;  // the page was not shown for two minutes
  for (int i = 0; i < 5; ++i, t += 3000) history.Append(Up(t, 7.5, 7552));
  history.Append(Down(t, LinkState::Idle));
  const std::size_t upSamples = 20 + 10 + 1 + 5;

  PlotOptions options;
  options.everySample = true;
  const std::string svg = WriteSvg(DrawLineHistory(history, SvgCanvas(1000, 600), options),
                                   "a <line> & its \"history\"");

  std::vector<testing::XmlElement> elements;
  std::string error;
  ASSERT_TRUE(testing::ParseXml(svg, elements, error)) << error;
  ASSERT_FALSE(elements.empty());
  EXPECT_EQ(elements[0].name, "svg");
  const SvgCensus census = Census(elements);
  for (const char* series : {kDownMarginSeries, kUpMarginSeries, kDownRateSeries, kUpRateSeries})
    EXPECT_EQ(census.seriesPoints.at(series), upSamples) << series;
  // Runs broken by the idle polls, the lone sample, the unanswered polls and the time away.
  EXPECT_EQ(census.byClass.at("circle.downstream"), 2u) << "the lone sample, in both panels";
  EXPECT_EQ(census.byClass.at("polyline.downstream"), 2u * 3 + 1) << "three runs a panel, legend";
  // Each event marks both panels; the legend holds one of each.
  EXPECT_EQ(census.byClass.at("polyline.link-lost"), 2u * 2 + 1);
  EXPECT_EQ(census.byClass.at("polyline.retrain"), 2u * 1 + 1);
  EXPECT_EQ(census.byClass.at("rect.idle"), 2u * 2 + 1);
  EXPECT_EQ(census.byClass.at("rect.timeout"), 2u * 2 + 1);
}

std::pair<float, float> Extremes(const Drawing& drawing, const std::string& series) {
  float low = HUGE_VALF, high = -HUGE_VALF;
  for (const auto& path : drawing.paths) {
    if (path.name != series) continue;
    for (const Point& p : path.points) {
      low = std::min(low, p.y);
      high = std::max(high, p.y);
    }
  }
  return {low, high};
}

std::size_t Points(const Drawing& drawing, const std::string& series) {
  std::size_t n = 0;
  for (const auto& path : drawing.paths)
    if (path.name == series) n += path.points.size();
  return n;
}

TEST(LinePlot, AWindowGetsAtMostFourPointsAColumnWithTheExtremesKept) {
  LineHistory history;
  for (std::size_t i = 0; i < history.capacity(); ++i) {
    // Noisy, with one deep dip that a column average would hide.
    const double margin = i == 12345 ? 1.0 : 9 + std::sin(static_cast<double>(i) * 0.7);
    history.Append(Up(kStart + static_cast<UtcMillis>(i) * 3000, margin, 7616));
  }
  const Canvas canvas = SvgCanvas(800, 500);
  PlotOptions every;
  every.everySample = true;
  const Drawing full = DrawLineHistory(history, canvas, every);
  const Drawing window = DrawLineHistory(history, canvas, PlotOptions{});
  EXPECT_EQ(Points(full, kDownMarginSeries), history.size());
  EXPECT_LE(Points(window, kDownMarginSeries), 4u * 800);
  EXPECT_GE(Points(window, kDownMarginSeries), 400u);
  EXPECT_EQ(Extremes(window, kDownMarginSeries), Extremes(full, kDownMarginSeries));
}

TEST(LinePlot, ASpanShowsOnlyItsNewestSamples) {
  LineHistory history;
  for (int i = 0; i < 1200; ++i) history.Append(Up(kStart + i * 3000, 9, 7616));
  PlotOptions options;
  options.everySample = true;
  options.span = 10 * 60 * 1000;
  const Drawing drawing = DrawLineHistory(history, SvgCanvas(800, 500), options);
  EXPECT_EQ(Points(drawing, kDownRateSeries), 201u) << "ten minutes at 3 s, both ends";
}

// Figures a faulty or hostile router could report, as noise margins and rates alike: tick
// labels stay short numbers, every coordinate stays finite, and the SVG parses.
TEST(LinePlot, AbsurdFiguresStillGiveNumbersAndFiniteCoordinates) {
  const std::pair<const char*, std::vector<double>> cases[] = {
      {"1e50", {9, 1e50}},
      {"71 digits", {9, std::stod(std::string(71, '9'))}},
      {"opposite limits of a double", {-1e308, 1e308}},
  };
  const std::regex number(R"(-?\d+(\.\d+)?(e[-+]\d+)?)");
  for (const auto& [name, figures] : cases) {
    SCOPED_TRACE(name);
    LineHistory history;
    for (std::size_t i = 0; i < figures.size(); ++i)
      history.Append(Up(kStart + static_cast<UtcMillis>(i) * 3000, figures[i], figures[i]));
    PlotOptions options;
    options.everySample = true;
    const Drawing drawing = DrawLineHistory(history, SvgCanvas(1000, 600), options);

    int tickLabels = 0;
    for (const auto& l : drawing.labels) {
      if (l.align != Drawing::Align::End) continue;  // the value axes' labels
      ++tickLabels;
      EXPECT_TRUE(std::regex_match(l.text, number) && l.text.size() <= 12) << l.text;
    }
    EXPECT_GE(tickLabels, 6);
    EXPECT_EQ(Points(drawing, kDownRateSeries), figures.size());
    for (const auto& path : drawing.paths)
      for (const Point& p : path.points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    for (const auto& r : drawing.rects)
      EXPECT_TRUE(std::isfinite(r.left + r.right + r.top + r.bottom));

    const std::string svg = WriteSvg(drawing, name);
    std::vector<testing::XmlElement> elements;
    std::string error;
    EXPECT_TRUE(testing::ParseXml(svg, elements, error)) << error;
    EXPECT_FALSE(std::regex_search(svg, std::regex("nan|inf")));
  }
}

TEST(LinePlot, TimeLabelsFitTheSpanShown) {
  struct Case {
    Millis span;
    int offsetMinutes;
    const char* label;  // pattern
    const char* zone;
  };
  const Case cases[] = {
      {2 * 60 * 1000, 0, R"(\d\d:\d\d:\d\d)", "UTC"},
      {6 * 3600 * 1000, 90, R"(\d\d:\d\d)", "UTC+01:30"},
      {24 * 3600 * 1000, -300, R"(\d\d:\d\d)", "UTC-05:00"},
      {7 * 24 * 3600 * 1000, 0, R"(\d\d-\d\d)", "UTC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    LineHistory history(100000);
    for (Millis t = 0; t <= c.span; t += c.span / 500) history.Append(Up(kStart + t, 9, 7616));
    PlotOptions options;
    options.utcOffsetMinutes = c.offsetMinutes;
    const Drawing drawing = DrawLineHistory(history, SvgCanvas(800, 500), options);
    // The time labels are the centred ones in the row below the lower panel.
    const float row = std::max_element(drawing.labels.begin(), drawing.labels.end(),
                                       [](const auto& a, const auto& b) { return a.at.y < b.at.y; })
                          ->at.y;
    std::vector<float> xs;
    std::string caption;
    for (const auto& label : drawing.labels) {
      if (label.align != Drawing::Align::Middle) continue;
      if (label.at.y == row) {
        caption = label.text;
      } else if (std::regex_match(label.text, std::regex(c.label))) {
        xs.push_back(label.at.x);
      }
    }
    EXPECT_GE(xs.size(), 3u);
    EXPECT_LE(xs.size(), 12u);
    EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()));
    for (std::size_t i = 2; i < xs.size(); ++i)
      EXPECT_NEAR(xs[i] - xs[i - 1], xs[1] - xs[0], 1.0f) << "evenly spaced";
    EXPECT_NE(caption.find(c.zone), std::string::npos) << caption;
  }
}

}  // namespace
}  // namespace tarnwick
