#include "drawing/KRPathGeometry.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

namespace {

bool finitePoint(KRPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Enough straight pieces that a curve of this size deviates well under a
// tenth of a point from them.
int piecesFor(double extent) {
  if (!(extent > 0) || !std::isfinite(extent)) return 1;
  return std::clamp(static_cast<int>(std::ceil(std::sqrt(extent * 2))), 4, 256);
}

// The signed angle walked from start to end in the given direction, as the
// graphics context walks it; a difference of a full turn or more is one turn.
double arcSweep(double startAngle, double endAngle, bool clockwise) {
  double difference = endAngle - startAngle;
  if (std::fabs(difference) >= 2 * M_PI) return clockwise ? -2 * M_PI : 2 * M_PI;
  double sweep = std::fmod(difference, 2 * M_PI);
  if (!clockwise && sweep < 0) sweep += 2 * M_PI;
  if (clockwise && sweep > 0) sweep -= 2 * M_PI;
  return sweep;
}

}  // namespace

void KRRectAccumulator::include(KRPoint p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
  x0_ = std::min(x0_, p.x);
  x1_ = std::max(x1_, p.x);
  y0_ = std::min(y0_, p.y);
  y1_ = std::max(y1_, p.y);
}

KRRect KRRectAccumulator::rect() const {
  if (x0_ > x1_) return {};
  return {x0_, y0_, x1_ - x0_, y1_ - y0_};
}

double distanceToSegment(KRPoint p, KRPoint a, KRPoint b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// ---------------------------------------------------------------- flattening

void KRFlatteningSink::moveTo(KRPoint p) {
  finish();
  if (!finitePoint(p)) {
    hasCurrent_ = false;
    return;
  }
  current_ = start_ = p;
  hasCurrent_ = true;
  point(p);
}

void KRFlatteningSink::lineTo(KRPoint p) {
  if (!finitePoint(p)) {
    finish();
    hasCurrent_ = false;
    return;
  }
  if (!hasCurrent_) {
    moveTo(p);
    return;
  }
  segment(current_, p, false);
  point(p);
  current_ = p;
}

void KRFlatteningSink::curveTo(KRPoint c1, KRPoint c2, KRPoint p) {
  if (!finitePoint(c1) || !finitePoint(c2) || !finitePoint(p)) {
    finish();
    hasCurrent_ = false;
    return;
  }
  if (!hasCurrent_) moveTo(c1);
  KRPoint p0 = current_;
  double extent = std::hypot(c1.x - p0.x, c1.y - p0.y) + std::hypot(c2.x - c1.x, c2.y - c1.y) +
                  std::hypot(p.x - c2.x, p.y - c2.y);
  int n = piecesFor(extent);
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    lineTo({a * p0.x + b * c1.x + c * c2.x + d * p.x, a * p0.y + b * c1.y + c * c2.y + d * p.y});
  }
}

void KRFlatteningSink::quadCurveTo(KRPoint c, KRPoint p) {
  KRPoint p0 = hasCurrent_ ? current_ : c;
  curveTo({p0.x + 2.0 / 3 * (c.x - p0.x), p0.y + 2.0 / 3 * (c.y - p0.y)},
          {p.x + 2.0 / 3 * (c.x - p.x), p.y + 2.0 / 3 * (c.y - p.y)}, p);
}

void KRFlatteningSink::arc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) {
  if (!finitePoint(center) || !std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) {
    finish();
    hasCurrent_ = false;
    return;
  }
  radius = std::fabs(radius);
  double sweep = arcSweep(startAngle, endAngle, clockwise);
  KRPoint first{center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
  if (hasCurrent_)
    lineTo(first);
  else
    moveTo(first);
  int n = piecesFor(radius * std::fabs(sweep) * 4);
  for (int i = 1; i <= n; ++i) {
    double angle = startAngle + sweep * i / n;
    lineTo({center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)});
  }
}

void KRFlatteningSink::closePath() {
  if (!hasCurrent_) return;
  if (current_ != start_) segment(current_, start_, false);
  current_ = start_;
}

void KRFlatteningSink::finish() {
  if (hasCurrent_ && current_ != start_) segment(current_, start_, true);
  current_ = start_;
}

// ---------------------------------------------------------------- bounds

void KRBoundsSink::segment(KRPoint from, KRPoint to, bool) {
  extent_.include(from);
  extent_.include(to);
}

void KRBoundsSink::point(KRPoint p) { extent_.include(p); }

// ---------------------------------------------------------------- hit tests

void KRHitSink::point(KRPoint p) {
  double d = std::hypot(p.x - p_.x, p.y - p_.y);
  distance_ = std::min(distance_, d);
  strokeDistance_ = std::min(strokeDistance_, d);
}

void KRHitSink::segment(KRPoint a, KRPoint b, bool closing) {
  double d = distanceToSegment(p_, a, b);
  distance_ = std::min(distance_, d);
  if (!closing) strokeDistance_ = std::min(strokeDistance_, d);
  // Crossings of the ray to the right of the point, signed by direction.
  if (a.y <= p_.y) {
    if (b.y > p_.y && (b.x - a.x) * (p_.y - a.y) - (p_.x - a.x) * (b.y - a.y) > 0) ++winding_;
  } else if (b.y <= p_.y && (b.x - a.x) * (p_.y - a.y) - (p_.x - a.x) * (b.y - a.y) < 0) {
    --winding_;
  }
}

// ---------------------------------------------------------------- Bezier paths

int KRBezierPath::pointCount(ElementType type) {
  switch (type) {
    case ElementType::MoveTo:
    case ElementType::LineTo: return 1;
    case ElementType::QuadCurveTo: return 2;
    case ElementType::CurveTo: return 3;
    case ElementType::ClosePath: return 0;
  }
  return 0;
}

void KRBezierPath::appendRect(const KRRect& rect) {
  KRRect r = rect.standardized();
  moveTo(r.origin);
  lineTo({r.maxX(), r.minY()});
  lineTo({r.maxX(), r.maxY()});
  lineTo({r.minX(), r.maxY()});
  closePath();
}

void KRBezierPath::appendOval(const KRRect& rect) {
  KRRect r = rect.standardized();
  double cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
  constexpr double k = 0.5522847498307936;  // control distance of a quarter circle
  moveTo({cx + rx, cy});
  curveTo({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
  curveTo({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
  curveTo({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
  curveTo({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
  closePath();
}

void KRBezierPath::appendArc(KRPoint center, double radius, double startAngle, double endAngle, bool clockwise) {
  radius = std::fabs(radius);
  double sweep = arcSweep(startAngle, endAngle, clockwise);
  KRPoint first{center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
  if (elements_.empty() || elements_.back().type == ElementType::ClosePath)
    moveTo(first);
  else
    lineTo(first);
  int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (M_PI / 2) - 1e-9)));
  double step = sweep / pieces;
  double k = 4.0 / 3 * std::tan(step / 4);
  double angle = startAngle;
  for (int i = 0; i < pieces; ++i) {
    double a0 = angle, a1 = angle + step;
    KRPoint p0{center.x + radius * std::cos(a0), center.y + radius * std::sin(a0)};
    KRPoint p1{center.x + radius * std::cos(a1), center.y + radius * std::sin(a1)};
    curveTo({p0.x - k * radius * std::sin(a0), p0.y + k * radius * std::cos(a0)},
            {p1.x + k * radius * std::sin(a1), p1.y - k * radius * std::cos(a1)}, p1);
    angle = a1;
  }
}

void KRBezierPath::addTo(KRPathSink& sink) const {
  for (const auto& e : elements_) {
    switch (e.type) {
      case ElementType::MoveTo: sink.moveTo(e.points[0]); break;
      case ElementType::LineTo: sink.lineTo(e.points[0]); break;
      case ElementType::QuadCurveTo: sink.quadCurveTo(e.points[0], e.points[1]); break;
      case ElementType::CurveTo: sink.curveTo(e.points[0], e.points[1], e.points[2]); break;
      case ElementType::ClosePath: sink.closePath(); break;
    }
  }
}

KRBezierPath KRBezierPath::transformed(const std::function<KRPoint(KRPoint)>& map) const {
  KRBezierPath result;
  result.elements_ = elements_;
  for (auto& e : result.elements_)
    for (int i = 0; i < pointCount(e.type); ++i) e.points[static_cast<std::size_t>(i)] = map(e.points[static_cast<std::size_t>(i)]);
  return result;
}

}  // namespace orrelin
