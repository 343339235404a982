#pragma once
// Reading a decimal number written in full (an optional "-", digits with at
// most one point, an optional exponent) and nothing else. Numbers of up to
// fifteen digits whose power of ten is small, the bulk of every data file,
// are worked out with one exact multiplication or division, which rounds
// correctly; the others go to std::from_chars. Both give the correctly
// rounded double, so the result does not depend on the way taken.

#include <optional>
#include <string_view>

namespace orrelin {

// None for anything that is not such a number, and for numbers beyond the
// range of a double.
std::optional<double> readDecimalNumber(std::string_view text);

// The same for the number that starts at p and ends at the first character
// that cannot go on it (or at end): gives where it ends, with its value,
// or null when no such number starts there.
const char* readDecimalNumberAt(const char* p, const char* end, double& value);

}  // namespace orrelin
