#include <gtest/gtest.h>

#include <cstring>

#include <tiffio.h>

#include "WriterTestSupport.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/writers/VKDrawingView.h"
#include "platform/KRPDFDocument.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

std::uint32_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

// A graph with a half-transparent square over an opaque one, and a gradient
// that fades out.
std::shared_ptr<KRDrawingGroup> transparentGraph() {
  auto graph = KRDrawingGroup::create();
  auto below = KRDrawingPathRectangle::createWithRect({10, 10, 40, 40});
  below->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0, 0, 1), true));
  graph->addObject(below);
  auto above = KRDrawingPathRectangle::createWithRect({30, 30, 40, 40});
  above->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(1, 0, 0, 0.5), true));
  graph->addObject(above);
  graph->addObject(KRDrawingGradient::createWithColors(doubles(5, {0, 0, 1, 0, 1, 1, 0, 1, 0, 0}), "", {80, 0},
                                                       {100, 0}, {80, 0, 20, 100}));
  return graph;
}

}  // namespace

// Every file form of one graph with labels and a gradient, each read back
// by its own renderer (our PNG reader, the PDF reader, Ghostscript, rsvg):
// any two pictures differ only along anti-aliased edges. They are compared
// at 288 dpi, where the renderers' edge and glyph smoothing covers few
// pixels. The labels are left-aligned and upright, the placement SVG keeps.
TEST(DocumentWriters, EveryFormShowsTheSamePicture) {
  TemporaryFolder folder;
  auto graph = plotWithoutText();
  auto font = KRDrawingStyleFont::styleWithFont("DejaVu Sans", 9);
  graph->addObject(KRDrawingText::string("Signal 0.5", {24, 88}, font, KRDrawingText::Left, KRDrawingText::Bottom));
  graph->addObject(KRDrawingText::string("time (s)", {120, 3}, font, KRDrawingText::Left, KRDrawingText::Bottom));
  graph->addObject(KRDrawingGradient::createWithColors(doubles(4, {0, 1, 0.5, 0, 1, 0, 0.5, 1}), "", {185, 15},
                                                       {185, 85}, {184, 15, 12, 70}));
  VKDrawingView view;
  view.setGraphic(graph, {200, 100});
  ASSERT_TRUE(view.savePNGInto(folder.path("g.png"), 4, true));
  ASSERT_TRUE(view.savePDFInto(folder.path("g.pdf"), true));
  ASSERT_TRUE(view.saveEPSInto(folder.path("g.eps")));
  ASSERT_TRUE(view.saveSVGInto(folder.path("g.svg")));
  EXPECT_EQ(run("qpdf --check " + folder.path("g.pdf") + " > " + folder.path("qpdf.log")), 0);
  ASSERT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r288 -dTextAlphaBits=4 "
                "-dGraphicsAlphaBits=4 -o " +
                folder.path("eps.png") + " " + folder.path("g.eps")),
            0);
  ASSERT_EQ(run("rsvg-convert -z 4 -b white -o " + folder.path("svg.png") + " " + folder.path("g.svg")), 0);
  auto pdf = KRPDFDocument::createWithData(bytesOf(folder.path("g.pdf")));
  ASSERT_TRUE(pdf);

  const std::pair<const char*, std::shared_ptr<KRImage>> pictures[] = {
      {"PNG", readPNG(folder.path("g.png"))},
      {"PDF", pdf->imageOfPage(0, 800, 400)},
      {"EPS", readPNG(folder.path("eps.png"))},
      {"SVG", readPNG(folder.path("svg.png"))},
  };
  for (const auto& [name, image] : pictures) ASSERT_TRUE(image) << name;
  for (std::size_t i = 0; i < std::size(pictures); ++i)
    for (std::size_t j = i + 1; j < std::size(pictures); ++j)
      EXPECT_LT(differingShare(*pictures[i].second, *pictures[j].second), 0.01)
          << pictures[i].first << " against " << pictures[j].first;
}

// PDF and EPS of the same graph pass their checkers and show the picture the
// bitmap writer draws.
TEST(DocumentWriters, PDFAndEPSAreValidAndLookLikeTheBitmap) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(plotWithoutText(), {200, 100});
  auto bitmap = view.imageWithScale(1, true);
  ASSERT_TRUE(bitmap);

  ASSERT_TRUE(view.savePDFInto(folder.path("plot.pdf"), true));
  EXPECT_EQ(run("qpdf --check " + folder.path("plot.pdf") + " > " + folder.path("qpdf.log")), 0);
  auto pdf = KRPDFDocument::createWithData(bytesOf(folder.path("plot.pdf")));
  ASSERT_TRUE(pdf);
  EXPECT_EQ(pdf->pageSize(0), (KRSize{200, 100}));
  auto page = pdf->imageOfPage(0, 200, 100);
  ASSERT_TRUE(page);
  EXPECT_LT(differingShare(*page, *bitmap), 0.02);

  ASSERT_TRUE(view.saveEPSInto(folder.path("plot.eps")));
  auto eps = bytesOf(folder.path("plot.eps"));
  ASSERT_GT(eps.size(), 30u);
  EXPECT_EQ(std::string(eps.begin(), eps.begin() + 23), "%!PS-Adobe-3.0 EPSF-3.0");
  ASSERT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r72 -dTextAlphaBits=4 "
                "-dGraphicsAlphaBits=4 -o " +
                folder.path("gs.png") + " " + folder.path("plot.eps")),
            0);
  auto printed = readPNG(folder.path("gs.png"));
  ASSERT_TRUE(printed);
  EXPECT_LT(differingShare(*printed, *bitmap), 0.02);
}

// Without transparency allowed the PDF paints the red square opaque over the
// blue one; with it, the overlap mixes. EPS never keeps transparency and
// turns every gradient into an image.
TEST(DocumentWriters, TransparencyIsRemovedUnlessAllowed) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(transparentGraph(), {100, 100});
  // Both forms, the one with the fading gradient as an image included, are
  // valid PDF.
  auto overlap = [&](bool allow) {
    std::string path = folder.path(allow ? "allowed.pdf" : "opaque.pdf");
    EXPECT_TRUE(view.savePDFInto(path, allow));
    EXPECT_EQ(run("qpdf --check " + path + " > " + path + ".log"), 0) << path;
    auto pdf = KRPDFDocument::createWithData(bytesOf(path));
    EXPECT_TRUE(pdf);
    auto image = pdf ? pdf->imageOfPage(0, 100, 100) : nullptr;
    return image ? image->pixel(40, 60) : KRPixel{};
  };
  KRPixel opaque = overlap(false), mixed = overlap(true);
  EXPECT_GT(opaque.red, 240);
  EXPECT_LT(opaque.blue, 15);
  EXPECT_GT(mixed.red, 100);
  EXPECT_GT(mixed.blue, 100);

  ASSERT_TRUE(view.saveEPSInto(folder.path("t.eps")));
  std::string eps;
  ASSERT_TRUE(readFile(folder.path("t.eps"), eps));
  EXPECT_EQ(eps.find("shfill"), std::string::npos) << "a gradient was written as a shading";
  ASSERT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r72 -o " + folder.path("t.png") + " " +
                folder.path("t.eps")),
            0);
  auto printed = readPNG(folder.path("t.png"));
  ASSERT_TRUE(printed);
  KRPixel p = printed->pixel(40, 60);
  EXPECT_GT(p.red, 240);
  EXPECT_LT(p.blue, 15);
}

// The DOS EPS header points at the PostScript and at a grey LZW TIFF that
// follows it.
TEST(DocumentWriters, EPSWithPreviewHasTheBinaryHeaderAndAGreyTIFF) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(plotWithoutText(), {200, 100});
  ASSERT_TRUE(view.saveEPSWithPreviewInto(folder.path("p.eps")));
  auto bytes = bytesOf(folder.path("p.eps"));
  ASSERT_GT(bytes.size(), 32u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<std::uint8_t>{0xC5, 0xD0, 0xD3, 0xC6}));
  std::uint32_t psStart = wordAt(bytes, 4), psLength = wordAt(bytes, 8), tiffStart = wordAt(bytes, 20),
                tiffLength = wordAt(bytes, 24);
  EXPECT_EQ(psStart, 32u);
  EXPECT_EQ(wordAt(bytes, 12), 0u);
  EXPECT_EQ(wordAt(bytes, 16), 0u);
  EXPECT_EQ(wordAt(bytes, 28), 0u);
  EXPECT_EQ(tiffStart, 32 + psLength);
  ASSERT_EQ(bytes.size(), std::size_t{tiffStart} + tiffLength);
  EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 36), "%!PS");

  std::vector<std::uint8_t> tiff(bytes.begin() + tiffStart, bytes.end());
  ASSERT_TRUE(writeFile(folder.path("preview.tiff"), tiff, WriteMode::Atomic));
  TIFF* file = TIFFOpen(folder.path("preview.tiff").c_str(), "r");
  ASSERT_TRUE(file);
  std::uint32_t width = 0, height = 0;
  std::uint16_t samples = 0, compression = 0;
  TIFFGetField(file, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(file, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetField(file, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(file, TIFFTAG_COMPRESSION, &compression);
  TIFFClose(file);
  EXPECT_EQ(width, 200u);
  EXPECT_EQ(height, 100u);
  EXPECT_EQ(samples, 1);
  EXPECT_EQ(compression, COMPRESSION_LZW);

  // Ghostscript reads the PostScript part of the file.
  EXPECT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r72 -o " + folder.path("p.png") + " " +
                folder.path("p.eps")),
            0);
}
