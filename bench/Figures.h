// The summary lines each benchmark leaves for the end of the run, and the median they report.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace tarnwick::bench {

inline std::vector<std::string>& Figures() {
  static std::vector<std::string> lines;
  return lines;
}

inline double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t mid = samples.size() / 2;
  return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

}  // namespace tarnwick::bench
