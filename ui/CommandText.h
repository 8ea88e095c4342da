// Checks for user text that goes into a router command line.
#pragma once

#include <string>

namespace tarnwick {

// Text typed by the user that goes into a router command line: a control byte would end the
// line early (and let the rest run as a command of its own), a blank would split its fields.
inline bool IsPrintableAscii(const std::string& text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b > 0x7E) return false;
  }
  return true;
}

// Listed fields are cut at blanks; any left inside a field are not part of it.
inline std::string RemoveBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

inline bool HasBlank(const std::string& text) { return text.find(' ') != std::string::npos; }

// One field of a command line (an octet box that passed IsValidOctet may still hold pasted
// text, a PPP user name or password): a blank or a control byte would break the line.
inline bool IsCommandToken(const std::string& text) {
  return IsPrintableAscii(text) && !HasBlank(text);
}

}  // namespace tarnwick
