#include "commands/PlotSplines.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orrelin {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Second derivatives of one strictly increasing run of n points (x, y given
// by column index). Without end slopes the spline is natural.
void secondDerivativesOfRun(const Plot1D& plot, const Plot1D::Run& run, bool estimateEndSlopes, std::vector<double>& m) {
  const long n = run.length;
  m.assign(static_cast<std::size_t>(n), 0.0);
  if (n < 3 && !(estimateEndSlopes && n == 2)) return;
  const auto X = [&](long i) { return plot.x(run.start + i); };
  const auto Y = [&](long i) { return plot.y(run.start + i); };
  std::vector<double> h(static_cast<std::size_t>(n - 1)), d(static_cast<std::size_t>(n - 1));
  for (long i = 0; i + 1 < n; ++i) {
    h[i] = X(i + 1) - X(i);
    d[i] = (Y(i + 1) - Y(i)) / h[i];
  }
  // Tridiagonal system: sub[i] m[i-1] + diag[i] m[i] + super[i] m[i+1] = rhs[i].
  std::vector<double> sub(n, 0.0), diag(n, 1.0), super(n, 0.0), rhs(n, 0.0);
  for (long i = 1; i + 1 < n; ++i) {
    sub[i] = h[i - 1];
    diag[i] = 2 * (h[i - 1] + h[i]);
    super[i] = h[i];
    rhs[i] = 6 * (d[i] - d[i - 1]);
  }
  if (estimateEndSlopes) {
    double startSlope = d[0], endSlope = d[n - 2];
    if (n >= 3) {
      startSlope = d[0] - h[0] * (d[1] - d[0]) / (h[0] + h[1]);
      endSlope = d[n - 2] + h[n - 2] * (d[n - 2] - d[n - 3]) / (h[n - 3] + h[n - 2]);
    }
    diag[0] = 2 * h[0];
    super[0] = h[0];
    rhs[0] = 6 * (d[0] - startSlope);
    sub[n - 1] = h[n - 2];
    diag[n - 1] = 2 * h[n - 2];
    rhs[n - 1] = 6 * (endSlope - d[n - 2]);
  }
  // Forward elimination and back substitution.
  for (long i = 1; i < n; ++i) {
    const double w = sub[i] / diag[i - 1];
    diag[i] -= w * super[i - 1];
    rhs[i] -= w * rhs[i - 1];
  }
  m[n - 1] = rhs[n - 1] / diag[n - 1];
  for (long i = n - 2; i >= 0; --i) m[i] = (rhs[i] - super[i] * m[i + 1]) / diag[i];
}

Plot1D secondDerivatives(const Plot1D& plot, bool estimateEndSlopes) {
  std::vector<double> columns = plot.columns();
  std::vector<double> m;
  for (const auto& run : plot.runs()) {
    secondDerivativesOfRun(plot, run, estimateEndSlopes, m);
    for (long i = 0; i < run.length; ++i) columns[2 * (run.start + i) + 1] = m[i];
  }
  return Plot1D(std::move(columns));
}

// The cubic of a segment in t: a + c1 t + c2 t^2 + c3 t^3.
struct SegmentCubic {
  double a, c1, c2, c3;
  double at(double t) const { return a + t * (c1 + t * (c2 + t * c3)); }
};

SegmentCubic segmentCubic(double a, double b, double A, double B) {
  const double c3 = (B - A) / 6, c2 = A / 2;
  return {a, b - a - c2 - c3, c2, c3};
}

SegmentCubic cubicOfSegment(const Plot1D& plot, const Plot1D& second, long i) {
  const double h = plot.x(i + 1) - plot.x(i);
  return segmentCubic(plot.y(i), plot.y(i + 1), second.y(i) * h * h, second.y(i + 1) * h * h);
}

// The range of the spline values (row 1) over every run.
KRBoundingRange splineValueRange(const Plot1D& plot, const Plot1D& second) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  const auto take = [&](double v) {
    if (!std::isfinite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  };
  for (const auto& run : plot.runs()) {
    take(plot.y(run.start));
    for (long i = run.start; i + 1 < run.start + run.length; ++i) {
      const SegmentCubic p = cubicOfSegment(plot, second, i);
      take(plot.y(i + 1));
      // Extremes inside the segment: roots of 3 c3 t^2 + 2 c2 t + c1.
      const double qa = 3 * p.c3, qb = 2 * p.c2, qc = p.c1;
      if (qa == 0) {
        if (qb != 0) {
          const double t = -qc / qb;
          if (t > 0 && t < 1) take(p.at(t));
        }
        continue;
      }
      const double disc = qb * qb - 4 * qa * qc;
      if (disc < 0) continue;
      for (double sign : {-1.0, 1.0}) {
        const double t = (-qb + sign * std::sqrt(disc)) / (2 * qa);
        if (t > 0 && t < 1) take(p.at(t));
      }
    }
  }
  return lo <= hi ? KRBoundingRange::between(lo, hi) : KRBoundingRange::invalid();
}

KRBoundingRange fromLogarithms(KRBoundingRange range, bool linear) {
  if (linear || !range.isValid()) return range;
  return KRBoundingRange::between(std::exp(range.minR), std::exp(range.maxR));
}

}  // namespace

Plot1D SecondDerivativesNormalSplineXDirection(const Plot1D& plot) { return secondDerivatives(plot, false); }
Plot1D SecondDerivativesApproximateEndSlopeXDirection(const Plot1D& plot) { return secondDerivatives(plot, true); }
Plot1D SecondDerivativesNormalSplineYDirection(const Plot1D& plot) { return secondDerivatives(swapXYInResult(plot), false); }
Plot1D SecondDerivativesApproximateEndSlopeYDirection(const Plot1D& plot) {
  return secondDerivatives(swapXYInResult(plot), true);
}

int FindCubicRoots(double a, double b, double A, double B, std::array<double, 3>& roots) {
  roots = {kNaN, kNaN, kNaN};
  const SegmentCubic p = segmentCubic(a, b, A, B);
  std::array<double, 3> found{kNaN, kNaN, kNaN};
  int count = 0;
  if (std::fabs(p.c3) <= 1e-5 * (std::fabs(a) + std::fabs(p.c1) + std::fabs(p.c2))) {
    if (std::fabs(p.c2) < 1e-5 * (std::fabs(a) + std::fabs(p.c1))) {
      found[count++] = -a / p.c1;
    } else {
      const double disc = p.c1 * p.c1 - 4 * a * p.c2;
      if (disc >= 0) {
        const double root = std::sqrt(disc);
        const double t1 = (-p.c1 - root) / (2 * p.c2), t2 = (-p.c1 + root) / (2 * p.c2);
        found[count++] = std::min(t1, t2);
        found[count++] = std::max(t1, t2);
      }
    }
  } else {
    // t^3 + r t^2 + s t + q, reduced to u^3 + P u + Q with t = u - r/3.
    const double r = p.c2 / p.c3, s = p.c1 / p.c3, q = a / p.c3;
    const double P = s - r * r / 3;
    const double Q = 2 * r * r * r / 27 - r * s / 3 + q;
    const double discriminant = Q * Q / 4 + P * P * P / 27;
    if (discriminant > 0) {
      const double root = std::sqrt(discriminant);
      found[count++] = std::cbrt(-Q / 2 + root) + std::cbrt(-Q / 2 - root) - r / 3;
    } else if (P == 0) {
      found[count++] = -r / 3;
      found[count++] = -r / 3;
      found[count++] = -r / 3;
    } else {
      const double radius = 2 * std::sqrt(-P / 3);
      const double cosine = std::clamp(3 * Q / (P * radius), -1.0, 1.0);
      const double phi = std::acos(cosine) / 3;
      for (int k = 0; k < 3; ++k) found[count++] = radius * std::cos(phi - 2 * M_PI * k / 3) - r / 3;
      std::sort(found.begin(), found.end());
    }
  }
  int kept = 0;
  for (int k = 0; k < count; ++k) {
    double t = found[k];
    if (std::fabs(t) < 1e-9) t = 0;
    if (std::fabs(t - 1) < 1e-9) t = 1;
    if (t >= 0 && t <= 1) roots[kept++] = t;
  }
  std::sort(roots.begin(), roots.begin() + kept);
  return kept;
}

double SplineValueOnSegment(const Plot1D& plot, const Plot1D& second, long i, double t) {
  return cubicOfSegment(plot, second, i).at(t);
}

std::vector<double> SplineBezierControlPoints(const Plot1D& plot, const Plot1D& second) {
  std::vector<double> out;
  out.reserve(static_cast<std::size_t>(6 * plot.numberOfColumns()));
  const auto put = [&](double x, double y) {
    out.push_back(x);
    out.push_back(y);
  };
  for (const auto& run : plot.runs()) {
    const long n = run.length;
    put(0, n <= 2 ? double(n) : double(1 + 3 * (n - 1)));
    put(plot.x(run.start), plot.y(run.start));
    if (n == 2) put(plot.x(run.start + 1), plot.y(run.start + 1));
    if (n <= 2) continue;
    for (long i = run.start; i + 1 < run.start + n; ++i) {
      const double x0 = plot.x(i), x1 = plot.x(i + 1), y0 = plot.y(i), y1 = plot.y(i + 1);
      const double h = x1 - x0, m0 = second.y(i), m1 = second.y(i + 1);
      const double slope0 = (y1 - y0) / h - h * (2 * m0 + m1) / 6;
      const double slope1 = (y1 - y0) / h + h * (m0 + 2 * m1) / 6;
      put(x0 + h / 3, y0 + h * slope0 / 3);
      put(x1 - h / 3, y1 - h * slope1 / 3);
      put(x1, y1);
    }
  }
  return out;
}

std::vector<double> SplineBezierControlPointsAlongY(const Plot1D& plot, const Plot1D& second) {
  std::vector<double> out = SplineBezierControlPoints(swapXYInResult(plot), second);
  // Headers stay (0, n); only the points exchange their coordinates.
  std::size_t at = 0;
  while (at + 1 < out.size()) {
    const long n = static_cast<long>(out[at + 1]);
    for (long k = 1; k <= n; ++k) std::swap(out[at + 2 * k], out[at + 2 * k + 1]);
    at += 2 * static_cast<std::size_t>(n + 1);
  }
  return out;
}

KRBoundingRange valueRangeForSplineValuesAlongX(const Plot1D& plot, const Plot1D& second, bool xLinear, bool yLinear) {
  (void)xLinear;
  return fromLogarithms(splineValueRange(plot, second), yLinear);
}

KRBoundingRange domainRangeForSplineValuesAlongY(const Plot1D& plot, const Plot1D& second, bool xLinear, bool yLinear) {
  (void)yLinear;
  return fromLogarithms(splineValueRange(swapXYInResult(plot), second), xLinear);
}

}  // namespace orrelin
