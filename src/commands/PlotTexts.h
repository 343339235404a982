#pragma once
// The texts of the plot command: its kind, setting names, menu titles and
// messages.

namespace orrelin::plottext {

inline constexpr const char* kPlotType = "Plot";

// Setting names (the stored keys).
inline constexpr const char* kX = "X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kLineStyle = "Line Style";
inline constexpr const char* kPointStyle = "Point Style";
inline constexpr const char* kPointSize = "Point Size";
inline constexpr const char* kPointFillColor = "Point Fill Color";
inline constexpr const char* kFill = "Fill";
inline constexpr const char* kFillMethod = "Fill Method";
inline constexpr const char* kBetween = "Between";
inline constexpr const char* kBetweenX = "Between X";
inline constexpr const char* kBetweenWhichAxis = "Between Which Axis";
inline constexpr const char* kLegend = "Legend";
inline constexpr const char* kLegendPosition = "Legend Position";
inline constexpr const char* kErrorStyle = "Error Style";
inline constexpr const char* kErrorColor = "Error Color";
inline constexpr const char* kErrorBarSize = "Error Bar Size";
inline constexpr const char* kNegativeXError = "Negative X Error";
inline constexpr const char* kPositiveXError = "Positive X Error";
inline constexpr const char* kNegativeYError = "Negative Y Error";
inline constexpr const char* kPositiveYError = "Positive Y Error";
inline constexpr const char* kXErrorType = "X Error Type";
inline constexpr const char* kYErrorType = "Y Error Type";
inline constexpr const char* kOffset = "Offset";
inline constexpr const char* kCrop = "Crop";
inline constexpr const char* kLabelFormatter = "Label Formatter";
inline constexpr const char* kLabels = "Labels";
inline constexpr const char* kLabelFont = "Label Font";
inline constexpr const char* kLabelsOffset = "Labels Offset";
inline constexpr const char* kBridgeGaps = "Bridge Gaps";
inline constexpr const char* kConnections = "Connections";
inline constexpr const char* kSplineType = "Spline Type";
inline constexpr const char* kStepType = "Step Type";
inline constexpr const char* kMask = "Mask";

inline constexpr const char* kDefaultLegend = "<Label>Y Label</Label> vs <Label>X Label</Label>";

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
