#include "commands/PlotSimplification.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

namespace {

// Which sides of the region the point lies beyond: 1 left, 2 right, 4 below, 8 above.
unsigned outCode(KRPoint p, double x0, double x1, double y0, double y1) {
  return (p.x < x0 ? 1u : 0u) | (p.x > x1 ? 2u : 0u) | (p.y < y0 ? 4u : 0u) | (p.y > y1 ? 8u : 0u);
}

double normalizedAngle(double angle) {
  while (angle > M_PI) angle -= 2 * M_PI;
  while (angle <= -M_PI) angle += 2 * M_PI;
  return angle;
}

}  // namespace

void simplifyPolylineOutside(const KRPoint* points, long count, const KRRect& region, std::vector<KRPoint>& out) {
  if (count <= 2) {
    out.insert(out.end(), points, points + std::max(count, 0L));
    return;
  }
  const double x0 = region.minX(), x1 = region.maxX(), y0 = region.minY(), y1 = region.maxY();
  out.push_back(points[0]);
  unsigned kept = outCode(points[0], x0, x1, y0, y1);
  unsigned current = outCode(points[1], x0, x1, y0, y1);
  for (long i = 1; i + 1 < count; ++i) {
    const unsigned next = outCode(points[i + 1], x0, x1, y0, y1);
    // The kept point, this one and the next lie beyond one side: the straight
    // line from the kept point to the next stays beyond it as well.
    if ((kept & current & next) == 0) {
      out.push_back(points[i]);
      kept = current;
    }
    current = next;
  }
  out.push_back(points[count - 1]);
}

void simplifyPolylineWithin(const KRPoint* points, long count, double tolerance, std::vector<KRPoint>& out) {
  if (count <= 2 || !(tolerance > 0)) {
    out.insert(out.end(), points, points + std::max(count, 0L));
    return;
  }
  // From an anchor, the line may go on to a point as long as every point
  // passed on the way lies within the tolerance of that line and not beyond
  // its end. The directions that pass within the tolerance of all the points
  // so far form a cone [lo, hi] around the first one's direction (ref).
  KRPoint anchor = points[0];
  out.push_back(anchor);
  bool haveCone = false;
  double ref = 0, lo = 0, hi = 0, farthest = 0;
  for (long i = 1; i < count; ++i) {
    const KRPoint p = points[i];
    double dx = p.x - anchor.x, dy = p.y - anchor.y, d = std::hypot(dx, dy);
    bool fits = d >= farthest;
    if (fits && haveCone) {
      const double angle = normalizedAngle(std::atan2(dy, dx) - ref);
      fits = angle >= lo && angle <= hi;
    }
    if (!fits) {
      anchor = points[i - 1];
      out.push_back(anchor);
      haveCone = false;
      farthest = 0;
      dx = p.x - anchor.x;
      dy = p.y - anchor.y;
      d = std::hypot(dx, dy);
    }
    if (d > tolerance) {
      const double half = std::asin(tolerance / d);
      const double direction = std::atan2(dy, dx);
      if (!haveCone) {
        ref = direction;
        lo = -half;
        hi = half;
        haveCone = true;
      } else {
        const double angle = normalizedAngle(direction - ref);
        lo = std::max(lo, angle - half);
        hi = std::min(hi, angle + half);
      }
      farthest = std::max(farthest, d);
    }
  }
  if (!(out.back() == points[count - 1]) || out.size() == 1) out.push_back(points[count - 1]);
}

void simplifyPolyline(const KRPoint* points, long count, const PolylineSimplification& how, std::vector<KRPoint>& out) {
  std::vector<KRPoint> visiblePart;
  visiblePart.reserve(static_cast<std::size_t>(std::max(count, 0L)));
  simplifyPolylineOutside(points, count, how.visible.insetBy(-how.margin, -how.margin), visiblePart);
  simplifyPolylineWithin(visiblePart.data(), static_cast<long>(visiblePart.size()), how.tolerance, out);
}

}  // namespace orrelin
