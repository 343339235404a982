#include "table/NumberForms.h"

#include <charconv>
#include <cstring>

#include "table/DecimalNumber.h"

namespace orrelin::number_forms {

namespace {

constexpr int kMostSignificantDigits = 15;
// Beyond these powers of ten a double loses digits (subnormal) or overflows.
constexpr int kSmallestPower = -307;
constexpr int kLargestPower = 307;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Every power of ten up to 1e22 is a double exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number of a text in a form: with at most fifteen significant digits
// the mantissa is exact, so one multiplication or division by an exact power
// of ten rounds correctly; other powers take the general reader.
double numberOf(const char* start, const char* stop, bool negative, std::uint64_t mantissa, int power) {
  if (power >= -22 && power <= 22) {
    double value = double(mantissa);
    value = power < 0 ? value / kPowersOfTen[-power] : value * kPowersOfTen[power];
    return negative ? -value : value;
  }
  return readDecimalNumber(std::string_view(start, std::size_t(stop - start))).value_or(0);
}

constexpr std::uint64_t kPowersOfTenInteger[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The number of eight digit values (0-9), the first in the lowest byte.
std::uint64_t eightDigitsValue(std::uint64_t chunk) {
  // Pairs, then fours, then the eight.
  chunk = chunk * 10 + (chunk >> 8);
  return (((chunk & 0x000000FF000000FFull) * 0x000F424000000064ull) +
          (((chunk >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >>
         32;
}

// Reads the digits from p on into the mantissa; gives where they end. Eight
// bytes are looked at together: the run of digits at their start is found
// and turned into its number at once. Near the end the eight bytes that end
// there are taken instead, moved down, when they lie from `lowest` on.
[[gnu::always_inline]] inline const char* addDigits(const char* p, const char* end, const char* lowest,
                                                    std::uint64_t& mantissa) {
  for (;;) {
    const std::ptrdiff_t left = end - p;
    std::uint64_t chunk;
    if (left >= 8) {
      std::memcpy(&chunk, p, 8);
    } else if (left > 0 && end - lowest >= 8) {
      // The bytes past the end come in as zeros, which are not digits.
      std::memcpy(&chunk, end - 8, 8);
      chunk >>= 8 * (8 - left);
    } else {
      break;
    }
    // A byte is a digit when its high half is 3 and adding 6 keeps it so; a
    // carry out of a byte that is not a digit reaches only the bytes after it.
    constexpr std::uint64_t kHighHalves = 0xF0F0F0F0F0F0F0F0ull, kThrees = 0x3030303030303030ull;
    const std::uint64_t notDigits =
        ((chunk & kHighHalves) ^ kThrees) | (((chunk + 0x0606060606060606ull) & kHighHalves) ^ kThrees);
    const int count = notDigits ? __builtin_ctzll(notDigits) / 8 : 8;
    if (count == 0) return p;
    // The digits moved up, the places before them zeros.
    const std::uint64_t digits = (chunk - kThrees) << (8 * (8 - count));
    mantissa = mantissa * kPowersOfTenInteger[count] + eightDigitsValue(digits);
    p += count;
    if (count < 8) return p;
  }
  while (p < end && isDigit(*p)) mantissa = mantissa * 10 + std::uint64_t(*p++ - '0');
  return p;
}

}  // namespace

// One pass from left to right that never looks past the character it stops
// at, so that a number read inside a longer text is read exactly as the same
// characters on their own.
const char* readFormAt(const char* p, const char* end, std::uint8_t& form, double* value) {
  const char* const start = p;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  // All the digits as one integer (exact while there are at most fifteen
  // significant ones; a longer run is turned away below).
  std::uint64_t mantissa = 0;
  const char* const integerStart = p;
  p = addDigits(p, end, start, mantissa);
  const long integerDigits = long(p - integerStart);
  // Digits without a superfluous leading zero.
  if (integerDigits == 0 || (integerDigits > 1 && *integerStart == '0')) return nullptr;
  const char* fractionStart = p;
  int decimals = 0;
  if (p < end && *p == '.') {
    fractionStart = ++p;
    p = addDigits(p, end, start, mantissa);
    decimals = int(p - fractionStart);
    if (decimals == 0) return nullptr;
  }
  // The first digit that is not 0 gives the power of ten and starts the
  // significant digits.
  int significant = 0, leadingPower = 0;
  bool allZero = true;
  if (*integerStart != '0') {
    allZero = false;
    leadingPower = int(integerDigits) - 1;
    significant = int(integerDigits) + decimals;
  } else {
    const char* first = fractionStart;
    while (first < p && *first == '0') ++first;
    if (first < p) {
      allZero = false;
      leadingPower = -int(first - fractionStart) - 1;
      significant = int(p - first);
    }
  }
  if (p < end && *p == 'e') {
    // One digit before the point, then "e", a sign, and two digits, or three
    // without a leading zero.
    if (integerDigits != 1 || decimals > kMostExponentDecimals) return nullptr;
    ++p;
    if (p == end || (*p != '+' && *p != '-')) return nullptr;
    const bool negativeExponent = *p++ == '-';
    const char* const exponentStart = p;
    int exponent = 0;
    for (; p < end && isDigit(*p); ++p)
      if (p - exponentStart < 3) exponent = exponent * 10 + (*p - '0');
    const long exponentDigits = long(p - exponentStart);
    if (exponentDigits < 2 || exponentDigits > 3 || (exponentDigits == 3 && *exponentStart == '0')) return nullptr;
    if (negativeExponent) exponent = -exponent;
    if (allZero) {
      // Zero is printed with the exponent "+00" only.
      if (exponent != 0 || negativeExponent) return nullptr;
    } else if (leadingPower != 0 || exponent < kSmallestPower || exponent > kLargestPower) {
      return nullptr;
    }
    if (std::size_t(p - start) >= kLongestText) return nullptr;
    if (value) *value = numberOf(start, p, negative, mantissa, exponent - decimals);
    form = std::uint8_t(kExponent + decimals);
    return p;
  }
  if (decimals > kMostFixedDecimals || significant > kMostSignificantDigits) return nullptr;
  if (!allZero && leadingPower < kSmallestPower) return nullptr;
  if (std::size_t(p - start) >= kLongestText) return nullptr;
  if (value) *value = numberOf(start, p, negative, mantissa, -decimals);
  form = std::uint8_t(kFixed + decimals);
  return p;
}

namespace {

std::uint8_t formAndNumber(std::string_view text, double* value) {
  if (text.empty()) return kEmpty;
  if (text.size() >= kLongestText) return kKept;
  const char* end = text.data() + text.size();
  std::uint8_t form = kKept;
  return readFormAt(text.data(), end, form, value) == end ? form : kKept;
}

}  // namespace

std::uint8_t formOfText(std::string_view text) { return formAndNumber(text, nullptr); }

std::uint8_t readInForm(std::string_view text, double& value) { return formAndNumber(text, &value); }

std::size_t writeInForm(std::uint8_t form, double value, char* out) {
  if (form == kEmpty) return 0;
  const bool exponent = form >= kExponent;
  const int decimals = exponent ? form - kExponent : form - kFixed;
  const auto [end, error] = std::to_chars(out, out + kLongestText, value,
                                          exponent ? std::chars_format::scientific : std::chars_format::fixed, decimals);
  return error == std::errc() ? std::size_t(end - out) : 0;
}

}  // namespace orrelin::number_forms
