#pragma once
// Ticks of an angle axis, in degrees or in radians. Angles get steps that
// divide a turn (5°, 15°, 30°, 45°, 90°, 180°, 360°; π/8, π/4, π/3, π/2,
// π, 2π), and the finest step whose page spacing reaches the minimum is
// taken. Ranges too small for the finest such step get the decimal steps of
// a linear axis instead.

#include "axes/ticks/LinearTicks.h"

namespace orrelin {

enum class AngleUnit { Degrees, Radians };

struct AngleTicks {
  TickValues ticks;
  // The major ticks are multiples of an angle step (not decimal steps).
  bool angleSteps = false;
};

AngleTicks computeAngleTicks(double min, double max, double length, double minMajor, double minMinor, AngleUnit unit);

}  // namespace orrelin
