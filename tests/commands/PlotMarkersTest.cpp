#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "commands/ErrorBars.h"
#include "commands/Markers.h"
#include "commands/PlotTexts.h"
#include "commands/VKPlotCommand.h"
#include "commands/DrawingLeaves.h"
#include "commands/PlotInGraph.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/KRDrawingText.h"
#include "graph/commandbase/CommandTestSupport.h"

// Markers and error bars of the plot command: where they are drawn, for which
// rows, in which order with the line, and what bad error columns do.

namespace orrelin {
namespace {

using testing_support::makeRecord;
using testing_support::all;
using testing_support::barSegments;
using testing_support::isSegmentPath;
using testing_support::texts;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The centres of the outlined circles of a drawing.
std::vector<KRPoint> circleCenters(const std::shared_ptr<KRDrawingGroup>& group) {
  std::vector<KRPoint> centers;
  for (auto& c : all<KRDrawingPathCircleCollection>(group)) {
    if (c->isFilled()) continue;
    const float* v = c->centersAndRadius()->constPointer();
    for (long i = 0; i < c->count(); ++i) centers.push_back({v[3 * i], v[3 * i + 1]});
  }
  return centers;
}

class PlotMarkers : public testing_support::PlotInGraph {
 protected:
  void use(std::initializer_list<double> x, std::initializer_list<double> y) {
    plot->setXColumn(column("x", texts(x)), column("y", texts(y)));
  }
  // Symmetric y errors from one column, drawn as small bars.
  void yErrors(const std::string& name, const std::vector<std::string>& cells) {
    plot->errorStyle()->setTag(kErrorStyleSmallBars);
    plot->errorPosY()->selectColumn(column(name, cells));
  }
  std::shared_ptr<KRDrawingGroup> draw(double scale = 10, bool vector = true) {
    KRDrawingInformation information;
    return plot->computeDrawingObjectForScale(*makeRecord(scale, vector), information);
  }
};

TEST_F(PlotMarkers, SitOnTheValidRowsOnlyWhateverTheConnection) {
  use({1, 2, 3, 4, 5}, {1, kNaN, 3, 4, 5});
  plot->pointStyle()->setTag(kMarkerCircle);
  const std::vector<KRPoint> valid{{10, 10}, {30, 30}, {40, 40}, {50, 50}};
  EXPECT_EQ(circleCenters(draw()), valid);
  // Steps add corners to the line, not markers.
  plot->objectWithName(plottext::kConnections)->setFromPropertyListRecordUndo(PropertyList(VKPlotCommand::kSteps));
  EXPECT_EQ(circleCenters(draw()), valid);
  // A masked row loses its marker; the offset moves them all.
  plot->objectWithName(plottext::kMask)->setFromPropertyListRecordUndo(PropertyList("x != 4"));
  plot->objectWithName(plottext::kOffset)->setFromPropertyListRecordUndo(PropertyList("1,0"));
  EXPECT_EQ(circleCenters(draw()), (std::vector<KRPoint>{{20, 10}, {40, 30}, {60, 50}}));
  // "No Point" draws none, while the line stays.
  plot->pointStyle()->setTag(kMarkerNoPoint);
  auto drawing = draw();
  EXPECT_TRUE(circleCenters(drawing).empty());
  EXPECT_FALSE(all<KRDrawingPathFromObj>(drawing).empty());
}

TEST_F(PlotMarkers, MarkersOutsideTheCropRangeAreLeftOut) {
  use({1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 1, 1, 1, 1, 1, 1, 1, 1});
  plot->pointStyle()->setTag(kMarkerCircle);
  plot->crop()->setTexts("2.5", "6.5");
  EXPECT_EQ(circleCenters(draw()), (std::vector<KRPoint>{{30, 10}, {40, 10}, {50, 10}, {60, 10}}));
}

TEST_F(PlotMarkers, SizesKeepTheirLimitsAndTheFillFollowsPointFillColor) {
  use({1, 2}, {1, 2});
  plot->pointStyle()->setTag(kMarkerCircle);
  const auto radii = [&] {
    std::vector<float> found;
    for (auto& c : all<KRDrawingPathCircleCollection>(draw()))
      if (!c->isFilled()) found.push_back(c->centersAndRadius()->constPointer()[2]);
    return found;
  };
  const std::vector<std::pair<std::string, float>> sizes{{"8", 4}, {"0", 2}, {"1000", 150}, {"", 2.5}, {"1/0", 2}};
  for (const auto& [typed, radius] : sizes) {
    plot->pointSize()->setText(typed);
    EXPECT_EQ(radii(), std::vector<float>{radius}) << '"' << typed << '"';
  }
  // "Nothing" leaves the outlined circle open; a solid colour fills it.
  EXPECT_EQ(all<KRDrawingPathCircleCollection>(draw()).size(), 1u);
  plot->pointColor()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(2)}}));
  auto circles = all<KRDrawingPathCircleCollection>(draw());
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_NE(circles[0]->isFilled(), circles[1]->isFilled());
}

// Hatching, gradients and noise are clipped to the interiors of the outlined
// markers, under the markers; a solid marker type has no interior to fill.
TEST_F(PlotMarkers, PatternFillsAreClippedToTheMarkerInteriors) {
  const auto clippedGroups = [](const std::shared_ptr<KRDrawingGroup>& drawing) {
    std::vector<std::shared_ptr<KRDrawingGroup>> clipped;
    std::vector<std::shared_ptr<KRDrawingBasic>> stack{drawing};
    while (!stack.empty()) {
      auto group = std::dynamic_pointer_cast<KRDrawingGroup>(stack.back());
      stack.pop_back();
      if (!group) continue;
      if (group->crop()) clipped.push_back(group);
      for (std::size_t k = 0; k < group->count(); ++k) stack.push_back(group->objectAtIndex(k));
    }
    return clipped;
  };
  use({1, 2}, {1, 2});
  plot->pointStyle()->setTag(kMarkerBox);
  plot->pointSize()->setText("10");
  for (int kind : {3, 5, 6}) {
    plot->pointColor()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(kind)}}));
    const auto clipped = clippedGroups(draw());
    // One region over both boxes, each with the area of the circle of
    // diameter 10 (hatching clips itself to the same frame once more).
    const auto record = makeRecord(10, true);
    const double half = 5 * std::sqrt(std::acos(-1.0)) / 2;
    int found = 0;
    for (const auto& group : clipped) {
      const KRRect region = group->crop()->boundingRectangle().standardized();
      found += std::fabs(region.minX() - (record->transformX(1) - half)) < 1e-6 &&
               std::fabs(region.maxX() - (record->transformX(2) + half)) < 1e-6 &&
               std::fabs(region.minY() - (record->transformY(1) - half)) < 1e-6;
    }
    EXPECT_GE(found, 1) << kind;
  }
  plot->pointStyle()->setTag(kMarkerSolidBox);
  EXPECT_TRUE(clippedGroups(draw()).empty());
}

TEST_F(PlotMarkers, ManyMarkersOnBitmapsAreStampedOnWholePixels) {
  std::vector<std::string> xs, ys;
  const long many = VKMarkers::kStencilThreshold + 50;
  for (long i = 0; i < many; ++i) {
    xs.push_back(std::to_string(0.01 + 0.37 * double(i % 27)));
    ys.push_back(std::to_string(0.013 * double(i)));
  }
  plot->setXColumn(column("x", xs), column("y", ys));
  plot->pointStyle()->setTag(kMarkerSolidBox);
  auto stamped = all<KRDrawingRepeated>(draw(10, false));
  ASSERT_EQ(stamped.size(), 1u);
  EXPECT_EQ(stamped[0]->count(), many);
  const float* xy = stamped[0]->offsets()->constPointer();
  for (long i = 0; i < 2 * many; ++i) EXPECT_EQ(xy[i], std::round(xy[i])) << i;
  // Vector output keeps every marker as geometry.
  EXPECT_TRUE(all<KRDrawingRepeated>(draw(10, true)).empty());
}

struct ErrorTypeCase {
  const char* name;
  int type;
  double low, high;  // the bar around y = 10 with columns n = 1, p = 2
};

void PrintTo(const ErrorTypeCase& c, std::ostream* os) { *os << c.name; }

class PlotErrorTypes : public PlotMarkers, public ::testing::WithParamInterface<ErrorTypeCase> {};

TEST_P(PlotErrorTypes, GiveTheBarEndsAndWidenTheValueRange) {
  const auto& c = GetParam();
  use({2, 3}, {10, 5});
  plot->errorStyle()->setTag(kErrorStyleSmallBars);
  plot->errorYType()->setTag(c.type);
  plot->errorNegY()->selectColumn(column("n", texts({1, 1})));
  plot->errorPosY()->selectColumn(column("p", texts({2, 2})));
  const auto bars = plot->updateErrorBars();
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_DOUBLE_EQ(bars[0].yLow, c.low);
  EXPECT_DOUBLE_EQ(bars[0].yHigh, c.high);
  EXPECT_TRUE(std::isnan(bars[0].xLow) && std::isnan(bars[0].xHigh));
  const auto range = plot->valueRangeXLinear(true, true);
  EXPECT_DOUBLE_EQ(range.maxR, std::max(10.0, c.high));
  EXPECT_DOUBLE_EQ(range.minR, std::min({5.0, bars[1].yLow}));
  // On the page: one vertical bar through the point, from end to end.
  bool found = false;
  for (const auto& s : barSegments(draw()))
    if (s[0] == 20 && s[2] == 20)
      found = found || (std::fabs(std::min(s[1], s[3]) - float(10 * c.low)) < 1e-3 &&
                        std::fabs(std::max(s[1], s[3]) - float(10 * c.high)) < 1e-3);
  EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(Types, PlotErrorTypes,
                         ::testing::Values(ErrorTypeCase{"Symmetric", kErrorTypeSymmetric, 8, 12},
                                           ErrorTypeCase{"Separate", kErrorTypeSeparate, 9, 12},
                                           ErrorTypeCase{"Percent", kErrorTypePercent, 9.9, 10.2},
                                           ErrorTypeCase{"Bounds", kErrorTypeBounds, 1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotMarkers, XErrorsWidenTheDomainAndAskForAFloatAxis) {
  use({1, 2}, {1, 1});
  EXPECT_FALSE(plot->requiresXFloatAxis());
  plot->errorStyle()->setTag(kErrorStyleNoBars);
  plot->errorNegX()->selectColumn(column("ex", texts({0.5, 3})));
  EXPECT_TRUE(plot->requiresXFloatAxis());
  EXPECT_FALSE(plot->requiresYFloatAxis());
  EXPECT_EQ(plot->domainRangeXLinear(true, true), KRBoundingRange::between(-1, 5));
  // A logarithmic axis keeps only the ends it can show.
  EXPECT_EQ(plot->domainRangeXLinear(false, true), KRBoundingRange::between(0.5, 5));
  // "No Error" draws nothing and leaves the range alone.
  plot->errorStyle()->setTag(kErrorStyleNoError);
  EXPECT_EQ(plot->domainRangeXLinear(true, true), KRBoundingRange::between(1, 2));
  EXPECT_TRUE(barSegments(draw()).empty());
}

TEST_F(PlotMarkers, LineThenErrorBarsThenMarkersThenLabels) {
  use({1, 2, 3}, {1, 2, 3});
  plot->pointStyle()->setTag(kMarkerCircle);
  plot->labels()->selectColumn(column("label", texts({7, 8, 9})));
  yErrors("e", texts({0.5, 0.5, 0.5}));
  auto drawing = draw();
  // The kind of leaf each top-level object of the drawing holds, in order.
  std::vector<std::string> order;
  for (std::size_t k = 0; k < drawing->count(); ++k) {
    auto child = drawing->objectAtIndex(k);
    auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child);
    if (!group) group = KRDrawingGroup::createWithDrawingObject(child);
    const auto paths = all<KRDrawingPathFromObj>(group);
    if (std::any_of(paths.begin(), paths.end(), [](const auto& p) { return !isSegmentPath(*p); }))
      order.push_back("line");
    if (!barSegments(group).empty()) order.push_back("bars");
    if (!all<KRDrawingPathCircleCollection>(group).empty()) order.push_back("markers");
    if (!all<KRDrawingText>(group).empty()) order.push_back("labels");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"line", "bars", "markers", "labels"}));
}

TEST_F(PlotMarkers, ErrorColumnsOfTheWrongLengthOrWithoutNumbers) {
  use({1, 2, 3}, {1, kNaN, 3});
  // Shorter: the last point has no bar. The row with no y has no point, so
  // its error is not drawn either.
  yErrors("short", texts({1, 5}));
  auto bars = plot->updateErrorBars();
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_DOUBLE_EQ(bars[0].yHigh, 2);
  EXPECT_TRUE(std::isnan(bars[1].yLow) && std::isnan(bars[1].yHigh));
  EXPECT_EQ(plot->valueRangeXLinear(true, true), KRBoundingRange::between(0, 3));
  EXPECT_EQ(barSegments(draw()).size(), 3u);  // one bar and its two caps
  // Longer: rows past the data are not read. A NaN error draws no bar.
  yErrors("long", texts({kNaN, 5, 0.5, 100}));
  bars = plot->updateErrorBars();
  EXPECT_TRUE(std::isnan(bars[0].yHigh));
  EXPECT_DOUBLE_EQ(bars[1].yHigh, 3.5);
  EXPECT_EQ(plot->valueRangeXLinear(true, true), KRBoundingRange::between(1, 3.5));
  EXPECT_FALSE(plot->hasErrorExplanation());
  // A text column gives no bars and says why; numbers take the message back.
  yErrors("words", {"a", "b", "c"});
  draw();
  EXPECT_EQ(plot->errorExplanation(), std::optional<std::string>("The column \"words\" has no numbers."));
  EXPECT_TRUE(barSegments(draw()).empty());
  yErrors("ones", texts({1, 1, 1}));
  draw();
  EXPECT_FALSE(plot->hasErrorExplanation());
}

TEST_F(PlotMarkers, TheInlineLegendKeepsClearOfMarkersAndBars) {
  use({1, 2}, {1, 2});
  plot->objectWithName(plottext::kLegendPosition)
      ->setFromPropertyListRecordUndo(PropertyList(int(VKPlotCommand::kInlineAtEnd)));
  const auto legendAt = [&] {
    auto drawing = draw();
    auto found = all<KRDrawingText>(drawing);
    return found.empty() ? KRPoint{kNaN, kNaN} : found.back()->whereToDraw();
  };
  EXPECT_EQ(legendAt(), (KRPoint{24, 20}));
  // A marker of size 10 with a line of width 1 reaches 6 points beside the end.
  plot->pointStyle()->setTag(kMarkerSolidBox);
  plot->pointSize()->setText("10");
  EXPECT_EQ(legendAt(), (KRPoint{30, 20}));
  // An x error bar reaching to x = 3.5 (page 35) pushes it further.
  plot->errorStyle()->setTag(kErrorStyleNoBars);
  plot->errorPosX()->selectColumn(column("ex", texts({0, 1.5})));
  EXPECT_EQ(legendAt(), (KRPoint{39, 20}));
}

TEST_F(PlotMarkers, OffersTheScatterMenus) {
  const auto titles = [](const std::vector<VKMenuEntry>& entries) {
    std::vector<std::pair<int, std::string>> found;
    for (const auto& e : entries) found.emplace_back(e.tag, e.title);
    return found;
  };
  EXPECT_EQ(titles(plot->errorXType()->entries()), titles(VKErrorBars::typeMenu()));
  EXPECT_EQ(titles(plot->errorYType()->entries()), titles(VKErrorBars::typeMenu()));
  EXPECT_EQ(titles(plot->errorStyle()->entries()), titles(VKErrorBars::styleMenu()));
  // The scatter menu without its tags 28 to 34.
  auto scatter = titles(VKMarkers::pointMenu());
  std::erase_if(scatter, [](const auto& e) { return e.first >= 28 && e.first <= 34; });
  EXPECT_EQ(titles(plot->pointStyle()->entries()), scatter);
}

}  // namespace
}  // namespace orrelin
