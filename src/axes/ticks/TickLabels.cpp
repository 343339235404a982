#include "axes/ticks/TickLabels.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "axes/ticks/DecimalDigits.h"
#include "axes/ticks/TickTexts.h"

namespace orrelin {

namespace {

// The finest fraction of π that radian labels name.
constexpr long kPiParts = 24;

}  // namespace

KRNumberFormatter formatterForTicks(const std::vector<double>& ticks, double step) {
  double largest = 0;
  for (double tick : ticks)
    if (std::isfinite(tick)) largest = std::max(largest, std::fabs(tick));
  int digits = 1;
  if (largest > 0 && step > 0 && std::isfinite(step)) {
    int top = decimalExponent(largest);
    // Down to the step's leading digit, and at least every integer digit
    // (fewer digits would put whole numbers in exponent form).
    digits = std::max(top - decimalExponent(step) + 1, top + 1);
  }
  auto formatter = KRNumberFormatter::createWithSignificantDigits(std::clamp(digits, 1, 17));
  formatter.setUseUnicodeMinus(true);
  return formatter;
}

KRNumberFormatter logarithmicLabelFormatter() {
  auto formatter = KRNumberFormatter::createWithSignificantDigits(6, true);
  formatter.setFancyExponent(true);
  formatter.setUseUnicodeMinus(true);
  return formatter;
}

KRNumberFormatter formatterForGivenValues(const std::vector<double>& values) {
  auto formatter = KRNumberFormatter::formatterForList(values, 1).value_or(
      KRNumberFormatter::createWithFixedDigitsAfterDecimal(0));
  formatter.setUseUnicodeMinus(true);
  return formatter;
}

std::string degreeLabel(double degrees, const KRNumberFormatter& formatter) {
  return formatter.convertNumber(degrees) + tick_text::kDegree;
}

std::string radianLabel(double radians, const KRNumberFormatter& formatter) {
  double parts = std::round(radians / std::numbers::pi * kPiParts);
  if (!std::isfinite(parts)) return formatter.convertNumber(radians);
  if (parts == 0) return "0";
  // Exact in doubles up to 2^53 parts; beyond that the count is written as
  // a number of whole turns of π anyway.
  long long numerator = std::fabs(parts) < 9e15 ? static_cast<long long>(parts) : 0;
  if (numerator == 0) return formatter.convertNumber(parts / kPiParts) + tick_text::kPi;
  long long divisor = std::gcd(numerator, static_cast<long long>(kPiParts));
  numerator /= divisor;
  long long denominator = kPiParts / divisor;
  std::string text;
  if (numerator == -1)
    text = formatter.useUnicodeMinus() ? tick_text::kMathMinus : "-";
  else if (numerator != 1)
    text = formatter.convertNumber(static_cast<double>(numerator));
  text += tick_text::kPi;
  if (denominator > 1) text += "/" + std::to_string(denominator);
  return text;
}

}  // namespace orrelin
