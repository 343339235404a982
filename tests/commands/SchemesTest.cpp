#include <gtest/gtest.h>

#include <cmath>

#include "commands/Schemes.h"
#include "document/parameters/VKDefinedObjectsController.h"

namespace orrelin {
namespace {

struct SchemeCase {
  const char* name;
  VKSchemeValue value;
  std::optional<std::size_t> line;
};

// Lines: 0 the value 3; 1 the range 0 to 10; 2 texts "apple"; 3 texts that
// match "b?n*"; no catch-all.
const std::vector<VKSchemeRule> kRules = {
    {"3", "", ""}, {"", "0,10", ""}, {"apple", "", ""}, {"", "", "b?n*"}};

void PrintTo(const SchemeCase& c, std::ostream* os) { *os << c.name; }

class SchemeLines : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(SchemeLines, TheFirstLineThatTakesTheValueWins) {
  EXPECT_EQ(VKSchemes::lineForValue(kRules, GetParam().value), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SchemeLines,
    ::testing::Values(SchemeCase{"ExactNumber", VKSchemeValue::ofNumber(3), 0},
                      SchemeCase{"InsideRange", VKSchemeValue::ofNumber(9.5), 1},
                      SchemeCase{"RangeIncludesItsStart", VKSchemeValue::ofNumber(0), 1},
                      SchemeCase{"RangeExcludesItsEnd", VKSchemeValue::ofNumber(10), std::nullopt},
                      SchemeCase{"NaNTakesNoLine", VKSchemeValue::ofNumber(NAN), std::nullopt},
                      SchemeCase{"TextOutsideEveryRule", VKSchemeValue::ofText("5"), std::nullopt},
                      SchemeCase{"TextByValue", VKSchemeValue::ofText("apple"), 2},
                      SchemeCase{"TextEqualToAValueText", VKSchemeValue::ofText("3"), 0},
                      SchemeCase{"TextByPattern", VKSchemeValue::ofText("banana"), 3},
                      SchemeCase{"PatternMatchesTheWholeText", VKSchemeValue::ofText("abanana"), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SchemeLines, AnEmptyLineTakesWhatNoEarlierLineTook) {
  std::vector<VKSchemeRule> rules = {{"1", "", ""}, {"", "", ""}, {"2", "", ""}};
  EXPECT_EQ(VKSchemes::lineForValue(rules, VKSchemeValue::ofNumber(1)), 0u);
  EXPECT_EQ(VKSchemes::lineForValue(rules, VKSchemeValue::ofNumber(2)), 1u);
  EXPECT_EQ(VKSchemes::lineForValue(rules, VKSchemeValue::ofText("x")), 1u);
  EXPECT_EQ(VKSchemes::lineForValue({}, VKSchemeValue::ofNumber(1)), std::nullopt);
}

TEST(SchemeLines, PatternsUseStarAndQuestionMark) {
  EXPECT_TRUE(VKSchemes::matchesPattern("", "*"));
  EXPECT_TRUE(VKSchemes::matchesPattern("abc", "a*c"));
  EXPECT_TRUE(VKSchemes::matchesPattern("ac", "a*c"));
  EXPECT_TRUE(VKSchemes::matchesPattern("a-b-c", "*-*-c"));
  EXPECT_FALSE(VKSchemes::matchesPattern("abcd", "a*c"));
  EXPECT_FALSE(VKSchemes::matchesPattern("ab", "a?c"));
  EXPECT_FALSE(VKSchemes::matchesPattern("x", ""));
}

TEST(MarkerScheme, StoredFormReadsBackAndDamagedOnesAreKeptAsRead) {
  VKMarkerScheme scheme;
  scheme.setName("shapes");
  scheme.setLines({{"1", "", "", "One", 4}, {"", "2,5", "", "Few", 23}});
  PropertyList stored = scheme.propertyList();
  auto read = VKDefinedObjectsController::definitionFromPropertyList(stored);
  auto copy = std::dynamic_pointer_cast<VKMarkerScheme>(read);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->name(), "shapes");
  EXPECT_EQ(copy->lines(), scheme.lines());
  EXPECT_EQ(copy->propertyList(), stored);

  PropertyList damaged = PlistDictionary{{"Type", "Marker Scheme"}, {"Name", "m"}, {"Lines", PlistArray{1, 2}}};
  auto kept = VKDefinedObjectsController::definitionFromPropertyList(damaged);
  EXPECT_FALSE(std::dynamic_pointer_cast<VKMarkerScheme>(kept));
  EXPECT_EQ(kept->propertyList(), damaged);
}

}  // namespace
}  // namespace orrelin
