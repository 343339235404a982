#pragma once
// Thinning a polyline in page coordinates before it is drawn. Stretches that
// lie wholly outside the visible rectangle on one side are replaced by a
// straight line on that side, which changes nothing that can be seen. Inside,
// points that lie along one line (going forward or doubling back, as dense
// noisy data does within one pixel) are replaced by that line's extremes.
// Every point left out lies within the tolerance of the line drawn, and the
// line drawn within the tolerance of the original; the first and last points
// are always kept, and the kept points are points of the input.

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

// Appends the kept points of points[0 .. count-1] to out.
void simplifyPolyline(const KRPoint* points, long count, const PolylineSimplification& how, std::vector<KRPoint>& out);
// The two steps alone.
void simplifyPolylineOutside(const KRPoint* points, long count, const KRRect& region, std::vector<KRPoint>& out);
void simplifyPolylineWithin(const KRPoint* points, long count, double tolerance, std::vector<KRPoint>& out);

}  // namespace orrelin
