// The line parser of the text import: separator, fields, header line and
// the columns the fields go to.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <thread>

#include "datafiles/KRDataFileProgress.h"
#include "platform/KRMessageCenter.h"
#include "table/DataDocumentTable.h"
#include "table/VKDataColumnDate.h"
#include "table/NumberForms.h"
#include "table/VKDataColumnSpecified.h"
#include "table/import/ColumnWriting.h"
#include "table/import/FieldSplitter.h"
#include "table/import/ImportMessages.h"
#include "table/import/ImportTargets.h"
#include "table/import/LineParser.h"
#include "table/import/NumberRecognition.h"

namespace orrelin {

namespace {

// How often (in records) the progress is reported and the abort looked at.
constexpr long kProgressStride = 1 << 14;
// Up to this many columns, each gets room for a row per line at once.
constexpr std::size_t kReservedColumns = 64;
// From this many lines on, the records are gathered on two threads.
constexpr std::size_t kParallelRecords = 1 << 16;

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

// Makes columns [from, to) of the gathered ones, each with room for `rows`
// rows and `characters` characters.
void startColumns(Gathered& into, std::size_t from, std::size_t to, std::size_t rows, std::size_t characters) {
  into.texts.resize(std::max(into.texts.size(), to));
  into.numbers.resize(into.texts.size());
  for (std::size_t c = from; c < to; ++c) {
    CellTextStore& column = into.texts[c];
    if (!column.empty()) continue;
    const bool coded = c < into.codedTargets.size() ? bool(into.codedTargets[c]) : into.codedBeyondTargets;
    if (coded) {
      column.code();
      if (rows) into.numbers[c].reserve(rows);
    }
    // A coded column keeps hardly any characters when its fields are
    // numbers in forms; it grows when they are not.
    if (rows) column.reserve(rows, coded ? characters / 16 : characters);
  }
}

// A field of a coded column: held in its form with its number when it has
// one, kept otherwise.
void pushCell(CellTextStore& column, std::vector<double>& numbers, std::string_view field) {
  double value = 0;
  const std::uint8_t form = number_forms::readInForm(field, value);
  if (form >= number_forms::kFixed) {
    column.pushForm(form);
    numbers.push_back(value);
    return;
  }
  column.push_back(field);
  numbers.push_back(std::nan(""));
}

void padRows(Gathered& into, std::size_t c, std::size_t rows) {
  into.texts[c].resize(rows);
  if (into.texts[c].coded()) into.numbers[c].resize(rows, std::nan(""));
}

// Gathers the records of lines [from, to) into the columns, with room for
// `expectedRows` rows in the columns it starts.
void gather(Gathered& into, FieldSplitter& splitter, std::size_t from, std::size_t to, std::size_t widest,
            std::size_t expectedRows, KRDataFileProgress* progress) {
  std::vector<std::string_view> fields;
  auto& texts = into.texts;
  splitter.startAt(from, to);
  // The characters of the lines still to come, shared evenly among the
  // columns as a first guess of their room.
  std::size_t characters = 0;
  for (std::size_t k = from; k < from + expectedRows && k < splitter.lineCount(); ++k)
    characters += splitter.lineLength(k);
  std::size_t charactersPerColumn = texts.empty() ? 0 : characters / texts.size();
  // Columns known before the first record (from the header) get their room
  // here.
  startColumns(into, 0, texts.size(), texts.size() <= kReservedColumns ? expectedRows + 1 : 0, charactersPerColumn);
  while (splitter.nextRecord(fields)) {
    const std::size_t width = std::min(fields.size(), widest);
    into.dropped += long(fields.size() - width);
    if (texts.size() < width) {
      // Room for a row per line still to come, so the texts are not moved
      // again and again as a column grows.
      charactersPerColumn = characters / width;
      startColumns(into, texts.size(), width, width <= kReservedColumns ? expectedRows + 1 : 0, charactersPerColumn);
    }
    for (std::size_t c = 0; c < width; ++c) {
      CellTextStore& column = texts[c];
      // A column first met on this record, or skipped by short records,
      // has empty rows up to here.
      if (long(column.size()) < into.rows) padRows(into, c, std::size_t(into.rows));
      if (column.coded())
        pushCell(column, into.numbers[c], fields[c]);
      else
        column.push_back(fields[c]);
    }
    ++into.rows;
    if (progress && into.rows % kProgressStride == 0) {
      progress->setProgress(double(splitter.position()) / double(to));
      if (progress->userAborted()) {
        into.stopped = true;
        return;
      }
    }
  }
  into.dropped += splitter.fieldsOverLimit();
  for (std::size_t c = 0; c < texts.size(); ++c) padRows(into, c, std::size_t(into.rows));
}

void append(Gathered& into, Gathered&& more) {
  if (into.texts.size() < more.texts.size()) startColumns(into, into.texts.size(), more.texts.size(), 0, 0);
  for (std::size_t c = 0; c < into.texts.size(); ++c) {
    auto& column = into.texts[c];
    padRows(into, c, std::size_t(into.rows));
    if (c < more.texts.size()) {
      // Column by column, so the two halves are not held twice.
      if (column.coded()) {
        auto& numbers = into.numbers[c];
        auto& moreNumbers = more.numbers[c];
        moreNumbers.resize(more.texts[c].size(), std::nan(""));
        numbers.insert(numbers.end(), moreNumbers.begin(), moreNumbers.end());
        std::vector<double>().swap(moreNumbers);
      }
      column.append(std::move(more.texts[c]));
    }
    padRows(into, c, std::size_t(into.rows + more.rows));
  }
  into.rows += more.rows;
  into.dropped += more.dropped;
}

bool anyQuote(const ImportLines& lines, std::size_t from) {
  for (std::size_t k = from; k < lines.size(); ++k)
    if (std::memchr(lines[k].data(), '"', lines[k].size())) return true;
  return false;
}

}  // namespace

std::optional<ParsedLines> parseLines(const DataDocumentTable& table, const ImportLines& lines,
                                      const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                      bool allowAddingColumns, bool knownToBeTab, KRDataFileProgress* progress) {
  std::size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size()) return std::nullopt;

  ParsedLines parsed;
  parsed.targets = importTargets(table, overwriteColumns, startAddingColumn);
  const ImportTargets& targets = parsed.targets;
  const SeparatorSet set = chooseSeparator(lines, first, {knownToBeTab, targets.hasDateOrText, true});
  FieldSplitter splitter(lines, set, kMaximumImportedColumns);
  std::vector<std::string_view> fields;
  // Beyond the targets, fields go to new columns or nowhere.
  const std::size_t widest = allowAddingColumns ? kMaximumImportedColumns : targets.columns.size();
  long dropped = 0;

  // The first record, on a splitter of its own: when it is data it is read
  // again with the rest.
  FieldSplitter firstRecord(lines, set, kMaximumImportedColumns);
  std::size_t next = firstRecord.split(first, fields);
  std::vector<std::string>& headers = parsed.headers;
  const bool firstIsHeader = isHeaderLine(fields, targets.columns);
  if (firstIsHeader) {
    dropped += firstRecord.fieldsOverLimit();
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

  Gathered& gathered = parsed.gathered;
  // Typed-in columns, and the new ones (typed-in too), take their numbers
  // straight from the fields.
  for (const auto& column : targets.columns)
    gathered.codedTargets.push_back(dynamic_cast<const VKDataColumnSpecified*>(column.get()) != nullptr);
  gathered.codedBeyondTargets = true;
  startColumns(gathered, 0, headers.size(), 0, 0);
  const std::size_t halfway = next + (lines.size() - next) / 2;
  if (lines.size() - next >= kParallelRecords && !anyQuote(lines, next)) {
    // No quoted field can run from one half into the other: the second half
    // is gathered on a thread of its own.
    Gathered second;
    second.codedTargets = gathered.codedTargets;
    second.codedBeyondTargets = gathered.codedBeyondTargets;
    {
      std::jthread worker([&] {
        FieldSplitter own(lines, set, kMaximumImportedColumns);
        gather(second, own, halfway, lines.size(), widest, lines.size() - halfway, nullptr);
      });
      gather(gathered, splitter, next, halfway, widest, lines.size() - next, progress);
    }
    append(gathered, std::move(second));
  } else {
    gather(gathered, splitter, next, lines.size(), widest, lines.size() - next, progress);
  }
  if (gathered.stopped) return std::nullopt;
  auto unclosed = splitter.unclosedQuoteLine();
  if (firstIsHeader && firstRecord.unclosedQuoteLine()) unclosed = firstRecord.unclosedQuoteLine();
  if (auto line = unclosed)
    KRMessageCenter::addMessage(import_text::fillIn(import_text::kQuoteNeverClosed, std::to_string(*line)));
  reportDroppedFields(dropped + gathered.dropped);
  if (progress) progress->setProgress(1);
  return parsed;
}

RowIndices writeParsedLines(DataDocumentTable& table, ParsedLines parsed, long startAddingColumn, bool recordUndo) {
  std::vector<ImportedColumn> written;
  auto owner = table.document();
  auto& texts = parsed.gathered.texts;
  for (std::size_t c = 0; c < texts.size(); ++c) {
    padRows(parsed.gathered, c, std::size_t(parsed.gathered.rows));
    ImportedColumn imported;
    imported.isNew = c >= parsed.targets.columns.size();
    imported.column = imported.isNew ? VKDataColumnSpecified::createEmptyFor(owner) : parsed.targets.columns[c];
    if (c < parsed.headers.size()) imported.header = parsed.headers[c];
    auto* typedIn = dynamic_cast<VKDataColumnSpecified*>(imported.column.get());
    if (texts[c].coded() && typedIn) {
      typedIn->takeCellsInForms(std::move(texts[c]), parsed.gathered.numbers[c]);
      std::vector<double>().swap(parsed.gathered.numbers[c]);
    } else {
      // A coded store goes only to a typed-in column.
      writeTexts(*imported.column, std::move(texts[c]));
    }
    written.push_back(std::move(imported));
  }
  return finishImport(table, written, startAddingColumn, recordUndo);
}

RowIndices DataDocumentTable::insertLines(const std::vector<std::string_view>& lines,
                                          const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                          bool allowAddingColumns, bool knownToBeTab, bool recordUndo,
                                          KRDataFileProgress* progress) {
  auto parsed = parseLines(*this, lines, overwriteColumns, startAddingColumn, allowAddingColumns, knownToBeTab, progress);
  if (!parsed) return {};
  return writeParsedLines(*this, std::move(*parsed), startAddingColumn, recordUndo);
}

}  // namespace orrelin
