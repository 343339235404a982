#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingRepeated.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRFloatArrayContainer> floats(int rows, std::initializer_list<float> values) {
  auto array = KRFloatArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

std::shared_ptr<KRDoubleArrayContainer> doubles(int rows, std::initializer_list<double> values) {
  auto array = KRDoubleArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

std::shared_ptr<KRContainerPath2D> loops(const std::vector<std::vector<KRPoint>>& runs) {
  return KRContainerPath2D::createWithLoops(runs);
}

std::shared_ptr<KRDrawingPathFromObj> strokedPath(const std::vector<std::vector<KRPoint>>& runs, double width = 2) {
  auto path = KRDrawingPathFromObj::createFromPath(loops(runs));
  path->setStyle(KRDrawingStyleCurve::createWithColor(kRed, width));
  return path;
}

}  // namespace

TEST(KRDrawingPathFromObj, APolylineIsClosedWhenItsEndsMeet) {
  std::vector<KRPoint> open = {{10, 10}, {50, 10}, {50, 50}, {10, 50}};
  std::vector<KRPoint> closed = open;
  closed.push_back(open.front());
  auto openPicture = render(*strokedPath({open}), 60, 60);
  auto closedPicture = render(*strokedPath({closed}), 60, 60);
  // The left edge, from (10, 50) back to (10, 10), is only there when closed.
  EXPECT_EQ(openPicture.alphaAt(10, 30), 0);
  EXPECT_EQ(closedPicture.alphaAt(10, 30), 255);
  EXPECT_EQ(openPicture.alphaAt(30, 10), 255);
  // A closed loop has a proper join at its start: the corner is filled out.
  EXPECT_EQ(closedPicture.alphaAt(9.3, 9.3), 255);
  // A run of two points is one segment, never closed.
  auto segment = render(*strokedPath({{{5, 5}, {5, 55}}}), 60, 60);
  EXPECT_EQ(segment.alphaAt(5, 30), 255);
}

TEST(KRDrawingPathFromObj, FilledAndHitLikeItsLoops) {
  std::vector<KRPoint> square = {{10, 10}, {50, 10}, {50, 50}, {10, 50}, {10, 10}};
  auto path = KRDrawingPathFromObj::createFromPath(loops({square}));
  path->setFillCurve(true);
  auto picture = render(*path, 60, 60);
  EXPECT_EQ(picture.alphaAt(30, 30), 255);
  EXPECT_EQ(picture.alphaAt(55, 30), 0);
  EXPECT_TRUE(path->hitTestForPoint({30, 30}));
  auto stroked = strokedPath({square}, 1);
  EXPECT_FALSE(stroked->hitTestForPoint({30, 30}));
  EXPECT_TRUE(stroked->hitTestForPoint({30, 11.5}));
  EXPECT_FALSE(stroked->hitTestForPoint({30, 12.5}));
  EXPECT_EQ(stroked->textDescription(), "5 points");
  EXPECT_EQ(stroked->boundingRectangle(), KRRect(9.5, 9.5, 41, 41));
}

TEST(KRDrawingPathFromObj, ABadRunStopsTheDrawingAfterTheGoodOnes) {
  MessageCapture messages;
  auto points = doubles(2, {0, 5, 40, 5, 0, 20, 40, 20});
  auto connections = KRIntArrayContainer::createArrayOfLength(7);
  int runs[] = {2, 0, 1, 5, 2, 3, 0};  // the second run claims 5 indices, 3 remain
  std::copy(std::begin(runs), std::end(runs), connections->mutablePointer());
  auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(points, connections));
  path->setStyle(KRDrawingStyleCurve::createWithColor(kRed, 2));
  auto picture = render(*path, 40, 30);
  EXPECT_EQ(picture.alphaAt(20, 5), 255);
  EXPECT_EQ(picture.alphaAt(20, 20), 0);
  EXPECT_TRUE(messages.saw("Internal error: Drawing a path with incorrect format."));
  // An index naming a point that does not exist is just as bad.
  int wrong[] = {2, 0, 9};
  auto badIndex = KRIntArrayContainer::createArrayOfLength(3);
  std::copy(std::begin(wrong), std::end(wrong), badIndex->mutablePointer());
  bool malformed = false;
  EXPECT_TRUE(KRContainerPath2D::create(points, badIndex)->runs(&malformed).empty());
  EXPECT_TRUE(malformed);
}

TEST(KRDrawingPathFromObj, PathsBeyondTheLimitsAreRefusedWithTheirMessages) {
  MessageCapture messages;
  long many = KRDrawingPathFromObj::kMaxPoints + 1;
  auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, many);
  points->setAllValues(1);
  auto few = KRIntArrayContainer::createArrayOfLength(3);
  int run[] = {2, 0, 1};
  std::copy(std::begin(run), std::end(run), few->mutablePointer());
  auto tooManyPoints = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(points, few));
  render(*tooManyPoints, 10, 10);
  EXPECT_TRUE(messages.saw("Can not draw a path with 2000001 points.  Threshold set at 2,000,000."));

  auto lines = KRIntArrayContainer::createArrayOfLength(KRDrawingPathFromObj::kMaxConnections + 2);
  int* c = lines->mutablePointer();
  for (long i = 0; i + 2 < lines->length(); i += 3) c[i] = 2, c[i + 1] = 0, c[i + 2] = 1;
  c[lines->length() - 2] = 1, c[lines->length() - 1] = 0;
  auto tooManyLines = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(doubles(2, {0, 0, 9, 9}), lines));
  auto picture = render(*tooManyLines, 10, 10);
  EXPECT_EQ(picture.inkPixels(), 0);
  EXPECT_TRUE(messages.saw(
      "Internal error: Trying to draw a path with 1000002 lines, but there is a cap at 1000000 lines."));
  // At the caps themselves a path is drawn.
  auto atCap = KRIntArrayContainer::createArrayOfLength(KRDrawingPathFromObj::kMaxConnections);
  int* d = atCap->mutablePointer();
  d[0] = static_cast<int>(atCap->length() - 1);
  for (long i = 1; i < atCap->length(); ++i) d[i] = static_cast<int>(i % 2);
  auto capped = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(doubles(2, {0, 0, 9, 9}), atCap));
  EXPECT_GT(render(*capped, 10, 10).inkPixels(), 0);

  EXPECT_FALSE(KRDrawingPathFromObj::createFromPath(nullptr));
  EXPECT_TRUE(messages.saw("Internal error: Trying to draw a nil path."));
  render(KRDrawingPathFromObj(), 10, 10);
  EXPECT_TRUE(messages.saw("Severe error: thePath==nil for KRDrawingPathFromObj."));
}

TEST(KRDrawingPathFromObj, DataMappedByARecordKeepsItsMapping) {
  KR2DDrawingInfo info;
  info.shiftX = -1, info.scaleX = 10, info.shiftY = 2, info.scaleY = 5;
  auto data = loops({{{1, 0}, {3, 4}}});
  auto path = KRDrawingPathFromObj::createFromPath(*data, info);
  EXPECT_EQ(path->thePath()->point(1), (KRPoint{20, 30}));
  EXPECT_TRUE(path->mappingDefined());
  EXPECT_EQ(path->xscale(), 10);
  EXPECT_EQ(path->yshift(), 2);
}

TEST(KRDrawingPathFromObj, SimplifyingKeepsOnlyRunsNearTheRectangle) {
  auto path = strokedPath({{{0, 0}, {10, 10}}, {{100, 100}, {110, 100}}, {{-50, 5}, {50, 5}}});
  auto simple = std::static_pointer_cast<KRDrawingPathFromObj>(path->simplifyDrawingOutside({0, 0, 20, 20}));
  ASSERT_TRUE(simple);
  EXPECT_EQ(simple->thePath()->numberOfLoops(), 2);
  EXPECT_FALSE(path->simplifyDrawingOutside({500, 500, 1, 1}));
}

TEST(KRContainerPath2D, RawFormRoundTrips) {
  auto path = loops({{{1, 2}, {3, 4}, {1, 2}}, {{5, 6}, {7, 8}}});
  auto raw = path->convertToRawFormat();
  ASSERT_TRUE(raw);
  auto back = KRContainerPath2D::convertFromRawFormat(*raw);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->numberOfLoops(), 2);
  EXPECT_EQ(back->point(3), (KRPoint{5, 6}));
  EXPECT_TRUE(back->isClosed(back->runs()[0]));
  EXPECT_FALSE(back->isClosed(back->runs()[1]));
  MessageCapture messages;
  EXPECT_FALSE(KRContainerPath2D::convertFromRawFormat(PropertyList(PlistDictionary{})));
  EXPECT_EQ(messages.texts().size(), 1u);
}

TEST(KRDrawingPathCircleCollection, ANegativeRadiusInsideAPositiveOneMakesARing) {
  auto circles = KRDrawingPathCircleCollection::createFromArray(floats(3, {30, 30, 20, 30, 30, -10}));
  ASSERT_TRUE(circles);
  circles->setStyle(KRDrawingStyleCurve::color(kBlue, true));
  auto picture = render(*circles, 60, 60);
  EXPECT_EQ(picture.alphaAt(30, 30), 0);
  EXPECT_EQ(picture.at(30, 45), (KRPixel{0, 0, 255, 255}));
  EXPECT_EQ(picture.alphaAt(30, 55), 0);
  EXPECT_FALSE(circles->hitTestForPoint({30, 30}));
  EXPECT_TRUE(circles->hitTestForPoint({30, 45}));
  EXPECT_EQ(circles->textDescription(), "2 points");
}

TEST(KRDrawingPathCircleCollection, HugeRadiiAreDrawnAsForty) {
  auto circles = KRDrawingPathCircleCollection::createFromArray(floats(3, {100, 100, 3001, 100, 100, 3000}));
  circles->setFillCurve(true);
  EXPECT_EQ(KRDrawingPathCircleCollection::drawnRadius(3001), 40);
  EXPECT_EQ(KRDrawingPathCircleCollection::drawnRadius(-3001), -40);
  EXPECT_EQ(KRDrawingPathCircleCollection::drawnRadius(3000), 3000);
  auto only = KRDrawingPathCircleCollection::createFromArray(floats(3, {100, 100, 3001}));
  only->setFillCurve(true);
  EXPECT_EQ(only->boundingRectangle(), KRRect(60, 60, 80, 80));
  auto picture = render(*only, 200, 200);
  expectRectNear(picture.inkBox(), {60, 60, 80, 80}, 1);
}

TEST(KRDrawingPathCircleCollection, MagnifiedMarkersKeepTheirSizeAndStandInsGrowWithThem) {
  auto circles = KRDrawingPathCircleCollection::createFromArray(floats(3, {1, 1, 100, 5, 5, 3001}));
  circles->setFillCurve(true);
  auto magnified = std::static_pointer_cast<KRDrawingPathCircleCollection>(circles->magnify(40));
  EXPECT_EQ(magnified->radiusScale(), 40);
  // A radius of 100 becomes 4000 (not the stand-in); the stand-in 40 becomes 1600.
  EXPECT_EQ(magnified->boundingRectangle(), KRRect(-3960, -3960, 8000, 8000));
  auto only = KRDrawingPathCircleCollection::createFromArray(floats(3, {10, 10, 3001}));
  only->setFillCurve(true);
  auto doubled = std::static_pointer_cast<KRDrawingPathCircleCollection>(only->scaleBy(2, {0, 0}, {0, 0}, false));
  EXPECT_EQ(doubled->boundingRectangle(), KRRect(-60, -60, 160, 160));
  // What is drawn agrees: a marker of radius 3 magnified 1100 times stays a disc of 3300.
  auto marker = KRDrawingPathCircleCollection::createFromArray(floats(3, {0, 0, 3}));
  marker->setFillCurve(true);
  auto huge = marker->magnify(1100);
  auto picture = render(*huge, 200, 200);
  EXPECT_EQ(picture.inkPixels(), 200 * 200);
}

TEST(KRDrawingPathCircleCollection, ReportsWhichCircleWasHit) {
  auto circles = KRDrawingPathCircleCollection::createFromArray(floats(3, {10, 10, 5, 40, 10, 5}));
  EXPECT_EQ(circles->whichCenterWasHit({45, 10}), 1);
  EXPECT_EQ(circles->whichCenterWasHit({40, 10}), std::nullopt);  // stroked: only the ring
  circles->setFillCurve(true);
  EXPECT_EQ(circles->whichCenterWasHit({40, 10}), 1);
  EXPECT_EQ(circles->whichCenterWasHit({25, 10}), std::nullopt);
  auto moved = std::static_pointer_cast<KRDrawingPathCircleCollection>(circles->scaleBy(2, {0, 0}, {0, 0}, false));
  EXPECT_EQ(moved->boundingRectangle(), KRRect(10, 10, 80, 20));
  auto kept = std::static_pointer_cast<KRDrawingPathCircleCollection>(circles->simplifyDrawingOutside({30, 0, 5, 20}));
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->count(), 1);
}

TEST(KRDrawingPathCircleCollection, MisshapenArraysAreRefused) {
  MessageCapture messages;
  EXPECT_FALSE(KRDrawingPathCircleCollection::createFromArray(nullptr));
  EXPECT_FALSE(KRDrawingPathCircleCollection::createFromArray(floats(2, {1, 2, 3, 4})));
  EXPECT_FALSE(KRDrawingPathCircleCollection::createFromArray(KRFloatArrayContainer::createArrayOfSizeM(3, 2, 2)));
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>(3, "Internal error: KRDrawingPathCircleCollection passed an invalid array."));
  // No circles is not an error.
  EXPECT_TRUE(KRDrawingPathCircleCollection::createFromArray(KRFloatArrayContainer::createArrayOfLength(0)));
}

TEST(KRDrawingPathLineCollection, SegmentsTakeTheirOwnColours) {
  auto lines = floats(4, {5, 5, 55, 5, 5, 25, 55, 25});
  auto colours = floats(4, {1, 0, 0, 1, 0, 0, 1, 0.5});
  auto collection = KRDrawingPathLineCollection::createLines(lines, colours);
  ASSERT_TRUE(collection);
  collection->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 4));
  auto picture = render(*collection, 60, 30);
  EXPECT_EQ(picture.at(30, 5), (KRPixel{255, 0, 0, 255}));
  KRPixel second = picture.at(30, 25);
  EXPECT_EQ(second.blue, 255);
  EXPECT_NEAR(second.alpha, 128, 1);
  EXPECT_TRUE(collection->containsTransparency());
  EXPECT_FALSE(collection->nonTransparentVersion()->containsTransparency());
  EXPECT_EQ(collection->textDescription(), "2 lines");
  // Without colours they all take the style's colour.
  auto plain = KRDrawingPathLineCollection::createLines(lines, nullptr);
  plain->setStyle(KRDrawingStyleCurve::createWithColor(kBlue, 4));
  EXPECT_EQ(render(*plain, 60, 30).at(30, 25), (KRPixel{0, 0, 255, 255}));
  EXPECT_TRUE(plain->hitTestForPoint({30, 26.5}));
  EXPECT_FALSE(plain->hitTestForPoint({30, 15}));
}

TEST(KRDrawingPathLineCollection, BadArraysGiveTheirMessages) {
  MessageCapture messages;
  auto lines = floats(4, {0, 0, 1, 1});
  EXPECT_FALSE(KRDrawingPathLineCollection::createLines(nullptr, nullptr));
  EXPECT_FALSE(KRDrawingPathLineCollection::createLines(floats(2, {0, 0, 1, 1}), nullptr));
  EXPECT_FALSE(KRDrawingPathLineCollection::createLines(lines, floats(2, {1, 0})));
  EXPECT_FALSE(KRDrawingPathLineCollection::createLines(lines, floats(3, {1, 0, 0, 0, 1, 0})));
  EXPECT_TRUE(KRDrawingPathLineCollection::createLines(lines, floats(3, {1, 0, 0})));
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Invalid line array object", "Invalid size for line collection",
                                                        "Invalid line color object", "Invalid line color object"}));
}

TEST(KRDrawingCubicBezier, PiecesAreSegmentsOrCurvesThroughTheirEnds) {
  // A straight piece, then a curve piece of one cubic, then a piece with a spare point.
  auto array = doubles(2, {0, 2, 5, 5, 55, 5,                     //
                           0, 4, 5, 20, 5, 40, 55, 40, 55, 20,    //
                           0, 3, 0, 0, 1, 1, 2, 2});
  auto curves = KRDrawingCubicBezier::createWithArray(array);
  ASSERT_TRUE(curves);
  EXPECT_EQ(curves->numberOfPieces(), 3);
  curves->setStyle(KRDrawingStyleCurve::createWithColor(kRed, 2));
  auto picture = render(*curves, 60, 60);
  EXPECT_EQ(picture.alphaAt(30, 5), 255);
  EXPECT_GT(picture.alphaAt(30, 34.5), 200);  // the top of the arch: 20 + 0.75 * 20
  EXPECT_EQ(picture.alphaAt(30, 20), 0);
  EXPECT_NEAR(curves->boundingRectangle().maxY(), 36, 0.2);
}

TEST(KRDrawingCubicBezier, ArraysWhosePiecesDoNotFitAreRefused) {
  MessageCapture messages;
  EXPECT_FALSE(KRDrawingCubicBezier::createWithArray(nullptr));
  EXPECT_FALSE(KRDrawingCubicBezier::createWithArray(doubles(3, {0, 1, 2})));
  EXPECT_FALSE(KRDrawingCubicBezier::createWithArray(doubles(2, {0, 5, 1, 1})));  // five points promised, one there
  EXPECT_FALSE(KRDrawingCubicBezier::createWithArray(doubles(2, {0, 0, 1, 1})));  // a piece of no points
  EXPECT_EQ(messages.texts(), std::vector<std::string>(4, "+ (KRDrawingCubicBezier *)createWithArray: array has invalid size."));
}

TEST(KRDrawingRepeated, StampsTheStencilAtEveryOffset) {
  auto stencil = KRDrawingGroup::create();
  auto mark = KRDrawingPathRectangle::createWithRect({0, 0, 4, 4});
  mark->setStyle(KRDrawingStyleCurve::color(kRed, true));
  stencil->addObject(mark);
  auto offsets = floats(2, {10, 10, 30, 20, 50, 40});
  auto repeated = KRDrawingRepeated::drawing(stencil, {4, 4}, {2, 2}, offsets);
  ASSERT_TRUE(repeated);
  EXPECT_EQ(repeated->textDescription(), "Stencil with 3 copies");
  auto picture = render(*repeated, 60, 60);
  for (KRPoint centre : {KRPoint{10, 10}, KRPoint{30, 20}, KRPoint{50, 40}}) {
    EXPECT_EQ(picture.at(centre.x, centre.y), (KRPixel{255, 0, 0, 255}));
    EXPECT_EQ(picture.alphaAt(centre.x + 3, centre.y), 0);
  }
  EXPECT_EQ(picture.inkPixels(), 3 * 16);
  EXPECT_EQ(repeated->boundingRectangle(), KRRect(8, 8, 44, 34));
  EXPECT_TRUE(repeated->hitTestForPoint({31, 21}));
  EXPECT_FALSE(repeated->hitTestForPoint({20, 20}));
  // The expanded form draws the same.
  EXPECT_EQ(render(*repeated->expandObject(), 60, 60).image->rgbaData(), picture.image->rgbaData());
}

TEST(KRDrawingRepeated, IntoAPDFTheStencilStaysVectorsAtEveryOffset) {
  auto stencil = KRDrawingGroup::create();
  auto mark = KRDrawingPathRectangle::createWithRect({0, 0, 4, 4});
  mark->setStyle(KRDrawingStyleCurve::color(kRed, true));
  stencil->addObject(mark);
  auto repeated = KRDrawingRepeated::drawing(stencil, {4, 4}, {2, 2}, floats(2, {10, 10, 30, 20}));
  auto bytes = renderToPDF(*repeated, {0, 0, 40, 30});
  // No raster in the document...
  std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("/Subtype /Image"), std::string::npos);
  auto pdf = KRDrawingPDF::createWithPDF(KRPDFDocument::createWithData(bytes), {0, 0, 40, 30});
  ASSERT_TRUE(pdf);
  // ...and magnified eight times the stamps' edges are still exact: the
  // squares (8..12, 8..12) and (28..32, 18..22) cover whole pixels, and a
  // stamp from a raster would blur them.
  auto picture = render(*pdf, 40, 30, 8);
  expectRectNear(picture.inkBox(), {8, 8, 24, 14}, 1e-9);
  EXPECT_EQ(picture.inkPixels(), 2 * 32 * 32);
  EXPECT_EQ(picture.inkPixels(254), 2 * 32 * 32);
  EXPECT_EQ(picture.at(30, 20), (KRPixel{255, 0, 0, 255}));
}

TEST(KRDrawingRepeated, LargeStencilsAreExpandedAndDrawTheSame) {
  auto stencil = KRDrawingGroup::create();
  auto mark = KRDrawingPathCircle::createWithCenter({300, 250}, 5);
  mark->setFillCurve(true);
  stencil->addObject(mark);
  auto offsets = floats(2, {20, 20, 40, 30});
  auto large = KRDrawingRepeated::drawing(stencil, {600, 500}, {300, 250}, offsets);  // 300000 square points
  auto picture = render(*large, 60, 60);
  EXPECT_EQ(picture.alphaAt(20, 20), 255);
  EXPECT_EQ(picture.alphaAt(40, 30), 255);
  EXPECT_EQ(picture.alphaAt(30, 25), 0);
  MessageCapture messages;
  EXPECT_FALSE(KRDrawingRepeated::drawing(nullptr, {1, 1}, {0, 0}, offsets));
  EXPECT_FALSE(KRDrawingRepeated::drawing(stencil, {1, 1}, {0, 0}, floats(3, {1, 2, 3})));
  EXPECT_EQ(messages.texts().size(), 2u);
}

TEST(KRDrawingRepeated, ScalingMovesTheOffsetsAndGrowsTheStencil) {
  auto stencil = KRDrawingGroup::create();
  auto mark = KRDrawingPathRectangle::createWithRect({0, 0, 2, 2});
  mark->setStyle(KRDrawingStyleCurve::color(kRed, true));
  stencil->addObject(mark);
  auto repeated = KRDrawingRepeated::drawing(stencil, {2, 2}, {1, 1}, floats(2, {5, 5, 10, 5}));
  auto scaled = repeated->scaleBy(3, {5, 5}, {20, 20}, false);
  EXPECT_EQ(scaled->boundingRectangle(), mapRect(repeated->boundingRectangle(), 3, {5, 5}, {20, 20}));
  auto picture = render(*scaled, 60, 40);
  EXPECT_EQ(picture.alphaAt(20, 20), 255);
  EXPECT_EQ(picture.alphaAt(35, 20), 255);
  EXPECT_EQ(picture.inkPixels(), 2 * 36);
}

TEST(KRDrawingGradient, RunsBetweenItsStopsInsideItsFrame) {
  auto colours = doubles(4, {0, 1, 0, 0, 1, 0, 0, 1});
  auto gradient = KRDrawingGradient::createWithColors(colours, "NSDeviceRGBColorSpace", {10, 0}, {50, 0}, {10, 10, 40, 20});
  ASSERT_TRUE(gradient);
  EXPECT_EQ(gradient->textDescription(), "Between 2 colors");
  auto picture = render(*gradient, 60, 40);
  EXPECT_NEAR(picture.at(10.5, 20).red, 255, 4);
  EXPECT_NEAR(picture.at(49.5, 20).blue, 255, 4);
  EXPECT_EQ(picture.at(10.5, 20).alpha, 255);
  EXPECT_NEAR(picture.at(30, 20).red, 128, 5);
  EXPECT_EQ(picture.alphaAt(5, 20), 0);
  EXPECT_EQ(picture.alphaAt(30, 35), 0);
  EXPECT_FALSE(gradient->containsTransparency());
}

TEST(KRDrawingGradient, TransparentGradientsBecomeBitmapsWhenAsked) {
  auto opaque = KRDrawingGradient::createWithColors(doubles(4, {0, 1, 0, 0, 1, 0, 0, 1}), "", {0, 0}, {10, 0}, {0, 0, 10, 10});
  auto faded = KRDrawingGradient::createWithColors(doubles(5, {0, 1, 0, 0, 1, 1, 0, 0, 1, 0.5}), "", {0, 0}, {10, 0},
                                                   {10, 0, 10, 10});
  ASSERT_TRUE(faded);
  EXPECT_TRUE(faded->containsTransparency());
  EXPECT_FALSE(faded->nonTransparentVersion()->containsTransparency());
  auto group = KRDrawingGroup::create();
  group->addObject(opaque);
  group->addObject(KRDrawingGroup::createWithDrawingObject(faded));
  EXPECT_TRUE(group->containsGradientsWithTransparency());
  auto printable = group->removeGradients(true);
  EXPECT_FALSE(printable->containsGradientsWithTransparency());
  EXPECT_TRUE(std::dynamic_pointer_cast<KRDrawingGradient>(printable->objectAtIndex(0)));
  auto inner = std::static_pointer_cast<KRDrawingGroup>(printable->objectAtIndex(1));
  EXPECT_TRUE(std::dynamic_pointer_cast<KRDrawingBitmap>(inner->objectAtIndex(0)));
  EXPECT_TRUE(printable->containsBitmap());
  auto allBitmaps = group->removeGradients(false);
  EXPECT_TRUE(std::dynamic_pointer_cast<KRDrawingBitmap>(allBitmaps->objectAtIndex(0)));
  // The bitmaps draw what the gradients drew.
  auto before = render(*group, 20, 10), after = render(*allBitmaps, 20, 10);
  for (double x = 0.5; x < 20; x += 3) {
    EXPECT_NEAR(before.at(x, 5).red, after.at(x, 5).red, 6);
    EXPECT_NEAR(before.at(x, 5).alpha, after.at(x, 5).alpha, 6);
  }
}

TEST(KRDrawingGradient, MisshapenColourListsAreRefused) {
  MessageCapture messages;
  EXPECT_FALSE(KRDrawingGradient::createWithColors(nullptr, "", {}, {}, {}));
  EXPECT_FALSE(KRDrawingGradient::createWithColors(doubles(3, {0, 1, 1}), "", {}, {}, {}));
  EXPECT_EQ(messages.texts().size(), 2u);
}
