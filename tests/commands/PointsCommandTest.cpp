#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "commands/VKPointsCommand.h"
#include "commands/DrawingLeaves.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingText.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"
#include "table/VKDataColumnString.h"

namespace orrelin {
namespace {

using testing_support::makeRecord;
using testing_support::all;
using testing_support::barSegments;
using testing_support::isSegmentPath;
using testing_support::TestCommandDocument;
using testing_support::TestGraph;

// A document with one graph holding one points command.
struct Scatter {
  Scatter() {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    command = std::make_shared<VKPointsCommand>();
    command->finishConnections();
    graph->addCommand(command);
    command->establishDependencyConnections();
  }
  std::shared_ptr<OrrelinColumn> numbers(const std::string& name, const std::vector<std::string>& cells) {
    return document->addColumn(name, cells);
  }
  std::shared_ptr<OrrelinColumn> texts(const std::string& name, const std::vector<std::string>& cells) {
    auto column = VKDataColumnString::createEmptyFor(document);
    column->setName(name);
    column->setStringList(cells);
    document->table->insertColumn(column, document->table->numberOfColumns());
    return column;
  }
  void xy(const std::vector<std::string>& x, const std::vector<std::string>& y) {
    command->xColumn()->selectColumn(numbers("x", x));
    command->yColumn()->selectColumn(numbers("y", y));
  }
  std::vector<long> rows() { return command->rowsIncluded(); }
  std::shared_ptr<KRDrawingGroup> draw(const std::shared_ptr<KR1DPlotDrawingInfo>& record = makeRecord()) {
    KRDrawingInformation information;
    return command->drawingObjectForScale(record, 1, information);
  }

  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<VKPointsCommand> command;
};

// The outline circles (not filled) of a drawing.
std::vector<std::shared_ptr<KRDrawingPathCircleCollection>> outlines(const std::shared_ptr<KRDrawingGroup>& group) {
  std::vector<std::shared_ptr<KRDrawingPathCircleCollection>> found;
  for (auto& c : all<KRDrawingPathCircleCollection>(group))
    if (!c->isFilled()) found.push_back(c);
  return found;
}

// The legend names the columns drawn, as the graph's group for the command.
TEST(PointsCommand, TheLegendNamesTheColumnsDrawn) {
  Scatter s;
  s.xy({"1", "2"}, {"3", "4"});
  EXPECT_EQ(s.command->legendName(), "y vs x");
}

TEST(PointsCommand, StartsWithTheDocumentedDefaults) {
  Scatter s;
  const auto& c = *s.command;
  EXPECT_EQ(c.type(), "Scatter");
  EXPECT_EQ(c.defaultX()->text(), "1");
  EXPECT_EQ(c.defaultY()->text(), "1");
  EXPECT_EQ(c.pointSize()->text(), "5");
  EXPECT_EQ(c.pointSizeScale()->text(), "1");
  EXPECT_EQ(c.labelsOffset()->text(), "2,0");
  EXPECT_EQ(c.legend()->text(), "<Label>Y Label</Label> vs <Label>X Label</Label>");
  EXPECT_EQ(c.pointStyle()->tag(), kMarkerCircle);
  EXPECT_DOUBLE_EQ(c.pointSizeValue(), 5);
  EXPECT_DOUBLE_EQ(c.theLineWidth(), 0.5);
  EXPECT_FALSE(c.variesSize() || c.variesColor() || c.usesMask() || c.drawsErrorBars());
}

TEST(PointsCommand, StoredFormReadsBackWithEverySettingKept) {
  MessageCapture messages;
  auto& factory = VKCommandFactory::shared();
  registerPointsCommandKind(factory);
  auto made = std::dynamic_pointer_cast<VKPointsCommand>(factory.createCommand("Scatter"));
  ASSERT_TRUE(made);
  made->pointStyle()->setTag(kMarkerFilledStar);
  made->pointSize()->setText("2*3");
  made->errorStyle()->setTag(kErrorStyleWideBars);
  made->errorYType()->setTag(kErrorTypeBounds);
  made->pointSizeType()->setTag(VKPointsCommand::kSizeArea);
  made->labelRotation()->setTag(VKPointsCommand::kLabelUp);
  made->labelsOffset()->setText("0,4");
  made->colorScheme()->setSchemeName("warm");
  made->markerScheme()->setSchemeName("shapes");
  made->mask()->setText("y>2");
  made->pointColor()->setColor(KRColor::rgb(1, 0, 0));
  PropertyList stored = made->propertyList();
  for (const char* key : {"X", "Default X", "Y", "Default Y", "Point Style", "Point Size", "Point Color", "Legend",
                          "Error Style", "Error Color", "Error Bar Size", "Negative X Error", "Positive X Error",
                          "Negative Y Error", "Positive Y Error", "X Error Type", "Y Error Type",
                          "Point Size Scale", "Point Size Column", "Point Size Type", "Label Formatter", "Labels",
                          "Labels Offset", "Labels Rotation", "Label Font", "Point Line Width", "Point Fill Color",
                          "Point Color Variable", "Point Color Scheme", "Fill Color Variable", "Fill Color Scheme",
                          "Point Style Variable", "Point Marker Scheme", "Mask"})
    EXPECT_TRUE(stored.find(key)) << key;

  auto read = std::dynamic_pointer_cast<VKPointsCommand>(factory.createFromPropertyList(stored));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->propertyList(), stored);
  EXPECT_EQ(read->pointStyle()->tag(), kMarkerFilledStar);
  EXPECT_DOUBLE_EQ(read->pointSizeValue(), 6);
  EXPECT_EQ(read->colorScheme()->schemeName(), "warm");
  EXPECT_EQ(read->mask()->text(), "y>2");
  EXPECT_TRUE(messages.texts().empty());
}

struct SizeCase {
  const char* typed;
  double size;
  double lineWidth;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << '"' << c.typed << '"'; }

class PointSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PointSizes, AreKeptInTheirLimits) {
  Scatter s;
  s.command->pointSize()->setText(GetParam().typed);
  s.command->lineWidth()->setText(GetParam().typed);
  EXPECT_DOUBLE_EQ(s.command->pointSizeValue(), GetParam().size);
  EXPECT_DOUBLE_EQ(s.command->theLineWidth(), GetParam().lineWidth);
}

INSTANTIATE_TEST_SUITE_P(Limits, PointSizes,
                         ::testing::Values(SizeCase{"", 5, 0.5}, SizeCase{"0", 4, 0}, SizeCase{"1000", 300, 300},
                                           SizeCase{"1/0", 4, 0.5}, SizeCase{"-2", -2, 0.5},
                                           SizeCase{"7", 7, 7}, SizeCase{"nothing", 4, 0.5}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(PointsCommand, WithoutAnXColumnEveryRowTakesTheDefault) {
  Scatter s;
  s.command->yColumn()->selectColumn(s.numbers("y", {"1", "2", "3"}));
  s.command->defaultX()->setText("3");
  auto range = s.command->domainRangeXLinear(true, true);
  EXPECT_EQ(range, KRBoundingRange::between(3, 3));
  ASSERT_EQ(s.command->cachedPoints().size(), 3u);
  for (const auto& p : s.command->cachedPoints()) EXPECT_EQ(p.x, 3);
  // Neither column and no number for the default: nothing.
  s.command->yColumn()->clearSelection();
  s.command->defaultX()->setText("a b");
  EXPECT_TRUE(s.command->domainRangeXLinear(true, true).isInvalid());
  EXPECT_TRUE(s.command->rowsIncluded().empty());
}

TEST(PointsCommand, RowsWithoutANumberGetNoMarkerAndNoLabel) {
  Scatter s;
  s.xy({"1", "2", "3", "4", "5"}, {"1", "", "3", "inf", "-inf"});
  s.command->labels()->selectColumn(s.texts("names", {"a", "b", "c", "d", "e"}));
  EXPECT_EQ(s.rows(), (std::vector<long>{0, 2}));
  auto drawing = s.draw();
  auto circles = outlines(drawing);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0]->count(), 2);
  auto labels = all<KRDrawingText>(drawing);
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0]->whichString(), "a");
  EXPECT_EQ(labels[1]->whichString(), "c");
  // Beside the point by the offset: x = 1 maps to 10, plus 2 points.
  EXPECT_DOUBLE_EQ(labels[0]->whereToDraw().x, 12);
}

TEST(PointsCommand, NumberLabelsGoThroughTheFormatter) {
  Scatter s;
  s.xy({"1", "2"}, {"1", "2"});
  s.command->labels()->selectColumn(s.numbers("v", {"0.5", "1234.5"}));
  auto labels = all<KRDrawingText>(s.draw());
  ASSERT_EQ(labels.size(), 2u);
  KRNumberFormatter formatter = s.command->labelFormatter()->formatter();
  EXPECT_EQ(labels[0]->whichString(), formatter.convertNumber(0.5));
  EXPECT_EQ(labels[1]->whichString(), formatter.convertNumber(1234.5));

  s.command->labelRotation()->setTag(VKPointsCommand::kLabelUp);
  s.command->labelsOffset()->setText("0,5");
  labels = all<KRDrawingText>(s.draw());
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_DOUBLE_EQ(labels[0]->rotation(), 90);
  EXPECT_DOUBLE_EQ(labels[0]->whereToDraw().y, 15);
}

TEST(PointsCommand, TheMaskDropsRowsAndAFailedMaskDropsNone) {
  Scatter s;
  s.xy({"1", "2", "3", "4"}, {"4", "3", "2", "1"});
  s.command->mask()->setText("y>2");
  EXPECT_EQ(s.rows(), (std::vector<long>{0, 1}));
  s.draw();
  EXPECT_FALSE(s.command->hasErrorExplanation());
  s.command->mask()->setText("y>(");
  EXPECT_EQ(s.rows(), (std::vector<long>{0, 1, 2, 3}));
  s.draw();
  EXPECT_EQ(s.command->errorExplanation(), std::optional<std::string>("Mask could not be computed."));
}

TEST(PointsCommand, ColumnsOfDifferentLengthsGiveTheRowsBothHave) {
  Scatter s;
  s.xy({"1", "2", "3", "4", "5"}, {"1", "2", "3"});
  EXPECT_EQ(s.rows(), (std::vector<long>{0, 1, 2}));
}

TEST(PointsCommand, ColumnsWithoutNumbersExplainWhyNothingIsDrawn) {
  Scatter s;
  s.xy({"", "nan", ""}, {"1", "2", "3"});
  EXPECT_TRUE(s.command->domainRangeXLinear(true, true).isInvalid());
  auto drawing = s.draw();
  EXPECT_TRUE(all<KRDrawingBasic>(drawing).empty());
  EXPECT_EQ(s.command->errorExplanation(), std::optional<std::string>("The column \"x\" has no numbers."));
}

TEST(PointsCommand, ATextColumnWhereNumbersAreExpectedDrawsNothing) {
  Scatter s;
  s.texts("words", {"a", "b"});
  s.command->yColumn()->selectColumn(s.numbers("y", {"1", "2"}));
  s.command->xColumn()->setFromPropertyList(nullptr);
  PropertyList byName("words");
  s.command->xColumn()->setFromPropertyList(&byName);
  s.command->establishDependencyConnections();
  EXPECT_TRUE(s.rows().empty());
  s.draw();
  EXPECT_TRUE(s.command->hasErrorExplanation());
}

TEST(PointsCommand, ErrorBarsWidenTheRangesWhileTheyAreDrawn) {
  Scatter s;
  s.xy({"1", "2", "3"}, {"1", "2", "3"});
  s.command->errorPosY()->selectColumn(s.numbers("e", {"0.5", "0.5", "2", "100"}));
  EXPECT_EQ(s.command->valueRangeXLinear(true, true), KRBoundingRange::between(0.5, 5));
  EXPECT_EQ(s.command->domainRangeXLinear(true, true), KRBoundingRange::between(1, 3));
  EXPECT_FALSE(s.command->requiresXFloatAxis());
  s.command->errorNegX()->selectColumn(s.numbers("ex", {"1"}));
  EXPECT_EQ(s.command->domainRangeXLinear(true, true), KRBoundingRange::between(0, 3));
  EXPECT_TRUE(s.command->requiresXFloatAxis());
  // Three y bars and one x bar, each with two caps.
  EXPECT_EQ(barSegments(s.draw()).size(), 4u * 3);
  s.command->errorStyle()->setTag(kErrorStyleNoError);
  EXPECT_EQ(s.command->valueRangeXLinear(true, true), KRBoundingRange::between(1, 3));
  EXPECT_TRUE(barSegments(s.draw()).empty());
}

TEST(PointsCommand, LogarithmicAxesLeaveOutValuesThatHaveNoPlace) {
  Scatter s;
  s.xy({"-1", "0", "2", "8"}, {"1", "1", "1", "1"});
  EXPECT_EQ(s.command->domainRangeXLinear(false, true), KRBoundingRange::between(2, 8));
  EXPECT_EQ(s.command->domainRangeXLinear(true, true), KRBoundingRange::between(-1, 8));
}

TEST(PointsCommand, ErrorBarEndsALogarithmicAxisCannotShowAreLeftOut) {
  Scatter s;
  s.xy({"5"}, {"1"});
  s.command->errorPosY()->selectColumn(s.numbers("e", {"2"}));  // from -1 to 3
  auto record = makeRecord();
  record->setYLogarithmicShift(50, 10);
  const double center = record->transformY(1), top = record->transformY(3);
  auto bars = s.command->computeErrorBars(*record, KRRect());
  ASSERT_TRUE(bars);
  const KRRect drawn = bars->boundingRectangle();
  // The upper half is drawn; the lower one, down to -1, is not drawn to the axis's edge.
  EXPECT_GT(drawn.maxY(), top - 1);
  EXPECT_GT(drawn.minY(), center - 1);
  // On a linear axis the same bar reaches down to -1.
  record->setYLinearShift(0, 10);
  bars = s.command->computeErrorBars(*record, KRRect());
  ASSERT_TRUE(bars);
  EXPECT_LT(bars->boundingRectangle().minY(), record->transformY(-1) + 1);
}

TEST(PointsCommand, SizeColumnSetsEachMarkerByItsType) {
  Scatter s;
  s.xy({"1", "2", "3", "4"}, {"1", "1", "1", "1"});
  s.command->pointSizeColumn()->selectColumn(s.numbers("size", {"2", "8", "-1", "1e12"}));
  s.command->pointSizeScale()->setText("2");
  auto radii = [&] {
    std::vector<float> found;
    auto circles = outlines(s.draw());
    if (circles.empty()) return found;
    for (long i = 0; i < circles[0]->count(); ++i) found.push_back(circles[0]->centersAndRadius()->constPointer()[3 * i + 2]);
    return found;
  };
  EXPECT_EQ(radii(), (std::vector<float>{2, 8, 40}));
  s.command->pointSizeType()->setTag(VKPointsCommand::kSizeRadius);
  EXPECT_EQ(radii(), (std::vector<float>{4, 16, 40}));
  s.command->pointSizeType()->setTag(VKPointsCommand::kSizeArea);
  EXPECT_EQ(radii(), (std::vector<float>{std::sqrt(2.0f), 2 * std::sqrt(2.0f), 40}));
  // A scale that is not a number falls back to the fixed size.
  s.command->pointSizeScale()->setText("nothing");
  EXPECT_EQ(radii(), (std::vector<float>{2.5, 2.5, 2.5, 2.5}));
}

TEST(PointsCommand, AColourSchemeOnATextColumnGivesEachValueItsColour) {
  Scatter s;
  s.xy({"1", "2", "3", "4"}, {"1", "2", "3", "4"});
  auto scheme = s.document->data->definitions().addColorScheme("fruit");
  scheme->addLine({"apple", "", "", "Apple", {1, 0, 0, 1}});
  scheme->addLine({"", "", "b*", "B", {0, 0, 1, 1}});
  s.command->colorVariable()->selectColumn(s.texts("kind", {"apple", "banana", "apple", "cherry"}));
  s.command->colorScheme()->setSchemeName("fruit");
  s.command->establishDependencyConnections();
  std::map<std::string, long> byColour;
  for (auto& circles : outlines(s.draw())) {
    const KRColor& c = circles->style()->color();
    byColour[c == KRColor::rgb(1, 0, 0) ? "red" : c == KRColor::rgb(0, 0, 1) ? "blue" : "plain"] += circles->count();
  }
  EXPECT_EQ(byColour, (std::map<std::string, long>{{"blue", 1}, {"plain", 1}, {"red", 2}}));
  EXPECT_FALSE(s.command->hasErrorExplanation());

  // Editing the scheme reaches the command.
  int before = s.command->changeCount();
  scheme->setColor(0, {0, 1, 0, 1});
  EXPECT_GT(s.command->changeCount(), before);
}

TEST(PointsCommand, AMarkerSchemeGivesEachValueItsShape) {
  Scatter s;
  s.xy({"1", "2", "3"}, {"1", "2", "3"});
  auto scheme = s.document->data->definitions().addMarkerScheme("shapes");
  scheme->addLine({"", "0,2", "", "low", kMarkerSolidBox});
  s.command->markerVariable()->selectColumn(s.numbers("v", {"1", "5", "1.5"}));
  s.command->markerScheme()->setSchemeName("shapes");
  s.command->establishDependencyConnections();
  auto drawing = s.draw();
  // Row 1 keeps the circle; rows 0 and 2 are solid boxes in one path.
  ASSERT_EQ(outlines(drawing).size(), 1u);
  EXPECT_EQ(outlines(drawing)[0]->count(), 1);
  EXPECT_FALSE(all<KRDrawingPathBezier>(drawing).empty());
}

TEST(PointsCommand, ASchemeThatNamesNothingIsExplainedAndThePlainLookIsUsed) {
  Scatter s;
  s.xy({"1", "2"}, {"1", "2"});
  s.command->colorVariable()->selectColumn(s.numbers("v", {"1", "2"}));
  s.command->colorScheme()->setSchemeName("nope");
  auto circles = outlines(s.draw());
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0]->count(), 2);
  EXPECT_EQ(s.command->errorExplanation(), std::optional<std::string>("The color scheme \"nope\" does not exist."));
}

TEST(PointsCommand, HitTestsFindTheClosestMarkerAndItsRow) {
  Scatter s;
  s.xy({"1", "5", "5.2"}, {"1", "5", "5"});
  auto record = makeRecord();
  auto hit = s.command->hitTest({51, 50}, *record);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->at("Row Index").integer(), 1);
  EXPECT_DOUBLE_EQ(hit->at("Closest X").real(), 5);
  EXPECT_DOUBLE_EQ(hit->at("Closest Y").real(), 5);
  EXPECT_EQ(hit->at("Points Hit").integer(), 2);
  EXPECT_TRUE(hit->at("Hits a Point").boolean());
  EXPECT_FALSE(s.command->hitTest({30, 30}, *record));
  EXPECT_EQ(s.command->selectedClickedPoint({10, 11}, *record), std::optional<long>(0));
}

TEST(PointsCommand, ContextMenuOperationsSelectRows) {
  Scatter s;
  s.xy({"1", "5", "9", ""}, {"1", "5", "9", "2"});
  EXPECT_EQ(s.command->contextMenuItems(),
            (std::vector<std::string>{"Copy Marker", "Select Used Rows", "Select Displayed Rows", "Select Point in Table"}));
  EXPECT_EQ(s.command->selectUsedRows(), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(s.command->selectRowsInRange(KRBoundingRange::between(4, 10), KRBoundingRange::invalid()),
            (std::vector<long>{1, 2}));
  EXPECT_FALSE(s.command->rowsDisplayedInRect({0, 0, 60, 60}));  // not drawn yet
  s.draw();
  EXPECT_EQ(s.command->rowsDisplayedInRect({0, 0, 60, 60}), (std::vector<long>{0, 1}));
  EXPECT_EQ(s.command->rowsDisplayedInRect({200, 200, 10, 10}), std::vector<long>{});
  auto marker = s.command->copyMarker();
  ASSERT_TRUE(marker);
  EXPECT_NEAR(marker->boundingRectangle().width(), 5.5, 0.01);
}

TEST(PointsCommand, IsPreparedAgainOnlyWhenAnInputChanged) {
  Scatter s;
  s.xy({"1", "2"}, {"1", "2"});
  s.command->updateIfNeeded();
  EXPECT_FALSE(s.command->somethingChanged());
  auto y = s.command->yColumn()->column();
  y->setString("7", 1);
  EXPECT_TRUE(s.command->somethingChanged());
  EXPECT_EQ(s.command->valueRangeXLinear(true, true), KRBoundingRange::between(1, 7));
  EXPECT_FALSE(s.command->somethingChanged());
}

}  // namespace
}  // namespace orrelin
