#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <set>

#include <jpeglib.h>
#include <openjpeg.h>
#include <tiffio.h>

#include "WriterTestSupport.h"
#include "drawing/writers/VKDrawingView.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) | (std::uint32_t{bytes[at + 2]} << 8) |
         bytes[at + 3];
}

struct PNGFacts {
  std::uint32_t width = 0, height = 0;
  int colorType = -1;
  int interlace = -1;
  double dpi = 0;
};

// Reads the header and the pHYs chunk straight from the bytes.
PNGFacts pngFacts(const std::vector<std::uint8_t>& png) {
  PNGFacts facts;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    std::uint32_t length = bigEndian(png, at);
    std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
    std::size_t data = at + 8;
    if (type == "IHDR") {
      facts.width = bigEndian(png, data);
      facts.height = bigEndian(png, data + 4);
      facts.colorType = png[data + 9];
      facts.interlace = png[data + 12];
    } else if (type == "pHYs" && png[data + 8] == 1) {
      facts.dpi = bigEndian(png, data) * 0.0254;
    }
    at = data + length + 4;
  }
  return facts;
}

struct TIFFFacts {
  std::uint32_t width = 0, height = 0;
  std::uint16_t samples = 0, unit = 0;
  float xResolution = 0, yResolution = 0;
};

TIFFFacts tiffFacts(const std::string& path) {
  TIFFFacts facts;
  TIFF* file = TIFFOpen(path.c_str(), "r");
  if (!file) return facts;
  TIFFGetField(file, TIFFTAG_IMAGEWIDTH, &facts.width);
  TIFFGetField(file, TIFFTAG_IMAGELENGTH, &facts.height);
  TIFFGetField(file, TIFFTAG_SAMPLESPERPIXEL, &facts.samples);
  TIFFGetField(file, TIFFTAG_RESOLUTIONUNIT, &facts.unit);
  TIFFGetField(file, TIFFTAG_XRESOLUTION, &facts.xResolution);
  TIFFGetField(file, TIFFTAG_YRESOLUTION, &facts.yResolution);
  TIFFClose(file);
  return facts;
}

struct JPEGFacts {
  unsigned width = 0, height = 0;
  int unit = -1, xDensity = 0, yDensity = 0;
  bool ok = false;
};

struct JPEGTestError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

JPEGFacts jpegFacts(const std::vector<std::uint8_t>& bytes) {
  JPEGFacts facts;
  jpeg_decompress_struct info;
  JPEGTestError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JPEGTestError*>(c->err)->jump, 1); };
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return facts;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), bytes.size());
  jpeg_read_header(&info, TRUE);
  facts = {info.image_width, info.image_height, info.density_unit, info.X_density, info.Y_density, true};
  jpeg_destroy_decompress(&info);
  return facts;
}

// Width and height of a JP2 file as openjp2 decodes it; 0 x 0 when it cannot.
std::pair<unsigned, unsigned> jp2Size(const std::string& path) {
  opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_TRUE);
  if (!stream) return {0, 0};
  opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_JP2);
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  opj_setup_decoder(codec, &parameters);
  opj_image_t* image = nullptr;
  std::pair<unsigned, unsigned> size{0, 0};
  if (opj_read_header(stream, codec, &image) && opj_decode(codec, stream, image) && opj_end_decompress(codec, stream))
    size = {image->comps[0].w, image->comps[0].h};
  if (image) opj_image_destroy(image);
  opj_destroy_codec(codec);
  opj_stream_destroy(stream);
  return size;
}

std::shared_ptr<KRDrawingGroup> hundredByFifty() {
  auto disc = KRDrawingPathCircle::createWithCenter({50, 25}, 20);
  disc->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(1, 0, 0), true));
  return KRDrawingGroup::createWithDrawingObject(disc);
}

}  // namespace

// At 144 dpi a 100 x 50 point drawing is 200 x 100 pixels, and every format
// records the resolution in its own field.
TEST(BitmapWriters, PixelSizeFollowsTheScaleAndEachFormatRecordsTheResolution) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(hundredByFifty(), {100, 50});
  const double scale = 2;

  ASSERT_TRUE(view.savePNGInto(folder.path("a.png"), scale, true));
  PNGFacts png = pngFacts(bytesOf(folder.path("a.png")));
  EXPECT_EQ(png.width, 200u);
  EXPECT_EQ(png.height, 100u);
  EXPECT_EQ(png.colorType, 2);  // RGB, no alpha
  EXPECT_EQ(png.interlace, 0);
  EXPECT_NEAR(png.dpi, 144, 0.05);
  ASSERT_TRUE(view.savePNGWithAlphaInto(folder.path("alpha.png"), scale, true));
  EXPECT_EQ(pngFacts(bytesOf(folder.path("alpha.png"))).colorType, 6);  // RGBA

  for (const char* name : {"a.tiff", "alpha.tiff"}) {
    bool alpha = std::string(name) == "alpha.tiff";
    ASSERT_TRUE(alpha ? view.saveTIFFAlphaInto(folder.path(name), scale, true)
                      : view.saveTIFFOpaqueInto(folder.path(name), scale, true));
    TIFFFacts tiff = tiffFacts(folder.path(name));
    EXPECT_EQ(tiff.width, 200u) << name;
    EXPECT_EQ(tiff.height, 100u) << name;
    EXPECT_EQ(tiff.samples, alpha ? 4 : 3) << name;
    EXPECT_EQ(tiff.unit, RESUNIT_INCH) << name;
    EXPECT_FLOAT_EQ(tiff.xResolution, 144) << name;
    EXPECT_FLOAT_EQ(tiff.yResolution, 144) << name;
  }

  ASSERT_TRUE(view.saveJPGInto(folder.path("a.jpg"), 0.9, scale, true));
  JPEGFacts jpeg = jpegFacts(bytesOf(folder.path("a.jpg")));
  ASSERT_TRUE(jpeg.ok);
  EXPECT_EQ(jpeg.width, 200u);
  EXPECT_EQ(jpeg.height, 100u);
  EXPECT_EQ(jpeg.unit, 1);
  EXPECT_EQ(jpeg.xDensity, 144);
  EXPECT_EQ(jpeg.yDensity, 144);

  ASSERT_TRUE(view.saveJPG2000Into(folder.path("a.jp2"), 1, scale, true));
  EXPECT_EQ(jp2Size(folder.path("a.jp2")), (std::pair<unsigned, unsigned>{200, 100}));
  ASSERT_TRUE(view.saveJPG2000Into(folder.path("small.jp2"), 0.2, 0.5, true));
  EXPECT_EQ(jp2Size(folder.path("small.jp2")), (std::pair<unsigned, unsigned>{50, 25}));

  // A scale that does not divide evenly rounds the pixel size.
  ASSERT_TRUE(view.savePNGInto(folder.path("odd.png"), 1.01, true));
  PNGFacts odd = pngFacts(bytesOf(folder.path("odd.png")));
  EXPECT_EQ(odd.width, 101u);
  EXPECT_EQ(odd.height, 51u);  // round(50.5)
}

// Opaque forms are white where nothing is drawn; the alpha forms leave it
// transparent. A lower JPEG quality makes a smaller file.
TEST(BitmapWriters, BackgroundIsWhiteUnlessTheFormKeepsAlpha) {
  TemporaryFolder folder;
  VKDrawingView view;
  view.setGraphic(hundredByFifty(), {100, 50});
  ASSERT_TRUE(view.savePNGInto(folder.path("o.png"), 1, true));
  ASSERT_TRUE(view.savePNGWithAlphaInto(folder.path("t.png"), 1, true));
  auto opaque = readPNG(folder.path("o.png")), transparent = readPNG(folder.path("t.png"));
  ASSERT_TRUE(opaque && transparent);
  EXPECT_EQ(opaque->pixel(2, 2), (KRPixel{255, 255, 255, 255}));
  EXPECT_EQ(transparent->pixel(2, 2).alpha, 0);
  EXPECT_EQ(transparent->pixel(50, 25), (KRPixel{255, 0, 0, 255}));

  ASSERT_TRUE(view.saveJPGInto(folder.path("high.jpg"), 1, 2, true));
  ASSERT_TRUE(view.saveJPGInto(folder.path("low.jpg"), 0.1, 2, true));
  EXPECT_LT(bytesOf(folder.path("low.jpg")).size(), bytesOf(folder.path("high.jpg")).size());
}

// Without antialiasing the edge of the disc has only the two colours.
TEST(BitmapWriters, AntialiasingOffLeavesOnlyTheDrawnColours) {
  VKDrawingView view;
  view.setGraphic(hundredByFifty(), {100, 50});
  auto count = [&](bool alias) {
    auto image = view.imageWithScale(1, alias);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image->height(); ++y)
      for (int x = 0; x < image->width(); ++x) {
        KRPixel p = image->pixel(x, y);
        colours.insert((std::uint32_t{p.red} << 16) | (std::uint32_t{p.green} << 8) | p.blue);
      }
    return colours.size();
  };
  EXPECT_EQ(count(false), 2u);
  EXPECT_GT(count(true), 2u);
}
