#pragma once
// The texts of the document package: file and folder names, the keys of the
// content dictionary and of the parameter record, the document types and the
// messages of saving and opening, kept in one place because the writer, the
// reader and the document all use them.

#include <array>
#include <string_view>

namespace orrelin::document_text {

// Files and folders of a package.
inline constexpr const char* kContentsFolder = "Contents";
inline constexpr const char* kPkgInfo = "PkgInfo";
inline constexpr std::string_view kPkgInfoBytes = "ORDcOrLn";
inline constexpr const char* kContentFile = "Content.plist";
inline constexpr const char* kColumnsFile = "Columns.plist";
inline constexpr const char* kChecksumsFile = "Checksums.plist";
inline constexpr const char* kLayoutFile = "Layout.plist";
inline constexpr const char* kOldParametersFile = "Parameters.plist";
inline constexpr const char* kOldCommandsFile = "Commands.plist";
inline constexpr const char* kQuickLookFolder = "QuickLook";
inline constexpr const char* kPreviewFile = "Preview.png";
inline constexpr const char* kThumbnailFile = "Thumbnail.png";
inline constexpr const char* kConverterFile = "converter.c";
inline constexpr const char* kSvnFolder = ".svn";

// Content dictionary.
inline constexpr const char* kColumns = "Columns";
inline constexpr const char* kParameters = "Parameters";
inline constexpr const char* kCachedMergeLists = "Cached Merge Lists";
inline constexpr const char* kLargeCommandArea = "Large Command Area";
inline constexpr const char* kStyle = "Style";
inline constexpr const char* kCanvas = "Canvas";
inline constexpr const char* kCommands = "Commands";
inline constexpr const char* kDrawingViews = "Drawing Views";
inline constexpr const char* kCurrentGraph = "Current Graph";
inline constexpr const char* kDrawingSize = "Drawing Size";
inline constexpr const char* kWindowSize = "Window Size";
inline constexpr const char* kOrrelinVersion = "Orrelin version";
inline constexpr const char* kQuickTimeSettings = "QuickTime Settings";

// The document's fromFile dictionary.
inline constexpr const char* kContent = "Content";
inline constexpr const char* kData = "Data";
inline constexpr const char* kFileName = "File Name";
inline constexpr const char* kWorkTicket = "Work Ticket";
inline constexpr const char* kWorkTicketName = "Work Ticket Name";

// Tickets.
inline constexpr const char* kScript = "Script";
inline constexpr const char* kTicketParameters = "Parameters";
inline constexpr const char* kTicketColorSchemes = "Color Schemes";
inline constexpr const char* kTicketFileNames = "File Names";

// Parameter record and the older layout's "Layout.plist".
inline constexpr const char* kList = "List";
inline constexpr const char* kColumnNames = "Column Names";
inline constexpr std::array<const char*, 4> kLayoutParameterKeys = {"Loop Animation", "Animation Duration", "Animation",
                                                                    "Parameters Open"};

// Checksums of the previous save.
inline constexpr const char* kChecksumKey = "Columns.plist";

// Movie settings.
inline constexpr const char* kFramesPerSecond = "Frames Per Second";
inline constexpr const char* kCompressionNumber = "Compression Number";
inline constexpr const char* kTransparency = "Transparency";

// Graph envelope conversion of packages whose first command is the main axis.
inline constexpr const char* kCommandType = "Type";
inline constexpr const char* kMainAxis = "Main Axis";
inline constexpr const char* kStyleSettings = "Style Settings";
inline constexpr const char* kCanvasSettings = "Canvas Settings";
inline constexpr std::array<const char*, 6> kCanvasKeysFromMainAxis = {
    "Drawing Magnification", "Drawing Size", "Stacking Choice", "Drawing Size Method", "Title", "Title Font Style"};
inline constexpr const char* kAxisLabelsFontColor = "Axis Labels Font Color";
inline constexpr const char* kTitleFontColor = "Title Font Color";
inline constexpr std::array<const char*, 4> kSettingsShared = {"Title Font Style", "Number Font Style", "X Label Height",
                                                               "Y Label Width"};

// The command kinds a graph holds; a stored command of any other "Type" is
// dropped when the document is read.
inline constexpr std::array<std::string_view, 31> kCommandTypes = {
    "Style Settings", "Canvas Settings", "Main Axis", "Extra Axis",    "X Axis",         "Y Axis",  "Plot",
    "Plots",          "Scatter",         "Histogram", "Bars",          "Simple Bars",    "Fit",     "ND Fit",
    "Function",       "Label",           "Legend",    "Color Legend",  "Range",          "Zoom",    "Anchored Image",
    "Graphic",        "Multiple Lines",  "Lines",     "Connection",    "Box",            "Stock",   "Open",
    "Close",          "Text Block",      "Scalar Field"};

// The column kinds a table holds (the row numbers under both their names).
inline constexpr std::array<std::string_view, 17> kColumnTypes = {
    "Line Number",  "Row Number", "Ascii",        "String",         "Date",           "Binary",
    "Data Object String",         "Data Object Binary",             "Expression",     "String Expression",
    "Number from String",         "Plot Action",  "From Command",   "Open Collapser", "Close Collapser",
    "Divider",      "Text Block"};

// Document types.
inline constexpr const char* kOrrelinDocumentType = "Orrelin Document";
inline constexpr const char* kOrrelinTicketType = "Orrelin Ticket";
inline constexpr const char* kDataStoreDocumentType = "DataStore Document";
inline constexpr const char* kDataObjectFile = "DataObject.plist";

// Messages of saving.
inline constexpr const char* kColumnsFallback = "Needed to go to a fallback method to save columns.";
inline constexpr const char* kProblemAverted = "Serious problem averted.  Things should be OK, but please report.";
inline constexpr const char* kSeriousProblem =
    "Serious problem.  Somehow the data could not be saved.  Please see if a Save As action will work.  Somehow "
    "the destination file was not writeable.";
inline constexpr const char* kCouldNotSave = "Could not save";
inline constexpr const char* kErrorWhenSaving = "Error when saving";

// Messages of opening.
inline constexpr const char* kInvalidFile = "Trying to open an invalid file,";
inline constexpr const char* kCouldNotOpen = "Could not open the file \"%@\"";
inline constexpr const char* kCouldNotBeRead = "The content description inside the script \"%@\" could not be read";
inline constexpr const char* kTicketFileMissing = "Could not open the file %@";
inline constexpr const char* kColumnsDropped = "Column descriptions of an unknown kind were dropped: ";
inline constexpr const char* kCommandsDropped = "Graph commands of an unknown kind were dropped: ";
inline constexpr const char* kDataEntriesMismatch = "The column data does not match the column descriptions: ";

}  // namespace orrelin::document_text
