#pragma once
// Major and minor ticks of a linear scale: steps of 1, 2 or 5 times a power
// of ten, at least a given page distance apart, never more than 17 major
// intervals on the axis.

#include <vector>

namespace orrelin {

// The tick values of one axis, in data units, ascending.
struct TickValues {
  std::vector<double> major;
  std::vector<double> minor;
  // The distance between neighbouring major ticks; 0 when there are none.
  double step = 0;
};

// What sets whole-number and money axes apart from plain number axes.
struct LinearTickRule {
  // A major step below it is raised to it, and a minor step below it is
  // left out (1 for whole numbers, a cent for money).
  double smallestStep = 0;
  bool minorTicks = true;
};

// The ticks for values from min to max drawn over `length` points, with
// major ticks at least minMajor points apart and minor ticks at least
// minMinor points apart. A negative length or spacing, and a range that is
// empty, reversed or not finite, give no ticks.
TickValues computeLinearTicks(double min, double max, double length, double minMajor, double minMinor,
                              const LinearTickRule& rule = {});

// The powers of ten that doubles can hold, exactly rounded: 10^k for k in
// -323 … 308 (0 below, infinity above).
double exactPowerOfTen(int exponent);

}  // namespace orrelin
