#include "commands/Plot1D.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "commands/PlotTexts.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

Plot1D Plot1D::fromRuns(const std::vector<std::vector<KRPoint>>& runs) {
  Plot1D plot;
  for (const auto& run : runs) plot.addRun(run.data(), static_cast<long>(run.size()));
  return plot;
}

void Plot1D::beginRun() {
  endRun();
  openHeader_ = numberOfColumns();
  data_.push_back(0);
  data_.push_back(0);
}

void Plot1D::addPoint(double x, double y) {
  if (openHeader_ < 0) beginRun();
  data_.push_back(x);
  data_.push_back(y);
  data_[2 * openHeader_ + 1] += 1;
}

void Plot1D::endRun() {
  if (openHeader_ < 0) return;
  if (data_[2 * openHeader_ + 1] == 0) data_.resize(2 * openHeader_);
  openHeader_ = -1;
}

void Plot1D::addRun(const KRPoint* points, long count) {
  if (count <= 0) return;
  beginRun();
  for (long i = 0; i < count; ++i) addPoint(points[i]);
  endRun();
}

std::optional<std::string> Plot1D::formatError() const {
  const long n = numberOfColumns();
  if (n == 0) return plottext::kNoLoops;
  long at = 0;
  while (at < n) {
    const double length = y(at);
    if (!std::isfinite(length) || length != std::floor(length)) return plottext::kLengthNotInteger;
    if (length <= 0) return plottext::kLengthNotPositive;
    if (length > double(n - at - 1)) return plottext::kLoopTooLong;
    const long k = static_cast<long>(length);
    for (long i = at + 1; i <= at + k; ++i)
      if (!std::isfinite(x(i))) return plottext::kXNotFinite;
    at += k + 1;
  }
  return std::nullopt;
}

std::vector<Plot1D::Run> Plot1D::runs() const {
  std::vector<Run> result;
  const long n = numberOfColumns();
  long at = 0;
  while (at < n) {
    const double length = y(at);
    if (!(length >= 1) || length > double(n - at - 1)) break;
    const long k = static_cast<long>(length);
    result.push_back({at + 1, k});
    at += k + 1;
  }
  return result;
}

Plot1D Plot1D::logTransformed(bool logX, bool logY) const {
  Plot1D result = *this;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto lg = [nan](double v) { return v > 0 ? std::log(v) : nan; };
  for (const Run& run : runs())
    for (long i = run.start; i < run.start + run.length; ++i) {
      if (logX) result.data_[2 * i] = lg(x(i));
      if (logY) result.data_[2 * i + 1] = lg(y(i));
    }
  return result;
}

Plot1D Plot1D::expTransformed(bool expX, bool expY) const {
  Plot1D result = *this;
  for (const Run& run : runs())
    for (long i = run.start; i < run.start + run.length; ++i) {
      if (expX) result.data_[2 * i] = std::exp(x(i));
      if (expY) result.data_[2 * i + 1] = std::exp(y(i));
    }
  return result;
}

Plot1D swapXYInResult(const Plot1D& plot) {
  std::vector<double> columns = plot.columns();
  for (const Plot1D::Run& run : plot.runs())
    for (long i = run.start; i < run.start + run.length; ++i) std::swap(columns[2 * i], columns[2 * i + 1]);
  return Plot1D(std::move(columns));
}

bool Plot1DIsUsable(const Plot1D& plot) {
  const auto error = plot.formatError();
  if (error) KRMessageCenter::addMessage(*error);
  return !error;
}

long HowManySegments(const Plot1D& plot) { return static_cast<long>(plot.runs().size()); }

long HowManyPoints(const Plot1D& plot) {
  long total = 0;
  for (const auto& run : plot.runs()) total += run.length;
  return total;
}

namespace {

template <class Compare>
bool everyRunOrdered(const Plot1D& plot, Compare ordered) {
  for (const auto& run : plot.runs())
    for (long i = run.start + 1; i < run.start + run.length; ++i)
      if (!ordered(plot.x(i - 1), plot.x(i))) return false;
  return true;
}

KRBoundingRange rangeOf(const Plot1D& plot, bool ofY) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (const auto& run : plot.runs())
    for (long i = run.start; i < run.start + run.length; ++i) {
      const double v = ofY ? plot.y(i) : plot.x(i);
      if (!std::isfinite(v)) continue;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  return lo <= hi ? KRBoundingRange::between(lo, hi) : KRBoundingRange::invalid();
}

}  // namespace

bool IncreasingPoints(const Plot1D& plot) {
  return everyRunOrdered(plot, [](double a, double b) { return a <= b; });
}

bool StrictlyIncreasingPoints(const Plot1D& plot) {
  return everyRunOrdered(plot, [](double a, double b) { return a < b; });
}

KRBoundingRange DomainRangeOfPlot(const Plot1D& plot) { return rangeOf(plot, false); }
KRBoundingRange ValueRangeOfPlot(const Plot1D& plot) { return rangeOf(plot, true); }

Plot1D splitPlotIntoIncreasingComponents(const Plot1D& plot) {
  Plot1D result;
  result.reserveColumns(static_cast<std::size_t>(plot.numberOfColumns()));
  std::vector<KRPoint> piece;
  // Emits the piece in increasing order.
  const auto emit = [&](bool decreasing) {
    if (piece.size() >= 2) {
      if (decreasing) std::reverse(piece.begin(), piece.end());
      result.addRun(piece.data(), static_cast<long>(piece.size()));
    }
  };
  for (const auto& run : plot.runs()) {
    if (run.length <= 2) {
      result.beginRun();
      for (long i = run.start; i < run.start + run.length; ++i) result.addPoint(plot.point(i));
      result.endRun();
      continue;
    }
    // The run without repeated points.
    std::vector<KRPoint> points;
    points.reserve(static_cast<std::size_t>(run.length));
    for (long i = run.start; i < run.start + run.length; ++i) {
      const KRPoint p = plot.point(i);
      if (points.empty() || !(points.back() == p)) points.push_back(p);
    }
    if (points.size() == 1) {
      result.addRun(points.data(), 1);
      continue;
    }
    piece.assign(1, points[0]);
    int direction = 0;  // +1 increasing, -1 decreasing, 0 not known yet
    for (std::size_t i = 1; i < points.size(); ++i) {
      const KRPoint previous = points[i - 1], p = points[i];
      if (p.x == previous.x) {
        // A vertical step: its own piece of two points.
        emit(direction < 0);
        result.addRun(std::vector<KRPoint>{previous, p}.data(), 2);
        piece.assign(1, p);
        direction = 0;
        continue;
      }
      const int step = p.x > previous.x ? 1 : -1;
      if (direction != 0 && step != direction) {
        emit(direction < 0);
        piece.assign(1, previous);
      }
      direction = step;
      piece.push_back(p);
    }
    emit(direction < 0);
  }
  return result;
}

Plot1D splitPlotIntoIncreasingValueComponents(const Plot1D& plot) {
  return swapXYInResult(splitPlotIntoIncreasingComponents(swapXYInResult(plot)));
}

}  // namespace orrelin
