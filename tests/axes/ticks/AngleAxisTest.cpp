#include <gtest/gtest.h>

#include <numbers>

#include "TickTestSupport.h"
#include "axes/ticks/KRAxis.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr double kPi = std::numbers::pi;
const std::string kMinus = "\u2212";

std::vector<std::string> degrees(std::vector<std::string> numbers) {
  for (auto& number : numbers) number += "\\degree";
  return numbers;
}

TEST(AngleAxis, DegreesTakeTheFinestTurnStepThatFits) {
  // 30° spans 33 points, 45° 50 points; a minor step of 5° (5.6 points)
  // is too short for 10, 15° (16.7 points) is not.
  auto axis = KRAxis::angleAxisDegreesWithMin(0, 360, 400, 48, 10);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), multiples(0, 8, 45)));
  EXPECT_TRUE(sameTicks(axis->minorTickMarks(), multiples(1, 23, 15, 3)));
  EXPECT_EQ(axis->majorTickMarkLabels(),
            degrees({"0", "45", "90", "135", "180", "225", "270", "315", "360"}));

  // 48 points needed: 45° is too short, 90° fits; minor 15° (12.5 points).
  auto symmetric = KRAxis::angleAxisDegreesWithMin(-180, 180, 300, 40, 8);
  EXPECT_TRUE(sameTicks(symmetric->majorTickMarks(), multiples(-2, 2, 90)));
  EXPECT_TRUE(sameTicks(symmetric->minorTickMarks(), multiples(-11, 11, 15, 6)));
  EXPECT_EQ(symmetric->majorTickMarkLabels(),
            degrees({kMinus + "180", kMinus + "90", "0", "90", "180"}));

  // Beyond a turn: 720° steps, cut into turns.
  auto wide = KRAxis::angleAxisDegreesWithMin(0, 3600, 300, 50, 20);
  EXPECT_TRUE(sameTicks(wide->majorTickMarks(), multiples(0, 5, 720)));
  EXPECT_TRUE(sameTicks(wide->minorTickMarks(), multiples(1, 9, 360, 2)));
}

TEST(AngleAxis, SmallDegreeRangesUseDecimalSteps) {
  auto axis = KRAxis::angleAxisDegreesWithMin(0, 2, 300, 50, 1000);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), multiples(0, 4, 0.5)));
  EXPECT_EQ(axis->majorTickMarkLabels(), degrees({"0", "0.5", "1", "1.5", "2"}));
}

TEST(AngleAxis, RadiansAreMultiplesOfPi) {
  // 0.748 needed: π/8 is too short, π/4 fits; no room for minor ticks.
  auto axis = KRAxis::angleAxisRadiansWithMin(0, 2 * kPi, 420, 50, 100);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), multiples(0, 8, kPi / 4)));
  EXPECT_TRUE(axis->minorTickMarks().empty());
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"0", "\\pi/4", "\\pi/2", "3\\pi/4", "\\pi",
                                                                   "5\\pi/4", "3\\pi/2", "7\\pi/4", "2\\pi"}));

  // 1.08 needed: π/2 steps; minor π/8 spans 18 points, π/4 36.
  auto symmetric = KRAxis::angleAxisRadiansWithMin(-kPi, kPi, 290, 50, 30);
  EXPECT_TRUE(sameTicks(symmetric->majorTickMarks(), multiples(-2, 2, kPi / 2)));
  EXPECT_TRUE(sameTicks(symmetric->minorTickMarks(), multiples(-3, 3, kPi / 4, 2)));
  EXPECT_EQ(symmetric->majorTickMarkLabels(),
            (std::vector<std::string>{"\\minus\\pi", "\\minus\\pi/2", "0", "\\pi/2", "\\pi"}));
  symmetric->setFormatter(KRNumberFormatter::createWithSignificantDigits(6));
  EXPECT_EQ(symmetric->majorTickMarkLabels(), (std::vector<std::string>{"-\\pi", "-\\pi/2", "0", "\\pi/2", "\\pi"}));

  // 0.94 needed: π/3 steps.
  auto thirds = KRAxis::angleAxisRadiansWithMin(-kPi, kPi, 300, 45, 1000);
  EXPECT_TRUE(sameTicks(thirds->majorTickMarks(), multiples(-3, 3, kPi / 3)));
  EXPECT_EQ(thirds->majorTickMarkLabels(), (std::vector<std::string>{"\\minus\\pi", kMinus + "2\\pi/3",
                                                                     "\\minus\\pi/3", "0", "\\pi/3", "2\\pi/3",
                                                                     "\\pi"}));

  // Several turns: 2π steps written with their multiple.
  auto turns = KRAxis::angleAxisRadiansWithMin(-4 * kPi, 4 * kPi, 300, 50, 1000);
  EXPECT_EQ(turns->majorTickMarkLabels(),
            (std::vector<std::string>{kMinus + "4\\pi", kMinus + "2\\pi", "0", "2\\pi", "4\\pi"}));
}

TEST(AngleAxis, SmallRadianRangesArePlainNumbers) {
  auto axis = KRAxis::angleAxisRadiansWithMin(0, 0.2, 300, 50, 1000);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), multiples(0, 4, 0.05)));
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"0", "0.05", "0.1", "0.15", "0.2"}));
}

TEST(CurrencyAxis, StepsFollowTheCents) {
  auto dollars = KRCurrencyFormatter::createForCurrencyType(KRCurrencyFormatter::kDollar);
  auto axis = KRAxis::currencyAxisWithMin(0, 2, 400, 50, 10, dollars);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), multiples(0, 4, 0.5)));
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"0", "$0.50", "$1.00", "$1.50", "$2.00"}));

  dollars.setDrawCents(false);
  auto whole = KRAxis::currencyAxisWithMin(0, 2, 400, 50, 10, dollars);
  EXPECT_TRUE(sameTicks(whole->majorTickMarks(), {0, 1, 2}));
  EXPECT_TRUE(whole->minorTickMarks().empty());
  EXPECT_EQ(whole->majorTickMarkLabels(), (std::vector<std::string>{"0", "$1", "$2"}));

  // Amounts in thousands: steps of at least 1000 without cents.
  dollars.setUnit(1000);
  auto thousands = KRAxis::currencyAxisWithMin(-2000, 2000, 400, 50, 10, dollars);
  EXPECT_TRUE(sameTicks(thousands->majorTickMarks(), multiples(-2, 2, 1000)));
  EXPECT_EQ(thousands->majorTickMarkLabels(), (std::vector<std::string>{"-$2", "-$1", "0", "$1", "$2"}));
}

}  // namespace
