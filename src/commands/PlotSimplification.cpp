#include "commands/PlotSimplification.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

namespace {

// Which sides of the region the point lies beyond: 1 left, 2 right, 4 below, 8 above.
unsigned outCode(KRPoint p, double x0, double x1, double y0, double y1) {
  return (p.x < x0 ? 1u : 0u) | (p.x > x1 ? 2u : 0u) | (p.y < y0 ? 4u : 0u) | (p.y > y1 ? 8u : 0u);
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
  // From an anchor, the first point farther than half the tolerance sets a
  // direction. The points after it are passed over, however they go back and
  // forth along that direction, as long as they and the anchor fit into a
  // strip of the tolerance's width along it; only the farthest forward, the
  // farthest backward and the last one passed are kept, and the next stretch
  // starts from the last. The kept points cover the passed ones along the
  // strip, and everything lies in the strip, so every point passed lies
  // within the tolerance of the line drawn and the line drawn within the
  // tolerance of the original.
  const double half = tolerance / 2;
  const auto put = [&out](KRPoint p) {
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  };
  KRPoint anchor = points[0];
  put(anchor);
  bool haveDirection = false;
  double ux = 0, uy = 0, forward = 0, backward = 0, leftmost = 0, rightmost = 0;
  long forwardAt = -1, backwardAt = -1, last = 0, anchorAt = 0;
  // The first point far enough from the anchor sets the direction; the
  // points before it, close to the anchor, start the strip.
  const auto startDirection = [&](long i, double vx, double vy, double d) {
    ux = vx / d;
    uy = vy / d;
    haveDirection = true;
    forward = d;
    forwardAt = i;
    backward = 0;
    backwardAt = -1;
    leftmost = rightmost = 0;
    for (long j = anchorAt + 1; j < i; ++j) {
      const double across = (points[j].x - anchor.x) * uy - (points[j].y - anchor.y) * ux;
      leftmost = std::min(leftmost, across);
      rightmost = std::max(rightmost, across);
    }
  };
  const auto finishStretch = [&]() {
    if (haveDirection) {
      put(points[forwardAt]);
      if (backwardAt >= 0) put(points[backwardAt]);
    }
    put(points[last]);
  };
  for (long i = 1; i < count; ++i) {
    const KRPoint p = points[i];
    double vx = p.x - anchor.x, vy = p.y - anchor.y;
    if (!haveDirection) {
      const double d = std::hypot(vx, vy);
      if (d > half) startDirection(i, vx, vy, d);
      last = i;
      continue;
    }
    const double along = vx * ux + vy * uy;
    const double across = vx * uy - vy * ux;
    if (std::max(rightmost, across) - std::min(leftmost, across) <= tolerance) {
      leftmost = std::min(leftmost, across);
      rightmost = std::max(rightmost, across);
      if (along > forward) {
        forward = along;
        forwardAt = i;
      } else if (along < backward) {
        backward = along;
        backwardAt = i;
      }
      last = i;
      continue;
    }
    // Leaves the strip: the stretch ends at the last point passed.
    finishStretch();
    anchor = points[last];
    anchorAt = last;
    haveDirection = false;
    vx = p.x - anchor.x;
    vy = p.y - anchor.y;
    const double d = std::hypot(vx, vy);
    if (d > half) startDirection(i, vx, vy, d);
    last = i;
  }
  finishStretch();
  if (out.size() == 1) out.push_back(points[count - 1]);
}

void simplifyPolyline(const KRPoint* points, long count, const PolylineSimplification& how, std::vector<KRPoint>& out) {
  std::vector<KRPoint> visiblePart;
  visiblePart.reserve(static_cast<std::size_t>(std::max(count, 0L)));
  simplifyPolylineOutside(points, count, how.visible.insetBy(-how.margin, -how.margin), visiblePart);
  simplifyPolylineWithin(visiblePart.data(), static_cast<long>(visiblePart.size()), how.tolerance, out);
}

}  // namespace orrelin
