#include "axes/ticks/KRCurrencyFormatter.h"

#include <cmath>

#include "axes/ticks/DecimalDigits.h"
#include "axes/ticks/KRNumberFormatter.h"
#include "axes/ticks/TickTexts.h"

namespace orrelin {

KRCurrencyFormatter KRCurrencyFormatter::createForCurrencyType(int currencyType) {
  return KRCurrencyFormatter(currencyType);
}

void KRCurrencyFormatter::setDrawCommaBetweenThousands(bool on) {
  commaBetweenThousands_ = on;
  if (on)
    thousandsSeparator_ = ",";
  else
    thousandsSeparator_.reset();
}

double KRCurrencyFormatter::smallestWrittenStep() const { return (drawCents_ ? 0.01 : 1) * divisor(); }

std::string KRCurrencyFormatter::convertNumber(double value) const {
  value /= divisor();
  if (value == 0) return "0";
  if (!std::isfinite(value)) return KRNumberFormatter::createWithSignificantDigits(6).convertNumber(value);

  // The amount rounded to cents or to a whole number, from the exact value.
  std::string rounded;
  appendFixedDigits(rounded, std::fabs(value), drawCents_ ? 2 : 0);
  std::size_t point = rounded.find('.');
  std::string whole = rounded.substr(0, point);

  std::string amount;
  if (currencyType_ >= kNone && currencyType_ <= kFranc) amount = tick_text::kCurrencySigns[currencyType_];
  // Groups of three digits from the right, the separator between them.
  std::size_t firstGroup = whole.size() % 3 == 0 ? 3 : whole.size() % 3;
  amount.append(whole, 0, firstGroup);
  for (std::size_t i = firstGroup; i < whole.size(); i += 3) {
    if (thousandsSeparator_) amount += *thousandsSeparator_;
    amount.append(whole, i, 3);
  }
  if (point != std::string::npos) {
    amount += fractionSeparator_.value_or(".");
    amount.append(rounded, point + 1, std::string::npos);
  }

  // An amount that rounds to nothing is not negative.
  bool negative = value < 0 && rounded.find_first_of("123456789") != std::string::npos;
  if (!negative) return amount;
  std::string text = negativeRed_ ? tick_text::kRed : "";
  if (negativeInParenthesis_)
    text += "(" + amount + ")";
  else
    text += "-" + amount;
  return text;
}

}  // namespace orrelin
