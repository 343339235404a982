#include <gtest/gtest.h>

#include <cmath>

#include "commands/ErrorBars.h"
#include "drawing/KRDrawingCollections.h"

namespace orrelin {
namespace {

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

const KRDrawingPathLineCollection& linesOf(const KRDrawingGroup& group) {
  return dynamic_cast<const KRDrawingPathLineCollection&>(*group.objectAtIndex(0));
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
  const auto& lines = linesOf(*medium);
  // Two bars with two caps each, and one bar with one cap.
  ASSERT_EQ(lines.count(), 8);
  const float* l = lines.lineSegments()->constPointer();
  // The first cap of the y bar: 6 widths on each side of x = 50 at y = 45.
  EXPECT_FLOAT_EQ(l[4], 44);
  EXPECT_FLOAT_EQ(l[5], 45);
  EXPECT_FLOAT_EQ(l[6], 56);
  EXPECT_FLOAT_EQ(l[7], 45);
  // The one-sided bar runs from the point up.
  EXPECT_FLOAT_EQ(l[6 * 4 + 1], 20);
  EXPECT_FLOAT_EQ(l[6 * 4 + 3], 30);

  EXPECT_EQ(linesOf(*VKErrorBars::computeErrorBars({both}, kErrorStyleNoBars, KRColor::black(), 1, {})).count(), 2);
  auto single = VKErrorBars::computeErrorBars({both}, kErrorStyleSingleLine, KRColor::black(), 1, {});
  ASSERT_EQ(linesOf(*single).count(), 1);
  EXPECT_FLOAT_EQ(linesOf(*single).lineSegments()->constPointer()[0], 50);  // the vertical one
  EXPECT_FALSE(VKErrorBars::computeErrorBars({both}, kErrorStyleNoError, KRColor::black(), 1, {}));
  EXPECT_FALSE(VKErrorBars::computeErrorBars({VKErrorBars::Bar{{1, 1}}}, kErrorStyleSmallBars, KRColor::black(), 1, {}));
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
