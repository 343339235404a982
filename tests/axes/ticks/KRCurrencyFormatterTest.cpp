#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "axes/ticks/KRCurrencyFormatter.h"

using namespace orrelin;

namespace {

struct MoneyCase {
  const char* name;
  int type;
  std::function<void(KRCurrencyFormatter&)> configure;
  double value;
  std::string expected;
};

void PrintTo(const MoneyCase& c, std::ostream* out) { *out << c.name; }

class MoneyText : public testing::TestWithParam<MoneyCase> {};

TEST_P(MoneyText, IsWrittenAsExpected) {
  const auto& c = GetParam();
  auto formatter = KRCurrencyFormatter::createForCurrencyType(c.type);
  if (c.configure) c.configure(formatter);
  EXPECT_EQ(formatter.convertNumber(c.value), c.expected);
}

const auto kThousandsComma = [](KRCurrencyFormatter& f) { f.setThousandsSeparator(","); };
const auto kParentheses = [](KRCurrencyFormatter& f) { f.setNegativeInParenthesis(true); };

INSTANTIATE_TEST_SUITE_P(
    Amounts, MoneyText,
    testing::Values(
        MoneyCase{"euro_with_thousands", 2, kThousandsComma, 1234.5, "\u20AC1,234.50"},
        MoneyCase{"negative_in_parentheses", 1, kParentheses, -3, "($3.00)"},
        MoneyCase{"negative_with_hyphen", 1, nullptr, -3, "-$3.00"},
        MoneyCase{"negative_red_in_parentheses", 1,
                  [](KRCurrencyFormatter& f) {
                    f.setNegativeInParenthesis(true);
                    f.setNegativeRed(true);
                  },
                  -3, "\\red($3.00)"},
        MoneyCase{"positive_is_never_red", 1, [](KRCurrencyFormatter& f) { f.setNegativeRed(true); }, 3, "$3.00"},
        MoneyCase{"zero", 1, nullptr, 0, "0"},
        MoneyCase{"negative_rounding_to_nothing", 1, nullptr, -0.001, "$0.00"},
        MoneyCase{"groups_padded", 1, kThousandsComma, 1001, "$1,001.00"},
        MoneyCase{"rounding_carries_into_a_group", 1, kThousandsComma, 999.999, "$1,000.00"},
        MoneyCase{"without_cents_half_goes_up", 1, [](KRCurrencyFormatter& f) { f.setDrawCents(false); }, 1234.5,
                  "$1235"},
        MoneyCase{"unit_of_thousands", 1,
                  [](KRCurrencyFormatter& f) {
                    f.setUnit(1000);
                    f.setDrawCommaBetweenThousands(true);
                  },
                  1234567, "$1,234.57"},
        MoneyCase{"european_separators", 2,
                  [](KRCurrencyFormatter& f) {
                    f.setThousandsSeparator(".");
                    f.setFractionSeparator(",");
                  },
                  1234567.891, "\u20AC1.234.567,89"},
        MoneyCase{"not_a_number", 1, nullptr, std::nan(""), "NaN"},
        MoneyCase{"huge_amount_keeps_every_digit", 1, kThousandsComma, 1e20, "$100,000,000,000,000,000,000.00"}));

TEST(KRCurrencyFormatter, SignsByType) {
  const char* signs[] = {"", "$", "\u20AC", "\u00A3", "\u00A5", "\u20A3", "", ""};
  for (int type = 0; type < 8; ++type)
    EXPECT_EQ(KRCurrencyFormatter::createForCurrencyType(type == 7 ? -1 : type).convertNumber(0.05),
              std::string(signs[type]) + "0.05");
}

}  // namespace
