#pragma once
// Exact decimal digits of a double. The digits are those of the double's
// exact binary value rounded at the requested place, so a text never holds
// a wrong digit; a value exactly halfway goes away from zero (2.5 written
// with one digit is 3, 0.125 with two is 0.13), as a reader rounds by hand.

#include <string>
#include <string_view>

namespace orrelin {

// Room for every digit a double can need in either form below.
inline constexpr int kMaximumDecimalDigits = 400;

struct DecimalDigits {
  char digits[kMaximumDecimalDigits + 2];  // no leading zero, not terminated
  int length = 0;
  int exponent = 0;  // decimal exponent of the first digit: value = d.ddd × 10^exponent

  std::string_view view() const { return {digits, static_cast<std::size_t>(length)}; }
  // "1", "10", "100" ...: the only digit strings a rounding carry can give.
  bool isOneFollowedByZeros() const;
};

// floor(log10(value)) of a finite value > 0, exactly (no rounding of the
// logarithm near powers of ten).
int decimalExponent(double value);

// A finite value > 0 rounded to `significant` digits (1 to
// kMaximumDecimalDigits). A carry into an extra digit ("9.96" to two digits)
// raises the exponent and keeps the digit count ("1.0", exponent + 1).
void roundToSignificantDigits(double value, int significant, DecimalDigits& result);

// A finite value ≥ 0 rounded to `fractionDigits` places after the point
// (0 to 100), written with "." and no sign: "0.050", "12", "100000000.5".
void appendFixedDigits(std::string& out, double value, int fractionDigits);

}  // namespace orrelin
