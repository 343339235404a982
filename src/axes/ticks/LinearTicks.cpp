#include "axes/ticks/LinearTicks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace orrelin {

namespace {

constexpr double kLn10 = 2.302585092994045684;
constexpr int kLargestExponentTried = 319;
constexpr double kMostMajorIntervals = 17;
constexpr double kMostTicksBeforeWidening = 1000;
constexpr double kMostMajorTicks = 20000;
// A first or last tick this close to the end of the range (in steps) is
// kept, and a tick this close to 0 or to a whole number (in steps) is
// stored as that number.
constexpr double kEndTolerance = 0.01;
constexpr double kSnapTolerance = 0.001;
// A major step of mantissa 1 is cut into tenths only when it spans more
// than this many points.
constexpr double kTenthsNeedPoints = 60;

// The power that decides the mantissa of a distance.
double powerOfTen(int exponent) { return std::exp(exponent * kLn10); }

// The major step as mantissa × 10^exponent with mantissa 1, 2 or 5.
struct Step {
  int mantissa;
  int exponent;
  // The power itself is the double nearest to it, so that steps and ticks
  // are as round as doubles allow (0.1, not exp(-ln 10)).
  double value() const { return mantissa * exactPowerOfTen(exponent); }
  void makeCoarser() {
    if (mantissa == 1) {
      mantissa = 2;
    } else if (mantissa == 2) {
      mantissa = 5;
    } else {
      mantissa = 1;
      ++exponent;
    }
  }
};

Step stepForDistance(double distance) {
  int exponent = static_cast<int>(std::floor(std::log10(distance)));
  double mantissa = distance / powerOfTen(exponent);
  if (mantissa < 1.095) return {1, exponent};
  if (mantissa <= 2.094) return {2, exponent};
  if (mantissa <= 5.095) return {5, exponent};
  return {1, exponent + 1};
}

double firstMajorTick(double min, double step) {
  if (min > 0) {
    double k = std::ceil(min / step);
    if (std::fabs((k - 1) * step - min) < kEndTolerance * step) return (k - 1) * step;
    return k * step;
  }
  if (min == 0) return 0;
  double k = std::floor(-min / step + kEndTolerance);
  if (std::fabs((-k + 1) * step - min) < kEndTolerance * step) return (-k + 1) * step;
  return -k * step;
}

// How many pieces a major step is cut into by the minor ticks; 0 for none.
int minorSubdivisions(int mantissa, double majorPoints, double minMinor) {
  switch (mantissa) {
    case 2:
      return majorPoints / 2 >= minMinor ? 2 : 0;
    case 5:
      return majorPoints / 5 >= minMinor ? 5 : 0;
    default:
      // Tenths when the step is long enough to show them; else halves,
      // which a step of mantissa 1 always has room for.
      if (majorPoints > kTenthsNeedPoints && majorPoints / 10 >= minMinor && majorPoints / 10 >= 1) return 10;
      return 2;
  }
}

double snapped(double value, double step) {
  if (std::fabs(value) / step < kSnapTolerance) return 0;
  double whole = std::round(value);
  if (std::fabs(whole - value) / step < kSnapTolerance) return whole;
  return value;
}

}  // namespace

double exactPowerOfTen(int exponent) {
  static const auto table = [] {
    std::array<double, 632> powers{};
    for (int k = -323; k <= 308; ++k) {
      std::string text = "1e" + std::to_string(k);
      std::from_chars(text.data(), text.data() + text.size(), powers[static_cast<std::size_t>(k + 323)]);
    }
    return powers;
  }();
  if (exponent < -323) return 0;
  if (exponent > 308) return std::numeric_limits<double>::infinity();
  return table[static_cast<std::size_t>(exponent + 323)];
}

TickValues computeLinearTicks(double min, double max, double length, double minMajor, double minMinor,
                              const LinearTickRule& rule) {
  TickValues ticks;
  if (length < 0 || minMajor < 0) return ticks;
  double range = max - min;
  double distance = range / std::floor(length / minMajor);
  // A reversed range (min above max) has no ticks either.
  if (!std::isfinite(distance) || distance <= 0) return ticks;

  Step chosen = stepForDistance(distance);
  double step = chosen.value();
  while (chosen.exponent <= kLargestExponentTried && range / step > kMostMajorIntervals) {
    chosen.makeCoarser();
    step = chosen.value();
  }
  // Beyond the range of doubles (or below it) the step falls back to 1.
  if (!std::isfinite(step) || step <= 0) {
    step = 1;
    chosen.mantissa = 1;
  }
  if (step < rule.smallestStep) {
    step = rule.smallestStep;
    chosen.mantissa = 1;
  }

  double first = firstMajorTick(min, step);
  double count = std::floor((max - first) / step) + 1;
  while (count > kMostTicksBeforeWidening && std::isfinite((max - first) / step)) {
    step *= 10;
    count = std::floor((max - first) / step) + 1;
  }
  if (std::fabs(first + count * step - max) < kEndTolerance * step) count += 1;
  if (!(count > 0)) return ticks;
  count = std::min(count, kMostMajorTicks);
  auto majorCount = static_cast<long>(count);

  ticks.step = step;
  ticks.major.reserve(static_cast<std::size_t>(majorCount));
  for (long i = 0; i < majorCount; ++i) {
    // A last tick kept beyond max may lie beyond the largest double.
    double value = snapped(first + i * step, step);
    if (!std::isfinite(value)) break;
    ticks.major.push_back(value);
  }

  if (!rule.minorTicks) return ticks;
  int pieces = minorSubdivisions(chosen.mantissa, step / range * length, minMinor);
  if (pieces == 0) return ticks;
  double minorStep = step / pieces;
  if (minorStep <= 0 || minorStep < rule.smallestStep) return ticks;
  double low = min - kSnapTolerance * step;
  double high = max + kSnapTolerance * step;
  auto add = [&](double value) {
    if (value > low && value < high && std::isfinite(value)) ticks.minor.push_back(value);
  };
  for (int i = pieces - 1; i >= 1; --i) add(first - i * minorStep);
  for (long j = 0; j < majorCount; ++j)
    for (int i = 1; i < pieces; ++i) add(first + j * step + i * minorStep);
  return ticks;
}

}  // namespace orrelin
