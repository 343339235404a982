#pragma once
// Cubic splines through the runs of a plot: their second derivatives, the
// roots of one spline segment, the control points of the Bezier curves that
// draw them exactly, and the range the curves cover between the points.
//
// Second derivatives are kept in a plot of the same layout: the same headers
// and x values, the second derivative where the y value was. A run must be
// strictly increasing in its direction (x, or y for the YDirection forms).

#include <array>
#include <vector>

#include "commands/Plot1D.h"

namespace orrelin {

// Natural cubic spline: the second derivative is 0 at both ends of a run.
Plot1D SecondDerivativesNormalSplineXDirection(const Plot1D& plot);
// Spline whose end slopes are estimated from the data: at each end the slope
// of the parabola through the three end points (the chord slope for a run of
// two points).
Plot1D SecondDerivativesApproximateEndSlopeXDirection(const Plot1D& plot);
// The same for curves that are functions of y: the result holds y in row 0
// and d2x/dy2 in row 1.
Plot1D SecondDerivativesNormalSplineYDirection(const Plot1D& plot);
Plot1D SecondDerivativesApproximateEndSlopeYDirection(const Plot1D& plot);

// The roots in [0, 1] of the segment p(t) = a + c1 t + c2 t^2 + c3 t^3 with
// end values a, b and end second derivatives (in t) A, B. Gives how many
// (0 to 3); the roots are in increasing order, the unused entries NaN.
int FindCubicRoots(double a, double b, double A, double B, std::array<double, 3>& roots);

// The spline value on the segment from column i to i + 1 of a run at
// parameter t in [0, 1] (the abscissa runs linearly with t).
double SplineValueOnSegment(const Plot1D& plot, const Plot1D& second, long i, double t);

// The control points of the Bezier curves of the splines, in the layout of
// KRDrawingCubicBezier: per run a header column (0, n) and n points, the
// start followed by threes (control, control, end). A run of one point gives
// n = 1, of two points a straight piece with n = 2.
std::vector<double> SplineBezierControlPoints(const Plot1D& plot, const Plot1D& second);
// For functions of y (second from a YDirection form): the same curves with
// x and y in their places.
std::vector<double> SplineBezierControlPointsAlongY(const Plot1D& plot, const Plot1D& second);

// The range of the spline values between the points: y for curves along x,
// x for curves along y. Logarithmic axes: the splines were computed on the
// logarithms and the range is given back in data values.
KRBoundingRange valueRangeForSplineValuesAlongX(const Plot1D& plot, const Plot1D& second, bool xLinear, bool yLinear);
KRBoundingRange domainRangeForSplineValuesAlongY(const Plot1D& plot, const Plot1D& second, bool xLinear, bool yLinear);

}  // namespace orrelin
