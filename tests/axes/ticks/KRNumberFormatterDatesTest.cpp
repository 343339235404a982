#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "axes/ticks/KRNumberFormatter.h"
#include "platform/GregorianCalendar.h"

using namespace orrelin;

namespace {

double at(std::int64_t year, int month, int day, double hour = 0, double minute = 0, double second = 0) {
  return gregorian::timeFromComponents(year, month, day, hour, minute, second);
}

TEST(NumberFormatterDates, DatesCarryAsMuchTimeAsTheyHave) {
  const auto formatter = KRNumberFormatter::createWithSignificantDigits(6);
  struct Case {
    double time;
    const char* text;
  };
  const Case cases[] = {
      {0, "1970/1/1"},
      {1109894400, "2005/3/4"},
      {946733400, "2000/1/1 13:30"},
      {946733405, "2000/1/1 13:30:05"},
      {946733405.25, "2000/1/1 13:30:05.25"},
      {-1, "1969/12/31 23:59:59"},
      {at(2000, 1, 1, 23, 59, 59.9999), "2000/1/1 23:59:59.999"},
      {at(-44, 3, 15, 9, 5), "-44/3/15 9:05"},
      {std::nan(""), "NaN"},
      {1e17, "1e17"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatter.convertFromDate(c.time), c.text) << c.time;

  auto european = formatter;
  european.setDecimalSeparatorIsAComma(true);
  european.setUseUnicodeMinus(true);
  EXPECT_EQ(european.convertFromDate(946733405.5), "2000/1/1 13:30:05,5");
  EXPECT_EQ(european.convertFromDate(at(-44, 3, 15)), "\u221244/3/15");
}

TEST(NumberFormatterDates, SnapsToTheUnitAPointSpans) {
  const double time = at(2007, 3, 17, 8, 17, 45.3);
  struct Case {
    double secondsPerPoint;
    double down, nearest, up;
  };
  const Case cases[] = {
      {0.005, at(2007, 3, 17, 8, 17, 45.3), at(2007, 3, 17, 8, 17, 45.3), at(2007, 3, 17, 8, 17, 45.3)},
      {0.5, at(2007, 3, 17, 8, 17, 45.3), at(2007, 3, 17, 8, 17, 45.3), at(2007, 3, 17, 8, 17, 45.3)},
      {2, at(2007, 3, 17, 8, 17, 45), at(2007, 3, 17, 8, 17, 45), at(2007, 3, 17, 8, 17, 46)},
      {90, at(2007, 3, 17, 8, 17), at(2007, 3, 17, 8, 18), at(2007, 3, 17, 8, 18)},
      {4000, at(2007, 3, 17, 8), at(2007, 3, 17, 8), at(2007, 3, 17, 9)},
      {86400, at(2007, 3, 17), at(2007, 3, 17), at(2007, 3, 18)},
      {30 * 86400.0, at(2007, 3, 1), at(2007, 4, 1), at(2007, 4, 1)},
      {400 * 86400.0, at(2007, 1, 1), at(2007, 1, 1), at(2008, 1, 1)},
      {20 * 365 * 86400.0, at(2000, 1, 1), at(2010, 1, 1), at(2010, 1, 1)},
  };
  for (const auto& c : cases) {
    const double scale = 1 / c.secondsPerPoint;
    // The shift moves no calendar boundary; a reversed axis has a negative
    // scale and the same units.
    for (double signedScale : {scale, -scale}) {
      EXPECT_NEAR(KRNumberFormatter::snapDownToNiceDateValue(time, signedScale, 1e9), c.down, 1e-6) << c.secondsPerPoint;
      EXPECT_NEAR(KRNumberFormatter::snapToNiceDateValue(time, signedScale, 0), c.nearest, 1e-6) << c.secondsPerPoint;
      EXPECT_NEAR(KRNumberFormatter::snapUpToNiceDateValue(time, signedScale, -5), c.up, 1e-6) << c.secondsPerPoint;
    }
  }
  // Boundaries stay where they are; so do times and scales that give
  // nothing to snap to.
  for (double secondsPerPoint : {1.0, 3600.0, 86400.0, 1e9})
    EXPECT_EQ(KRNumberFormatter::snapUpToNiceDateValue(at(2000, 1, 1), 1 / secondsPerPoint, 0), at(2000, 1, 1));
  EXPECT_EQ(KRNumberFormatter::snapToNiceDateValue(time, 0, 0), time);
  EXPECT_EQ(KRNumberFormatter::snapToNiceDateValue(time, INFINITY, 0), time);
  EXPECT_TRUE(std::isnan(KRNumberFormatter::snapToNiceDateValue(std::nan(""), 1, 0)));
  EXPECT_EQ(KRNumberFormatter::snapDownToNiceDateValue(1e17, 1e-9, 0), 1e17);
  // Years before year 0 snap down to the earlier decade.
  EXPECT_EQ(KRNumberFormatter::snapDownToNiceDateValue(at(-5, 6, 1), 1 / (20 * 365 * 86400.0), 0), at(-10, 1, 1));
}

}  // namespace
