#pragma once
// The regions a plot fills, as closed loops in page coordinates. A curve is
// closed down (or up) to a reference line; where it crosses the reference it
// is split, so that each loop lies on one side of it. The x forms do the same
// across a vertical reference.

#include <vector>

#include "platform/PageGeometry.h"

namespace orrelin {

using PageRun = std::vector<KRPoint>;

enum class FillSide { Both, Above, Below };

// Closes every run down to the horizontal line y = reference. With Above or
// Below only the loops on that side are kept (above: larger y).
std::vector<PageRun> separateAndCloseY(const std::vector<PageRun>& runs, double reference, FillSide side);
// The same across the vertical line x = reference (Above: larger x).
std::vector<PageRun> separateAndCloseX(const std::vector<PageRun>& runs, double reference, FillSide side);
// The region between two curves: each run of the first followed by the
// matching run of the second backwards. When the two have a different number
// of runs, each is joined into one first. Empty when either has no points.
std::vector<PageRun> closeBetween(const std::vector<PageRun>& first, const std::vector<PageRun>& second);
// Every run closed on itself (runs of fewer than three points give nothing).
std::vector<PageRun> closeEachRun(const std::vector<PageRun>& runs);

}  // namespace orrelin
