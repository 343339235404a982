#include "platform/KRImage.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/CairoSupport.h"
#include "platform/GraphicsContext.h"

namespace orrelin {

namespace {

// Writes premultiplied device pixels for one straight RGBA value.
inline std::uint32_t premultipliedPixel(double r, double g, double b, double a) {
  auto clamp = [](double v) { return v < 0 ? 0.0 : v > 1 ? 1.0 : v; };
  a = clamp(a);
  auto channel = [&](double v) { return static_cast<std::uint32_t>(std::lround(clamp(v) * a * 255)); };
  return (static_cast<std::uint32_t>(std::lround(a * 255)) << 24) | (channel(r) << 16) | (channel(g) << 8) |
         channel(b);
}

}  // namespace

KRImage::KRImage(cairo_surface_t* surface)
    : surface_(surface),
      width_(cairo_image_surface_get_width(surface)),
      height_(cairo_image_surface_get_height(surface)) {}

KRImage::~KRImage() { cairo_surface_destroy(surface_); }

std::shared_ptr<KRImage> KRImage::create(int width, int height) {
  cairo_surface_t* surface = cairo_support::newImageSurface(width, height);
  if (!surface) return nullptr;
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromRGBA(int width, int height, const std::uint8_t* rgba,
                                                 std::size_t bytesPerRow) {
  if (!rgba || bytesPerRow < static_cast<std::size_t>(width) * 4) return nullptr;
  cairo_surface_t* surface = cairo_support::newImageSurface(width, height);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = rgba + static_cast<std::size_t>(y) * bytesPerRow;
    auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width; ++x, in += 4) {
      std::uint32_t a = in[3];
      auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
      row[x] = (a << 24) | (mul(in[0]) << 16) | (mul(in[1]) << 8) | mul(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::createFromBitmap(const KRBitmapRep& bitmap) {
  using Model = KRBitmapRep::ColorModel;
  int colorSamples = bitmap.colorModel == Model::Grey ? 1 : bitmap.colorModel == Model::RGB ? 3 : 4;
  int bytesPerSample = bitmap.bitsPerSample / 8;
  bool layoutKnown = !bitmap.isPlanar && (bitmap.bitsPerSample == 8 || bitmap.bitsPerSample == 16) &&
                     bitmap.samplesPerPixel == colorSamples + (bitmap.hasAlpha ? 1 : 0) &&
                     bitmap.pixelsWide > 0 && bitmap.pixelsHigh > 0;
  if (!layoutKnown) return nullptr;
  std::size_t rowBytes = static_cast<std::size_t>(bitmap.pixelsWide) * bitmap.samplesPerPixel * bytesPerSample;
  if (bitmap.bytesPerRow < 0 || static_cast<std::size_t>(bitmap.bytesPerRow) < rowBytes ||
      bitmap.data.size() < static_cast<std::size_t>(bitmap.bytesPerRow) * (bitmap.pixelsHigh - 1) + rowBytes)
    return nullptr;
  cairo_surface_t* surface = cairo_support::newImageSurface(bitmap.pixelsWide, bitmap.pixelsHigh);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < bitmap.pixelsHigh; ++y) {
    const std::uint8_t* in = bitmap.data.data() + static_cast<std::size_t>(y) * bitmap.bytesPerRow;
    auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < bitmap.pixelsWide; ++x) {
      double s[5];
      for (int k = 0; k < bitmap.samplesPerPixel; ++k) {
        // 16-bit samples are stored in the host's order.
        s[k] = bytesPerSample == 1 ? in[0] / 255.0 : *reinterpret_cast<const std::uint16_t*>(in) / 65535.0;
        in += bytesPerSample;
      }
      double a = bitmap.hasAlpha ? s[colorSamples] : 1;
      if (bitmap.hasAlpha && bitmap.alphaPremultiplied && a > 0)
        for (int k = 0; k < colorSamples; ++k) s[k] /= a;
      double r, g, b;
      if (bitmap.colorModel == Model::Grey) {
        r = g = b = s[0];
      } else if (bitmap.colorModel == Model::RGB) {
        r = s[0], g = s[1], b = s[2];
      } else {
        r = (1 - s[0]) * (1 - s[3]), g = (1 - s[1]) * (1 - s[3]), b = (1 - s[2]) * (1 - s[3]);
      }
      row[x] = premultipliedPixel(r, g, b, a);
    }
  }
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

std::shared_ptr<KRImage> KRImage::render(int width, int height,
                                         const std::function<void(GraphicsContext&)>& draw) {
  auto context = GraphicsContext::createForImage({static_cast<double>(width), static_cast<double>(height)}, 1);
  if (!context) return nullptr;
  draw(*context);
  return context->image();
}

KRPixel KRImage::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  std::uint32_t v = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride)[x];
  std::uint32_t a = v >> 24;
  auto un = [a](std::uint32_t c) { return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a)); };
  return {un((v >> 16) & 0xFF), un((v >> 8) & 0xFF), un(v & 0xFF), static_cast<std::uint8_t>(a)};
}

bool KRImage::hasTransparentPixels() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width_; ++x)
      if ((row[x] >> 24) != 0xFF) return true;
  }
  return false;
}

std::vector<std::uint8_t> KRImage::rgbaData() const {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::uint8_t* to = out.data();
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width_; ++x, to += 4) {
      const std::uint32_t v = row[x], a = v >> 24;
      if (a == 0xFF) {
        // Opaque pixels (most of a drawing on white) need no division.
        to[0] = static_cast<std::uint8_t>(v >> 16);
        to[1] = static_cast<std::uint8_t>(v >> 8);
        to[2] = static_cast<std::uint8_t>(v);
        to[3] = 0xFF;
      } else {
        auto un = [a](std::uint32_t c) { return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a)); };
        to[0] = un((v >> 16) & 0xFF);
        to[1] = un((v >> 8) & 0xFF);
        to[2] = un(v & 0xFF);
        to[3] = static_cast<std::uint8_t>(a);
      }
    }
  }
  return out;
}

std::size_t KRImage::memoryUsed() const {
  return sizeof(*this) + static_cast<std::size_t>(cairo_image_surface_get_stride(surface_)) * height_;
}

}  // namespace orrelin
