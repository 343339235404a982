#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingText.h"
#include "drawing/KRDrawingTwoColorNoise.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRDrawingPathRectangle> filledRect(const KRRect& r, const KRColor& color = kRed) {
  auto rect = KRDrawingPathRectangle::createWithRect(r);
  rect->setStyle(KRDrawingStyleCurve::color(color, true));
  return rect;
}

// A drawing object whose drawing fails, as a programming error would.
class BrokenObject : public KRDrawingElement {
 public:
  const char* className() const override { return "BrokenObject"; }
  void drawToCurrentContext(KRDrawingContext&) const override { throw std::runtime_error("cannot draw"); }
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<BrokenObject>(); }
};

// Records the alpha the drawing context had when the object was drawn.
class AlphaProbe : public KRDrawingElement {
 public:
  const char* className() const override { return "AlphaProbe"; }
  void drawToCurrentContext(KRDrawingContext& context) const override {
    seen = context.alpha();
    platformSeen = context.graphicsPort().alpha();
  }
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<AlphaProbe>(); }
  mutable double seen = -1, platformSeen = -1;
};

// Counts how often it is drawn (a small mark, so that it has an extent).
class DrawCounter : public KRDrawingElement {
 public:
  const char* className() const override { return "DrawCounter"; }
  void drawToCurrentContext(KRDrawingContext&) const override { ++draws; }
  KRRect computeBoundingRectangle() const override { return {1, 1, 2, 2}; }
  std::shared_ptr<KRDrawingBasic> copy() const override { return std::make_shared<DrawCounter>(); }
  mutable std::atomic<int> draws{0};
};

std::shared_ptr<KRDrawingGroup> groupOf(std::initializer_list<std::shared_ptr<KRDrawingBasic>> children) {
  auto group = KRDrawingGroup::create();
  for (const auto& child : children) group->addObject(child);
  return group;
}

}  // namespace

TEST(KRDrawingGroup, AlphaInsideAlphaMultipliesAndIsPutBack) {
  auto probe = std::make_shared<AlphaProbe>();
  auto inner = groupOf({filledRect({0, 0, 10, 10}), probe});
  inner->setAlpha(0.5);
  auto outer = groupOf({inner});
  outer->setAlpha(0.5);
  auto gc = GraphicsContext::createForImage({10, 10});
  KRDrawingContext context(gc);
  outer->drawToCurrentContext(context);
  EXPECT_DOUBLE_EQ(probe->seen, 0.25);
  EXPECT_DOUBLE_EQ(probe->platformSeen, 0.25);
  EXPECT_EQ(context.alpha(), 1);
  EXPECT_EQ(gc->alpha(), 1);
  EXPECT_EQ(gc->gStateDepth(), 0);
  EXPECT_NEAR(gc->image()->pixel(5, 5).alpha, 64, 1);
}

TEST(KRDrawingGroup, ACropCutsTheChildrenAndTheBoundingRectangle) {
  auto group = groupOf({filledRect({0, 0, 40, 40})});
  group->setCrop(KRDrawingPathCircle::createWithCenter({20, 20}, 10));
  auto picture = render(*group, 40, 40);
  EXPECT_EQ(picture.alphaAt(20, 20), 255);
  EXPECT_EQ(picture.alphaAt(2, 2), 0);
  EXPECT_EQ(picture.alphaAt(20, 32), 0);
  EXPECT_EQ(group->boundingRectangle(), KRRect(10, 10, 20, 20));
  EXPECT_TRUE(group->hitTestForPoint({20, 20}));
  EXPECT_FALSE(group->hitTestForPoint({11, 11}));  // in the square, outside the crop
}

TEST(KRDrawingGroup, BoundingRectanglesFollowScaleShiftAndRotation) {
  auto group = groupOf({filledRect({0, 0, 20, 10}), filledRect({30, 0, 10, 10})});
  EXPECT_EQ(group->boundingRectangle(), KRRect(0, 0, 40, 10));
  group->shiftBy({5, 7}, 2, 3);
  EXPECT_EQ(group->boundingRectangle(), KRRect(5, 7, 80, 30));
  EXPECT_EQ(group->boundingRectangleBeforeTransformation(), KRRect(0, 0, 40, 10));
  group->rotateAround({5, 7}, M_PI / 2);
  expectRectNear(group->boundingRectangle(), {-25, 7, 30, 80}, 1e-9);
  // And the drawing agrees with the rectangle.
  auto square = groupOf({filledRect({10, 10, 20, 20})});
  square->rotateAround({20, 20}, M_PI / 4);
  double half = 10 * std::sqrt(2.0);
  expectRectNear(square->boundingRectangle(), {20 - half, 20 - half, 2 * half, 2 * half}, 1e-9);
  auto picture = render(*square, 40, 40, 2);
  expectRectNear(picture.inkBox(), square->boundingRectangle(), 0.6);
}

TEST(KRDrawingGroup, RotationThenScaleAndShiftPlaceChildrenAsDescribed) {
  // A child point p is drawn at p * s + shift, then rotated around the centre.
  auto group = groupOf({filledRect({0, 0, 4, 4})});
  group->shiftBy({10, 0}, 2);
  group->rotateAround({10, 0}, M_PI / 2);
  auto picture = render(*group, 20, 20);
  // (0..8) x (0..8) shifted to (10..18) x (0..8), turned a quarter around (10, 0).
  expectRectNear(picture.inkBox(), {2, 0, 8, 8}, 0.01);
  EXPECT_TRUE(group->hitTestForPoint({6, 4}));
  EXPECT_FALSE(group->hitTestForPoint({14, 4}));
}

TEST(KRDrawingGroup, ABrokenChildIsReportedAndTheRestDraws) {
  MessageCapture messages;
  auto group = groupOf({filledRect({0, 0, 10, 10}), std::make_shared<BrokenObject>(), filledRect({20, 0, 10, 10}, kBlue)});
  auto picture = render(*group, 30, 10);
  EXPECT_EQ(picture.at(5, 5), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(picture.at(25, 5), (KRPixel{0, 0, 255, 255}));
  auto texts = messages.texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Error when drawing BrokenObject\ncannot draw");
}

TEST(KRDrawingGroup, ListOperationsReportWhatTheyCannotDo) {
  MessageCapture messages;
  auto a = filledRect({0, 0, 1, 1}), b = filledRect({1, 1, 1, 1}), c = filledRect({2, 2, 1, 1});
  auto group = KRDrawingGroup::createWithCapacity(4);
  EXPECT_TRUE(group->isEmpty());
  group->addObject(a);
  group->addObject(c);
  group->insertObject(b, 1);
  EXPECT_EQ(group->count(), 3u);
  EXPECT_EQ(group->indexOfObject(c), 2u);
  EXPECT_EQ(group->objectAtIndex(1), b);
  EXPECT_EQ(group->objectAtIndex(9), nullptr);
  group->removeObjectAtIndex(3);
  EXPECT_EQ(group->count(), 3u);
  group->removeObject(b);
  group->replaceObjectAtIndex(0, c);
  EXPECT_EQ(group->objects(), (std::vector<std::shared_ptr<KRDrawingBasic>>{c, c}));
  group->removeLastObject();
  group->removeAllObjects();
  group->removeLastObject();
  group->addObject(nullptr);
  EXPECT_TRUE(group->isEmpty());
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"Removing a drawing object out of bounds.", "Removing a drawing object out of bounds.",
                                      "Internal error: Trying to add a nil drawing object to a group."}));
}

TEST(KRDrawingGroup, ChangingTheListDropsTheCachedRectangle) {
  auto group = groupOf({filledRect({0, 0, 10, 10})});
  EXPECT_EQ(group->boundingRectangle(), KRRect(0, 0, 10, 10));
  group->addObject(filledRect({20, 20, 5, 5}));
  EXPECT_EQ(group->boundingRectangle(), KRRect(0, 0, 25, 25));
  // A change deeper down reaches the outer group through changeInObject.
  auto inner = groupOf({filledRect({0, 0, 1, 1})});
  auto outer = groupOf({inner});
  EXPECT_EQ(outer->boundingRectangle(), KRRect(0, 0, 1, 1));
  auto added = filledRect({5, 5, 1, 1});
  inner->addObject(added);
  EXPECT_EQ(outer->boundingRectangle(), KRRect(0, 0, 1, 1));  // still the cached one
  outer->changeInObject(added.get());
  EXPECT_EQ(outer->boundingRectangle(), KRRect(0, 0, 6, 6));
}

struct LayeredChange {
  const char* name;
  std::function<void(KRDrawingGroup&)> change;
  std::function<void(const KRImage&)> check;
};

void PrintTo(const LayeredChange& c, std::ostream* out) { *out << c.name; }

class LayeredGroupChanges : public testing::TestWithParam<LayeredChange> {};

TEST_P(LayeredGroupChanges, ShowWhenTheGroupIsDrawnAgainIntoTheSameContext) {
  // A red disc drawn through a cached layer that spans the page (an
  // invisible frame widens the group); a change must not be hidden by the
  // layer made before it.
  auto disc = KRDrawingPathCircle::createWithCenter({15, 15}, 6.3);
  disc->setFillCurve(true);
  auto frame = KRDrawingPathRectangle::createWithRect({0, 0, 30, 30});
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::white().withAlpha(0), 1));
  auto group = groupOf({frame, disc});
  group->setStyle(KRDrawingStyleCurve::color(kRed, true));
  group->setUseLayerHint(true);
  auto gc = GraphicsContext::createForImage({30, 30});
  KRDrawingContext context(gc);
  context.setDrawingToScreen(true);
  group->drawToCurrentContext(context);
  ASSERT_EQ(gc->image()->pixel(15, 15), (KRPixel{255, 0, 0, 255}));
  GetParam().change(*group);
  // A white page under the second drawing, in the same context.
  gc->setFillColor(KRColor::white());
  gc->addRect({0, 0, 30, 30});
  gc->fillPath();
  group->drawToCurrentContext(context);
  GetParam().check(*gc->image());
}

INSTANTIATE_TEST_SUITE_P(
    KRDrawingGroup, LayeredGroupChanges,
    testing::Values(
        LayeredChange{"alphaZero", [](KRDrawingGroup& g) { g.setAlpha(0); },
                      [](const KRImage& i) { EXPECT_EQ(i.pixel(15, 15), (KRPixel{255, 255, 255, 255})); }},
        LayeredChange{"newStyle", [](KRDrawingGroup& g) { g.setStyle(KRDrawingStyleCurve::color(kBlue, true)); },
                      [](const KRImage& i) { EXPECT_EQ(i.pixel(15, 15), (KRPixel{0, 0, 255, 255})); }},
        LayeredChange{"styleEditedInPlace",
                      [](KRDrawingGroup& g) {
                        std::static_pointer_cast<KRDrawingStyleCurve>(g.style())->overwriteColor(kBlue);
                      },
                      [](const KRImage& i) { EXPECT_EQ(i.pixel(15, 15), (KRPixel{0, 0, 255, 255})); }},
        LayeredChange{"shadow", [](KRDrawingGroup& g) { g.setShadowWithOffset({0, -8}, 0, KRColor::black()); },
                      // Page (15, 5) lies below the disc, in its shadow.
                      [](const KRImage& i) { EXPECT_EQ(i.pixel(15, 24), (KRPixel{0, 0, 0, 255})); }},
        LayeredChange{"aliased", [](KRDrawingGroup& g) { g.setDefaultAliasState(true); },
                      [](const KRImage& i) {
                        // Every pixel is the page's white or the disc's red: no smoothed edge.
                        int mixed = 0;
                        for (int y = 0; y < 30; ++y)
                          for (int x = 0; x < 30; ++x) mixed += i.pixel(x, y).green != 0 && i.pixel(x, y).green != 255;
                        EXPECT_EQ(mixed, 0);
                        EXPECT_EQ(i.pixel(15, 15), (KRPixel{255, 0, 0, 255}));
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KRDrawingGroup, ObjectsAreFoundBySerialNumberAndLocation) {
  auto leaf = filledRect({0, 0, 1, 1});
  auto inner = groupOf({filledRect({3, 3, 1, 1}), leaf});
  auto root = groupOf({filledRect({9, 9, 1, 1}), inner});
  std::int64_t serial = leaf->serialNumber();
  EXPECT_EQ(leaf->serialNumber(), serial);
  EXPECT_NE(inner->serialNumber(), serial);
  EXPECT_EQ(root->objectWithSerialNumber(serial), leaf);
  EXPECT_EQ(root->childWithSerialNumber(serial), nullptr);
  EXPECT_EQ(root->childWithSerialNumber(inner->serialNumber()), inner);
  EXPECT_EQ(root->parentOfObjectWithSerialNumber(serial), inner);
  EXPECT_EQ(root->parentOfObject(inner.get()), root);
  EXPECT_EQ(root->locationOfObject(leaf.get()), (std::vector<std::size_t>{1, 1}));
  EXPECT_FALSE(root->locationOfObject(root.get()));
  auto clicked = root->clickedResult({0.5, 0.5});
  ASSERT_TRUE(clicked);
  EXPECT_EQ(clicked->object, leaf);
  EXPECT_EQ(clicked->location, (std::vector<std::size_t>{1, 1}));
  EXPECT_FALSE(root->clickedResult({6, 6}));
  // A copy is a new object with a number of its own.
  EXPECT_NE(root->copy()->serialNumber(), root->serialNumber());
}

TEST(KRDrawingGroup, ThroughALayerItDrawsTheSameAndRendersOncePerContext) {
  auto content = [] {
    auto group = groupOf({filledRect({3.5, 4.25, 20, 10}), filledRect({10, 10, 5, 20}, kBlue)});
    auto line = KRDrawingPath::singleLineFrom({0, 0}, {30, 30});
    line->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::rgb(0, 0.5, 0), 2));
    group->addObject(line);
    return group;
  };
  auto direct = content();
  auto layered = content();
  layered->setUseLayerHint(true);
  auto a = render(*direct, 40, 40, 2), b = render(*layered, 40, 40, 2);
  int different = 0;
  for (int y = 0; y < a.image->height(); ++y)
    for (int x = 0; x < a.image->width(); ++x) {
      KRPixel p = a.image->pixel(x, y), q = b.image->pixel(x, y);
      different += std::abs(p.alpha - q.alpha) > 40 || std::abs(p.red - q.red) > 40 || std::abs(p.blue - q.blue) > 40;
    }
  EXPECT_LT(different, 10);

  ASSERT_GT(a.inkPixels(), 0);

  // The children are drawn into the layer once per context, however often
  // the group is drawn there.
  auto probe = std::make_shared<DrawCounter>();
  layered->addObject(probe);
  auto gc = GraphicsContext::createForImage({40, 40});
  KRDrawingContext context(gc);
  layered->drawToCurrentContext(context);
  layered->drawToCurrentContext(context);
  EXPECT_EQ(probe->draws, 1);
  KRDrawingContext other(GraphicsContext::createForImage({40, 40}));
  layered->drawToCurrentContext(other);
  EXPECT_EQ(probe->draws, 2);
  layered->clearCachedEntries();
  layered->drawToCurrentContext(context);
  EXPECT_EQ(probe->draws, 3);
  // Without the hint every drawing draws the children.
  layered->setUseLayerHint(false);
  layered->drawToCurrentContext(context);
  layered->drawToCurrentContext(context);
  EXPECT_EQ(probe->draws, 5);
}

TEST(KRDrawingGroup, ScalingMapsWhatIsDrawnWithTransformsAndCrop) {
  auto group = groupOf({filledRect({0, 0, 10, 10}), filledRect({12, 0, 4, 4}, kBlue)});
  group->shiftBy({5, 3}, 1.5, 0.5);
  group->rotateAround({10, 5}, 0.3);
  group->setCrop(KRDrawingPathRectangle::createWithRect({1, 1, 14, 8}));
  double s = 2;
  KRPoint around{10, 10}, to{30, 25};
  auto scaled = group->scaleBy(s, around, to, false);
  expectRectNear(scaled->boundingRectangle(), mapRect(group->boundingRectangle(), s, around, to), 1e-9);
  // Every point of the original drawing is where the mapping sends it.
  auto original = render(*group, 40, 40, 1);
  auto moved = render(*scaled, 80, 80, 1);
  for (double y = 0.5; y < 40; y += 1)
    for (double x = 0.5; x < 40; x += 1) {
      if (original.alphaAt(x, y) != 255) continue;
      KRPoint p = mapPoint({x, y}, s, around, to);
      EXPECT_EQ(moved.at(p.x, p.y), original.at(x, y)) << x << "," << y;
    }
  // cropResult keeps the result within where the original lands.
  auto cropped = group->scaleBy(4, around, to, true);
  expectRectNear(cropped->boundingRectangle(), mapRect(group->boundingRectangle(), 4, around, to), 1e-9);
}

TEST(KRDrawingGroup, SimplifyingDropsWhatLiesOutside) {
  auto inside = filledRect({0, 0, 10, 10}), outside = filledRect({100, 100, 10, 10});
  auto group = groupOf({inside, groupOf({outside})});
  auto simple = std::static_pointer_cast<KRDrawingGroup>(group->simplifyDrawingOutside({-5, -5, 20, 20}));
  ASSERT_TRUE(simple);
  EXPECT_EQ(simple->count(), 1u);
  EXPECT_FALSE(group->simplifyDrawingOutside({200, 200, 5, 5}));
  // The rectangle is taken into the group's own coordinates.
  group->setShiftBy({-100, -100});
  auto shifted = std::static_pointer_cast<KRDrawingGroup>(group->simplifyDrawingOutside({0, 0, 20, 20}));
  ASSERT_TRUE(shifted);
  EXPECT_EQ(shifted->count(), 1u);
  EXPECT_EQ(group->count(), 2u);
}

TEST(KRDrawingGroup, TransparencyIsFoundAndRemoved) {
  auto group = groupOf({filledRect({0, 0, 10, 10}, kRed.withAlpha(0.5))});
  EXPECT_TRUE(group->containsTransparency());
  auto opaque = group->removeTransparency();
  EXPECT_FALSE(opaque->containsTransparency());
  EXPECT_EQ(render(*opaque, 10, 10).alphaAt(5, 5), 255);
  auto faded = groupOf({filledRect({0, 0, 10, 10})});
  faded->setAlpha(0.4f);
  EXPECT_TRUE(faded->containsTransparency());
  EXPECT_FALSE(faded->nonTransparentVersion()->containsTransparency());
  EXPECT_TRUE(faded->containsTransparency());
}

TEST(KRDrawingGroup, CleanUpsMakeNewTreesThatDrawTheSame) {
  auto plain = groupOf({filledRect({0, 0, 5, 5})});
  auto shifted = groupOf({filledRect({0, 0, 5, 5}, kBlue)});
  shifted->setShiftBy({10, 0});
  auto root = groupOf({plain, KRDrawingGroup::create(), groupOf({KRDrawingGroup::create()}), shifted});
  auto noEmpty = root->removeEmptyGroups();
  EXPECT_EQ(noEmpty->count(), 2u);
  EXPECT_EQ(root->count(), 4u);
  auto flat = noEmpty->stripGroupsThatDontChangeDrawing();
  ASSERT_EQ(flat->count(), 2u);
  EXPECT_FALSE(std::dynamic_pointer_cast<KRDrawingGroup>(flat->objectAtIndex(0)));  // the plain group is gone
  EXPECT_TRUE(std::dynamic_pointer_cast<KRDrawingGroup>(flat->objectAtIndex(1)));   // the shifted one stays
  auto a = render(*root, 20, 10), b = render(*flat, 20, 10);
  expectSameVisiblePicture(a, b);
  EXPECT_EQ(a.at(12, 2), (KRPixel{0, 0, 255, 255}));  // the shifted square is there
}

TEST(KRDrawingGroup, MinimumLineWidthWidensThinStyledLines) {
  auto line = KRDrawingPath::singleLineFrom({0, 5}, {10, 5});
  line->setStyle(KRDrawingStyleCurve::createWithColor(kRed, 0.2));
  auto root = groupOf({groupOf({line})});
  auto wide = root->setMinimumLineWidth(2);
  auto widened = std::static_pointer_cast<KRDrawingPath>(
      std::static_pointer_cast<KRDrawingGroup>(wide->objectAtIndex(0))->objectAtIndex(0));
  EXPECT_EQ(widened->style()->lineWidth(), 2);
  EXPECT_EQ(line->style()->lineWidth(), 0.2);
}

TEST(KRDrawingGroup, AliasingIsOffOnScreenAndElsewhereOnlyWhenAllowed) {
  auto triangle = std::make_shared<KRBezierPath>();
  triangle->moveTo({0, 0});
  triangle->lineTo({20, 0});
  triangle->lineTo({0, 20});
  triangle->closePath();
  auto shape = KRDrawingPathBezier::withPath(triangle);
  shape->setStyle(KRDrawingStyleCurve::color(kRed, true));
  auto group = groupOf({shape});
  group->setDefaultAliasState(true);
  auto partialPixels = [&](bool screen) {
    KRRenderOptions options;
    options.drawingToScreen = screen;
    auto image = renderToImage(*group, {0, 0, 20, 20}, options);
    int partial = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) partial += image->pixel(x, y).alpha % 255 != 0;
    return partial;
  };
  EXPECT_EQ(partialPixels(true), 0);
  EXPECT_GT(partialPixels(false), 0);
  KRDrawingGroup::allowAliasingForNonScreenDrawing(true);
  EXPECT_EQ(partialPixels(false), 0);
  KRDrawingGroup::allowAliasingForNonScreenDrawing(false);
}

TEST(KRDrawingGroup, ShadowFallsBelowTheChildren) {
  auto group = groupOf({filledRect({10, 20, 10, 10})});
  group->setShadowWithOffset({5, -5}, 0, KRColor::black());
  auto picture = render(*group, 40, 40);
  EXPECT_EQ(picture.at(15, 25), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(picture.at(22, 17), (KRPixel{0, 0, 0, 255}));
  EXPECT_EQ(picture.alphaAt(5, 35), 0);
}

TEST(KRDrawingGroup, MagnifyingAsksForAFinerVersionFirst) {
  struct Finer : KRHigherQualityCallback {
    double asked = 0;
    std::shared_ptr<KRDrawingGroup> higherQualityVersion(const KRDrawingGroup&, double magnification) override {
      asked = magnification;
      return groupOf({filledRect({0, 0, 1, 1})});
    }
  };
  auto callback = std::make_shared<Finer>();
  auto group = groupOf({filledRect({0, 0, 10, 10})});
  group->setHigherQualityCallback(callback);
  auto once = std::static_pointer_cast<KRDrawingGroup>(group->magnify(2));
  EXPECT_EQ(callback->asked, 2);
  EXPECT_EQ(once->hasBeenMagnified(), 2);
  EXPECT_EQ(once->boundingRectangle(), KRRect(0, 0, 1, 1));
  auto plain = group->stripHighQuality();
  auto magnified = std::static_pointer_cast<KRDrawingGroup>(plain->magnify(3));
  EXPECT_EQ(magnified->boundingRectangle(), KRRect(0, 0, 30, 30));
  EXPECT_EQ(magnified->hasBeenMagnified(), 3);
}

TEST(KRDrawingGroup, BitmapAndPDFVersions) {
  MessageCapture messages;
  auto group = groupOf({filledRect({10, 10, 20, 10})});
  auto bitmap = group->bitmapVersion(2);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->drawInside(), KRRect(10, 10, 20, 10));
  EXPECT_EQ(bitmap->cgBitmap()->width(), 40);
  EXPECT_EQ(render(*bitmap, 40, 40).at(20, 15), (KRPixel{255, 0, 0, 255}));
  group->setShiftBy({1, 0});
  EXPECT_FALSE(group->bitmapVersion());
  EXPECT_TRUE(messages.saw("Can not cache a bitmap version for a shifted group."));
  auto pdf = group->dataWithPDFInsideRect({0, 0, 50, 50});
  auto document = KRPDFDocument::createWithData(pdf);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->pageSize(0), (KRSize{50, 50}));
  auto background = group->imageVersionWithBackground(KRColor::white());
  EXPECT_FALSE(background->hasTransparentPixels());
}

TEST(KRDrawingGroup, OneTreeDrawnFromSeveralThreadsAtOnceDrawsTheSame) {
  // Caches (bounds, layers, text layout, noise) are filled by whichever
  // thread comes first; every thread must still see the same drawing.
  auto make = [] {
    auto layered = groupOf({filledRect({5, 5, 30, 20}), filledRect({20, 15, 10, 30}, kBlue)});
    layered->setUseLayerHint(true);
    auto text = KRDrawingText::string("a\\beta_1", {40, 40}, KRDrawingStyleFont::styleWithFont("DejaVu Sans", 14), 0, 2);
    text->setDrawSubscriptSuperscript(true);
    auto noise = KRDrawingTwoColorNoise::createInsideRectangle({50, 0, 30, 30}, kRed, kBlue, 0.5, 5, 1, {0, 0});
    return groupOf({layered, text, noise});
  };
  auto first = render(*make(), 80, 60);
  // Every part is there to be raced for: the layered group, the text, the noise.
  EXPECT_EQ(first.at(10, 10), (KRPixel{255, 0, 0, 255}));
  EXPECT_GT(first.inkPixels(), 0);
  ASSERT_GT(render(*make()->objectAtIndex(1), 80, 60).inkPixels(), 20);
  EXPECT_EQ(first.alphaAt(60, 10), 255);
  auto expected = first.image->rgbaData();
  auto shared = make();
  std::vector<std::vector<std::uint8_t>> results(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 5; ++i) {
        if (i == 2) shared->clearCachedEntries();
        results[t] = render(*shared, 80, 60).image->rgbaData();
      }
    });
  for (auto& thread : threads) thread.join();
  for (const auto& result : results) EXPECT_EQ(result, expected);
}

TEST(KRDrawingContext, TheCurrentContextOfAThreadCanBeDrawnInto) {
  EXPECT_FALSE(KRDrawingContext::createWithCurrentContext());
  auto gc = GraphicsContext::createForImage({10, 10});
  GraphicsContext::setCurrent(gc);
  auto context = KRDrawingContext::createWithCurrentContext();
  ASSERT_TRUE(context);
  filledRect({0, 0, 10, 10})->drawToCurrentContext(*context);
  GraphicsContext::setCurrent(nullptr);
  EXPECT_EQ(gc->image()->pixel(5, 5).alpha, 255);
}
