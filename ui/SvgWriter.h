// Drawings as standalone SVG documents, for files a browser or an editor opens.
#pragma once

#include <string>

#include "ui/Drawing.h"

namespace tarnwick {

// A canvas whose text measure matches the font WriteSvg uses.
Canvas SvgCanvas(float width, float height);

// The whole document; every path point becomes one coordinate pair (a lone point a circle).
std::string WriteSvg(const Drawing& drawing, const std::string& title);

}  // namespace tarnwick
