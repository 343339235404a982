#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands/Plot1D.h"
#include "commands/PlotTexts.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<std::vector<KRPoint>> runsOf(const Plot1D& plot) {
  std::vector<std::vector<KRPoint>> result;
  for (const auto& run : plot.runs()) {
    result.emplace_back();
    for (long i = run.start; i < run.start + run.length; ++i) result.back().push_back(plot.point(i));
  }
  return result;
}

TEST(Plot1D, FormatErrorsNameTheFirstFault) {
  struct Case {
    std::vector<double> columns;
    const char* message;  // null: valid
  };
  const Case cases[] = {
      {{}, plottext::kNoLoops},
      {{0, 1.5, 1, 2, 3, 4}, plottext::kLengthNotInteger},
      {{0, kNaN, 1, 2}, plottext::kLengthNotInteger},
      {{0, 0, 1, 2}, plottext::kLengthNotPositive},
      {{0, -2, 1, 2}, plottext::kLengthNotPositive},
      {{0, 3, 1, 2, 3, 4}, plottext::kLoopTooLong},
      {{0, 1, 1, 2, 0, 2, 5, 6}, plottext::kLoopTooLong},
      {{0, 2, 1, 2, INFINITY, 4}, plottext::kXNotFinite},
      // A y that is not finite is allowed; only x must be.
      {{0, 2, 1, kNaN, 2, 4, 0, 1, 7, 8}, nullptr},
  };
  for (const auto& each : cases) {
    MessageCapture messages;
    const Plot1D plot(each.columns);
    const auto error = plot.formatError();
    if (each.message) {
      EXPECT_EQ(error, std::optional<std::string>(each.message)) << each.columns.size();
      EXPECT_FALSE(Plot1DIsUsable(plot));
      EXPECT_EQ(messages.texts(), std::vector<std::string>{each.message});
    } else {
      EXPECT_FALSE(error) << *error;
      EXPECT_TRUE(Plot1DIsUsable(plot));
      EXPECT_TRUE(messages.texts().empty());
    }
  }
}

TEST(Plot1D, BuildingSkipsEmptyRunsAndCountsRunsAndPoints) {
  Plot1D plot;
  plot.beginRun();
  plot.endRun();
  plot.addPoint(1, 2);
  plot.addPoint(2, 3);
  plot.endRun();
  plot.endRun();
  plot.addPoint(5, 6);
  plot.beginRun();
  plot.endRun();
  EXPECT_EQ(plot.columns(), (std::vector<double>{0, 2, 1, 2, 2, 3, 0, 1, 5, 6}));
  EXPECT_FALSE(plot.formatError());
  EXPECT_EQ(HowManySegments(plot), 2);
  EXPECT_EQ(HowManyPoints(plot), 3);
  EXPECT_EQ(DomainRangeOfPlot(plot), KRBoundingRange::between(1, 5));
  EXPECT_EQ(ValueRangeOfPlot(plot), KRBoundingRange::between(2, 6));
  EXPECT_TRUE(DomainRangeOfPlot(Plot1D()).isInvalid());
}

TEST(Plot1D, IncreasingTestsLookWithinRunsOnly) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 0}, {1, 1}}, {{-5, 0}, {2, 0}}});
  EXPECT_TRUE(IncreasingPoints(plot));
  EXPECT_FALSE(StrictlyIncreasingPoints(plot));
  EXPECT_TRUE(StrictlyIncreasingPoints(Plot1D::fromRuns({{{0, 0}, {1, 0}}, {{-5, 0}, {2, 0}}})));
  EXPECT_FALSE(IncreasingPoints(Plot1D::fromRuns({{{0, 0}, {-1, 0}}})));
}

TEST(Plot1D, LogarithmsAndBackKeepHeaders) {
  const auto plot = Plot1D::fromRuns({{{1, 10}, {std::exp(1.0), 0}}});
  const auto logs = plot.logTransformed(false, true);
  EXPECT_EQ(logs.y(0), 2);  // header
  EXPECT_DOUBLE_EQ(logs.y(1), std::log(10.0));
  EXPECT_TRUE(std::isnan(logs.y(2)));
  EXPECT_EQ(logs.x(2), std::exp(1.0));
  EXPECT_NEAR(logs.expTransformed(false, true).y(1), 10, 1e-12);
  EXPECT_EQ(swapXYInResult(plot).point(1), (KRPoint{10, 1}));
  EXPECT_EQ(swapXYInResult(plot).y(0), 2);
}

TEST(Plot1D, BackAndForthSplitsAtEveryTurnIntoIncreasingPiecesSharingEnds) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {2, 0}, {1, -1}, {0, 0}, {0.5, 2}, {3, 3}}});
  const auto split = splitPlotIntoIncreasingComponents(plot);
  EXPECT_FALSE(split.formatError());
  EXPECT_TRUE(StrictlyIncreasingPoints(split));
  const std::vector<std::vector<KRPoint>> expected{
      {{0, 0}, {1, 1}, {2, 0}},
      {{0, 0}, {1, -1}, {2, 0}},  // the way back, reversed
      {{0, 0}, {0.5, 2}, {3, 3}},
  };
  EXPECT_EQ(runsOf(split), expected);
  EXPECT_LE(split.numberOfColumns(), 3 * plot.numberOfColumns());
}

TEST(Plot1D, SplittingHandlesVerticalStepsRepeatsAndShortRuns) {
  const auto plot = Plot1D::fromRuns({
      {{0, 0}, {1, 0}, {1, 0}, {1, 2}, {2, 2}, {3, 3}},
      {{5, 5}, {4, 4}},  // two points stay as they are
      {{7, 7}},
  });
  const std::vector<std::vector<KRPoint>> expected{
      {{0, 0}, {1, 0}},
      {{1, 0}, {1, 2}},  // the vertical step on its own
      {{1, 2}, {2, 2}, {3, 3}},
      {{5, 5}, {4, 4}},
      {{7, 7}},
  };
  EXPECT_EQ(runsOf(splitPlotIntoIncreasingComponents(plot)), expected);
}

TEST(Plot1D, ValueSplittingExchangesTheRoles) {
  const auto plot = Plot1D::fromRuns({{{0, 0}, {1, 1}, {0, 2}, {-1, 1}}});
  const auto split = splitPlotIntoIncreasingValueComponents(plot);
  EXPECT_TRUE(StrictlyIncreasingPoints(swapXYInResult(split)));
  // y rises, then falls from the top: cut at (0, 2).
  const std::vector<std::vector<KRPoint>> cut{{{0, 0}, {1, 1}, {0, 2}}, {{-1, 1}, {0, 2}}};
  EXPECT_EQ(runsOf(split), cut);
}

}  // namespace
}  // namespace orrelin
