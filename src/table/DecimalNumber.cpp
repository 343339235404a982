#include "table/DecimalNumber.h"

#include <charconv>
#include <cstdint>

namespace orrelin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Every power of ten up to 1e22 is a double exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Integers up to 2^53 are doubles exactly.
constexpr std::uint64_t kExactIntegers = std::uint64_t(1) << 53;

}  // namespace

const char* readDecimalNumberAt(const char* p, const char* end, double& value) {
  const char* const start = p;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  // The digits of both parts go into one integer; wrapping past 19 digits
  // does no harm, as such numbers take the other way.
  std::uint64_t mantissa = 0;
  const char* integerStart = p;
  for (; p < end && isDigit(*p); ++p) mantissa = mantissa * 10 + std::uint64_t(*p - '0');
  long digits = long(p - integerStart), fractionDigits = 0;
  if (p < end && *p == '.') {
    const char* fractionStart = ++p;
    for (; p < end && isDigit(*p); ++p) mantissa = mantissa * 10 + std::uint64_t(*p - '0');
    fractionDigits = long(p - fractionStart);
    digits += fractionDigits;
  }
  if (digits == 0) return nullptr;
  int exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negativeExponent = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    if (p == end || !isDigit(*p)) return nullptr;
    for (; p < end && isDigit(*p); ++p)
      if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
  }
  const long power = exponent - fractionDigits;
  if (digits <= 19 && mantissa <= kExactIntegers && power >= -22 && power <= 22) {
    const double magnitude = power < 0 ? double(mantissa) / kPowersOfTen[-power] : double(mantissa) * kPowersOfTen[power];
    value = negative ? -magnitude : magnitude;
    return p;
  }
  const auto [stop, error] = std::from_chars(start, p, value);
  return error == std::errc() && stop == p ? p : nullptr;
}

std::optional<double> readDecimalNumber(std::string_view text) {
  const char* end = text.data() + text.size();
  double value = 0;
  if (readDecimalNumberAt(text.data(), end, value) != end) return std::nullopt;
  return value;
}

}  // namespace orrelin
