#pragma once
// Staircases: between neighbouring points of a run corner points are
// inserted so that the line runs only horizontally and vertically.

#include "commands/Plot1D.h"

namespace orrelin {

enum class StepType {
  // Across at the old height, then up or down at the new x.
  HorizontalFirst = 1,
  // Up or down at the old x, then across at the new height.
  VerticalFirst = 2,
  // Across to halfway between the two x values, up or down, across.
  Halfway = 3,
};

Plot1D stepsFor(const Plot1D& plot, StepType type);

}  // namespace orrelin
