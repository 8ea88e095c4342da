// The summary lines each benchmark leaves for the end of the run.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::bench {

inline std::vector<std::string>& Figures() {
  static std::vector<std::string> lines;
  return lines;
}

}  // namespace tarnwick::bench
