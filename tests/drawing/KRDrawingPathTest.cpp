#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingPathFromObj.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRDrawingPathBezier> styledLine(KRPoint a, KRPoint b, double width) {
  auto line = KRDrawingPath::singleLineFrom(a, b);
  line->setStyle(KRDrawingStyleCurve::createWithColor(kRed, width));
  return line;
}

}  // namespace

struct HitCase {
  const char* name;
  double offset;  // distance beside the line
  double width;
  bool hit;
};

void PrintTo(const HitCase& c, std::ostream* out) { *out << c.name; }

class StrokedLineHits : public testing::TestWithParam<HitCase> {};

TEST_P(StrokedLineHits, WithinTwoPointsOfTheLineWhateverItsWidth) {
  const auto& c = GetParam();
  auto line = styledLine({10, 10}, {100, 50}, c.width);
  // A point at the given distance from the line's middle, on its normal.
  double length = std::hypot(90, 40);
  KRPoint middle{55, 30};
  KRPoint beside{middle.x - 40 / length * c.offset, middle.y + 90 / length * c.offset};
  EXPECT_EQ(line->hitTestForPoint(beside), c.hit);
  // Beyond an end point the distance to that end point counts.
  EXPECT_EQ(line->hitTestForPoint({10 - c.offset, 10}), c.hit);
}

INSTANTIATE_TEST_SUITE_P(KRDrawingPath, StrokedLineHits,
                         testing::Values(HitCase{"onTheLine", 0, 1, true}, HitCase{"oneAndAHalfBeside", 1.5, 1, true},
                                         HitCase{"twoAndAHalfBeside", 2.5, 1, false},
                                         HitCase{"besideAWideLine", 1.5, 10, true},
                                         HitCase{"onTheInkOfAWideLine", 4.5, 10, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KRDrawingPath, FilledPathsAreHitInsideOnly) {
  auto path = std::make_shared<KRBezierPath>();
  path->moveTo({0, 0});
  path->lineTo({40, 0});
  path->lineTo({20, 40});
  path->closePath();
  auto triangle = KRDrawingPathBezier::withPath(path);
  triangle->setStyle(KRDrawingStyleCurve::color(kRed, true));
  EXPECT_TRUE(triangle->hitTestForPoint({20, 10}));
  EXPECT_FALSE(triangle->hitTestForPoint({5, 30}));
  EXPECT_FALSE(triangle->hitTestForPoint({20, -1.5}));
  // Stroked, the same outline is hit near its edge only.
  triangle->style()->overwriteFill(false);
  EXPECT_FALSE(triangle->hitTestForPoint({20, 10}));
  EXPECT_TRUE(triangle->hitTestForPoint({20, -1.5}));
}

TEST(KRDrawingPath, CirclesAreHitOnTheirRingOrDisc) {
  auto circle = KRDrawingPathCircle::createWithCenter({50, 50}, 20);
  EXPECT_TRUE(circle->hitTestForPoint({71.5, 50}));
  EXPECT_FALSE(circle->hitTestForPoint({72.5, 50}));
  EXPECT_FALSE(circle->hitTestForPoint({50, 50}));
  circle->setFillCurve(true);
  EXPECT_TRUE(circle->hitTestForPoint({50, 50}));
  EXPECT_FALSE(circle->hitTestForPoint({71.5, 50}));
  EXPECT_EQ(circle->textDescription(), "At (50,50), radius = 20");
}

TEST(KRDrawingPath, BoundingRectanglesAddHalfTheStrokeButNotForFills) {
  auto line = styledLine({10, 10}, {110, 10}, 4);
  EXPECT_EQ(line->boundingRectangle(), KRRect(8, 8, 104, 4));
  auto rect = KRDrawingPathRectangle::createWithRect({30, 40, -20, 10});  // negative width: same area
  EXPECT_EQ(rect->boundingRectangle(), KRRect(10, 40, 20, 10));
  EXPECT_EQ(rect->textDescription(), "[10,30]x[40,50]");
  rect->setStyle(KRDrawingStyleCurve::color(kRed, true));
  rect->clearCachedEntries();
  EXPECT_EQ(rect->boundingRectangle(), KRRect(10, 40, 20, 10));
  auto circle = KRDrawingPathCircle::createWithCenter({0, 0}, -5);
  EXPECT_EQ(circle->boundingRectangle(), KRRect(-5, -5, 10, 10));
  // A curve is bounded by itself, not by its control points.
  auto arc = std::make_shared<KRBezierPath>();
  arc->moveTo({0, 0});
  arc->curveTo({0, 100}, {100, 100}, {100, 0});
  auto bounds = KRDrawingPathBezier::withPath(arc)->boundingRectangle();
  EXPECT_NEAR(bounds.maxY(), 75, 0.5);
}

TEST(KRDrawingPath, TheBoundingRectangleFollowsANewOrEditedStyle) {
  auto line = styledLine({10, 10}, {110, 10}, 2);
  EXPECT_EQ(line->boundingRectangle(), KRRect(9, 9, 102, 2));
  line->setStyle(KRDrawingStyleCurve::createWithColor(kRed, 6));
  EXPECT_EQ(line->boundingRectangle(), KRRect(7, 7, 106, 6));
  line->style()->changeLineWidth(10);
  EXPECT_EQ(line->boundingRectangle(), KRRect(5, 5, 110, 10));
  line->style()->overwriteFill(true);  // a fill has no stroke to add
  EXPECT_EQ(line->boundingRectangle(), KRRect(10, 10, 100, 0));
}

TEST(KRDrawingPath, DrawsWithItsStyleAndRestoresTheContext) {
  auto rect = KRDrawingPathRectangle::createWithRect({10, 10, 20, 20});
  rect->setStyle(KRDrawingStyleCurve::color(kRed, true));
  auto gc = GraphicsContext::createForImage({40, 40});
  KRDrawingContext context(gc);
  rect->drawToCurrentContext(context);
  EXPECT_EQ(gc->fillColor(), KRColor::black());  // the style did not leak out
  EXPECT_EQ(gc->gStateDepth(), 0);
  auto image = gc->image();
  EXPECT_EQ(image->pixel(20, 20), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(image->pixel(5, 5).alpha, 0);
}

TEST(KRDrawingPath, AMissingPathIsReportedAndGivesNothing) {
  MessageCapture messages;
  EXPECT_FALSE(KRDrawingPathBezier::withPath(nullptr));
  EXPECT_FALSE(KRDrawingPathFromCGPath::createWithCGPath(nullptr));
  EXPECT_EQ(messages.texts(), (std::vector<std::string>(2, "Internal error: Trying to draw a nil path.")));
}

TEST(KRDrawingPath, RoundedRectanglesKeepTheirCornersInside) {
  auto rounded = KRDrawingPath::roundedRectangle({0, 0, 40, 20}, 50);  // radius capped at 10
  rounded->setStyle(KRDrawingStyleCurve::color(kRed, true));
  EXPECT_EQ(rounded->boundingRectangle(), KRRect(0, 0, 40, 20));
  EXPECT_FALSE(rounded->hitTestForPoint({0.5, 0.5}));
  EXPECT_TRUE(rounded->hitTestForPoint({20, 10}));
  EXPECT_TRUE(rounded->hitTestForPoint({10, 0.5}));
}

TEST(KRDrawingPath, CollectionsDrawAsOnePathSoOppositeLoopsCutHoles) {
  auto outer = std::make_shared<KRBezierPath>();
  outer->appendRect({0, 0, 30, 30});
  auto inner = std::make_shared<KRBezierPath>();
  inner->moveTo({10, 10});  // the other way round
  inner->lineTo({10, 20});
  inner->lineTo({20, 20});
  inner->lineTo({20, 10});
  inner->closePath();
  auto collection = KRDrawingPathCollection::create({KRDrawingPathBezier::withPath(outer), KRDrawingPathBezier::withPath(inner)});
  collection->setStyle(KRDrawingStyleCurve::color(kRed, true));
  auto picture = render(*collection, 30, 30);
  EXPECT_EQ(picture.alphaAt(5, 5), 255);
  EXPECT_EQ(picture.alphaAt(15, 15), 0);
  EXPECT_FALSE(collection->hitTestForPoint({15, 15}));
  EXPECT_TRUE(collection->hitTestForPoint({5, 15}));
  EXPECT_EQ(collection->textDescription(), "2 paths");
}

TEST(KRDrawingPath, ACollectionTooLargeForAClipIsReportedAndLeavesTheClip) {
  MessageCapture messages;
  // Three paths of a million points each share one array of points.
  constexpr long kPoints = 999999;
  auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, kPoints);
  points->setAllValues(5);
  auto connections = KRIntArrayContainer::createArrayOfLength(kPoints + 1);
  int* c = connections->mutablePointer();
  c[0] = static_cast<int>(kPoints);
  for (long i = 0; i < kPoints; ++i) c[i + 1] = static_cast<int>(i);
  auto loops = KRContainerPath2D::create(points, connections);
  auto big = KRDrawingPathCollection::create({KRDrawingPathFromObj::createFromPath(loops),
                                              KRDrawingPathFromObj::createFromPath(loops),
                                              KRDrawingPathFromObj::createFromPath(loops)});
  auto group = KRDrawingGroup::create();
  auto square = KRDrawingPathRectangle::createWithRect({0, 0, 10, 10});
  square->setStyle(KRDrawingStyleCurve::color(kRed, true));
  group->addObject(square);
  group->setCrop(big);
  auto gc = GraphicsContext::createForImage({10, 10});
  KRDrawingContext context(gc);
  group->drawToCurrentContext(context);
  EXPECT_TRUE(messages.saw("Path too big to use as a clip."));
  EXPECT_EQ(gc->image()->pixel(5, 5).alpha, 255);
  // A small collection clips.
  auto small = KRDrawingPathCollection::create({KRDrawingPathRectangle::createWithRect({0, 0, 5, 10})});
  group->setCrop(small);
  auto clipped = render(*group, 10, 10);
  EXPECT_EQ(clipped.alphaAt(2, 5), 255);
  EXPECT_EQ(clipped.alphaAt(8, 5), 0);
}

TEST(KRDrawingPath, ScalingKeepsTheDataMappingConsistent) {
  KR1DPlotDrawingInfo info;
  info.setXLinearShift(-2, 30);        // page x = (x - 2) * 30
  info.setYLogarithmicShift(15, 40);   // page y = ln(y) * 40 + 15
  std::vector<KRPoint> data = {{2, 1}, {3, 10}, {7.5, 0.5}};
  auto bezier = std::make_shared<KRBezierPath>();
  bezier->moveTo(info.transform(data[0]));
  for (std::size_t i = 1; i < data.size(); ++i) bezier->lineTo(info.transform(data[i]));
  auto path = KRDrawingPathBezier::withPath(bezier);
  path->setXLinear(info.xIsLinear, info.shiftX, info.scaleX, info.yIsLinear, info.shiftY, info.scaleY);

  double s = 2.5;
  KRPoint around{40, 30}, to{100, -20};
  auto scaled = std::static_pointer_cast<KRDrawingPath>(path->scaleBy(s, around, to, false));
  ASSERT_TRUE(scaled->mappingDefined());
  KR1DPlotDrawingInfo after;
  after.xIsLinear = scaled->xLinear();
  after.shiftX = scaled->xshift();
  after.scaleX = scaled->xscale();
  after.yIsLinear = scaled->yLinear();
  after.shiftY = scaled->yshift();
  after.scaleY = scaled->yscale();
  const auto& elements = std::static_pointer_cast<KRDrawingPathBezier>(scaled)->path().elements();
  for (std::size_t i = 0; i < data.size(); ++i) {
    KRPoint expected = mapPoint(info.transform(data[i]), s, around, to);
    EXPECT_NEAR(elements[i].points[0].x, expected.x, 1e-9);
    EXPECT_NEAR(elements[i].points[0].y, expected.y, 1e-9);
    // The new mapping puts the same data on the new page positions, and back.
    KRPoint page = after.transform(data[i]);
    EXPECT_NEAR(page.x, expected.x, 1e-9);
    EXPECT_NEAR(page.y, expected.y, 1e-9);
    KRPoint back = after.fromScreenToCoordinates(page);
    EXPECT_NEAR(back.x, data[i].x, 1e-9);
    EXPECT_NEAR(back.y, data[i].y, 1e-9);
  }
}

TEST(KRDrawingInfo, LogarithmicAxesSendNonPositiveValuesToTheEdge) {
  KR1DPlotDrawingInfo info;
  info.drawRegion = {50, 60, 200, 100};
  info.setXLogarithmicShift(0, 10);
  info.setYLogarithmicShift(0, 10);
  EXPECT_EQ(info.transformX(0), 50);
  EXPECT_EQ(info.transformX(-3), 50);
  EXPECT_EQ(info.transformY(0), 60);
  EXPECT_NEAR(info.transformX(std::exp(2.0)), 20, 1e-12);
  info.changeXScaleBy(2);
  EXPECT_NEAR(info.fromScreenToCoordinatesX(40), std::exp(2.0), 1e-12);
  info.setXLinearShift(1, 2);
  EXPECT_EQ(info.transformX(-3), -4);
  info.addedToDrawRegion = true;
  info.additionalDrawingRegion = {0, 0, 10, 10};
  EXPECT_EQ(info.totalDrawRegion(), KRRect(0, 0, 250, 160));
}

TEST(KRDrawingPath, MagnifyingDrawsLikeRenderingAtTheLargerScale) {
  auto line = styledLine({5, 5}, {35, 25}, 2);
  line->style()->changeLineCap(KRLineCap::Round);
  auto small = render(*line, 40, 30, 3);
  auto big = render(*line->magnify(3), 120, 90, 1);
  ASSERT_EQ(small.image->width(), big.image->width());
  int different = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) different += std::abs(small.image->pixel(x, y).alpha - big.image->pixel(x, y).alpha) > 8;
  EXPECT_EQ(different, 0);
}
