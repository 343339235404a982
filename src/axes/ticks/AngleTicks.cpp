#include "axes/ticks/AngleTicks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace orrelin {

namespace {

constexpr double kMostMajorIntervals = 17;
constexpr double kEndTolerance = 0.01;
constexpr double kInsideTolerance = 0.001;

// A major step in units of the axis (degrees, or multiples of π) and the
// ways it may be cut by minor ticks, finest first.
struct AngleStep {
  double size;
  std::vector<int> subdivisions;
};

const std::vector<AngleStep> kDegreeSteps{
    {5, {5}},           // 1°
    {15, {3}},          // 5°
    {30, {6, 3, 2}},    // 5°, 10°, 15°
    {45, {9, 3}},       // 5°, 15°
    {90, {6, 3, 2}},    // 15°, 30°, 45°
    {180, {6, 4, 2}},   // 30°, 45°, 90°
    {360, {8, 4, 2}},   // 45°, 90°, 180°
};

const std::vector<AngleStep> kRadianSteps{
    {1.0 / 8, {2}},        // π/16
    {1.0 / 4, {4, 2}},     // π/16, π/8
    {1.0 / 3, {4, 2}},     // π/12, π/6
    {1.0 / 2, {4, 2}},     // π/8, π/4
    {1, {8, 4, 2}},        // π/8, π/4, π/2
    {2, {8, 4, 2}},        // π/4, π/2, π
};

// Past the table, whole turns (360° or 2π) times 2, 5, 10, 20 …, cut like
// the decimal steps of a linear axis.
AngleStep largeStep(double turn, int index) {
  static const int kMantissas[] = {2, 5, 10};
  int mantissa = kMantissas[index % 3];
  double size = turn * mantissa * std::pow(10.0, index / 3);
  if (mantissa == 2) return {size, {4, 2}};
  if (mantissa == 5) return {size, {5}};
  return {size, {10, 2}};
}

}  // namespace

AngleTicks computeAngleTicks(double min, double max, double length, double minMajor, double minMinor, AngleUnit unit) {
  AngleTicks result{computeLinearTicks(min, max, length, minMajor, minMinor), false};
  double unitSize = unit == AngleUnit::Degrees ? 1 : std::numbers::pi;
  const auto& table = unit == AngleUnit::Degrees ? kDegreeSteps : kRadianSteps;
  if (result.ticks.step == 0 || result.ticks.step < table.front().size * unitSize) return result;

  double range = max - min;
  double pointsPerUnit = length / range;
  // The finest step whose page spacing reaches minMajor, with at most 17
  // intervals on the axis.
  auto fits = [&](const AngleStep& step) {
    double size = step.size * unitSize;
    return size * pointsPerUnit >= minMajor && range / size <= kMostMajorIntervals;
  };
  AngleStep chosen{0, {}};
  for (const auto& step : table) {
    if (fits(step)) {
      chosen = step;
      break;
    }
  }
  double turn = table.back().size;
  for (int index = 0; chosen.size == 0; ++index) {
    AngleStep step = largeStep(turn, index);
    if (!std::isfinite(step.size * unitSize)) return {};
    if (fits(step)) chosen = step;
  }

  TickValues ticks;
  double size = chosen.size * unitSize;
  ticks.step = size;
  double first = std::ceil(min / size - kEndTolerance);
  // At most 17 intervals: the count is small even where the multiples
  // themselves are too large to count up to one by one.
  double intervals = std::floor(max / size + kEndTolerance) - first;
  auto count = static_cast<long>(std::clamp(intervals + 1, 0.0, kMostMajorIntervals + 2));
  for (long i = 0; i < count; ++i) {
    // A last tick kept beyond max may lie beyond the largest double.
    double value = (first + i) * size;
    if (std::isfinite(value)) ticks.major.push_back(value);
  }

  int pieces = 0;
  for (int candidate : chosen.subdivisions) {
    if (size / candidate * pointsPerUnit >= minMinor) {
      pieces = candidate;
      break;
    }
  }
  if (pieces > 0) {
    double minorSize = size / pieces;
    double low = min - kInsideTolerance * size;
    double high = max + kInsideTolerance * size;
    for (long k = -1; k < count; ++k) {
      for (int i = 1; i < pieces; ++i) {
        double value = ((first + k) * pieces + i) * minorSize;
        if (value > low && value < high && std::isfinite(value)) ticks.minor.push_back(value);
      }
    }
  }
  return {ticks, true};
}

}  // namespace orrelin
