// Octet checks, address form conversions and reply field cutting.
#include "channel/TextHelpers.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarnwick {

std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets) {
  const std::size_t maskSize = std::char_traits<char>::length(kSecretMask);
  for (const std::string& secret : secrets) {
    if (secret.empty()) continue;
    for (std::size_t at = 0; (at = text.find(secret, at)) != std::string::npos; at += maskSize)
      text.replace(at, secret.size(), kSecretMask);
  }
  return text;
}
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void Trim(std::string& text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && IsSpace(text[end - 1])) --end;
  text = text.substr(begin, end - begin);
}

// The C library's decimal conversion (leading white space, sign, digits up to the first
// other character, 0 without digits), on a text short enough never to overflow.
long ShortDecimal(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

std::string Format(const char* format, long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// Splits at sep; runs of separators and separators at either end give no empty parts.
std::vector<std::string> SplitNonEmpty(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == sep) ++i;
    if (i == text.size()) break;
    std::size_t end = text.find(sep, i);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(i, end - i));
    i = end;
  }
  return parts;
}

void SplitQuad(const std::string& text, char sep, std::string& a, std::string& b, std::string& c,
               std::string& d) {
  if (text.empty()) return;
  std::vector<std::string> parts = SplitNonEmpty(text, sep);
  std::string* outputs[] = {&a, &b, &c, &d};
  for (std::size_t i = 0; i < 4; ++i) *outputs[i] = i < parts.size() ? parts[i] : " ";
}

}  // namespace

bool IsValidOctet(std::string& field) {
  Trim(field);
  if (field.size() >= 4) return false;
  long value = ShortDecimal(field);
  return value >= 0 && value <= 255;
}

bool OctetToHex(std::string& field) {
  if (!IsValidOctet(field)) return false;
  field = Format("%lx", ShortDecimal(field));
  return true;
}

bool IsAllDigits(const std::string& text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool IsValidDecimalNumber(const std::string& text) {
  std::size_t dot = text.find('.');
  if (dot == std::string::npos) return IsAllDigits(text);
  if (text.find('.', dot + 1) != std::string::npos) return false;
  if (dot == 0 || dot == text.size() - 1) return false;
  return IsAllDigits(text.substr(0, dot) + text.substr(dot + 1));
}

bool ColonQuadToHex(std::string& text) {
  if (text.size() >= 16 || text.empty()) return false;
  int colons = 0;
  for (char c : text) {
    if (c == ':') {
      ++colons;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  if (colons != 3 || text.back() == ':') return false;

  std::vector<std::string> parts = SplitNonEmpty(text, ':');
  if (parts.size() != 4) return false;
  long values[4];
  for (std::size_t i = 0; i < 4; ++i) {
    // Up to twelve digits fit in a part; stop accumulating once out of range.
    long value = 0;
    for (char c : parts[i]) {
      value = value * 10 + (c - '0');
      if (value > 255) return false;
    }
    values[i] = value;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%lx:%lx:%lx:%lx", values[0], values[1], values[2],
                values[3]);
  text = buffer;
  return true;
}

bool HexColonQuadToDecimal(std::string& text) {
  std::string rest = text;
  int values[4] = {0, 0, 0, 0};
  for (int i = 0; i < 3 && !rest.empty(); ++i) {
    std::size_t colon = rest.find(':');
    if (colon == std::string::npos) {
      values[i] = HexTextToInt(rest);
      rest.clear();
    } else {
      values[i] = HexTextToInt(rest.substr(0, colon));
      rest.erase(0, colon + 1);
    }
  }
  values[3] = HexTextToInt(rest);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d:%d:%d:%d", values[0], values[1], values[2], values[3]);
  text = buffer;
  return true;
}

int HexTextToInt(const std::string& text) {
  std::uint32_t value = 0;  // wraps like the 32-bit original
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      continue;
    }
    value = value * 16u + static_cast<std::uint32_t>(digit);
  }
  return static_cast<int>(static_cast<std::int32_t>(value));
}

void SplitDottedQuad(const std::string& text, std::string& a, std::string& b, std::string& c,
                     std::string& d) {
  SplitQuad(text, '.', a, b, c, d);
}

void SplitColonQuad(const std::string& text, std::string& a, std::string& b, std::string& c,
                    std::string& d) {
  SplitQuad(text, ':', a, b, c, d);
}

bool GetReplyField(const std::string& reply, const std::string& key, int n, int m,
                   std::string& out) {
  std::size_t start = 0;
  int found = 0;
  std::string line;
  for (;;) {
    std::size_t end = reply.find('\n', start);
    if (end == std::string::npos) return false;  // text after the last line feed is no line
    std::string candidate = reply.substr(start, end - start);
    start = end + 1;
    if (candidate.find(key) != std::string::npos && ++found == n) {
      line = std::move(candidate);
      break;
    }
  }

  std::string rest;
  rest.reserve(line.size());
  for (char c : line) {
    if (c != '\r') rest.push_back(c);
  }
  for (int i = 0; i < m; ++i) {
    out = rest;
    std::size_t blank = rest.find(' ');
    if (blank == std::string::npos) break;
    out.erase(blank);
    std::size_t next = rest.find_first_not_of(' ', blank);
    rest.erase(0, next == std::string::npos ? rest.size() : next);
  }
  return true;
}

bool ExtractVpiVci(std::string& text, VpiVci selector) {
  const std::string key = selector == VpiVci::Vpi ? "txvpi=" : "txvci=";
  std::size_t at = text.find(key);
  if (at == std::string::npos) {
    text = "0";
    return true;
  }
  text.erase(0, at + key.size());
  std::size_t slash = text.find('/');
  if (slash != std::string::npos) text.erase(slash);
  return true;
}

}  // namespace tarnwick
