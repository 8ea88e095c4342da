// A picture as plain primitives in pixels, laid out once and drawn alike by GDI and as SVG.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

// What a primitive stands for; each renderer picks its colours and line styles, so the
// native window can follow the system's colours while an SVG file keeps a fixed palette.
enum class Ink : std::uint8_t {
  Text,
  Axis,
  Grid,
  PlotArea,     // the background of a plot panel
  Downstream,   // first series of a panel
  Upstream,     // second series of a panel
  LinkLost,     // a marker line
  Retrain,      // a marker line
  IdleBand,     // the line was not up
  TimeoutBand,  // the router did not answer; the last ink
};
inline constexpr int kInkCount = static_cast<int>(Ink::TimeoutBand) + 1;

struct Point {
  float x = 0;
  float y = 0;
};

// The surface a drawing is laid out for.
struct Canvas {
  float width = 0;
  float height = 0;
  // Device pixels per pixel at 96 dpi: line widths and gaps grow with it.
  float scale = 1;
  // Height of a line of text in the renderer's font.
  float lineHeight = 16;
  // Width of a text in the renderer's font.
  std::function<float(const std::string&)> textWidth;
};

struct Drawing {
  enum class Align : std::uint8_t { Start, Middle, End };

  struct Rect {
    Ink ink;
    float left, top, right, bottom;
  };
  // Joined points; a single point is a dot. name tells series apart (empty for axes).
  struct Path {
    Ink ink;
    std::string name;
    std::vector<Point> points;
  };
  // at is the top of the line of text; align is horizontal.
  struct Label {
    Ink ink;
    Point at;
    Align align;
    std::string text;
  };

  float width = 0;
  float height = 0;
  // Drawn in this order: rectangles, then paths, then labels.
  std::vector<Rect> rects;
  std::vector<Path> paths;
  std::vector<Label> labels;
};

}  // namespace tarnwick
