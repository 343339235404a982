#include <gtest/gtest.h>

#include <cmath>

#include "axes/AxisTicks.h"
#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "platform/GregorianCalendar.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::TestCommandDocument;
using testing_support::TestGraph;

struct Fixture {
  Fixture() {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    settings = std::make_shared<VKAxisSettings>();
    settings->finishConnections();
    graph->addCommand(settings);
  }
  void set(PlistDictionary list) {
    list["Type"] = "Main Axis";
    settings->fillFromPropertyList(list);
    settings->establishDependencyConnections();
  }
  AxisTicks x(double min, double max, double length = 400, double fontSize = 12, bool isDate = false,
              bool isInteger = false) {
    auto range = KRBoundingRange::between(min, max);
    return settings->computeXAxisTicks(range, range, true, settings->xLinear(), settings->xLocations(), length,
                                       isDate, isInteger, fontSize, 0);
  }
  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<VKAxisSettings> settings;
};

bool contains(const std::vector<std::string>& labels, const std::string& text) {
  return std::find(labels.begin(), labels.end(), text) != labels.end();
}

TEST(AxisTicks, AutomaticSpacingFollowsTheFontAndTheDigits) {
  EXPECT_DOUBLE_EQ(automaticMajorSpacing(24), 60);
  EXPECT_DOUBLE_EQ(automaticMajorSpacing(12), 30);
  // Three-digit labels keep the spacing; six digits widen it by 1.2 × 6 / 3.
  EXPECT_DOUBLE_EQ(automaticMajorSpacing(24, 100, 500), 60);
  EXPECT_DOUBLE_EQ(automaticMajorSpacing(24, 100000, 200000), 144);
  EXPECT_DOUBLE_EQ(automaticMajorSpacing(12, 0, 10), 30 * 1.2 * 2 / 3);
}

TEST(AxisTicks, AutomaticNumbersCarryPrefixSuffixUnicodeMinusAndDecimalComma) {
  Fixture f;
  f.set({{"X Prefix", "~"}, {"X Suffix", " V"}});
  auto ticks = f.x(-10, 10).axis;
  ASSERT_FALSE(ticks->majorTickMarks().empty());
  const auto& labels = ticks->majorTickMarkLabels();
  EXPECT_TRUE(contains(labels, "~0 V"));
  EXPECT_TRUE(contains(labels, "~\u221210 V")) << labels.front();
  for (double tick : ticks->majorTickMarks()) EXPECT_TRUE(tick >= -10 && tick <= 10);

  f.settings->setDecimalComma(true);
  f.set({});
  auto fractions = f.x(0, 1).axis->majorTickMarkLabels();
  EXPECT_TRUE(contains(fractions, "0,5") || contains(fractions, "0,2")) << fractions[1];

  // Logarithmic axes put their majors on the decades.
  f.set({{"X Type", 2}});
  auto decades = f.x(1, 1e4).axis->majorTickMarks();
  EXPECT_EQ(decades, (std::vector<double>{1, 10, 100, 1000, 10000}));
  // Whole-number columns get whole-number steps however long the axis.
  f.set({});
  for (double tick : f.x(0, 3, 2000, 12, false, true).axis->majorTickMarks()) EXPECT_EQ(tick, std::round(tick));
}

TEST(AxisTicks, StrideAndGivenValues) {
  Fixture f;
  f.set({{"X Ticks Choice", 2}, {"X Ticks Stride", "2.5"}});
  EXPECT_EQ(f.x(0, 10).axis->majorTickMarks(), (std::vector<double>{0, 2.5, 5, 7.5, 10}));
  EXPECT_EQ(f.x(-1, 4).axis->majorTickMarks(), (std::vector<double>{0, 2.5}));
  EXPECT_FALSE(f.settings->hasErrorExplanation());
  // A stride or values that give no usable ticks leave the choice to the
  // automatic axis; what the user can mend is explained (a stride too fine
  // for the range shown is not).
  f.set({});
  const auto automatic = f.x(0, 10).axis->majorTickMarks();
  struct Case {
    PlistDictionary settings;
    const char* explained;
  } cases[] = {
      {{{"X Ticks Choice", 2}, {"X Ticks Stride", "0"}}, "The stride \"0\" of X Ticks Stride is not a positive"},
      {{{"X Ticks Choice", 2}, {"X Ticks Stride", "-1"}}, "\"-1\" of X Ticks Stride"},
      {{{"X Ticks Choice", 2}, {"X Ticks Stride", "x+"}}, "x+"},
      {{{"X Ticks Choice", 2}, {"X Ticks Stride", "1e-9"}}, nullptr},
      {{{"X Ticks Choice", 3}}, "No tick values are given in X Ticks Values"},
      {{{"X Ticks Choice", 3}, {"X Ticks Values", "1,zz"}}, "1,zz"},
  };
  for (const auto& c : cases) {
    f.set(c.settings);
    EXPECT_EQ(f.x(0, 10).axis->majorTickMarks(), automatic);
    ASSERT_EQ(f.settings->hasErrorExplanation(), c.explained != nullptr);
    if (c.explained) {
      EXPECT_NE(f.settings->errorExplanation()->find(c.explained), std::string::npos) << *f.settings->errorExplanation();
    }
  }

  f.set({{"X Ticks Choice", 3}, {"X Ticks Values", "1, 2.5, 99, -3"}, {"X Minor Ticks Values", "0.5,11"}});
  auto given = f.x(0, 10).axis;
  EXPECT_EQ(given->majorTickMarks(), (std::vector<double>{1, 2.5}));
  EXPECT_EQ(given->minorTickMarks(), (std::vector<double>{0.5}));
  EXPECT_EQ(given->majorTickMarkLabels().size(), 2u);
}

TEST(AxisTicks, LocationsAndCategoriesFromColumns) {
  Fixture f;
  auto where = f.document->addColumn("where", {"1", "", "5", "20"});
  auto names = f.document->addColumn("names", {"10", "11", "12", "13"});
  f.set({{"X Ticks Choice", 4},
         {"X Tick Locations", PlistDictionary{{"Name", "where"}}},
         {"X Tick Labels", PlistDictionary{{"Name", "names"}}}});
  auto columns = f.x(0, 10).axis;
  // The empty row is left out, and so is the one outside the range; each
  // label stays with its row.
  EXPECT_EQ(columns->majorTickMarks(), (std::vector<double>{1, 5}));
  EXPECT_EQ(columns->majorTickMarkLabels(), (std::vector<std::string>{"10", "12"}));

  f.set({{"X Ticks Choice", 5}, {"X Categories", PlistDictionary{{"Name", "names"}}}, {"X Category Ticks", true}});
  auto categories = f.x(-0.5, 3.5).axis;
  EXPECT_EQ(categories->majorTickMarks(), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_EQ(categories->majorTickMarkLabels(), (std::vector<std::string>{"10", "11", "12", "13"}));
  EXPECT_EQ(categories->minorTickMarks(), (std::vector<double>{-0.5, 0.5, 1.5, 2.5, 3.5}));
  EXPECT_FALSE(f.settings->hasErrorExplanation());
}

TEST(AxisTicks, TickColumnsWithoutPositionsLeaveTheAxisAutomaticAndSaySo) {
  Fixture f;
  f.document->addColumn("blank", {"", ""});
  f.document->addColumn("none", {});
  f.document->addColumn("names", {"a", "b"});
  struct Case {
    const char* name;
    PlistDictionary settings;
    const char* explained;  // a part of the explanation
  } cases[] = {
      {"no location column", {{"X Ticks Choice", 4}}, "No column is chosen for X Tick Locations"},
      {"empty cells only", {{"X Ticks Choice", 4}, {"X Tick Locations", PlistDictionary{{"Name", "blank"}}}},
       "\"blank\" of X Tick Locations holds no tick positions"},
      {"no rows", {{"X Ticks Choice", 4}, {"X Tick Locations", PlistDictionary{{"Name", "none"}}}},
       "\"none\" of X Tick Locations"},
      {"missing column", {{"X Ticks Choice", 4}, {"X Tick Locations", PlistDictionary{{"Name", "gone"}}}}, "gone"},
      {"no category column", {{"X Ticks Choice", 5}}, "No column is chosen for X Categories"},
      {"no categories", {{"X Ticks Choice", 5}, {"X Categories", PlistDictionary{{"Name", "none"}}}},
       "\"none\" of X Categories holds no categories"},
      {"categories placed by an empty column",
       {{"X Ticks Choice", 5},
        {"X Categories", PlistDictionary{{"Name", "names"}}},
        {"X Tick Locations", PlistDictionary{{"Name", "blank"}}}},
       "\"blank\" of X Tick Locations"},
  };
  const auto expected = f.x(0, 10).axis->majorTickMarks();
  ASSERT_FALSE(expected.empty());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    f.set(c.settings);
    ASSERT_TRUE(f.settings->hasErrorExplanation());
    EXPECT_NE(f.settings->errorExplanation()->find(c.explained), std::string::npos) << *f.settings->errorExplanation();
    EXPECT_EQ(f.x(0, 10).axis->majorTickMarks(), expected);
  }

  // Typing numbers into the column mends the axis and clears the explanation.
  f.set({{"X Ticks Choice", 4}, {"X Tick Locations", PlistDictionary{{"Name", "blank"}}}});
  ASSERT_TRUE(f.settings->hasErrorExplanation());
  f.document->columnWithName("blank")->setStringList({"2", "4"});
  EXPECT_FALSE(f.settings->hasErrorExplanation());
  EXPECT_EQ(f.x(0, 10).axis->majorTickMarks(), (std::vector<double>{2, 4}));
}

TEST(AxisTicks, AnglesAndMoney) {
  Fixture f;
  f.set({{"X Ticks Choice", 6}, {"X Degree/Radians", 1}});
  auto degrees = f.x(0, 360).axis->majorTickMarks();
  ASSERT_GE(degrees.size(), 2u);
  for (double tick : degrees) EXPECT_NEAR(std::remainder(tick, 5), 0, 1e-9) << tick;
  f.set({{"X Ticks Choice", 6}, {"X Degree/Radians", 2}});
  auto radians = f.x(0, 2 * M_PI).axis->majorTickMarks();
  ASSERT_GE(radians.size(), 2u);
  for (double tick : radians) EXPECT_NEAR(std::remainder(tick, M_PI / 8), 0, 1e-9) << tick;

  f.set({{"X Ticks Choice", 8}, {"X Currency", 1}, {"X Currency Negative", true}});
  auto money = f.x(-100, 100).axis->majorTickMarkLabels();
  ASSERT_FALSE(money.empty());
  EXPECT_EQ(money.front().front(), '(') << money.front();
  EXPECT_NE(money.front().find('$'), std::string::npos);

  // Cents after "." and thousands after ",", or the other way round with the
  // decimal-comma preference (which the kept labels follow).
  f.set({{"X Ticks Choice", 8}, {"X Currency", 1}});
  auto thousands = f.x(0, 3000).axis->majorTickMarkLabels();
  EXPECT_TRUE(contains(thousands, "$1,000.00")) << thousands.back();
  f.settings->setDecimalComma(true);
  thousands = f.x(0, 3000).axis->majorTickMarkLabels();
  EXPECT_TRUE(contains(thousands, "$1.000,00")) << thousands.back();
  f.settings->setDecimalComma(false);

  // A y axis of its own reads the negative option from the x keys.
  auto single = std::make_shared<VKSingleAxisCommand>('Y');
  single->finishConnections();
  single->fillFromPropertyList(
      PlistDictionary{{"Type", "Y Axis"}, {"Y Ticks Choice", 8}, {"X Currency Negative", true}, {"Y Currency", 2}});
  auto locations = single->locations();
  ASSERT_TRUE(locations && locations->isDictionary());
  EXPECT_EQ(locations->booleanForKey("Negative"), true);
  EXPECT_EQ(locations->integerForKey("Currency"), 2);
  auto range = KRBoundingRange::between(-100, 100);
  auto euros = single->computeAxisTicks(range, range, true, true, locations, 400, false, false, 12, 1);
  ASSERT_FALSE(euros.axis->majorTickMarkLabels().empty());
  EXPECT_EQ(euros.axis->majorTickMarkLabels().front().front(), '(');
  EXPECT_EQ(single->computeAxisTicks(range, range, true, true, locations, 400, false, false, 12, 1).axis, euros.axis);
}

TEST(AxisTicks, DateAxesAndTheirSecondLine) {
  Fixture f;
  double start = gregorian::timeFromComponents(2007, 3, 1, 8, 0, 0);
  double end = gregorian::timeFromComponents(2007, 3, 1, 18, 0, 0);
  auto ticks = f.x(start, end, 400, 12, true);
  EXPECT_TRUE(ticks.isDate);
  EXPECT_TRUE(contains(ticks.axis->majorTickMarkLabels(), "12:00"));
  EXPECT_FALSE(ticks.secondLine.empty());

  f.set({{"X Dates With Two Lines", false}});
  EXPECT_TRUE(f.x(start, end, 400, 12, true).secondLine.empty());
  f.set({});
  auto range = KRBoundingRange::between(start, end);
  EXPECT_TRUE(f.settings->computeXAxisTicks(range, range, false, true, std::nullopt, 400, true, false, 12, 0)
                  .secondLine.empty());
}

TEST(AxisTicks, UnusableRangesGiveEmptyAxes) {
  MessageCapture messages;
  Fixture f;
  const double nan = std::nan("");
  const double year = 365.25 * 86400;
  struct Case {
    double min, max, length;
    bool isDate;
  } cases[] = {{5, 5, 400, false},     {nan, 1, 400, false},          {0, INFINITY, 400, false},
               {0, 10, 0, false},      {0, 10, -5, false},            {3, 3, 400, true},
               {-1e6 * year, 1e6 * year, 400, true}, {-1e6 * year, -1e6 * year + 1, 400, true}};
  for (const auto& c : cases) {
    auto ticks = f.x(c.min, c.max, c.length, 12, c.isDate);
    ASSERT_NE(ticks.axis, nullptr);
    if (c.min == c.max || !std::isfinite(c.min) || !std::isfinite(c.max) || c.length <= 0) {
      EXPECT_TRUE(ticks.axis->isEmpty()) << c.min << " " << c.max;
    }
  }
  auto invalid = f.settings->computeYAxisTicks(KRBoundingRange::invalid(), KRBoundingRange::invalid(), true, true,
                                               std::nullopt, 400, false, false, 12, 0);
  EXPECT_TRUE(invalid.axis->isEmpty());
}

TEST(AxisTicks, LabelsAreReusedWhileNothingChanged) {
  Fixture f;
  auto first = f.x(0, 10).axis;
  EXPECT_EQ(f.x(0, 10).axis, first);
  EXPECT_NE(f.x(0, 10, 300).axis, first);
  auto again = f.x(0, 10).axis;
  f.settings->xAxis().prefix->setText("#");
  auto changed = f.x(0, 10).axis;
  EXPECT_NE(changed, again);
  EXPECT_EQ(changed->majorTickMarkLabels().front(), "#0");
  // The y axis keeps its own results.
  auto range = KRBoundingRange::between(0, 10);
  auto y = f.settings->computeYAxisTicks(range, range, true, true, std::nullopt, 400, false, false, 12, 0).axis;
  EXPECT_EQ(y->majorTickMarkLabels().front(), "0");
  EXPECT_EQ(f.x(0, 10).axis, changed);
}

}  // namespace
}  // namespace orrelin
