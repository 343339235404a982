#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TickTestSupport.h"
#include "axes/ticks/KRAxis.h"
#include "axes/ticks/LinearTicks.h"
#include "support/MessageCapture.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Ranges worked through the algorithm by hand: the distance per major
// interval, its mantissa, the step, the first tick and the count, and the
// minor subdivision.
struct LinearCase {
  const char* name;
  double min, max, length, minMajor, minMinor;
  std::vector<double> major;
  std::vector<double> minor;
};

void PrintTo(const LinearCase& c, std::ostream* out) { *out << c.name; }

class LinearTicksByHand : public testing::TestWithParam<LinearCase> {};

TEST_P(LinearTicksByHand, MatchTheAlgorithm) {
  const auto& c = GetParam();
  auto ticks = computeLinearTicks(c.min, c.max, c.length, c.minMajor, c.minMinor);
  EXPECT_TRUE(sameTicks(ticks.major, c.major)) << "major";
  EXPECT_TRUE(sameTicks(ticks.minor, c.minor)) << "minor";
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LinearTicksByHand,
    testing::Values(
        // n = 6, d = 1.667: step 2; halves when 1 unit (30 points) reaches Dmin.
        LinearCase{"zero_to_ten", 0, 10, 300, 50, 10, {0, 2, 4, 6, 8, 10}, {1, 3, 5, 7, 9}},
        LinearCase{"zero_to_ten_minor_too_close", 0, 10, 300, 50, 31, {0, 2, 4, 6, 8, 10}, {}},
        // d = 0.962: step 1; the first tick 2 lies 0.005 below min, within
        // 1% of the step; a step of 52 points is too short for tenths.
        LinearCase{"first_tick_within_one_percent", 2.005, 9.7, 400, 50, 5, multiples(2, 9, 1), multiples(5, 19, 0.5, 2)},
        // The last tick 10 lies 0.005 above max.
        LinearCase{"last_tick_within_one_percent", 0, 9.995, 500, 50, 1000, multiples(0, 10, 1), multiples(1, 19, 0.5, 2)},
        // Step 1 spanning 120 points: tenths when 12 points reach Dmin.
        LinearCase{"tenths", 0, 5, 600, 100, 4, multiples(0, 5, 1), multiples(1, 49, 0.1, 10)},
        LinearCase{"halves_when_tenths_are_too_close", 0, 5, 600, 100, 13, multiples(0, 5, 1), multiples(1, 9, 0.5, 2)},
        // d = 25: step 50, fifths of 20 points.
        LinearCase{"fifths", 0, 100, 200, 50, 10, {0, 50, 100}, multiples(1, 9, 10, 5)},
        LinearCase{"fifths_too_close", 0, 100, 200, 50, 25, {0, 50, 100}, {}},
        // d = 3.23: step 5; k = floor(7.3 / 5 + 0.01) = 1, first tick -5;
        // minor ticks below it down to -7.
        LinearCase{"negative_min", -7.3, 12.1, 500, 80, 20, {-5, 0, 5, 10}, multiples(-7, 12, 1, 5)},
        // k = floor(2.995 + 0.01) = 3: the first tick -3 is 0.005 below min.
        LinearCase{"negative_min_within_one_percent", -2.995, 3, 600, 100, 1000, multiples(-3, 3, 1),
                   multiples(-5, 5, 0.5, 2)},
        // n = 10000, d = 0.01: coarsened nine times to step 10 (10 intervals).
        LinearCase{"at_most_seventeen_intervals", 0, 100, 10000, 1, 5, multiples(0, 10, 10), multiples(1, 99, 1, 10)},
        // n = 2·10^7 on an axis of 10^9 points, coarsened to step 0.1.
        LinearCase{"billion_points", 0, 1, 1e9, 50, 1e9, multiples(0, 10, 0.1), multiples(1, 19, 0.05, 2)}));

TEST(LinearTicks, TicksNearZeroOrAWholeNumberAreExact) {
  // Steps of 0.1, 0.2 and 0.5 from ranges whose first tick is a product
  // with rounding in it.
  for (double min : {-0.7, -0.3, 0.7, -2.3, 0.1}) {
    for (double length : {300.0, 600.0, 1200.0}) {
      auto ticks = computeLinearTicks(min, min + 2.4, length, 100, 10);
      ASSERT_FALSE(ticks.major.empty());
      for (double tick : ticks.major) {
        if (std::fabs(tick - std::round(tick)) < 1e-9) {
          EXPECT_EQ(tick, std::round(tick)) << min << " " << length;
        }
      }
    }
  }
}

TEST(LinearTicks, DegenerateInputsGiveNoTicks) {
  struct Input {
    double min, max, length, minMajor;
  };
  for (auto [min, max, length, minMajor] : {Input{0, 10, -1, 50}, Input{0, 10, 300, -1}, Input{3, 3, 300, 50},
                                            Input{10, 0, 300, 50}, Input{kNaN, 10, 300, 50}, Input{0, kNaN, 300, 50},
                                            Input{0, kInf, 300, 50}, Input{-kInf, 0, 300, 50}, Input{0, 10, kNaN, 50},
                                            Input{0, 10, 0, 50}, Input{0, 10, 30, 50}, Input{0, 10, kInf, 50},
                                            Input{-1e308, 1e308, 300, 50}}) {
    auto ticks = computeLinearTicks(min, max, length, minMajor, 1);
    EXPECT_TRUE(ticks.major.empty() && ticks.minor.empty()) << min << " " << max << " " << length << " " << minMajor;
  }
}

// Whole-number axes take no minor spacing (the field is unused).
class IntegerTicksByHand : public testing::TestWithParam<LinearCase> {};

TEST_P(IntegerTicksByHand, UseWholeSteps) {
  const auto& c = GetParam();
  auto axis = KRAxis::linearIntegerAxisWithMin(c.min, c.max, c.length, c.minMajor);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), c.major)) << "major";
  EXPECT_TRUE(sameTicks(axis->minorTickMarks(), c.minor)) << "minor";
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, IntegerTicksByHand,
    testing::Values(
        // Step 0.5 raised to 1; tenths and halves of 1 are not whole.
        LinearCase{"step_raised_to_one", 0, 3, 600, 50, 0, {0, 1, 2, 3}, {}},
        LinearCase{"fifths_of_five", 0, 20, 300, 50, 0, multiples(0, 4, 5), multiples(1, 19, 1, 5)},
        // Step 10 spans exactly 60 points: halves, not tenths.
        LinearCase{"halves_of_ten", 0, 100, 600, 50, 0, multiples(0, 10, 10), multiples(1, 19, 5, 2)},
        LinearCase{"tenths_of_ten", 0, 100, 700, 60, 0, multiples(0, 10, 10), multiples(1, 99, 1, 10)}));

TEST(KRAxis, LinearAxisLabelsItsMajorTicks) {
  auto axis = KRAxis::linearAxisWithMin(-7.3, 12.1, 500, 80, 20);
  ASSERT_TRUE(axis);
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"\u22125", "0", "5", "10"}));
  EXPECT_EQ(axis->majorTickMarksMask(), std::vector<bool>(4, true));
  EXPECT_FALSE(axis->powersOfTen());
  EXPECT_EQ(axis->labelValues(), axis->majorTickMarks());
  EXPECT_TRUE(axis->labelPositions().empty());

  auto fine = KRAxis::linearAxisWithMin(-0.3, 0.3, 600, 100, 10);
  EXPECT_EQ(fine->majorTickMarks()[3], 0.0);
  EXPECT_EQ(fine->majorTickMarkLabels(),
            (std::vector<std::string>{"\u22120.3", "\u22120.2", "\u22120.1", "0", "0.1", "0.2", "0.3"}));

  auto large = KRAxis::linearAxisWithMin(1e6, 2e6, 600, 100);
  ASSERT_TRUE(large);
  EXPECT_TRUE(large->minorTickMarks().empty());
  EXPECT_EQ(large->majorTickMarkLabels(),
            (std::vector<std::string>{"1e6", "1.2e6", "1.4e6", "1.6e6", "1.8e6", "2e6"}));
}

TEST(KRAxis, NewFormatterRewritesTheLabels) {
  auto axis = KRAxis::linearAxisWithMin(0, 1, 300, 100, 10);
  auto formatter = KRNumberFormatter::createWithSignificantDigits(3);
  formatter.setDecimalSeparatorIsAComma(true);
  axis->setFormatter(formatter);
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"0", "0,5", "1"}));
  EXPECT_EQ(axis->formatter(), formatter);
}

TEST(KRAxis, ZeroMajorSpacingGivesNoAxis) {
  MessageCapture messages;
  EXPECT_FALSE(KRAxis::linearAxisWithMin(0, 1, 300, 0, 10));
  EXPECT_FALSE(KRAxis::linearAxisWithMin(0, 1, 300, 0));
  EXPECT_FALSE(KRAxis::linearIntegerAxisWithMin(0, 1, 300, 0));
  EXPECT_FALSE(KRAxis::logarithmicAxisWithMin(1, 10, 300, 0, 10));
  EXPECT_EQ(messages.takeShortTexts(), std::vector<std::string>(4, "Internal: The minimum distance between major tick marks is 0."));
  // A negative spacing is an axis without ticks, without a message.
  auto axis = KRAxis::linearAxisWithMin(0, 1, 300, -1, 10);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(axis->isEmpty());
  EXPECT_TRUE(messages.texts().empty());
}

struct DigitsCase {
  double min, max;
  int digits;
};

TEST(KRAxis, DigitsForARange) {
  for (auto [min, max, digits] : {DigitsCase{1, 100, 3}, DigitsCase{-500, 2500, 4}, DigitsCase{0.5, 3, 1},
                                  DigitsCase{0, 100, 2},  // 0 is not above 1e-6
                                  DigitsCase{0.001, 0.002, 3}, DigitsCase{1e6, 2e6, 3}, DigitsCase{1000, 1000.5, 6},
                                  DigitsCase{5, 5, 18}, DigitsCase{kNaN, 1, 1}, DigitsCase{3, 1, 1}}) {
    EXPECT_EQ(KRAxis::howManyDigitsForTickMarksInRangeWithMin(min, max), digits) << min << " " << max;
  }
}

}  // namespace
