#pragma once
// What a fill setting draws over a rectangle: nothing, a solid colour,
// hatching, a two-colour gradient or noise. The graph's backgrounds and the
// plot command's filled regions (drawn over the region's frame and clipped to
// the region) use the same drawings.

#include <memory>

#include "drawing/KRDrawingBasic.h"
#include "graph/commandbase/InputControllers.h"

namespace orrelin {

// nullptr for "Nothing" and for a rectangle that is empty or not finite.
//
// Hatching: the second colour, then lines in the first colour 4 points apart
// at (pattern number + 1) times 45 degrees, so patterns 1 to 4 give the four
// directions, clipped to the rectangle. The lines are laid from the page
// origin, so neighbouring rectangles continue each other's hatching.
//
// Gradient: from the first colour to the second along the fill's angle
// (degrees, counter-clockwise from the x axis), reaching the rectangle's
// corners at both ends.
std::shared_ptr<KRDrawingBasic> fillOverRectangle(const VKFillStyle& fill, const KRRect& rect);

}  // namespace orrelin
