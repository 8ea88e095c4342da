// Reading and writing the state file.
#include "routersim/StateFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

bool ReadStateFile(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream f(path);
  if (!f) return false;
  lines.clear();
  std::string line;
  while (std::getline(f, line)) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!TrimBlanks(line).empty()) lines.push_back(line);
  }
  return true;
}

bool WriteStateFile(const std::string& path, const std::vector<std::string>& lines,
                    std::string* error) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream f(tmp, std::ios::trunc);
    for (const auto& line : lines) f << line << "\n";
    f.flush();
    if (!f) {
      if (error) *error = "cannot write " + path;
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    if (error) *error = std::string("cannot replace ") + path + ": " + strerror(errno);
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace tarnwick::routersim
