#include <gtest/gtest.h>

#include <cmath>

#include "commands/PlotSplines.h"

namespace orrelin {
namespace {

std::vector<double> secondRow(const Plot1D& second) {
  std::vector<double> values;
  for (const auto& run : second.runs())
    for (long i = run.start; i < run.start + run.length; ++i) values.push_back(second.y(i));
  return values;
}

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << k;
}

TEST(PlotSplines, NaturalSplineMatchesTheHandComputedOne) {
  // Unit steps: 4 m1 + m2 = 6 (d1 - d0), m1 + 4 m2 = 6 (d2 - d1).
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {2, 0}, {3, 1}}, {{0, 0}, {1, 1}, {2, 0}}});
  const auto second = SecondDerivativesNormalSplineXDirection(plot);
  expectNear(secondRow(second), {0, -4, 4, 0, 0, -3, 0}, 1e-12);
  // On [0, 1] of the second run: -3 (x^3)/6 + 1.5 x, at 0.5 gives 0.6875.
  EXPECT_NEAR(SplineValueOnSegment(plot, second, 6, 0.5), 0.6875, 1e-12);
  EXPECT_NEAR(SplineValueOnSegment(plot, second, 6, 1.0), 1.0, 1e-12);
}

TEST(PlotSplines, EstimatedEndSlopesReproduceAParabolaExactly) {
  // The end slope of the parabola through the end points is exact for a
  // parabola, and a clamped spline with exact slopes is the parabola itself.
  std::vector<KRPoint> points;
  for (double x : {0.0, 0.5, 1.5, 3.0, 4.0}) points.push_back({x, x * x - x});
  const auto plot = Plot1D::fromRuns({points});
  expectNear(secondRow(SecondDerivativesApproximateEndSlopeXDirection(plot)), {2, 2, 2, 2, 2}, 1e-9);
  const auto natural = secondRow(SecondDerivativesNormalSplineXDirection(plot));
  EXPECT_EQ(natural.front(), 0);
  // Two points: a straight line either way.
  expectNear(secondRow(SecondDerivativesApproximateEndSlopeXDirection(Plot1D::fromRuns({{{0, 1}, {2, 5}}}))), {0, 0},
             1e-12);
}

TEST(PlotSplines, YDirectionSplinesAreXSplinesOfTheExchangedCurve) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {0, 2}, {1, 3}}});
  const auto second = SecondDerivativesNormalSplineYDirection(plot);
  expectNear(secondRow(second), {0, -4, 4, 0}, 1e-12);
  EXPECT_EQ(second.x(2), 1);  // row 0 holds y
}

TEST(PlotSplines, BezierPiecesFollowTheSpline) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {2.5, 0}, {3, 2}}, {{5, 5}, {6, 4}}, {{9, 9}}});
  const auto second = SecondDerivativesNormalSplineXDirection(plot);
  const auto controls = SplineBezierControlPoints(plot, second);
  // Headers: 1 + 3 * 3 points, then a straight piece of 2, then a single point.
  ASSERT_EQ(controls.size(), std::size_t(2 * (1 + 10 + 1 + 2 + 1 + 1)));
  EXPECT_EQ(controls[1], 10);
  EXPECT_EQ(controls[2 * 11 + 1], 2);
  EXPECT_EQ(controls[2 * 14 + 1], 1);
  for (long segment = 0; segment < 3; ++segment) {
    const double* p = &controls[2 * (1 + 3 * segment)];
    for (double t : {0.25, 0.5, 0.8}) {
      const double s = 1 - t;
      const double bx = s * s * s * p[0] + 3 * s * s * t * p[2] + 3 * s * t * t * p[4] + t * t * t * p[6];
      const double by = s * s * s * p[1] + 3 * s * s * t * p[3] + 3 * s * t * t * p[5] + t * t * t * p[7];
      const double x0 = plot.x(1 + segment), x1 = plot.x(2 + segment);
      EXPECT_NEAR(bx, x0 + t * (x1 - x0), 1e-12);
      EXPECT_NEAR(by, SplineValueOnSegment(plot, second, 1 + segment, t), 1e-12) << segment << " " << t;
    }
  }
  const auto alongY = SplineBezierControlPointsAlongY(swapXYInResult(plot), second);
  for (std::size_t k = 0; k < controls.size(); k += 2) {
    const bool header = k == 0 || k == 2 * 11 || k == 2 * 14;
    EXPECT_EQ(alongY[k], header ? controls[k] : controls[k + 1]);
  }
}

TEST(PlotSplines, RangesIncludeTheOvershootBetweenPoints) {
  // Symmetric: m1 = m2 = -1.2, and the middle segment peaks at 1.15.
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {2, 1}, {3, 0}}});
  const auto second = SecondDerivativesNormalSplineXDirection(plot);
  const auto range = valueRangeForSplineValuesAlongX(plot, second, true, true);
  EXPECT_NEAR(range.maxR, 1.15, 1e-12);
  EXPECT_NEAR(range.minR, 0, 1e-12);
  // On a logarithmic axis the spline ran through the logarithms.
  const auto logRange = valueRangeForSplineValuesAlongX(plot, second, true, false);
  EXPECT_NEAR(logRange.maxR, std::exp(1.15), 1e-9);
  const auto xRange = domainRangeForSplineValuesAlongY(swapXYInResult(plot), SecondDerivativesNormalSplineYDirection(swapXYInResult(plot)),
                                                       true, true);
  EXPECT_NEAR(xRange.maxR, 1.15, 1e-12);
}

TEST(PlotSplines, FindCubicRootsCases) {
  struct Case {
    const char* name;
    double a, b, A, B;
    std::vector<double> roots;
  };
  // (t - .2)(t - .5)(t - .8): a = -0.08, b = 0.08, p'' = 6t - 3.
  const Case cases[] = {
      {"three roots", -0.08, 0.08, -3, 3, {0.2, 0.5, 0.8}},
      {"straight line", -1, 3, 0, 0, {0.25}},
      {"line without root inside", 1, 3, 0, 0, {}},
      // (t - 0.25)(t - 0.75) = t^2 - t + 0.1875: p'' = 2.
      {"quadratic", 0.1875, 0.1875, 2, 2, {0.25, 0.75}},
      {"quadratic without real root", 1, 1, 2, 2, {}},
      // t (t - 0.5)(t - 2): a = 0, roots 0 and 0.5 inside, 2 outside.
      {"root at zero", 0, -0.5, -5, 1, {0, 0.5}},
      // Ends at exactly 1 within rounding: (t - 1)(t + 1)(t + 2) = t^3 + 2t^2 - t - 2.
      {"root at one", -2, 1e-12, 4, 10, {1}},
  };
  for (const auto& each : cases) {
    std::array<double, 3> roots{};
    const int count = FindCubicRoots(each.a, each.b, each.A, each.B, roots);
    ASSERT_EQ(count, int(each.roots.size())) << each.name;
    for (int k = 0; k < count; ++k) EXPECT_NEAR(roots[k], each.roots[k], 1e-9) << each.name;
    for (int k = count; k < 3; ++k) EXPECT_TRUE(std::isnan(roots[k])) << each.name;
  }
  // Exactly 0 and exactly 1, not merely close.
  std::array<double, 3> roots{};
  FindCubicRoots(0, -0.5, -5, 1, roots);
  EXPECT_EQ(roots[0], 0.0);
  FindCubicRoots(-2, 1e-12, 4, 10, roots);
  EXPECT_EQ(roots[0], 1.0);
}

}  // namespace
}  // namespace orrelin
