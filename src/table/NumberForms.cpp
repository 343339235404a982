#include "table/NumberForms.h"

#include <charconv>

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
};

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

std::uint8_t fixedForm(std::string_view text) {
  std::size_t at = text.front() == '-' ? 1 : 0;
  Digits digits;
  if (!readDigits(text, at, digits, false) || at != text.size()) return kKept;
  if (digits.decimals > kMostFixedDecimals || digits.significant > kMostSignificantDigits) return kKept;
  if (!digits.allZero && digits.leadingPower < kSmallestPower) return kKept;
  return std::uint8_t(kFixed + digits.decimals);
}

std::uint8_t exponentForm(std::string_view text, std::size_t mark) {
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
  return std::uint8_t(kExponent + digits.decimals);
}

}  // namespace

std::uint8_t formOfText(std::string_view text) {
  if (text.empty()) return kEmpty;
  if (text.size() >= kLongestText) return kKept;
  const std::size_t mark = text.find('e');
  return mark == std::string_view::npos ? fixedForm(text) : exponentForm(text, mark);
}

std::size_t writeInForm(std::uint8_t form, double value, char* out) {
  if (form == kEmpty) return 0;
  const bool exponent = form >= kExponent;
  const int decimals = exponent ? form - kExponent : form - kFixed;
  const auto [end, error] = std::to_chars(out, out + kLongestText, value,
                                          exponent ? std::chars_format::scientific : std::chars_format::fixed, decimals);
  return error == std::errc() ? std::size_t(end - out) : 0;
}

}  // namespace orrelin::number_forms
