#pragma once
// Calendar arithmetic on time values: seconds since 1970-01-01 00:00:00 GMT
// on the Gregorian calendar, carried back before 1582 as if it had always
// been in use. Everything here is in GMT; no local time zone enters, so the
// same time value always has the same date.

#include <cstdint>
#include <optional>

namespace orrelin::gregorian {

inline constexpr double kSecondsPerDay = 86400;

// Time values whose calendar date this works out; far beyond any date a
// table holds (about 300 million years either way), and small enough that
// day numbers stay exact.
inline constexpr double kLargestTime = 1e16;

bool isLeapYear(std::int64_t year);
// 28 to 31; 0 for a month outside 1 ... 12.
int daysInMonth(std::int64_t year, int month);

// Days from 1970-01-01 to the date. A month outside 1 ... 12 carries into
// the year (month 13 is January of the next year, month 0 December of the
// one before), and days count on past the month's end, so the arithmetic
// below can add freely.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);

struct CivilDate {
  std::int64_t year = 1970;
  int month = 1;  // 1 ... 12
  int day = 1;    // 1 ... 31
  bool operator==(const CivilDate&) const = default;
};
CivilDate civilFromDays(std::int64_t days);

// The calendar parts of a time value.
struct DateComponents {
  std::int64_t year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  double second = 0;  // 0 <= second < 60, with the fraction
  int weekday = 5;    // 1 Sunday ... 7 Saturday
};
// None for a time that is not finite or lies beyond kLargestTime.
std::optional<DateComponents> dateComponents(double time);

double timeFromComponents(std::int64_t year, std::int64_t month, std::int64_t day, double hour = 0, double minute = 0,
                          double second = 0);

// Midnight of the day, the first of the month, 1 January of the year. NaN
// for a time dateComponents does not take.
double startOfDay(double time);
double startOfMonth(double time);
double startOfYear(double time);
// The same time of day so many months or years later (earlier when
// negative); a day the target month lacks becomes its last day (31 January
// plus one month is 28 or 29 February).
double addingMonths(double time, std::int64_t months);
double addingYears(double time, std::int64_t years);
// 1 Sunday ... 7 Saturday; 0 for a time dateComponents does not take.
int weekday(double time);

}  // namespace orrelin::gregorian
