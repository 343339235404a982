#include "axes/ticks/KRNumberFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "axes/ticks/DecimalDigits.h"
#include "axes/ticks/TickTexts.h"

namespace orrelin {

namespace {

constexpr int kMaximumFixedDigits = 100;
// Fixed formatters made to fit values never need more places than this:
// magnitudes below 1e-9 are written with significant digits.
constexpr int kMaximumFittedFixedDigits = 20;

// Drops the zeros at the end of the fraction that starts after the
// separator at `separator`, and the separator when nothing is left after it.
void dropTrailingZeros(std::string& out, std::size_t separator) {
  std::size_t end = out.size();
  while (end > separator + 1 && out[end - 1] == '0') --end;
  if (end == separator + 1) --end;
  out.resize(end);
}

bool hasNonzeroDigit(const std::string& text, std::size_t from) {
  return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                     [](char c) { return c >= '1' && c <= '9'; });
}

}  // namespace

KRNumberFormatter::KRNumberFormatter(FormatType type, int significant, bool removeTrailingZeros, int exponentAfter)
    : formatType_(type),
      significantDigits_(std::clamp(significant, kMinimumSignificantDigits, kMaximumSignificantDigits)),
      removeTrailingZeros_(removeTrailingZeros),
      exponentAfter_(exponentAfter) {}

KRNumberFormatter KRNumberFormatter::createWithSignificantDigits(int digits, bool removeTrailingZeros) {
  return KRNumberFormatter(kSignificantDigits, digits, removeTrailingZeros, 5);
}

KRNumberFormatter KRNumberFormatter::createWithSignificantDigits(int digits) {
  return createWithSignificantDigits(digits, true);
}

KRNumberFormatter KRNumberFormatter::createWithFixedDigitsAfterDecimal(int digits) {
  KRNumberFormatter formatter(kFixedDigits, 14, true, 5);
  formatter.digitsAfterDecimal_ = std::clamp(digits, 0, kMaximumFixedDigits);
  return formatter;
}

KRNumberFormatter KRNumberFormatter::createWithScientificNotationDigits(int digits) {
  return KRNumberFormatter(kScientific, digits, false, -1);
}

KRNumberFormatter KRNumberFormatter::createBasedOn(double value) {
  double magnitude = std::fabs(value);
  double fraction = magnitude - std::floor(magnitude);
  if (!std::isfinite(fraction) || fraction < 1e-10) return createWithSignificantDigits(13);
  return createWithFixedDigitsAfterDecimal(fractionDigitsNeeded(fraction, 14));
}

KRNumberFormatter KRNumberFormatter::createBasedOnMinValue(double minValue, double maxValue, double distanceInPixels) {
  double digits = std::ceil(-std::round(std::log10(std::fabs(maxValue - minValue) / std::fabs(distanceInPixels))));
  if (std::isnan(digits)) digits = 0;
  return createWithFixedDigitsAfterDecimal(
      static_cast<int>(std::clamp(digits, 0.0, static_cast<double>(kMaximumFittedFixedDigits))));
}

std::optional<KRNumberFormatter> KRNumberFormatter::formatterForList(const std::vector<double>& values,
                                                                     double afterScaleBy) {
  if (values.empty()) return std::nullopt;
  int digits = 0;
  for (double value : values) digits = std::max(digits, fractionDigitsNeeded(std::fabs(value * afterScaleBy), 11));
  return createWithFixedDigitsAfterDecimal(digits);
}

const char* KRNumberFormatter::minusSign() const { return useUnicodeMinus_ ? tick_text::kUnicodeMinus : "-"; }

std::string KRNumberFormatter::convertNumber(double value) const {
  std::string out;
  appendNumber(out, value);
  return out;
}

void KRNumberFormatter::appendNumber(std::string& out, double value) const {
  if (std::isnan(value)) {
    out += tick_text::kNotANumber;
    return;
  }
  if (std::isinf(value)) {
    if (value < 0) out += minusSign();
    out += tick_text::kInfinity;
    return;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  std::size_t start = out.size();
  double magnitude = std::fabs(value);
  if (formatType_ == kFixedDigits && magnitude > 1e-9 && magnitude < 1e8)
    appendFixed(out, magnitude);
  else
    appendGeneral(out, magnitude, formatType_ == kFixedDigits ? 14 : significantDigits_);
  finishNumber(out, start, value < 0);
}

void KRNumberFormatter::appendFixed(std::string& out, double magnitude) const {
  std::size_t start = out.size();
  appendFixedDigits(out, magnitude, digitsAfterDecimal_);
  std::size_t separator = out.find('.', start);
  if (separator == std::string::npos) return;
  if (removeTrailingZeros_) dropTrailingZeros(out, separator);
  if (decimalComma_ && separator < out.size()) out[separator] = ',';
}

void KRNumberFormatter::appendGeneral(std::string& out, double magnitude, int significant) const {
  DecimalDigits rounded;
  roundToSignificantDigits(magnitude, significant, rounded);
  // The form is chosen by the exponent before rounding: a carry ("9.96" to
  // "10") leaves the digits "1000…", and only then can the two differ.
  int exponent = rounded.isOneFollowedByZeros() ? decimalExponent(magnitude) : rounded.exponent;
  bool exponentForm = formatType_ == kScientific || exponent - significant > 1 || exponent < -4 ||
                      exponent > exponentAfter_;
  if (!exponentForm && exponent >= significant) {
    // Every digit of the integer part is written.
    roundToSignificantDigits(magnitude, exponent + 1, rounded);
  }
  const char separatorChar = decimalComma_ ? ',' : '.';
  std::string_view digits = rounded.view();
  exponent = rounded.exponent;

  if (exponentForm) {
    std::size_t mantissa = out.size();
    out += digits[0];
    if (digits.size() > 1) {
      out += separatorChar;
      out.append(digits.substr(1));
      if (removeTrailingZeros_) dropTrailingZeros(out, mantissa + 1);
    }
    if (exponent == 0) return;
    if (!useFancyExponent_) {
      out += 'e';
    } else {
      // A mantissa of exactly 1 is left out: 10^{6} rather than 1×10^{6}.
      if (out.size() == mantissa + 1 && out[mantissa] == '1')
        out.resize(mantissa);
      else
        out += tick_text::kTimes;
      out += tick_text::kPowerOfTenOpen;
    }
    appendExponent(out, exponent);
    if (useFancyExponent_) out += tick_text::kPowerOfTenClose;
    return;
  }

  if (exponent < 0) {
    std::size_t separator = out.size() + 1;
    out += '0';
    out += separatorChar;
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits);
    if (removeTrailingZeros_) dropTrailingZeros(out, separator);
    return;
  }
  auto integerDigits = static_cast<std::size_t>(exponent) + 1;
  if (integerDigits >= digits.size()) {
    out.append(digits);
    out.append(integerDigits - digits.size(), '0');
    return;
  }
  out.append(digits.substr(0, integerDigits));
  std::size_t separator = out.size();
  out += separatorChar;
  out.append(digits.substr(integerDigits));
  if (removeTrailingZeros_) dropTrailingZeros(out, separator);
}

void KRNumberFormatter::appendExponent(std::string& out, int exponent) const {
  if (exponent < 0) out += minusSign();
  char text[8];
  auto written = std::to_chars(text, text + sizeof text, exponent < 0 ? -exponent : exponent);
  out.append(text, written.ptr);
}

void KRNumberFormatter::finishNumber(std::string& out, std::size_t start, bool negative) const {
  // A negative number that rounds to zero is written without a sign.
  if (negative && hasNonzeroDigit(out, start)) out.insert(start, minusSign());
}

int fractionDigitsNeeded(double value, int significant) {
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return 0;
  DecimalDigits rounded;
  roundToSignificantDigits(value, significant, rounded);
  int length = rounded.length;
  while (length > 1 && rounded.digits[length - 1] == '0') --length;
  return std::clamp(length - 1 - rounded.exponent, 0, kMaximumFittedFixedDigits);
}

}  // namespace orrelin
