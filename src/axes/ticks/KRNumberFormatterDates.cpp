// The date side of the number formatter: writing a time value as a date,
// and snapping a time to the calendar unit that the page can tell apart.

#include <cmath>
#include <cstdint>

#include "axes/ticks/CalendarSteps.h"
#include "axes/ticks/KRNumberFormatter.h"
#include "platform/GregorianCalendar.h"

namespace orrelin {

namespace {

using calendar_steps::Unit;

enum class Snap { Nearest, Up, Down };

void appendTwoDigits(std::string& out, std::int64_t value) {
  if (value < 10) out += '0';
  out += std::to_string(value);
}

// The starts of the units around the time: the last at or before it and
// the first at or after it.
struct Bracket {
  double below;
  double above;
};

// A time within this part of a unit of one of its starts is at that start
// (a fraction of a second is rarely exact in a double).
constexpr double kOnBoundary = 1e-3;

Bracket fixedBracket(double time, double length) {
  const double nearest = std::round(time / length) * length;
  if (std::fabs(time - nearest) <= kOnBoundary * length) return {nearest, nearest};
  const double below = std::floor(time / length) * length;
  return {below, below + length};
}

Bracket yearsBracket(double time, std::int64_t years) {
  const auto parts = gregorian::dateComponents(time);
  std::int64_t year = parts->year / years * years;
  if (year > parts->year) year -= years;
  const double below = gregorian::timeFromComponents(year, 1, 1);
  return {below, below == time ? time : gregorian::timeFromComponents(year + years, 1, 1)};
}

Bracket unitBracket(double time, Unit unit) {
  const double below = calendar_steps::startOf(unit, time);
  return {below, below == time ? time : calendar_steps::startOfNext(unit, time)};
}

// The starts of the coarsest unit whose shortest span is at most a point.
Bracket bracketFor(double time, double secondsPerPoint) {
  constexpr double kDay = gregorian::kSecondsPerDay;
  if (secondsPerPoint >= 365 * kDay) {
    std::int64_t years = 1;
    while (years < 1'000'000'000 && double(years) * 10 * 365 * kDay <= secondsPerPoint) years *= 10;
    return yearsBracket(time, years);
  }
  if (secondsPerPoint >= 28 * kDay) return unitBracket(time, Unit::Month);
  if (secondsPerPoint >= kDay) return unitBracket(time, Unit::Day);
  for (double length : {3600.0, 60.0, 1.0, 0.1, 0.01})
    if (secondsPerPoint >= length) return fixedBracket(time, length);
  return fixedBracket(time, 0.001);
}

double snapTime(double time, double scale, Snap snap) {
  if (!gregorian::dateComponents(time) || !std::isfinite(scale) || scale == 0) return time;
  const Bracket bracket = bracketFor(time, 1 / std::fabs(scale));
  if (!std::isfinite(bracket.below) || !std::isfinite(bracket.above)) return time;
  switch (snap) {
    case Snap::Down: return bracket.below;
    case Snap::Up: return bracket.above;
    case Snap::Nearest: return time - bracket.below <= bracket.above - time ? bracket.below : bracket.above;
  }
  return time;
}

}  // namespace

std::string KRNumberFormatter::convertFromDate(double time) const {
  const auto parts = gregorian::dateComponents(time);
  if (!parts) return convertNumber(time);
  std::string text;
  if (parts->year < 0) text += minusSign();
  text += std::to_string(parts->year < 0 ? -parts->year : parts->year);
  text += '/' + std::to_string(parts->month) + '/' + std::to_string(parts->day);
  // Whole milliseconds into the day; a time a hair below midnight is
  // written as that midnight's day at 23:59:59.999.
  const double intoDay = time - gregorian::startOfDay(time);
  const auto milliseconds = std::min<std::int64_t>(std::llround(intoDay * 1000), 86'399'999);
  if (milliseconds == 0) return text;
  text += ' ' + std::to_string(milliseconds / 3'600'000) + ':';
  appendTwoDigits(text, milliseconds / 60'000 % 60);
  if (milliseconds % 60'000 == 0) return text;
  text += ':';
  appendTwoDigits(text, milliseconds / 1000 % 60);
  if (const std::int64_t fraction = milliseconds % 1000; fraction != 0) {
    std::string digits = std::to_string(1000 + fraction).substr(1);
    while (digits.back() == '0') digits.pop_back();
    text += (decimalComma_ ? ',' : '.') + digits;
  }
  return text;
}

double KRNumberFormatter::snapToNiceDateValue(double time, double scale, double) {
  return snapTime(time, scale, Snap::Nearest);
}

double KRNumberFormatter::snapUpToNiceDateValue(double time, double scale, double) {
  return snapTime(time, scale, Snap::Up);
}

double KRNumberFormatter::snapDownToNiceDateValue(double time, double scale, double) {
  return snapTime(time, scale, Snap::Down);
}

}  // namespace orrelin
