#include "axes/ticks/CalendarSteps.h"

#include <algorithm>
#include <cmath>

#include "platform/GregorianCalendar.h"

namespace orrelin::calendar_steps {

namespace {

constexpr double kDay = gregorian::kSecondsPerDay;
// 1970-01-01 was a Thursday; weeks start on the Monday after it.
constexpr double kFirstMonday = 4 * kDay;
// A tick counts as inside the range when it lies no further beyond it than
// a few units in the last place of the times (min and max are often sums
// that rounded), and never further than this part of a step.
constexpr double kInsideTolerance = 1e-6;
constexpr double kInsideUnitsInLastPlace = 4;
constexpr double kSmallestInsideTolerance = 1e-7;

double toleranceFor(const CalendarStep& step, double min, double max) {
  const double larger = std::max(std::fabs(min), std::fabs(max));
  const double ulp = std::nextafter(larger, INFINITY) - larger;
  return std::min(kInsideTolerance * shortestSeconds(step),
                  std::max(kSmallestInsideTolerance, kInsideUnitsInLastPlace * ulp));
}
// Integers up to here are exact in a double.
constexpr double kExactIntegers = 9007199254740992.0;

std::int64_t floorDivide(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool isFixed(Unit unit) { return fixedSeconds(unit) > 0; }

double offsetOf(Unit unit) { return unit == Unit::Week ? kFirstMonday : 0; }

std::vector<double> fixedTicks(const CalendarStep& step, double min, double max, std::size_t most) {
  const double length = fixedSeconds(step.unit) * step.count;
  const double offset = offsetOf(step.unit);
  // Counted in steps, where the division adds its own rounding; far from
  // 1970 that is several steps, so the ticks found are held to the range
  // once more as times.
  const double tolerance = toleranceFor(step, min, max);
  const double low = (min - offset) / length, high = (max - offset) / length;
  auto slack = [&](double steps) {
    return std::max(tolerance / length,
                    kInsideUnitsInLastPlace * (std::nextafter(std::fabs(steps), INFINITY) - std::fabs(steps)));
  };
  const double first = std::ceil(low - slack(low));
  const double last = std::floor(high + slack(high));
  if (!(last >= first) || last - first + 1 > double(most)) return {};
  // Millisecond steps are multiplied out as whole milliseconds, so that
  // 0.001 × n does not carry the rounding of 0.001.
  const double milliseconds = std::round(length * 1000);
  std::vector<double> ticks;
  const auto count = std::size_t(last - first + 1);
  ticks.reserve(count);
  // Counted with an integer: far from 1970 a double step count may not
  // change when 1 is added, and neighbouring ticks may round to one time.
  for (std::size_t k = 0; k < count; ++k) {
    const double n = first + double(k);
    const double scaled = n * milliseconds;
    const double tick = std::fabs(scaled) < kExactIntegers ? offset + scaled / 1000 : offset + n * length;
    if (tick < min - tolerance || tick > max + tolerance) continue;
    if (ticks.empty() || tick > ticks.back()) ticks.push_back(tick);
  }
  return ticks;
}

double monthStart(std::int64_t monthIndex, int day = 1) {
  return gregorian::timeFromComponents(floorDivide(monthIndex, 12), monthIndex - floorDivide(monthIndex, 12) * 12 + 1,
                                       day);
}

std::vector<double> calendarTicks(const CalendarStep& step, double min, double max, std::size_t most) {
  const auto start = gregorian::dateComponents(min);
  const auto end = gregorian::dateComponents(max);
  if (!start || !end) return {};
  if ((max - min) / averageSeconds(step) + 2 > double(most)) return {};
  const double tolerance = toleranceFor(step, min, max);
  const auto count = std::int64_t(step.count);
  std::vector<double> ticks;
  auto add = [&](double tick) {
    if (tick >= min - tolerance && tick <= max + tolerance) ticks.push_back(tick);
  };
  if (step.unit == Unit::Year) {
    for (std::int64_t year = floorDivide(start->year + count - 1, count) * count; year <= end->year + 1;
         year += count)
      add(gregorian::timeFromComponents(year, 1, 1));
    return ticks;
  }
  const std::int64_t firstMonth = start->year * 12 + (start->month - 1);
  const std::int64_t lastMonth = end->year * 12 + (end->month - 1);
  if (step.unit == Unit::HalfMonth) {
    for (std::int64_t month = firstMonth; month <= lastMonth; ++month) {
      add(monthStart(month));
      add(monthStart(month, 15));
    }
    return ticks;
  }
  for (std::int64_t month = floorDivide(firstMonth + count - 1, count) * count; month <= lastMonth + 1;
       month += count)
    add(monthStart(month));
  return ticks;
}

}  // namespace

double fixedSeconds(Unit unit) {
  switch (unit) {
    case Unit::Second: return 1;
    case Unit::Minute: return 60;
    case Unit::Hour: return 3600;
    case Unit::Day: return kDay;
    case Unit::Week: return 7 * kDay;
    default: return 0;
  }
}

double shortestSeconds(const CalendarStep& step) {
  switch (step.unit) {
    case Unit::HalfMonth: return 14 * kDay;  // 15 to 28 February, and on to 1 March
    case Unit::Month: {
      // The shortest run of so many months that starts where such a step
      // starts: February, January and February, the first quarter, the
      // first half of a common year.
      const auto months = std::int64_t(step.count);
      if (months <= 1) return 28 * kDay;
      if (months == 2) return 59 * kDay;
      if (months == 3) return 90 * kDay;
      if (months < 12) return (28 + 30.5 * double(months - 1) - 0.5) * kDay;
      return double(months / 12) * 365 * kDay;
    }
    case Unit::Year: return step.count * 365 * kDay;
    default: return fixedSeconds(step.unit) * step.count;
  }
}

double averageSeconds(const CalendarStep& step) {
  switch (step.unit) {
    case Unit::HalfMonth: return 365.2425 / 24 * kDay;
    case Unit::Month: return step.count * 365.2425 / 12 * kDay;
    case Unit::Year: return step.count * 365.2425 * kDay;
    default: return fixedSeconds(step.unit) * step.count;
  }
}

std::vector<double> ticksOf(const CalendarStep& step, double min, double max, std::size_t most) {
  if (!(min <= max) || !std::isfinite(min) || !std::isfinite(max) || !(step.count > 0)) return {};
  if (std::fabs(min) > gregorian::kLargestTime || std::fabs(max) > gregorian::kLargestTime) return {};
  return isFixed(step.unit) ? fixedTicks(step, min, max, most) : calendarTicks(step, min, max, most);
}

bool nests(const CalendarStep& fine, const CalendarStep& coarse) {
  if (isFixed(fine.unit) && isFixed(coarse.unit)) {
    const double fineMs = std::round(fixedSeconds(fine.unit) * fine.count * 1000);
    const double coarseMs = std::round(fixedSeconds(coarse.unit) * coarse.count * 1000);
    if (offsetOf(fine.unit) != offsetOf(coarse.unit)) return fineMs <= kDay * 1000 && std::fmod(kDay * 1000, fineMs) == 0;
    return std::fmod(coarseMs, fineMs) == 0;
  }
  if (isFixed(fine.unit))  // calendar ticks fall on midnights
    return fine.unit != Unit::Week && std::fmod(kDay * 1000, std::round(fixedSeconds(fine.unit) * fine.count * 1000)) == 0;
  if (isFixed(coarse.unit)) return false;
  switch (fine.unit) {
    case Unit::HalfMonth: return coarse.unit != Unit::HalfMonth || coarse.count == fine.count;
    case Unit::Month:
      if (coarse.unit == Unit::Month) return std::fmod(coarse.count, fine.count) == 0;
      return coarse.unit == Unit::Year && std::fmod(12, fine.count) == 0;
    case Unit::Year: return coarse.unit == Unit::Year && std::fmod(coarse.count, fine.count) == 0;
    default: return false;
  }
}

double startOf(Unit unit, double time) {
  switch (unit) {
    case Unit::Day: return gregorian::startOfDay(time);
    case Unit::Month: return gregorian::startOfMonth(time);
    case Unit::Year: return gregorian::startOfYear(time);
    default: {
      const double length = fixedSeconds(unit);
      if (length == 0) return gregorian::startOfMonth(time);
      return offsetOf(unit) + std::floor((time - offsetOf(unit)) / length) * length;
    }
  }
}

double startOfNext(Unit unit, double time) {
  switch (unit) {
    case Unit::Month: return gregorian::addingMonths(gregorian::startOfMonth(time), 1);
    case Unit::Year: return gregorian::addingYears(gregorian::startOfYear(time), 1);
    default: return startOf(unit, time) + (fixedSeconds(unit) > 0 ? fixedSeconds(unit) : kDay);
  }
}

}  // namespace orrelin::calendar_steps
