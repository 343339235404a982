#pragma once
// Writes money amounts: a currency sign, the whole part in groups of three
// digits, cents after a fraction separator, and negative amounts with a
// minus sign or in parentheses, optionally in red (math text "\red").
//
// A formatter is a small value; copies are independent.

#include <optional>
#include <string>

namespace orrelin {

class KRCurrencyFormatter {
 public:
  enum CurrencyType { kNone = 0, kDollar = 1, kEuro = 2, kPound = 3, kYen = 4, kFranc = 5 };

  // Cents on, no thousands separator, "." before the cents, unit 1. A type
  // outside 0 … 5 writes no sign.
  static KRCurrencyFormatter createForCurrencyType(int currencyType);

  std::string convertNumber(double value) const;

  int currencyType() const { return currencyType_; }
  bool drawCents() const { return drawCents_; }
  bool commaBetweenThousands() const { return commaBetweenThousands_; }
  const std::optional<std::string>& thousandsSeparator() const { return thousandsSeparator_; }
  const std::optional<std::string>& fractionSeparator() const { return fractionSeparator_; }
  bool negativeInParenthesis() const { return negativeInParenthesis_; }
  bool negativeRed() const { return negativeRed_; }
  double unit() const { return unit_; }

  void setDrawCents(bool on) { drawCents_ = on; }
  // Values are divided by the unit before they are written (1000: amounts
  // in thousands); 0 and 1 leave them alone.
  void setUnit(double unit) { unit_ = unit; }
  void setNegativeInParenthesis(bool on) { negativeInParenthesis_ = on; }
  void setNegativeRed(bool on) { negativeRed_ = on; }
  // On: "," between groups of three digits; off: no separator.
  void setDrawCommaBetweenThousands(bool on);
  void setThousandsSeparator(std::optional<std::string> separator) { thousandsSeparator_ = std::move(separator); }
  // None: ".".
  void setFractionSeparator(std::optional<std::string> separator) { fractionSeparator_ = std::move(separator); }

  // The smallest difference between two amounts that the texts show, in
  // the units of the values: a cent or a whole amount, times the unit.
  double smallestWrittenStep() const;

  bool operator==(const KRCurrencyFormatter&) const = default;

 private:
  explicit KRCurrencyFormatter(int currencyType) : currencyType_(currencyType) {}
  double divisor() const { return unit_ == 0 || unit_ == 1 ? 1 : unit_; }

  int currencyType_;
  bool drawCents_ = true;
  bool commaBetweenThousands_ = false;
  std::optional<std::string> thousandsSeparator_;
  std::optional<std::string> fractionSeparator_;
  bool negativeInParenthesis_ = false;
  bool negativeRed_ = false;
  double unit_ = 1;
};

}  // namespace orrelin
