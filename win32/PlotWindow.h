// The modeless window of a PlotSource: the plot drawn with GDI, a choice of span, Export CSV.
#pragma once

#include <windows.h>

#include "ui/Drawing.h"
#include "ui/PlotSource.h"

namespace tarnwick::win32 {

// Opens the window beside owner (which owns it, so it goes with owner), or brings the one
// already showing source to the front.
void ShowPlotWindow(HWND owner, PlotSource& source);

// Draws a drawing laid out for canvas onto dc, its origin at (x, y). Public for the tests.
void PaintDrawing(HDC dc, const Drawing& drawing, int x, int y, float scale);

}  // namespace tarnwick::win32
