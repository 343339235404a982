#include "platform/PageGeometry.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

namespace {

bool finite(double v) { return std::isfinite(v); }

}  // namespace

KRRect KRRect::unionWith(const KRRect& other) const {
  if (other.isNull()) return isNull() ? KRRect{} : *this;
  if (isNull()) return other;
  double x0 = std::min(minX(), other.minX()), y0 = std::min(minY(), other.minY());
  double x1 = std::max(maxX(), other.maxX()), y1 = std::max(maxY(), other.maxY());
  return {x0, y0, x1 - x0, y1 - y0};
}

KRRect KRRect::intersection(const KRRect& other) const {
  double x0 = std::max(minX(), other.minX()), y0 = std::max(minY(), other.minY());
  double x1 = std::min(maxX(), other.maxX()), y1 = std::min(maxY(), other.maxY());
  if (!(x1 > x0 && y1 > y0)) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

KRRect KRRect::enclosing(const KRPoint* points, std::size_t count) {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (std::size_t i = 0; i < count; ++i) {
    const KRPoint& p = points[i];
    if (!finite(p.x) || !finite(p.y)) continue;
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  if (x0 > x1) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

KRAffineTransform KRAffineTransform::rotation(double angle) {
  double c = std::cos(angle), s = std::sin(angle);
  return {c, s, -s, c, 0, 0};
}

KRAffineTransform KRAffineTransform::then(const KRAffineTransform& n) const {
  return {a * n.a + b * n.c,          a * n.b + b * n.d,          c * n.a + d * n.c,
          c * n.b + d * n.d,          tx * n.a + ty * n.c + n.tx, tx * n.b + ty * n.d + n.ty};
}

KRRect KRAffineTransform::applyToRect(const KRRect& r) const {
  KRPoint corners[4] = {apply({r.minX(), r.minY()}), apply({r.maxX(), r.minY()}), apply({r.minX(), r.maxY()}),
                        apply({r.maxX(), r.maxY()})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const auto& p : corners) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return {x0, y0, x1 - x0, y1 - y0};
}

bool KRAffineTransform::isInvertible() const {
  double det = determinant();
  return finite(a) && finite(b) && finite(c) && finite(d) && finite(tx) && finite(ty) && finite(det) &&
         std::fabs(det) > 1e-300;
}

KRAffineTransform KRAffineTransform::inverted() const {
  double det = determinant();
  return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

}  // namespace orrelin
