// The raster target: an image surface, with raster layers that have as many
// pixels as they cover on it, and stamps painted straight from one pattern.

#include <cairo.h>

#include <cmath>
#include <cstring>

#include "platform/CairoGraphicsContext.h"

namespace orrelin {

using namespace cairo_support;

namespace {

// The largest raster made for a layer, per side.
constexpr int kMaxLayerSide = 16384;

}  // namespace

class CairoImageContext : public CairoGraphicsContext {
 public:
  CairoImageContext(cairo_surface_t* surface, KRSize pageSize, const KRAffineTransform& pageToDevice)
      : CairoGraphicsContext(surface, pageSize, pageToDevice) {}

  bool isVectorTarget() const override { return false; }

  std::shared_ptr<KRImage> image() override {
    cairo_surface_flush(surface());
    int w = cairo_image_surface_get_width(surface()), h = cairo_image_surface_get_height(surface());
    cairo_surface_t* copy = newImageSurface(w, h);
    if (!copy) return nullptr;
    cairo_surface_flush(copy);
    int stride = cairo_image_surface_get_stride(surface());
    std::memcpy(cairo_image_surface_get_data(copy), cairo_image_surface_get_data(surface()),
                static_cast<std::size_t>(stride) * h);
    cairo_surface_mark_dirty(copy);
    return std::shared_ptr<KRImage>(new KRImage(copy));
  }

  std::shared_ptr<GraphicsLayer> createLayer(KRSize size) override {
    if (!(size.width > 0) || !(size.height > 0) || !std::isfinite(size.width) || !std::isfinite(size.height))
      return nullptr;
    // As many pixels as the layer covers on this device.
    cairo_matrix_t m;
    cairo_get_matrix(cr(), &m);
    double sx = std::hypot(m.xx, m.yx), sy = std::hypot(m.xy, m.yy);
    if (!(sx > 0) || !(sy > 0)) return nullptr;
    double w = std::ceil(size.width * sx - 1e-6), h = std::ceil(size.height * sy - 1e-6);
    while (w > kMaxLayerSide || h > kMaxLayerSide) {
      w = std::ceil(w / 2);
      h = std::ceil(h / 2);
    }
    cairo_surface_t* raster = newImageSurface(static_cast<int>(std::max(1.0, w)), static_cast<int>(std::max(1.0, h)));
    if (!raster) return nullptr;
    w = cairo_image_surface_get_width(raster);
    h = cairo_image_surface_get_height(raster);
    auto context = std::make_shared<CairoImageContext>(raster, size,
                                                       KRAffineTransform{w / size.width, 0, 0, -h / size.height, 0, h});
    return std::make_shared<CairoLayer>(size, std::move(context), identifier(), w, h);
  }

  void drawLayerRepeatedly(const GraphicsLayer& layer, KRSize size, const float* xy, std::size_t count,
                           KRPoint shift) override {
    auto* cairoLayer = dynamic_cast<const CairoLayer*>(&layer);
    if (!cairoLayer) {
      GraphicsContext::drawLayerRepeatedly(layer, size, xy, count, shift);
      return;
    }
    if (drawingSuppressed() || !(size.width > 0) || !(size.height > 0) || count == 0) return;
    cairo_surface_t* source = cairoLayer->surface();
    cairo_surface_flush(source);
    // One pattern for every stamp, moved by its matrix.
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    double kx = cairoLayer->pixelsWide() / size.width, ky = cairoLayer->pixelsHigh() / size.height;
    auto stampAll = [&](cairo_t* target, double opacity) {
      for (std::size_t i = 0; i < count; ++i) {
        double x = static_cast<double>(xy[2 * i]) - shift.x, y = static_cast<double>(xy[2 * i + 1]) - shift.y;
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        // User space to the layer's pixels, whose rows run from the top down.
        cairo_matrix_t m;
        cairo_matrix_init(&m, kx, 0, 0, -ky, -x * kx, (y + size.height) * ky);
        cairo_pattern_set_matrix(pattern, &m);
        cairo_set_source(target, pattern);
        cairo_rectangle(target, x, y, size.width, size.height);
        if (opacity >= 1) {
          cairo_fill(target);
        } else {
          cairo_save(target);
          cairo_clip(target);
          cairo_paint_with_alpha(target, opacity);
          cairo_restore(target);
        }
      }
    };
    pathClear();
    if (state().hasShadow) castShadow(deviceClipExtents(cr()), [&](cairo_t* target) { stampAll(target, 1); });
    stampAll(cr(), alpha());
    cairo_pattern_destroy(pattern);
  }
};

std::shared_ptr<GraphicsContext> GraphicsContext::createForImage(KRSize pageSize, double scale) {
  if (!(scale > 0) || !std::isfinite(scale) || !(pageSize.width > 0) || !(pageSize.height > 0)) return nullptr;
  double w = std::round(pageSize.width * scale), h = std::round(pageSize.height * scale);
  if (w < 1 || h < 1 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) return nullptr;
  cairo_surface_t* surface = newImageSurface(static_cast<int>(w), static_cast<int>(h));
  if (!surface) return nullptr;
  return std::make_shared<CairoImageContext>(surface, pageSize, KRAffineTransform{scale, 0, 0, -scale, 0, h});
}

}  // namespace orrelin
