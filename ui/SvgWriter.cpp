// Drawings as SVG: one element per primitive, with the palette of a light printed page.
#include "ui/SvgWriter.h"

#include <charconv>
#include <cmath>

namespace tarnwick {
namespace {

constexpr float kFontSize = 12;
constexpr float kLineHeight = 15;
// From the top of a line of text to its baseline.
constexpr float kBaseline = 11.5f;

struct Style {
  const char* colour;
  float width;  // stroke width; 0 for filled shapes
  bool dashed;
};

Style StyleOf(Ink ink) {
  switch (ink) {
    case Ink::Text:
      return {"#202020", 0, false};
    case Ink::Axis:
      return {"#505050", 1, false};
    case Ink::Grid:
      return {"#dcdcdc", 1, false};
    case Ink::PlotArea:
      return {"#ffffff", 0, false};
    case Ink::Downstream:
      return {"#1f5fbf", 1.5f, false};
    case Ink::Upstream:
      return {"#d9730d", 1.5f, false};
    case Ink::LinkLost:
      return {"#c62828", 1.5f, true};
    case Ink::Retrain:
      return {"#2e7d32", 1.5f, true};
    case Ink::IdleBand:
      return {"#e4e4e4", 0, false};
    case Ink::TimeoutBand:
      return {"#fae3b4", 0, false};
  }
  return {"#000000", 1, false};
}

const char* InkName(Ink ink) {
  switch (ink) {
    case Ink::Text:
      return "text";
    case Ink::Axis:
      return "axis";
    case Ink::Grid:
      return "grid";
    case Ink::PlotArea:
      return "plot-area";
    case Ink::Downstream:
      return "downstream";
    case Ink::Upstream:
      return "upstream";
    case Ink::LinkLost:
      return "link-lost";
    case Ink::Retrain:
      return "retrain";
    case Ink::IdleBand:
      return "idle";
    case Ink::TimeoutBand:
      return "timeout";
  }
  return "";
}

// One decimal whatever the locale. A drawing's coordinates are finite; were one not, the
// file would still hold a number there.
void Number(std::string& out, float value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];  // the widest float, 39 digits, with sign and decimal
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  if (error == std::errc())
    out.append(buffer, end);
  else
    out += '0';
}

void Escaped(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

void ClassAttribute(std::string& out, Ink ink, const std::string& name) {
  out += " class=\"";
  out += InkName(ink);
  if (!name.empty()) {
    out += ' ';
    Escaped(out, name);
  }
  out += '"';
}

void Stroke(std::string& out, const Style& style) {
  out += " fill=\"none\" stroke=\"";
  out += style.colour;
  out += "\" stroke-width=\"";
  Number(out, style.width);
  out += '"';
  if (style.dashed) out += " stroke-dasharray=\"5 3\"";
}

}  // namespace

Canvas SvgCanvas(float width, float height) {
  Canvas canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.lineHeight = kLineHeight;
  // An average over digits, colons and lower-case letters of a sans-serif face.
  canvas.textWidth = [](const std::string& text) {
    return static_cast<float>(text.size()) * kFontSize * 0.58f;
  };
  return canvas;
}

std::string WriteSvg(const Drawing& drawing, const std::string& title) {
  std::string out;
  std::size_t points = 0;
  for (const auto& path : drawing.paths) points += path.points.size();
  out.reserve(1024 + points * 14 + drawing.labels.size() * 80 + drawing.rects.size() * 100);

  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  Number(out, drawing.width);
  out += "\" height=\"";
  Number(out, drawing.height);
  out += "\" viewBox=\"0 0 ";
  Number(out, drawing.width);
  out += ' ';
  Number(out, drawing.height);
  out += "\" font-family=\"sans-serif\" font-size=\"";
  Number(out, kFontSize);
  out += "\">\n<title>";
  Escaped(out, title);
  out += "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#f4f4f4\"/>\n";

  for (const auto& r : drawing.rects) {
    out += "<rect";
    ClassAttribute(out, r.ink, "");
    out += " x=\"";
    Number(out, r.left);
    out += "\" y=\"";
    Number(out, r.top);
    out += "\" width=\"";
    Number(out, r.right - r.left);
    out += "\" height=\"";
    Number(out, r.bottom - r.top);
    out += "\" fill=\"";
    out += StyleOf(r.ink).colour;
    out += "\"/>\n";
  }
  for (const auto& path : drawing.paths) {
    if (path.points.empty()) continue;
    const Style style = StyleOf(path.ink);
    if (path.points.size() == 1) {
      out += "<circle";
      ClassAttribute(out, path.ink, path.name);
      out += " cx=\"";
      Number(out, path.points[0].x);
      out += "\" cy=\"";
      Number(out, path.points[0].y);
      out += "\" r=\"";
      Number(out, style.width + 0.5f);
      out += "\" fill=\"";
      out += style.colour;
      out += "\"/>\n";
      continue;
    }
    out += "<polyline";
    ClassAttribute(out, path.ink, path.name);
    Stroke(out, style);
    out += " points=\"";
    for (std::size_t i = 0; i < path.points.size(); ++i) {
      if (i) out += ' ';
      Number(out, path.points[i].x);
      out += ',';
      Number(out, path.points[i].y);
    }
    out += "\"/>\n";
  }
  for (const auto& label : drawing.labels) {
    out += "<text";
    ClassAttribute(out, label.ink, "");
    out += " x=\"";
    Number(out, label.at.x);
    out += "\" y=\"";
    Number(out, label.at.y + kBaseline);
    out += '"';
    if (label.align == Drawing::Align::Middle) out += " text-anchor=\"middle\"";
    if (label.align == Drawing::Align::End) out += " text-anchor=\"end\"";
    out += " fill=\"";
    out += StyleOf(label.ink).colour;
    out += "\">";
    Escaped(out, label.text);
    out += "</text>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace tarnwick
