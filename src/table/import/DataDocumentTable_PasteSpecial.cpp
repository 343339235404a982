#include "table/import/DataDocumentTable_PasteSpecial.h"

#include <functional>

#include "table/import/FieldSplitter.h"
#include "table/import/ImportTargets.h"

namespace orrelin {

namespace {

constexpr long kProgressStride = 1 << 12;

// Calls take with the fields of each record; false when the user stopped.
bool forEachRecord(const ImportLines& lines, bool allowComma, KRDataFileProgress* progress,
                   const std::function<void(const std::vector<std::string_view>&)>& take) {
  std::size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size()) return true;
  SeparatorChoiceOptions options;
  options.allowComma = allowComma;
  FieldSplitter splitter(lines, chooseSeparator(lines, first, options), kMaximumImportedColumns);
  splitter.startAt(first);
  std::vector<std::string_view> fields;
  long records = 0;
  while (splitter.nextRecord(fields)) {
    take(fields);
    if (progress && ++records % kProgressStride == 0) {
      progress->setProgress(double(splitter.position()) / double(lines.size()));
      if (progress->userAborted()) return false;
    }
  }
  return true;
}

}  // namespace

DataDocumentTable_PasteSpecial::TextColumns DataDocumentTable_PasteSpecial::convertLinesToColumns(
    const ImportLines& lines, bool allowComma, KRDataFileProgress* progress) {
  TextColumns columns;
  std::size_t rows = 0;
  const bool done = forEachRecord(lines, allowComma, progress, [&](const std::vector<std::string_view>& fields) {
    if (columns.size() < fields.size()) columns.resize(fields.size());
    for (std::size_t c = 0; c < fields.size(); ++c) {
      columns[c].resize(rows);
      columns[c].emplace_back(fields[c]);
    }
    ++rows;
  });
  if (!done) return {};
  for (auto& column : columns) column.resize(rows);
  return columns;
}

DataDocumentTable_PasteSpecial::TextColumns DataDocumentTable_PasteSpecial::convertEachLineToColumn(
    const ImportLines& lines, bool allowComma, KRDataFileProgress* progress) {
  TextColumns columns;
  const bool done = forEachRecord(lines, allowComma, progress, [&](const std::vector<std::string_view>& fields) {
    columns.emplace_back(fields.begin(), fields.end());
  });
  if (!done) return {};
  return columns;
}

}  // namespace orrelin
