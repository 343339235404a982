#include "axes/ticks/DecimalDigits.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace orrelin {

namespace {

// A finite value > 0 as m × 2^q with m odd.
struct BinaryValue {
  std::uint64_t m;
  int q;
};

BinaryValue binaryValue(double value) {
  auto bits = std::bit_cast<std::uint64_t>(value);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  BinaryValue result = biased == 0 ? BinaryValue{fraction, -1074}
                                   : BinaryValue{fraction | (std::uint64_t{1} << 52), biased - 1075};
  int zeros = std::countr_zero(result.m);
  result.m >>= zeros;
  result.q += zeros;
  return result;
}

// Whether value / 10^-place lies exactly halfway between two whole numbers,
// that is value = (k + 1/2) × 10^-place. With value = m × 2^q (m odd):
// for place ≥ 0, 2 × m × 5^place × 2^(q + place) is odd exactly when
// q = -(place + 1); for place = -r < 0, 2 × m × 2^q / (5^r × 2^r) is odd
// exactly when q = r - 1 and 5^r divides m (m < 2^53 < 5^23).
bool isExactHalf(double value, int place) {
  if (value == 0) return false;
  BinaryValue v = binaryValue(value);
  if (place >= 0) return v.q == -(place + 1);
  int r = -place;
  if (r > 22 || v.q != r - 1) return false;
  std::uint64_t power = 1;
  for (int i = 0; i < r; ++i) power *= 5;
  return v.m % power == 0;
}

// Adds one unit in the last place of a digit run ('.' is skipped); true when
// the carry runs off the front (all nines).
bool incrementDigits(char* first, char* last) {
  for (char* p = last; p != first;) {
    --p;
    if (*p == '.') continue;
    if (*p != '9') {
      ++*p;
      return false;
    }
    *p = '0';
  }
  return true;
}

// Splits to_chars' scientific text "d.ddde±XX" into digits and exponent.
void readScientific(const char* text, const char* end, DecimalDigits& result) {
  const char* e = std::find(text, end, 'e');
  int length = 0;
  for (const char* p = text; p != e; ++p)
    if (*p != '.') result.digits[length++] = *p;
  result.length = length;
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
  result.exponent = exponent;
}

}  // namespace

bool DecimalDigits::isOneFollowedByZeros() const {
  if (length == 0 || digits[0] != '1') return false;
  return std::all_of(digits + 1, digits + length, [](char c) { return c == '0'; });
}

int decimalExponent(double value) {
  // Seventeen digits tell every double apart, and the double nearest below
  // a power of ten is more than half a unit of the seventeenth digit below
  // it, so this rounding never carries into the next power.
  char text[40];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 16);
  DecimalDigits digits;
  readScientific(text, written.ptr, digits);
  return digits.exponent;
}

void roundToSignificantDigits(double value, int significant, DecimalDigits& result) {
  significant = std::clamp(significant, 1, kMaximumDecimalDigits);
  char text[kMaximumDecimalDigits + 16];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, significant - 1);
  readScientific(text, written.ptr, result);
  // to_chars breaks exact halves towards an even digit; a half it rounded
  // down is redone from the exact digit after the last one kept.
  if (!isExactHalf(value, significant - 1 - result.exponent)) return;
  written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, significant);
  readScientific(text, written.ptr, result);
  result.length = significant;  // drop the final 5
  if (incrementDigits(result.digits, result.digits + result.length)) {
    result.digits[0] = '1';
    ++result.exponent;
  }
}

void appendFixedDigits(std::string& out, double value, int fractionDigits) {
  fractionDigits = std::clamp(fractionDigits, 0, 100);
  char text[kMaximumDecimalDigits + 120];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, fractionDigits);
  if (isExactHalf(value, fractionDigits)) {
    written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, fractionDigits + 1);
    char* end = written.ptr - 1;  // drop the final 5
    if (end[-1] == '.') --end;
    if (incrementDigits(text, end)) out.push_back('1');
    out.append(text, end);
    return;
  }
  out.append(text, written.ptr);
}

}  // namespace orrelin
