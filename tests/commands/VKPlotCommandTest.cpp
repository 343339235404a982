#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands/DrawingLeaves.h"
#include "commands/PlotInGraph.h"
#include "commands/PlotTexts.h"
#include "commands/VKPlotCommand.h"
#include "commands/VKPointsCommand.h"
#include "axes/VKAxisSettings.h"
#include "graph/DataDocumentDrawing.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingText.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnString.h"

namespace orrelin {
namespace {

using testing_support::makeRecord;
using testing_support::TestCommandDocument;
using testing_support::texts;
using testing_support::TestGraph;

class PlotCommand : public testing_support::PlotInGraph {
 protected:
  // A column read from a data file, which may hold any double.
  std::shared_ptr<OrrelinColumn> numbers(const std::string& name, const std::vector<double>& values) {
    auto made = VKDataColumnBinary::createEmptyFor(document);
    made->setName(name);
    made->setNumbers(values, std::vector<std::uint8_t>(values.size(), 1));
    document->table->insertColumn(made, document->table->numberOfColumns());
    return made;
  }
  void use(const std::vector<std::string>& x, const std::vector<std::string>& y) {
    plot->setXColumn(column("x", x), column("y", y));
  }
  void set(const char* name, const PropertyList& value) {
    plot->objectWithName(name)->setFromPropertyListRecordUndo(value);
  }
  std::vector<std::vector<KRPoint>> runs() {
    plot->updateCacheXLinear(true, true);
    std::vector<std::vector<KRPoint>> result;
    const auto& cached = plot->cachedPlot();
    for (const auto& run : cached.runs()) {
      result.emplace_back();
      for (long i = run.start; i < run.start + run.length; ++i) result.back().push_back(cached.point(i));
    }
    return result;
  }
  // The line objects of a drawing (paths of loops or Bezier curves).
  static std::vector<std::shared_ptr<KRDrawingPath>> lines(const KRDrawingGroup& group) {
    std::vector<std::shared_ptr<KRDrawingPath>> found;
    for (std::size_t k = 0; k < group.count(); ++k) {
      auto child = group.objectAtIndex(k);
      if (auto path = std::dynamic_pointer_cast<KRDrawingPathFromObj>(child))
        found.push_back(path);
      else if (auto curve = std::dynamic_pointer_cast<KRDrawingCubicBezier>(child))
        found.push_back(curve);
    }
    return found;
  }
};

TEST_F(PlotCommand, NewCommandHasItsDefaultsAndTheFactoryMakesIt) {
  registerPlotCommandKind(VKCommandFactory::shared());
  auto made = VKCommandFactory::shared().createCommand("Plot");
  ASSERT_TRUE(std::dynamic_pointer_cast<VKPlotCommand>(made));
  const auto list = made->propertyList();
  EXPECT_EQ(list.find("Type")->string(), "Plot");
  EXPECT_EQ(list.find(plottext::kLabelsOffset)->string(), "2,0");
  EXPECT_EQ(list.find(plottext::kOffset)->string(), "0,0");
  EXPECT_EQ(list.find(plottext::kLegend)->string(), plottext::kDefaultLegend);
  EXPECT_EQ(list.find(plottext::kPointSize)->find("Text")->string(), "5");
  EXPECT_EQ(list.find(plottext::kConnections)->integer(), VKPlotCommand::kLine);
  EXPECT_FALSE(list.find(plottext::kBridgeGaps)->boolean());
  // Both commands draw error bars one pen width (0.5 points) wide unless told otherwise.
  EXPECT_EQ(list.find(plottext::kErrorBarSize)->find("Text")->string(), "0.5");
  registerPointsCommandKind(VKCommandFactory::shared());
  const auto scatter = VKCommandFactory::shared().createCommand("Scatter")->propertyList();
  EXPECT_EQ(*scatter.find(plottext::kErrorBarSize), *list.find(plottext::kErrorBarSize));
}

TEST_F(PlotCommand, StoredFormReadsBackTheSame) {
  MessageCapture messages;
  use({"1", "2"}, {"3", "4"});
  PlistDictionary changes{
      {plottext::kConnections, PropertyList(2)},      {plottext::kSplineType, PropertyList(2)},
      {plottext::kStepType, PropertyList(3)},         {plottext::kFillMethod, PropertyList(12)},
      {plottext::kBridgeGaps, PropertyList(true)},    {plottext::kOffset, PropertyList("1,2")},
      {plottext::kMask, PropertyList("x > 1")},       {plottext::kLegendPosition, PropertyList(2)},
      {plottext::kLabelsOffset, PropertyList("0,3")}, {plottext::kErrorStyle, PropertyList(7)},
  };
  auto stored = plot->propertyList();
  for (auto& [key, value] : changes) stored.dictionary()[key] = value;
  auto other = std::make_shared<VKPlotCommand>();
  other->finishConnections();
  other->fillFromPropertyList(stored);
  EXPECT_EQ(other->propertyList(), stored);
  EXPECT_EQ(other->connection(), VKPlotCommand::kSmooth);
  EXPECT_EQ(other->fillMethodTag(), VKPlotCommand::kToRight);
  EXPECT_TRUE(other->bridgesGaps());
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(PlotCommand, GapsBreakTheLineUnlessBridged) {
  const double nan = std::nan("");
  use(texts({1, 2, 3, 4, 5, 6}), texts({1, 2, nan, 4, 5, 6}));
  EXPECT_EQ(runs(), (std::vector<std::vector<KRPoint>>{{{1, 1}, {2, 2}}, {{4, 4}, {5, 5}, {6, 6}}}));
  set(plottext::kBridgeGaps, PropertyList(true));
  EXPECT_EQ(runs(), (std::vector<std::vector<KRPoint>>{{{1, 1}, {2, 2}, {4, 4}, {5, 5}, {6, 6}}}));
  EXPECT_EQ(plot->cachedRows(), (std::vector<long>{0, 1, 3, 4, 5}));
  EXPECT_EQ(plot->cachedPoints(), (std::vector<KRPoint>{{1, 1}, {2, 2}, {4, 4}, {5, 5}, {6, 6}}));
  // Without a gap every row is kept; with steps the points stay without the corners.
  use(texts({1, 2, 3}), texts({7, 8, 9}));
  set(plottext::kConnections, PropertyList(VKPlotCommand::kSteps));
  EXPECT_EQ(runs().front().size(), 5u);
  EXPECT_EQ(plot->cachedRows(), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(plot->cachedPoints(), (std::vector<KRPoint>{{1, 7}, {2, 8}, {3, 9}}));
}

TEST_F(PlotCommand, OffsetsMasksAndTheRowNumberColumn) {
  MessageCapture messages;
  auto y = column("y", texts({10, 20, 30, 40}));
  plot->setXColumn(document->table->rowNumberColumn(), y);
  plot->offset()->setText("0.5,-10");
  EXPECT_EQ(runs(), (std::vector<std::vector<KRPoint>>{{{1.5, 0}, {2.5, 10}, {3.5, 20}, {4.5, 30}}}));
  plot->mask()->setText("y != 20");
  EXPECT_EQ(runs(), (std::vector<std::vector<KRPoint>>{{{1.5, 0}}, {{3.5, 20}, {4.5, 30}}}));
  EXPECT_TRUE(messages.texts().empty());
  // A mask that cannot be worked out masks nothing and says so.
  plot->mask()->setText("nosuchname > 1");
  EXPECT_EQ(runs().front().size(), 4u);
  EXPECT_TRUE(messages.saw(plottext::kMaskFailed));
}

TEST_F(PlotCommand, MissingOrTextColumnsDrawNothingAndGiveInvalidRanges) {
  auto text = std::make_shared<VKPlotCommand>();
  text->finishConnections();
  EXPECT_TRUE(text->domainRangeXLinear(true, true).isInvalid());
  EXPECT_TRUE(text->valueRangeXLinear(true, true).isInvalid());
  KRDrawingInformation information;
  auto drawing = text->computeDrawingObjectForScale(*makeRecord(), information);
  ASSERT_TRUE(drawing);
  EXPECT_EQ(drawing->count(), 0u);
  // Columns of different lengths: the shorter one decides.
  use(texts({1, 2, 3}), texts({4, 5}));
  EXPECT_EQ(plot->domainRangeXLinear(true, true), KRBoundingRange::between(1, 2));
}

TEST_F(PlotCommand, InfinitiesAndAllMissingColumnsLeaveOnlyWhatCanBeDrawn) {
  const double inf = std::numeric_limits<double>::infinity();
  plot->setXColumn(numbers("x", {1, 2, 3, 4, 5}), numbers("y", {1, inf, 3, -inf, 5}));
  EXPECT_EQ(runs(), (std::vector<std::vector<KRPoint>>{{{1, 1}}, {{3, 3}}, {{5, 5}}}));
  SetUp();
  use({"1", "2"}, {"", ""});
  EXPECT_TRUE(runs().empty());
  EXPECT_TRUE(plot->valueRangeXLinear(true, true).isInvalid());
  KRDrawingInformation information;
  EXPECT_EQ(plot->computeDrawingObjectForScale(*makeRecord(), information)->count(), 0u);
  EXPECT_FALSE(plot->performHitTest({0, 0}, *makeRecord()));
}

TEST_F(PlotCommand, LogarithmicAxesDropNonPositiveValuesAndSmoothOnTheLogarithm) {
  use(texts({1, 2, 3, 4}), texts({1, 10, 0, 1000}));
  set(plottext::kConnections, PropertyList(2));
  plot->updateCacheXLinear(true, false);
  EXPECT_EQ(HowManySegments(plot->cachedPlot()), 2);
  const auto& spline = plot->cachedSplinePlot();
  EXPECT_DOUBLE_EQ(spline.y(2), std::log(10.0));
  EXPECT_EQ(spline.x(2), 2);
  // Linear again: the zero is back and the spline runs through the values.
  plot->updateCacheXLinear(true, true);
  EXPECT_EQ(HowManySegments(plot->cachedPlot()), 1);
  EXPECT_EQ(plot->cachedSplinePlot().y(3), 0);
}

TEST_F(PlotCommand, SmoothRangesReachTheSplineOvershoot) {
  use(texts({0, 1, 2, 3}), texts({0, 1, 1, 0}));
  EXPECT_EQ(plot->valueRangeXLinear(true, true), KRBoundingRange::between(0, 1));
  set(plottext::kConnections, PropertyList(2));
  EXPECT_NEAR(plot->valueRangeXLinear(true, true).maxR, 1.15, 1e-12);
  EXPECT_EQ(plot->domainRangeXLinear(true, true), KRBoundingRange::between(0, 3));
}

TEST_F(PlotCommand, TheLineIsDrawnThroughTheRecord) {
  use(texts({1, 2, 5}), texts({1, 4, 2}));
  KRDrawingInformation information;
  auto record = makeRecord(10);
  auto drawing = plot->computeDrawingObjectForScale(*record, information);
  EXPECT_EQ(drawing->descriptionString(), std::optional<std::string>("Plot"));
  auto found = lines(*drawing);
  ASSERT_EQ(found.size(), 1u);
  auto path = std::dynamic_pointer_cast<KRDrawingPathFromObj>(found[0])->thePath();
  ASSERT_EQ(path->numberOfPoints(), 3);
  EXPECT_EQ(path->point(1), (KRPoint{20, 40}));
  EXPECT_EQ(path->point(2), (KRPoint{50, 20}));
  EXPECT_FALSE(plot->hasErrorExplanation());
}

TEST_F(PlotCommand, ManyPointsInFewRunsAreDrawnOneObjectPerRun) {
  struct Case {
    long runs;
    long points;
    std::size_t objects;
  };
  for (const Case each : {Case{19, 10001, 19}, Case{20, 10001, 1}, Case{19, 10000, 1}, Case{1, 20000, 1}}) {
    std::vector<std::string> xs, ys;
    const long perRun = each.points / each.runs;
    long made = 0;
    for (long r = 0; r < each.runs; ++r) {
      const long count = r + 1 == each.runs ? each.points - made : perRun;
      for (long i = 0; i < count; ++i, ++made) {
        xs.push_back(std::to_string(made));
        ys.push_back(std::to_string(std::sin(made * 0.7)));
      }
      if (r + 1 < each.runs) {
        xs.push_back(std::to_string(made));
        ys.push_back("");
      }
    }
    SetUp();
    use(xs, ys);
    plot->updateCacheXLinear(true, true);
    ASSERT_EQ(HowManySegments(plot->cachedPlot()), each.runs);
    ASSERT_EQ(HowManyPoints(plot->cachedPlot()), each.points);
    KRDrawingInformation information;
    auto drawing = plot->computeDrawingObjectForScale(*makeRecord(0.01), information);
    EXPECT_EQ(lines(*drawing).size(), each.objects) << each.runs << " runs, " << each.points << " points";
  }
}

TEST_F(PlotCommand, NothingToDrawIsExplained) {
  use(texts({1, 2}), texts({1, 2}));
  plot->lineStyle()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Tag", PropertyList(1)}}));
  KRDrawingInformation information;
  plot->computeDrawingObjectForScale(*makeRecord(), information);
  EXPECT_EQ(plot->errorExplanation(), std::optional<std::string>(plottext::kNothingDrawn));
  plot->fillType()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(2)}}));
  plot->computeDrawingObjectForScale(*makeRecord(), information);
  EXPECT_FALSE(plot->hasErrorExplanation());
}

TEST_F(PlotCommand, FillsCloseToTheirReferenceAndBetweenColumns) {
  MessageCapture messages;
  use(texts({0, 1, 3, 4}), texts({0, 2, -2, 0}));
  auto record = makeRecord(10);
  record->setYLinearShift(5, 10);  // y = 0 lands at 50 on the page
  plot->fillType()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(2)}}));
  auto loops = plot->fillLoopsForScale(*record);
  ASSERT_TRUE(loops);
  EXPECT_EQ(loops->size(), 2u);
  set(plottext::kFillMethod, PropertyList(int(VKPlotCommand::kAboveZeroY)));
  loops = plot->fillLoopsForScale(*record);
  ASSERT_EQ(loops->size(), 1u);
  for (const auto& p : loops->front()) EXPECT_GE(p.y, 50);
  // Between columns without the second column cannot be closed.
  set(plottext::kFillMethod, PropertyList(int(VKPlotCommand::kBetweenY)));
  EXPECT_FALSE(plot->fillLoopsForScale(*record));
  EXPECT_TRUE(messages.saw(plottext::kSplitFailed));
  plot->betweenY()->selectColumn(column("low", texts({-3, -3, -3, -3})));
  loops = plot->fillLoopsForScale(*record);
  ASSERT_TRUE(loops);
  ASSERT_EQ(loops->size(), 1u);
  EXPECT_EQ(loops->front().size(), 9u);
}

// The second curve of a fill between columns: its gaps, its own x column,
// what a logarithmic axis cannot show, and a change of its column.
TEST_F(PlotCommand, TheSecondCurveOfAFillIsReadOnceUntilItsColumnChanges) {
  const double nan = std::nan("");
  use(texts({1, 2, 3, 4}), texts({5, 6, 7, 8}));
  auto low = column("low", texts({1, nan, -3, 4}));
  plot->betweenY()->selectColumn(low);
  const auto runsOf = [](const Plot1D& curve) {
    std::vector<std::vector<KRPoint>> result;
    for (const auto& run : curve.runs()) {
      result.emplace_back();
      for (long i = run.start; i < run.start + run.length; ++i) result.back().push_back(curve.point(i));
    }
    return result;
  };
  using Runs = std::vector<std::vector<KRPoint>>;
  EXPECT_EQ(runsOf(plot->updateFillBetweenXLinear(true, true)), (Runs{{{1, 1}}, {{3, -3}, {4, 4}}}));
  EXPECT_EQ(plot->fillBetweenRange(), KRBoundingRange::between(-3, 4));
  // A logarithmic y axis cannot show -3.
  EXPECT_EQ(runsOf(plot->updateFillBetweenXLinear(true, false)), (Runs{{{1, 1}}, {{4, 4}}}));
  set(plottext::kBridgeGaps, PropertyList(true));
  EXPECT_EQ(runsOf(plot->updateFillBetweenXLinear(true, true)), (Runs{{{1, 1}, {3, -3}, {4, 4}}}));
  plot->betweenX()->selectColumn(column("x2", texts({10, 20, 30, 40})));
  EXPECT_EQ(runsOf(plot->updateFillBetweenXLinear(true, true)), (Runs{{{10, 1}, {30, -3}, {40, 4}}}));
  low->setStringList(texts({2, 2}));
  EXPECT_EQ(runsOf(plot->updateFillBetweenXLinear(true, true)), (Runs{{{10, 2}, {20, 2}}}));
  EXPECT_EQ(plot->fillBetweenRange(), KRBoundingRange::between(2, 2));
}

TEST_F(PlotCommand, SmoothFillsSplitExactlyWhereTheSplineCrossesTheReference) {
  use(texts({0, 1, 2, 3}), texts({1, -1, 1, -1}));
  set(plottext::kConnections, PropertyList(2));
  plot->fillType()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(2)}}));
  auto record = makeRecord(10);
  record->setYLinearShift(5, 10);
  auto loops = plot->fillLoopsForScale(*record);
  ASSERT_TRUE(loops);
  // Symmetric data: three crossings, four lobes, alternating sides.
  ASSERT_EQ(loops->size(), 4u);
  for (std::size_t k = 0; k < loops->size(); ++k) {
    bool sawAbove = false, sawBelow = false;
    for (const auto& p : (*loops)[k]) {
      sawAbove = sawAbove || p.y > 50 + 1e-9;
      sawBelow = sawBelow || p.y < 50 - 1e-9;
    }
    EXPECT_NE(sawAbove, sawBelow) << k;
  }
  // The middle crossing lies at x = 1.5 by symmetry.
  bool middle = false;
  for (const auto& p : (*loops)[1]) middle = middle || (std::fabs(p.x - 15) < 1e-9 && std::fabs(p.y - 50) < 1e-9);
  EXPECT_TRUE(middle);
}

TEST_F(PlotCommand, HitTestsFindPointsAndTheLine) {
  use(texts({1, 2, 3}), texts({1, 2, 1}));
  auto record = makeRecord(10);
  auto onPoint = plot->performHitTest({20.5, 21}, *record);
  ASSERT_TRUE(onPoint);
  EXPECT_TRUE(onPoint->count("Hits a Point"));
  EXPECT_EQ(onPoint->at("Row Index").integer(), 1);
  EXPECT_EQ(onPoint->at("Closest X").real(), 2);
  auto onLine = plot->performHitTest({15, 16}, *record);
  ASSERT_TRUE(onLine);
  EXPECT_TRUE(onLine->count("Hits a Line"));
  EXPECT_TRUE(onLine->at("Points Hit").array().empty());
  EXPECT_FALSE(plot->performHitTest({15, 30}, *record));
}

TEST_F(PlotCommand, LabelsSitBesideTheirPointsAndTheInlineLegendBeyondTheEnd) {
  use(texts({1, 2, 30}), texts({1, 2, 3}));
  plot->labels()->selectColumn(column("n", texts({10, 20, 30})));
  set(plottext::kLabelsOffset, PropertyList("3,-1"));
  auto labels = plot->labelsForScale(*makeRecord(10));
  // The third point lies outside the 100 x 100 region: no label.
  ASSERT_EQ(labels->count(), 2u);
  auto second = std::dynamic_pointer_cast<KRDrawingText>(labels->objectAtIndex(1));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->whereToDraw(), (KRPoint{23, 19}));
  EXPECT_EQ(second->whichString(), "20");

  SetUp();
  use(texts({1, 2}), texts({1, 2}));
  set(plottext::kLegendPosition, PropertyList(int(VKPlotCommand::kInlineAtEnd)));
  set(plottext::kLegend, PropertyList("<Label>Y Label</Label> against <Label>X Label</Label>"));
  EXPECT_EQ(plot->legendText(), "y against x");
  EXPECT_FALSE(plot->partOfLegend());
  KRDrawingInformation information;
  auto drawing = plot->computeDrawingObjectForScale(*makeRecord(10), information);
  std::shared_ptr<KRDrawingText> legend;
  for (std::size_t k = 0; k < drawing->count(); ++k)
    if (auto text = std::dynamic_pointer_cast<KRDrawingText>(drawing->objectAtIndex(k))) legend = text;
  ASSERT_TRUE(legend);
  EXPECT_EQ(legend->whichString(), "y against x");
  EXPECT_EQ(legend->whereToDraw(), (KRPoint{24, 20}));
}

TEST_F(PlotCommand, LabelTextsComeFromTheirRowsAndAreEmptyWhereThereIsNone) {
  use(texts({1, 2, 3}), texts({1, 2, 3}));
  EXPECT_EQ(plot->labelsFor({0, 1}), (std::vector<std::string>{"", ""}));
  plot->labels()->selectColumn(column("n", texts({1.5, std::nan(""), 3})));
  EXPECT_EQ(plot->labelsFor({2, 1, 0, 3, -1}), (std::vector<std::string>{"3", "", "1.5", "", ""}));
  auto names = VKDataColumnString::createEmptyFor(document);
  names->setName("names");
  names->setStringList({"a", "", "c"});
  document->table->insertColumn(names, document->table->numberOfColumns());
  plot->labels()->selectColumn(names);
  EXPECT_EQ(plot->labelsFor({0, 1, 2}), (std::vector<std::string>{"a", "", "c"}));
}

TEST_F(PlotCommand, ValueAtALocationFollowsTheCurveAsDrawn) {
  use(texts({0, 1, 2, 3}), texts({0, 1, 0, 1}));
  struct Case {
    int connection;
    double x;
    std::optional<double> y;
  };
  const Case cases[] = {
      {VKPlotCommand::kLine, 0.5, 0.5},   {VKPlotCommand::kLine, 2.25, 0.25},
      {VKPlotCommand::kLine, 4, std::nullopt},
      {VKPlotCommand::kSteps, 1.5, 1},    // across at the old height first
      {VKPlotCommand::kSmooth, 1, 1},     {VKPlotCommand::kSmooth, 0.5, 0.75},  // -4 (x^3)/6 + (1 + 4/6) x at 0.5
  };
  for (const auto& each : cases) {
    set(plottext::kConnections, PropertyList(each.connection));
    const auto y = plot->plotValueAtXLocation(each.x);
    ASSERT_EQ(y.has_value(), each.y.has_value()) << each.connection << " " << each.x;
    if (y) {
      EXPECT_NEAR(*y, *each.y, 1e-12) << each.connection << " " << each.x;
    }
  }
}

// The markers' points: every run's points without the headers, and on the
// page those landing inside the crop rectangle (all for the null one).
TEST(PlotConvertToPoints, DropHeadersThenMapAndCrop) {
  const Plot1D plot = Plot1D::fromRuns({{{1, 2}, {3, 4}}, {{5, 6}}, {{-1, 20}}});
  const std::vector<KRPoint> points = VKPlotCommand::convertToPoints(plot);
  EXPECT_EQ(points, (std::vector<KRPoint>{{1, 2}, {3, 4}, {5, 6}, {-1, 20}}));
  EXPECT_TRUE(VKPlotCommand::convertToPoints(Plot1D()).empty());

  const auto record = makeRecord(10);  // page = 10 * value
  EXPECT_EQ(VKPlotCommand::convertToPoints(points, KRRect(0, 0, 100, 100), *record),
            (std::vector<KRPoint>{{10, 20}, {30, 40}, {50, 60}}));
  // The edges belong to the rectangle.
  EXPECT_EQ(VKPlotCommand::convertToPoints(points, KRRect(30, 40, 20, 20), *record),
            (std::vector<KRPoint>{{30, 40}, {50, 60}}));
  EXPECT_EQ(VKPlotCommand::convertToPoints(points, KRRect(), *record).size(), 4u);
}

TEST_F(PlotCommand, ChangingAColumnDropsTheCache) {
  auto y = column("y", texts({1, 2, 3}));
  plot->setXColumn(document->table->rowNumberColumn(), y);
  EXPECT_EQ(plot->valueRangeXLinear(true, true), KRBoundingRange::between(1, 3));
  y->setStringList(texts({5, 6, 9}));
  EXPECT_TRUE(plot->somethingChanged());
  EXPECT_EQ(plot->valueRangeXLinear(true, true), KRBoundingRange::between(5, 9));
}

}  // namespace
}  // namespace orrelin

namespace orrelin {
namespace {

// A graph with two y axes: a plot on the first whose fill reaches down to
// the column "low", and a curve far above on the second axis ("high"),
// which gives that axis another scale.
struct TwoAxisFill {
  std::shared_ptr<TestCommandDocument> document = TestCommandDocument::create();
  std::shared_ptr<DataDocumentDrawing> graph = DataDocumentDrawing::create();
  std::shared_ptr<VKPlotCommand> plot = std::make_shared<VKPlotCommand>();
  std::shared_ptr<OrrelinColumn> high;

  explicit TwoAxisFill(const std::vector<std::string>& low) {
    registerAxisCommandKinds(VKCommandFactory::shared());
    document->addGraph(graph);
    graph->addCommand(VKCommandFactory::shared().createCommand("Y Axis"));
    const auto x = document->addColumn("x", {"0", "1", "2"});
    plot->finishConnections();
    graph->addCommand(plot);
    plot->setXColumn(x, document->addColumn("y", {"2", "3", "2"}));
    plot->fillType()->setFromPropertyListRecordUndo(PropertyList(PlistDictionary{{"Kind", PropertyList(2)}}));
    plot->fillMethod()->setTag(VKPlotCommand::kBetweenY);
    plot->betweenY()->selectColumn(document->addColumn("low", low));
    const auto other = std::make_shared<VKPlotCommand>();
    other->finishConnections();
    graph->addCommand(other);
    other->moveToXAxis(0, 1);
    high = document->addColumn("high", {"100", "300", "200"});
    other->setXColumn(x, high);
  }
};

// "Between Which Axis": the second curve of a fill between columns is placed
// by the y axis it names, in a graph laid out with two y axes.
TEST(PlotBetweenAxis, TheSecondCurveFollowsTheChosenYAxis) {
  TwoAxisFill setUp({"1", "1", "1"});
  const auto& graph = setUp.graph;
  const auto& plot = setUp.plot;
  ASSERT_TRUE(graph->createGraphic({400, 300}, 1, false, {}, KRRect()));
  const auto& infos = graph->drawingInfos();
  ASSERT_EQ(infos.size(), 1u);
  ASSERT_EQ(infos[0].size(), 2u);
  const KR1DPlotDrawingInfo& own = *infos[0][0];
  const KR1DPlotDrawingInfo& second = *infos[0][1];
  ASSERT_NE(own.transformY(1), second.transformY(1));

  // The fill reaches down to where the "low" values land on the chosen axis.
  const auto reaches = [&](double pageY) {
    auto loops = plot->fillLoopsForScale(own);
    int count = 0;
    if (loops)
      for (const auto& loop : *loops)
        for (const auto& p : loop) count += std::fabs(p.y - pageY) < 1e-9;
    return count;
  };
  EXPECT_EQ(reaches(own.transformY(1)), 3);
  EXPECT_EQ(reaches(second.transformY(1)), 0);
  plot->betweenYAxis()->setTag(2);
  EXPECT_EQ(reaches(second.transformY(1)), 3);
  EXPECT_EQ(reaches(own.transformY(1)), 0);
  plot->betweenYAxis()->setTag(1);
  EXPECT_EQ(reaches(own.transformY(1)), 3);
  // A y axis the graph does not have falls back to the command's own.
  plot->betweenYAxis()->setTag(4);
  EXPECT_EQ(reaches(own.transformY(1)), 3);
}

// The drawing kept for the plot's own axes is made again when only the y
// axis the fill reaches to changes its range.
TEST(PlotBetweenAxis, TheFillMovesWhenOnlyTheOtherYAxisChanges) {
  TwoAxisFill setUp({"150", "150", "150"});
  const auto& graph = setUp.graph;
  const auto& plot = setUp.plot;
  const auto& high = setUp.high;
  plot->betweenYAxis()->setTag(2);

  // The page y where the fill meets the "low" curve, and that of 150 on the
  // second axis, after laying the graph out; the records of the plot's own
  // axes are kept.
  std::vector<KR1DPlotDrawingInfo> ownRecords;
  const auto draw = [&] {
    EXPECT_TRUE(graph->createGraphic({400, 300}, 1, false, {}, KRRect()));
    const auto& infos = graph->drawingInfos();
    KRDrawingInformation information;
    const auto drawing = plot->drawingObjectForScale(infos[0][0], 1, information);
    std::vector<double> edges;
    for (const auto& path : testing_support::all<KRDrawingPathFromObj>(drawing)) {
      if (!path->fillCurve()) continue;
      const KRRect r = path->boundingRectangle().standardized();
      edges = {r.minY(), r.maxY()};
    }
    ownRecords.push_back(*infos[0][0]);
    return std::make_pair(edges, infos[0][1]->transformY(150));
  };
  const auto [before, lowBefore] = draw();
  ASSERT_EQ(before.size(), 2u);
  EXPECT_TRUE(std::fabs(before[0] - lowBefore) < 1e-6 || std::fabs(before[1] - lowBefore) < 1e-6);

  // Tick labels as wide as before, so the graph region stays as it was.
  high->setStringList({"100", "500", "200"});
  const auto [after, lowAfter] = draw();
  ASSERT_NE(lowAfter, lowBefore);
  ASSERT_TRUE(ownRecords[0].sameScalingInformation(ownRecords[1]));
  ASSERT_EQ(after.size(), 2u);
  EXPECT_TRUE(std::fabs(after[0] - lowAfter) < 1e-6 || std::fabs(after[1] - lowAfter) < 1e-6)
      << after[0] << " " << after[1] << " " << lowAfter;
}

}  // namespace
}  // namespace orrelin
