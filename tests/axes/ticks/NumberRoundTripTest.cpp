// The number writer never writes a wrong digit: random doubles of every
// magnitude, written with 1 to 17 significant digits (and with fixed
// digits), are compared with the C library's own correctly rounded
// conversion and read back within half a unit of the last digit.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "axes/ticks/KRNumberFormatter.h"

using namespace orrelin;

namespace {

constexpr int kValuesPerDigitCount = 100000;

// Finite, nonzero doubles spread over every exponent (denormals included),
// every third one a short decimal such as 2.5e-3 or 1250, which gives
// exact halves and rounding carries.
class RandomDoubles {
 public:
  explicit RandomDoubles(std::uint64_t seed) : engine_(seed) {}
  double next() {
    if (++count_ % 3 == 0) {
      std::uniform_int_distribution<int> digits(1, 999), exponent(-30, 30);
      char text[32];
      std::snprintf(text, sizeof text, "%de%d", digits(engine_), exponent(engine_));
      return (engine_() & 1 ? -1 : 1) * std::strtod(text, nullptr);
    }
    for (;;) {
      double value = std::bit_cast<double>(engine_());
      if (std::isfinite(value) && value != 0) return value;
    }
  }

 private:
  std::mt19937_64 engine_;
  long count_ = 0;
};

int exactExponent(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.16e", std::fabs(value));
  return std::atoi(std::strchr(text, 'e') + 1);
}

// The C library rounds exact halves to even, this writer away from zero;
// both are right for such a value, so it is told apart by the tolerance
// check alone.
bool isExactHalf(double value, int significant) {
  char text[1100];
  std::snprintf(text, sizeof text, "%.*e", significant + 1100 / 2, std::fabs(value));
  std::string digits(text, std::strchr(text, 'e'));
  digits.erase(1, 1);  // the point
  if (digits[static_cast<std::size_t>(significant)] != '5') return false;
  return digits.find_first_not_of('0', static_cast<std::size_t>(significant) + 1) == std::string::npos;
}

TEST(NumberRoundTrip, EverySignificantDigitCountReadsBackWithinHalfAUnit) {
  for (int significant = 1; significant <= 17; ++significant) {
    // The plain form writes every integer digit, even beyond the count; an
    // exponent from 10^0 on keeps every number at exactly the count.
    auto formatter = KRNumberFormatter::createWithSignificantDigits(significant, false);
    auto exactCount = formatter;
    exactCount.setExponentAfter(-1);
    RandomDoubles values(static_cast<std::uint64_t>(significant));
    int failures = 0;
    for (int i = 0; i < kValuesPerDigitCount && failures < 5; ++i) {
      double value = values.next();
      std::string text = formatter.convertNumber(value);
      double back = std::strtod(text.c_str(), nullptr);
      // Half a unit of the last digit, plus the reading's own rounding.
      double unit = std::pow(10.0, exactExponent(value) - significant + 1);
      double tolerance = 0.5 * unit * (1 + 1e-12) + std::fabs(std::nextafter(back, 0.0) - back);
      bool withinHalf = std::fabs(back - value) <= tolerance;

      std::string countedText = exactCount.convertNumber(value);
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.*e", significant - 1, value);
      bool sameAsLibrary = std::strtod(countedText.c_str(), nullptr) == std::strtod(expected, nullptr) ||
                           isExactHalf(value, significant);
      if (!withinHalf || !sameAsLibrary) {
        ++failures;
        ADD_FAILURE() << significant << " digits: " << expected << " written as " << text << " and " << countedText;
      }
    }
  }
}

TEST(NumberRoundTrip, FixedDigitsMatchTheLibraryInTheirRange) {
  std::mt19937_64 engine(7);
  std::uniform_real_distribution<double> exponent(-9, 8);
  std::uniform_int_distribution<int> digitCount(0, 12);
  int failures = 0;
  for (int i = 0; i < kValuesPerDigitCount && failures < 5; ++i) {
    double value = std::pow(10.0, exponent(engine)) * (engine() & 1 ? -1 : 1);
    if (!(std::fabs(value) > 1e-9 && std::fabs(value) < 1e8)) continue;
    int digits = digitCount(engine);
    auto formatter = KRNumberFormatter::createWithFixedDigitsAfterDecimal(digits);
    double back = std::strtod(formatter.convertNumber(value).c_str(), nullptr);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.*f", digits, value);
    if (back != std::strtod(expected, nullptr)) {
      ++failures;
      ADD_FAILURE() << value << " with " << digits << " digits: " << formatter.convertNumber(value) << ", expected "
                    << expected;
    }
  }
}

}  // namespace
