#pragma once
// Ticks of a logarithmic scale. Three regimes, by the page length P of one
// decade: less than a factor 6 on the whole axis gives linear ticks; room
// for a label per decade gives the decades as major ticks with some of their
// 2 … 9 multiples as minor ticks; less room gives a major tick every few
// decades and minor ticks at the decades in between.

#include "axes/ticks/LinearTicks.h"

namespace orrelin {

struct LogarithmicTicks {
  TickValues ticks;
  // The major ticks are whole decades.
  bool powersOfTen = false;
};

// Whether a value counts as inside a logarithmic range: from a
// ten-thousandth below min to a thousandth above max, and a finite double.
bool insideLogarithmicRange(double value, double min, double max);

// For 0 < min < max over `length` points; anything else gives no ticks.
LogarithmicTicks computeLogarithmicTicks(double min, double max, double length, double minMajor, double minMinor);

}  // namespace orrelin
