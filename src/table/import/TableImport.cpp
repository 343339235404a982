// The table's import operations: which reader a file goes to, and how
// already parsed columns are written.

#include <filesystem>
#include <new>

#include "datafiles/KRDataFile.h"
#include "platform/KRMessageCenter.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnBinary.h"
#include "table/import/ColumnWriting.h"
#include "table/import/ImportMessages.h"
#include "table/import/ImportProgress.h"
#include "table/import/ImportTargets.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/LineParser.h"
#include "table/import/NumberRecognition.h"
#include "table/import/OrrelinAsciiParser.h"
#include "table/import/RichTextReader.h"
#include "table/import/TextDecoding.h"
#include "table/import/TextFileReading.h"

namespace orrelin {

namespace text = import_text;

namespace {

void tell(const char* pattern, const std::string& path) {
  KRMessageCenter::addMessage(text::fillIn(pattern, fileNamePart(path)));
}

void tellCouldNotRead(const std::string& path, const std::string& reason) {
  KRMessageCenter::addMessage(text::fillIn(text::kCouldNotRead, fileNamePart(path)) + reason);
}

// The arrays of numbers of a binary data file, in file order, each under
// its variable name; texts are passed over.
std::optional<ParsedColumns> readBinaryDataFile(const std::string& path) {
  auto file = KRDataFile::openFileName(path);
  if (!file) return std::nullopt;  // the reader has said why
  ParsedColumns parsed;
  for (const std::string& name : file->variablesNames()) {
    if (file->isAString(name)) continue;
    auto values = file->readDoubleArray(name);
    if (!values) continue;
    auto mask = KRUCharArrayContainer::createArrayOfLength(values->length());
    if (!mask) continue;
    std::fill(mask->mutablePointer(), mask->mutablePointer() + mask->length(), std::uint8_t(1));
    parsed.columns.push_back(std::move(values));
    parsed.masks.push_back(std::move(mask));
    parsed.headers.push_back(name);
  }
  if (parsed.columns.empty()) {
    tell(text::kNoNumbersInBinaryFile, path);
    return std::nullopt;
  }
  return parsed;
}

std::optional<ParsedLines> parseTextOrRichText(const DataDocumentTable& table, const std::string& path,
                                               const std::string& ending,
                                               const std::optional<RowIndices>& overwriteColumns,
                                               long startAddingColumn, bool allowAddingColumns,
                                               KRDataFileProgress* progress, std::string& reason);

// The records of a text file: the plain text of rich text, or the file read
// in the encoding it turns out to have (UTF-8 in blocks, never held whole).
// A file whose columns do not fit into memory is reported and not read.
std::optional<ParsedLines> parseText(const DataDocumentTable& table, const std::string& path,
                                     const std::string& ending, const std::optional<RowIndices>& overwriteColumns,
                                     long startAddingColumn, bool allowAddingColumns, KRDataFileProgress* progress) {
  std::string reason;
  try {
    return parseTextOrRichText(table, path, ending, overwriteColumns, startAddingColumn, allowAddingColumns, progress,
                               reason);
  } catch (const std::bad_alloc&) {
    // Nothing has been written yet: the columns stay as they were.
    tellCouldNotRead(path, text::kTooLargeForMemory);
    return std::nullopt;
  }
}

std::optional<ParsedLines> parseTextOrRichText(const DataDocumentTable& table, const std::string& path,
                                               const std::string& ending,
                                               const std::optional<RowIndices>& overwriteColumns,
                                               long startAddingColumn, bool allowAddingColumns,
                                               KRDataFileProgress* progress, std::string& reason) {
  if (ending == "rtf" || ending == "rtfd") {
    const auto plain = plainTextOfRichTextFile(path, &reason);
    if (!plain) {
      tellCouldNotRead(path, reason);
      return std::nullopt;
    }
    return parseLines(table, KRBigTextFile::splitStringIntoLines(*plain), overwriteColumns, startAddingColumn,
                      allowAddingColumns, false, progress);
  }
  auto parsed = parseTextFile(table, path, overwriteColumns, startAddingColumn, allowAddingColumns, progress, &reason);
  if (!parsed && !reason.empty()) tellCouldNotRead(path, reason);
  return parsed;
}

bool isDataStoreObject(const std::string& path, const std::string& ending) {
  std::error_code ignored;
  return ending == "dobject" || (std::filesystem::is_directory(path, ignored) &&
                                 std::filesystem::exists(std::filesystem::path(path) / "DataObject.plist", ignored));
}

}  // namespace

RowIndices DataDocumentTable::displayedColumnIndexesExceptRowNumber() const {
  RowIndices positions;
  for (long k = 1; k < numberOfColumns(); ++k) positions.push_back(k);
  return positions;
}

bool DataDocumentTable::understandThisStringAsNumber(std::string_view text) { return understandsAsNumber(text); }

RowIndices DataDocumentTable::overwriteByImportingFile(const std::string& path, const RowIndices& overwriteColumns) {
  const std::string ending = lowerCaseEnding(path);
  if (ending == "mat") {
    tell(text::kMatlabNotSupported, path);
    return {};
  }
  if (ending == "mvbin") {
    auto parsed = readBinaryDataFile(path);
    RowIndices written;
    if (parsed) insertColumns(std::move(*parsed), overwriteColumns, false, written, false);
    return written;
  }
  auto parsed = parseText(*this, path, ending, overwriteColumns, -1, false, nullptr);
  // The file's text is gone before the columns read their texts.
  if (!parsed) return {};
  return writeParsedLines(*this, std::move(*parsed), -1, false);
}

bool DataDocumentTable::importAll(const std::string& path, const std::optional<RowIndices>& overwriteColumns,
                                  long startAddingColumn, bool binary, RowIndices& columnsWritten,
                                  ImportProgress* progress) {
  columnsWritten.clear();
  const std::string ending = lowerCaseEnding(path);
  const char* refusal = nullptr;
  if (isDataStoreObject(path, ending)) refusal = text::kDataObjectNotSupported;
  else if (ending == "nc") refusal = text::kNetCDFNotSupported;
  else if (ending == "qif") refusal = text::kQIFNotSupported;
  else if (ending == "cgd") refusal = text::kCricketGraphNotSupported;
  else if (ending == "cg") refusal = text::kOnlyCricketGraphData;
  else if (ending == "xls" || ending == "xlsx") refusal = text::kExcelFile;
  else if (ending == "orrel" || ending == "velar") refusal = text::kGraphFile;
  else if (ending == "mat") refusal = text::kMatlabNotSupported;
  if (refusal) {
    tell(refusal, path);
    return false;
  }
  if (ending == "mvbin") {
    auto parsed = readBinaryDataFile(path);
    return parsed && insertColumns(std::move(*parsed), overwriteColumns, true, columnsWritten, true);
  }
  if (binary && ending != "rtf" && ending != "rtfd") {
    if (progress) progress->setTitle(text::kImporting);
    std::string reason;
    OrrelinAsciiParser parser;
    auto parsed = parser.readFile(path, progress, &reason);
    if (!parsed) {
      if (reason.empty())
        tell(text::kImportAborted, path);
      else
        tellCouldNotRead(path, reason);
      return false;
    }
    return insertColumns(std::move(*parsed), overwriteColumns, true, columnsWritten, true);
  }
  if (progress) progress->setTitle(text::fillIn(text::kImportingFile, fileNamePart(path)));
  auto parsed = parseText(*this, path, ending, overwriteColumns, startAddingColumn, true, progress);
  if (parsed) columnsWritten = writeParsedLines(*this, std::move(*parsed), startAddingColumn, true);
  if (progress && progress->userAborted()) {
    tell(text::kImportAborted, path);
    return false;
  }
  return true;
}

bool DataDocumentTable::insertColumns(ParsedColumns columns, const std::optional<RowIndices>& overwriteColumns,
                                      bool createBinaryColumns, RowIndices& columnsWritten, bool recordUndo) {
  const ImportTargets targets = importTargets(*this, overwriteColumns, -1);
  const std::size_t count =
      createBinaryColumns ? columns.columns.size() : std::min(columns.columns.size(), targets.columns.size());
  long dropped = columns.droppedFields;
  for (std::size_t c = count; c < columns.columns.size(); ++c) dropped += columns.columns[c]->length();
  reportDroppedFields(dropped);
  auto owner = document();
  std::vector<ImportedColumn> written;
  for (std::size_t c = 0; c < count; ++c) {
    ImportedColumn imported;
    imported.isNew = c >= targets.columns.size();
    imported.column = imported.isNew ? VKDataColumnBinary::createEmptyFor(owner) : targets.columns[c];
    if (c < columns.headers.size()) imported.header = columns.headers[c];
    writeNumbers(*imported.column, std::move(columns.columns[c]), std::move(columns.masks[c]));
    written.push_back(std::move(imported));
  }
  columnsWritten = finishImport(*this, written, -1, recordUndo);
  return true;
}

}  // namespace orrelin
