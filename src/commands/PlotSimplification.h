#pragma once
// Thinning a polyline in page coordinates before it is drawn. Stretches that
// lie wholly outside the visible rectangle on one side are replaced by a
// straight line on that side, which changes nothing that can be seen. Inside,
// points that lie along one line (going forward or doubling back, as dense
// noisy data does within one pixel) are replaced by that line's extremes.
// Every point left out lies within the tolerance of the line drawn, and the
// line drawn within the tolerance of the original; the first and last points
// are always kept, and the kept points are points of the input.

#include <thread>
#include <vector>

#include "platform/PageGeometry.h"

namespace orrelin {

struct PolylineSimplification {
  // The visible rectangle; points far enough outside it (see margin) are
  // thinned without a tolerance.
  KRRect visible;
  // How far outside the rectangle a line may lie and still be seen (half the
  // widest line width, at least).
  double margin = 0;
  double tolerance = 0.1;
};

// The thinning as a stream: the points are handed in one by one and the kept
// ones appended to out as they are decided, so a long line needs no copy of
// its own. Both steps together give what simplifyPolyline gives.
class PolylineOutsideFilter {
 public:
  // Each kept point is handed to keep.
  explicit PolylineOutsideFilter(const KRRect& region);
  template <typename Keep>
  void add(KRPoint p, Keep&& keep);
  template <typename Keep>
  void finish(Keep&& keep);

 private:
  unsigned code(KRPoint p) const {
    return (p.x < x0_ ? 1u : 0u) | (p.x > x1_ ? 2u : 0u) | (p.y < y0_ ? 4u : 0u) | (p.y > y1_ ? 8u : 0u);
  }
  double x0_, x1_, y0_, y1_;
  long seen_ = 0;
  unsigned kept_ = 0, pendingCode_ = 0;
  KRPoint pending_{};
};

class PolylineStripThinner {
 public:
  PolylineStripThinner(double tolerance, std::vector<KRPoint>& out);
  void add(KRPoint p);
  void finish();

 private:
  void start(KRPoint p);
  void step(KRPoint p);
  void put(KRPoint p);
  void startDirection(KRPoint p, double vx, double vy, double d);
  void finishStretch();

  std::vector<KRPoint>& out_;
  double tolerance_, half_;
  std::size_t emitted_ = 0;
  long seen_ = 0;
  KRPoint head_[2]{};
  KRPoint anchor_{}, last_{}, forwardPoint_{}, backwardPoint_{};
  bool haveDirection_ = false, haveBackward_ = false;
  double ux_ = 0, uy_ = 0, forward_ = 0, backward_ = 0, leftmost_ = 0, rightmost_ = 0;
  // The points after the anchor that lie too close to it to set a direction.
  std::vector<KRPoint> nearAnchor_;
};

class PolylineSimplifier {
 public:
  PolylineSimplifier(const PolylineSimplification& how, std::vector<KRPoint>& out)
      : outside_(how.visible.insetBy(-how.margin, -how.margin)), within_(how.tolerance, out) {}
  void add(KRPoint p) {
    outside_.add(p, [this](KRPoint kept) { within_.add(kept); });
  }
  void finish() {
    outside_.finish([this](KRPoint kept) { within_.add(kept); });
    within_.finish();
  }

 private:
  PolylineOutsideFilter outside_;
  PolylineStripThinner within_;
};

template <typename Keep>
void PolylineOutsideFilter::add(KRPoint p, Keep&& keep) {
  const unsigned next = code(p);
  if (seen_ == 0) {
    keep(p);
    kept_ = next;
  } else if (seen_ > 1 && (kept_ & pendingCode_ & next) == 0) {
    // The kept point, the pending one and this one lie beyond one side: the
    // straight line from the kept point to this one stays beyond it as well.
    keep(pending_);
    kept_ = pendingCode_;
  }
  if (seen_ > 0) {
    pending_ = p;
    pendingCode_ = next;
  }
  ++seen_;
}

template <typename Keep>
void PolylineOutsideFilter::finish(Keep&& keep) {
  if (seen_ > 1) keep(pending_);
  seen_ = 0;
}

// Appends the kept points of points[0 .. count-1] to out.
void simplifyPolyline(const KRPoint* points, long count, const PolylineSimplification& how, std::vector<KRPoint>& out);
// The two steps alone.
void simplifyPolylineOutside(const KRPoint* points, long count, const KRRect& region, std::vector<KRPoint>& out);
void simplifyPolylineWithin(const KRPoint* points, long count, double tolerance, std::vector<KRPoint>& out);

// From this many points on, a line is thinned in two halves at once.
inline constexpr long kHalvedPolylinePoints = 200000;

// Thins the line of the points pointAt(0) .. pointAt(count - 1), which a
// caller may map to the page on the way, into out. A line of halvesFrom
// points or more is thinned in two halves on two threads; the halves share
// their middle point, and as each keeps its ends, the joined line keeps
// every bound of the whole (pointAt is called from both threads).
template <typename PointAt>
void simplifyPolylineOf(long count, const PointAt& pointAt, const PolylineSimplification& how, std::vector<KRPoint>& out,
                        long halvesFrom = kHalvedPolylinePoints) {
  const auto thin = [&](long from, long to, std::vector<KRPoint>& kept) {
    PolylineSimplifier simplifier(how, kept);
    for (long i = from; i < to; ++i) simplifier.add(pointAt(i));
    simplifier.finish();
  };
  if (count < halvesFrom || count < 4) {
    thin(0, count, out);
    return;
  }
  const long middle = count / 2;
  std::vector<KRPoint> second;
  {
    std::jthread worker([&] { thin(middle, count, second); });
    thin(0, middle + 1, out);
  }
  const auto join = !second.empty() && !out.empty() && second.front() == out.back() ? second.begin() + 1 : second.begin();
  out.insert(out.end(), join, second.end());
}

}  // namespace orrelin
