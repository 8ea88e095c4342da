// A full day of line history as a night of a troubled line would leave it, for the redraw
// benchmarks: a drifting margin, rate steps, a few drops and unanswered polls.
#pragma once

#include <cmath>

#include "monitor/LineHistory.h"

namespace tarnwick::bench {

inline DslSample DaySample(std::size_t i) {
  DslSample s;
  s.time = 1714600800000 + static_cast<UtcMillis>(i) * 3000;
  s.adslMode = "multi";
  if (i % 2400 < 20) {  // two hours apart, a minute without the line
    s.link = LinkState::Idle;
    return s;
  }
  if (i % 997 == 0) {  // now and then, no answer
    s.link = LinkState::Timeout;
    return s;
  }
  const double x = static_cast<double>(i);
  s.link = LinkState::Alive;
  s.operationMode = "G.dmt";
  s.downMarginDb = std::round(90 + 20 * std::sin(x / 1500) + 3 * std::sin(x * 0.37)) / 10;
  s.upMarginDb = std::round(125 + 10 * std::sin(x / 1900)) / 10;
  s.downFastKbps = 0;
  s.upFastKbps = 0;
  s.downInterleavedKbps = 7616 - 32 * std::round(2 + 2 * std::sin(x / 1500));
  s.upInterleavedKbps = 832 - 32 * std::round(0.5 + 0.5 * std::sin(x / 1900));
  s.txPackets = i * 9;
  s.rxGoodPackets = i * 15;
  s.rxBadPackets = i / 40;
  return s;
}

}  // namespace tarnwick::bench
