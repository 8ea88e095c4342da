// The Line History window's whole redraw on Windows: a sample appended to a full day, the
// plot laid out in the window's font and painted with GDI into an off-screen bitmap, as the
// window paints. Prints the median of a few hundred frames; run it under Wine or on Windows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Figures.h"
#include "HistoryDay.h"
#include "monitor/LinePlot.h"
#include "win32/PlotWindow.h"
#include "win32/WideText.h"

int main() {
  using namespace tarnwick;
  using Steady = std::chrono::steady_clock;
  constexpr int kWidth = 1000;
  constexpr int kHeight = 600;
  constexpr int kFrames = 300;

  HistoryPlot plot;
  std::size_t next = 0;
  for (; next < plot.history().capacity(); ++next) plot.Append(bench::DaySample(next));

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HGDIOBJ oldFont = SelectObject(dc, font);
  TEXTMETRICW text{};
  GetTextMetricsW(dc, &text);

  Canvas canvas;
  canvas.width = kWidth;
  canvas.height = kHeight;
  canvas.lineHeight = static_cast<float>(text.tmHeight + text.tmExternalLeading);
  canvas.textWidth = [dc](const std::string& s) {
    const std::wstring wide = win32::Widen(s);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<float>(size.cx);
  };
  const RECT all{0, 0, kWidth, kHeight};
  std::vector<double> frames;
  for (int i = 0; i < kFrames; ++i) {
    const auto start = Steady::now();
    plot.Append(bench::DaySample(next++));
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    win32::PaintDrawing(dc, plot.Draw(canvas, 0, 0), 0, 0, 1);
    GdiFlush();
    frames.push_back(std::chrono::duration<double>(Steady::now() - start).count());
  }
  std::sort(frames.begin(), frames.end());
  char line[200];
  std::snprintf(line, sizeof line,
                "median append + GDI redraw of a full day (%zu samples) at %d x %d: %8.3f ms "
                "(target < 16 ms)",
                plot.history().size(), kWidth, kHeight, frames[frames.size() / 2] * 1000);
  bench::Figures().push_back(line);

  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
  for (const std::string& l : bench::Figures()) std::printf("%s\n", l.c_str());
  return 0;
}
