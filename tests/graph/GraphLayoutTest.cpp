#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>

#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "drawing/KRDrawingText.h"
#include "graph/GraphTexts.h"
#include "graph/GraphTestSupport.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;
using testing_support::GraphInDocument;

std::shared_ptr<VKDrawingCommand> makeKind(const std::string& type) {
  return std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand(type));
}

void set(DataDrawingCommand& command, const std::string& key, PropertyList value) {
  command.objectWithName(key)->setFromPropertyList(&value);
}

std::shared_ptr<KRDrawingGroup> draw(DataDocumentDrawing& graph, KRSize size, double scale = 1,
                                     const PlistDictionary& info = {}) {
  return graph.createGraphic(size, scale, false, info, KRRect());
}

// Whether a page coordinate lies on the device grid for a line of the pixel width.
bool onGrid(double value, double scale, int pixelWidth) {
  double pixels = value * scale + (pixelWidth % 2 ? 0.5 : 0);
  return std::abs(pixels - std::round(pixels)) < 1e-9;
}

// Every object of the tree with its description, depth first.
void walk(const std::shared_ptr<KRDrawingBasic>& object, const std::function<void(const KRDrawingBasic&)>& visit) {
  visit(*object);
  if (auto group = std::dynamic_pointer_cast<KRDrawingGroup>(object))
    for (std::size_t i = 0; i < group->count(); ++i) walk(group->objectAtIndex(i), visit);
}

bool containsDescription(const std::shared_ptr<KRDrawingBasic>& tree, const std::string& description) {
  bool found = false;
  walk(tree, [&](const KRDrawingBasic& object) { found = found || object.descriptionString() == description; });
  return found;
}

TEST(GraphLayout, PlotAreaEdgesLieOnTheDeviceGridAndTheMappingFillsThem) {
  for (double scale : {1.0, 2.0, 1.5}) {
    for (const char* width : {"1", "2", "0.5"}) {
      SCOPED_TRACE(std::to_string(scale) + " " + width);
      auto graph = DataDocumentDrawing::create();
      graph->styleSettings()->axisLineWidth().setText(width);
      auto command = addRangeCommand(*graph, -3, 17, 0.25, 0.75);
      ASSERT_TRUE(draw(*graph, {400.3, 300.7}, scale));
      int pixels = std::max(1, static_cast<int>(std::lround(scale * graph->styleSettings()->boxLineWidth())));
      const KRRect plot = graph->plotArea();
      for (double edge : {plot.minX(), plot.maxX(), plot.minY(), plot.maxY()}) EXPECT_TRUE(onGrid(edge, scale, pixels)) << edge;
      // The data range (unpadded by default) spans the plot area exactly.
      EXPECT_NEAR(command->drawn.minX(), plot.minX(), 1e-9);
      EXPECT_NEAR(command->drawn.maxX(), plot.maxX(), 1e-9);
      EXPECT_NEAR(command->drawn.minY(), plot.minY(), 1e-9);
      EXPECT_NEAR(command->drawn.maxY(), plot.maxY(), 1e-9);
      // Margins leave room for numbers and stay inside the page.
      EXPECT_GT(graph->spaceOnLeft(), 12);
      EXPECT_GT(graph->spaceBelow(), 12);
      EXPECT_LT(plot.maxX(), 400.3);
      EXPECT_LT(plot.maxY(), 300.7);
    }
  }
}

TEST(GraphLayout, TitlesWidenTheMarginsTheyAreOn) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 1, 0, 1);
  draw(*graph, {400, 300});
  double left = graph->spaceOnLeft(), below = graph->spaceBelow(), above = graph->spaceAbove();
  set(*graph->mainAxis(), "X Title", PropertyList("Time (s)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("x^2 + \\alpha"));
  set(*graph->canvasSettings(), graphtext::kTitle, PropertyList("Overall"));
  draw(*graph, {400, 300});
  EXPECT_GT(graph->spaceOnLeft(), left + 10);
  EXPECT_GT(graph->spaceBelow(), below + 10);
  EXPECT_GT(graph->spaceAbove(), above + 10);
}

TEST(GraphLayout, MarginOverridesReplaceTheComputedMargins) {
  GraphInDocument holder;
  auto& graph = *holder.graph;
  addRangeCommand(graph, 0, 1, 0, 1);
  graph.canvasSettings()->marginEntry(graphtext::kLeft).setText("Width/10");
  graph.canvasSettings()->marginEntry(graphtext::kBelow).setText("40");
  ASSERT_TRUE(draw(graph, {500, 300}));
  EXPECT_DOUBLE_EQ(graph.spaceOnLeft(), 50);
  EXPECT_DOUBLE_EQ(graph.spaceBelow(), 40);
  EXPECT_NEAR(graph.plotArea().minX(), 50.5, 1e-9);  // on a pixel centre for a 1-point line
}

TEST(GraphLayout, StackedAxesSplitTheLengthWithGapsAndJoinedOnesOverlap) {
  GraphInDocument holder;
  auto& graph = *holder.graph;
  graph.styleSettings()->axisLineWidth().setText("2");  // whole pixels keep the split exact
  graph.canvasSettings()->marginEntry(graphtext::kBelow).setText("20");
  graph.canvasSettings()->marginEntry(graphtext::kAbove).setText("20");
  auto second = makeKind("Y Axis");
  set(*second, "Relative Size", PropertyList("0.5"));
  set(*second, "Space Before", PropertyList("20"));
  set(*second, "Space Before Pixels", PropertyList(true));
  graph.addCommand(second);
  addRangeCommand(graph, 0, 1, 0, 1);
  addRangeCommand(graph, 0, 1, 5, 6)->moveToXAxis(0, 1);

  graph.canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinStack);
  ASSERT_TRUE(draw(graph, {400, 300}));
  ASSERT_EQ(graph.yInfos().size(), 2u);
  // Plot height 260 = 20 gap + 1.5 units of 160.
  KRRect main = graph.yInfos()[0]->graphRegion, extra = graph.yInfos()[1]->graphRegion;
  EXPECT_DOUBLE_EQ(graph.plotArea().height(), 260);
  EXPECT_DOUBLE_EQ(main.minY(), 20);
  EXPECT_DOUBLE_EQ(main.height(), 160);
  EXPECT_DOUBLE_EQ(extra.minY(), 200);
  EXPECT_DOUBLE_EQ(extra.height(), 80);

  graph.canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinJoin);
  ASSERT_TRUE(draw(graph, {400, 300}));
  main = graph.yInfos()[0]->graphRegion;
  extra = graph.yInfos()[1]->graphRegion;
  EXPECT_DOUBLE_EQ(main.minY(), extra.minY());
  EXPECT_DOUBLE_EQ(main.height(), graph.plotArea().height());
  EXPECT_DOUBLE_EQ(extra.height(), main.height() / 2);
  // The joined axis stands on the right, outside the plot area.
  EXPECT_GT(graph.spaceOnRight() + 20, 0);
  EXPECT_LT(graph.plotArea().maxX(), 400 - graph.spaceOnRight() - 10);

  // Gaps larger than the plot leave nothing to draw.
  graph.canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kStackStack);
  set(*second, "Space Before", PropertyList("5000"));
  auto nothing = draw(graph, {400, 300});
  ASSERT_TRUE(nothing);
  EXPECT_TRUE(nothing->isEmpty());
}

TEST(GraphLayout, LayersComeInOrderAndAxisPositionPicksTheirLayer) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 1, 0, 1);
  auto picture = draw(*graph, {400, 300});
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->count(), 3u);
  EXPECT_EQ(picture->objectAtIndex(0)->descriptionString(), "Background");
  EXPECT_EQ(picture->objectAtIndex(1)->descriptionString(), "Commands");
  EXPECT_EQ(picture->objectAtIndex(2)->descriptionString(), "Foreground");
  EXPECT_TRUE(containsDescription(picture->objectAtIndex(2), "Border"));  // on top by default

  graph->styleSettings()->axisPositionMenu().setTag(2);
  picture = draw(*graph, {400, 300});
  EXPECT_TRUE(containsDescription(picture->objectAtIndex(0), "Border"));
  EXPECT_FALSE(containsDescription(picture->objectAtIndex(2), "Border"));

  graph->styleSettings()->gridMenu().setTag(VKStyleSettings::kMajorGrid);
  picture = draw(*graph, {400, 300});
  EXPECT_TRUE(containsDescription(picture->objectAtIndex(0), "Grid"));
}

TEST(GraphLayout, HiddenGroupsHideTheirCommandsButKeepTheirRanges) {
  auto graph = DataDocumentDrawing::create();
  auto open = makeKind("Open");
  graph->addCommand(open);
  auto inside = addRangeCommand(*graph, 0, 100, 0, 1);
  graph->addCommand(makeKind("Close"));
  auto outside = addRangeCommand(*graph, 0, 1, 0, 1);
  open->setHidden(true);
  draw(*graph, {400, 300});
  EXPECT_EQ(inside->computations, 0);
  EXPECT_EQ(outside->computations, 1);
  EXPECT_EQ(graph->xRangeForAxis(0), KRBoundingRange::between(0, 100));
  open->setHidden(false);
  auto picture = draw(*graph, {400, 300});
  EXPECT_TRUE(containsDescription(picture, graphtext::kUntitledGroup));
}

TEST(GraphLayout, CommandLineGraphDrawsAnEmptyFrameWithAxes) {
  auto graph = DataDocumentDrawing::createForCommandLine();
  KRSize size = graph->overwriteSizeWith();
  EXPECT_EQ(size.width, 360);
  EXPECT_EQ(size.height, 216);
  auto picture = draw(*graph, size);
  ASSERT_TRUE(picture);
  EXPECT_TRUE(containsDescription(picture, "Border"));
  ASSERT_EQ(graph->xTicks().size(), 1u);
  ASSERT_TRUE(graph->xTicks()[0].axis);
  EXPECT_GT(graph->xTicks()[0].axis->howManyMajorTickMarks(), 1u);
  EXPECT_TRUE(graph->drawingInfos()[0][0]->isEmpty);
}

TEST(GraphLayout, BadPagesAndScalesDrawWhatTheyCan) {
  MessageCapture messages;
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 1, 0, 1);
  EXPECT_FALSE(draw(*graph, {0, 300}));
  EXPECT_FALSE(draw(*graph, {-10, -10}));
  EXPECT_FALSE(draw(*graph, {NAN, 300}));

  ASSERT_TRUE(draw(*graph, {400, 300}, 0));
  EXPECT_TRUE(messages.saw(graphtext::kInvalidScale));
  EXPECT_DOUBLE_EQ(graph->drawingInfos()[0][0]->prepareForScale, 1);

  // Margins larger than the page.
  graph->canvasSettings()->marginEntry(graphtext::kLeft).setText("Width");
  auto empty = draw(*graph, {400, 300});
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->isEmpty());
  graph->canvasSettings()->marginEntry(graphtext::kLeft).setText("");

  // A huge page and many axes still finish quickly.
  for (int i = 0; i < 50; ++i) graph->addCommand(makeKind(i % 2 ? "X Axis" : "Y Axis"));
  auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(draw(*graph, {1e6, 1e6}));
  EXPECT_TRUE(draw(*graph, {200, 150}));
  (void)started;
}

TEST(GraphLayout, OutputDestinationsAreResolutionIndependent) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 0, 1, 0, 1);
  draw(*graph, {400, 300}, 1, PlistDictionary{{"Destination", "PDF"}});
  const auto& record = *graph->drawingInfos()[0][0];
  EXPECT_TRUE(record.destinationIsResolutionIndependent);
  EXPECT_DOUBLE_EQ(record.resolutionScale, 4);
  EXPECT_DOUBLE_EQ(record.prepareForScale, 40);
  // Output passes never fill the command's cache.
  draw(*graph, {400, 300}, 1, PlistDictionary{{"Destination", "PDF"}});
  EXPECT_EQ(command->computations, 2);
  draw(*graph, {400, 300});
  draw(*graph, {400, 300});
  EXPECT_EQ(command->computations, 3);
}

TEST(GraphLayout, AspectRatioOneGivesBothDirectionsTheSameScale) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 0, 10, 0, 2);
  set(*graph->mainAxis(), "Aspect Ratio 1", PropertyList(true));
  ASSERT_TRUE(draw(*graph, {400, 300}));
  const auto& record = *graph->drawingInfos()[0][0];
  EXPECT_NEAR(record.scaleX, record.scaleY, 1e-9);
  // y had more room per unit, so its range grew around the data's middle.
  EXPECT_NEAR(record.transformY(1), graph->plotArea().midY(), 1e-9);
  EXPECT_NEAR(command->drawn.minX(), graph->plotArea().minX(), 1e-9);
}

TEST(GraphLayout, LogarithmicAndReversedAxesMapTheirEnds) {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Type", PropertyList(std::int64_t{2}));
  set(*graph->mainAxis(), "Y Type", PropertyList(std::int64_t{3}));
  addRangeCommand(*graph, 1, 1000, 0, 10);
  ASSERT_TRUE(draw(*graph, {400, 300}));
  const auto& record = *graph->drawingInfos()[0][0];
  const KRRect plot = graph->plotArea();
  EXPECT_NEAR(record.transformX(1), plot.minX(), 1e-9);
  EXPECT_NEAR(record.transformX(1000), plot.maxX(), 1e-9);
  EXPECT_NEAR(record.transformX(10), plot.minX() + plot.width() / 3, 1e-9);
  EXPECT_NEAR(record.transformY(0), plot.maxY(), 1e-9);
  EXPECT_NEAR(record.transformY(10), plot.minY(), 1e-9);
  EXPECT_TRUE(graph->xTicks()[0].axis->powersOfTen());
}

TEST(GraphLayout, EveryDrawnAxisLeavesAHitRectangleForItsController) {
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinJoin);
  auto extra = makeKind("Y Axis");
  graph->addCommand(extra);
  addRangeCommand(*graph, 0, 1, 0, 1);
  addRangeCommand(*graph, 0, 1, 5, 9)->moveToXAxis(0, 1);
  ASSERT_TRUE(draw(*graph, {400, 300}));
  const auto& hits = graph->informationAboutDrawingElements().hitRects;
  const KRRect plot = graph->plotArea();
  struct Expected {
    const char* axis;
    int index;
    const DataDrawingCommand* command;
  };
  for (const Expected& want : {Expected{"X", 0, graph->mainAxis().get()}, Expected{"Y", 0, graph->mainAxis().get()},
                               Expected{"Y", 1, extra.get()}}) {
    SCOPED_TRACE(std::string(want.axis) + std::to_string(want.index));
    auto found = std::find_if(hits.begin(), hits.end(), [&](const KRHitRect& hit) {
      return hit.details.at(graphtext::kHitAxis).string() == want.axis &&
             hit.details.at(graphtext::kHitAxisIndex).integer() == want.index;
    });
    ASSERT_NE(found, hits.end());
    EXPECT_EQ(found->command, want.command);
    // The rectangle lies beside the plot area on the axis's side.
    if (want.axis == std::string("X")) {
      EXPECT_LE(found->rect.minY(), plot.minY() - 10);
    } else if (want.index == 0) {
      EXPECT_LE(found->rect.minX(), plot.minX() - 10);
    } else {
      EXPECT_GE(found->rect.maxX(), plot.maxX() + 10);
    }
  }
}

TEST(GraphLayout, ADraggedCommandGlowsInTheSelectionColour) {
  auto graph = DataDocumentDrawing::create();
  auto still = addRangeCommand(*graph, 0, 1, 0, 1);
  auto dragged = addRangeCommand(*graph, 0, 1, 0, 1);
  dragged->setCurrentlyDragging(true);
  auto drawn = draw(*graph, {400, 300}, 2);
  ASSERT_TRUE(drawn);
  std::shared_ptr<KRDrawingGroup> commands;
  for (std::size_t i = 0; i < drawn->count(); ++i)
    if (drawn->objectAtIndex(i)->descriptionString() == graphtext::kCommandsGroup)
      commands = std::dynamic_pointer_cast<KRDrawingGroup>(drawn->objectAtIndex(i));
  ASSERT_TRUE(commands);
  ASSERT_EQ(commands->count(), 2u);
  auto first = std::dynamic_pointer_cast<KRDrawingGroup>(commands->objectAtIndex(0));
  auto second = std::dynamic_pointer_cast<KRDrawingGroup>(commands->objectAtIndex(1));
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(first->useShadow());
  EXPECT_TRUE(second->useShadow());
  // The glow wraps the command's own drawing, which stays as it was.
  ASSERT_EQ(second->count(), 1u);
  EXPECT_EQ(second->objectAtIndex(0)->boundingRectangle(), first->boundingRectangle());
}

}  // namespace
}  // namespace orrelin
