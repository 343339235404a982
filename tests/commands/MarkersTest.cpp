#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "commands/Markers.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingRepeated.h"

namespace orrelin {
namespace {

KRRect boundsOf(const KRBezierPath& path) {
  KRBoundsSink sink;
  path.addTo(sink);
  return sink.bounds();
}

KRRect boundsOf(const VKMarkerParts& parts) {
  KRRect all = boundsOf(parts.stroked);
  for (const auto* p : {&parts.solid, &parts.interior})
    if (!p->isEmpty()) all = all.unionWith(boundsOf(*p));
  return all;
}

TEST(MarkerMenus, ListEveryTagOnceInMenuOrder) {
  const auto& points = VKMarkers::pointMenu();
  ASSERT_EQ(points.size(), 34u);
  std::vector<int> order;
  for (const auto& entry : points) order.push_back(entry.tag);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 28, 29, 30, 31, 32, 33, 34, 4, 5, 16, 17, 18, 19, 20,
                                     21, 6, 7, 12, 13, 14, 15, 8, 9, 22, 23, 10, 11, 24, 25, 26, 27}));
  EXPECT_EQ(points[3].title, "Right");
  EXPECT_EQ(points[9].title, "60");
  EXPECT_EQ(points.back().title, "Female");
  const auto& plot = VKMarkers::plotMenu();
  ASSERT_EQ(plot.size(), 27u);
  for (const auto& entry : plot) EXPECT_TRUE(entry.tag < 28 || entry.tag > 34) << entry.tag;
}

TEST(MarkerMenus, SubstitutedItemsTakeTheMarkerTitlesAndUnknownTagsGo) {
  const auto menu = VKMarkers::substituteItemsInPointMenu({{7, "?"}, {99, "Gone"}, {28, ""}, {0, "Gone"}, {1, "x"}});
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].tag, 7);
  EXPECT_EQ(menu[0].title, "Solid Box");
  EXPECT_EQ(menu[1].title, "Right");
  EXPECT_EQ(menu[2].title, "No Point");
}

TEST(MarkerMenus, OnlyTheOutlinedCircleTriangleBoxAndDiamondTakeTheFillColour) {
  std::set<int> withFill;
  for (int tag = 1; tag <= 34; ++tag)
    if (VKMarkers::typeHasFill(tag)) withFill.insert(tag);
  EXPECT_EQ(withFill, (std::set<int>{2, 4, 6, 8}));
}

// The extent of each marker about its centre, in units of the radius.
struct Extent {
  int tag;
  double left, right, bottom, top;
};

void PrintTo(const Extent& e, std::ostream* os) { *os << "tag " << e.tag; }

class MarkerGeometry : public ::testing::TestWithParam<Extent> {};

TEST_P(MarkerGeometry, HasItsDocumentedExtent) {
  const Extent e = GetParam();
  const double r = 10;
  const KRPoint c{100, 50};
  VKMarkerParts parts;
  VKMarkers::addMarker(parts, e.tag, c, r);
  KRRect b = boundsOf(parts);
  EXPECT_NEAR(b.minX(), c.x + e.left * r, 1e-6 * r);
  EXPECT_NEAR(b.maxX(), c.x + e.right * r, 1e-6 * r);
  EXPECT_NEAR(b.minY(), c.y + e.bottom * r, 1e-6 * r);
  EXPECT_NEAR(b.maxY(), c.y + e.top * r, 1e-6 * r);
}

const double kBox = std::sqrt(M_PI) / 2;                       // half side of the box
const double kDiamond = kBox * std::sqrt(2.0);                  // half diagonal of the diamond
const double kCorner = std::sqrt(4 * M_PI / (3 * std::sqrt(3.0)));  // triangle centre to corner
const double kStar = 1.3;

INSTANTIATE_TEST_SUITE_P(
    EveryShape, MarkerGeometry,
    ::testing::Values(Extent{2, -1, 1, -1, 1}, Extent{3, -1, 1, -1, 1}, Extent{28, -1, 1, -1, 1},
                      Extent{32, -1, 1, -1, 1}, Extent{34, -1, 1, -1, 1},
                      Extent{4, -kCorner * std::sqrt(3.0) / 2, kCorner * std::sqrt(3.0) / 2, -kCorner / 2, kCorner},
                      Extent{16, -kCorner * std::sqrt(3.0) / 2, kCorner * std::sqrt(3.0) / 2, -kCorner, kCorner / 2},
                      Extent{18, -kCorner, kCorner / 2, -kCorner * std::sqrt(3.0) / 2, kCorner * std::sqrt(3.0) / 2},
                      Extent{21, -kCorner / 2, kCorner, -kCorner * std::sqrt(3.0) / 2, kCorner * std::sqrt(3.0) / 2},
                      Extent{6, -kBox, kBox, -kBox, kBox}, Extent{13, -kBox, kBox, -kBox, kBox},
                      Extent{8, -kDiamond, kDiamond, -kDiamond, kDiamond},
                      Extent{22, -kStar * std::cos(M_PI / 10), kStar * std::cos(M_PI / 10),
                             -kStar * std::cos(M_PI / 5), kStar},
                      Extent{10, -1.2, 1.2, -1.2, 1.2}, Extent{11, -1.2 / std::sqrt(2.0), 1.2 / std::sqrt(2.0),
                                                               -1.2 / std::sqrt(2.0), 1.2 / std::sqrt(2.0)},
                      Extent{24, -1.2, 1.2, 0, 0}, Extent{25, 0, 0, -1.2, 1.2}, Extent{26, -1, 1, -1, 1},
                      Extent{27, -0.65, 0.65, -1.2, 1}),
    [](const auto& info) { return "Tag" + std::to_string(info.param.tag); });

TEST(MarkerGeometry, EqualAreaShapesHaveTheAreaOfTheCircle) {
  // The box side and the triangle follow from the circle's area.
  EXPECT_NEAR(std::pow(2 * kBox, 2), M_PI, 1e-12);
  const double side = kCorner * std::sqrt(3.0);
  EXPECT_NEAR(std::sqrt(3.0) / 4 * side * side, M_PI, 1e-12);
}

TEST(MarkerGeometry, SolidPartsAndInteriorsFollowTheTag) {
  for (int tag = 2; tag <= 34; ++tag) {
    VKMarkerParts parts;
    VKMarkers::addMarker(parts, tag, {0, 0}, 5);
    EXPECT_FALSE(parts.stroked.isEmpty()) << tag;
    EXPECT_EQ(!parts.interior.isEmpty(), VKMarkers::typeHasFill(tag)) << tag;
    const bool solid = tag == 3 || tag == 5 || tag == 7 || tag == 9 || tag == 17 || tag == 19 || tag == 21 ||
                       tag == 23 || (tag >= 12 && tag <= 15) || (tag >= 28 && tag <= 31);
    EXPECT_EQ(!parts.solid.isEmpty(), solid) << tag;
  }
  VKMarkerParts none;
  VKMarkers::addMarker(none, kMarkerNoPoint, {0, 0}, 5);
  VKMarkers::addMarker(none, 99, {0, 0}, 5);
  EXPECT_TRUE(none.stroked.isEmpty() && none.solid.isEmpty() && none.interior.isEmpty());
}

TEST(MarkerGeometry, HalfMarkersFillTheNamedSide) {
  struct Case {
    int tag;
    double dx, dy;  // a point inside the solid half, in radii
  };
  for (Case c : {Case{28, 0.5, 0}, Case{29, 0, -0.5}, Case{30, -0.5, 0}, Case{31, 0, 0.5}, Case{12, -0.4, 0},
                 Case{13, 0.4, 0}, Case{14, 0, 0.4}, Case{15, 0, -0.4}}) {
    VKMarkerParts parts;
    VKMarkers::addMarker(parts, c.tag, {0, 0}, 10);
    KRRect solid = boundsOf(parts.solid);
    EXPECT_TRUE(solid.contains({c.dx * 10, c.dy * 10})) << c.tag;
    EXPECT_FALSE(solid.contains({-c.dx * 10, -c.dy * 10})) << c.tag;
  }
}

std::vector<const KRDrawingBasic*> leaves(const KRDrawingGroup& group) {
  std::vector<const KRDrawingBasic*> found;
  for (std::size_t i = 0; i < group.count(); ++i) {
    const auto& child = group.objectAtIndex(i);
    if (auto inner = std::dynamic_pointer_cast<KRDrawingGroup>(child)) {
      auto more = leaves(*inner);
      found.insert(found.end(), more.begin(), more.end());
    } else {
      found.push_back(child.get());
    }
  }
  return found;
}

template <class Kind>
const Kind* findKind(const KRDrawingGroup& group) {
  for (auto* leaf : leaves(group))
    if (auto* kind = dynamic_cast<const Kind*>(leaf)) return kind;
  return nullptr;
}

std::vector<KRPoint> grid(int n) {
  std::vector<KRPoint> points;
  for (int i = 0; i < n; ++i) points.push_back({10.0 + i % 50, 10.0 + i / 50});
  return points;
}

TEST(CreatePoints, CirclesGoIntoCollectionsInChunksWithTheFillUnderTheOutline) {
  VKMarkerLook look;
  look.type = kMarkerCircle;
  look.size = 8;
  look.fillColor = KRColor::white();
  auto group = VKMarkers::createPoints(grid(2 * VKMarkers::kChunk + 5), look, nullptr, 1, false, false, {});
  ASSERT_TRUE(group);
  auto parts = leaves(*group);
  ASSERT_EQ(parts.size(), 6u);
  std::vector<long> counts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    auto* circles = dynamic_cast<const KRDrawingPathCircleCollection*>(parts[i]);
    ASSERT_TRUE(circles);
    // Each chunk: its fill, then its outline.
    EXPECT_EQ(circles->isFilled(), i % 2 == 0);
    counts.push_back(circles->count());
    EXPECT_FLOAT_EQ(circles->centersAndRadius()->constPointer()[2], 4);
  }
  EXPECT_EQ(counts, (std::vector<long>{VKMarkers::kChunk, VKMarkers::kChunk, VKMarkers::kChunk, VKMarkers::kChunk, 5, 5}));
}

class Stencils : public ::testing::TestWithParam<int> {};

TEST_P(Stencils, ManyMarkersOfOneSizeAreStampedOnlyWhenLayersAreAllowed) {
  VKMarkerLook look;
  look.type = GetParam();
  look.fillColor = KRColor::white();
  const long many = VKMarkers::kStencilThreshold + 1;
  auto stamped = VKMarkers::createPoints(grid(static_cast<int>(many)), look, nullptr, 1, false, true, {});
  auto* stencil = findKind<KRDrawingRepeated>(*stamped);
  ASSERT_TRUE(stencil);
  EXPECT_EQ(stencil->count(), many);

  auto vector = VKMarkers::createPoints(grid(static_cast<int>(many)), look, nullptr, 1, false, false, {});
  EXPECT_FALSE(findKind<KRDrawingRepeated>(*vector));
  auto few = VKMarkers::createPoints(grid(static_cast<int>(VKMarkers::kStencilThreshold)), look, nullptr, 1, false,
                                     true, {});
  EXPECT_FALSE(findKind<KRDrawingRepeated>(*few));
  // The stamped and the drawn markers cover the same page area.
  KRRect a = stamped->boundingRectangle(), b = vector->boundingRectangle();
  EXPECT_NEAR(a.minX(), b.minX(), 1.5);
  EXPECT_NEAR(a.maxY(), b.maxY(), 1.5);
}

INSTANTIATE_TEST_SUITE_P(Shapes, Stencils, ::testing::Values(kMarkerCircle, kMarkerSolidTriangle, kMarkerFemale));

TEST(CreatePoints, PerPointSizesSkipBadValuesAndUseTheStandInForHugeOnes) {
  VKMarkerLook look;
  look.type = kMarkerCircle;
  std::vector<KRPoint> points = {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}};
  std::vector<double> sizes = {4, -3, NAN, INFINITY, 1e9, 0};
  auto group = VKMarkers::createPoints(points, look, &sizes, 2, false, true, {});
  auto* circles = findKind<KRDrawingPathCircleCollection>(*group);
  ASSERT_TRUE(circles);
  ASSERT_EQ(circles->count(), 2);
  const float* c = circles->centersAndRadius()->constPointer();
  EXPECT_FLOAT_EQ(c[2], 4);   // 4 * 2 is the diameter
  EXPECT_FLOAT_EQ(c[5], 40);  // a radius of 1e9 is drawn as 40

  auto radii = VKMarkers::createPoints(points, look, &sizes, 1, true, true, {});
  EXPECT_FLOAT_EQ(findKind<KRDrawingPathCircleCollection>(*radii)->centersAndRadius()->constPointer()[2], 4);
  EXPECT_DOUBLE_EQ(VKMarkers::drawnRadius(3000), 3000);
  EXPECT_DOUBLE_EQ(VKMarkers::drawnRadius(3001), 40);
}

TEST(CreatePoints, MarkersOutsideTheRegionAndBadPositionsAreLeftOut) {
  VKMarkerLook look;
  look.type = kMarkerBox;
  look.size = 10;
  std::vector<KRPoint> points = {{50, 50}, {-20, 50}, {103, 50}, {NAN, 1}, {1, INFINITY}};
  auto group = VKMarkers::createPoints(points, look, nullptr, 1, false, false, {0, 0, 100, 100});
  ASSERT_TRUE(group);
  KRRect b = group->boundingRectangle();
  EXPECT_LT(b.minX(), 50);
  EXPECT_GT(b.minX(), 40);  // the marker at -20 is gone
  EXPECT_GT(b.maxX(), 103);  // the one just outside still shows its edge
  EXPECT_FALSE(VKMarkers::createPoints({{-50, -50}}, look, nullptr, 1, false, false, {0, 0, 100, 100}));
  look.type = kMarkerNoPoint;
  EXPECT_FALSE(VKMarkers::createPoints(points, look, nullptr, 1, false, false, {}));
}

}  // namespace
}  // namespace orrelin

namespace orrelin {
namespace {

// The region a pattern fill of markers is clipped to: the interiors of the
// markers that reach the drawing rectangle, sized as the markers are.
TEST(CreateCropForFillPoints, CoversTheInteriorsOfTheVisibleMarkers) {
  const std::vector<KRPoint> points{{10, 10}, {30, 10}, {500, 500}, {NAN, 3}};
  const KRRect drawRect(0, 0, 100, 100);
  const double half = std::sqrt(std::acos(-1.0)) / 2;  // half a box side per unit of radius
  struct Case {
    int type;
    const std::vector<double>* radius;
    bool sizeIsRadius;
    KRRect expected;  // null: no region
  };
  const std::vector<double> sizes{2, 4, 8, -1};
  const Case cases[] = {
      {kMarkerCircle, nullptr, false, KRRect(5, 5, 30, 10)},
      {kMarkerBox, nullptr, false, KRRect(10 - 5 * half, 10 - 5 * half, 20 + 10 * half, 10 * half)},
      // Diameters 2 and 4: radii 1 and 2.
      {kMarkerCircle, &sizes, false, KRRect(9, 8, 23, 4)},
      // The same numbers as radii.
      {kMarkerCircle, &sizes, true, KRRect(8, 6, 26, 8)},
      {kMarkerSolidCircle, nullptr, false, KRRect()},
      {kMarkerPlus, nullptr, false, KRRect()},
  };
  for (const auto& each : cases) {
    const auto region =
        VKMarkers::createCropForFillPoints(points, each.type, 10, each.radius, 1, each.sizeIsRadius, drawRect);
    if (each.expected.isNull()) {
      EXPECT_FALSE(region) << each.type;
      continue;
    }
    ASSERT_TRUE(region) << each.type;
    const KRRect got = region->boundingRectangle().standardized();
    EXPECT_NEAR(got.minX(), each.expected.minX(), 1e-9) << each.type;
    EXPECT_NEAR(got.minY(), each.expected.minY(), 1e-9) << each.type;
    EXPECT_NEAR(got.maxX(), each.expected.maxX(), 1e-9) << each.type;
    EXPECT_NEAR(got.maxY(), each.expected.maxY(), 1e-9) << each.type;
  }
  EXPECT_FALSE(VKMarkers::createCropForFillPoints({{500, 500}}, kMarkerCircle, 10, nullptr, 1, false, drawRect));
}

TEST(CreatePoints, StampsLandOnWholePixelsOncePerPixel) {
  VKMarkerLook look;
  look.type = kMarkerSolidCircle;
  std::vector<KRPoint> points;
  for (int i = 0; i <= VKMarkers::kStencilThreshold; ++i) points.push_back({10.2 + i, 20.4});
  // Two more on pixels already taken: they are on top, so they are the ones kept.
  points.push_back({10.4, 19.8});
  points.push_back({11.1, 20.3});
  auto group = VKMarkers::createPoints(points, look, nullptr, 1, false, true, {}, 1);
  auto* stencil = findKind<KRDrawingRepeated>(*group);
  ASSERT_TRUE(stencil);
  ASSERT_EQ(stencil->count(), VKMarkers::kStencilThreshold + 1);
  const float* xy = stencil->offsets()->constPointer();
  EXPECT_FLOAT_EQ(xy[0], 12);
  EXPECT_FLOAT_EQ(xy[1], 20);
  EXPECT_FLOAT_EQ(xy[2 * 199], 10);
  EXPECT_FLOAT_EQ(xy[2 * 200], 11);

  auto finer = VKMarkers::createPoints(points, look, nullptr, 1, false, true, {}, 2);
  const float* fine = findKind<KRDrawingRepeated>(*finer)->offsets()->constPointer();
  EXPECT_FLOAT_EQ(fine[0], 10);
  EXPECT_FLOAT_EQ(fine[1], 20.5);
}

// Very many markers for a bitmap come back as one image of the drawing
// rectangle, grown to whole pixels and by the markers' reach, with the
// markers where the stamps would have put them.
TEST(RasterizedPoints, VeryManyMarkersOnBitmapsBecomeOneImagePixelOnPixel) {
  VKMarkerLook look;
  look.type = kMarkerSolidBox;
  look.lineColor = KRColor::rgb(1, 0, 0);
  look.size = 4;
  std::vector<KRPoint> points;
  // Centres on a grid of 2-point steps, every pixel at 1 pixel per point
  // taken once at most; all of them reach the rectangle.
  for (int i = 0; points.size() <= static_cast<std::size_t>(VKMarkers::kRasterThreshold); ++i)
    points.push_back({10.0 + 2 * (i % 400), 10.0 + 2 * (i / 400)});
  const KRRect drawRect(0.25, 0.5, 810, 520.2);
  const auto group = VKMarkers::createPoints(points, look, nullptr, 1, false, true, drawRect, 2);
  ASSERT_TRUE(group);
  ASSERT_EQ(group->count(), 1u);
  const auto bitmap = std::dynamic_pointer_cast<KRDrawingBitmap>(group->objectAtIndex(0));
  ASSERT_TRUE(bitmap);
  const KRRect inside = bitmap->drawInside();
  EXPECT_LE(inside.minX(), drawRect.minX());
  EXPECT_GE(inside.maxY(), drawRect.maxY());
  for (double edge : {inside.minX(), inside.minY(), inside.maxX(), inside.maxY()})
    EXPECT_EQ(edge * 2, std::round(edge * 2)) << edge;
  const auto& image = *bitmap->cgBitmap();
  EXPECT_EQ(image.width(), std::lround(inside.width() * 2));
  EXPECT_EQ(image.height(), std::lround(inside.height() * 2));
  // Rows run top first in the image, upwards on the page.
  const auto pixelAt = [&](double x, double y) {
    return image.pixel(int(std::floor((x - inside.minX()) * 2)), int(std::floor((inside.maxY() - y) * 2)));
  };
  EXPECT_EQ(pixelAt(10.2, 10.2), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(pixelAt(9.1 + 2 * 399, 10.2).alpha, 255);
  EXPECT_EQ(pixelAt(812, 10).alpha, 0);

  // Without device pixels (vector output) the markers stay shapes.
  const auto vector = VKMarkers::createPoints(points, look, nullptr, 1, false, false, drawRect, 0);
  ASSERT_TRUE(vector);
  EXPECT_FALSE(findKind<KRDrawingBitmap>(*vector));
  // Per-point sizes are drawn as shapes first and then rasterized the same way.
  const std::vector<double> sizes(points.size(), 4);
  const auto sized = VKMarkers::createPoints(points, look, &sizes, 1, false, true, drawRect, 2);
  ASSERT_TRUE(sized);
  EXPECT_TRUE(findKind<KRDrawingBitmap>(*sized));
}

}  // namespace
}  // namespace orrelin
