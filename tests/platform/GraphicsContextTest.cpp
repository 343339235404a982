#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>

#include "platform/GraphicsContext.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

const KRColor kRed = KRColor::rgb(1, 0, 0);
const KRColor kBlue = KRColor::rgb(0, 0, 1);

// The pixel under a page point of a context made with createForImage.
KRPixel at(const KRImage& image, double pageX, double pageY, double scale = 1) {
  return image.pixel(static_cast<int>(std::floor(pageX * scale)),
                     image.height() - 1 - static_cast<int>(std::floor(pageY * scale)));
}

void fillRect(GraphicsContext& gc, const KRRect& r, const KRColor& color) {
  gc.setFillColor(color);
  gc.beginPath();
  gc.addRect(r);
  gc.fillPath();
}

}  // namespace

TEST(Geometry, RectangleUnionIgnoresEmptySidesAndIntersectionOfDisjointIsZero) {
  KRRect a{0, 0, 10, 10}, b{20, 5, 5, 30}, empty;
  EXPECT_EQ(a.unionWith(b), KRRect(0, 0, 25, 35));
  EXPECT_EQ(a.unionWith(empty), a);
  EXPECT_EQ(empty.unionWith(b), b);
  // A line has no area but still extends the union.
  EXPECT_EQ(a.unionWith({0, 20, 5, 0}), KRRect(0, 0, 10, 20));
  EXPECT_EQ(KRRect(3, 4, 0, 0).unionWith(a), a);
  EXPECT_TRUE(a.intersection(b).isEmpty());
  EXPECT_EQ(a.intersection({5, -5, 10, 10}), KRRect(5, 0, 5, 5));
  // A rectangle given with a negative width still means the same area.
  EXPECT_EQ(KRRect(10, 0, -10, 10).standardized(), a);
  EXPECT_TRUE(KRRect(10, 0, -10, 10).isNull());
  EXPECT_TRUE(KRRect(0, 0, NAN, 5).isEmpty());
}

TEST(Geometry, TransformsComposeInOrderAndInvert) {
  auto t = KRAffineTransform::scaling(2, 3).then(KRAffineTransform::translation(5, 7));
  EXPECT_EQ(t.apply({1, 1}), (KRPoint{7, 10}));
  auto r = KRAffineTransform::rotation(M_PI / 2);
  KRPoint p = r.apply({1, 0});
  EXPECT_NEAR(p.x, 0, 1e-12);
  EXPECT_NEAR(p.y, 1, 1e-12);
  KRPoint back = t.inverted().apply(t.apply({-3, 4}));
  EXPECT_NEAR(back.x, -3, 1e-12);
  EXPECT_NEAR(back.y, 4, 1e-12);
  EXPECT_FALSE(KRAffineTransform::scaling(0, 1).isInvertible());
  EXPECT_FALSE(KRAffineTransform::translation(NAN, 0).isInvertible());
  KRRect rotated = KRAffineTransform::rotation(M_PI / 4).applyToRect({0, 0, 2, 2});
  EXPECT_NEAR(rotated.width(), 2 * std::sqrt(2.0), 1e-12);
}

TEST(Geometry, ColoursConvertToDeviceRGBAndKnowPureBlack) {
  EXPECT_EQ(KRColor::cmyk(0, 0, 0, 1).rgbComponents(), (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(KRColor::cmyk(1, 0, 0, 0).rgbComponents(), (std::array<double, 3>{0, 1, 1}));
  EXPECT_EQ(KRColor::grey(0.25).rgbComponents(), (std::array<double, 3>{0.25, 0.25, 0.25}));
  EXPECT_TRUE(KRColor::grey(0, 0.5).isPureBlack());
  EXPECT_TRUE(KRColor::rgb(0, 0, 0).isPureBlack());
  EXPECT_FALSE(KRColor::rgb(0, 0, 0.01).isPureBlack());
  EXPECT_TRUE(KRColor::white().isPureWhite());
}

TEST(GraphicsContext, PageOriginIsBottomLeftAndScaleMultipliesPixels) {
  auto gc = GraphicsContext::createForImage({100, 50}, 2);
  ASSERT_TRUE(gc);
  fillRect(*gc, {0, 0, 10, 10}, kRed);
  auto image = gc->image();
  ASSERT_EQ(image->width(), 200);
  ASSERT_EQ(image->height(), 100);
  EXPECT_EQ(at(*image, 5, 5, 2), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(at(*image, 5, 45, 2).alpha, 0);
  EXPECT_EQ(at(*image, 15, 5, 2).alpha, 0);
  EXPECT_EQ(gc->deviceScale(), 2);
}

TEST(GraphicsContext, RefusesImpossibleTargets) {
  EXPECT_FALSE(GraphicsContext::createForImage({0, 10}));
  EXPECT_FALSE(GraphicsContext::createForImage({10, 10}, -1));
  EXPECT_FALSE(GraphicsContext::createForImage({1e6, 1e6}));
  EXPECT_FALSE(GraphicsContext::createForPDF({NAN, 10}));
}

TEST(GraphicsContext, FillAndStrokeColoursAndAlphaAreSavedAndRestored) {
  auto gc = GraphicsContext::createForImage({10, 10});
  gc->setFillColor(kRed);
  gc->setStrokeColor(kBlue);
  gc->saveGState();
  gc->setFillColor(kBlue);
  gc->setAlpha(0.5);
  gc->setLineWidth(7);
  EXPECT_EQ(gc->fillColor(), kBlue);
  gc->restoreGState();
  EXPECT_EQ(gc->fillColor(), kRed);
  EXPECT_EQ(gc->strokeColor(), kBlue);
  EXPECT_EQ(gc->alpha(), 1);
  EXPECT_EQ(gc->lineWidth(), 1);
  // A restore without a save changes nothing.
  gc->restoreGState();
  EXPECT_EQ(gc->gStateDepth(), 0);
  EXPECT_EQ(gc->fillColor(), kRed);
}

TEST(GraphicsContext, AlphaMultipliesTheColoursAlpha) {
  auto gc = GraphicsContext::createForImage({10, 10});
  gc->setAlpha(0.5);
  fillRect(*gc, {0, 0, 10, 10}, kRed.withAlpha(0.5));
  KRPixel p = gc->image()->pixel(5, 5);
  EXPECT_NEAR(p.alpha, 64, 1);
  EXPECT_EQ(p.red, 255);
}

TEST(GraphicsContext, WindingAndEvenOddRulesDifferInNestedLoops) {
  for (auto rule : {KRFillRule::Winding, KRFillRule::EvenOdd}) {
    auto gc = GraphicsContext::createForImage({30, 30});
    gc->setFillColor(kRed);
    gc->addRect({0, 0, 30, 30});
    gc->addRect({10, 10, 10, 10});  // same direction as the outer loop
    gc->fillPath(rule);
    auto image = gc->image();
    EXPECT_EQ(at(*image, 15, 15).alpha, rule == KRFillRule::Winding ? 255 : 0);
    EXPECT_EQ(at(*image, 5, 5).alpha, 255);
  }
}

TEST(GraphicsContext, ArcsRunningOppositeWaysCutHolesWithTheWindingRule) {
  auto gc = GraphicsContext::createForImage({40, 40});
  gc->setFillColor(kRed);
  gc->moveTo(35, 20);
  gc->addArc(20, 20, 15, 0, 2 * M_PI, false);
  gc->moveTo(25, 20);
  gc->addArc(20, 20, 5, 0, -2 * M_PI, true);
  gc->fillPath();
  auto image = gc->image();
  EXPECT_EQ(at(*image, 20, 20).alpha, 0);
  EXPECT_EQ(at(*image, 20, 30).alpha, 255);
}

TEST(GraphicsContext, PointsThatAreNotFiniteBreakThePathAndHugeOnesStayDrawable) {
  auto gc = GraphicsContext::createForImage({100, 20});
  gc->setStrokeColor(kRed);
  gc->setLineWidth(2);
  gc->moveTo(0, 5);
  gc->lineTo(40, 5);
  gc->lineTo(NAN, 5);
  gc->lineTo(60, 5);  // starts a new piece: nothing between 40 and 60
  gc->lineTo(100, 5);
  gc->moveTo(0, 15);
  gc->lineTo(1e30, 15);
  gc->strokePath();
  EXPECT_FALSE(gc->hasError()) << gc->errorText();
  auto image = gc->image();
  EXPECT_EQ(at(*image, 20, 5).alpha, 255);
  EXPECT_EQ(at(*image, 50, 5).alpha, 0);
  EXPECT_EQ(at(*image, 80, 5).alpha, 255);
  EXPECT_EQ(at(*image, 99, 15).alpha, 255);
}

TEST(GraphicsContext, IndexedLinesFollowTheirIndicesAndCloseWhenAsked) {
  double xy[] = {5, 5, 35, 5, 35, 35, NAN, NAN, 5, 35};
  for (bool close : {false, true}) {
    auto gc = GraphicsContext::createForImage({40, 40});
    gc->setStrokeColor(kRed);
    gc->setLineWidth(2);
    int order[] = {0, 1, 2, 4};
    gc->addIndexedLines(xy, order, 4, close);
    gc->strokePath();
    auto image = gc->image();
    EXPECT_EQ(at(*image, 20, 5).alpha, 255);
    EXPECT_EQ(at(*image, 5, 20).alpha, close ? 255 : 0);  // the closing side
  }
  // A point that is not finite breaks the polyline: no line through it.
  auto gc = GraphicsContext::createForImage({40, 40});
  gc->setStrokeColor(kRed);
  int broken[] = {0, 3, 2};
  gc->addIndexedLines(xy, broken, 3, true);
  gc->strokePath();
  EXPECT_EQ(gc->image()->pixel(20, 20).alpha, 0);
  EXPECT_FALSE(gc->hasError());
}

TEST(GraphicsContext, ASingularTransformHidesDrawingUntilRestored) {
  auto gc = GraphicsContext::createForImage({20, 20});
  gc->saveGState();
  gc->scaleCTM(0, 1);
  fillRect(*gc, {0, 0, 10, 10}, kRed);
  gc->restoreGState();
  EXPECT_EQ(gc->image()->pixel(5, 15).alpha, 0);
  fillRect(*gc, {0, 0, 10, 10}, kRed);
  EXPECT_FALSE(gc->hasError());
  EXPECT_EQ(gc->image()->pixel(5, 15).alpha, 255);
}

TEST(GraphicsContext, CurrentTransformIsUserToPageWithoutTheDevice) {
  auto gc = GraphicsContext::createForImage({100, 100}, 3);
  EXPECT_TRUE(gc->currentTransform().isIdentity());
  gc->translateCTM(10, 20);
  gc->scaleCTM(2, 2);
  KRPoint p = gc->currentTransform().apply({1, 1});
  EXPECT_NEAR(p.x, 12, 1e-9);
  EXPECT_NEAR(p.y, 22, 1e-9);
}

TEST(GraphicsContext, DashesThatCannotBeDrawnGiveASolidLine) {
  // The inked pixels along a horizontal line drawn with the dashes.
  auto inkedAlongTheLine = [](const std::vector<double>& dashes, double phase, std::vector<double>* kept = nullptr) {
    auto gc = GraphicsContext::createForImage({100, 10});
    gc->setStrokeColor(kRed);
    gc->setLineWidth(2);
    gc->setLineDash(dashes, phase);
    if (kept) *kept = gc->lineDash();
    gc->moveTo(0, 5);
    gc->lineTo(100, 5);
    gc->strokePath();
    EXPECT_FALSE(gc->hasError());
    auto image = gc->image();
    int inked = 0;
    for (int x = 0; x < 100; ++x) inked += at(*image, x + 0.5, 5).alpha == 255;
    return inked;
  };
  std::vector<double> kept;
  // A drawable pattern leaves gaps (3 on, 2 off: 60 of 100 pixels)...
  EXPECT_EQ(inkedAlongTheLine({3, 2}, 0, &kept), 60);
  EXPECT_EQ(kept, (std::vector<double>{3, 2}));
  // ...one that cannot be drawn gives the whole line.
  for (const auto& bad : std::vector<std::vector<double>>{{0, 0}, {-1, 2}, {NAN, 1}, {3, INFINITY}}) {
    EXPECT_EQ(inkedAlongTheLine(bad, 0, &kept), 100);
    EXPECT_TRUE(kept.empty());
  }
  EXPECT_EQ(inkedAlongTheLine({3, 2}, NAN), 100);
  double phase = -1;
  auto gc = GraphicsContext::createForImage({10, 10});
  gc->setLineDash({3, 2}, 1);
  EXPECT_EQ(gc->lineDash(&phase), (std::vector<double>{3, 2}));
  EXPECT_EQ(phase, 1);
}

TEST(GraphicsContext, ClipLimitsPaintingAndIsReported) {
  auto gc = GraphicsContext::createForImage({20, 20});
  gc->clipToRect({0, 0, 10, 20});
  EXPECT_EQ(gc->clipBoundingBox(), KRRect(0, 0, 10, 20));
  fillRect(*gc, {0, 0, 20, 20}, kRed);
  auto image = gc->image();
  EXPECT_EQ(at(*image, 5, 5).alpha, 255);
  EXPECT_EQ(at(*image, 15, 5).alpha, 0);
}

TEST(GraphicsContext, WithoutAntialiasingEdgesArePixelSharp) {
  for (bool smooth : {true, false}) {
    auto gc = GraphicsContext::createForImage({20, 20});
    gc->setShouldAntialias(smooth);
    gc->setFillColor(kRed);
    gc->moveTo(0, 0);
    gc->lineTo(20, 0);
    gc->lineTo(0, 20);
    gc->closePath();
    gc->fillPath();
    auto image = gc->image();
    bool partial = false;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        auto a = image->pixel(x, y).alpha;
        partial |= a != 0 && a != 255;
      }
    EXPECT_EQ(partial, smooth);
  }
}

namespace {

// A noisy line of 6000 segments across 110 points, fifty to each pixel
// column, stroked in black of the given opacity; closed back to its start
// when asked.
std::shared_ptr<KRImage> crowdedLine(double alpha, bool closed) {
  auto gc = GraphicsContext::createForImage({120, 60});
  gc->setStrokeColor(KRColor::rgb(0, 0, 0, alpha));
  gc->setLineWidth(1.5);
  std::mt19937 random(3);
  std::normal_distribution<double> noise(0, 4);
  gc->beginPath();
  gc->moveTo(5, 30);
  for (int i = 1; i <= 6000; ++i) {
    const double x = 5 + 110.0 * i / 6000;
    gc->lineTo(x, 30 + 15 * std::sin(x / 8) + noise(random));
  }
  if (closed) gc->closePath();
  gc->strokePath();
  return gc->image();
}

}  // namespace

// An opaque line crowded into its pixels is stroked in pieces, a line a hair
// from opaque as a whole: closed or not, the two pictures differ only on a
// few smoothed edges where pieces meet in one pixel, and hold the same ink.
TEST(GraphicsContext, ACrowdedLineStrokedInPiecesLooksLikeTheWholeStroke) {
  for (bool closed : {false, true}) {
    SCOPED_TRACE(closed ? "closed" : "open");
    auto pieces = crowdedLine(1, closed), whole = crowdedLine(0.999, closed);
    double inkOfPieces = 0, inkOfWhole = 0;
    int apart = 0, inked = 0;
    for (int y = 0; y < pieces->height(); ++y)
      for (int x = 0; x < pieces->width(); ++x) {
        const int a = pieces->pixel(x, y).alpha, b = whole->pixel(x, y).alpha;
        inkOfPieces += a / 255.0;
        inkOfWhole += b / 255.0;
        apart += std::abs(a - b) > 25;
        inked += b > 0;
      }
    EXPECT_GT(inked, 2000);
    EXPECT_LT(apart, inked / 50);
    EXPECT_NEAR(inkOfPieces, inkOfWhole, inkOfWhole * 0.005);
  }
}

TEST(GraphicsContext, ImagesAreDrawnTopRowUpInsideTheirRectangle) {
  std::uint8_t rgba[2 * 2 * 4] = {255, 0, 0, 255, 255, 0, 0, 255,   // top row red
                                  0, 0, 255, 255, 0, 0, 255, 255};  // bottom row blue
  auto image = KRImage::createFromRGBA(2, 2, rgba, 8);
  ASSERT_TRUE(image);
  auto gc = GraphicsContext::createForImage({40, 40});
  gc->drawImage({10, 10, 20, 20}, *image, KRInterpolation::None);
  auto out = gc->image();
  EXPECT_EQ(at(*out, 20, 25), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(at(*out, 20, 15), (KRPixel{0, 0, 255, 255}));
  EXPECT_EQ(at(*out, 5, 5).alpha, 0);
}

TEST(GraphicsContext, LinearGradientRunsBetweenItsPointsAndExtendsItsEnds) {
  auto gc = GraphicsContext::createForImage({100, 10});
  gc->clipToRect({0, 0, 100, 10});
  gc->drawLinearGradient({{0, kRed}, {1, kBlue}}, {20, 0}, {80, 0});
  auto image = gc->image();
  EXPECT_EQ(at(*image, 5, 5), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(at(*image, 95, 5), (KRPixel{0, 0, 255, 255}));
  KRPixel middle = at(*image, 50, 5);
  EXPECT_NEAR(middle.red, 128, 4);
  EXPECT_NEAR(middle.blue, 128, 4);
}

TEST(GraphicsContext, ShadowFallsAtItsOffsetInPagePoints) {
  auto gc = GraphicsContext::createForImage({60, 60}, 2);
  gc->scaleCTM(0.5, 0.5);  // the offset does not follow the current transform
  gc->setShadow({10, -10}, 0, KRColor::black().withAlpha(0.5));
  fillRect(*gc, {20, 60, 40, 40}, kRed);  // page rectangle (10, 30, 20, 20)
  auto image = gc->image();
  EXPECT_EQ(at(*image, 20, 40, 2), (KRPixel{255, 0, 0, 255}));
  KRPixel shadow = at(*image, 35, 25, 2);
  EXPECT_EQ(shadow.red, 0);
  EXPECT_NEAR(shadow.alpha, 128, 2);
  EXPECT_EQ(at(*image, 5, 5, 2).alpha, 0);
}

TEST(GraphicsContext, LayersFollowTheDeviceResolutionAndStampAtTheirPositions) {
  auto gc = GraphicsContext::createForImage({100, 100}, 2);
  auto layer = gc->createLayer({10, 10});
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->ownerIdentifier(), gc->identifier());
  EXPECT_GE(layer->memoryUsed(), 20u * 20 * 4);
  fillRect(*layer->context(), {0, 0, 5, 10}, kRed);  // left half of the layer
  float positions[] = {20, 20, 60, 70};
  gc->drawLayerRepeatedly(*layer, {10, 10}, positions, 2, {5, 5});
  auto image = gc->image();
  EXPECT_EQ(at(*image, 17, 20, 2), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(at(*image, 23, 20, 2).alpha, 0);
  EXPECT_EQ(at(*image, 57, 70, 2), (KRPixel{255, 0, 0, 255}));
  gc->drawLayer({0, 80, 20, 20}, *layer);  // stretched to twice its size
  EXPECT_EQ(at(*gc->image(), 8, 90, 2).red, 255);
  EXPECT_EQ(at(*gc->image(), 12, 90, 2).alpha, 0);
}

TEST(GraphicsContext, PDFRoundTripDrawsTheSamePage) {
  auto pdf = GraphicsContext::createForPDF({200, 100});
  ASSERT_TRUE(pdf);
  EXPECT_TRUE(pdf->isVectorTarget());
  fillRect(*pdf, {0, 0, 50, 50}, kRed);
  auto layer = pdf->createLayer({10, 10});
  fillRect(*layer->context(), {0, 0, 10, 10}, kBlue);
  pdf->drawLayer({150, 50, 10, 10}, *layer);
  auto bytes = pdf->finishDocument();
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
  std::string error;
  auto document = KRPDFDocument::createWithData(bytes, &error);
  ASSERT_TRUE(document) << error;
  EXPECT_EQ(document->pageCount(), 1);
  EXPECT_EQ(document->pageSize(0), (KRSize{200, 100}));
  EXPECT_EQ(document->pageSize(3), (KRSize{}));
  auto gc = GraphicsContext::createForImage({200, 100});
  gc->drawPDFPage({0, 0, 200, 100}, *document, 0);
  auto image = gc->image();
  EXPECT_EQ(at(*image, 25, 25), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(at(*image, 155, 55), (KRPixel{0, 0, 255, 255}));
  EXPECT_EQ(at(*image, 100, 90).alpha, 0);
}

TEST(GraphicsContext, DamagedPDFDataIsRefusedWithAReason) {
  std::string error;
  EXPECT_FALSE(KRPDFDocument::createWithData({'%', 'P', 'D', 'F', '-', '1'}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(KRPDFDocument::createWithData({}, &error));
}

struct BitmapCase {
  const char* name;
  KRBitmapRep::ColorModel model;
  int bits;
  int samples;
  bool alpha;
  std::vector<std::uint8_t> data;
  KRPixel expected;
};

void PrintTo(const BitmapCase& c, std::ostream* out) { *out << c.name; }

class BitmapLayouts : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapLayouts, DecodeToTheExpectedPixel) {
  const auto& c = GetParam();
  KRBitmapRep rep;
  rep.pixelsWide = rep.pixelsHigh = 1;
  rep.colorModel = c.model;
  rep.bitsPerSample = c.bits;
  rep.samplesPerPixel = c.samples;
  rep.hasAlpha = c.alpha;
  rep.bytesPerRow = static_cast<int>(c.data.size());
  rep.data = c.data;
  auto image = KRImage::createFromBitmap(rep);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixel(0, 0), c.expected);
}

std::vector<std::uint8_t> sixteenBit(std::initializer_list<std::uint16_t> values) {
  std::vector<std::uint8_t> bytes(values.size() * 2);
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    GraphicsContext, BitmapLayouts,
    testing::Values(BitmapCase{"grey", KRBitmapRep::ColorModel::Grey, 8, 1, false, {51}, {51, 51, 51, 255}},
                    BitmapCase{"greyAlpha", KRBitmapRep::ColorModel::Grey, 8, 2, true, {255, 128}, {255, 255, 255, 128}},
                    BitmapCase{"rgb", KRBitmapRep::ColorModel::RGB, 8, 3, false, {10, 20, 30}, {10, 20, 30, 255}},
                    BitmapCase{"rgba16", KRBitmapRep::ColorModel::RGB, 16, 4, true,
                               sixteenBit({65535, 0, 0, 65535}), {255, 0, 0, 255}},
                    BitmapCase{"cmyk", KRBitmapRep::ColorModel::CMYK, 8, 4, false, {255, 0, 0, 0}, {0, 255, 255, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphicsContext, UnknownBitmapLayoutsAreRefused) {
  KRBitmapRep rep;
  rep.pixelsWide = rep.pixelsHigh = 2;
  rep.bytesPerRow = 8;
  rep.data.assign(16, 0);
  auto variant = [&](auto change) {
    KRBitmapRep copy = rep;
    change(copy);
    return KRImage::createFromBitmap(copy);
  };
  EXPECT_TRUE(variant([](KRBitmapRep&) {}));
  EXPECT_FALSE(variant([](KRBitmapRep& r) { r.isPlanar = true; }));
  EXPECT_FALSE(variant([](KRBitmapRep& r) { r.bitsPerSample = 4; }));
  EXPECT_FALSE(variant([](KRBitmapRep& r) { r.samplesPerPixel = 3; }));  // RGB with alpha needs four
  EXPECT_FALSE(variant([](KRBitmapRep& r) { r.data.resize(10); }));
  EXPECT_FALSE(variant([](KRBitmapRep& r) { r.bytesPerRow = 4; }));
}

TEST(GraphicsContext, ImagesRoundTripThroughPNGAndFiles) {
  std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 128};
  auto image = KRImage::createFromRGBA(2, 1, rgba, 8);
  auto png = image->pngData();
  auto back = KRImage::createFromPNGData(png);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixel(0, 0), image->pixel(0, 0));
  EXPECT_EQ(back->pixel(1, 0), image->pixel(1, 0));
  EXPECT_TRUE(back->hasTransparentPixels());

  TemporaryFolder folder;
  {
    std::ofstream out(folder.path("a.png"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::ofstream text(folder.path("b.png"));
    text << "not an image";
  }
  std::string error;
  EXPECT_TRUE(KRImage::createFromFile(folder.path("a.png"), &error));
  EXPECT_FALSE(KRImage::createFromFile(folder.path("b.png"), &error));
  EXPECT_NE(error.find("neither a PNG nor a JPEG"), std::string::npos);
  EXPECT_FALSE(KRImage::createFromFile(folder.path("missing.png"), &error));
  EXPECT_NE(error.find("Could not open"), std::string::npos);
  EXPECT_FALSE(KRImage::createFromPNGData({1, 2, 3}));
}
