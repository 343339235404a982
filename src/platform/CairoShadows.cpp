// Shadows on the cairo targets: what an operation covers, blurred, moved by
// the offset and painted in the shadow colour under the operation.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/CairoGraphicsContext.h"

namespace orrelin {

using namespace cairo_support;

namespace {

// The largest raster made for a shadow, per side.
constexpr int kMaxRasterSide = 16384;

// Three box blurs approximate a Gaussian of the given standard deviation.
void blurAlpha(unsigned char* data, int width, int height, int stride, double sigma) {
  if (sigma < 0.5 || width <= 0 || height <= 0) return;
  int radius = std::max(1, static_cast<int>(std::lround(std::sqrt(12 * sigma * sigma / 3 + 1) / 2)));
  std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)));
  auto boxPass = [&](unsigned char* start, int count, int step) {
    int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < count) ? start[i * step] : 0;
    for (int i = 0; i < count; ++i) {
      line[i] = static_cast<unsigned char>(sum / window);
      int out = i - radius, in = i + radius + 1;
      if (out >= 0) sum -= start[out * step];
      if (in < count) sum += start[in * step];
    }
    for (int i = 0; i < count; ++i) start[i * step] = line[i];
  };
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < height; ++y) boxPass(data + y * stride, width, 1);
    for (int x = 0; x < width; ++x) boxPass(data + x, height, stride);
  }
}

}  // namespace

void CairoGraphicsContext::castShadow(const std::array<double, 4>& extents,
                                      const std::function<void(cairo_t*)>& operation) {
  const State& s = state();
  if (!s.hasShadow || s.shadowColor.alpha <= 0) return;
  double scale = shadowResolution();
  double blurDevice = s.shadowBlur * deviceScale();
  double margin = std::ceil(blurDevice * 1.5) + 2;
  std::array<double, 4> clip = deviceClipExtents(cr());
  double offX = s.shadowOffset.width * deviceScale(), offY = -s.shadowOffset.height * deviceScale();
  // Only what can land inside the clip once moved is rendered.
  double x0 = std::max(extents[0], clip[0] - offX) - margin, y0 = std::max(extents[1], clip[1] - offY) - margin;
  double x1 = std::min(extents[2], clip[2] - offX) + margin, y1 = std::min(extents[3], clip[3] - offY) + margin;
  if (!(x1 > x0 && y1 > y0)) return;
  x0 = std::floor(x0);
  y0 = std::floor(y0);
  while ((x1 - x0) * scale > kMaxRasterSide || (y1 - y0) * scale > kMaxRasterSide) scale /= 2;
  int w = static_cast<int>(std::ceil((x1 - x0) * scale)), h = static_cast<int>(std::ceil((y1 - y0) * scale));
  if (w <= 0 || h <= 0) return;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return;
  }
  cairo_t* mc = cairo_create(mask);
  cairo_matrix_t userToDevice, toMask;
  cairo_get_matrix(cr(), &userToDevice);
  cairo_matrix_init_scale(&toMask, scale, scale);
  cairo_matrix_translate(&toMask, -x0, -y0);
  cairo_matrix_t combined;
  cairo_matrix_multiply(&combined, &userToDevice, &toMask);
  cairo_set_matrix(mc, &combined);
  cairo_set_antialias(mc, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgba(mc, 0, 0, 0, 1);
  operation(mc);
  cairo_destroy(mc);
  cairo_surface_flush(mask);
  blurAlpha(cairo_image_surface_get_data(mask), w, h, cairo_image_surface_get_stride(mask), blurDevice * scale / 2);
  cairo_surface_mark_dirty(mask);

  cairo_save(cr());
  cairo_identity_matrix(cr());
  auto c = s.shadowColor.rgbComponents();
  cairo_set_source_rgba(cr(), c[0], c[1], c[2], std::clamp(s.shadowColor.alpha, 0.0, 1.0) * s.alpha);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask);
  cairo_matrix_t patternMatrix;
  cairo_matrix_init_scale(&patternMatrix, scale, scale);
  cairo_matrix_translate(&patternMatrix, -(x0 + offX), -(y0 + offY));
  cairo_pattern_set_matrix(pattern, &patternMatrix);
  cairo_mask(cr(), pattern);
  cairo_pattern_destroy(pattern);
  cairo_restore(cr());
  cairo_surface_destroy(mask);
}

}  // namespace orrelin
