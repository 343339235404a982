#include "table/NumberForms.h"

#include <charconv>

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

bool readDigits(std::string_view text, std::size_t& at, Digits& digits, bool singleIntegerDigit) {
  const std::size_t integerStart = at;
  while (at < text.size() && isDigit(text[at])) ++at;
  const std::size_t integerDigits = at - integerStart;
  if (integerDigits == 0) return false;
  if (integerDigits > 1 && (singleIntegerDigit || text[integerStart] == '0')) return false;
  int position = int(integerDigits) - 1;
  const auto count = [&](char c) {
    if (c != '0' && digits.allZero) {
      digits.allZero = false;
      digits.leadingPower = position;
    }
    if (!digits.allZero) ++digits.significant;
    digits.mantissa = digits.mantissa * 10 + std::uint64_t(c - '0');
    --position;
  };
  for (std::size_t k = integerStart; k < at; ++k) count(text[k]);
  digits.decimals = 0;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fractionStart = ++at;
    while (at < text.size() && isDigit(text[at])) count(text[at++]);
    digits.decimals = int(at - fractionStart);
    if (digits.decimals == 0) return false;
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
