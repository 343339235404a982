#pragma once
// Keys, menu titles and messages of the axis commands, kept in one place
// because the main axis and the single-axis command share them.
//
// A key pattern holds one '%' that stands for the axis letter ("X" or "Y").

namespace orrelin::axistext {

inline constexpr const char* kMainAxisType = "Main Axis";
inline constexpr const char* kXAxisType = "X Axis";
inline constexpr const char* kYAxisType = "Y Axis";

// Settings of one axis.
inline constexpr const char* kTitle = "% Title";
inline constexpr const char* kScale = "% Type";
inline constexpr const char* kInclude = "Include %";
inline constexpr const char* kCrop = "Crop %";
inline constexpr const char* kPadRange = "Pad % Range";
inline constexpr const char* kDrawLabels = "Draw % Labels";
inline constexpr const char* kTicksChoice = "% Ticks Choice";
inline constexpr const char* kTicksStride = "% Ticks Stride";
inline constexpr const char* kTicksValues = "% Ticks Values";
inline constexpr const char* kMinorTicksValues = "% Minor Ticks Values";
inline constexpr const char* kTickLocations = "% Tick Locations";
inline constexpr const char* kTickLabels = "% Tick Labels";
inline constexpr const char* kCategories = "% Categories";
inline constexpr const char* kCategoryTicks = "% Category Ticks";
inline constexpr const char* kDegreeRadians = "% Degree/Radians";
inline constexpr const char* kCurrency = "% Currency";
inline constexpr const char* kCurrencyNegative = "% Currency Negative";
inline constexpr const char* kCurrencyNegativeRed = "% Currency Negative Red";
inline constexpr const char* kPrefix = "% Prefix";
inline constexpr const char* kSuffix = "% Suffix";
inline constexpr const char* kDatesWithTwoLines = "% Dates With Two Lines";
inline constexpr const char* kXOrientation = "X Orientation";
inline constexpr const char* kXLabelHeight = "X Label Height";
inline constexpr const char* kYLabelWidth = "Y Label Width";

// Settings of the main axis only.
inline constexpr const char* kAspectRatio1 = "Aspect Ratio 1";
inline constexpr const char* kAxisLabelsFontStyle = "Axis Labels Font Style";
inline constexpr const char* kTitleFontStyle = "Title Font Style";
inline constexpr const char* kNumberFontStyle = "Number Font Style";

// Older documents: the title under the bare letter, the scale under "% Lin/Log".
inline constexpr const char* kOldTitle = "%";
inline constexpr const char* kOldScale = "% Lin/Log";

// Settings of the single-axis command only.
inline constexpr const char* kRelativeSize = "Relative Size";
inline constexpr const char* kSpaceBefore = "Space Before";
inline constexpr const char* kSpaceBeforePixels = "Space Before Pixels";
inline constexpr const char* kSide = "Side";

// Interactive cropping permissions.
inline constexpr const char* kChangeXWidth = "Change X Width";
inline constexpr const char* kChangeYHeight = "Change Y Height";
inline constexpr const char* kChangeXEdge = "Change X Edge";
inline constexpr const char* kChangeYEdge = "Change Y Edge";

// Context-menu entries. A pattern's '%' stands for the axis letter.
inline constexpr const char* kMenuChangeLabelFont = "Change Label Font";
inline constexpr const char* kMenuChangeNumberFont = "Change Number Font";
inline constexpr const char* kMenuAddTitle = "Add % title";
inline constexpr const char* kMenuPadding = "% Padding";
inline constexpr const char* kMenuTickMarks = "% Tick Marks";
inline constexpr const char* kMenuAngleSettings = "% Angle Settings";
inline constexpr const char* kMenuAngleUnit = "Angle unit";
inline constexpr const char* kMenuCategoryLabels = "Category Labels";
inline constexpr const char* kMenuCategoryColumn = "% Category Column";
inline constexpr const char* kMenuCurrencySettings = "% Currency Settings";
inline constexpr const char* kMenuNumberFormat = "Number format";
inline constexpr const char* kMenuNegativeInParentheses = "Negative numbers in ()";
inline constexpr const char* kMenuNegativeRed = "Negative numbers red";

// Error explanations.
inline constexpr const char* kCropNotTwoNumbers =
    "The range \"%s\" of %s is not two numbers separated by a comma.";
inline constexpr const char* kCropEmpty = "The range \"%s\" of %s has no width; the axis is chosen automatically.";
inline constexpr const char* kNumbersDoNotCompute = "The numbers \"%s\" of %s do not compute.";
inline constexpr const char* kStrideNotPositive =
    "The stride \"%s\" of %s is not a positive number; the ticks are chosen automatically.";
inline constexpr const char* kNoTickValues = "No tick values are given in %s; the ticks are chosen automatically.";
inline constexpr const char* kNoTickColumn = "No column is chosen for %s; the ticks are chosen automatically.";
inline constexpr const char* kTickColumnEmpty =
    "The column \"%s\" of %s holds no tick positions; the ticks are chosen automatically.";
inline constexpr const char* kCategoryColumnEmpty =
    "The column \"%s\" of %s holds no categories; the ticks are chosen automatically.";

}  // namespace orrelin::axistext
