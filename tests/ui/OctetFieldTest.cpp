// The four-octet field group: which fault it reports, and joining and splitting.
#include "ui/OctetField.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Quad = std::array<std::string, 4>;
const OctetMessages kMessages{"empty", {"bad 1", "bad 2", "bad 3", "bad 4"}};

TEST(OctetField, ReportsTheFirstFaultOrLeavesTheOctetsTrimmed) {
  struct Case {
    Quad typed;
    bool hex;
    std::optional<std::string> fault;
    Quad after;
  };
  const std::vector<Case> cases = {
      {{"10", " 1 ", "2", "3"}, false, std::nullopt, {"10", "1", "2", "3"}},
      {{"10", "", "2", "3"}, false, "empty", {"10", "", "2", "3"}},
      {{"256", "1", "-1", "3"}, false, "bad 1", {"256", "1", "-1", "3"}},
      {{"1", "2", "0255", "3"}, false, "bad 3", {"1", "2", "0255", "3"}},
      // Would split or end the command line it is copied into.
      {{"1", "2", "3", "1 2"}, false, "bad 4", {"1", "2", "3", "1 2"}},
      {{"1", "2", "3", "4\n"}, false, std::nullopt, {"1", "2", "3", "4"}},
      {{"255", "255", "192", "0"}, true, std::nullopt, {"ff", "ff", "c0", "0"}},
      {{"255", "300", "0", "0"}, true, "bad 2", {"ff", "300", "0", "0"}},
  };
  for (const Case& c : cases) {
    OctetField field({1, 2, 3, 4});
    field.octets = c.typed;
    EXPECT_EQ(c.hex ? field.FaultToHex(kMessages) : field.Fault(kMessages), c.fault)
        << c.typed[0] << "." << c.typed[1] << "." << c.typed[2] << "." << c.typed[3];
    EXPECT_EQ(field.octets, c.after);
  }
}

TEST(OctetField, EmptyBoxesPassWhenNoEmptyMessageIsGiven) {
  OctetField field({1, 2, 3, 4});
  field.octets = {"", "1", "", "2"};
  EXPECT_EQ(field.Fault({"", kMessages.invalid}), std::nullopt);
  EXPECT_TRUE(field.AnyEmpty());
  EXPECT_FALSE(field.AllEmpty());
}

TEST(OctetField, JoinsAndSplitsDottedAndColonTexts) {
  OctetField field({1, 2, 3, 4});
  field.Split("192.168.1.254", '.');
  EXPECT_EQ(field.Join(':'), "192:168:1:254");
  field.Split("255:255:0", ':');
  EXPECT_EQ(field.octets, (Quad{"255", "255", "0", " "}));
  field.Split("", '.');  // an empty text leaves the boxes
  EXPECT_EQ(field.Join('.'), "255.255.0. ");
}

}  // namespace
}  // namespace tarnwick
