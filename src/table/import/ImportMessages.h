#pragma once
// The texts of the text import: messages, progress titles and the keys of
// the parallel parser's records, kept in one place because several files use
// them. "%@" stands for a file name.

namespace orrelin::import_text {

// Refusals of the interactive import.
inline constexpr const char* kOnlyCricketGraphData = "Only support CricketGraph data files";
inline constexpr const char* kExcelFile =
    "The file \"%@\" is an Excel file. At this point, Orrelin can not import an Excel worksheet, and the "
    "recommended method is to open it in Excel, Numbers, Open Office etc and either copy from there or export it as "
    "a csv file that you then import into Orrelin.";
inline constexpr const char* kGraphFile = "The file \"%@\" is a graph file, not a data file.";

// Progress titles.
inline constexpr const char* kImportingFile = "Importing %@";
inline constexpr const char* kImporting = "Importing";

// Readers this system does not have yet.
inline constexpr const char* kMatlabNotSupported = "Reading the MATLAB file \"%@\" is not supported yet.";
inline constexpr const char* kNetCDFNotSupported = "Reading the netCDF file \"%@\" is not supported yet.";
inline constexpr const char* kQIFNotSupported = "Reading the QIF file \"%@\" is not supported yet.";
inline constexpr const char* kDataObjectNotSupported = "Importing the data-store object \"%@\" is not supported yet.";
inline constexpr const char* kCricketGraphNotSupported =
    "Converting the CricketGraph data file \"%@\" is not supported yet.";

// Reading problems.
inline constexpr const char* kCouldNotRead = "Could not read the file \"%@\": ";
inline constexpr const char* kFileChangedWhileRead = "the file changed while it was read";
inline constexpr const char* kTooLargeForMemory = "its columns do not fit into memory";
inline constexpr const char* kNoTextInRichText = "The rich text file \"%@\" holds no readable text.";
inline constexpr const char* kNoNumbersInBinaryFile = "The data file \"%@\" holds no arrays of numbers.";
inline constexpr const char* kQuoteNeverClosed =
    "A quoted field that starts on line %ld is never closed; it runs to the end of the text.";
inline constexpr const char* kFieldsDropped = "%ld fields beyond the last column to fill were not imported.";
inline constexpr const char* kImportAborted = "The import of \"%@\" was stopped; the columns are as they were.";

// Undo.
inline constexpr const char* kUndoColumnNames = "Column Names";

// The parallel parser's chunk records and results.
inline constexpr const char* kStart = "Start";
inline constexpr const char* kEnd = "End";
inline constexpr const char* kFileName = "File Name";
inline constexpr const char* kPutInto = "Put Into";
inline constexpr const char* kLock = "Lock";
inline constexpr const char* kColumns = "Columns";
inline constexpr const char* kMasks = "Masks";
inline constexpr const char* kHeaders = "Headers";

}  // namespace orrelin::import_text

#include <string>
#include <string_view>

namespace orrelin::import_text {

// The pattern with its first "%@" (or "%ld") replaced by the text.
inline std::string fillIn(std::string_view pattern, std::string_view text) {
  std::string result(pattern);
  for (std::string_view mark : {std::string_view("%@"), std::string_view("%ld")}) {
    if (const auto at = result.find(mark); at != std::string::npos) {
      result.replace(at, mark.size(), text);
      break;
    }
  }
  return result;
}

}  // namespace orrelin::import_text
