#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "commands/ErrorBars.h"
#include "commands/DrawingLeaves.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingPathFromObj.h"

namespace orrelin {
namespace {

using testing_support::segmentsOf;

struct ExtentCase {
  const char* name;
  int type;
  double value, negative, positive;
  double low, high;
};

void PrintTo(const ExtentCase& c, std::ostream* os) { *os << c.name; }

class ErrorExtent : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(ErrorExtent, CombinesTheTwoColumnsByType) {
  const auto& c = GetParam();
  auto [low, high] = VKErrorBars::extent(c.type, c.value, c.negative, c.positive);
  if (std::isnan(c.low)) EXPECT_TRUE(std::isnan(low)); else EXPECT_DOUBLE_EQ(low, c.low);
  if (std::isnan(c.high)) EXPECT_TRUE(std::isnan(high)); else EXPECT_DOUBLE_EQ(high, c.high);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ErrorExtent,
    ::testing::Values(
        ExtentCase{"SymmetricFromPositive", kErrorTypeSymmetric, 10, NAN, 2, 8, 12},
        ExtentCase{"SymmetricFromNegativeAlone", kErrorTypeSymmetric, 10, -3, NAN, 7, 13},
        ExtentCase{"SymmetricPrefersPositive", kErrorTypeSymmetric, 10, 5, 1, 9, 11},
        ExtentCase{"SymmetricWithoutErrors", kErrorTypeSymmetric, 10, NAN, NAN, NAN, NAN},
        ExtentCase{"SeparateSides", kErrorTypeSeparate, 10, 1, 4, 9, 14},
        ExtentCase{"SeparateNegativeMagnitude", kErrorTypeSeparate, 10, -1, NAN, 9, NAN},
        ExtentCase{"SeparateOnlyAbove", kErrorTypeSeparate, 10, NAN, 4, NAN, 14},
        ExtentCase{"PercentOneColumnBothSides", kErrorTypePercent, -200, NAN, 10, -220, -180},
        ExtentCase{"PercentTwoColumns", kErrorTypePercent, 50, 10, 20, 45, 60},
        ExtentCase{"BoundsAreTheEnds", kErrorTypeBounds, 10, 7, 15, 7, 15},
        ExtentCase{"BoundsMissingUpper", kErrorTypeBounds, 10, 7, NAN, 7, NAN}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorBarStyle, CapsScaleWithTheWidthByStyle) {
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleTinyBars), 2);
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleSmallBars), 3);
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleMediumBars), 6);
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleWideBars), 9);
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleNoBars), 0);
  EXPECT_EQ(VKErrorBars::capFactor(kErrorStyleSingleLine), 0);
  EXPECT_EQ(VKErrorBars::barLineWidth(NAN), 0.5);
  EXPECT_EQ(VKErrorBars::barLineWidth(-1), 0.5);
  EXPECT_EQ(VKErrorBars::barLineWidth(1000), 300);
  EXPECT_EQ(VKErrorBars::barLineWidth(2), 2);
}

TEST(ErrorBarDrawing, DrawsBarsAndCapsOfTheStyle) {
  VKErrorBars::Bar both;
  both.center = {50, 50};
  both.xLow = 40;
  both.xHigh = 60;
  both.yLow = 45;
  both.yHigh = 58;
  VKErrorBars::Bar above;
  above.center = {20, 20};
  above.yHigh = 30;

  auto medium = VKErrorBars::computeErrorBars({both, above}, kErrorStyleMediumBars, KRColor::black(), 1, {});
  ASSERT_TRUE(medium);
  const auto lines = segmentsOf(medium);
  // Two bars with two caps each, and one bar with one cap.
  ASSERT_EQ(lines.size(), 8u);
  // The first cap of the y bar: 6 widths on each side of x = 50 at y = 45.
  EXPECT_EQ(lines[1], (std::array<float, 4>{44, 45, 56, 45}));
  // The one-sided bar runs from the point up.
  EXPECT_EQ(lines[6][1], 20);
  EXPECT_EQ(lines[6][3], 30);

  EXPECT_EQ(segmentsOf(VKErrorBars::computeErrorBars({both}, kErrorStyleNoBars, KRColor::black(), 1, {})).size(), 2u);
  auto single = VKErrorBars::computeErrorBars({both}, kErrorStyleSingleLine, KRColor::black(), 1, {});
  ASSERT_EQ(segmentsOf(single).size(), 1u);
  EXPECT_EQ(segmentsOf(single)[0][0], 50);  // the vertical one
  EXPECT_FALSE(VKErrorBars::computeErrorBars({both}, kErrorStyleNoError, KRColor::black(), 1, {}));
  EXPECT_FALSE(VKErrorBars::computeErrorBars({VKErrorBars::Bar{{1, 1}}}, kErrorStyleSmallBars, KRColor::black(), 1, {}));
}

// A path, which every output form writes, while the bars fit one; beyond
// that the same segments as a line collection.
TEST(ErrorBarDrawing, TakesAPathUntilTheBarsOutgrowIt) {
  auto bars = [](long count) {
    std::vector<VKErrorBars::Bar> list(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
      list[std::size_t(i)].center = {double(i), 0};
      list[std::size_t(i)].yHigh = 1;
    }
    return list;
  };
  const long fits = KRDrawingPathFromObj::kMaxConnections / 3;
  auto small = VKErrorBars::computeErrorBars(bars(fits), kErrorStyleNoBars, KRColor::black(), 1, {});
  ASSERT_TRUE(small);
  EXPECT_TRUE(dynamic_cast<const KRDrawingPathFromObj*>(small->objectAtIndex(0).get()));
  EXPECT_EQ(segmentsOf(small).size(), std::size_t(fits));
  auto large = VKErrorBars::computeErrorBars(bars(fits + 1), kErrorStyleNoBars, KRColor::black(), 1, {});
  ASSERT_TRUE(large);
  EXPECT_TRUE(dynamic_cast<const KRDrawingPathLineCollection*>(large->objectAtIndex(0).get()));
  const auto last = segmentsOf(large).back();
  EXPECT_EQ(last, (std::array<float, 4>{float(fits), 0, float(fits), 1}));
}

TEST(ErrorBarDrawing, IsCutToTheRegion) {
  VKErrorBars::Bar bar;
  bar.center = {50, 50};
  bar.yHigh = 500;
  auto group = VKErrorBars::computeErrorBars({bar}, kErrorStyleSmallBars, KRColor::black(), 1, {0, 0, 100, 100});
  ASSERT_TRUE(group && group->crop());
  EXPECT_LE(group->boundingRectangle().maxY(), 100);
}

}  // namespace
}  // namespace orrelin
