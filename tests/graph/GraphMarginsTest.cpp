#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingStyle.h"
#include "axes/VKAxisSettings.h"
#include "graph/GraphTestSupport.h"
#include "graph/GraphTexts.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "mathtext/KRDrawingExpressionText.h"
#include "numeric/KRFloatArrayContainer.h"
#include "platform/UserDefaults.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;
using testing_support::GraphInDocument;

void set(DataDrawingCommand& command, const std::string& key, PropertyList value) {
  command.objectWithName(key)->setFromPropertyList(&value);
}

std::shared_ptr<VKDrawingCommand> makeKind(const std::string& type) {
  return std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand(type));
}

// Every leaf of the tree, depth first; typeset texts count as leaves.
void leaves(const std::shared_ptr<KRDrawingBasic>& object, const std::function<void(const KRDrawingBasic&)>& visit) {
  auto group = std::dynamic_pointer_cast<KRDrawingGroup>(object);
  if (group && !std::dynamic_pointer_cast<KRDrawingExpressionText>(object)) {
    for (std::size_t i = 0; i < group->count(); ++i) leaves(group->objectAtIndex(i), visit);
    return;
  }
  visit(*object);
}

struct LabelCase {
  const char* name;
  double x0, x1, y0, y1;
  bool stackedSecondY;
};

class LabelsOnThePage : public ::testing::TestWithParam<LabelCase> {};

// Numbers centred on the first and last ticks reach beyond the plot area;
// the margins must take them in, so nothing drawn leaves the page.
TEST_P(LabelsOnThePage, EverythingDrawnStaysInsideThePage) {
  const LabelCase& c = GetParam();
  GraphInDocument holder;
  auto& graph = *holder.graph;
  addRangeCommand(graph, c.x0, c.x1, c.y0, c.y1);
  if (c.stackedSecondY) {
    graph.addCommand(makeKind("Y Axis"));
    addRangeCommand(graph, c.x0, c.x1, 33.5, 35)->moveToXAxis(0, 1);
  }
  for (double scale : {1.0, 2.0}) {
    const KRSize page{360, 252};
    auto drawn = graph.createGraphic(page, scale, false, {}, KRRect());
    ASSERT_TRUE(drawn);
    int texts = 0;
    leaves(drawn, [&](const KRDrawingBasic& leaf) {
      KRRect box = leaf.boundingRectangle();
      if (box.isEmpty()) return;
      ++texts;
      // The background was magnified by the scale for the screen.
      EXPECT_GE(box.minX(), -0.01) << leaf.className();
      EXPECT_GE(box.minY(), -0.01) << leaf.className();
      EXPECT_LE(box.maxX(), page.width * scale + 0.01) << leaf.className();
      EXPECT_LE(box.maxY(), page.height * scale + 0.01) << leaf.className();
    });
    EXPECT_GT(texts, 5);
    // The margins grow only as much as the numbers need: the plot area
    // still takes most of the page.
    EXPECT_GT(graph.plotArea().width(), page.width * 0.7);
  }
}

INSTANTIATE_TEST_SUITE_P(GraphMargins, LabelsOnThePage,
                         ::testing::Values(LabelCase{"WideLastXNumber", 0, 250000, 0, 1, false},
                                           LabelCase{"WideFirstXNumber", -250000, 0, 0, 1, false},
                                           LabelCase{"TopYNumberAtTheEdge", 0, 1, 0, 35, false},
                                           LabelCase{"StackedYAxisAtTheTop", 0, 200, 5, 18, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GraphMargins, WideNumbersWidenTheMarginOnlyOnTheirSide) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 0, 1, 0, 1);
  ASSERT_TRUE(graph->createGraphic({400, 300}, 1, false, {}, KRRect()));
  const double narrowRight = graph->spaceOnRight(), narrowLeft = graph->spaceOnLeft();
  // The font's 1.3 sizes on the right hold a short last number.
  EXPECT_NEAR(narrowRight, 1.3 * graph->styleSettings()->numberFontSize(), 1e-5);
  command->x = KRBoundingRange::between(0, 250000);
  ASSERT_TRUE(graph->createGraphic({400, 300}, 1, false, {}, KRRect()));
  EXPECT_GT(graph->spaceOnRight(), narrowRight + 5);
  EXPECT_DOUBLE_EQ(graph->spaceOnLeft(), narrowLeft);
  // An override still has the last word.
  graph->canvasSettings()->marginEntry(graphtext::kRight).setText("7");
  ASSERT_TRUE(graph->createGraphic({400, 300}, 1, false, {}, KRRect()));
  EXPECT_DOUBLE_EQ(graph->spaceOnRight(), 7);
}

TEST(GraphMargins, MarginsAreMadeOfTheNamedSpaces) {
  auto graph = DataDocumentDrawing::create();
  addRangeCommand(*graph, 0, 1, 0, 1);
  ASSERT_TRUE(graph->createGraphic({400, 300}, 2, false, {}, KRRect()));
  EXPECT_EQ(graph->titleSpaceOnLeft(), 0);
  EXPECT_EQ(graph->titleSpaceBelow(), 0);
  const double untitledLeft = graph->spaceOnLeft();
  EXPECT_DOUBLE_EQ(untitledLeft, graph->tickAndNumberSpaceOnLeft());

  set(*graph->mainAxis(), "Y Title", PropertyList("Pressure"));
  set(*graph->mainAxis(), "X Title", PropertyList("Time"));
  ASSERT_TRUE(graph->createGraphic({400, 300}, 2, false, {}, KRRect()));
  EXPECT_GT(graph->titleSpaceOnLeft(), 10);
  EXPECT_DOUBLE_EQ(graph->spaceOnLeft(), graph->tickAndNumberSpaceOnLeft() + graph->titleSpaceOnLeft());
  EXPECT_DOUBLE_EQ(graph->spaceBelow(), graph->tickAndNumberSpaceBelow() + graph->titleSpaceBelow());
  // On the device grid of the scale.
  for (double space : {graph->tickAndNumberSpaceOnLeft(), graph->titleSpaceOnLeft(), graph->tickAndNumberSpaceBelow(),
                       graph->titleSpaceBelow()})
    EXPECT_DOUBLE_EQ(space * 2, std::round(space * 2)) << space;
  // Nothing on the right or on top without axes there.
  EXPECT_EQ(graph->tickAndNumberSpaceOnRight(), 0);
  EXPECT_EQ(graph->tickAndNumberSpaceAboveAxis(), 0);
  EXPECT_EQ(graph->tickAndNumberSpaceRightOfAxis(), 0);
}

TEST(GraphMargins, JoinedExtraAxesTakeTheirRoomOutsideTheMargins) {
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinJoin);
  auto extraX = makeKind("X Axis");
  set(*extraX, "X Title", PropertyList("Energy"));
  graph->addCommand(extraX);
  graph->addCommand(makeKind("Y Axis"));
  addRangeCommand(*graph, 300, 700, 0, 1);
  addRangeCommand(*graph, 2, 4, 10, 60)->moveToXAxis(1, 1);
  const KRSize page{400, 300};
  ASSERT_TRUE(graph->createGraphic(page, 1, false, {}, KRRect()));
  const KRRect plot = graph->plotArea();
  EXPECT_GT(graph->tickAndNumberSpaceAboveAxis(), 20);
  EXPECT_GT(graph->tickAndNumberSpaceRightOfAxis(), 10);
  // The plot area ends where the axes' room and the margin begin (within
  // the half pixel the edge moves onto the grid).
  EXPECT_NEAR(plot.maxY(), page.height - graph->spaceAbove() - graph->tickAndNumberSpaceAboveAxis(), 1.0);
  EXPECT_NEAR(plot.maxX(), page.width - graph->spaceOnRight() - graph->tickAndNumberSpaceRightOfAxis(), 1.0);
  // With outside ticks nothing reaches into the plot area from the right.
  EXPECT_EQ(graph->tickSpaceOnLeftSideOfRightAxis(), 0);
  set(*graph->styleSettings(), "Tick Style", PropertyList(2));
  ASSERT_TRUE(graph->createGraphic(page, 1, false, {}, KRRect()));
  EXPECT_GT(graph->tickSpaceOnLeftSideOfRightAxis(), 0);
}

TEST(GraphMargins, CommandsGetTheGraphsFonts) {
  auto graph = DataDocumentDrawing::create();
  auto command = addRangeCommand(*graph, 0, 1, 0, 1);
  ASSERT_EQ(command->insideDrawing(), graph.get());
  // A label setting naming the graph's label font gets the style's size,
  // whatever size the setting itself carries; a local font keeps its own.
  auto label = command->insideDrawing()->drawingFont(VKFontStyle{4, "Helvetica", 10, KRColor::black()});
  EXPECT_DOUBLE_EQ(label->fontSize(), graph->styleSettings()->drawingFont(VKFontStyle{4})->fontSize());
  EXPECT_NE(label->fontSize(), 10);
  auto local = command->insideDrawing()->drawingFont(VKFontStyle{5, "Helvetica", 10, KRColor::black()});
  EXPECT_DOUBLE_EQ(local->fontSize(), 10);
}

// The first colour, the second and the direction of the fill as drawn.
struct FillCase {
  int pattern;
  double lineAngle;  // degrees
};

class PatternFills : public ::testing::TestWithParam<FillCase> {};

TEST_P(PatternFills, HatchingCoversTheRectangleInThePatternsDirection) {
  auto canvas = VKCanvasSettings::create();
  PropertyList stored(PlistDictionary{{"Kind", PropertyList(3)},
                                      {"Pattern", PropertyList(GetParam().pattern)}});
  canvas->axisBackground().setFromPropertyList(&stored);
  ASSERT_EQ(canvas->axisBackground().style().kind, 3);
  const KRRect rect(13, 7, 50, 30);
  auto drawn = std::dynamic_pointer_cast<KRDrawingGroup>(canvas->addAxisBackground(rect, false));
  ASSERT_TRUE(drawn);
  ASSERT_TRUE(drawn->crop());
  EXPECT_EQ(drawn->crop()->boundingRectangle(), rect);
  // The hatching lines: a path of separate segments, which SVG writes too.
  std::vector<std::array<double, 4>> hatch;
  leaves(drawn, [&](const KRDrawingBasic& leaf) {
    if (auto path = dynamic_cast<const KRDrawingPathFromObj*>(&leaf)) {
      const auto& loops = *path->thePath();
      for (const auto& run : loops.runs()) {
        ASSERT_EQ(run.length, 2);
        const KRPoint p = loops.point(loops.connections()[run.start]);
        const KRPoint q = loops.point(loops.connections()[run.start + 1]);
        hatch.push_back({p.x, p.y, q.x, q.y});
      }
    }
  });
  ASSERT_FALSE(hatch.empty());
  const double a = GetParam().lineAngle * M_PI / 180, ux = std::cos(a), uy = std::sin(a);
  // Every line runs in the pattern's direction; their offsets across are
  // 4 points apart and reach beyond both sides of the rectangle.
  double low = INFINITY, high = -INFINITY;
  for (const auto& l : hatch) {
    double dx = l[2] - l[0], dy = l[3] - l[1];
    EXPECT_NEAR(dx * uy - dy * ux, 0, 1e-3 * std::hypot(dx, dy));
    double across = -uy * l[0] + ux * l[1];
    EXPECT_NEAR(std::remainder(across, 4), 0, 1e-3);
    low = std::min(low, across);
    high = std::max(high, across);
  }
  for (KRPoint corner : {KRPoint{rect.minX(), rect.minY()}, KRPoint{rect.maxX(), rect.minY()},
                         KRPoint{rect.minX(), rect.maxY()}, KRPoint{rect.maxX(), rect.maxY()}}) {
    double across = -uy * corner.x + ux * corner.y;
    EXPECT_LE(low, across);
    EXPECT_GE(high, across);
  }
}

INSTANTIATE_TEST_SUITE_P(GraphMargins, PatternFills,
                         ::testing::Values(FillCase{1, 90}, FillCase{2, 135}, FillCase{3, 180}, FillCase{4, 45}));

TEST(GraphMargins, GradientFillRunsBetweenItsColoursAlongItsAngle) {
  auto canvas = VKCanvasSettings::create();
  const KRRect rect(0, 0, 200, 100);
  for (double angle : {0.0, 90.0}) {
    PropertyList stored(PlistDictionary{{"Kind", PropertyList(5)}, {"Angle", PropertyList(angle)}});
    canvas->background().setFromPropertyList(&stored);
    ASSERT_EQ(canvas->background().style().kind, 5);
    auto gradient = std::dynamic_pointer_cast<KRDrawingGradient>(canvas->addBackground(rect, false));
    ASSERT_TRUE(gradient) << angle;
    EXPECT_EQ(gradient->frame(), rect);
    ASSERT_EQ(gradient->numberOfColors(), 2);
    KRPoint from = gradient->startPoint(), to = gradient->endPoint();
    if (angle == 0) {
      EXPECT_NEAR(from.x, 0, 1e-9);
      EXPECT_NEAR(to.x, 200, 1e-9);
      EXPECT_NEAR(from.y, 50, 1e-9);
    } else {
      EXPECT_NEAR(from.y, 0, 1e-9);
      EXPECT_NEAR(to.y, 100, 1e-9);
      EXPECT_NEAR(from.x, 100, 1e-9);
    }
  }
}

std::vector<std::string> labelTexts(DataDocumentDrawing& graph) {
  std::vector<std::string> texts;
  leaves(graph.createGraphic({400, 300}, 1, false, {}, KRRect()), [&](const KRDrawingBasic& leaf) {
    if (auto text = dynamic_cast<const KRDrawingExpressionText*>(&leaf)) texts.push_back(text->stringToCreate());
  });
  return texts;
}

bool contains(const std::vector<std::string>& texts, const char* text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A date axis writes its months in the language of the dates drawn along it.
TEST(GraphNumbers, DateAxesTakeTheLanguageOfTheirDates) {
  GraphInDocument g;
  auto command = addRangeCommand(*g.graph, 0, 364 * 86400.0, 0, 1);
  command->dates = true;
  auto english = labelTexts(*g.graph);
  EXPECT_TRUE(contains(english, "May")) << ::testing::PrintToString(english);
  command->dateLocale = "de_DE";
  auto german = labelTexts(*g.graph);
  EXPECT_TRUE(contains(german, "Mai")) << ::testing::PrintToString(german);
  EXPECT_FALSE(contains(german, "May"));
}

// The decimal-comma preference reaches the numbers of the axes on the next
// pass, and going back to the point takes them back too.
TEST(GraphNumbers, TheDecimalCommaPreferenceReachesEveryAxis) {
  GraphInDocument g;
  addRangeCommand(*g.graph, 0, 1, 0, 2.5);
  auto labels = [&] { return labelTexts(*g.graph); };
  const auto has = contains;
  auto before = labels();
  EXPECT_TRUE(has(before, "0.5") && has(before, "1.5")) << ::testing::PrintToString(before);
  UserDefaults::standard().setInteger(graphtext::kDecimalCommaDefault, 1);
  auto comma = labels();
  UserDefaults::standard().removeObject(graphtext::kDecimalCommaDefault);
  EXPECT_TRUE(has(comma, "0,5") && has(comma, "1,5")) << ::testing::PrintToString(comma);
  EXPECT_FALSE(has(comma, "0.5"));
  auto after = labels();
  EXPECT_TRUE(has(after, "0.5"));
}

}  // namespace
}  // namespace orrelin
