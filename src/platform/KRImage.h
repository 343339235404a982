#pragma once
// Raster images: the pixels the display list draws, the targets render into
// and the codecs read and write.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;

namespace orrelin {

class GraphicsContext;

// One pixel with straight (not premultiplied) components.
struct KRPixel {
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
  friend bool operator==(const KRPixel&, const KRPixel&) = default;
};

// Raw pixels as a decoder or a caller hands them over: samples interleaved
// per pixel, rows top first. Which layouts can be turned into an image is
// decided by KRImage::createFromBitmap.
struct KRBitmapRep {
  enum class ColorModel { Grey, RGB, CMYK };
  int pixelsWide = 0;
  int pixelsHigh = 0;
  int bitsPerSample = 8;
  int samplesPerPixel = 4;
  bool hasAlpha = true;  // the last sample of each pixel
  bool alphaPremultiplied = false;
  bool isPlanar = false;
  int bytesPerRow = 0;
  ColorModel colorModel = ColorModel::RGB;
  std::vector<std::uint8_t> data;
};

// A raster image (premultiplied 8-bit RGBA in device order, rows top first).
// Immutable once made, so one image can be shared by any number of drawing
// objects and threads.
class KRImage {
 public:
  ~KRImage();
  KRImage(const KRImage&) = delete;
  KRImage& operator=(const KRImage&) = delete;

  // A fully transparent image; nullptr for a size that is not positive or too large.
  static std::shared_ptr<KRImage> create(int width, int height);
  // From straight RGBA bytes, rows top first.
  static std::shared_ptr<KRImage> createFromRGBA(int width, int height, const std::uint8_t* rgba,
                                                 std::size_t bytesPerRow);
  // nullptr when the layout is not one this system draws.
  static std::shared_ptr<KRImage> createFromBitmap(const KRBitmapRep& bitmap);
  static std::shared_ptr<KRImage> createFromPNGData(const std::vector<std::uint8_t>& png);
  // PNG and JPEG files; nullptr with a reason in error otherwise.
  static std::shared_ptr<KRImage> createFromFile(const std::string& path, std::string* error = nullptr);
  // Makes an image by drawing into a fresh context of the pixel size, whose
  // page coordinates run over the image with one point per pixel.
  static std::shared_ptr<KRImage> render(int width, int height, const std::function<void(GraphicsContext&)>& draw);

  int width() const { return width_; }
  int height() const { return height_; }
  // (0, 0) is the top left pixel; outside the image a transparent pixel.
  KRPixel pixel(int x, int y) const;
  bool hasTransparentPixels() const;
  // The same pixels with straight RGBA, rows top first.
  std::vector<std::uint8_t> rgbaData() const;
  std::vector<std::uint8_t> pngData() const;
  std::size_t memoryUsed() const;

 private:
  // The raster backends paint from the pixels directly.
  friend class CairoGraphicsContext;
  friend class CairoImageContext;
  friend class KRPDFDocument;
  explicit KRImage(_cairo_surface* surface);
  _cairo_surface* surface_;
  int width_;
  int height_;
};

}  // namespace orrelin
