#pragma once
// The texts of the command base: property-list keys, messages and the
// magnification tooltips, kept in one place because several files use them.

namespace orrelin::commandtext {

// Keys of a command's property list.
inline constexpr const char* kType = "Type";
inline constexpr const char* kOpen = "Open";
inline constexpr const char* kExclude = "Exclude";
inline constexpr const char* kHide = "Hide";
inline constexpr const char* kAxis = "Axis";
inline constexpr const char* kWhichXAxis = "Which X Axis";
inline constexpr const char* kWhichYAxis = "Which Y Axis";
inline constexpr const char* kWhichX = "Which X";
inline constexpr const char* kWhichY = "Which Y";
inline constexpr const char* kMagnifyOption = "Magnify Option";
inline constexpr const char* kCropWith = "Crop With";
// The name of a group of commands, on its opener.
inline constexpr const char* kCollapserName = "Name";

// Keys of an undo record.
inline constexpr const char* kCommandNumber = "CommandNumber";
inline constexpr const char* kDrawingNumber = "Drawing Number";
inline constexpr const char* kCommandData = "CommandData";
inline constexpr const char* kWhich = "Which";
inline constexpr const char* kSelector = "Selector";

// The selector every setting answers: replace the value by a property list.
inline constexpr const char* kSetFromPropertyList = "setFromPropertyList:";

// Connecting a setting.
inline constexpr const char* kConnectRefused = "Could not connect a setting";
inline constexpr const char* kReservedName = "The name \"Type\" is reserved for the kind of command";
inline constexpr const char* kMissingName = "A setting needs a name";
inline constexpr const char* kMissingController = "No setting given for the name %s";
inline constexpr const char* kNameTaken = "A setting is already connected under the name %s";
inline constexpr const char* kControllerTaken = "The setting is already connected under the name %s";

// Writing and reading the property list.
inline constexpr const char* kCouldNotGetProperty = "Could not get property";
inline constexpr const char* kCouldNotGetPropertyLong =
    "Failed inside class %s\nCould not get property for key = %s\n%s : %s";
inline constexpr const char* kUnknownSetting = "Unknown setting kept as it was read";
inline constexpr const char* kUnknownSettingLong = "The %s command has no setting named \"%s\".";
inline constexpr const char* kBadSettingValue = "Setting read with its default value";
inline constexpr const char* kBadSettingValueLong =
    "The setting \"%s\" of the %s command holds %s where %s was expected.";

// Undo.
inline constexpr const char* kInvalidUndoSelector = "Trying to record an undo with an invalid selector.";
inline constexpr const char* kUnexpectedUndoSelector = "Unexpected selector send during undo";

// Drawing.
inline constexpr const char* kErrorWhenDrawing = "Error when drawing";
inline constexpr const char* kErrorWhenComputingLong = "Error when computing drawing content\n%s : %s";
inline constexpr const char* kCropNotOverridden = "Command asked to crop a range it does not crop";

// Magnification tooltips, by tag.
inline constexpr const char* kMagnifyTooltipEverywhere = "";
inline constexpr const char* kMagnifyTooltipNotMagnified =
    "Content is not drawn by the Magnify command.  To change that open the command detail and change the "
    "magnification options (right below the Exclude check box)";
inline constexpr const char* kMagnifyTooltipOnlyMagnified =
    "Content is only drawn by the Magnify command.  To change that open the command detail and change the "
    "magnification options (right below the Exclude check box)";
inline constexpr const char* kMagnifyTooltipLoupe = "Content is only drawn by the loupe tool";

// The error explanations of the settings.
inline constexpr const char* kColumnNotFound = "The column \"%s\" does not exist.";
inline constexpr const char* kColumnNotFoundBySerial = "The column selected for \"%s\" no longer exists.";
inline constexpr const char* kCommandNotFound = "The command selected for \"%s\" does not exist.";
inline constexpr const char* kNumberNotValid = "Could not compute a number from \"%s\" for \"%s\".";

}  // namespace orrelin::commandtext
