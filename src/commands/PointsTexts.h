#pragma once
// The texts of the points command and of the markers, error bars and
// schemes it shares with the plot command: stored keys, menu titles and the
// messages users see.

namespace orrelin::points_text {

inline constexpr const char* kType = "Scatter";

// Stored keys (setting names).
inline constexpr const char* kX = "X";
inline constexpr const char* kDefaultX = "Default X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kDefaultY = "Default Y";
inline constexpr const char* kPointStyle = "Point Style";
inline constexpr const char* kPointSize = "Point Size";
inline constexpr const char* kPointColor = "Point Color";
inline constexpr const char* kLegend = "Legend";
inline constexpr const char* kErrorStyle = "Error Style";
inline constexpr const char* kErrorColor = "Error Color";
inline constexpr const char* kErrorBarSize = "Error Bar Size";
inline constexpr const char* kNegativeXError = "Negative X Error";
inline constexpr const char* kPositiveXError = "Positive X Error";
inline constexpr const char* kNegativeYError = "Negative Y Error";
inline constexpr const char* kPositiveYError = "Positive Y Error";
inline constexpr const char* kXErrorType = "X Error Type";
inline constexpr const char* kYErrorType = "Y Error Type";
inline constexpr const char* kPointSizeScale = "Point Size Scale";
inline constexpr const char* kPointSizeColumn = "Point Size Column";
inline constexpr const char* kPointSizeType = "Point Size Type";
inline constexpr const char* kLabelFormatter = "Label Formatter";
inline constexpr const char* kLabels = "Labels";
inline constexpr const char* kLabelsOffset = "Labels Offset";
inline constexpr const char* kLabelsRotation = "Labels Rotation";
inline constexpr const char* kLabelFont = "Label Font";
inline constexpr const char* kPointLineWidth = "Point Line Width";
inline constexpr const char* kPointFillColor = "Point Fill Color";
inline constexpr const char* kPointColorVariable = "Point Color Variable";
inline constexpr const char* kPointColorScheme = "Point Color Scheme";
inline constexpr const char* kFillColorVariable = "Fill Color Variable";
inline constexpr const char* kFillColorScheme = "Fill Color Scheme";
inline constexpr const char* kPointStyleVariable = "Point Style Variable";
inline constexpr const char* kPointMarkerScheme = "Point Marker Scheme";
inline constexpr const char* kMask = "Mask";

// Keys of older files, converted when read.
inline constexpr const char* kOlderMaskType = "Mask Type";
inline constexpr const char* kOlderMaskValue = "Mask Value";
inline constexpr const char* kOlderMaskRange = "Mask Range";
inline constexpr const char* kOlderMaskMatch = "Mask Match";
inline constexpr const char* kOlderPointColorUsage = "Point Color Usage";

inline constexpr const char* kDefaultLegend = "<Label>Y Label</Label> vs <Label>X Label</Label>";

// Hit test and context menu.
inline constexpr const char* kHitsAPoint = "Hits a Point";
inline constexpr const char* kPointsHit = "Points Hit";
inline constexpr const char* kClosestX = "Closest X";
inline constexpr const char* kClosestY = "Closest Y";
inline constexpr const char* kRowIndex = "Row Index";
inline constexpr const char* kCopyMarker = "Copy Marker";
inline constexpr const char* kSelectUsedRows = "Select Used Rows";
inline constexpr const char* kSelectDisplayedRows = "Select Displayed Rows";
inline constexpr const char* kSelectPointInTable = "Select Point in Table";

// Error explanations.
inline constexpr const char* kColorSchemeMissing = "The color scheme \"%s\" does not exist.";
inline constexpr const char* kMarkerSchemeMissing = "The marker scheme \"%s\" does not exist.";
inline constexpr const char* kMaskNotComputed = "Mask could not be computed.";
inline constexpr const char* kOlderMaskNotConverted =
    "The older mask on the column \"%s\" could not be turned into a formula; no row is masked.";
inline constexpr const char* kNoNumbers = "The column \"%s\" has no numbers.";

}  // namespace orrelin::points_text
