#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "platform/DocumentNumbers.h"

extern "C" int __snprintf_chk(char* s, std::size_t maxlen, int flag, std::size_t slen, const char* format, ...);

using namespace orrelin;

namespace {

// glibc's own printing (vsnprintf is not replaced).
std::string glibc(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

std::string ours(double value, int precision) {
  char text[512];
  printFixed(text, sizeof text, value, precision);
  return text;
}

}  // namespace

TEST(DocumentNumbers, FixedNumbersAreTheCharactersGlibcPrints) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-1, 1);
  std::uniform_int_distribution<int> power(-12, 24);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, power(random));
    for (int precision : {0, 3, 6, 18}) ASSERT_EQ(ours(value, precision), glibc("%.*f", precision, value)) << value;
    // Any bit pattern that is a finite double, however large or small.
    double any;
    const std::uint64_t pattern = bits(random);
    std::memcpy(&any, &pattern, sizeof any);
    if (std::isfinite(any)) {
      ASSERT_EQ(ours(any, 6), glibc("%f", any)) << any;
    }
  }
  // Exact halves round to even, as printf does; signs of zero are kept.
  for (double value : {0.5, 1.5, 2.5, -0.5, -2.5, 0.125, 0.375, 1e22, 1e-7, -0.0, 0.0,
                       std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()})
    for (int precision : {0, 1, 2, 6, 18, 40}) EXPECT_EQ(ours(value, precision), glibc("%.*f", precision, value));
}

TEST(DocumentNumbers, ShortBuffersGetTheStartAndTheWholeLength) {
  char text[4] = "xyz";
  EXPECT_EQ(printFixed(text, sizeof text, -12.5, 2), 6);
  EXPECT_STREQ(text, "-12");
  EXPECT_EQ(printFixed(text, 0, 1.0, 6), 8);
  EXPECT_STREQ(text, "-12");  // nothing written into no room
}

TEST(DocumentNumbers, EveryCallerOfTheFortifiedPrintGetsGlibcsText) {
  // The formats printed here and the ones handed on must both come out as
  // glibc prints them.
  char text[128];
  const auto chk = [&](const char* format, auto... values) {
    __snprintf_chk(text, sizeof text, 1, sizeof text, format, values...);
    return std::string(text);
  };
  EXPECT_EQ(chk("%f", 3.25), glibc("%f", 3.25));
  EXPECT_EQ(chk("%.18f", 0.0123), glibc("%.18f", 0.0123));
  EXPECT_EQ(chk("%.*f", 3, 2.0 / 3), glibc("%.*f", 3, 2.0 / 3));
  EXPECT_EQ(chk("%.*f", -1, 2.0 / 3), glibc("%.*f", -1, 2.0 / 3));
  EXPECT_EQ(chk("%f", std::nan("")), glibc("%f", std::nan("")));
  EXPECT_EQ(chk("%f", -HUGE_VAL), glibc("%f", -HUGE_VAL));
  EXPECT_EQ(chk("%g", 0.1), "0.1");
  EXPECT_EQ(chk("%5.1f|%d", 2.25, 7), glibc("%5.1f|%d", 2.25, 7));
  EXPECT_EQ(chk("%s %f", "a", 1.0), "a 1.000000");
  EXPECT_EQ(chk("%.1234f", 1.0).size(), 127u);  // cut to the buffer, by glibc
}
