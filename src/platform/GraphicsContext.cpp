#include "platform/GraphicsContext.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace orrelin {

namespace {

std::uint64_t nextContextIdentifier() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

bool finite(double v) { return std::isfinite(v); }

// A rectangle (standardized) that can be painted into.
bool paintable(const KRRect& r) {
  return !r.isEmpty() && finite(r.origin.x) && finite(r.origin.y) && finite(r.size.width) && finite(r.size.height);
}

thread_local std::shared_ptr<GraphicsContext> currentContext;

// How many bands a shading is drawn with when a target has no shading of its own.
constexpr int kGradientBands = 256;

}  // namespace

GraphicsContext::GraphicsContext(KRSize pageSize, double deviceScale)
    : identifier_(nextContextIdentifier()), pageSize_(pageSize), deviceScale_(deviceScale) {
  states_.emplace_back();
}

std::shared_ptr<GraphicsContext> GraphicsContext::current() { return currentContext; }
void GraphicsContext::setCurrent(std::shared_ptr<GraphicsContext> context) { currentContext = std::move(context); }

// ---------------------------------------------------------------- state

void GraphicsContext::saveGState() {
  pushTargetState();
  states_.push_back(states_.back());
}

void GraphicsContext::restoreGState() {
  if (states_.size() <= 1) return;
  popTargetState();
  states_.pop_back();
  pathBroken_ = true;
}

void GraphicsContext::setAlpha(double alpha) { state().alpha = finite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0; }

void GraphicsContext::concatCTM(const KRAffineTransform& transform) {
  if (!transform.isInvertible()) {
    state().suppressed = true;
    return;
  }
  state().transform = transform.then(state().transform);
  targetConcat(transform);
}

void GraphicsContext::setShadow(KRSize offset, double blur) { setShadow(offset, blur, KRColor::grey(0, 1.0 / 3)); }

void GraphicsContext::setShadow(KRSize offset, double blur, const KRColor& color) {
  if (!finite(offset.width) || !finite(offset.height) || !finite(blur)) return;
  State& s = state();
  s.hasShadow = true;
  s.shadowOffset = offset;
  s.shadowBlur = std::max(0.0, blur);
  s.shadowColor = color;
}

void GraphicsContext::setLineWidth(double width) { state().lineWidth = finite(width) && width > 0 ? width : 0; }

void GraphicsContext::setMiterLimit(double limit) {
  if (finite(limit) && limit >= 1) state().miterLimit = limit;
}

void GraphicsContext::setLineDash(const std::vector<double>& lengths, double phase) {
  bool drawable = !lengths.empty() && finite(phase);
  double total = 0;
  for (double v : lengths) {
    if (!finite(v) || v < 0) drawable = false;
    total += v;
  }
  State& s = state();
  if (!drawable || !(total > 0)) {
    s.dashes.clear();
    s.dashPhase = 0;
    return;
  }
  s.dashes = lengths;
  s.dashPhase = phase;
}

std::vector<double> GraphicsContext::lineDash(double* phase) const {
  if (phase) *phase = state().dashPhase;
  return state().dashes;
}

// ---------------------------------------------------------------- the path

void GraphicsContext::beginPath() {
  pathClear();
  pathBroken_ = true;
}

void GraphicsContext::moveTo(double x, double y) {
  if (!finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  pathMoveTo(x, y);
  pathBroken_ = false;
}

void GraphicsContext::lineTo(double x, double y) {
  if (!finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  if (pathBroken_) {
    pathMoveTo(x, y);
    pathBroken_ = false;
  } else {
    pathLineTo(x, y);
  }
}

void GraphicsContext::addLines(const KRPoint* points, std::size_t count) {
  if (count == 0) return;
  moveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i < count; ++i) lineTo(points[i].x, points[i].y);
}

void GraphicsContext::addIndexedLines(const double* xy, const int* indices, std::size_t count, bool close) {
  if (count == 0) return;
  pathBroken_ = true;
  for (std::size_t k = 0; k < count; ++k) {
    const double* p = xy + 2 * static_cast<std::ptrdiff_t>(indices[k]);
    lineTo(p[0], p[1]);
  }
  if (close && !pathBroken_) closePath();
}

void GraphicsContext::addCircles(const float* xyr, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    double x = xyr[3 * i], y = xyr[3 * i + 1], r = xyr[3 * i + 2];
    if (!finite(x) || !finite(y) || !finite(r)) continue;
    moveTo(x + std::fabs(r), y);
    addArc(x, y, std::fabs(r), 0, r > 0 ? 2 * M_PI : -2 * M_PI, !(r > 0));
    closePath();
  }
}

void GraphicsContext::curveTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  if (!finite(c1x) || !finite(c1y) || !finite(c2x) || !finite(c2y) || !finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  if (pathBroken_) {
    // A curve needs a start; without one it begins at its first control point.
    pathMoveTo(c1x, c1y);
    pathBroken_ = false;
  }
  pathCurveTo(c1x, c1y, c2x, c2y, x, y);
}

void GraphicsContext::quadCurveTo(double cx, double cy, double x, double y) {
  if (!finite(cx) || !finite(cy) || !finite(x) || !finite(y)) {
    pathBroken_ = true;
    return;
  }
  double x0 = cx, y0 = cy;
  if (!pathBroken_) pathCurrentPoint(x0, y0);
  // The quadratic curve as the cubic with the same shape.
  curveTo(x0 + 2.0 / 3 * (cx - x0), y0 + 2.0 / 3 * (cy - y0), x + 2.0 / 3 * (cx - x), y + 2.0 / 3 * (cy - y), x, y);
}

void GraphicsContext::addArc(double cx, double cy, double radius, double startAngle, double endAngle,
                             bool clockwise) {
  if (!finite(cx) || !finite(cy) || !finite(radius) || !finite(startAngle) || !finite(endAngle)) {
    pathBroken_ = true;
    return;
  }
  pathArc(cx, cy, std::fabs(radius), startAngle, endAngle, clockwise, pathBroken_);
  pathBroken_ = false;
}

void GraphicsContext::addRect(const KRRect& rect) {
  double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
  if (!finite(x) || !finite(y) || !finite(w) || !finite(h)) return;
  moveTo(x, y);
  lineTo(x + w, y);
  lineTo(x + w, y + h);
  lineTo(x, y + h);
  closePath();
}

void GraphicsContext::closePath() {
  double x, y;
  if (pathCurrentPoint(x, y)) pathClose();
}

// ---------------------------------------------------------------- painting

void GraphicsContext::fillPath(KRFillRule rule) {
  if (drawingSuppressed())
    pathClear();
  else
    fillCurrentPath(rule);
  pathBroken_ = true;
}

void GraphicsContext::strokePath() {
  if (drawingSuppressed())
    pathClear();
  else
    strokeCurrentPath();
  pathBroken_ = true;
}

void GraphicsContext::clipToPath(KRFillRule rule) {
  clipCurrentPath(rule);
  pathBroken_ = true;
}

void GraphicsContext::clipToRect(const KRRect& rect) {
  beginPath();
  // A rectangle that is not finite leaves nothing inside the clip.
  addRect(rect.standardized());
  clipToPath(KRFillRule::Winding);
}

void GraphicsContext::strokeLineSegments(const float* segments, std::size_t count, const float* colors, int colorRows,
                                         bool opaque) {
  beginPath();
  if (!colors) {
    // One path for all segments: one stroke.
    for (std::size_t i = 0; i < count; ++i) {
      moveTo(segments[4 * i], segments[4 * i + 1]);
      lineTo(segments[4 * i + 2], segments[4 * i + 3]);
    }
    strokePath();
    return;
  }
  KRColor outer = strokeColor();
  for (std::size_t i = 0; i < count; ++i) {
    const float* c = colors + colorRows * static_cast<std::ptrdiff_t>(i);
    setStrokeColor(KRColor::rgb(c[0], c[1], c[2], colorRows == 4 && !opaque ? c[3] : 1.0));
    moveTo(segments[4 * i], segments[4 * i + 1]);
    lineTo(segments[4 * i + 2], segments[4 * i + 3]);
    strokePath();
  }
  setStrokeColor(outer);
}

void GraphicsContext::drawImage(const KRRect& rect, const KRImage& image, KRInterpolation quality) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || !paintable(r)) return;
  beginPath();
  paintImage(r, image, quality);
}

void GraphicsContext::drawPDFPage(const KRRect& rect, const KRPDFDocument& document, int page) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || !paintable(r)) return;
  beginPath();
  paintPDFPage(r, document, page);
}

void GraphicsContext::paintPDFPage(const KRRect& rect, const KRPDFDocument& document, int page) {
  // As many pixels as the rectangle covers on this device.
  KRRect onPage = currentTransform().applyToRect(rect);
  double wide = std::ceil(onPage.width() * deviceScale_), high = std::ceil(onPage.height() * deviceScale_);
  constexpr double kLargest = 8192;
  double shrink = std::max({1.0, wide / kLargest, high / kLargest});
  auto image = document.imageOfPage(page, std::max(1, static_cast<int>(wide / shrink)),
                                    std::max(1, static_cast<int>(high / shrink)));
  if (image) paintImage(rect, *image, KRInterpolation::High);
}

void GraphicsContext::drawLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end) {
  if (drawingSuppressed() || stops.empty() || !finite(start.x) || !finite(start.y) || !finite(end.x) ||
      !finite(end.y))
    return;
  beginPath();
  paintLinearGradient(stops, start, end);
}

KRColor colorInGradient(const std::vector<KRGradientStop>& stops, double t) {
  std::vector<KRGradientStop> usable;
  for (const auto& stop : stops)
    if (finite(stop.position)) usable.push_back({std::clamp(stop.position, 0.0, 1.0), stop.color});
  if (usable.empty()) return KRColor::rgb(0, 0, 0, 0);
  std::stable_sort(usable.begin(), usable.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
  if (!(t > usable.front().position)) return usable.front().color.deviceRGB();
  for (std::size_t i = 1; i < usable.size(); ++i) {
    const auto &a = usable[i - 1], &b = usable[i];
    if (t > b.position) continue;
    double span = b.position - a.position;
    double f = span > 0 ? (t - a.position) / span : 1;
    auto ca = a.color.rgbComponents(), cb = b.color.rgbComponents();
    return KRColor::rgb(ca[0] + f * (cb[0] - ca[0]), ca[1] + f * (cb[1] - ca[1]), ca[2] + f * (cb[2] - ca[2]),
                        a.color.alpha + f * (b.color.alpha - a.color.alpha));
  }
  return usable.back().color.deviceRGB();
}

void GraphicsContext::paintLinearGradient(const std::vector<KRGradientStop>& stops, KRPoint start, KRPoint end) {
  KRRect clip = clipBoundingBox();
  double dx = end.x - start.x, dy = end.y - start.y, length = std::hypot(dx, dy);
  if (clip.isEmpty() || !(length > 0)) return;
  // Unit vectors along the shading and across it.
  double ux = dx / length, uy = dy / length, vx = -uy, vy = ux;
  // The clip's corners in those terms bound what the bands must cover.
  double along0 = INFINITY, along1 = -INFINITY, across0 = INFINITY, across1 = -INFINITY;
  for (KRPoint corner : {KRPoint{clip.minX(), clip.minY()}, KRPoint{clip.maxX(), clip.minY()},
                         KRPoint{clip.minX(), clip.maxY()}, KRPoint{clip.maxX(), clip.maxY()}}) {
    double a = (corner.x - start.x) * ux + (corner.y - start.y) * uy;
    double c = (corner.x - start.x) * vx + (corner.y - start.y) * vy;
    along0 = std::min(along0, a), along1 = std::max(along1, a);
    across0 = std::min(across0, c), across1 = std::max(across1, c);
  }
  auto band = [&](double from, double to, const KRColor& color) {
    if (!(to > from)) return;
    setFillColor(color);
    auto at = [&](double a, double c) { return KRPoint{start.x + a * ux + c * vx, start.y + a * uy + c * vy}; };
    KRPoint corners[4] = {at(from, across0), at(to, across0), at(to, across1), at(from, across1)};
    addLines(corners, 4);
    closePath();
    fillPath();
  };
  saveGState();
  // The ends extend beyond the two points; in between, each band overlaps
  // the next a little so that no seam shows between them.
  double step = length / kGradientBands;
  band(along0, std::min(0.0, along1), colorInGradient(stops, 0));
  for (int i = 0; i < kGradientBands; ++i) {
    double from = std::max(i * step, along0), to = std::min((i + 1) * step + step / 4, along1);
    band(from, to, colorInGradient(stops, (i + 0.5) / kGradientBands));
  }
  band(std::max(length, along0), along1, colorInGradient(stops, 1));
  restoreGState();
}

void GraphicsContext::drawText(const KRShapedText& text, KRPoint origin, const KRColor& color) {
  if (text.isEmpty() || drawingSuppressed() || !finite(origin.x) || !finite(origin.y)) return;
  beginPath();
  for (const auto& run : text.runs)
    if (run.font && !run.glyphs.empty()) paintGlyphs(run, origin, color);
}

// ---------------------------------------------------------------- layers

std::shared_ptr<GraphicsLayer> GraphicsContext::createLayer(KRSize) { return nullptr; }

void GraphicsContext::drawLayer(const KRRect& rect, const GraphicsLayer& layer) {
  KRRect r = rect.standardized();
  if (drawingSuppressed() || !paintable(r) || !layer.context()) return;
  beginPath();
  paintLayer(r, layer);
}

void GraphicsContext::drawLayerRepeatedly(const GraphicsLayer& layer, KRSize size, const float* xy, std::size_t count,
                                          KRPoint shift) {
  if (!(size.width > 0) || !(size.height > 0)) return;
  for (std::size_t i = 0; i < count; ++i) {
    double x = static_cast<double>(xy[2 * i]) - shift.x, y = static_cast<double>(xy[2 * i + 1]) - shift.y;
    if (finite(x) && finite(y)) drawLayer({x, y, size.width, size.height}, layer);
  }
}

}  // namespace orrelin
