#include <gtest/gtest.h>

#include <functional>

#include "axes/VKExtraAxisCommand.h"
#include "drawing/KRDrawingPath.h"
#include "graph/GraphTestSupport.h"
#include "mathtext/KRDrawingExpressionText.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;

const KRColor kShade = KRColor::rgb(0.9, 0.8, 0.2);

std::shared_ptr<VKExtraAxisCommand> addExtraAxis(DataDocumentDrawing& graph, PlistDictionary settings) {
  auto axis = std::make_shared<VKExtraAxisCommand>();
  axis->finishConnections();
  settings["Type"] = "Extra Axis";
  axis->fillFromPropertyList(settings);
  axis->establishDependencyConnections();
  graph.addCommand(axis);
  return axis;
}

// The graph drawn twice: the extra axis asks for its room from the pass before.
std::shared_ptr<KRDrawingGroup> lay(DataDocumentDrawing& graph) {
  graph.createGraphic({500, 400}, 1, false, {}, KRRect());
  return graph.createGraphic({500, 400}, 1, false, {}, KRRect());
}

// The group of the tree that directly holds an object the test accepts.
std::shared_ptr<KRDrawingGroup> groupHolding(const std::shared_ptr<KRDrawingGroup>& tree,
                                             const std::function<bool(const KRDrawingBasic&)>& accept) {
  for (std::size_t i = 0; i < tree->count(); ++i) {
    auto child = tree->objectAtIndex(i);
    if (accept(*child)) return tree;
    if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(child))
      if (auto found = groupHolding(group, accept)) return found;
  }
  return nullptr;
}

bool isShadedFill(const KRDrawingBasic& object) {
  auto* rectangle = dynamic_cast<const KRDrawingPathRectangle*>(&object);
  if (!rectangle || !rectangle->style()) return false;
  return rectangle->style()->fillCurve() && rectangle->style()->color() == kShade;
}

struct AxisPieces {
  std::vector<KRRect> fills;
  std::vector<std::pair<std::string, KRRect>> texts;
  KRRect textOf(const std::string& text) const {
    for (const auto& [string, box] : texts)
      if (string == text) return box;
    return {};
  }
};

void collect(const std::shared_ptr<KRDrawingBasic>& object, AxisPieces& pieces) {
  if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(object)) {
    for (std::size_t i = 0; i < group->count(); ++i) collect(group->objectAtIndex(i), pieces);
  } else if (std::dynamic_pointer_cast<KRDrawingExpressionText>(object)) {
    pieces.texts.emplace_back(object->textDescription(), object->boundingRectangle());
  } else if (isShadedFill(*object)) {
    pieces.fills.push_back(dynamic_cast<const KRDrawingPathRectangle&>(*object).rectangle().standardized());
  }
}

// The extra axis's drawing in the tree, found by its title.
AxisPieces extraAxisPieces(const std::shared_ptr<KRDrawingGroup>& tree, const std::string& title) {
  AxisPieces pieces;
  auto group = groupHolding(tree, [&](const KRDrawingBasic& object) {
    return dynamic_cast<const KRDrawingExpressionText*>(&object) && object.textDescription() == title;
  });
  // The title's group is the axis proper; the command's drawing holds it
  // with the background and the grid lines.
  if (group) group = tree->parentOfObject(group.get());
  if (group) collect(group, pieces);
  return pieces;
}

void expectInside(const KRRect& inner, const KRRect& outer, const std::string& what) {
  EXPECT_GE(inner.minX(), outer.minX() - 0.5) << what;
  EXPECT_LE(inner.maxX(), outer.maxX() + 0.5) << what;
  EXPECT_GE(inner.minY(), outer.minY() - 0.5) << what;
  EXPECT_LE(inner.maxY(), outer.maxY() + 0.5) << what;
}

PlistDictionary shaded(PlistDictionary settings) {
  settings["Draw Background"] = true;
  settings["Background Color"] = VKColorInputController::colorPropertyList(kShade);
  return settings;
}

TEST(ExtraAxisLayout, TheBackgroundRunsFromTheAxisLineToTheEdgeOfItsRoomAndHoldsEveryText) {
  struct Case {
    const char* name;
    int location;
    PlistDictionary extra;
  } cases[] = {
      {"right", 2, {}},
      {"top", 1, {}},
      {"top, vertical numbers", 1, {{"Orientation", 2}}},
      {"right, title farther out", 2, {{"Axis Title Offset", "12"}}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto graph = DataDocumentDrawing::create();
    addRangeCommand(*graph, 0, 10, 0, 100);
    PlistDictionary settings = c.extra;
    settings["Axis Location"] = c.location;
    settings["Axis Title"] = "Feet";
    settings["Unit Conversion"] = 2;
    auto axis = addExtraAxis(*graph, shaded(settings));
    auto pieces = extraAxisPieces(lay(*graph), "Feet");
    ASSERT_EQ(pieces.fills.size(), 1u);
    const KRRect fill = pieces.fills[0];
    const KRRect plot = graph->plotArea();
    const auto& record = *graph->drawingInfos()[0][0];
    if (c.location == 2) {
      EXPECT_NEAR(fill.minX(), record.startOfAreaToTheRight, 1e-6);
      // The room the axis asked for, less the rounding up of that room.
      EXPECT_LE(fill.maxX(), record.startOfAreaToTheRight + axis->spaceToTheRight() + 1e-6);
      EXPECT_GT(fill.maxX(), record.startOfAreaToTheRight + axis->spaceToTheRight() - 1);
      EXPECT_LE(fill.minY(), plot.minY());
      EXPECT_GE(fill.maxY(), plot.maxY());
    } else {
      EXPECT_NEAR(fill.minY(), record.yValueForOverallTitle, 1e-6);
      EXPECT_LE(fill.maxY(), record.yValueForOverallTitle + axis->spaceForPlotTitle() + 1e-6);
      EXPECT_GT(fill.maxY(), record.yValueForOverallTitle + axis->spaceForPlotTitle() - 1);
      EXPECT_LE(fill.minX(), plot.minX());
      EXPECT_GE(fill.maxX(), plot.maxX());
    }
    ASSERT_GE(pieces.texts.size(), 3u);
    for (const auto& [text, box] : pieces.texts) expectInside(box, fill, text);
  }
}

TEST(ExtraAxisLayout, APartialAxisHasABackgroundAlongItsDrawnPartOnly) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 10, 0, 100);
  addExtraAxis(
      *graph, shaded({{"Axis Title", "Part"}, {"Axis Range", PlistDictionary{{"Min", "40"}, {"Max", "60"}}}}));
  auto pieces = extraAxisPieces(lay(*graph), "Part");
  ASSERT_EQ(pieces.fills.size(), 1u);
  const auto& record = *graph->drawingInfos()[0][0];
  const double half = 12;  // at most half a line of the 12-point numbers beyond an end tick
  EXPECT_LE(pieces.fills[0].minY(), record.transformY(40));
  EXPECT_GE(pieces.fills[0].minY(), record.transformY(40) - half);
  EXPECT_GE(pieces.fills[0].maxY(), record.transformY(60));
  EXPECT_LE(pieces.fills[0].maxY(), record.transformY(60) + half);
}

TEST(ExtraAxisLayout, InsideTheFrameTheBackgroundLiesInThePlotAreaAndOffLeavesNone) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 10, 0, 100);
  auto axis = addExtraAxis(*graph, shaded({{"Axis Title", "Inside"}, {"Position Inside", true}}));
  auto pieces = extraAxisPieces(lay(*graph), "Inside");
  ASSERT_EQ(pieces.fills.size(), 1u);
  const KRRect plot = graph->plotArea();
  EXPECT_NEAR(pieces.fills[0].maxX(), plot.maxX(), 1e-6);
  EXPECT_GT(pieces.fills[0].minX(), plot.minX());
  EXPECT_LT(pieces.fills[0].minX(), plot.maxX() - 10);
  for (const auto& [text, box] : pieces.texts) expectInside(box, pieces.fills[0], text);

  axis->objectWithName("Draw Background")->setFromPropertyListRecordUndo(PropertyList(false));
  pieces = extraAxisPieces(lay(*graph), "Inside");
  EXPECT_FALSE(pieces.texts.empty());
  EXPECT_TRUE(pieces.fills.empty());
}

TEST(ExtraAxisLayout, TitleOffsetMovesTheTitleAlongTheAxisAndAxisTitleOffsetAwayFromIt) {
  // The title's box measured from where the axis line and the plot area
  // are in that layout: a farther title takes more room, which moves them.
  auto titleBox = [](int location, int position, const char* along, const char* away) {
    auto graph = DataDocumentDrawing::create();
    addRangeCommand(*graph, 0, 10, 0, 100);
    addExtraAxis(*graph, shaded({{"Axis Location", location},
                                 {"Axis Title", "Title"},
                                 {"Axis Title Position", position},
                                 {"Title Offset", along},
                                 {"Axis Title Offset", away}}));
    auto pieces = extraAxisPieces(lay(*graph), "Title");
    EXPECT_EQ(pieces.fills.size(), 1u);
    KRRect title = pieces.textOf("Title");
    // The background follows the title wherever it goes.
    if (!pieces.fills.empty()) expectInside(title, pieces.fills[0], "title");
    const auto& record = *graph->drawingInfos()[0][0];
    const KRRect plot = graph->plotArea();
    return location == 1 ? title.offsetBy(-plot.maxX(), -record.yValueForOverallTitle)
                         : title.offsetBy(-record.startOfAreaToTheRight, -plot.minY());
  };
  // On top: along is to the right, away is up; the title ends where the plot area does.
  KRRect base = titleBox(1, 3, "0", "0");
  EXPECT_NEAR(base.maxX(), 0, 1);
  EXPECT_GT(base.minY(), 0);
  KRRect moved = titleBox(1, 3, "-30", "8");
  EXPECT_NEAR(moved.minX(), base.minX() - 30, 1e-6);
  EXPECT_NEAR(moved.minY(), base.minY() + 8, 1e-6);
  // On the right: along is up, away is to the right; the title reads upwards
  // from the bottom of the plot area.
  KRRect right = titleBox(2, 2, "0", "0");
  EXPECT_NEAR(right.minY(), 0, 1);
  KRRect up = titleBox(2, 2, "25", "-4");
  EXPECT_NEAR(up.minY(), right.minY() + 25, 1e-6);
  EXPECT_NEAR(up.minX(), right.minX() - 4, 1e-6);
  // A shift that is not a number leaves the title where it was.
  KRRect unmoved = titleBox(2, 2, "nothing", "0");
  EXPECT_NEAR(unmoved.minY(), right.minY(), 1e-6);
}

}  // namespace
}  // namespace orrelin
