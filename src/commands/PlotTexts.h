#pragma once
// The texts of the plot command: its kind, setting names, menu titles and
// messages. The settings it shares with the points command (markers, error
// bars, labels, legend, mask) keep their names in one place, beside the
// points command's.

#include "commands/PointsTexts.h"

namespace orrelin::plottext {

using points_text::kX;
using points_text::kY;
using points_text::kPointStyle;
using points_text::kPointSize;
using points_text::kPointFillColor;
using points_text::kLegend;
using points_text::kErrorStyle;
using points_text::kErrorColor;
using points_text::kErrorBarSize;
using points_text::kNegativeXError;
using points_text::kPositiveXError;
using points_text::kNegativeYError;
using points_text::kPositiveYError;
using points_text::kXErrorType;
using points_text::kYErrorType;
using points_text::kLabelFormatter;
using points_text::kLabels;
using points_text::kLabelFont;
using points_text::kLabelsOffset;
using points_text::kMask;
using points_text::kDefaultLegend;

inline constexpr const char* kPlotType = "Plot";

// Setting names (the stored keys).
inline constexpr const char* kLineStyle = "Line Style";
inline constexpr const char* kFill = "Fill";
inline constexpr const char* kFillMethod = "Fill Method";
inline constexpr const char* kBetween = "Between";
inline constexpr const char* kBetweenX = "Between X";
inline constexpr const char* kBetweenWhichAxis = "Between Which Axis";
inline constexpr const char* kLegendPosition = "Legend Position";
inline constexpr const char* kOffset = "Offset";
inline constexpr const char* kCrop = "Crop";
inline constexpr const char* kBridgeGaps = "Bridge Gaps";
inline constexpr const char* kConnections = "Connections";
inline constexpr const char* kSplineType = "Spline Type";
inline constexpr const char* kStepType = "Step Type";


// Messages.
inline constexpr const char* kNoLoops =
    "Incorrect Plot1D format: Didn't find any loops.  Note that the format is that A(1,0) = # of entries in first loop.";
inline constexpr const char* kLengthNotInteger = "Incorrect Plot1D format: The loop length needs to be an integer";
inline constexpr const char* kXNotFinite = "Incorrect Plot1D format: One of the x values in a plot was Nan/Inf.";
inline constexpr const char* kLengthNotPositive = "Incorrect Plot1D format: Hit a loop with length<=0.";
inline constexpr const char* kLoopTooLong = "Incorrect Plot1D format: One of the loops is too long.";
inline constexpr const char* kMaskFailed = "Mask could not be computed.";
inline constexpr const char* kSplitFailed = "Error when splitting a plot.";
inline constexpr const char* kNothingDrawn =
    "Nothing will be drawn, since there is no line selected, no point type, no fill is used and no labels are drawn.";
inline constexpr const char* kGroupDescription = "Plot";

}  // namespace orrelin::plottext
