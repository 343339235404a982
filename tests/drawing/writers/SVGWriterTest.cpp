#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/writers/VKDrawingView.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

// Every kind that has an SVG form, and one that has none.
std::shared_ptr<KRDrawingGroup> everyKind() {
  auto graph = plotWithoutText();
  graph->objectAtIndex(1)->setDescriptionString("plot \"A\" & <B>");

  auto label = KRDrawingText::string("x < y & z", {30, 88}, KRDrawingStyleFont::styleWithFont("Helvetica", 10),
                                     KRDrawingText::Left, KRDrawingText::Bottom);
  graph->addObject(label);

  auto shifted = KRDrawingGroup::create();
  shifted->setShiftBy({150, 90});
  auto dot = KRDrawingPathCircle::createWithCenter({0, 0}, 4);
  dot->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::white(), 0));
  shifted->addObject(dot);
  graph->addObject(shifted);

  graph->addObject(KRDrawingGradient::createWithColors(doubles(5, {0, 1, 0, 0, 1, 1, 0, 0, 1, 0.5}), "", {185, 15},
                                                       {185, 85}, {182, 15, 10, 70}));
  auto curve = KRDrawingCubicBezier::createWithArray(doubles(2, {0, 4, 0, 0, 10, 20, 20, 20, 30, 0}));
  graph->addObject(curve);
  auto quadratic = std::make_shared<KRBezierPath>();
  quadratic->moveTo({40, 5});
  quadratic->quadCurveTo({50, 12}, {60, 5});
  quadratic->closePath();
  graph->addObject(KRDrawingPathFromCGPath::createWithCGPath(quadratic));

  auto stencil = KRDrawingGroup::createWithDrawingObject(KRDrawingPathRectangle::createWithRect({0, 0, 2, 2}));
  graph->addObject(KRDrawingRepeated::drawing(stencil, {2, 2}, {1, 1}, floats(2, {100, 5, 110, 5})));
  graph->addObject(KRDrawingBitmap::createCG(KRImage::create(2, 2), {0, 0, 2, 2}));
  return graph;
}

}  // namespace

// The whole document of a graph with every kind, against a reviewed copy.
TEST(SVGWriter, WritesTheDocumentOfEveryKindAsReviewed) {
  MessageCapture messages;
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(everyKind(), {200, 100});
  ASSERT_TRUE(view.saveSVGInto(folder.path("graph.svg"))) << view.lastError();
  std::string written, golden;
  ASSERT_TRUE(readFile(folder.path("graph.svg"), written));
  ASSERT_TRUE(readFile(std::string(ORREL_TEST_DATA_DIR) + "/writers/every-kind.svg", golden));
  EXPECT_EQ(written, golden);
  EXPECT_TRUE(messages.saw("Missing addToSVGStream for KRDrawingBitmap"));
}

// The SVG of a graph is well-formed XML, and a renderer draws it as our own
// raster writer draws the graph.
TEST(SVGWriter, ParsesAsXMLAndRendersLikeTheBitmapWriter) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(plotWithoutText(), {200, 100});
  ASSERT_TRUE(view.saveSVGInto(folder.path("plot.svg")));
  ASSERT_EQ(run("python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' " + folder.path("plot.svg")),
            0);
  ASSERT_EQ(run("rsvg-convert -b white -o " + folder.path("rsvg.png") + " " + folder.path("plot.svg")), 0);
  auto rendered = readPNG(folder.path("rsvg.png"));
  ASSERT_TRUE(rendered);
  auto ours = view.imageWithScale(1, true);
  ASSERT_TRUE(ours);
  EXPECT_LT(differingShare(*rendered, *ours), 0.02);

  // Every kind, text and gradient included, still makes a document the renderer reads.
  MessageCapture quiet;
  view.setGraphic(everyKind(), {200, 100});
  ASSERT_TRUE(view.saveSVGInto(folder.path("every.svg")));
  EXPECT_EQ(run("python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' " + folder.path("every.svg")),
            0);
  EXPECT_EQ(run("rsvg-convert -o " + folder.path("every.png") + " " + folder.path("every.svg")), 0);
}

// A vertical gradient from red at the bottom to blue at the top shows red
// at the bottom in the SVG too.
TEST(SVGWriter, VerticalGradientsKeepTheirDirection) {
  TemporaryFolder folder;
  auto gradient = KRDrawingGradient::createWithColors(doubles(4, {0, 1, 0, 0, 1, 0, 0, 1}), "", {0, 0}, {0, 40},
                                                      {0, 0, 20, 40});
  VKDrawingView view;
  view.setGraphic(KRDrawingGroup::createWithDrawingObject(gradient), {20, 40});
  std::string svg = view.svgForm();
  EXPECT_NE(svg.find("x1=\"0%\" y1=\"100%\" x2=\"0%\" y2=\"0%\""), std::string::npos) << svg;
  ASSERT_TRUE(view.saveSVGInto(folder.path("g.svg")));
  ASSERT_EQ(run("rsvg-convert -o " + folder.path("g.png") + " " + folder.path("g.svg")), 0);
  auto image = readPNG(folder.path("g.png"));
  ASSERT_TRUE(image);
  KRPixel bottom = image->pixel(10, 38), top = image->pixel(10, 1);
  EXPECT_GT(bottom.red, 200);
  EXPECT_LT(bottom.blue, 50);
  EXPECT_GT(top.blue, 200);
  EXPECT_LT(top.red, 50);
}

// Path data of loops is wrapped once a line passes 100 characters (curves
// wrap at 70); continuation lines start with the indent and nine blanks.
TEST(SVGWriter, LoopPathDataWrapsAfterAHundredCharacters) {
  std::vector<KRPoint> points;
  for (int i = 0; i < 60; ++i) points.push_back({i * 1.25, 50 + (i % 7) * 3.5});
  auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({points}));
  KRSVGStream stream;
  KRSVGInfo info;
  path->addToSVGStream(stream, "  ", 100, info);
  std::string svg = stream.text();
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < svg.size(); start = end + 1) {
    end = svg.find('\n', start);
    lines.push_back(svg.substr(start, end - start));
  }
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("  <path d=\"M 0 50 L 1.25 46.5 ", 0), 0u);
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("           ", 0), 0u) << lines[i];
    EXPECT_GT(lines[i].size(), 100u) << lines[i];
    EXPECT_LT(lines[i].size(), 100u + 20) << lines[i];
  }
  EXPECT_EQ(lines.back().substr(lines.back().size() - 3), "\"/>");
}
