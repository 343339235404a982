#include "platform/CairoGraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

using namespace cairo_support;

namespace {

bool finite(double v) { return std::isfinite(v); }

// Device coordinates are kept well inside the range the rasteriser's fixed
// point numbers can hold; a point beyond it is pulled back onto the border.
constexpr double kDeviceLimit = 4.0e6;

// Pulls a user-space point whose device position lies beyond the limit back
// onto the limit, along the device axes; gives its device position.
inline KRPoint keepInDeviceRange(cairo_t* cr, double& x, double& y) {
  double dx = x, dy = y;
  cairo_user_to_device(cr, &dx, &dy);
  if (std::fabs(dx) <= kDeviceLimit && std::fabs(dy) <= kDeviceLimit) return {dx, dy};
  dx = std::clamp(dx, -kDeviceLimit, kDeviceLimit);
  dy = std::clamp(dy, -kDeviceLimit, kDeviceLimit);
  const KRPoint device{dx, dy};
  cairo_device_to_user(cr, &dx, &dy);
  x = dx;
  y = dy;
  return device;
}

// The same with a matrix fetched once, for long runs of points: only points
// far outside the device take the slow way.
struct DeviceRange {
  explicit DeviceRange(cairo_t* cr) : cr(cr) { cairo_get_matrix(cr, &m); }
  KRPoint keep(double& x, double& y) const {
    double dx = m.xx * x + m.xy * y + m.x0, dy = m.yx * x + m.yy * y + m.y0;
    if (!(std::fabs(dx) <= kDeviceLimit && std::fabs(dy) <= kDeviceLimit)) return keepInDeviceRange(cr, x, y);
    return {dx, dy};
  }
  cairo_t* cr;
  cairo_matrix_t m;
};

cairo_filter_t filterFor(KRInterpolation quality) {
  switch (quality) {
    case KRInterpolation::None: return CAIRO_FILTER_NEAREST;
    case KRInterpolation::Low: return CAIRO_FILTER_BILINEAR;
    case KRInterpolation::High: return CAIRO_FILTER_BEST;
    case KRInterpolation::Medium:
    case KRInterpolation::Default: break;
  }
  return CAIRO_FILTER_GOOD;
}

// A path with at least this many segments, and four of them or more to each
// device pixel along its box's width and height, is crowded: a line that
// doubles back on itself within every pixel, as dense noisy data does.
constexpr std::size_t kCrowdedPathSegments = 1000;
constexpr double kCrowdedSegmentsPerPixel = 4;
// The rasteriser's time grows faster than the number of edges it holds at
// once, so a crowded opaque line is stroked in pieces of this many
// segments; the picture hardly changes (see strokeInPieces).
constexpr std::size_t kStrokePieceSegments = 500;

cairo_fill_rule_t cairoRule(KRFillRule rule) {
  return rule == KRFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

// Paints a raster of pixelsWide x pixelsHigh over rect with the given opacity.
void paintRaster(cairo_t* cr, const KRRect& rect, cairo_surface_t* raster, double pixelsWide, double pixelsHigh,
                 cairo_filter_t filter, cairo_extend_t extend, double opacity) {
  cairo_save(cr);
  mapRasterIntoRect(cr, rect, pixelsWide, pixelsHigh);
  cairo_set_source_surface(cr, raster, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), filter);
  cairo_pattern_set_extend(cairo_get_source(cr), extend);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, pixelsWide, pixelsHigh);
  cairo_clip(cr);
  cairo_paint_with_alpha(cr, opacity);
  cairo_restore(cr);
}

}  // namespace

CairoGraphicsContext::CairoGraphicsContext(cairo_surface_t* surface, KRSize pageSize,
                                           const KRAffineTransform& pageToDevice)
    : GraphicsContext(pageSize,
                      std::max(std::hypot(pageToDevice.a, pageToDevice.b), std::hypot(pageToDevice.c, pageToDevice.d))),
      surface_(surface),
      cr_(cairo_create(surface)) {
  cairo_matrix_t m = toCairo(pageToDevice);
  cairo_set_matrix(cr_, &m);
}

CairoGraphicsContext::~CairoGraphicsContext() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool CairoGraphicsContext::hasError() const {
  return cairo_status(cr_) != CAIRO_STATUS_SUCCESS || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS;
}

std::string CairoGraphicsContext::errorText() const {
  cairo_status_t status = cairo_status(cr_);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface_);
  return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}

void CairoGraphicsContext::targetConcat(const KRAffineTransform& transform) {
  cairo_matrix_t m = toCairo(transform);
  cairo_transform(cr_, &m);
}

KRRect CairoGraphicsContext::clipBoundingBox() const {
  double x0, y0, x1, y1;
  cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
  return {x0, y0, x1 - x0, y1 - y0};
}

// ---------------------------------------------------------------- the path

void CairoGraphicsContext::PathCrowding::add(KRPoint device, bool segment) {
  if (segment) ++segments;
  x0 = std::min(x0, device.x);
  x1 = std::max(x1, device.x);
  y0 = std::min(y0, device.y);
  y1 = std::max(y1, device.y);
}

bool CairoGraphicsContext::PathCrowding::crowded() const {
  return segments >= kCrowdedPathSegments && double(segments) >= kCrowdedSegmentsPerPixel * ((x1 - x0) + (y1 - y0));
}

void CairoGraphicsContext::pathClear() {
  cairo_new_path(cr_);
  crowding_.clear();
}

void CairoGraphicsContext::pathMoveTo(double x, double y) {
  const KRPoint device = keepInDeviceRange(cr_, x, y);
  cairo_move_to(cr_, x, y);
  crowding_.add(device, false);
}

void CairoGraphicsContext::pathLineTo(double x, double y) {
  const KRPoint device = keepInDeviceRange(cr_, x, y);
  cairo_line_to(cr_, x, y);
  crowding_.add(device, true);
}

void CairoGraphicsContext::pathCurveTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  keepInDeviceRange(cr_, c1x, c1y);
  keepInDeviceRange(cr_, c2x, c2y);
  const KRPoint device = keepInDeviceRange(cr_, x, y);
  cairo_curve_to(cr_, c1x, c1y, c2x, c2y, x, y);
  crowding_.add(device, true);
}

void CairoGraphicsContext::pathArc(double cx, double cy, double radius, double startAngle, double endAngle,
                                   bool clockwise, bool newSubpath) {
  double sx = cx + radius * std::cos(startAngle), sy = cy + radius * std::sin(startAngle);
  double kx = sx, ky = sy;
  keepInDeviceRange(cr_, kx, ky);
  if (kx != sx || ky != sy) {
    // Too large to draw as an arc: its start point stands in.
    if (newSubpath)
      cairo_move_to(cr_, kx, ky);
    else
      cairo_line_to(cr_, kx, ky);
    return;
  }
  if (newSubpath) cairo_new_sub_path(cr_);
  if (clockwise)
    cairo_arc_negative(cr_, cx, cy, radius, startAngle, endAngle);
  else
    cairo_arc(cr_, cx, cy, radius, startAngle, endAngle);
}

bool CairoGraphicsContext::pathEmpty() const {
  cairo_path_t* path = cairo_copy_path(cr_);
  bool empty = path->num_data == 0;
  cairo_path_destroy(path);
  return empty;
}

bool CairoGraphicsContext::pathCurrentPoint(double& x, double& y) const {
  if (!cairo_has_current_point(cr_)) return false;
  cairo_get_current_point(cr_, &x, &y);
  return true;
}

void CairoGraphicsContext::addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close) {
  if (count == 0) return;
  DeviceRange range(cr_);
  bool broken = true;
  for (std::size_t k = 0; k < count; ++k) {
    const double* p = xy + 2 * static_cast<std::ptrdiff_t>(indices[k]);
    double x = p[0], y = p[1];
    if (!finite(x) || !finite(y)) {
      broken = true;
      continue;
    }
    crowding_.add(range.keep(x, y), !broken);
    if (broken) {
      cairo_move_to(cr_, x, y);
      broken = false;
    } else {
      cairo_line_to(cr_, x, y);
    }
  }
  if (close && !broken) cairo_close_path(cr_);
  setPathBroken(broken);
}

void CairoGraphicsContext::addCircles(const float* xyr, std::size_t count) {
  DeviceRange range(cr_);
  for (std::size_t i = 0; i < count; ++i) {
    double x = xyr[3 * i], y = xyr[3 * i + 1], r = xyr[3 * i + 2];
    if (!finite(x) || !finite(y) || !finite(r)) continue;
    double radius = std::fabs(r), sx = x + radius, sy = y;
    range.keep(sx, sy);
    if (sx != x + radius || sy != y) continue;  // too far out to show
    cairo_new_sub_path(cr_);
    if (r > 0)
      cairo_arc(cr_, x, y, radius, 0, 2 * M_PI);
    else
      cairo_arc_negative(cr_, x, y, radius, 0, -2 * M_PI);
    cairo_close_path(cr_);
  }
  setPathBroken(true);
}

void CairoGraphicsContext::strokeLineSegments(const float* segments, std::size_t count, const float* colors,
                                              int colorRows, bool opaque) {
  cairo_new_path(cr_);
  if (drawingSuppressed() || count == 0) return;
  DeviceRange range(cr_);
  auto addSegment = [&](std::size_t i) {
    double x1 = segments[4 * i], y1 = segments[4 * i + 1], x2 = segments[4 * i + 2], y2 = segments[4 * i + 3];
    if (!finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) return false;
    range.keep(x1, y1);
    range.keep(x2, y2);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    return true;
  };
  if (!colors) {
    for (std::size_t i = 0; i < count; ++i) addSegment(i);
    strokeCurrentPath();
    return;
  }
  KRColor outer = strokeColor();
  for (std::size_t i = 0; i < count; ++i) {
    if (!addSegment(i)) continue;
    const float* c = colors + colorRows * static_cast<std::ptrdiff_t>(i);
    setStrokeColor(KRColor::rgb(c[0], c[1], c[2], colorRows == 4 && !opaque ? c[3] : 1.0));
    strokeCurrentPath();
  }
  setStrokeColor(outer);
  setPathBroken(true);
}

// ---------------------------------------------------------------- painting

void CairoGraphicsContext::setSource(const KRColor& color) {
  auto c = color.rgbComponents();
  cairo_set_source_rgba(cr_, c[0], c[1], c[2], std::clamp(color.alpha, 0.0, 1.0) * alpha());
}

void CairoGraphicsContext::applyLineSettings(cairo_t* target) const {
  const State& s = state();
  cairo_set_line_width(target, s.lineWidth);
  cairo_set_line_cap(target, s.lineCap == KRLineCap::Round    ? CAIRO_LINE_CAP_ROUND
                             : s.lineCap == KRLineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                              : CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(target, s.lineJoin == KRLineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                              : s.lineJoin == KRLineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                : CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(target, s.miterLimit);
  cairo_set_dash(target, s.dashes.data(), static_cast<int>(s.dashes.size()), s.dashPhase);
  cairo_set_antialias(target, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CairoGraphicsContext::fillCurrentPath(KRFillRule rule) {
  cairo_set_fill_rule(cr_, cairoRule(rule));
  cairo_set_antialias(cr_, shouldAntialias() ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  if (state().hasShadow) {
    double x0, y0, x1, y1;
    cairo_fill_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_path_t* path = cairo_copy_path(cr_);
    castShadow(userRectToDevice({x0, y0, x1 - x0, y1 - y0}), [&](cairo_t* cr) {
      cairo_append_path(cr, path);
      cairo_set_fill_rule(cr, cairoRule(rule));
      cairo_fill(cr);
    });
    cairo_path_destroy(path);
  }
  setSource(fillColor());
  cairo_fill(cr_);
  crowding_.clear();
}

void CairoGraphicsContext::strokeCurrentPath() {
  applyLineSettings(cr_);
  if (state().hasShadow) {
    double x0, y0, x1, y1;
    cairo_stroke_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_path_t* path = cairo_copy_path(cr_);
    castShadow(userRectToDevice({x0, y0, x1 - x0, y1 - y0}), [&](cairo_t* cr) {
      cairo_append_path(cr, path);
      applyLineSettings(cr);
      cairo_stroke(cr);
    });
    cairo_path_destroy(path);
  }
  setSource(strokeColor());
  if (!isVectorTarget() && crowding_.crowded() && strokeColor().alpha >= 1 && alpha() >= 1 && state().dashes.empty())
    strokeInPieces();
  else
    cairo_stroke(cr_);
  crowding_.clear();
}

// Each piece starts again with the last segment of the piece before, so
// every join is drawn whole; that segment is painted twice, which an opaque
// colour shows only on its smoothed edge. A stroke in pieces differs from
// the whole stroke only where the pieces' smoothed edges overlap (the plot
// benchmark's noisy line: 0.2% of its pixels by more than a tenth).
void CairoGraphicsContext::strokeInPieces() {
  cairo_path_t* path = cairo_copy_path(cr_);
  cairo_new_path(cr_);
  std::size_t segments = 0;
  double beforeX = 0, beforeY = 0, lastX = 0, lastY = 0, startX = 0, startY = 0;
  // Whether the subpath was cut: it is then closed by a line back to its
  // start, since the piece holding its end no longer starts there.
  bool cut = false;
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t* element = &path->data[i];
    switch (element->header.type) {
      case CAIRO_PATH_MOVE_TO:
        startX = lastX = element[1].point.x, startY = lastY = element[1].point.y;
        cairo_move_to(cr_, lastX, lastY);
        cut = false;
        break;
      case CAIRO_PATH_LINE_TO:
        beforeX = lastX, beforeY = lastY;
        lastX = element[1].point.x, lastY = element[1].point.y;
        cairo_line_to(cr_, lastX, lastY);
        if (++segments >= kStrokePieceSegments) {
          cairo_stroke(cr_);
          cairo_move_to(cr_, beforeX, beforeY);
          cairo_line_to(cr_, lastX, lastY);
          segments = 1;
          cut = true;
        }
        break;
      case CAIRO_PATH_CURVE_TO:
        lastX = element[3].point.x, lastY = element[3].point.y;
        cairo_curve_to(cr_, element[1].point.x, element[1].point.y, element[2].point.x, element[2].point.y, lastX,
                       lastY);
        ++segments;
        break;
      case CAIRO_PATH_CLOSE_PATH:
        if (cut)
          cairo_line_to(cr_, startX, startY);
        else
          cairo_close_path(cr_);
        lastX = startX, lastY = startY;
        break;
    }
  }
  cairo_stroke(cr_);
  cairo_path_destroy(path);
}

void CairoGraphicsContext::clipCurrentPath(KRFillRule rule) {
  cairo_set_fill_rule(cr_, cairoRule(rule));
  cairo_set_antialias(cr_, shouldAntialias() ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_clip(cr_);
  crowding_.clear();
}

void CairoGraphicsContext::paintImage(const KRRect& rect, const KRImage& image, KRInterpolation quality) {
  auto operation = [&](cairo_t* cr, double opacity) {
    // Padding keeps the edge pixels sharp when they are interpolated.
    paintRaster(cr, rect, image.surface_, image.width(), image.height(), filterFor(quality), CAIRO_EXTEND_PAD,
                opacity);
  };
  if (state().hasShadow) castShadow(userRectToDevice(rect), [&](cairo_t* cr) { operation(cr, 1); });
  operation(cr_, alpha());
}

void CairoGraphicsContext::paintLayer(const KRRect& rect, const GraphicsLayer& layer) {
  auto* cairoLayer = dynamic_cast<const CairoLayer*>(&layer);
  if (!cairoLayer) return;
  cairo_surface_t* source = cairoLayer->surface();
  cairo_surface_flush(source);
  auto operation = [&](cairo_t* cr, double opacity) {
    paintRaster(cr, rect, source, cairoLayer->pixelsWide(), cairoLayer->pixelsHigh(), CAIRO_FILTER_GOOD,
                CAIRO_EXTEND_NONE, opacity);
  };
  if (state().hasShadow) castShadow(userRectToDevice(rect), [&](cairo_t* cr) { operation(cr, 1); });
  operation(cr_, alpha());
}

void CairoGraphicsContext::paintPDFPage(const KRRect& rect, const KRPDFDocument& document, int page) {
  KRSize size = document.pageSize(page);
  if (!(size.width > 0) || !(size.height > 0)) return;
  auto operation = [&](cairo_t* cr, double opacity) {
    cairo_save(cr);
    mapRasterIntoRect(cr, rect, size.width, size.height);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, size.width, size.height);
    cairo_clip(cr);
    if (opacity < 1) cairo_push_group(cr);
    document.renderPage(page, cr);
    if (opacity < 1) {
      cairo_pop_group_to_source(cr);
      cairo_paint_with_alpha(cr, opacity);
    }
    cairo_restore(cr);
  };
  if (state().hasShadow) castShadow(userRectToDevice(rect), [&](cairo_t* cr) { operation(cr, 1); });
  operation(cr_, alpha());
}

void CairoGraphicsContext::paintLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end) {
  cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
  for (const auto& stop : stops) {
    if (!finite(stop.position)) continue;
    auto c = stop.color.rgbComponents();
    cairo_pattern_add_color_stop_rgba(pattern, std::clamp(stop.position, 0.0, 1.0), c[0], c[1], c[2],
                                      std::clamp(stop.color.alpha, 0.0, 1.0) * alpha());
  }
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  if (state().hasShadow)
    castShadow(deviceClipExtents(cr_), [&](cairo_t* cr) {
      cairo_set_source(cr, pattern);
      cairo_paint(cr);
    });
  cairo_set_source(cr_, pattern);
  cairo_paint(cr_);
  cairo_pattern_destroy(pattern);
}

void CairoGraphicsContext::paintGlyphs(const KRGlyphRun& run, KRPoint origin, const KRColor& color) {
  std::vector<cairo_glyph_t> glyphs(run.glyphs.size());
  for (std::size_t i = 0; i < glyphs.size(); ++i)
    // The text space below is flipped: y grows downwards from the base line.
    glyphs[i] = {run.glyphs[i].index, run.glyphs[i].x, -run.glyphs[i].y};
  cairo_scaled_font_t* font = run.font->scaledFont_;
  cairo_matrix_t fontMatrix;
  cairo_scaled_font_get_font_matrix(font, &fontMatrix);
  cairo_font_options_t* options = cairo_font_options_create();
  // Unhinted, as the text was measured: the same shapes at every resolution.
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, shouldAntialias() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  auto show = [&](cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, origin.x, origin.y);
    cairo_scale(cr, 1, -1);
    cairo_set_font_face(cr, cairo_scaled_font_get_font_face(font));
    cairo_set_font_matrix(cr, &fontMatrix);
    cairo_set_font_options(cr, options);
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    cairo_restore(cr);
  };
  if (state().hasShadow) {
    cairo_save(cr_);
    cairo_translate(cr_, origin.x, origin.y);
    cairo_scale(cr_, 1, -1);
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(font, glyphs.data(), static_cast<int>(glyphs.size()), &extents);
    auto device = userRectToDevice({extents.x_bearing, extents.y_bearing, extents.width, extents.height});
    cairo_restore(cr_);
    castShadow(device, show);
  }
  setSource(color);
  show(cr_);
  cairo_font_options_destroy(options);
}

std::array<double, 4> CairoGraphicsContext::userRectToDevice(const KRRect& rect) const {
  double xs[4] = {rect.minX(), rect.maxX(), rect.minX(), rect.maxX()};
  double ys[4] = {rect.minY(), rect.minY(), rect.maxY(), rect.maxY()};
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (int i = 0; i < 4; ++i) {
    cairo_user_to_device(cr_, &xs[i], &ys[i]);
    x0 = std::min(x0, xs[i]);
    x1 = std::max(x1, xs[i]);
    y0 = std::min(y0, ys[i]);
    y1 = std::max(y1, ys[i]);
  }
  return {x0, y0, x1, y1};
}

}  // namespace orrelin
