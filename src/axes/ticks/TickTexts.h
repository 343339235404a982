#pragma once
// The texts that ticks, labels and formatters write or report, in one place
// because several files use them. Characters outside ASCII are UTF-8.

namespace orrelin::tick_text {

// Characters of number texts.
inline constexpr const char* kUnicodeMinus = "\u2212";
inline constexpr const char* kInfinity = "\u221E";
inline constexpr const char* kTimes = "\u00D7";
inline constexpr const char* kNotANumber = "NaN";

// Math text the labels use.
inline constexpr const char* kDegree = "\\degree";
inline constexpr const char* kPi = "\\pi";
inline constexpr const char* kMathMinus = "\\minus";
inline constexpr const char* kRed = "\\red";
inline constexpr const char* kPowerOfTenOpen = "10^{";
inline constexpr const char* kPowerOfTenClose = "}";

// Currency signs by currency type (0 none, 1 dollar, 2 euro, 3 pound, 4 yen,
// 5 franc).
inline constexpr const char* kCurrencySigns[] = {"", "$", "\u20AC", "\u00A3", "\u00A5", "\u20A3"};

// Messages.
inline constexpr const char* kTooManyValues = "Can't draw more than 100 numbers in an axis.";
inline constexpr const char* kUnexpectedType = "Internal: Unexpected type for creating an Axis structure.";
inline constexpr const char* kLabelLengthMismatch = "Length mismatch for labels";
inline constexpr const char* kInvalidTypeForLists = "Invalid type for createWithMajor:minor:";
// Further messages of this library.
inline constexpr const char* kZeroMajorSpacing = "Internal: The minimum distance between major tick marks is 0.";
inline constexpr const char* kMaskLengthMismatch = "Length mismatch for the label mask";

// Date axis labels: "%d" is a calendar number, "%@" a month name or a day
// text (a month name and a day number, "%@ %d").
inline constexpr const char* kYear = "%d";
inline constexpr const char* kYearSpan = "%d - %d";
inline constexpr const char* kDayNumber = "%d";
inline constexpr const char* kDayText = "%@ %d";
// The hour, then two-digit minutes ("0:00", "12:30", "9:05").
inline constexpr const char* kHourAndMinutes = "%d:";
// Second lines: one unit, two units, several units; the last form of each
// pair is for units of different years (so two days across the new year
// read "Dec 31 2006 - Jan 1 2007").
inline constexpr const char* kOneUnit = "%@ %d";
inline constexpr const char* kTwoDays = "%@ %d & %@ %d - %d";
inline constexpr const char* kSeveralDays = "%@ - %@, %d";
inline constexpr const char* kAcrossYears = "%@ %d - %@ %d";
inline constexpr const char* kTwoMonths = "%@ & %@ - %d";
inline constexpr const char* kTwoMonthsAcrossNewYear = "%@ %d & %@ %d";
inline constexpr const char* kSeveralMonths = "%@ - %@, %d";
inline constexpr const char* kTwoYears = "%@ & %@";

}  // namespace orrelin::tick_text
