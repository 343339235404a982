#pragma once
// The texts of the column model: messages, stored-form keys and kind names,
// kept in one place because several files use them.

namespace orrelin::table_text {

// Column descriptions.
inline constexpr const char* kType = "Type";
inline constexpr const char* kOpen = "Open";
inline constexpr const char* kWidth = "Width";
inline constexpr const char* kName = "Name";
inline constexpr const char* kFormat = "Format";
inline constexpr const char* kMap = "Map";
inline constexpr const char* kKey = "Key";
inline constexpr const char* kValue = "Value";
inline constexpr const char* kValueType = "Value Type";
inline constexpr const char* kFile = "File";
inline constexpr const char* kCacheFile = "Cache File";
inline constexpr const char* kFileName = "File Name";
inline constexpr const char* kNumbers = "Numbers";
inline constexpr const char* kMask = "Mask";
inline constexpr const char* kExpression = "Expression";
inline constexpr const char* kAtLeast = "At Least";
inline constexpr const char* kSeed = "Seed";
inline constexpr const char* kNumberType = "Number Type";
inline constexpr const char* kDigits = "Digits";
inline constexpr const char* kDateFormat = "Date Format";
inline constexpr const char* kTokens = "Tokens";
inline constexpr const char* kColumnUsed = "Column Used";
inline constexpr const char* kUUID = "UUID";
inline constexpr const char* kConnectionType = "Connection Type";
inline constexpr const char* kTextString = "Text String";
inline constexpr const char* kHeight = "Height";
inline constexpr const char* kColumn = "Column";

// "Type" values.
inline constexpr const char* kTypeRowNumber = "Row Number";
inline constexpr const char* kTypeLineNumber = "Line Number";  // how documents store the row-number column
inline constexpr const char* kTypeAscii = "Ascii";
inline constexpr const char* kTypeBinary = "Binary";
inline constexpr const char* kTypeString = "String";
inline constexpr const char* kTypeDate = "Date";
inline constexpr const char* kTypeExpression = "Expression";
inline constexpr const char* kTypeStringExpression = "String Expression";
inline constexpr const char* kTypeNumberFromString = "Number from String";
inline constexpr const char* kTypeFromCommand = "From Command";
inline constexpr const char* kTypePlotAction = "Plot Action";
inline constexpr const char* kTypeDataObjectString = "Data Object String";
inline constexpr const char* kTypeDataObjectBinary = "Data Object Binary";
inline constexpr const char* kTypeOpenCollapser = "Open Collapser";
inline constexpr const char* kTypeCloseCollapser = "Close Collapser";
inline constexpr const char* kTypeDivider = "Divider";
inline constexpr const char* kTypeTextBlock = "Text Block";

// Save information handed to every column writer.
inline constexpr const char* kWrapper = "Wrapper";
inline constexpr const char* kOriginalURL = "OriginalURL";
inline constexpr const char* kCreatedDictionaries = "Created Dictionaries";
inline constexpr const char* kNextAsciiNumber = "Next Ascii Number";
inline constexpr const char* kNextBinaryNumber = "Next Binary Number";
inline constexpr const char* kNextCacheNumber = "Next Cache Number";
inline constexpr const char* kAsciiDataCreated = "AsciiDataCreated";
inline constexpr const char* kBinaryDataCreated = "BinaryDataCreated";
inline constexpr const char* kCacheDataCreated = "CacheDataCreated";
inline constexpr const char* kAsciiFolder = "Ascii";
inline constexpr const char* kBinaryFolder = "Binary";
inline constexpr const char* kCacheFolder = "Cache";
inline constexpr const char* kAsciiFilePattern = "Column %d.plist";
inline constexpr const char* kBinaryFilePattern = "Column %d.mvbin";
inline constexpr const char* kCacheFilePattern = "String Column %d.mvbin";

// Copies of a column (versionForCopy).
inline constexpr const char* kCopyDescription = "Description";
inline constexpr const char* kCopyData = "Data";

// Name lookup.
inline constexpr const char* kStructureCorrupt = "Column structure is corrupt";
inline constexpr const char* kNestingInvalid =
    "Column nesting is invalid.  Found a group close without a corresponding group open above it.";

// Column properties.
inline constexpr const char* kInvalidProperty = "Invalid property for column: ";
inline constexpr const char* kInvalidProperties = "Invalid property for columns:";
inline constexpr const char* kValidEndings =
    "\nValid endings are\n.min, .max, .length, .range, .average, .median,\n.sigma, s, .first, .last, .sum, .isum, "
    ".rmax, .rmin,\n.count, .totalcount, .sortedindex, .rank, .sortwith, .delta,\nunwrap2\u03c0, unwrap1, unwrap360";

// Formula columns.
inline constexpr const char* kUndefinedName = "Undefined constant or column: ";
inline constexpr const char* kUndefinedNames = "Undefined constants or columns:";
inline constexpr const char* kNeedsToBeAColumn = " needs to be a column";
inline constexpr const char* kIsAString = " is a string";
inline constexpr const char* kCircular = "Circular";
inline constexpr const char* kMissing = " missing";
inline constexpr const char* kSingleNumber =
    "Expression should only have a single number, but this expression is a vector.";
inline constexpr const char* kNoExpression = "No expression";

// Kinds whose values come from parts of the document this library does not
// reach; they keep their settings and say why they have no values.
inline constexpr const char* kNoValuesFromCommand =
    "The values of this column come from a graph command, which is not available here.";
inline constexpr const char* kNoValuesFromPlotAction =
    "The values of this column come from a plot action, which is not available here.";
inline constexpr const char* kNoValuesFromTokens =
    "The text of this column is computed from a token text, which is not available here.";
inline constexpr const char* kNotConnectedToDataStore =
    "The column shows the values saved with the document; the data store it comes from is not connected.";

// Numbers read from a text column.
inline constexpr const char* kNoTextColumnChosen = "No text column chosen";
inline constexpr const char* kNotATextColumn = " is not a text column";

// Date columns.
inline constexpr const char* kOutOfBounds = "out of bounds";

}  // namespace orrelin::table_text
