// A strict RFC 4180 reader, for tests that read back what was written.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::testing {

// Every record ends in CRLF; a quoted field doubles its quotes and may hold commas and line
// ends. Anything else (a bare LF, a quote inside an unquoted field, text after a closing
// quote) makes it false.
inline bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>& rows) {
  rows.clear();
  std::vector<std::string> row;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) return false;
        if (text[i] != '"') {
          field += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    } else {
      while (i < text.size() && text[i] != ',' && text[i] != '\r') {
        if (text[i] == '"' || text[i] == '\n') return false;
        field += text[i++];
      }
    }
    if (i < text.size() && text[i] == ',') {
      row.push_back(std::move(field));
      field.clear();
      ++i;
    } else if (text.compare(i, 2, "\r\n") == 0) {
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
      i += 2;
    } else {
      return false;
    }
  }
  return row.empty() && field.empty();
}

}  // namespace tarnwick::testing
