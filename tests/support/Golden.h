// Golden files: many wire lines compared with a file under tests/golden, one escaped line per
// line. TARNWICK_UPDATE_GOLDEN=1 rewrites the files from what the test produced.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef TARNWICK_GOLDEN_DIR
#error "TARNWICK_GOLDEN_DIR names the folder of the golden files"
#endif

namespace tarnwick::testing {

// Control bytes as \r, \n, \t or \xNN, and the backslash doubled, so that every line of the
// file is one line on the wire.
inline std::string EscapeLine(const std::string& line) {
  std::string out;
  for (unsigned char c : line) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Compares lines (as they went over the wire) with golden file name.
inline void ExpectGolden(const std::vector<std::string>& lines, const std::string& name) {
  const std::string path = std::string(TARNWICK_GOLDEN_DIR) + "/" + name + ".txt";
  std::vector<std::string> got;
  for (const std::string& line : lines) got.push_back(EscapeLine(line));
  const char* update = std::getenv("TARNWICK_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : got) file << line << "\n";
    return;
  }
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << "no golden file " << path << " (TARNWICK_UPDATE_GOLDEN=1 writes it)";
  std::vector<std::string> want;
  for (std::string line; std::getline(file, line);) want.push_back(line);
  if (got == want) return;
  std::ostringstream diff;
  for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
    const std::string g = i < got.size() ? got[i] : "(none)";
    const std::string w = i < want.size() ? want[i] : "(none)";
    if (g != w)
      diff << "  line " << i + 1 << ": want [" << w << "]\n           got  [" << g << "]\n";
  }
  ADD_FAILURE() << "differs from " << path << ":\n" << diff.str();
}

// Compares a whole text with the file at path (from the golden folder).
inline void ExpectGoldenText(const std::string& text, const std::string& path) {
  const std::string full = std::string(TARNWICK_GOLDEN_DIR) + "/" + path;
  const char* update = std::getenv("TARNWICK_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::ofstream(full, std::ios::binary | std::ios::trunc) << text;
    return;
  }
  std::ifstream file(full, std::ios::binary);
  ASSERT_TRUE(file) << "no file " << full << " (TARNWICK_UPDATE_GOLDEN=1 writes it)";
  std::ostringstream want;
  want << file.rdbuf();
  EXPECT_EQ(text, want.str()) << "differs from " << full;
}

}  // namespace tarnwick::testing
