#pragma once
// The keys and messages of the graph, its style settings and its canvas
// settings, kept in one place.

namespace orrelin::graphtext {

inline constexpr const char* kStyleSettingsType = "Style Settings";
inline constexpr const char* kCanvasSettingsType = "Canvas Settings";

// The user default (a number, non-zero for yes) that asks for a decimal
// comma in the numbers of every axis; not stored with a graph.
inline constexpr const char* kDecimalCommaDefault = "Decimal Comma";

// Style settings.
inline constexpr const char* kMainFont = "Main Font";
inline constexpr const char* kTitleFont = "Title Font";
inline constexpr const char* kAxisFont = "Axis Font";
inline constexpr const char* kLabelFont = "Label Font";
inline constexpr const char* kBoxStyle = "Box Style";
inline constexpr const char* kAxisPosition = "Axis Position";
inline constexpr const char* kAxisLineWidth = "Axis Line Width";
inline constexpr const char* kAxisColor = "Axis Color";
inline constexpr const char* kBoxPadding = "Box Padding";
inline constexpr const char* kTickStyle = "Tick Style";
inline constexpr const char* kGrid = "Grid";
inline constexpr const char* kGridDirections = "Grid Directions";
inline constexpr const char* kMajorGridStyle = "Major Grid Style";
inline constexpr const char* kMinorGridStyle = "Minor Grid Style";

// Canvas settings.
inline constexpr const char* kTitle = "Title";
inline constexpr const char* kTitleFontStyle = "Title Font Style";
inline constexpr const char* kBackground = "Background";
inline constexpr const char* kExportBackground = "Export Background";
inline constexpr const char* kAxisBackground = "Axis Background";
inline constexpr const char* kForeground = "FG";
inline constexpr const char* kDrawingSizeMethod = "Drawing Size Method";
inline constexpr const char* kDrawingSize = "Drawing Size";
inline constexpr const char* kDrawingMagnification = "Drawing Magnification";
inline constexpr const char* kStackingChoice = "Stacking Choice";
inline constexpr const char* kAbove = "Above";
inline constexpr const char* kBelow = "Below";
inline constexpr const char* kLeft = "Left";
inline constexpr const char* kRight = "Right";
inline constexpr const char* kWidthVariable = "Width";
inline constexpr const char* kHeightVariable = "Height";
inline constexpr const char* kCommandLineSize = "5in,3in";

// Older canvas keys, converted on reading.
inline constexpr const char* kOldForegroundColor = "Foreground Color";
inline constexpr const char* kOldAxisBackgroundColor = "Axis Background Color";
inline constexpr const char* kOldBackgroundColor = "Background Color";

inline constexpr const char* kNeedTwoEntries =
    "Need to specify two entries, width,height.\nFor example \"5in,3in\".  Can use the predefined "
    "constants\n\nInch,in,inch,inches,cm,mm,px,pts,points\n\nThe automatic size will be used when the size is "
    "not valid.";
inline constexpr const char* kCannotExtractSize = "Not possible to extract a size from the string\n\"%@\"";
inline constexpr const char* kNoValidSize = "Could not extract a valid size.";

// The layout.
// Keys of the hit rectangles the axes leave in the side information.
inline constexpr const char* kHitAxis = "Axis";
inline constexpr const char* kHitAxisIndex = "Index";

inline constexpr const char* kInvalidScale = "Invalid call to createGraphic:.., scale==0.0";
inline constexpr const char* kDestination = "Destination";
inline constexpr const char* kBackgroundGroup = "Background";
inline constexpr const char* kCommandsGroup = "Commands";
inline constexpr const char* kForegroundGroup = "Foreground";
inline constexpr const char* kGridGroup = "Grid";
inline constexpr const char* kBorder = "Border";
inline constexpr const char* kUntitledGroup = "Untitled Group";
inline constexpr const char* kNonFiniteRange = "Range with a bound that is not a number";
inline constexpr const char* kNonPositiveLogRange = "Range reaching 0 or below on a logarithmic axis";
inline constexpr const char* kTimingMessage = "Computing graphic (%@) = %g seconds";

}  // namespace orrelin::graphtext
