#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ParametersTestSupport.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

using Color = VKColorScheme::Color;

class ColorSchemeOverride : public ::testing::Test {
 protected:
  void SetUp() override {
    scheme = d.list.addColorScheme("col");
    for (const char* value : {"a", "b", "c"}) scheme->addLine({value, "", "", "", Color{0, 0, 0, 1}});
    // Only the first scheme of a name is overridden.
    later = d.list.addColorScheme("col");
    later->addLine({});
  }

  std::string run(std::vector<std::string> arguments) {
    std::ostringstream out;
    d.list.overwriteColorSchemesFromCommandLine(arguments, out);
    return out.str();
  }

  const VKColorScheme::Line& line(std::size_t n) const { return scheme->lines().at(n - 1); }

  Definitions d;
  std::shared_ptr<VKColorScheme> scheme;
  std::shared_ptr<VKColorScheme> later;
};

TEST_F(ColorSchemeOverride, SetsTextsAndColoursOfTheNamedLines) {
  EXPECT_EQ(run({"col;value#1=1;range#2=1,2;color#1=0.4,1/2,30/255"}), "");
  EXPECT_EQ(line(1).value, "1");
  EXPECT_EQ(line(2).range, "1,2");
  EXPECT_EQ(line(2).value, "b");
  EXPECT_EQ(line(1).color, (Color{0.4, 0.5, 30.0 / 255, 1}));
  EXPECT_EQ(later->lines()[0], VKColorScheme::Line{});

  // Keys ignore case; the value runs to the next ";", "=" included; four
  // numbers give the alpha too.
  EXPECT_EQ(run({"col;TITLE#3=Big;match#2=a=b;title#1=;color#3=1,0,0,0.25;"}), "");
  EXPECT_EQ(line(3).title, "Big");
  EXPECT_EQ(line(2).match, "a=b");
  EXPECT_EQ(line(1).title, "");
  EXPECT_EQ(line(3).color, (Color{1, 0, 0, 0.25}));
}

TEST_F(ColorSchemeOverride, ReadersOfTheSchemeHearOfEachChange) {
  auto reader = d.consumerOf(scheme);
  run({"col;value#1=1;value#9=2", "col;title#2=x"});
  EXPECT_EQ(reader->notices, 2);
}

struct MessageCase {
  const char* description;
  std::vector<std::string> arguments;
  std::string output;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.description; }

class ColorSchemeOverrideMessages : public ColorSchemeOverride, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ColorSchemeOverrideMessages, PrintsEachProblemOnItsOwnLineAndGoesOn) {
  EXPECT_EQ(run(GetParam().arguments), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ColorSchemeOverrideMessages,
    ::testing::Values(
        MessageCase{"OutOfBounds", {"col;color#9=1,0,0"}, "orrel: Index 9 in color scheme \"col\" is out of bounds.\n"},
        MessageCase{"IndexZeroAndNegative",
                    {"col;value#0=1;value#-2=1"},
                    "orrel: Index 0 in color scheme \"col\" is out of bounds.\n"
                    "orrel: Index -2 in color scheme \"col\" is out of bounds.\n"},
        MessageCase{"UnknownScheme",
                    {"colour;value#1=1", "col"},
                    "orrel: Could not find the color scheme \"colour\"\n"},
        MessageCase{"NoHash",
                    {"col;value1=2"},
                    "orrel: Each color scheme record needs to start with key#N. Could not find this at the start of "
                    "\"value1=2\".\n"},
        MessageCase{"NoNumber",
                    {"col;value#=2"},
                    "orrel: Each color scheme record needs to start with key#N. Could not find this at the start of "
                    "\"value#=2\".\n"},
        MessageCase{"NothingAfterTheNumber",
                    {"col;value#1"},
                    "orrel: Each color scheme record needs to start with key#N=value. Could not find the value in "
                    "\"value#1\".\n"},
        MessageCase{"NoEqualsSign",
                    {"col;value#1:2"},
                    "orrel: Each color scheme record needs to start with key#N=value. Could not find the = sign in "
                    "\"value#1:2\".\n"},
        MessageCase{"UnknownKey",
                    {"col;shade#1=2"},
                    "orrel: For color scheme \"col\", \"shade\" is not a valid key.  Use range, value,title,match or "
                    "color\n"},
        MessageCase{"ColourOfTwoNumbers",
                    {"col;color#1=1,0"},
                    "orrel: For color scheme \"col\", the color \"1,0\" needs 3 or 4 values.\n"},
        MessageCase{"MacOSRoman",
                    {"Gr\xC3\xBCn;value#1=1"},
                    "orrel: Could not find the color scheme \"Gr\x9Fn\"\n"}),
    [](const auto& info) { return std::string(info.param.description); });

TEST_F(ColorSchemeOverride, RecordsAfterAProblemAreStillApplied) {
  EXPECT_EQ(run({"col;value#1=x;bad;title#2=t", "nope", "col;range#3=0,1"}),
            "orrel: Each color scheme record needs to start with key#N. Could not find this at the start of \"bad\".\n"
            "orrel: Could not find the color scheme \"nope\"\n");
  EXPECT_EQ(line(1).value, "x");
  EXPECT_EQ(line(2).title, "t");
  EXPECT_EQ(line(3).range, "0,1");
}

}  // namespace
