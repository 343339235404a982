#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/GraphTexts.h"
#include "graph/GraphTestSupport.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;
using testing_support::RangeCommand;

constexpr double kInf = std::numeric_limits<double>::infinity();

std::shared_ptr<VKDrawingCommand> makeKind(const std::string& type) {
  return std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand(type));
}

void setAxisSetting(VKDrawingCommand& command, const std::string& key, PropertyList value) {
  command.objectWithName(key)->setFromPropertyList(&value);
}

TEST(GraphRanges, CommandsMergeAndTheIncludeRangeWidens) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 1, 3, 10, 20);
  addRangeCommand(*graph, -2, 2, 15, 40);
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(-2, 3));
  EXPECT_EQ(graph->yRangeForAxis(0), KRBoundingRange::between(10, 40));

  setAxisSetting(*graph->mainAxis(), "Include X", PropertyList("-5,0"));
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(-5, 3));
  // A fixed range replaces the merged one after padding.
  setAxisSetting(*graph->mainAxis(), "Crop Y", PropertyList("0,10"));
  EXPECT_EQ(graph->yRanges().at(0), KRBoundingRange::between(0, 10));
  EXPECT_EQ(graph->yRangeForAxis(0), KRBoundingRange::between(10, 40));
}

TEST(GraphRanges, ExcludedCommandsLeaveOnlyTheIncludeRangeOrNothing) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 1, 3, 10, 20);
  command->setExclude(true);
  EXPECT_FALSE(graph->xRangeForAxis(0).isValid());
  EXPECT_FALSE(graph->xRanges().at(0).isValid());
  graph->yRanges();
  EXPECT_EQ(command->skipped, 1);
  setAxisSetting(*graph->mainAxis(), "Include X", PropertyList("4,6"));
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(4, 6));
}

TEST(GraphRanges, LogarithmicAxisIgnoresRangesReachingZero) {
  MessageCapture messages;
  auto graph = DataDocumentDrawing::create();
  setAxisSetting(*graph->mainAxis(), "X Type", PropertyList(std::int64_t{2}));
  auto atZero = addRangeCommand(*graph, 0, 100, 1, 2);
  addRangeCommand(*graph, 5, 50, 1, 2);
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(5, 50));
  EXPECT_FALSE(atZero->lastXLinear);
  EXPECT_TRUE(messages.saw(graphtext::kNonPositiveLogRange));
}

TEST(GraphRanges, NonFiniteBoundIsReportedAndTheFiniteOneCounts) {
  MessageCapture messages;
  auto graph = DataDocumentDrawing::create();
  auto command = std::make_shared<RangeCommand>(KRBoundingRange{-kInf, 7, false, true}, KRBoundingRange::between(0, 1));
  command->finishConnections();
  graph->addCommand(command);
  addRangeCommand(*graph, 2, 3, 0, 1);
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(2, 7));
  EXPECT_TRUE(messages.saw(graphtext::kNonFiniteRange));
}

TEST(GraphRanges, DateLabelsUseTwoLinesOnlyBeyondOneDay) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 0, 86400, 0, 1);
  EXPECT_FALSE(graph->xLabelMultipleLines().at(0));  // not a date axis
  command->dates = true;
  EXPECT_FALSE(graph->xLabelMultipleLines().at(0));
  command->x = KRBoundingRange::between(0, 86401);
  EXPECT_TRUE(graph->xLabelMultipleLines().at(0));
  setAxisSetting(*graph->mainAxis(), "X Dates With Two Lines", PropertyList(false));
  EXPECT_FALSE(graph->xLabelMultipleLines().at(0));
}

TEST(GraphRanges, PaddingWidensNumberAxesButNeverDateAxes) {
  auto graph = DataDocumentDrawing::create();
  setAxisSetting(*graph->mainAxis(), "Pad X Range", PropertyList(std::int64_t{3}));
  setAxisSetting(*graph->mainAxis(), "Pad Y Range", PropertyList(std::int64_t{3}));
  auto command = addRangeCommand(*graph, 0, 100, 0, 100);
  EXPECT_EQ(graph->xRanges().at(0), KRBoundingRange::between(-5, 105));
  EXPECT_EQ(graph->yRanges().at(0), KRBoundingRange::between(-5, 105));
  command->dates = true;
  EXPECT_EQ(graph->xRanges().at(0), KRBoundingRange::between(0, 100));
  EXPECT_EQ(graph->yRanges().at(0), KRBoundingRange::between(-5, 105));
}

TEST(GraphRanges, SingleAxisCommandsAddAxesAndCommandsPickTheirs) {
  auto graph = DataDocumentDrawing::create();
  auto second = makeKind("Y Axis");
  graph->addCommand(second);
  addRangeCommand(*graph, 0, 1, 0, 5);
  auto onSecond = addRangeCommand(*graph, 0, 1, 100, 200);
  onSecond->moveToXAxis(0, 1);
  ASSERT_EQ(graph->numberOfYAxisControllers(), 1);
  EXPECT_EQ(graph->yRangeForAxis(0), KRBoundingRange::between(0, 5));
  EXPECT_EQ(graph->yRangeForAxis(1), KRBoundingRange::between(100, 200));
  EXPECT_FALSE(graph->yRangeForAxis(2).isValid());
  second->setExclude(true);
  EXPECT_EQ(graph->numberOfYAxisControllers(), 0);
}

// Opener and closer kinds as the stored commands make them.
std::shared_ptr<VKDrawingCommand> collapser(const char* type) { return makeKind(type); }

TEST(GraphCommands, ExcludedGroupsSkipEverythingUpToTheirCloserNestedOnesToo) {
  auto graph = DataDocumentDrawing::create();
  auto before = addRangeCommand(*graph, 0, 1, 0, 1);
  auto open = collapser("Open");
  graph->addCommand(open);
  auto inside = addRangeCommand(*graph, 0, 1, 0, 1);
  graph->addCommand(collapser("Open"));
  auto nested = addRangeCommand(*graph, 0, 1, 0, 1);
  graph->addCommand(collapser("Close"));
  graph->addCommand(collapser("Close"));
  auto after = addRangeCommand(*graph, 0, 1, 0, 1);

  auto contains = [](const auto& list, const auto& command) {
    return std::find(list.begin(), list.end(), command) != list.end();
  };
  auto taken = graph->commandsThatAreNotExcluded();
  EXPECT_TRUE(contains(taken, before) && contains(taken, inside) && contains(taken, nested) && contains(taken, after));
  EXPECT_FALSE(contains(taken, open));

  open->setExclude(true);
  taken = graph->commandsThatAreNotExcluded();
  EXPECT_TRUE(contains(taken, before));
  EXPECT_FALSE(contains(taken, inside));
  EXPECT_FALSE(contains(taken, nested));
  EXPECT_TRUE(contains(taken, after));
}

TEST(GraphStoredForm, RoundTripKeepsSettingsAndCommandOrder) {
  registerGraphCommandKinds();
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->sizeText().setText("6in,4in");
  graph->styleSettings()->gridMenu().setTag(VKStyleSettings::kMajorGrid);
  graph->addCommand(makeKind("Y Axis"));
  graph->addCommand(makeKind("Label"));
  PropertyList stored = graph->propertyList();
  ASSERT_TRUE(stored.isArray());
  ASSERT_EQ(stored.array().size(), 5u);
  EXPECT_EQ(stored.array()[0].stringForKey("Type").value_or(""), "Style Settings");
  EXPECT_EQ(stored.array()[1].stringForKey("Type").value_or(""), "Canvas Settings");
  EXPECT_EQ(stored.array()[2].stringForKey("Type").value_or(""), "Main Axis");

  auto read = DataDocumentDrawing::createFromPropertyList(stored);
  EXPECT_EQ(read->propertyList(), stored);
  EXPECT_EQ(read->canvasSettings()->sizeText().text(), "6in,4in");
  EXPECT_EQ(read->whereDrawingCommandsStart(), 2u);
}

TEST(GraphStoredForm, DamagedListsGiveAWholeGraph) {
  MessageCapture messages;
  registerGraphCommandKinds();
  // No settings, an unknown kind, and something that is not a command.
  PlistArray stored{PlistDictionary{{"Type", "Nonsense"}}, PropertyList(std::int64_t{3}),
                    PlistDictionary{{"Type", "Label"}}};
  auto read = DataDocumentDrawing::createFromPropertyList(PropertyList(stored));
  ASSERT_TRUE(read->styleSettings());
  ASSERT_TRUE(read->canvasSettings());
  ASSERT_TRUE(read->mainAxis());
  EXPECT_EQ(read->commands().size(), 4u);
  EXPECT_FALSE(messages.texts().empty());

  auto notAList = DataDocumentDrawing::createFromPropertyList(PropertyList("text"));
  EXPECT_TRUE(notAList->mainAxis());
  // Settings stored out of order still end up in front.
  PlistArray swapped{PlistDictionary{{"Type", "Label"}}, PlistDictionary{{"Type", "Canvas Settings"}},
                     PlistDictionary{{"Type", "Style Settings"}}};
  auto reordered = DataDocumentDrawing::createFromPropertyList(PropertyList(swapped));
  EXPECT_TRUE(std::dynamic_pointer_cast<VKStyleSettings>(reordered->commands()[0]));
  EXPECT_TRUE(std::dynamic_pointer_cast<VKCanvasSettings>(reordered->commands()[1]));
}

}  // namespace
}  // namespace orrelin
