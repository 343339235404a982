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
                    TextCase{"negative_zero", significant(3), -0.0, "0"},
                    TextCase{"zero_fixed", fixed(3), 0.0, "0"},
                    TextCase{"zero_scientific", scientific(3), 0.0, "0"}));

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
        TextCase{"e_minus_5_unicode", significant(2, {.unicodeMinus = true}), 0.000012, "1.2e" + kMinus + "5"},
        TextCase{"e_minus_5_fancy", significant(2, {.fancy = true, .unicodeMinus = true}), 0.000012,
                 "1.2\u00D710^{" + kMinus + "5}"},
        TextCase{"one_digit_beyond_digits_is_plain", significant(3), 12345, "12345"},
        TextCase{"two_digits_beyond_digits_has_exponent", significant(3), 123456, "1.23e5"},
        TextCase{"exponent_after_five", significant(6), 123456, "123456"},
        TextCase{"above_exponent_after", significant(7), 1234567, "1.234567e6"},
        TextCase{"negative", significant(3, {.unicodeMinus = true}), -5, kMinus + "5"},
        TextCase{"negative_hyphen", significant(3), -0.25, "-0.25"},
        TextCase{"decimal_comma_plain", significant(3, {.comma = true}), 0.5, "0,5"},
        TextCase{"decimal_comma_exponent", significant(3, {.comma = true}), 1234567, "1,23e6"},
        TextCase{"largest_double", significant(3), std::numeric_limits<double>::max(), "1.8e308"},
        TextCase{"smallest_denormal", significant(3), std::numeric_limits<double>::denorm_min(), "4.94e-324"},
        TextCase{"denormal", significant(3), 1e-310, "1e-310"},
        TextCase{"seventeen_digits", significant(17), 0.1, "0.10000000000000001"},
        TextCase{"eighteen_digits", significant(18), 0.1, "0.100000000000000006"},
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
        TextCase{"just_below_half", significant(3), 1.115, "1.11"},
        TextCase{"trailing_zeros_kept", significantKeepingZeros(4), 2.5, "2.500"},
        TextCase{"trailing_zeros_kept_small", significantKeepingZeros(4), 0.001, "0.001000"},
        TextCase{"whole_number_keeping_zeros", significantKeepingZeros(5), 12345, "12345"}));

INSTANTIATE_TEST_SUITE_P(
    FixedAndScientific, NumberText,
    testing::Values(
        TextCase{"fixed_two", fixed(2), 3.14159, "3.14"},
        TextCase{"fixed_whole", fixed(2), 2, "2"},
        TextCase{"fixed_small", fixed(2), 0.05, "0.05"},
        TextCase{"fixed_leading_zeros", fixed(4), 0.0012, "0.0012"},
        TextCase{"fixed_rounds_up", fixed(2), 0.005, "0.01"},
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
        TextCase{"scientific_small", scientific(3), 0.5, "5.00e-1"},
        TextCase{"scientific_one_digit", scientific(1), 50, "5e1"},
        TextCase{"scientific_fancy_one", scientific(1, {.fancy = true}), 100, "10^{2}"}));

TEST(KRNumberFormatter, ConstructorsSetTheirDefaults) {
  auto significantDefault = KRNumberFormatter::createWithSignificantDigits(4);
  EXPECT_EQ(significantDefault.formatType(), KRNumberFormatter::kSignificantDigits);
  EXPECT_EQ(significantDefault.significantDigits(), 4);
  EXPECT_TRUE(significantDefault.removeTrailingZeros());
  EXPECT_EQ(significantDefault.exponentAfter(), 5);
  EXPECT_FALSE(significantDefault.useFancyExponent() || significantDefault.useUnicodeMinus() ||
               significantDefault.decimalSeparatorIsAComma());

  auto fixedDefault = KRNumberFormatter::createWithFixedDigitsAfterDecimal(3);
  EXPECT_EQ(fixedDefault.formatType(), KRNumberFormatter::kFixedDigits);
  EXPECT_EQ(fixedDefault.significantDigits(), 14);
  EXPECT_EQ(fixedDefault.howManyDigitsAfterDecimal(), 3);
  EXPECT_TRUE(fixedDefault.removeTrailingZeros());
  EXPECT_EQ(fixedDefault.exponentAfter(), 5);

  auto scientificDefault = KRNumberFormatter::createWithScientificNotationDigits(5);
  EXPECT_EQ(scientificDefault.formatType(), KRNumberFormatter::kScientific);
  EXPECT_EQ(scientificDefault.significantDigits(), 5);
  EXPECT_FALSE(scientificDefault.removeTrailingZeros());
  EXPECT_EQ(scientificDefault.exponentAfter(), -1);
}

TEST(KRNumberFormatter, ExponentAfterMovesThePlainLimit) {
  auto formatter = KRNumberFormatter::createWithSignificantDigits(9);
  EXPECT_EQ(formatter.convertNumber(123456789), "1.23456789e8");
  formatter.setExponentAfter(8);
  EXPECT_EQ(formatter.convertNumber(123456789), "123456789");
  formatter.setExponentAfter(-1);
  EXPECT_EQ(formatter.convertNumber(1.5), "1.5");  // exponent 0 is never written
  EXPECT_EQ(formatter.convertNumber(15), "1.5e1");
}

TEST(KRNumberFormatter, AppendingAddsToWhatIsThere) {
  std::string text = "x = ";
  KRNumberFormatter::createWithSignificantDigits(3).appendNumber(text, -0.5);
  EXPECT_EQ(text, "x = -0.5");
}

struct FittedCase {
  const char* name;
  KRNumberFormatter formatter;
  KRNumberFormatter::FormatType type;
  int digits;  // significant digits, or digits after the separator for fixed
};

void PrintTo(const FittedCase& c, std::ostream* out) { *out << c.name; }

class FittedFormatter : public testing::TestWithParam<FittedCase> {};

TEST_P(FittedFormatter, HasTheDigitsTheValuesNeed) {
  const auto& c = GetParam();
  EXPECT_EQ(c.formatter.formatType(), c.type);
  if (c.type == KRNumberFormatter::kFixedDigits)
    EXPECT_EQ(c.formatter.howManyDigitsAfterDecimal(), c.digits);
  else
    EXPECT_EQ(c.formatter.significantDigits(), c.digits);
}

INSTANTIATE_TEST_SUITE_P(
    Formatters, FittedFormatter,
    testing::Values(
        FittedCase{"whole_number", KRNumberFormatter::createBasedOn(42), KRNumberFormatter::kSignificantDigits, 13},
        FittedCase{"almost_whole", KRNumberFormatter::createBasedOn(-7 - 1e-11), KRNumberFormatter::kSignificantDigits,
                   13},
        FittedCase{"quarter", KRNumberFormatter::createBasedOn(-3.25), KRNumberFormatter::kFixedDigits, 2},
        FittedCase{"tenth", KRNumberFormatter::createBasedOn(2.1), KRNumberFormatter::kFixedDigits, 1},
        FittedCase{"rounds_to_one", KRNumberFormatter::createBasedOn(0.999999999999999), KRNumberFormatter::kFixedDigits,
                   0},
        FittedCase{"range_per_pixel", KRNumberFormatter::createBasedOnMinValue(0, 1, 100),
                   KRNumberFormatter::kFixedDigits, 2},
        // 0.004 per pixel: log10 is -2.4, rounded to -2 before the digits.
        FittedCase{"range_per_pixel_rounded", KRNumberFormatter::createBasedOnMinValue(1.4, 1, -100),
                   KRNumberFormatter::kFixedDigits, 2},
        FittedCase{"coarse_range_has_no_negative_digits", KRNumberFormatter::createBasedOnMinValue(0, 1e6, 100),
                   KRNumberFormatter::kFixedDigits, 0},
        FittedCase{"empty_range", KRNumberFormatter::createBasedOnMinValue(3, 3, 100),
                   KRNumberFormatter::kFixedDigits, 20},
        FittedCase{"list", *KRNumberFormatter::formatterForList({0.5, 2, -7.25}, 1), KRNumberFormatter::kFixedDigits, 2},
        FittedCase{"list_scaled", *KRNumberFormatter::formatterForList({0.5, 2, 7.25}, 100),
                   KRNumberFormatter::kFixedDigits, 0},
        FittedCase{"list_rounded_to_eleven_digits", *KRNumberFormatter::formatterForList({1.0 / 3}, 1),
                   KRNumberFormatter::kFixedDigits, 11},
        FittedCase{"list_large_and_small", *KRNumberFormatter::formatterForList({1.5e6, 1.5e-7}, 1),
                   KRNumberFormatter::kFixedDigits, 8}));

TEST(KRNumberFormatter, NoFormatterForAnEmptyList) {
  EXPECT_FALSE(KRNumberFormatter::formatterForList({}, 1).has_value());
}

}  // namespace
