#pragma once
// Small helpers shared by the code that speaks to cairo: the images, the
// PDF pages and the cairo drawing targets. Not for use outside the platform.

#include <cairo.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/PageGeometry.h"

namespace orrelin::cairo_support {

inline KRAffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

inline cairo_matrix_t toCairo(const KRAffineTransform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return m;
}

// The largest raster side cairo's image surfaces take.
constexpr int kMaxSurfaceSide = 32767;

// A transparent ARGB surface; nullptr for a size cairo cannot make.
inline cairo_surface_t* newImageSurface(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return surface;
}

// A cairo write function that appends to a std::vector<std::uint8_t>.
inline cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// Lays a raster of pixelsWide x pixelsHigh (rows top first) over rect in a
// y-up user space.
inline void mapRasterIntoRect(cairo_t* cr, const KRRect& rect, double pixelsWide, double pixelsHigh) {
  cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
  cairo_scale(cr, rect.size.width / pixelsWide, -rect.size.height / pixelsHigh);
}

// The clip's extent in device space: x0, y0, x1, y1.
inline std::array<double, 4> deviceClipExtents(cairo_t* cr) {
  std::array<double, 4> e{};
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_clip_extents(cr, &e[0], &e[1], &e[2], &e[3]);
  cairo_restore(cr);
  return e;
}

}  // namespace orrelin::cairo_support
