#pragma once
// Steps of whole calendar units for date axes: so many seconds, minutes,
// hours, days or weeks from the start of 1970 (GMT has no daylight saving,
// so these are fixed lengths), or so many months or years counted from
// January and from year 0. Half months tick on the 1st and the 15th. A step
// of a count that divides its larger unit (6 hours, 3 months, 10 years)
// keeps its ticks on that unit's boundaries.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orrelin::calendar_steps {

enum class Unit { Second, Minute, Hour, Day, Week, HalfMonth, Month, Year };

struct CalendarStep {
  Unit unit = Unit::Day;
  // Whole units, except for seconds, which may be 0.001, 0.005, … 0.5.
  double count = 1;
  bool operator==(const CalendarStep&) const = default;
};

// Seconds of one unit of the fixed-length kinds; 0 for months and years.
double fixedSeconds(Unit unit);
// The shortest time between two neighbouring ticks of the step (a month
// step's February, a year's 365 days).
double shortestSeconds(const CalendarStep& step);
// The average time between ticks, for counting them.
double averageSeconds(const CalendarStep& step);

// The ticks of the step from min to max, both included (up to a few units
// in the last place beyond them), ascending; at most `most` of them, none when
// there would be more or when the range lies outside the calendar.
std::vector<double> ticksOf(const CalendarStep& step, double min, double max, std::size_t most);

// Whether every tick of `coarse` is also a tick of `fine`, so that fine
// cuts the steps of coarse into equal-looking minor steps.
bool nests(const CalendarStep& fine, const CalendarStep& coarse);

// The start of the unit (day, month or year) that holds the time.
double startOf(Unit unit, double time);
// The start of the next such unit.
double startOfNext(Unit unit, double time);

}  // namespace orrelin::calendar_steps
