#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TickTestSupport.h"
#include "axes/ticks/KRAxis.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

const std::string kMinus = "\u2212";

struct LogCase {
  const char* name;
  double min, max, length, minMajor, minMinor;
  std::vector<double> major;
  std::vector<double> minor;
  bool powersOfTen;
};

void PrintTo(const LogCase& c, std::ostream* out) { *out << c.name; }

class LogarithmicTicksByHand : public testing::TestWithParam<LogCase> {};

TEST_P(LogarithmicTicksByHand, MatchTheRegime) {
  const auto& c = GetParam();
  auto axis = KRAxis::logarithmicAxisWithMin(c.min, c.max, c.length, c.minMajor, c.minMinor);
  ASSERT_TRUE(axis);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), c.major)) << "major";
  EXPECT_TRUE(sameTicks(axis->minorTickMarks(), c.minor)) << "minor";
  EXPECT_EQ(axis->powersOfTen(), c.powersOfTen);
}

// 2 … 9 times the decades from 1 to 100, or some of them.
std::vector<double> decadeMultiples(std::vector<int> multiples) {
  std::vector<double> values;
  for (double decade : {1, 10, 100})
    for (int multiple : multiples) values.push_back(multiple * decade);
  return values;
}

const std::vector<double> kOneToThousand{1, 10, 100, 1000};

INSTANTIATE_TEST_SUITE_P(
    Ranges, LogarithmicTicksByHand,
    testing::Values(
        // One decade is P = 100 points. 9 to 10 spans 4.6 points.
        LogCase{"every_multiple", 1, 1000, 300, 30, 4, kOneToThousand, decadeMultiples({2, 3, 4, 5, 6, 7, 8, 9}), true},
        // log10(2) × P = 30.1 reaches 2 × 5.
        LogCase{"two_three_five", 1, 1000, 300, 30, 5, kOneToThousand, decadeMultiples({2, 3, 5}), true},
        // 30.1 is below 2 × 20 but reaches 20.
        LogCase{"two_five", 1, 1000, 300, 30, 20, kOneToThousand, decadeMultiples({2, 5}), true},
        LogCase{"no_multiples", 1, 1000, 300, 30, 31, kOneToThousand, {}, true},
        // Powers of ten within 0.9999 × min and 1.001 × max count as inside.
        LogCase{"decade_just_outside_counts", 1.00005, 999.5, 300, 30, 31, kOneToThousand, {}, true},
        LogCase{"decade_too_far_outside", 1.0002, 998, 300, 30, 31, {10, 100}, {}, true},
        // P = 10 points: 2P < 30 ≤ 5P, so every fifth decade is major and
        // the others (10 points ≥ 5) minor.
        LogCase{"every_fifth_decade", 1e-8, 1e8, 160, 30, 5, {1e-5, 1, 1e5},
                {1e-8, 1e-7, 1e-6, 1e-4, 1e-3, 1e-2, 1e-1, 10, 100, 1e3, 1e4, 1e6, 1e7, 1e8}, true},
        LogCase{"every_fifth_decade_without_minor", 1e-8, 1e8, 160, 30, 15, {1e-5, 1, 1e5}, {}, true},
        // Every second decade (2P = 40 ≥ 30), minor ticks every decade.
        LogCase{"every_second_decade", 1, 1e6, 120, 30, 5, {1, 100, 1e4, 1e6}, {10, 1e3, 1e5}, true},
        // Less than a factor 6: linear ticks for spacings 64 and 2.
        LogCase{"linear_below_factor_six", 2, 10, 400, 40, 10, {2, 4, 6, 8, 10}, {3, 5, 7, 9}, false},
        // A factor 9 without a power of ten inside: linear ticks for
        // spacings 80 and 20: n = 3, d = 29.3, step 50 and fifths.
        LogCase{"no_decade_inside", 11, 99, 300, 50, 100, {50}, {20, 30, 40, 60, 70, 80, 90}, false}));

TEST(LogarithmicAxis, LabelsArePowersOfTenInMathText) {
  auto axis = KRAxis::logarithmicAxisWithMin(1e-8, 1e8, 160, 30, 5);
  EXPECT_EQ(axis->majorTickMarkLabels(), (std::vector<std::string>{"10^{" + kMinus + "5}", "1", "100000"}));
  auto wide = KRAxis::logarithmicAxisWithMin(1e-300, 1e300, 300, 20, 5);
  ASSERT_FALSE(wide->majorTickMarks().empty());
  for (const auto& label : wide->majorTickMarkLabels())
    EXPECT_TRUE(label == "1" || label.starts_with("10^{")) << label;
  EXPECT_EQ(wide->formatter()->significantDigits(), 6);
  EXPECT_TRUE(wide->formatter()->useFancyExponent());
}

TEST(LogarithmicAxis, RangesWithoutPositiveMinimumAreEmpty) {
  for (auto [min, max] : {std::pair{0.0, 10.0}, {-1.0, 10.0}, {10.0, 1.0}, {5.0, 5.0},
                          {std::nan(""), 10.0}, {1.0, std::numeric_limits<double>::infinity()}}) {
    auto axis = KRAxis::logarithmicAxisWithMin(min, max, 300, 30, 5);
    ASSERT_TRUE(axis);
    EXPECT_TRUE(axis->isEmpty()) << min << " " << max;
  }
}

}  // namespace
