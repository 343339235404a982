// The line parser of the text import: separator, fields, header line and
// the columns the fields go to.

#include <algorithm>

#include "datafiles/KRDataFileProgress.h"
#include "platform/KRMessageCenter.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnSpecified.h"
#include "table/import/ColumnWriting.h"
#include "table/import/FieldSplitter.h"
#include "table/import/ImportMessages.h"
#include "table/import/ImportTargets.h"
#include "table/import/NumberRecognition.h"

namespace orrelin {

namespace {

// How often (in records) the progress is reported and the abort looked at.
constexpr long kProgressStride = 1 << 14;

// Whether a field reads as a value of the column it goes to (none: a new
// column, which reads numbers).
bool understoodAsValue(std::string_view field, const OrrelinColumn* column) {
  if (column && column->isDateColumn()) {
    const auto* date = dynamic_cast<const VKDataColumnDate*>(column);
    return date && date->understandsString(std::string(field));
  }
  if (column && column->isStringColumn()) return false;
  return understandsAsNumber(field);
}

bool isHeaderLine(const std::vector<std::string_view>& fields, const std::vector<ColumnPtr>& targets) {
  for (std::size_t k = 0; k < fields.size(); ++k)
    if (understoodAsValue(fields[k], k < targets.size() ? targets[k].get() : nullptr)) return false;
  return true;
}

// Names separated by runs of three or more spaces, so that a name may hold
// single spaces.
std::vector<std::string> splitAtThreeSpaces(std::string_view line) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t gap = line.find("   ", at);
    if (gap == std::string_view::npos) gap = line.size();
    std::string_view name = line.substr(at, gap - at);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (!name.empty()) names.emplace_back(name);
    at = gap;
    while (at < line.size() && line[at] == ' ') ++at;
  }
  return names;
}

}  // namespace

RowIndices DataDocumentTable::insertLines(const std::vector<std::string_view>& lines,
                                          const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                          bool allowAddingColumns, bool knownToBeTab, bool recordUndo,
                                          KRDataFileProgress* progress) {
  std::size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size()) return {};

  const ImportTargets targets = importTargets(*this, overwriteColumns, startAddingColumn);
  const SeparatorSet set = chooseSeparator(lines, first, {knownToBeTab, targets.hasDateOrText, true});
  FieldSplitter splitter(lines, set);
  std::vector<std::string_view> fields;
  // Beyond the targets, fields go to new columns or nowhere.
  const std::size_t widest = allowAddingColumns ? SIZE_MAX : targets.columns.size();
  long dropped = 0;

  std::size_t next = splitter.split(first, fields);
  std::vector<std::string> headers;
  if (isHeaderLine(fields, targets.columns)) {
    if (set == SeparatorSet::Whitespace && lines[first].find("   ") != std::string_view::npos)
      headers = splitAtThreeSpaces(lines[first]);
    else
      headers.assign(fields.begin(), fields.end());
    if (headers.size() > widest) {
      dropped += long(headers.size() - widest);
      headers.resize(widest);
    }
  } else {
    next = first;
  }

  std::vector<std::vector<std::string>> texts(headers.size());
  long rows = 0;
  for (std::size_t k = next; k < lines.size();) {
    if (lines[k].empty()) {
      ++k;
      continue;
    }
    k = splitter.split(k, fields);
    if (fields.empty()) continue;
    const std::size_t width = std::min(fields.size(), widest);
    dropped += long(fields.size() - width);
    if (texts.size() < width) texts.resize(width);
    for (std::size_t c = 0; c < width; ++c) {
      std::vector<std::string>& column = texts[c];
      // A column first met on this record, or skipped by short records,
      // has empty rows up to here.
      if (long(column.size()) < rows) column.resize(std::size_t(rows));
      column.emplace_back(fields[c]);
    }
    ++rows;
    if (progress && rows % kProgressStride == 0) {
      progress->setProgress(double(k) / double(lines.size()));
      if (progress->userAborted()) return {};
    }
  }
  if (auto line = splitter.unclosedQuoteLine())
    KRMessageCenter::addMessage(import_text::fillIn(import_text::kQuoteNeverClosed, std::to_string(*line)));
  reportDroppedFields(dropped);

  std::vector<ImportedColumn> written;
  auto owner = std::dynamic_pointer_cast<TableDocument>(document());
  for (std::size_t c = 0; c < texts.size(); ++c) {
    texts[c].resize(std::size_t(rows));
    ImportedColumn imported;
    imported.isNew = c >= targets.columns.size();
    imported.column = imported.isNew ? VKDataColumnSpecified::createEmptyFor(owner) : targets.columns[c];
    if (c < headers.size()) imported.header = headers[c];
    writeTexts(*imported.column, std::move(texts[c]));
    written.push_back(std::move(imported));
  }
  if (progress) progress->setProgress(1);
  return finishImport(*this, written, startAddingColumn, recordUndo);
}

}  // namespace orrelin
