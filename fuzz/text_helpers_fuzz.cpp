// Fuzz target for the text helpers (and the address splitter): the first byte picks the
// function, two more give line and field numbers, the rest are texts split at zero bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "channel/CommandChannel.h"
#include "channel/TextHelpers.h"
#include "fuzz/FuzzSupport.h"

namespace tarnwick::fuzz {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool OnlyOf(const std::string& text, const char* allowed) {
  return text.find_first_not_of(allowed) == std::string::npos;
}
int Count(const std::string& text, char c) {
  int n = 0;
  for (char x : text) n += x == c;
  return n;
}

// field is what IsValidOctet left of original: original without its outer white space.
void CheckTrimmed(const std::string& original, const std::string& field) {
  FUZZ_CHECK(field.empty() || (!IsSpace(field.front()) && !IsSpace(field.back())));
  std::size_t at = original.find(field);
  FUZZ_CHECK(at != std::string::npos);
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (i < at || i >= at + field.size()) FUZZ_CHECK(IsSpace(original[i]));
  }
}

void Octet(const std::string& original) {
  std::string field = original;
  bool valid = IsValidOctet(field);
  CheckTrimmed(original, field);
  FUZZ_CHECK(!valid || field.size() <= 3);
  std::string again = field;
  FUZZ_CHECK(IsValidOctet(again) == valid && again == field);

  std::string hex = original;
  FUZZ_CHECK(OctetToHex(hex) == valid);
  if (!valid) {
    FUZZ_CHECK(hex == field);
  } else {
    FUZZ_CHECK(!hex.empty() && hex.size() <= 2 && OnlyOf(hex, "0123456789abcdef"));
    FUZZ_CHECK(hex.size() == 1 || hex[0] != '0');
    if (!field.empty() && IsAllDigits(field)) FUZZ_CHECK(HexTextToInt(hex) == std::stoi(field));
  }
}

void Numbers(const std::string& text) {
  bool digits = IsAllDigits(text);
  bool decimal = IsValidDecimalNumber(text);
  FUZZ_CHECK(!digits || decimal);
  if (decimal && !digits) {
    std::size_t dot = text.find('.');
    FUZZ_CHECK(Count(text, '.') == 1 && dot != 0 && dot != text.size() - 1);
  }
}

// Decimal parts without their leading zeros, joined with ":".
std::string CanonicalDecimalQuad(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t colon = text.find(':', start);
    std::string part = text.substr(start, colon == std::string::npos ? colon : colon - start);
    if (i) out += ':';
    out += std::to_string(std::stoul(part));
    start = colon + 1;
  }
  return out;
}

void ColonQuad(const std::string& original) {
  std::string text = original;
  if (!ColonQuadToHex(text)) {
    FUZZ_CHECK(text == original);
    return;
  }
  FUZZ_CHECK(original.size() < 16 && Count(original, ':') == 3 && OnlyOf(original, "0123456789:"));
  // The router's hexadecimal form converts back to the same numbers.
  FUZZ_CHECK(Count(text, ':') == 3 && OnlyOf(text, "0123456789abcdef:"));
  FUZZ_CHECK(HexColonQuadToDecimal(text));
  FUZZ_CHECK(text == CanonicalDecimalQuad(original));
}

void HexColonQuad(const std::string& original) {
  std::string text = original;
  FUZZ_CHECK(HexColonQuadToDecimal(text));
  FUZZ_CHECK(Count(text, ':') == 3 && OnlyOf(text, "-0123456789:"));
  // A mask as the router lists it (four parts of one or two hex digits) goes back unchanged
  // but for case and leading zeros.
  bool mask = Count(original, ':') == 3 && OnlyOf(original, "0123456789abcdefABCDEF:");
  std::string expected;
  std::size_t start = 0;
  for (int i = 0; mask && i < 4; ++i) {
    std::size_t colon = original.find(':', start);
    std::string part = original.substr(start, colon == std::string::npos ? colon : colon - start);
    mask = !part.empty() && part.size() <= 2;
    if (mask) {
      if (i) expected += ':';
      unsigned long value = std::stoul(part, nullptr, 16);
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%lx", value);
      expected += buffer;
    }
    start = colon + 1;
  }
  if (mask) {
    FUZZ_CHECK(ColonQuadToHex(text));
    FUZZ_CHECK(text == expected);
  }
}

void HexText(const std::string& text) {
  // The last eight hex digits decide a 32-bit value; everything else is skipped.
  std::string digits;
  for (char c : text) {
    if (IsHexDigit(c)) digits += c;
  }
  if (digits.size() > 8) digits.erase(0, digits.size() - 8);
  unsigned long expected = digits.empty() ? 0 : std::stoul(digits, nullptr, 16);
  FUZZ_CHECK(HexTextToInt(text) == static_cast<int>(static_cast<std::int32_t>(expected)));
}

// Pieces of text between separators, empty ones included.
std::vector<std::string> Pieces(const std::string& text, char sep) {
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == sep) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

void Quad(const std::string& text, char sep) {
  const std::string unset = "\x01";
  std::string out[4] = {unset, unset, unset, unset};
  if (sep == '.') {
    SplitDottedQuad(text, out[0], out[1], out[2], out[3]);
  } else {
    SplitColonQuad(text, out[0], out[1], out[2], out[3]);
  }
  // The first four non-empty pieces, then blanks; an empty text changes nothing.
  std::vector<std::string> expected;
  for (std::string& piece : Pieces(text, sep)) {
    if (!piece.empty()) expected.push_back(piece);
  }
  expected.resize(4, text.empty() ? unset : " ");
  for (int i = 0; i < 4; ++i) FUZZ_CHECK(out[i] == expected[i]);
}

void ReplyField(const std::string& reply, const std::string& key, int n, int m) {
  const std::string unset = "\x01";
  std::string out = unset;
  bool found = GetReplyField(reply, key, n, m, out);

  // Lines end with a line feed; the text after the last one is no line.
  std::vector<std::string> lines = Pieces(reply, '\n');
  lines.pop_back();
  int matches = 0;
  std::string line;
  for (const std::string& l : lines) {
    if (l.find(key) != std::string::npos && ++matches == n) {
      line = l;
      break;
    }
  }
  FUZZ_CHECK(found == (n >= 1 && matches == n));
  if (!found || m <= 0) {
    FUZZ_CHECK(out == unset);
    return;
  }
  // Fields of the line without its returns: a run of blanks separates once, so a leading
  // blank makes an empty first field and trailing blanks an empty last one.
  std::string rest;
  for (char c : line) {
    if (c != '\r') rest += c;
  }
  std::vector<std::string> fields;
  for (;;) {
    std::size_t blank = rest.find(' ');
    fields.push_back(rest.substr(0, blank));
    if (blank == std::string::npos) break;
    std::size_t next = rest.find_first_not_of(' ', blank);
    rest = next == std::string::npos ? "" : rest.substr(next);
  }
  FUZZ_CHECK(out == fields[std::min<std::size_t>(static_cast<std::size_t>(m), fields.size()) - 1]);
}

void ExtractedVpiVci(const std::string& original, VpiVci selector) {
  std::string text = original;
  FUZZ_CHECK(ExtractVpiVci(text, selector));
  const std::string key = selector == VpiVci::Vpi ? "txvpi=" : "txvci=";
  if (original.find(key) == std::string::npos) {
    FUZZ_CHECK(text == "0");
  } else {
    FUZZ_CHECK(text.find('/') == std::string::npos);
    FUZZ_CHECK(original.find(key + text) != std::string::npos);
  }
}

void HostPort(const std::string& address) {
  std::string host = "\x01";
  std::uint16_t port = 0;
  if (!SplitHostPort(address, host, port)) {
    FUZZ_CHECK(host == "\x01" && port == 0);
    return;
  }
  std::size_t colon = address.rfind(':');
  if (colon == std::string::npos) {
    FUZZ_CHECK(host == address && port == 23);
  } else {
    std::string digits = address.substr(colon + 1);
    FUZZ_CHECK(host == address.substr(0, colon) && port >= 1);
    FUZZ_CHECK(!digits.empty() && OnlyOf(digits, "0123456789") && std::stoul(digits) == port);
  }
}

}  // namespace
}  // namespace tarnwick::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarnwick;
  using namespace tarnwick::fuzz;
  FuzzInput in(data, size);
  std::uint8_t selector = in.Byte();
  int n = static_cast<std::int8_t>(in.Byte());
  int m = static_cast<std::int8_t>(in.Byte());
  std::string text = in.Text();
  std::string key = in.Text();
  switch (selector % 11) {
    case 0:
      Octet(text);
      break;
    case 1:
      Numbers(text);
      break;
    case 2:
      ColonQuad(text);
      break;
    case 3:
      HexColonQuad(text);
      break;
    case 4:
      HexText(text);
      break;
    case 5:
      Quad(text, '.');
      break;
    case 6:
      Quad(text, ':');
      break;
    case 7:
      ReplyField(text, key, n, m);
      break;
    case 8:
      ExtractedVpiVci(text, VpiVci::Vpi);
      break;
    case 9:
      ExtractedVpiVci(text, VpiVci::Vci);
      break;
    case 10:
      HostPort(text);
      break;
  }
  return 0;
}
