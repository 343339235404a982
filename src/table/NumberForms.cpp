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

// "-"? then digits without a superfluous leading zero, then "." and at
// least one digit or nothing. Sets the count of decimals and of significant
// digits (from the first non-zero digit on) and the position of the first
// non-zero digit relative to the point (its power of ten).
struct Digits {
  int decimals = -1;
  int significant = 0;
  int leadingPower = 0;
  bool allZero = true;
  // All the digits as one integer (exact while there are at most fifteen
  // significant ones).
  std::uint64_t mantissa = 0;
};

// Every power of ten up to 1e22 is a double exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number of a text in a form: with at most fifteen significant digits
// the mantissa is exact, so one multiplication or division by an exact power
// of ten rounds correctly; other powers take the general reader.
double numberOf(std::string_view text, const Digits& digits, int power) {
  if (power >= -22 && power <= 22) {
    double value = double(digits.mantissa);
    value = power < 0 ? value / kPowersOfTen[-power] : value * kPowersOfTen[power];
    return text.front() == '-' ? -value : value;
  }
  return readDecimalNumber(text).value_or(0);
}

// Whether the eight bytes at p are all digits; if so, their number.
bool eightDigits(const char* p, std::uint64_t& value) {
  std::uint64_t chunk;
  std::memcpy(&chunk, p, 8);
  // Every byte 0x30-0x39: its high half is 3, and adding 6 keeps it so.
  if ((((chunk & 0xF0F0F0F0F0F0F0F0ull) | (((chunk + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4))) !=
      0x3333333333333333ull)
    return false;
  // Pairs, then fours, then the eight (the first digit is the lowest byte).
  chunk -= 0x3030303030303030ull;
  chunk = chunk * 10 + (chunk >> 8);
  chunk = (((chunk & 0x000000FF000000FFull) * 0x000F424000000064ull) +
           (((chunk >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >>
          32;
  value = chunk;
  return true;
}

// Reads the digits from p on into the mantissa; gives where they end.
const char* addDigits(const char* p, const char* end, std::uint64_t& mantissa) {
  std::uint64_t eight;
  while (end - p >= 8 && eightDigits(p, eight)) {
    mantissa = mantissa * 100000000u + eight;
    p += 8;
  }
  while (p < end && isDigit(*p)) mantissa = mantissa * 10 + std::uint64_t(*p++ - '0');
  return p;
}

bool readDigits(std::string_view text, std::size_t& at, Digits& digits, bool singleIntegerDigit) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  const char* integerStart = begin + at;
  const char* integerEnd = addDigits(integerStart, end, digits.mantissa);
  const std::size_t integerDigits = std::size_t(integerEnd - integerStart);
  if (integerDigits == 0) return false;
  if (integerDigits > 1 && (singleIntegerDigit || *integerStart == '0')) return false;
  const char* fractionStart = integerEnd;
  const char* fractionEnd = integerEnd;
  digits.decimals = 0;
  if (integerEnd < end && *integerEnd == '.') {
    fractionStart = integerEnd + 1;
    fractionEnd = addDigits(fractionStart, end, digits.mantissa);
    digits.decimals = int(fractionEnd - fractionStart);
    if (digits.decimals == 0) return false;
  }
  at = std::size_t((digits.decimals ? fractionEnd : integerEnd) - begin);
  // The first digit that is not 0 gives the power of ten and starts the
  // significant digits.
  const char* first = integerStart;
  while (first < integerEnd && *first == '0') ++first;
  if (first < integerEnd) {
    digits.allZero = false;
    digits.leadingPower = int(integerEnd - first) - 1;
    digits.significant = int(integerEnd - first) + digits.decimals;
    return true;
  }
  first = fractionStart;
  while (first < fractionEnd && *first == '0') ++first;
  if (first < fractionEnd) {
    digits.allZero = false;
    digits.leadingPower = -int(first - fractionStart) - 1;
    digits.significant = int(fractionEnd - first);
  }
  return true;
}

std::uint8_t fixedForm(std::string_view text, double* value) {
  std::size_t at = text.front() == '-' ? 1 : 0;
  Digits digits;
  if (!readDigits(text, at, digits, false) || at != text.size()) return kKept;
  if (digits.decimals > kMostFixedDecimals || digits.significant > kMostSignificantDigits) return kKept;
  if (!digits.allZero && digits.leadingPower < kSmallestPower) return kKept;
  if (value) *value = numberOf(text, digits, -digits.decimals);
  return std::uint8_t(kFixed + digits.decimals);
}

std::uint8_t exponentForm(std::string_view text, std::size_t mark, double* value) {
  std::size_t at = text.front() == '-' ? 1 : 0;
  Digits digits;
  if (!readDigits(text.substr(0, mark), at, digits, true) || at != mark) return kKept;
  if (digits.decimals > kMostExponentDecimals) return kKept;
  // "e", a sign, then two digits, or three without a leading zero.
  at = mark + 1;
  if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return kKept;
  const bool negative = text[at++] == '-';
  const std::size_t exponentDigits = text.size() - at;
  if (exponentDigits < 2 || exponentDigits > 3) return kKept;
  if (exponentDigits == 3 && text[at] == '0') return kKept;
  int exponent = 0;
  for (; at < text.size(); ++at) {
    if (!isDigit(text[at])) return kKept;
    exponent = exponent * 10 + (text[at] - '0');
  }
  if (negative) exponent = -exponent;
  if (digits.allZero) {
    // Zero is printed with the exponent "+00" only.
    if (exponent != 0 || negative) return kKept;
  } else if (digits.leadingPower != 0 || exponent < kSmallestPower || exponent > kLargestPower) {
    return kKept;
  }
  if (value) *value = numberOf(text, digits, exponent - digits.decimals);
  return std::uint8_t(kExponent + digits.decimals);
}

}  // namespace

namespace {

std::uint8_t formAndNumber(std::string_view text, double* value) {
  if (text.empty()) return kEmpty;
  if (text.size() >= kLongestText) return kKept;
  const std::size_t mark = text.find('e');
  return mark == std::string_view::npos ? fixedForm(text, value) : exponentForm(text, mark, value);
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
