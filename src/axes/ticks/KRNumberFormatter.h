#pragma once
// Writes numbers for tick labels, legends and table cells in one of three
// styles: a number of significant digits, a number of digits after the
// decimal separator, or scientific notation. Options: the Unicode minus
// sign, a decimal comma, and exponents as typeset powers of ten ("1.5×10^{6}"
// in math text) instead of "e".
//
// A formatter is a small value; copies are independent.

#include <optional>
#include <string>
#include <vector>

namespace orrelin {

class KRNumberFormatter {
 public:
  enum FormatType { kSignificantDigits = 0, kFixedDigits = 1, kScientific = 2 };

  static constexpr int kMinimumSignificantDigits = 1;
  static constexpr int kMaximumSignificantDigits = 18;

  // Significant digits (clamped to 1 … 18), numbers up to 10^5 without an
  // exponent; the short form removes trailing zeros.
  static KRNumberFormatter createWithSignificantDigits(int digits, bool removeTrailingZeros);
  static KRNumberFormatter createWithSignificantDigits(int digits);
  // A fixed number of digits after the separator for magnitudes between 1e-9
  // and 1e8, 14 significant digits for the others; trailing zeros removed.
  static KRNumberFormatter createWithFixedDigitsAfterDecimal(int digits);
  // Always an exponent; trailing zeros kept.
  static KRNumberFormatter createWithScientificNotationDigits(int digits);

  // Just enough digits to write the value: 13 significant digits for a
  // whole number, else as many fixed digits as its fraction needs.
  static KRNumberFormatter createBasedOn(double value);
  // Fixed digits fine enough to tell apart two values one pixel apart on a
  // scale that spans the range over the given distance.
  static KRNumberFormatter createBasedOnMinValue(double minValue, double maxValue, double distanceInPixels);
  // Fixed digits enough for every value of the list once multiplied by the
  // scale; none for an empty list.
  static std::optional<KRNumberFormatter> formatterForList(const std::vector<double>& values, double afterScaleBy);

  std::string convertNumber(double value) const;
  // The same text appended to out (no allocation when out has room).
  void appendNumber(std::string& out, double value) const;

  FormatType formatType() const { return formatType_; }
  int significantDigits() const { return significantDigits_; }
  bool removeTrailingZeros() const { return removeTrailingZeros_; }
  bool useFancyExponent() const { return useFancyExponent_; }
  bool useUnicodeMinus() const { return useUnicodeMinus_; }
  int howManyDigitsAfterDecimal() const { return digitsAfterDecimal_; }
  int exponentAfter() const { return exponentAfter_; }
  bool decimalSeparatorIsAComma() const { return decimalComma_; }

  void setExponentAfter(int exponent) { exponentAfter_ = exponent; }
  void setFancyExponent(bool on) { useFancyExponent_ = on; }
  void setUseUnicodeMinus(bool on) { useUnicodeMinus_ = on; }
  void setDecimalSeparatorIsAComma(bool on) { decimalComma_ = on; }

  // Dates. A time value (seconds since 1970 GMT) written as a date with as
  // much of the time as it has: "2007/3/1" at midnight, "2007/3/1 8:05" on
  // a whole minute, "2007/3/1 8:05:30" on a whole second, and the fraction
  // of the second after that ("8:05:30.25"). Values the calendar does not
  // take are written as numbers.
  std::string convertFromDate(double time) const;
  // The calendar value nearest to the time (at, above, below it) among the
  // starts of the coarsest unit that spans no more than a point on the
  // page: 1, 0.1, 0.01 or 0.001 seconds, a second, minute, hour, day,
  // month, year, or 10, 100, … years. `scale` is points per second of the
  // axis (page = (time + shift) × scale); the shift moves no calendar
  // boundary, so only the scale decides. A time the calendar does not take,
  // or a scale of 0 or not finite, comes back unchanged.
  static double snapToNiceDateValue(double time, double scale, double shift);
  static double snapUpToNiceDateValue(double time, double scale, double shift);
  static double snapDownToNiceDateValue(double time, double scale, double shift);

  // The minus sign this formatter writes.
  const char* minusSign() const;

  bool operator==(const KRNumberFormatter&) const = default;

 private:
  KRNumberFormatter(FormatType type, int significant, bool removeTrailingZeros, int exponentAfter);

  void appendFixed(std::string& out, double magnitude) const;
  void appendGeneral(std::string& out, double magnitude, int significant) const;
  void appendExponent(std::string& out, int exponent) const;
  void finishNumber(std::string& out, std::size_t start, bool negative) const;

  FormatType formatType_;
  int significantDigits_;
  bool removeTrailingZeros_;
  bool useFancyExponent_ = false;
  bool useUnicodeMinus_ = false;
  int digitsAfterDecimal_ = 0;
  int exponentAfter_;
  bool decimalComma_ = false;
};

// How many digits after the decimal point a number needs when written
// plainly with the given significant digits, trailing zeros dropped
// (0.25 → 2, 1.5e6 → 0, 1.5e-7 → 8). Capped at 20: fixed formatters write
// smaller magnitudes with significant digits anyway.
int fractionDigitsNeeded(double value, int significant);

}  // namespace orrelin
