#include <gtest/gtest.h>

#include <cmath>

#include "platform/GregorianCalendar.h"

using namespace orrelin;
using namespace orrelin::gregorian;

namespace {

struct KnownDay {
  std::int64_t year;
  int month, day;
  std::int64_t days;
};

TEST(GregorianCalendar, KnownDaysCountFrom1970) {
  const KnownDay known[] = {
      {1970, 1, 1, 0},         {1969, 12, 31, -1},     {2000, 3, 1, 11017},    {2000, 2, 29, 11016},
      {2038, 1, 19, 24855},    {1900, 3, 1, -25508},   {1600, 2, 29, -135081}, {1, 1, 1, -719162},
      {0, 3, 1, -719468},      {-1, 12, 31, -719529},  {2005, 3, 4, 12846},    {9999, 12, 31, 2932896},
  };
  for (const auto& k : known) {
    EXPECT_EQ(daysFromCivil(k.year, k.month, k.day), k.days) << k.year << "-" << k.month << "-" << k.day;
    EXPECT_EQ(civilFromDays(k.days), (CivilDate{k.year, k.month, k.day})) << k.days;
  }
}

TEST(GregorianCalendar, EveryDayFollowsTheOneBefore) {
  // Walks day by day over some 1100 years around 1970, checking the next
  // day against the month lengths and the leap rule.
  CivilDate date = civilFromDays(-200000);
  for (std::int64_t days = -200000; days <= 200000; ++days) {
    const CivilDate now = civilFromDays(days);
    ASSERT_EQ(now, date) << days;
    ASSERT_EQ(daysFromCivil(now.year, now.month, now.day), days);
    if (++date.day > daysInMonth(date.year, date.month)) {
      date.day = 1;
      if (++date.month > 12) {
        date.month = 1;
        ++date.year;
      }
    }
  }
}

TEST(GregorianCalendar, LeapYearsAndMonthCarries) {
  EXPECT_TRUE(isLeapYear(2000));
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_TRUE(isLeapYear(2004));
  EXPECT_TRUE(isLeapYear(0));
  EXPECT_TRUE(isLeapYear(-4));
  EXPECT_EQ(daysInMonth(2100, 2), 28);
  EXPECT_EQ(daysInMonth(2000, 13), 0);
  // Months and days beyond their range carry on.
  EXPECT_EQ(daysFromCivil(2004, 13, 1), daysFromCivil(2005, 1, 1));
  EXPECT_EQ(daysFromCivil(2005, 0, 1), daysFromCivil(2004, 12, 1));
  EXPECT_EQ(daysFromCivil(2005, -11, 1), daysFromCivil(2004, 1, 1));
  EXPECT_EQ(daysFromCivil(2005, 2, 29), daysFromCivil(2005, 3, 1));
  EXPECT_EQ(daysFromCivil(2005, 1, 0), daysFromCivil(2004, 12, 31));
}

TEST(GregorianCalendar, ComponentsOfTimeValues) {
  struct Case {
    double time;
    std::int64_t year;
    int month, day, hour, minute;
    double second;
    int weekday;
  };
  const Case cases[] = {
      {0, 1970, 1, 1, 0, 0, 0, 5},                       // a Thursday
      {1109894400, 2005, 3, 4, 0, 0, 0, 6},              // a Friday
      {-1, 1969, 12, 31, 23, 59, 59, 4},                 // before 1970
      {-0.25, 1969, 12, 31, 23, 59, 59.75, 4},           // fractions count back too
      {2147483648, 2038, 1, 19, 3, 14, 8, 3},            // past 32-bit seconds
      {951782400 + 43200.5, 2000, 2, 29, 12, 0, 0.5, 3}, // a leap day
      {-62135596800, 1, 1, 1, 0, 0, 0, 2},               // the first day of year 1, a Monday
  };
  for (const auto& c : cases) {
    const auto parts = dateComponents(c.time);
    ASSERT_TRUE(parts) << c.time;
    EXPECT_EQ(parts->year, c.year) << c.time;
    EXPECT_EQ(parts->month, c.month) << c.time;
    EXPECT_EQ(parts->day, c.day) << c.time;
    EXPECT_EQ(parts->hour, c.hour) << c.time;
    EXPECT_EQ(parts->minute, c.minute) << c.time;
    EXPECT_DOUBLE_EQ(parts->second, c.second) << c.time;
    EXPECT_EQ(parts->weekday, c.weekday) << c.time;
    EXPECT_EQ(weekday(c.time), c.weekday) << c.time;
    EXPECT_DOUBLE_EQ(timeFromComponents(c.year, c.month, c.day, c.hour, c.minute, c.second), c.time);
  }
  for (double outside : {std::nan(""), HUGE_VAL, -HUGE_VAL, 2 * kLargestTime}) {
    EXPECT_FALSE(dateComponents(outside));
    EXPECT_TRUE(std::isnan(startOfMonth(outside)));
    EXPECT_TRUE(std::isnan(addingMonths(outside, 1)));
    EXPECT_EQ(weekday(outside), 0);
  }
}

TEST(GregorianCalendar, StartsOfDaysMonthsAndYears) {
  const double moment = timeFromComponents(1969, 7, 20, 20, 17, 40);
  EXPECT_EQ(startOfDay(moment), timeFromComponents(1969, 7, 20));
  EXPECT_EQ(startOfMonth(moment), timeFromComponents(1969, 7, 1));
  EXPECT_EQ(startOfYear(moment), timeFromComponents(1969, 1, 1));
  EXPECT_EQ(startOfDay(timeFromComponents(2001, 1, 1)), timeFromComponents(2001, 1, 1));
}

TEST(GregorianCalendar, AddingMonthsKeepsTheTimeOfDayAndClampsTheDay) {
  const double endOfJanuary = timeFromComponents(2004, 1, 31, 6, 30);
  EXPECT_EQ(addingMonths(endOfJanuary, 1), timeFromComponents(2004, 2, 29, 6, 30));
  EXPECT_EQ(addingMonths(endOfJanuary, 13), timeFromComponents(2005, 2, 28, 6, 30));
  EXPECT_EQ(addingMonths(endOfJanuary, -2), timeFromComponents(2003, 11, 30, 6, 30));
  EXPECT_EQ(addingMonths(endOfJanuary, -25), timeFromComponents(2001, 12, 31, 6, 30));
  EXPECT_EQ(addingMonths(endOfJanuary, 0), endOfJanuary);
  EXPECT_EQ(addingYears(timeFromComponents(2004, 2, 29), 1), timeFromComponents(2005, 2, 28));
  EXPECT_EQ(addingYears(timeFromComponents(2004, 2, 29), -4), timeFromComponents(2000, 2, 29));
  EXPECT_TRUE(std::isnan(addingYears(0, std::int64_t(1) << 62)));
}

}  // namespace
