// The saved configuration on disk: one command line per line of text.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::routersim {

// False when there is no such file; blank lines are skipped.
bool ReadStateFile(const std::string& path, std::vector<std::string>& lines);
// Replaces the file in one step, so that a crash never leaves half a configuration.
bool WriteStateFile(const std::string& path, const std::vector<std::string>& lines,
                    std::string* error);

}  // namespace tarnwick::routersim
