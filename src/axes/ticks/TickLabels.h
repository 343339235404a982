#pragma once
// How the automatic axes write their labels: the formatter each kind uses,
// and the math-text forms of angles.

#include <string>
#include <vector>

#include "axes/ticks/KRNumberFormatter.h"

namespace orrelin {

// Significant digits enough to write every tick of a row with the given
// step without losing the step's digit, trailing zeros removed, with the
// Unicode minus.
KRNumberFormatter formatterForTicks(const std::vector<double>& ticks, double step);

// Logarithmic axes: 6 significant digits, trailing zeros removed, typeset
// exponents and the Unicode minus.
KRNumberFormatter logarithmicLabelFormatter();

// Labels of user-given values: as many fixed digits as the values need,
// with the Unicode minus; none for an empty list.
KRNumberFormatter formatterForGivenValues(const std::vector<double>& values);

// "45\degree": the number and the degree sign of math text.
std::string degreeLabel(double degrees, const KRNumberFormatter& formatter);

// A multiple of π/24 written as math text: "0", "\pi", "-\pi" (or
// "\minus\pi" with the Unicode minus), "\pi/2", "3\pi/4", "-2\pi" … The
// multiple is reduced, so the denominators are 2, 3, 4, 6, 8, 12 and 24.
std::string radianLabel(double radians, const KRNumberFormatter& formatter);

}  // namespace orrelin
