// The text and address helpers, case by case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/TextHelpers.h"

namespace tarnwick {
namespace {

struct FieldCase {
  std::string input;
  bool valid;
  std::string after;  // the field as the function leaves it
};

TEST(IsValidOctet, TrimsAndConvertsLikeTheCLibrary) {
  const std::vector<FieldCase> cases = {
      {" 12 ", true, "12"},   {"", true, ""},          {"abc", true, "abc"},
      {"1x", true, "1x"},     {"255", true, "255"},    {"256", false, "256"},
      {"-1", false, "-1"},    {"1000", false, "1000"}, {"0255", false, "0255"},
      {"\t7\r\n", true, "7"}, {"  ", true, ""},        {"+5", true, "+5"},
  };
  for (const auto& c : cases) {
    std::string field = c.input;
    EXPECT_EQ(IsValidOctet(field), c.valid) << '"' << c.input << '"';
    EXPECT_EQ(field, c.after) << '"' << c.input << '"';
  }
}

TEST(OctetToHex, ReplacesOnlyOnSuccess) {
  const std::vector<FieldCase> cases = {
      {"255", true, "ff"}, {"0", true, "0"},      {"10", true, "a"},       {" 192 ", true, "c0"},
      {"", true, "0"},     {"300", false, "300"}, {" 300 ", false, "300"}, {"-5", false, "-5"},
  };
  for (const auto& c : cases) {
    std::string field = c.input;
    EXPECT_EQ(OctetToHex(field), c.valid) << '"' << c.input << '"';
    EXPECT_EQ(field, c.after) << '"' << c.input << '"';
  }
}

TEST(NumberTexts, DigitsAndOneInnerDot) {
  struct Case {
    std::string text;
    bool allDigits;
    bool decimal;
  };
  const std::vector<Case> cases = {
      {"12", true, true},     {"", true, true},        {"1.5", false, true}, {".5", false, false},
      {"5.", false, false},   {"1.2.3", false, false}, {"1a", false, false}, {" 1", false, false},
      {"\xb2", false, false}, {".", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAllDigits(c.text), c.allDigits) << '"' << c.text << '"';
    EXPECT_EQ(IsValidDecimalNumber(c.text), c.decimal) << '"' << c.text << '"';
  }
}

TEST(ColonQuadToHex, ConvertsOnlyWellFormedQuads) {
  const std::vector<FieldCase> cases = {
      {"10:0:0:1", true, "a:0:0:1"},
      {"192:168:1:1", true, "c0:a8:1:1"},
      {"255:255:255:255", true, "ff:ff:ff:ff"},
      {"10::0:1", false, "10::0:1"},
      {":1:2:3", false, ":1:2:3"},
      {"1:2:3:4:", false, "1:2:3:4:"},
      {"1:2:3", false, "1:2:3"},
      {"1:2:3:256", false, "1:2:3:256"},
      {"1:1:1:999999999", false, "1:1:1:999999999"},
      {"0255:1:1:1234", false, "0255:1:1:1234"},
      {"1.2.3.4", false, "1.2.3.4"},
      {"", false, ""},
      {"000000255:0:0:1", true, "ff:0:0:1"},            // 15 characters
      {"0000000255:0:0:1", false, "0000000255:0:0:1"},  // 16 characters
  };
  for (const auto& c : cases) {
    std::string text = c.input;
    EXPECT_EQ(ColonQuadToHex(text), c.valid) << c.input;
    EXPECT_EQ(text, c.after) << c.input;
  }
}

TEST(HexColonQuadToDecimal, ConvertsAndFillsMissingPartsWithZero) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ff:ff:ff:0", "255:255:255:0"},
      {"c0:a8:1:1", "192:168:1:1"},
      {"C0:A8:0:FE", "192:168:0:254"},
      {"ff", "255:0:0:0"},
      {"ff:1", "255:1:0:0"},
      {"a:b:c", "10:11:12:0"},
      {"", "0:0:0:0"},
      {"1:2:3:4:5", "1:2:3:69"},
      {"::", "0:0:0:0"},
  };
  for (const auto& [input, expected] : cases) {
    std::string text = input;
    EXPECT_TRUE(HexColonQuadToDecimal(text));
    EXPECT_EQ(text, expected) << input;
  }
}

TEST(HexTextToInt, SkipsEveryOtherCharacter) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"c0", 192}, {"0x1f", 31}, {"FF", 255},      {"", 0},
      {"g1", 1},   {"1 0", 16},  {"ffffffff", -1}, {"100000000", 0},  // 32-bit wrap
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(HexTextToInt(text), value) << text;
}

TEST(SplitQuad, FillsFourOutputsSkippingEmptyParts) {
  struct Case {
    std::string text;
    char sep;
    std::vector<std::string> out;
  };
  const std::vector<Case> cases = {
      {"192.168.1.1", '.', {"192", "168", "1", "1"}},
      {"10.1", '.', {"10", "1", " ", " "}},
      {"..10..1.", '.', {"10", "1", " ", " "}},
      {"1.2.3.4.5", '.', {"1", "2", "3", "4"}},
      {"ff:ff:ff:0", ':', {"ff", "ff", "ff", "0"}},
      {"1.2:3", ':', {"1.2", "3", " ", " "}},
      {"...", '.', {" ", " ", " ", " "}},
  };
  for (const auto& c : cases) {
    std::string a = "x", b = "x", d3 = "x", d = "x";
    if (c.sep == '.') {
      SplitDottedQuad(c.text, a, b, d3, d);
    } else {
      SplitColonQuad(c.text, a, b, d3, d);
    }
    EXPECT_EQ((std::vector<std::string>{a, b, d3, d}), c.out) << c.text;
  }
}

TEST(SplitQuad, EmptyTextLeavesOutputsAlone) {
  std::string a = "1", b = "2", c = "3", d = "4";
  SplitDottedQuad("", a, b, c, d);
  SplitColonQuad("", a, b, c, d);
  EXPECT_EQ(a + b + c + d, "1234");
}

TEST(GetReplyField, PicksFieldOfNthMatchingLine) {
  const std::string monitor = "  Modem Mode  : G.dmt\r\nTxPkts 12 34\r\nTxPkts 56 78\r\nRouter> ";
  struct Case {
    std::string reply;
    std::string key;
    int n, m;
    bool found;
    std::string out;
  };
  const std::vector<Case> cases = {
      {monitor, "Modem", 1, 1, true, ""},
      {monitor, "Modem", 1, 2, true, "Modem"},
      {monitor, "Modem", 1, 3, true, "Mode"},
      {monitor, "Modem", 1, 4, true, ":"},
      {monitor, "Modem", 1, 5, true, "G.dmt"},
      {monitor, "Modem", 1, 9, true, "G.dmt"},
      {monitor, "TxPkts", 1, 3, true, "34"},
      {monitor, "TxPkts", 1, 9, true, "34"},
      {monitor, "TxPkts", 2, 2, true, "56"},
      {monitor, "TxPkts", 3, 2, false, "unchanged"},
      {monitor, "Router", 1, 1, false, "unchanged"},  // prompt after the last line feed
      {monitor, "txpkts", 1, 1, false, "unchanged"},  // case-sensitive
      {"a b  \n", "a", 1, 3, true, ""},               // trailing blanks: empty last field
      {"a b  \n", "a", 1, 2, true, "b"},
      {"no line feed at all", "line", 1, 1, false, "unchanged"},
      {"x\ty z\n", "x", 1, 1, true, "x\ty"},  // tab is no separator
      {monitor, "TxPkts", 1, 0, true, "unchanged"},
  };
  for (const auto& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(GetReplyField(c.reply, c.key, c.n, c.m, out), c.found)
        << c.key << " " << c.n << " " << c.m;
    EXPECT_EQ(out, c.out) << c.key << " " << c.n << " " << c.m;
  }
}

TEST(GetReplyField, EchoLineCountsAsALine) {
  std::string out;
  ASSERT_TRUE(GetReplyField("ip route\r\nip 10.0.0.0\r\n>", "ip", 1, 2, out));
  EXPECT_EQ(out, "route");
}

TEST(ExtractVpiVci, CutsValueBetweenKeyAndSlash) {
  struct Case {
    std::string text;
    VpiVci selector;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"wan1 /txvpi=8/txvci=35", VpiVci::Vpi, "8"},
      {"wan1 /txvpi=8/txvci=35", VpiVci::Vci, "35"},
      {"wan1 /txvpi=8/txvci=35/x", VpiVci::Vci, "35"},
      {"wan1 /txvpi=8", VpiVci::Vci, "0"},
      {"txvpi=7/txvpi=9", VpiVci::Vpi, "7"},  // first occurrence
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_TRUE(ExtractVpiVci(text, c.selector));
    EXPECT_EQ(text, c.out) << c.text;
  }
}

}  // namespace
}  // namespace tarnwick
