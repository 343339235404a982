#include "axes/ticks/LogarithmicTicks.h"

#include <cmath>
#include <vector>

#include "axes/ticks/DecimalDigits.h"

namespace orrelin {

namespace {

// Factors of the range within which a power of ten still counts as inside.
constexpr double kLowFactor = 0.9999;
constexpr double kHighFactor = 1.001;
// Below this factor between max and min the axis is ticked like a linear one,
// with the major spacing raised and the minor spacing lowered.
constexpr double kLinearBelowFactor = 6;
constexpr double kLinearMajorSpacingFactor = 1.6;
constexpr double kLinearMinorSpacingFactor = 1.0 / 5;

// The multiples of a decade that carry minor ticks, finest first. Each set
// is used only when its closest pair of neighbours (counting the decades at
// 1 and 10) is far enough apart on the page; see minorMultiples.
const std::vector<int> kAllMultiples{2, 3, 4, 5, 6, 7, 8, 9};
const std::vector<int> kTwoThreeFive{2, 3, 5};
const std::vector<int> kTwoFive{2, 5};

// How many decades one major step spans when one decade is too short for a
// label, finest first (1, 2, 5 times a power of ten, enough for the whole
// range of doubles).
const int kDecadeSteps[] = {2, 5, 10, 20, 50, 100, 200, 500, 1000};
// How many decades apart the minor ticks of such an axis are, finest first.
const int kMinorDecadeSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500};


struct DecadeRange {
  int first;  // exponents of the lowest and highest powers of ten inside
  int last;
  bool empty() const { return first > last; }
};

DecadeRange decadesInside(double min, double max) {
  int first = decimalExponent(min);
  if (!insideLogarithmicRange(exactPowerOfTen(first), min, max)) ++first;
  int last = decimalExponent(max) + 1;
  if (!insideLogarithmicRange(exactPowerOfTen(last), min, max)) --last;
  return {first, last};
}


bool divides(int step, int exponent) { return exponent % step == 0; }

// The 2 … 9 multiples that keep the minor ticks apart, for a decade of
// `decadePoints` points: all of them when the closest pair, 9 and 10, is
// more than minMinor apart; else 2, 3 and 5 when log10(2) × P reaches twice
// minMinor (their closest pair, 2 and 3, is then more than minMinor apart);
// else 2 and 5 when log10(2) × P, the distance of each from its neighbours
// 1, 5 and 10, reaches minMinor; else none.
const std::vector<int>* minorMultiples(double decadePoints, double minMinor) {
  if (std::log10(10.0 / 9) * decadePoints > minMinor) return &kAllMultiples;
  if (std::log10(2.0) * decadePoints >= 2 * minMinor) return &kTwoThreeFive;
  if (std::log10(2.0) * decadePoints >= minMinor) return &kTwoFive;
  return nullptr;
}

LogarithmicTicks linearRegime(double min, double max, double length, double minMajor, double minMinor) {
  return {computeLinearTicks(min, max, length, minMajor * kLinearMajorSpacingFactor,
                             minMinor * kLinearMinorSpacingFactor),
          false};
}

LogarithmicTicks everyDecade(const DecadeRange& decades, double min, double max, double decadePoints,
                             double minMinor) {
  LogarithmicTicks result;
  result.powersOfTen = true;
  for (int k = decades.first; k <= decades.last; ++k) result.ticks.major.push_back(exactPowerOfTen(k));
  result.ticks.step = 10;
  const std::vector<int>* multiples = minorMultiples(decadePoints, minMinor);
  if (!multiples) return result;
  for (int k = decimalExponent(min); k <= decimalExponent(max); ++k) {
    for (int multiple : *multiples) {
      double value = multiple * exactPowerOfTen(k);
      if (insideLogarithmicRange(value, min, max)) result.ticks.minor.push_back(value);
    }
  }
  return result;
}

LogarithmicTicks severalDecades(const DecadeRange& decades, double decadePoints, double minMajor, double minMinor) {
  LogarithmicTicks result;
  result.powersOfTen = true;
  int step = 0;
  for (int candidate : kDecadeSteps) {
    if (candidate * decadePoints >= minMajor) {
      step = candidate;
      break;
    }
  }
  if (step == 0) return {};
  int minorStep = 0;
  for (int candidate : kMinorDecadeSteps) {
    if (candidate < step && step % candidate == 0 && candidate * decadePoints >= minMinor) {
      minorStep = candidate;
      break;
    }
  }
  // When no multiple of the step lies inside, the lowest decade inside
  // carries the one label rather than leaving the axis without numbers.
  bool anyMultiple = false;
  for (int k = decades.first; k <= decades.last && !anyMultiple; ++k) anyMultiple = divides(step, k);
  for (int k = decades.first; k <= decades.last; ++k) {
    bool major = anyMultiple ? divides(step, k) : k == decades.first;
    if (major)
      result.ticks.major.push_back(exactPowerOfTen(k));
    else if (minorStep != 0 && divides(minorStep, k))
      result.ticks.minor.push_back(exactPowerOfTen(k));
  }
  result.ticks.step = exactPowerOfTen(step);
  return result;
}

}  // namespace

bool insideLogarithmicRange(double value, double min, double max) {
  return value >= min * kLowFactor && value <= max * kHighFactor && std::isfinite(value);
}

LogarithmicTicks computeLogarithmicTicks(double min, double max, double length, double minMajor, double minMinor) {
  if (!(min > 0) || !(max > min) || !std::isfinite(max) || !(length >= 0) || !(minMajor >= 0)) return {};
  // log10(max) - log10(min) rather than log10(max / min), which overflows
  // for the widest ranges.
  double decadePoints = length / (std::log10(max) - std::log10(min));
  if (!(decadePoints > 0) || !std::isfinite(decadePoints)) return {};
  DecadeRange decades = decadesInside(min, max);
  if (decadePoints >= minMajor && max < kLinearBelowFactor * min) return linearRegime(min, max, length, minMajor, minMinor);
  // Without a power of ten inside the range there is nothing to label with
  // decades; the axis is ticked like a linear one.
  if (decades.empty()) return linearRegime(min, max, length, minMajor, minMinor);
  if (decadePoints >= minMajor) return everyDecade(decades, min, max, decadePoints, minMinor);
  return severalDecades(decades, decadePoints, minMajor, minMinor);
}

}  // namespace orrelin
