#include "commands/PlotSimplification.h"

#include <algorithm>
#include <cmath>

namespace orrelin {

PolylineOutsideFilter::PolylineOutsideFilter(const KRRect& region)
    : x0_(region.minX()), x1_(region.maxX()), y0_(region.minY()), y1_(region.maxY()) {}

void simplifyPolylineOutside(const KRPoint* points, long count, const KRRect& region, std::vector<KRPoint>& out) {
  PolylineOutsideFilter filter(region);
  const auto keep = [&out](KRPoint p) { out.push_back(p); };
  for (long i = 0; i < count; ++i) filter.add(points[i], keep);
  filter.finish(keep);
}

// From an anchor, the first point farther than half the tolerance sets a
// direction. The points after it are passed over, however they go back and
// forth along that direction, as long as they and the anchor fit into a
// strip of the tolerance's width along it; only the farthest forward, the
// farthest backward and the last one passed are kept, and the next stretch
// starts from the last. The kept points cover the passed ones along the
// strip, and everything lies in the strip, so every point passed lies
// within the tolerance of the line drawn and the line drawn within the
// tolerance of the original. Lines of one or two points are kept whole.
PolylineStripThinner::PolylineStripThinner(double tolerance, std::vector<KRPoint>& out)
    : out_(out), tolerance_(tolerance), half_(tolerance / 2) {}

void PolylineStripThinner::put(KRPoint p) {
  if (emitted_ == 0 || !(out_.back() == p)) {
    out_.push_back(p);
    ++emitted_;
  }
}

void PolylineStripThinner::add(KRPoint p) {
  if (!(tolerance_ > 0)) {
    out_.push_back(p);
    return;
  }
  if (seen_ < 2) {
    head_[seen_++] = p;
    return;
  }
  if (seen_ == 2) {
    start(head_[0]);
    step(head_[1]);
  }
  ++seen_;
  step(p);
}

void PolylineStripThinner::start(KRPoint p) {
  anchor_ = last_ = p;
  put(p);
}

void PolylineStripThinner::startDirection(KRPoint p, double vx, double vy, double d) {
  ux_ = vx / d;
  uy_ = vy / d;
  haveDirection_ = true;
  forward_ = d;
  forwardPoint_ = p;
  backward_ = 0;
  haveBackward_ = false;
  leftmost_ = rightmost_ = 0;
  // The points close to the anchor start the strip.
  for (const KRPoint& q : nearAnchor_) {
    const double across = (q.x - anchor_.x) * uy_ - (q.y - anchor_.y) * ux_;
    leftmost_ = std::min(leftmost_, across);
    rightmost_ = std::max(rightmost_, across);
  }
  nearAnchor_.clear();
}

void PolylineStripThinner::finishStretch() {
  if (haveDirection_) {
    put(forwardPoint_);
    if (haveBackward_) put(backwardPoint_);
  }
  put(last_);
}

void PolylineStripThinner::step(KRPoint p) {
  double vx = p.x - anchor_.x, vy = p.y - anchor_.y;
  if (haveDirection_) {
    const double along = vx * ux_ + vy * uy_;
    const double across = vx * uy_ - vy * ux_;
    if (std::max(rightmost_, across) - std::min(leftmost_, across) <= tolerance_) {
      leftmost_ = std::min(leftmost_, across);
      rightmost_ = std::max(rightmost_, across);
      if (along > forward_) {
        forward_ = along;
        forwardPoint_ = p;
      } else if (along < backward_) {
        backward_ = along;
        backwardPoint_ = p;
        haveBackward_ = true;
      }
      last_ = p;
      return;
    }
    // Leaves the strip: the stretch ends at the last point passed.
    finishStretch();
    anchor_ = last_;
    haveDirection_ = false;
    nearAnchor_.clear();
    vx = p.x - anchor_.x;
    vy = p.y - anchor_.y;
  }
  const double d = std::hypot(vx, vy);
  if (d > half_)
    startDirection(p, vx, vy, d);
  else
    nearAnchor_.push_back(p);
  last_ = p;
}

void PolylineStripThinner::finish() {
  if (tolerance_ > 0) {
    if (seen_ <= 2) {
      out_.insert(out_.end(), head_, head_ + seen_);
    } else {
      finishStretch();
      if (emitted_ == 1) out_.push_back(last_);
    }
  }
  seen_ = 0;
  emitted_ = 0;
  haveDirection_ = false;
  nearAnchor_.clear();
}

void simplifyPolylineWithin(const KRPoint* points, long count, double tolerance, std::vector<KRPoint>& out) {
  PolylineStripThinner thinner(tolerance, out);
  for (long i = 0; i < count; ++i) thinner.add(points[i]);
  thinner.finish();
}

void simplifyPolyline(const KRPoint* points, long count, const PolylineSimplification& how, std::vector<KRPoint>& out) {
  PolylineSimplifier simplifier(how, out);
  for (long i = 0; i < count; ++i) simplifier.add(points[i]);
  simplifier.finish();
}

}  // namespace orrelin
