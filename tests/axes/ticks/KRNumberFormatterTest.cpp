#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "axes/ticks/KRNumberFormatter.h"

using namespace orrelin;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kMinus = "\u2212";

struct Options {
  bool fancy = false;
  bool unicodeMinus = false;
  bool comma = false;
};

KRNumberFormatter withOptions(KRNumberFormatter formatter, Options options) {
  formatter.setFancyExponent(options.fancy);
  formatter.setUseUnicodeMinus(options.unicodeMinus);
  formatter.setDecimalSeparatorIsAComma(options.comma);
  return formatter;
}

struct TextCase {
  const char* name;
  KRNumberFormatter formatter;
  double value;
  std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

KRNumberFormatter significant(int digits, Options options = {}) {
  return withOptions(KRNumberFormatter::createWithSignificantDigits(digits), options);
}
KRNumberFormatter significantKeepingZeros(int digits, Options options = {}) {
  return withOptions(KRNumberFormatter::createWithSignificantDigits(digits, false), options);
}
KRNumberFormatter fixed(int digits, Options options = {}) {
  return withOptions(KRNumberFormatter::createWithFixedDigitsAfterDecimal(digits), options);
}
KRNumberFormatter scientific(int digits, Options options = {}) {
  return withOptions(KRNumberFormatter::createWithScientificNotationDigits(digits), options);
}

class NumberText : public testing::TestWithParam<TextCase> {};

TEST_P(NumberText, IsWrittenAsExpected) {
  const auto& c = GetParam();
  EXPECT_EQ(c.formatter.convertNumber(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SpecialValues, NumberText,
    testing::Values(TextCase{"nan", significant(3), std::nan(""), "NaN"},
                    TextCase{"plus_infinity", significant(3), kInf, "\u221E"},
                    TextCase{"minus_infinity", significant(3), -kInf, "-\u221E"},
                    TextCase{"minus_infinity_unicode", significant(3, {.unicodeMinus = true}), -kInf, kMinus + "\u221E"},
                    TextCase{"zero", significant(3), 0.0, "0"},
                    TextCase{"negative_zero", significant(3), -0.0, "0"}));

INSTANTIATE_TEST_SUITE_P(
    ExponentChoice, NumberText,
    testing::Values(
        TextCase{"million_three_digits", significant(3), 1234567, "1.23e6"},
        TextCase{"million_fancy", significant(3, {.fancy = true}), 1234567, "1.23\u00D710^{6}"},
        TextCase{"exact_million_fancy", significant(3, {.fancy = true}), 1000000, "10^{6}"},
        TextCase{"exact_million_fancy_keeping_zeros", significantKeepingZeros(3, {.fancy = true}), 1000000,
                 "1.00\u00D710^{6}"},
        TextCase{"e_minus_4_is_plain", significant(2), 0.00012, "0.00012"},
        TextCase{"e_minus_5_has_exponent", significant(2), 0.000012, "1.2e-5"},
        TextCase{"e_minus_5_fancy", significant(2, {.fancy = true, .unicodeMinus = true}), 0.000012,
                 "1.2\u00D710^{" + kMinus + "5}"},
        TextCase{"one_digit_beyond_digits_is_plain", significant(3), 12345, "12345"},
        TextCase{"two_digits_beyond_digits_has_exponent", significant(3), 123456, "1.23e5"},
        TextCase{"above_exponent_after", significant(7), 1234567, "1.234567e6"},
        TextCase{"negative", significant(3, {.unicodeMinus = true}), -5, kMinus + "5"},
        TextCase{"decimal_comma_exponent", significant(3, {.comma = true}), 1234567, "1,23e6"},
        TextCase{"denormal", significant(3), 1e-310, "1e-310"},
        TextCase{"clamped_to_eighteen", significant(40), 0.1, "0.100000000000000006"},
        TextCase{"clamped_to_one", significant(0), 0.25, "0.3"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, NumberText,
    testing::Values(
        // A carry adds a digit in front and moves the exponent.
        TextCase{"carry_plain", significant(2), 9.96, "10"},
        TextCase{"carry_fraction", significant(2), 0.0999, "0.1"},
        TextCase{"carry_exponent", significant(2), 9.96e7, "1e8"},
        TextCase{"carry_past_integer_digits", significant(3), 99999.7, "100000"},
        TextCase{"carry_out_of_small_numbers", significant(3), 0.000099996, "1e-4"},
        // Exact halves go away from zero; values just below a half go down.
        TextCase{"half_up", significant(1), 2.5, "3"},
        TextCase{"negative_half", significant(1), -2.5, "-3"},
        TextCase{"half_in_fraction", significant(2), 0.125, "0.13"},
        TextCase{"half_in_exponent_form", significant(2), 1250000, "1.3e6"},
        TextCase{"trailing_zeros_kept", significantKeepingZeros(4), 2.5, "2.500"}));

INSTANTIATE_TEST_SUITE_P(
    FixedAndScientific, NumberText,
    testing::Values(
        TextCase{"fixed_leading_zeros", fixed(4), 0.0012, "0.0012"},
        TextCase{"fixed_half", fixed(2), 0.125, "0.13"},
        TextCase{"fixed_no_digits", fixed(0), 123456.789, "123457"},
        TextCase{"fixed_carry", fixed(1), 9.96, "10"},
        TextCase{"fixed_negative_rounding_to_zero", fixed(2), -0.001, "0"},
        TextCase{"fixed_negative", fixed(1, {.unicodeMinus = true}), -2.25, kMinus + "2.3"},
        TextCase{"fixed_comma", fixed(2, {.comma = true}), 3.5, "3,5"},
        TextCase{"fixed_large_falls_through", fixed(2), 1e8, "1e8"},
        TextCase{"fixed_large_keeps_fourteen_digits", fixed(2), 123456789.125, "1.23456789125e8"},
        TextCase{"fixed_tiny_falls_through", fixed(2), 1e-10, "1e-10"},
        TextCase{"scientific", scientific(3), 1234.5, "1.23e3"},
        TextCase{"scientific_exponent_zero", scientific(3), 1, "1.00"},
        TextCase{"scientific_one_digit", scientific(1), 50, "5e1"},
        TextCase{"scientific_fancy_one", scientific(1, {.fancy = true}), 100, "10^{2}"}));

TEST(KRNumberFormatter, ExponentAfterMovesThePlainLimit) {
  auto formatter = KRNumberFormatter::createWithSignificantDigits(9);
  EXPECT_EQ(formatter.convertNumber(123456789), "1.23456789e8");
  formatter.setExponentAfter(8);
  EXPECT_EQ(formatter.convertNumber(123456789), "123456789");
  formatter.setExponentAfter(-1);
  EXPECT_EQ(formatter.convertNumber(1.5), "1.5");  // exponent 0 is never written
  EXPECT_EQ(formatter.convertNumber(15), "1.5e1");
}

TEST(KRNumberFormatter, FittedFormattersHaveTheDigitsTheValuesNeed) {
  using F = KRNumberFormatter;
  EXPECT_EQ(F::createBasedOn(42), F::createWithSignificantDigits(13));
  EXPECT_EQ(F::createBasedOn(-3.25), F::createWithFixedDigitsAfterDecimal(2));
  EXPECT_EQ(F::createBasedOn(2.1), F::createWithFixedDigitsAfterDecimal(1));  // fraction 0.10000000000000009
  EXPECT_EQ(F::createBasedOn(0.999999999999999), F::createWithFixedDigitsAfterDecimal(0));  // rounds to "1"
  EXPECT_EQ(F::createBasedOnMinValue(0, 1, 100), F::createWithFixedDigitsAfterDecimal(2));
  // 0.004 per pixel: log10 is -2.4, rounded to -2 before the digits.
  EXPECT_EQ(F::createBasedOnMinValue(1.4, 1, -100), F::createWithFixedDigitsAfterDecimal(2));
  EXPECT_EQ(F::createBasedOnMinValue(0, 1e6, 100), F::createWithFixedDigitsAfterDecimal(0));
  EXPECT_EQ(F::createBasedOnMinValue(3, 3, 100), F::createWithFixedDigitsAfterDecimal(20));
  EXPECT_EQ(F::formatterForList({0.5, 2, -7.25}, 1), F::createWithFixedDigitsAfterDecimal(2));
  EXPECT_EQ(F::formatterForList({0.5, 2, 7.25}, 100), F::createWithFixedDigitsAfterDecimal(0));
  EXPECT_EQ(F::formatterForList({1.0 / 3}, 1), F::createWithFixedDigitsAfterDecimal(11));
  EXPECT_EQ(F::formatterForList({1.5e6, 1.5e-7}, 1), F::createWithFixedDigitsAfterDecimal(8));
  EXPECT_FALSE(F::formatterForList({}, 1).has_value());
}

}  // namespace
