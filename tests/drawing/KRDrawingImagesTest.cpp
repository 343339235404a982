#include <gtest/gtest.h>

#include <fstream>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingLayer.h"
#include "drawing/KRDrawingTwoColorNoise.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRImage> twoByTwo() {
  std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 255,  // top: red, green
                         0, 0, 255, 255, 0, 0, 0, 0};     // bottom: blue, clear
  return KRImage::createFromRGBA(2, 2, rgba, 8);
}

}  // namespace

TEST(KRDrawingBitmap, DrawsItsImageUprightIntoItsRectangle) {
  auto bitmap = KRDrawingBitmap::createCG(twoByTwo(), {10, 10, 20, 20});
  ASSERT_TRUE(bitmap);
  EXPECT_TRUE(bitmap->containsAlpha());
  bitmap->setInterpolation(KRInterpolation::None);
  auto picture = render(*bitmap, 40, 40);
  EXPECT_EQ(picture.at(15, 25), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(picture.at(25, 25), (KRPixel{0, 255, 0, 255}));
  EXPECT_EQ(picture.at(15, 15), (KRPixel{0, 0, 255, 255}));
  EXPECT_EQ(picture.alphaAt(25, 15), 0);
  EXPECT_TRUE(bitmap->hitTestForPoint({29, 29}));
  EXPECT_EQ(bitmap->textDescription(), "2 x 2 pixels");
  auto moved = std::static_pointer_cast<KRDrawingBitmap>(bitmap->scaleBy(0.5, {10, 10}, {0, 0}, false));
  EXPECT_EQ(moved->drawInside(), KRRect(0, 0, 10, 10));
  EXPECT_EQ(moved->cgBitmap(), bitmap->cgBitmap());  // the pixels are shared
}

TEST(KRDrawingBitmap, AnUnknownPixelLayoutIsReportedAndNotDrawn) {
  MessageCapture messages;
  KRBitmapRep planar;
  planar.pixelsWide = planar.pixelsHigh = 2;
  planar.isPlanar = true;
  planar.bytesPerRow = 2;
  planar.data.assign(16, 200);
  auto bitmap = KRDrawingBitmap::createBitmap(planar, {0, 0, 10, 10});
  ASSERT_TRUE(bitmap);
  auto group = KRDrawingGroup::createWithDrawingObject(bitmap);
  auto rect = KRDrawingPathRectangle::createWithRect({0, 0, 5, 5});
  rect->setStyle(KRDrawingStyleCurve::color(kRed, true));
  group->addObject(rect);
  auto picture = render(*group, 10, 10);
  EXPECT_EQ(picture.alphaAt(7, 7), 0);
  EXPECT_EQ(picture.alphaAt(2, 2), 255);  // the rest still draws
  EXPECT_TRUE(messages.saw("Unsupported bitmap type"));
  KRBitmapRep grey = planar;
  grey.isPlanar = false;
  grey.colorModel = KRBitmapRep::ColorModel::Grey;
  grey.samplesPerPixel = 1;
  grey.hasAlpha = false;
  EXPECT_EQ(render(*KRDrawingBitmap::createBitmap(grey, {0, 0, 10, 10}), 10, 10).at(5, 5), (KRPixel{200, 200, 200, 255}));
}

TEST(KRDrawingBitmap, FilesAreReadAtOnePointPerPixelOrReported) {
  MessageCapture messages;
  TemporaryFolder folder;
  auto png = twoByTwo()->pngData();
  {
    std::ofstream out(folder.path("tiny.png"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
  auto bitmap = KRDrawingBitmap::createFromFile(folder.path("tiny.png"));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->drawInside(), KRRect(0, 0, 2, 2));
  EXPECT_FALSE(KRDrawingBitmap::createFromFile(folder.path("none.png")));
  EXPECT_EQ(messages.texts().size(), 1u);
  EXPECT_FALSE(KRDrawingBitmap::createCG(nullptr, {}));
}

TEST(KRDrawingPDF, DrawsTheFirstPageAsVectorsIntoItsRectangle) {
  auto square = KRDrawingPathRectangle::createWithRect({0, 0, 50, 50});
  square->setStyle(KRDrawingStyleCurve::color(kBlue, true));
  auto page = renderToPDF(*square, {0, 0, 100, 100});
  auto pdf = KRDrawingPDF::createWithPDF(KRPDFDocument::createWithData(page), {10, 10, 40, 40});
  ASSERT_TRUE(pdf);
  EXPECT_EQ(pdf->textDescription(), "PDF page of 100 x 100 points");
  auto picture = render(*pdf, 60, 60, 4);
  EXPECT_EQ(picture.at(15, 15), (KRPixel{0, 0, 255, 255}));
  EXPECT_EQ(picture.alphaAt(35, 35), 0);
  expectRectNear(picture.inkBox(), {10, 10, 20, 20}, 0.3);
}

TEST(KRDrawingTwoColorNoise, MixesItsTwoColoursTheSameWayEveryTime) {
  auto noise = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 60, 40}, kRed, kBlue, 0.5, 8, 2, {0, 0});
  EXPECT_EQ(noise->textDescription(), "Perlin Noise");
  auto image = noise->cgBitmap();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 30);
  EXPECT_EQ(image->height(), 20);
  int reddish = 0, bluish = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      KRPixel p = image->pixel(x, y);
      EXPECT_EQ(p.green, 0);
      EXPECT_NEAR(p.red + p.blue, 255, 1);
      reddish += p.red > 160;
      bluish += p.blue > 160;
    }
  EXPECT_GT(reddish, 30);
  EXPECT_GT(bluish, 30);
  auto again = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 60, 40}, kRed, kBlue, 0.5, 8, 2, {0, 0});
  EXPECT_EQ(again->cgBitmap()->rgbaData(), image->rgbaData());
  // The weight moves the mix towards one colour.
  auto mostlyRed = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 60, 40}, kRed, kBlue, 0.95, 8, 2, {0, 0});
  int red = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) red += mostlyRed->cgBitmap()->pixel(x, y).red > 160;
  EXPECT_GT(red, reddish);
  auto picture = render(*noise, 80, 50);
  EXPECT_EQ(picture.alphaAt(30, 20), 255);
  EXPECT_EQ(picture.alphaAt(70, 45), 0);
}

TEST(KRDrawingTwoColorNoise, BadSizesAreReportedAndReplaced) {
  MessageCapture messages;
  auto noise = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 10, 10}, kRed, kBlue, 0.5, -1, 0, {0, 0});
  EXPECT_EQ(noise->grainSize(), 10);
  EXPECT_EQ(noise->pixelSize(), 1);
  EXPECT_EQ(messages.texts().size(), 2u);
  auto huge = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 100000, 10}, kRed, kBlue, 0.5, 50, 1, {0, 0});
  EXPECT_LE(huge->cgBitmap()->width(), KRDrawingTwoColorNoise::kMaxPixels);
}

TEST(KRDrawingTwoColorNoise, ScalingKeepsThePatternOnTheMovedRectangle) {
  auto noise = KRDrawingTwoColorNoise::createInsideRectangle({0, 0, 40, 40}, kRed, kBlue, 0.5, 10, 1, {3, 4});
  auto scaled = std::static_pointer_cast<KRDrawingTwoColorNoise>(noise->scaleBy(2, {0, 0}, {10, 10}, false));
  EXPECT_EQ(scaled->drawInside(), KRRect(10, 10, 80, 80));
  // The pixels grew with the rest, so the same pixels come out.
  EXPECT_EQ(scaled->pixelSize(), 2);
  auto before = noise->cgBitmap()->rgbaData(), after = scaled->cgBitmap()->rgbaData();
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_NEAR(before[i], after[i], 2) << i;
}

TEST(KRDrawingLayer, DrawsTheGroupFromAnOffScreenLayer) {
  auto group = KRDrawingGroup::create();
  auto rect = KRDrawingPathRectangle::createWithRect({10, 10, 40, 20});
  rect->setStyle(KRDrawingStyleCurve::color(kRed, true));
  group->addObject(rect);
  auto layer = KRDrawingLayer::createFromDrawing(group, {40, 20});
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->boundingRectangle(), KRRect(10, 10, 40, 20));
  auto picture = render(*layer, 60, 40);
  EXPECT_EQ(picture.at(30, 20), (KRPixel{255, 0, 0, 255}));
  EXPECT_EQ(picture.alphaAt(5, 5), 0);
  // A coarse layer is stretched over the same box.
  auto coarse = KRDrawingLayer::createFromDrawing(group, {4, 2});
  expectRectNear(render(*coarse, 60, 40).inkBox(), {10, 10, 40, 20}, 1);
  EXPECT_TRUE(layer->hitTestForPoint({30, 20}));
  EXPECT_FALSE(KRDrawingLayer::createFromDrawing(nullptr, {1, 1}));
}
