#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "commands/PlotFills.h"
#include "commands/PlotSimplification.h"
#include "commands/PlotSteps.h"

namespace orrelin {
namespace {

double distanceToSegment(KRPoint p, KRPoint a, KRPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The largest distance from a point of one polyline (its vertices and points
// along its segments) to the other polyline.
double oneWayDistance(const std::vector<KRPoint>& from, const std::vector<KRPoint>& to) {
  double worst = 0;
  for (std::size_t i = 0; i < from.size(); ++i) {
    for (int step = 0; step < (i + 1 < from.size() ? 4 : 1); ++step) {
      const double t = step / 4.0;
      const KRPoint p = i + 1 < from.size()
                            ? KRPoint{from[i].x + t * (from[i + 1].x - from[i].x), from[i].y + t * (from[i + 1].y - from[i].y)}
                            : from[i];
      double nearest = std::hypot(p.x - to[0].x, p.y - to[0].y);
      for (std::size_t k = 0; k + 1 < to.size(); ++k) nearest = std::min(nearest, distanceToSegment(p, to[k], to[k + 1]));
      worst = std::max(worst, nearest);
    }
  }
  return worst;
}

std::vector<KRPoint> randomWalk(long count, unsigned seed, double step) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0, step);
  std::vector<KRPoint> points;
  double y = 50;
  for (long i = 0; i < count; ++i) {
    y += noise(random);
    points.push_back({100.0 * double(i) / double(count), y});
  }
  return points;
}

TEST(PlotSimplification, TheThinnedLineStaysWithinTheToleranceOfTheOriginal) {
  struct Case {
    long count;
    double step;
    double tolerance;
  };
  for (const Case each : {Case{4000, 0.05, 0.1}, Case{3000, 1.0, 0.1}, Case{3000, 0.01, 0.5}, Case{1000, 0.3, 0.01}}) {
    const auto input = randomWalk(each.count, unsigned(each.count), each.step);
    std::vector<KRPoint> kept;
    simplifyPolylineWithin(input.data(), long(input.size()), each.tolerance, kept);
    EXPECT_EQ(kept.front(), input.front());
    EXPECT_EQ(kept.back(), input.back());
    for (const auto& p : kept) EXPECT_NE(std::find(input.begin(), input.end(), p), input.end());
    EXPECT_LE(oneWayDistance(input, kept), each.tolerance * (1 + 1e-9)) << each.count;
    EXPECT_LE(oneWayDistance(kept, input), each.tolerance * (1 + 1e-9)) << each.count;
    EXPECT_LT(kept.size(), input.size()) << each.count;
  }
}

// A line thinned in two halves at once joins them at their shared middle
// point, once, and keeps the bound around the join too.
TEST(PlotSimplification, ALineThinnedInHalvesKeepsTheBound) {
  for (const long count : {2000L, 2001L}) {
    const auto input = randomWalk(count, 11, 0.05);
    PolylineSimplification how;
    how.visible = {0, 0, 100, 100};
    how.margin = 2;
    std::vector<KRPoint> halves, whole;
    simplifyPolylineOf(count, [&](long i) { return input[std::size_t(i)]; }, how, halves, 500);
    simplifyPolylineOf(count, [&](long i) { return input[std::size_t(i)]; }, how, whole);
    EXPECT_EQ(halves.front(), input.front());
    EXPECT_EQ(halves.back(), input.back());
    EXPECT_NE(std::find(halves.begin(), halves.end(), input[std::size_t(count / 2)]), halves.end());
    EXPECT_EQ(std::adjacent_find(halves.begin(), halves.end()), halves.end());
    EXPECT_LE(oneWayDistance(input, halves), how.tolerance * (1 + 1e-9)) << count;
    EXPECT_LE(oneWayDistance(halves, input), how.tolerance * (1 + 1e-9)) << count;
    EXPECT_LE(halves.size(), whole.size() + 4) << count;
  }
}

TEST(PlotSimplification, DenseNoiseWithinAPixelCollapsesToItsExtremes) {
  // 1000 points per point of width, jumping up and down by several points.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-5, 5);
  std::vector<KRPoint> input;
  for (int i = 0; i < 20000; ++i) input.push_back({i * 0.001, 50 + noise(random)});
  std::vector<KRPoint> kept;
  simplifyPolylineWithin(input.data(), long(input.size()), 0.1, kept);
  EXPECT_LT(kept.size(), input.size() / 10);
  // Within the tolerance, checked near the start where the brute force is quick.
  const std::vector<KRPoint> head(input.begin(), input.begin() + 1500);
  std::vector<KRPoint> headKept;
  simplifyPolylineWithin(head.data(), long(head.size()), 0.1, headKept);
  EXPECT_LE(oneWayDistance(head, headKept), 0.1 * (1 + 1e-9));
  EXPECT_LE(oneWayDistance(headKept, head), 0.1 * (1 + 1e-9));
}

TEST(PlotSimplification, BacktrackingLinesKeepTheirTurningPoints) {
  // Straight out and straight back: leaving the far end out would cut the line short.
  const std::vector<KRPoint> input{{0, 0}, {5, 0}, {10, 0}, {5, 0.01}, {0, 0.02}};
  std::vector<KRPoint> kept;
  simplifyPolylineWithin(input.data(), long(input.size()), 0.1, kept);
  EXPECT_EQ(kept, (std::vector<KRPoint>{{0, 0}, {10, 0}, {0, 0.02}}));
  // A collinear straight line keeps only its ends.
  kept.clear();
  const std::vector<KRPoint> line{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
  simplifyPolylineWithin(line.data(), 4, 0.1, kept);
  EXPECT_EQ(kept, (std::vector<KRPoint>{{0, 0}, {3, 3}}));
}

TEST(PlotSimplification, OutsideStretchesCollapseWithoutChangingTheVisiblePart) {
  // A wave whose troughs dip far below the region, sampled densely.
  std::vector<KRPoint> input;
  for (int i = 0; i <= 4000; ++i) input.push_back({i * 0.1, 60 * std::sin(i * 0.01)});
  const KRRect region(0, 0, 400, 100);
  std::vector<KRPoint> kept;
  simplifyPolylineOutside(input.data(), long(input.size()), region, kept);
  EXPECT_LT(kept.size(), input.size() * 3 / 4);
  // Every point inside the region or next to one survives.
  for (std::size_t i = 0; i < input.size(); ++i) {
    const bool nearInside = region.contains(input[i]) || (i > 0 && region.contains(input[i - 1])) ||
                            (i + 1 < input.size() && region.contains(input[i + 1]));
    if (nearInside) {
      EXPECT_NE(std::find(kept.begin(), kept.end(), input[i]), kept.end()) << i;
    }
  }
  // Every segment of the result that is not a segment of the input lies below the region.
  for (std::size_t j = 0; j + 1 < kept.size(); ++j) {
    auto at = std::find(input.begin(), input.end(), kept[j]);
    if (at + 1 != input.end() && *(at + 1) == kept[j + 1]) continue;
    EXPECT_LT(kept[j].y, 0);
    EXPECT_LT(kept[j + 1].y, 0);
  }
}

TEST(PlotSteps, EachStepTypePutsItsCornersWhereItSays) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {3, 0}}, {{5, 5}}});
  struct Case {
    StepType type;
    std::vector<double> columns;
  };
  const Case cases[] = {
      {StepType::HorizontalFirst, {0, 5, 0, 0, 1, 0, 1, 1, 3, 1, 3, 0, 0, 1, 5, 5}},
      {StepType::VerticalFirst, {0, 5, 0, 0, 0, 1, 1, 1, 1, 0, 3, 0, 0, 1, 5, 5}},
      {StepType::Halfway, {0, 7, 0, 0, 0.5, 0, 0.5, 1, 1, 1, 2, 1, 2, 0, 3, 0, 0, 1, 5, 5}},
  };
  for (const auto& each : cases) {
    const auto steps = stepsFor(plot, each.type);
    EXPECT_EQ(steps.columns(), each.columns) << int(each.type);
    EXPECT_FALSE(steps.formatError());
  }
}

double signedArea(const PageRun& loop) {
  double area = 0;
  for (std::size_t k = 0; k + 1 < loop.size(); ++k) area += loop[k].x * loop[k + 1].y - loop[k + 1].x * loop[k].y;
  return area / 2;
}

TEST(PlotFills, ClosingToAReferenceSplitsWhereTheCurveCrossesIt) {
  // Up to 2, down to -2, back to 0: two triangles above, one below.
  const std::vector<PageRun> runs{{{0, 0}, {1, 2}, {3, -2}, {4, 0}}};
  const auto both = separateAndCloseY(runs, 0, FillSide::Both);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0], (PageRun{{0, 0}, {1, 2}, {2, 0}, {0, 0}}));
  EXPECT_EQ(both[1], (PageRun{{2, 0}, {3, -2}, {4, 0}, {2, 0}}));
  EXPECT_NEAR(std::fabs(signedArea(both[0])) + std::fabs(signedArea(both[1])), 4, 1e-12);
  EXPECT_EQ(separateAndCloseY(runs, 0, FillSide::Above), (std::vector<PageRun>{both[0]}));
  EXPECT_EQ(separateAndCloseY(runs, 0, FillSide::Below), (std::vector<PageRun>{both[1]}));
  // An open run that stays above is closed down at both ends.
  EXPECT_EQ(separateAndCloseY({{{1, 3}, {2, 4}}}, 1, FillSide::Both),
            (std::vector<PageRun>{{{1, 3}, {2, 4}, {2, 1}, {1, 1}, {1, 3}}}));
  // Across a vertical reference.
  const auto inX = separateAndCloseX({{{2, 0}, {-2, 2}}}, 0, FillSide::Above);
  ASSERT_EQ(inX.size(), 1u);
  EXPECT_EQ(inX[0], (PageRun{{2, 0}, {0, 1}, {0, 0}, {2, 0}}));
}

TEST(PlotFills, BetweenTwoCurvesAndClosedRuns) {
  const std::vector<PageRun> top{{{0, 2}, {1, 2}, {2, 2}}};
  const std::vector<PageRun> bottom{{{0, 0}, {2, 0}}};
  const auto between = closeBetween(top, bottom);
  ASSERT_EQ(between.size(), 1u);
  EXPECT_NEAR(std::fabs(signedArea(between[0])), 4, 1e-12);
  // Runs that do not pair up are joined first.
  EXPECT_EQ(closeBetween({{{0, 1}}, {{1, 1}}}, bottom).size(), 1u);
  EXPECT_TRUE(closeBetween(top, {}).empty());
  const auto closed = closeEachRun({{{0, 0}, {1, 0}, {1, 1}}, {{5, 5}, {6, 6}}});
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].back(), closed[0].front());
}

}  // namespace
}  // namespace orrelin
