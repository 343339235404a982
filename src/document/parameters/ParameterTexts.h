#pragma once
// The texts of the definitions list in one place: the reasons a parameter is
// invalid, the messages of evaluation and of the colour-scheme override, and
// the keys of the stored form.

namespace orrelin::parameter_texts {

// Why a name does not resolve.
inline constexpr const char* kNameUsedTwice = "Name used for more than one parameter";
inline constexpr const char* kNameUsedForColumn = "Name used for a column";
inline constexpr const char* kNoNameSpecified = "No name specified";
inline constexpr const char* kNameIsEmpty = "Name is empty";

// Change kinds announced with ParameterListNeighbour::parameterListChanged.
inline constexpr const char* kAdded = "Added";
inline constexpr const char* kRemoved = "Removed";

// Value parameters.
inline constexpr const char* kUnknownConstant = "Could not evaluate the value expression, unknown constant";
inline constexpr const char* kCircularValue = "The value expression depends on itself through %@";
inline constexpr const char* kSupplierHasNoValue = "The value expression uses %@, which has no value";

// Slider ranges.
inline constexpr const char* kRangeNotEvaluated = "Could not evaluate the range expression";
inline constexpr const char* kRangeNeedsTwoValues = "The range expression needs to have exactly two values";
inline constexpr const char* kRangeMinAboveMax = "The slider range is not valid, min is larger than max";
inline constexpr const char* kRangeNotFinite = "The slider range is not valid, the range has to be finite";

// Values given as text that do not evaluate (slider and date parameters keep
// their value; the message centre says why).
inline constexpr const char* kSliderValueNotEvaluated = "Could not evaluate the slider value \"%@\"";
inline constexpr const char* kDateNotEvaluated = "Could not evaluate the date \"%@\"";

// Kinds whose values come from parts of the document this version cannot
// read yet.
inline constexpr const char* kGroupValuesUnavailable = "Values from column groups can not be read yet";
inline constexpr const char* kCommandValuesUnavailable = "Values from graph commands can not be read yet";
inline constexpr const char* kFieldsUnavailable = "Field definitions can not be used yet";

// The stored form.
inline constexpr const char* kKeyType = "Type";
inline constexpr const char* kKeyName = "Name";
inline constexpr const char* kKeyOpen = "Open";
inline constexpr const char* kKeyValue = "Value";
inline constexpr const char* kKeyExactValue = "Exact Value";
inline constexpr const char* kKeyRange = "Range";
inline constexpr const char* kKeyMin = "Min";
inline constexpr const char* kKeyMax = "Max";
inline constexpr const char* kKeySliderValue = "Slider Value";
inline constexpr const char* kKeyEnabled = "Enabled";
inline constexpr const char* kKeyIntegerValues = "Integer Values";
inline constexpr const char* kKeyString = "String";
inline constexpr const char* kKeyDate = "Date";
inline constexpr const char* kKeyGroup = "Group";
inline constexpr const char* kKeyProperty = "Property";
inline constexpr const char* kKeyCommand = "Command";
inline constexpr const char* kKeyParameter = "Parameter";
inline constexpr const char* kKeyLines = "Lines";
inline constexpr const char* kKeyMatch = "Match";
inline constexpr const char* kKeyTitle = "Title";
inline constexpr const char* kKeyColor = "Color";
inline constexpr const char* kKeyMarker = "Marker";

// The parameter record of a document.
inline constexpr const char* kKeyList = "List";
inline constexpr const char* kKeyParametersOpen = "Parameters Open";
inline constexpr const char* kKeyDefinitionsFloating = "Definitions Floating";
inline constexpr const char* kKeyAnimation = "Animation";
inline constexpr const char* kKeyAnimationDuration = "Animation Duration";
inline constexpr const char* kKeyLoopAnimation = "Loop Animation";
inline constexpr const char* kEntryNotADictionary = "A stored definition is not a dictionary and was skipped";

// Types.
inline constexpr const char* kTypeValue = "Value";
inline constexpr const char* kTypeSlider = "Slider";
inline constexpr const char* kTypeString = "String";
inline constexpr const char* kTypeDate = "Date";
inline constexpr const char* kTypeNumberFromGroup = "Number From Group";
inline constexpr const char* kTypeStringFromGroup = "String From Group";
inline constexpr const char* kTypeValueFromCommand = "Value from Command";
inline constexpr const char* kTypeField = "Field";
inline constexpr const char* kTypeColorScheme = "Color Scheme";
inline constexpr const char* kTypeMarkerScheme = "Marker Scheme";

// The colour-scheme override of the command line, printed to standard output.
inline constexpr const char* kSchemeNotFound = "orrel: Could not find the color scheme \"%@\"";
inline constexpr const char* kRecordNeedsKeyAndIndex =
    "orrel: Each color scheme record needs to start with key#N. Could not find this at the start of \"%@\".";
inline constexpr const char* kRecordNeedsValue =
    "orrel: Each color scheme record needs to start with key#N=value. Could not find the value in \"%@\".";
inline constexpr const char* kRecordNeedsEquals =
    "orrel: Each color scheme record needs to start with key#N=value. Could not find the = sign in \"%@\".";
inline constexpr const char* kIndexOutOfBounds = "orrel: Index %d in color scheme \"%@\" is out of bounds.";
inline constexpr const char* kInvalidKey =
    "orrel: For color scheme \"%@\", \"%@\" is not a valid key.  Use range, value,title,match or color";
inline constexpr const char* kColorNeedsThreeOrFour =
    "orrel: For color scheme \"%@\", the color \"%@\" needs 3 or 4 values.";

}  // namespace orrelin::parameter_texts

#include <initializer_list>
#include <string>

namespace orrelin::parameter_texts {

// The format with each "%@" or "%d" replaced by the next of the values, in
// order.
std::string fillIn(const char* format, std::initializer_list<std::string> values);

// A number as the shortest text that reads back as the same number.
std::string numberText(double value);

}  // namespace orrelin::parameter_texts
