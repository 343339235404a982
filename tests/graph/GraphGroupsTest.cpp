// Groups of commands with their cropping outline, the axis controllers'
// panels, the main pair's ticks under a locked aspect ratio and the room
// titles keep from the page edge.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/GraphTestSupport.h"
#include "graph/VKCanvasSettings.h"
#include "graph/commandbase/CommandPanel.h"
#include "graph/commandbase/VKCollapserCommand.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;
using testing_support::RangeCommand;

// A plot whose outline is the rectangle of its data, or a given outline.
class OutlineCommand : public RangeCommand {
 public:
  using RangeCommand::RangeCommand;
  std::shared_ptr<KRDrawingPath> computeCroppingPathForScale(const KR1DPlotDrawingInfo& record) override {
    ++outlines;
    if (outline) return outline;
    KRPoint a = record.transform({x.minR, y.minR}), b = record.transform({x.maxR, y.maxR});
    return KRDrawingPathRectangle::createWithRect(KRRect(a.x, a.y, b.x - a.x, b.y - a.y));
  }
  std::shared_ptr<KRDrawingPath> outline;
  int outlines = 0;
};

std::shared_ptr<OutlineCommand> addOutlineCommand(DataDocumentDrawing& graph, double x0, double x1, double y0,
                                                  double y1) {
  auto command = std::make_shared<OutlineCommand>(KRBoundingRange::between(x0, x1), KRBoundingRange::between(y0, y1));
  command->finishConnections();
  graph.addCommand(command);
  return command;
}

std::shared_ptr<VKCollapserCommandOpen> addOpener(DataDocumentDrawing& graph, const std::string& name) {
  auto open = std::dynamic_pointer_cast<VKCollapserCommandOpen>(VKCommandFactory::shared().createCommand("Open"));
  open->setNameOfCollapser(name);
  graph.addCommand(open);
  return open;
}

void addCloser(DataDocumentDrawing& graph) { graph.addCommand(VKCommandFactory::shared().createCommand("Close")); }

std::shared_ptr<KRDrawingGroup> findGroup(const std::shared_ptr<KRDrawingBasic>& tree, const std::string& name) {
  auto group = std::dynamic_pointer_cast<KRDrawingGroup>(tree);
  if (!group) return nullptr;
  if (group->descriptionString() == name) return group;
  for (std::size_t i = 0; i < group->count(); ++i)
    if (auto found = findGroup(group->objectAtIndex(i), name)) return found;
  return nullptr;
}

std::shared_ptr<KRDrawingGroup> draw(DataDocumentDrawing& graph, double scale = 1, const PlistDictionary& info = {}) {
  return graph.createGraphic({400, 300}, scale, false, info, KRRect());
}

struct GroupCase {
  const char* name;
  double scale;
  bool pdf;
};
void PrintTo(const GroupCase& c, std::ostream* os) { *os << c.name; }

class CollapserGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(CollapserGroups, AreCroppedByTheOutlineOfTheirCropCommandInTheUnitsOfThePass) {
  const GroupCase c = GetParam();
  auto graph = DataDocumentDrawing::create();
  auto cropper = addOutlineCommand(*graph, 0, 5, 0, 5);
  auto outer = addOpener(*graph, "Outer");
  addRangeCommand(*graph, 0, 10, 0, 10);
  auto inner = addOpener(*graph, "");
  addRangeCommand(*graph, 2, 3, 2, 3);
  addCloser(*graph);
  addCloser(*graph);
  ASSERT_TRUE(outer->cropWithSelector()->selectCommand(cropper));

  PlistDictionary info;
  if (c.pdf) info["Destination"] = "PDF";
  auto picture = draw(*graph, c.scale, info);
  ASSERT_TRUE(picture);
  auto group = findGroup(picture, "Outer");
  ASSERT_TRUE(group);
  ASSERT_TRUE(group->crop());
  // The outline is the cropper's data rectangle, in device pixels on screen.
  const auto& record = *graph->drawingInfos()[0][0];
  KRPoint a = record.transform({0, 0}), b = record.transform({5, 5});
  double factor = c.pdf ? 1 : c.scale;
  KRRect bounds = group->crop()->boundingRectangle();
  EXPECT_NEAR(bounds.minX(), a.x * factor, 1e-6);
  EXPECT_NEAR(bounds.minY(), a.y * factor, 1e-6);
  EXPECT_NEAR(bounds.maxX(), b.x * factor, 1e-6);
  EXPECT_NEAR(bounds.maxY(), b.y * factor, 1e-6);
  // The nested group without a crop command and without a name.
  auto untitled = findGroup(group, "Untitled Group");
  ASSERT_TRUE(untitled);
  EXPECT_FALSE(untitled->crop());
  EXPECT_EQ(untitled->count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Passes, CollapserGroups,
                         ::testing::Values(GroupCase{"Screen", 1, false}, GroupCase{"Retina", 2, false},
                                           GroupCase{"Pdf", 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CollapserGroupsOutline, IsTakenFromTheCacheAndAnEmptyOneLeavesTheGroupUncropped) {
  auto graph = DataDocumentDrawing::create();
  auto cropper = addOutlineCommand(*graph, 0, 5, 0, 5);
  auto open = addOpener(*graph, "G");
  auto inside = addRangeCommand(*graph, 0, 10, 0, 10);
  addCloser(*graph);
  ASSERT_TRUE(open->cropWithSelector()->selectCommand(cropper));
  draw(*graph, 2);
  draw(*graph, 2);
  EXPECT_EQ(cropper->outlines, 1);

  cropper->outline = KRDrawingPathRectangle::createWithRect(KRRect());
  cropper->clearCachedDrawing();
  auto picture = draw(*graph, 2);
  auto group = findGroup(picture, "G");
  ASSERT_TRUE(group);
  EXPECT_FALSE(group->crop());
  EXPECT_EQ(group->count(), 1u);  // the command inside still draws
  EXPECT_GE(inside->computations, 1);
}

TEST(CollapserGroupsOutline, OpenersKeepNameAndCropChoiceInTheirPropertyList) {
  auto graph = DataDocumentDrawing::create();
  auto cropper = addOutlineCommand(*graph, 0, 5, 0, 5);
  auto open = addOpener(*graph, "Fits");
  ASSERT_TRUE(open->cropWithSelector()->selectCommand(cropper));
  PropertyList list = open->propertyList();
  EXPECT_EQ(list.stringForKey("Name"), "Fits");
  ASSERT_TRUE(list.find("Crop With"));

  auto again = std::dynamic_pointer_cast<VKCollapserCommandOpen>(VKCommandFactory::shared().createFromPropertyList(list));
  ASSERT_TRUE(again);
  graph->addCommand(again);
  again->establishDependencyConnections();
  EXPECT_EQ(again->nameOfCollapser(), "Fits");
  EXPECT_EQ(again->croppingCommand(), cropper);
  EXPECT_EQ(again->groupName(), "Fits");
}

TEST(AxisControllerPanels, ShowTheirAxesDataRangesAndErrorsOnEveryPass) {
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinStack);
  auto single = std::dynamic_pointer_cast<VKSingleAxisCommand>(VKCommandFactory::shared().createCommand("Y Axis"));
  ASSERT_TRUE(single);
  graph->addCommand(single);
  auto data = addRangeCommand(*graph, 2, 8, -1, 1);
  auto upper = addRangeCommand(*graph, 0, 1, 100, 300);
  upper->moveToXAxis(0, 1);

  auto mainPanel = std::make_shared<HeadlessCommandPanel>();
  auto singlePanel = std::make_shared<HeadlessCommandPanel>();
  auto dataPanel = std::make_shared<HeadlessCommandPanel>();
  graph->mainAxis()->setPanel(mainPanel);
  single->setPanel(singlePanel);
  data->setPanel(dataPanel);

  draw(*graph);
  EXPECT_EQ(mainPanel->updates(), 1);
  EXPECT_EQ(singlePanel->updates(), 1);
  EXPECT_EQ(dataPanel->updates(), 0);  // not an axis controller
  // Before padding: what the data spans.
  EXPECT_EQ(mainPanel->axisRange('X', 0), KRBoundingRange::between(0, 8));
  EXPECT_EQ(mainPanel->axisRange('Y', 0), KRBoundingRange::between(-1, 1));
  EXPECT_EQ(mainPanel->axisRangesShown(), 2u);
  EXPECT_EQ(singlePanel->axisRange('Y', 1), KRBoundingRange::between(100, 300));
  EXPECT_EQ(singlePanel->axisRangesShown(), 1u);
  EXPECT_FALSE(mainPanel->errorDot());

  data->x = KRBoundingRange::between(-4, 8);
  graph->mainAxis()->setErrorExplanation("Could not compute a number from \"a\" for \"Crop X\".");
  draw(*graph);
  EXPECT_EQ(mainPanel->updates(), 2);
  EXPECT_EQ(mainPanel->axisRange('X', 0), KRBoundingRange::between(-4, 8));
  ASSERT_TRUE(mainPanel->errorDot());
  EXPECT_EQ(*mainPanel->errorDot(), "Could not compute a number from \"a\" for \"Crop X\".");
}

double step(const AxisTicks& ticks) {
  const auto& major = ticks.axis->majorTickMarks();
  return major.size() >= 2 ? major[1] - major[0] : 0;
}

TEST(AspectRatioTicks, TheMainPairSharesTheCoarserStepSoTheGridIsSquare) {
  auto graph = DataDocumentDrawing::create();
  // Ranges chosen so that the two axes pick different steps on their own.
  addRangeCommand(*graph, 0, 10, 0, 3);
  draw(*graph);
  ASSERT_TRUE(graph->xTicks()[0].axis && graph->yTicks()[0].axis);
  const double freeX = step(graph->xTicks()[0]), freeY = step(graph->yTicks()[0]);
  ASSERT_NE(freeX, freeY);

  auto lock = PropertyList(true);
  graph->mainAxis()->objectWithName("Aspect Ratio 1")->setFromPropertyList(&lock);
  draw(*graph);
  const double x = step(graph->xTicks()[0]), y = step(graph->yTicks()[0]);
  EXPECT_DOUBLE_EQ(x, y);
  EXPECT_DOUBLE_EQ(x, std::max(freeX, freeY));
  // One step is as long on the page in both directions.
  const auto& record = *graph->drawingInfos()[0][0];
  EXPECT_NEAR(record.transformX(x) - record.transformX(0), record.transformY(y) - record.transformY(0), 1e-6);

  // Ticks the user chose are left alone.
  auto stride = PropertyList(2);
  auto choice = PropertyList(2);
  graph->mainAxis()->objectWithName("Y Ticks Stride")->setFromPropertyList(&stride);
  graph->mainAxis()->objectWithName("Y Ticks Choice")->setFromPropertyList(&choice);
  draw(*graph);
  EXPECT_DOUBLE_EQ(step(graph->yTicks()[0]), 2);
}

TEST(AxisTitles, KeepAClearGapFromThePageEdge) {
  for (const char* title : {"Time (s)", "g_{y}", "Depth"}) {
    SCOPED_TRACE(title);
    auto graph = DataDocumentDrawing::create();
    addRangeCommand(*graph, 0, 10, 0, 3);
    PropertyList text(title);
    graph->mainAxis()->objectWithName("X Title")->setFromPropertyList(&text);
    graph->mainAxis()->objectWithName("Y Title")->setFromPropertyList(&text);
    auto picture = draw(*graph, 1, PlistDictionary{{"Destination", "PDF"}});
    // The hit rectangles of the axes hold their lines, numbers and titles.
    ASSERT_TRUE(picture);
    double lowest = 1e9, leftmost = 1e9;
    for (const auto& hit : graph->informationAboutDrawingElements().hitRects) {
      lowest = std::min(lowest, hit.rect.minY());
      leftmost = std::min(leftmost, hit.rect.minX());
    }
    EXPECT_GE(lowest, 3) << "bottom title at " << lowest;
    EXPECT_GE(leftmost, 3) << "left title at " << leftmost;
  }
}

class TopLayerCommand : public RangeCommand {
 public:
  using RangeCommand::RangeCommand;
  bool drawInTopLayer() const override { return true; }
};

struct HandOverCase {
  const char* name;
  bool send;
  bool exportBackground;
  bool pageBackground;  // whether the page fill is in the background
};
void PrintTo(const HandOverCase& c, std::ostream* os) { *os << c.name; }

class HandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOver, TheViewGetsThePictureAndThePageFillFollowsTheExportChoice) {
  const HandOverCase c = GetParam();
  auto graph = DataDocumentDrawing::create();
  auto view = std::make_shared<HeadlessGraphView>();
  graph->setDrawingView(view);
  graph->canvasSettings()->exportBackground().setSelected(c.exportBackground);
  addRangeCommand(*graph, 0, 1, 0, 1);
  auto top = std::make_shared<TopLayerCommand>(KRBoundingRange::between(0, 2), KRBoundingRange::between(0, 2));
  top->finishConnections();
  graph->addCommand(top);

  auto picture = graph->createGraphic({400, 300}, 1, c.send, {}, KRRect());
  ASSERT_TRUE(picture);
  EXPECT_EQ(view->graphicsReceived(), c.send ? 1 : 0);
  if (c.send) {
    EXPECT_EQ(view->graphic(), picture);
  }
  // Background, commands, foreground, then the top layer.
  ASSERT_EQ(picture->count(), 4u);
  auto background = std::dynamic_pointer_cast<KRDrawingGroup>(picture->objectAtIndex(0));
  auto commands = std::dynamic_pointer_cast<KRDrawingGroup>(picture->objectAtIndex(1));
  auto topLayer = std::dynamic_pointer_cast<KRDrawingGroup>(picture->objectAtIndex(3));
  ASSERT_TRUE(background && commands && topLayer);
  EXPECT_EQ(commands->count(), 1u);
  EXPECT_EQ(topLayer->count(), 1u);
  // The first thing in the background is the page fill when there is one.
  bool pageFill = false;
  if (background->count() > 0) {
    KRRect first = background->objectAtIndex(0)->boundingRectangle();
    pageFill = first.width() >= 400 && first.height() >= 300;
  }
  EXPECT_EQ(pageFill, c.pageBackground);

  // Without room for a plot area the view gets an empty picture.
  auto nothing = graph->createGraphic({20, 20}, 1, c.send, {}, KRRect());
  ASSERT_TRUE(nothing);
  EXPECT_TRUE(nothing->isEmpty());
  EXPECT_EQ(view->graphicsReceived(), c.send ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Passes, HandOver,
                         ::testing::Values(HandOverCase{"ScreenExporting", true, true, true},
                                           HandOverCase{"ScreenNotExporting", true, false, true},
                                           HandOverCase{"FileExporting", false, true, true},
                                           HandOverCase{"FileNotExporting", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GraphTiming, NamesEachGraphByItsOwnSerialNumber) {
  MessageCapture messages;
  auto first = DataDocumentDrawing::create();
  auto second = DataDocumentDrawing::create();
  EXPECT_NE(first->serialNumber(), second->serialNumber());
  for (const auto& graph : {first, second}) {
    graph->setPrintTiming(true);
    draw(*graph);
  }
  auto texts = messages.texts();
  ASSERT_EQ(texts.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const auto& graph = i == 0 ? first : second;
    const std::string start = "Computing graphic (" + std::to_string(graph->serialNumber()) + ") = ";
    EXPECT_EQ(texts[i].rfind(start, 0), 0u) << texts[i];
    EXPECT_EQ(texts[i].substr(texts[i].size() - 8), " seconds");
  }
}

}  // namespace
}  // namespace orrelin
