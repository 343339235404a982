#include "platform/GregorianCalendar.h"

#include <cmath>
#include <algorithm>

namespace orrelin::gregorian {

namespace {

std::int64_t floorDivide(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
std::int64_t floorModulo(std::int64_t a, std::int64_t b) { return a - floorDivide(a, b) * b; }

// More months than this lead far past kLargestTime; they are refused before
// the arithmetic could overflow.
constexpr std::int64_t kLargestMonthStep = 12'000'000'000;

bool takesTime(double time) { return std::isfinite(time) && std::fabs(time) <= kLargestTime; }

// The day number and the seconds into that day.
std::int64_t dayOf(double time, double& secondsIntoDay) {
  const double day = std::floor(time / kSecondsPerDay);
  secondsIntoDay = time - day * kSecondsPerDay;
  // Rounding can leave a hair's breadth below 0 or at a full day.
  if (secondsIntoDay < 0) secondsIntoDay = 0;
  if (secondsIntoDay >= kSecondsPerDay) secondsIntoDay = std::nextafter(kSecondsPerDay, 0.0);
  return std::int64_t(day);
}

}  // namespace

bool isLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(std::int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Counted in eras of 400 years (146097 days) from 1 March of year 0, so
// that the leap day falls at the end of the counting year.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year += floorDivide(month - 1, 12);
  month = floorModulo(month - 1, 12) + 1;
  if (month <= 2) --year;
  const std::int64_t era = floorDivide(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = floorDivide(days, 146097);
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 is March
  CivilDate date;
  date.day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  date.month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
  return date;
}

std::optional<DateComponents> dateComponents(double time) {
  if (!takesTime(time)) return std::nullopt;
  double seconds = 0;
  const std::int64_t day = dayOf(time, seconds);
  const CivilDate date = civilFromDays(day);
  DateComponents parts;
  parts.year = date.year;
  parts.month = date.month;
  parts.day = date.day;
  parts.hour = int(seconds / 3600);
  parts.minute = int((seconds - parts.hour * 3600.0) / 60);
  parts.second = seconds - parts.hour * 3600.0 - parts.minute * 60.0;
  // 1970-01-01 was a Thursday.
  parts.weekday = int(floorModulo(day + 4, 7)) + 1;
  return parts;
}

double timeFromComponents(std::int64_t year, std::int64_t month, std::int64_t day, double hour, double minute,
                          double second) {
  return double(daysFromCivil(year, month, day)) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

double startOfDay(double time) {
  if (!takesTime(time)) return std::nan("");
  return std::floor(time / kSecondsPerDay) * kSecondsPerDay;
}

double startOfMonth(double time) {
  const auto parts = dateComponents(time);
  return parts ? timeFromComponents(parts->year, parts->month, 1) : std::nan("");
}

double startOfYear(double time) {
  const auto parts = dateComponents(time);
  return parts ? timeFromComponents(parts->year, 1, 1) : std::nan("");
}

double addingMonths(double time, std::int64_t months) {
  const auto parts = dateComponents(time);
  if (!parts || months > kLargestMonthStep || months < -kLargestMonthStep) return std::nan("");
  const std::int64_t monthIndex = parts->month - 1 + months;
  const std::int64_t year = parts->year + floorDivide(monthIndex, 12);
  const int month = int(floorModulo(monthIndex, 12)) + 1;
  const int day = std::min(parts->day, daysInMonth(year, month));
  return timeFromComponents(year, month, day) + (time - startOfDay(time));
}

double addingYears(double time, std::int64_t years) {
  if (years > kLargestMonthStep / 12 || years < -kLargestMonthStep / 12) return std::nan("");
  return addingMonths(time, years * 12);
}

int weekday(double time) {
  const auto parts = dateComponents(time);
  return parts ? parts->weekday : 0;
}

}  // namespace orrelin::gregorian
