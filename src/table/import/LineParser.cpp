// The line parser of the text import: separator, fields, header line and
// the columns the fields go to.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <thread>

#include "datafiles/KRDataFileProgress.h"
#include "numeric/LockedArrays.h"
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
#include "table/import/TextDecoding.h"
#include "table/import/TextFileReading.h"

namespace orrelin {

namespace {

// How often (in records) the progress is reported and the abort looked at.
constexpr long kProgressStride = 1 << 14;
// Up to this many columns, each gets room for a row per line at once.
constexpr std::size_t kReservedColumns = 64;
// The most fields of a record read in one pass (wider ones are split).
constexpr std::size_t kPlainWidth = 64;
// From this many lines on, the records are gathered on two threads.
constexpr std::size_t kParallelRecords = 1 << 16;
// The same for the lines of one block of a file read in blocks.
constexpr std::size_t kParallelBlockRecords = 1 << 12;

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

namespace {
const std::size_t kMostNumbers = std::size_t(kDoubleArrayInfo.maxLength);
}  // namespace

void GatheredNumbers::moveInto(std::size_t room) {
  auto array = KRDoubleArrayContainer::createArrayOfLength(long(room));
  if (!array) throw std::bad_alloc();
  double* data = array->mutableDoublePointer();
  std::copy_n(data_, size_, data);
  array_ = std::move(array);
  data_ = data;
  room_ = room;
}

void GatheredNumbers::reserve(std::size_t rows) {
  rows = std::min(rows, kMostNumbers);
  if (rows > room_) moveInto(rows);
}

void GatheredNumbers::makeRoomFor(std::size_t rows) {
  if (rows <= room_) return;
  moveInto(rows > kMostNumbers ? rows : std::max({rows, std::size_t(1024), std::min(kMostNumbers, room_ + room_ / 2)}));
}

void GatheredNumbers::resize(std::size_t rows, double value) {
  makeRoomFor(rows);
  if (rows > size_) std::fill(data_ + size_, data_ + rows, value);
  size_ = rows;
}

void GatheredNumbers::append(GatheredNumbers&& more) {
  makeRoomFor(size_ + more.size_);
  std::copy_n(more.data_, more.size_, data_ + size_);
  size_ += more.size_;
  more = GatheredNumbers();
}

std::shared_ptr<KRDoubleArrayContainer> GatheredNumbers::take() {
  auto array = std::move(array_);
  if (!array) array = KRDoubleArrayContainer::createArrayOfLength(0);
  else array->shortenInPlaceTo(long(size_));
  *this = GatheredNumbers();
  return array;
}

namespace {

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
void pushCell(CellTextStore& column, GatheredNumbers& numbers, std::string_view field) {
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

// The part of the whole import a run of records stands for, for the
// progress shown.
struct ProgressRange {
  KRDataFileProgress* progress = nullptr;
  double base = 0;
  double span = 1;
};

// Shows how far the records have come; true (and the gathering stopped)
// when the user stopped the import.
bool showProgress(Gathered& into, const FieldSplitter& splitter, std::size_t to, const ProgressRange& shown, long& sinceShown) {
  sinceShown = 0;
  shown.progress->setProgress(shown.base + shown.span * double(splitter.position()) / double(std::max<std::size_t>(to, 1)));
  if (!shown.progress->userAborted()) return false;
  into.stopped = true;
  return true;
}

// The columns from the first on that are coded, as many as a record read
// in one pass may fill.
std::size_t codedWidth(const Gathered& into, std::size_t widest) {
  std::size_t width = 0;
  while (width < std::min({into.texts.size(), widest, kPlainWidth}) && into.texts[width].coded()) ++width;
  return width;
}

std::size_t charactersOf(const ImportLines& lines, std::size_t from, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t k = from; k < from + count && k < lines.size(); ++k) characters += lines[k].size();
  return characters;
}

// Gathers the records of lines [from, to) into the columns, with room for
// `expectedRows` rows and `expectedCharacters` characters (shared among
// them) in the columns it starts. Stops early, with the splitter's position
// at its first line, at a record the lines end inside of.
void gather(Gathered& into, FieldSplitter& splitter, std::size_t from, std::size_t to, std::size_t widest,
            std::size_t expectedRows, std::size_t expectedCharacters, const ProgressRange& shown) {
  std::vector<std::string_view> fields;
  auto& texts = into.texts;
  splitter.startAt(from, to);
  // The characters still to come, shared evenly among the columns as a
  // first guess of their room.
  std::size_t charactersPerColumn = texts.empty() ? 0 : expectedCharacters / texts.size();
  long sinceShown = 0;
  // Columns known before the first record (from the header) get their room
  // here.
  startColumns(into, 0, texts.size(), texts.size() <= kReservedColumns ? expectedRows + 1 : 0, charactersPerColumn);
  // Records of plain numbers for the first, coded, columns are read in one
  // pass; every other record is split and its fields pushed one by one.
  std::uint8_t forms[kPlainWidth];
  double values[kPlainWidth];
  std::size_t plainWidth = codedWidth(into, widest);
  for (;;) {
    if (const std::size_t count = plainWidth ? splitter.readPlainNumbers(plainWidth, forms, values) : 0) {
      for (std::size_t c = 0; c < count; ++c) {
        if (long(texts[c].size()) < into.rows) padRows(into, c, std::size_t(into.rows));
        texts[c].pushForm(forms[c]);
        into.numbers[c].push_back(values[c]);
      }
      ++into.rows;
      if (shown.progress && ++sinceShown == kProgressStride && showProgress(into, splitter, to, shown, sinceShown)) return;
      continue;
    }
    if (!splitter.nextRecord(fields)) break;
    const std::size_t width = std::min(fields.size(), widest);
    into.dropped += long(fields.size() - width);
    if (texts.size() < width) {
      // Room for a row per line still to come, so the texts are not moved
      // again and again as a column grows.
      charactersPerColumn = expectedCharacters / width;
      startColumns(into, texts.size(), width, width <= kReservedColumns ? expectedRows + 1 : 0, charactersPerColumn);
      plainWidth = codedWidth(into, widest);
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
    if (shown.progress && ++sinceShown == kProgressStride && showProgress(into, splitter, to, shown, sinceShown)) return;
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
        auto& moreNumbers = more.numbers[c];
        moreNumbers.resize(more.texts[c].size(), std::nan(""));
        into.numbers[c].append(std::move(moreNumbers));
      }
      column.append(std::move(more.texts[c]));
    }
    padRows(into, c, std::size_t(into.rows + more.rows));
  }
  into.rows += more.rows;
  into.dropped += more.dropped;
}

// Lines of one text in a row (`inOneText`) are looked through in one
// search, from the first to the end of the last.
bool anyQuote(const ImportLines& lines, std::size_t from, bool inOneText) {
  if (from >= lines.size()) return false;
  if (inOneText) {
    const char* start = lines[from].data();
    const char* end = lines.back().data() + lines.back().size();
    return std::memchr(start, '"', std::size_t(end - start)) != nullptr;
  }
  for (std::size_t k = from; k < lines.size(); ++k)
    if (std::memchr(lines[k].data(), '"', lines[k].size())) return true;
  return false;
}

// What the first record of a text decides.
struct FirstRecord {
  SeparatorSet set = SeparatorSet::Whitespace;
  // The line the data records start at.
  std::size_t next = 0;
  // Fields dropped from the header line.
  long dropped = 0;
  // The line (counted from 1 in the lines given) of a quote in the header
  // line never closed.
  std::optional<std::size_t> unclosedQuoteLine;
};

// The separators and the header names from the lines, from `first` (a line
// that is not empty) on. False when the lines end inside the first record
// and more are to come.
bool readFirstRecord(ParsedLines& parsed, const ImportLines& lines, std::size_t first, bool knownToBeTab,
                     std::size_t widest, bool moreToCome, FirstRecord& record) {
  const ImportTargets& targets = parsed.targets;
  record.set = chooseSeparator(lines, first, {knownToBeTab, targets.hasDateOrText, true});
  // A splitter of its own: when the first record is data it is read again
  // with the rest.
  FieldSplitter splitter(lines, record.set, kMaximumImportedColumns);
  splitter.setMoreToCome(moreToCome);
  std::vector<std::string_view> fields;
  record.next = splitter.split(first, fields);
  if (splitter.incomplete()) return false;
  std::vector<std::string>& headers = parsed.headers;
  headers.clear();
  if (!isHeaderLine(fields, targets.columns)) {
    record.next = first;
    return true;
  }
  record.dropped = splitter.fieldsOverLimit();
  record.unclosedQuoteLine = splitter.unclosedQuoteLine();
  if (record.set == SeparatorSet::Whitespace && lines[first].find("   ") != std::string_view::npos)
    headers = splitAtThreeSpaces(lines[first]);
  else
    headers.assign(fields.begin(), fields.end());
  if (headers.size() > widest) {
    record.dropped += long(headers.size() - widest);
    headers.resize(widest);
  }
  return true;
}

// Sets up the gathered columns for the targets and the header.
void startGathering(ParsedLines& parsed) {
  Gathered& gathered = parsed.gathered;
  // Typed-in columns, and the new ones (typed-in too), take their numbers
  // straight from the fields.
  for (const auto& column : parsed.targets.columns)
    gathered.codedTargets.push_back(dynamic_cast<const VKDataColumnSpecified*>(column.get()) != nullptr);
  gathered.codedBeyondTargets = true;
  startColumns(gathered, 0, parsed.headers.size(), 0, 0);
}

// Gathers the records of lines [from, lines.size()), the second half on a
// thread of its own when there are at least `parallelFrom` lines and no
// quoted field can run from one half into the other. Stops early (see
// gather) at a record the lines end inside of; gives the line after the
// last record gathered.
std::size_t gatherLines(Gathered& gathered, FieldSplitter& splitter, SeparatorSet set, const ImportLines& lines,
                        bool inOneText, std::size_t from, std::size_t widest, std::size_t parallelFrom, std::size_t expectedRows,
                 std::size_t expectedCharacters, const ProgressRange& shown) {
  const std::size_t halfway = from + (lines.size() - from) / 2;
  if (lines.size() - from < parallelFrom || anyQuote(lines, from, inOneText)) {
    gather(gathered, splitter, from, lines.size(), widest, expectedRows, expectedCharacters, shown);
    return splitter.position();
  }
  Gathered second;
  second.codedTargets = gathered.codedTargets;
  second.codedBeyondTargets = gathered.codedBeyondTargets;
  {
    std::jthread worker([&] {
      FieldSplitter own(lines, set, kMaximumImportedColumns);
      gather(second, own, halfway, lines.size(), widest, lines.size() - halfway,
             charactersOf(lines, halfway, lines.size() - halfway), {});
    });
    gather(gathered, splitter, from, halfway, widest, expectedRows, expectedCharacters, shown);
  }
  append(gathered, std::move(second));
  return lines.size();
}

// The messages of a finished parse.
void tellAboutParse(std::optional<std::size_t> unclosedQuoteLine, long dropped) {
  if (unclosedQuoteLine)
    KRMessageCenter::addMessage(import_text::fillIn(import_text::kQuoteNeverClosed, std::to_string(*unclosedQuoteLine)));
  reportDroppedFields(dropped);
}

// From this many bytes on, the text waiting for the next block sets the size
// of the next read.
constexpr std::size_t kLongWait = std::size_t(1) << 20;

// The text of a UTF-8 file in blocks: the lines read so far that are known
// to be whole, and the bytes after them that the next block goes on.
class TextBlocks {
 public:
  enum class Step { Read, Failed, NotUTF8 };

  TextBlocks(BlockFileReader& file, std::size_t blockSize) : file_(file), blockSize_(std::max<std::size_t>(blockSize, 1)) {}

  // Reads the next block (a UTF-8 byte-order mark at the start is passed
  // over).
  Step readMore(std::string* error) {
    // Text that waits long (a line of many megabytes, a quote never closed)
    // is added to by as much as it holds, so that it is looked through again
    // only as often as it doubles.
    const std::size_t count = bytes_.size() > kLongWait ? std::max(blockSize_, bytes_.size()) : blockSize_;
    if (!file_.readInto(bytes_, count, error)) return Step::Failed;
    if (!markChecked_) {
      while (bytes_.size() < 3 && !file_.atEnd())
        if (!file_.readInto(bytes_, blockSize_, error)) return Step::Failed;
      markChecked_ = true;
      if (std::string_view(bytes_).starts_with("\xEF\xBB\xBF")) {
        bytes_.erase(0, 3);
        bytesBefore_ += 3;
      }
    }
    bool malformed = false;
    checked_ += wellFormedUTF8Length(std::string_view(bytes_).substr(checked_), malformed);
    if (malformed || (file_.atEnd() && checked_ != bytes_.size())) return Step::NotUTF8;
    split();
    return Step::Read;
  }
  bool atEnd() const { return file_.atEnd(); }
  const ImportLines& lines() const { return lines_; }
  // Lines before the first of lines().
  std::size_t linesBefore() const { return linesBefore_; }
  // How far into the file the lines go, from 0 to 1.
  double fractionRead() const {
    return file_.size() ? double(bytesBefore_ + whole_) / double(file_.size()) : 1.0;
  }
  double fractionBefore() const { return file_.size() ? double(bytesBefore_) / double(file_.size()) : 1.0; }
  // Bytes of the file.
  std::size_t fileSize() const { return file_.size(); }
  // Bytes of the whole lines.
  std::size_t wholeBytes() const { return whole_; }

  // Lets the lines before `line` go: the text goes on from there.
  void dropLinesBefore(std::size_t line) {
    const std::size_t from = line < lines_.size() ? std::size_t(lines_[line].data() - bytes_.data()) : whole_;
    bytes_.erase(0, from);
    bytesBefore_ += from;
    checked_ -= from;
    linesBefore_ += line;
    split();
  }

 private:
  // The lines that end before the last line end (at the end of the file,
  // all of them). A carriage return at the very end may be the first half
  // of a pair, so its line waits for the next block.
  void split() {
    std::size_t end = bytes_.size();
    if (!file_.atEnd()) {
      if (end && bytes_[end - 1] == '\r') --end;
      while (end && bytes_[end - 1] != '\n' && bytes_[end - 1] != '\r') --end;
    }
    whole_ = end;
    KRBigTextFile::splitStringIntoLines(std::string_view(bytes_).substr(0, end), lines_);
  }

  BlockFileReader& file_;
  std::size_t blockSize_;
  std::string bytes_;
  ImportLines lines_;
  std::size_t whole_ = 0;
  std::size_t checked_ = 0;
  std::size_t linesBefore_ = 0;
  std::size_t bytesBefore_ = 0;
  bool markChecked_ = false;
};

// Below this many bytes in the first lines, the size of the file's rows is
// not guessed from them.
constexpr std::size_t kEnoughForAGuess = 1 << 16;

}  // namespace

std::optional<ParsedLines> parseLines(const DataDocumentTable& table, const ImportLines& lines,
                                      const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                      bool allowAddingColumns, bool knownToBeTab, KRDataFileProgress* progress) {
  std::size_t first = 0;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first == lines.size()) return std::nullopt;

  ParsedLines parsed;
  parsed.targets = importTargets(table, overwriteColumns, startAddingColumn);
  // Beyond the targets, fields go to new columns or nowhere.
  const std::size_t widest = allowAddingColumns ? kMaximumImportedColumns : parsed.targets.columns.size();
  FirstRecord record;
  readFirstRecord(parsed, lines, first, knownToBeTab, widest, false, record);
  startGathering(parsed);
  FieldSplitter splitter(lines, record.set, kMaximumImportedColumns);
  const std::size_t rows = lines.size() - record.next;
  gatherLines(parsed.gathered, splitter, record.set, lines, false, record.next, widest, kParallelRecords, rows,
              charactersOf(lines, record.next, rows), {progress});
  if (parsed.gathered.stopped) return std::nullopt;
  tellAboutParse(record.unclosedQuoteLine ? record.unclosedQuoteLine : splitter.unclosedQuoteLine(),
                 record.dropped + parsed.gathered.dropped);
  if (progress) progress->setProgress(1);
  return parsed;
}

std::optional<ParsedLines> parseTextFile(const DataDocumentTable& table, const std::string& path,
                                         const std::optional<RowIndices>& overwriteColumns, long startAddingColumn,
                                         bool allowAddingColumns, KRDataFileProgress* progress, std::string* error,
                                         std::size_t blockSize, bool* readInBlocks) {
  if (readInBlocks) *readInBlocks = true;
  BlockFileReader file;
  if (!file.open(path, error)) return std::nullopt;
  // Text that is not UTF-8 is decoded as a whole first.
  const auto wholeText = [&]() -> std::optional<ParsedLines> {
    if (readInBlocks) *readInBlocks = false;
    auto bytes = readWholeFile(path, error);
    if (!bytes) return std::nullopt;
    const std::string text = decodeText(std::move(*bytes)).text;
    return parseLines(table, KRBigTextFile::splitStringIntoLines(text), overwriteColumns, startAddingColumn,
                      allowAddingColumns, false, progress);
  };
  TextBlocks text(file, blockSize);
  bool failed = false, notUTF8 = false;
  const auto readMore = [&] {
    switch (text.readMore(error)) {
      case TextBlocks::Step::Read: return true;
      case TextBlocks::Step::Failed: failed = true; return false;
      case TextBlocks::Step::NotUTF8: notUTF8 = true; return false;
    }
    return false;
  };

  ParsedLines parsed;
  parsed.targets = importTargets(table, overwriteColumns, startAddingColumn);
  const std::size_t widest = allowAddingColumns ? kMaximumImportedColumns : parsed.targets.columns.size();
  FirstRecord record;
  // Enough of the text for the separators and the first record.
  for (;;) {
    if (!readMore()) break;
    const ImportLines& lines = text.lines();
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    if (first == lines.size()) {
      if (text.atEnd()) return std::nullopt;
      text.dropLinesBefore(first);
      continue;
    }
    if (!text.atEnd() && !separatorWindowComplete(lines, first)) continue;
    if (!readFirstRecord(parsed, lines, first, false, widest, !text.atEnd(), record)) continue;
    if (record.unclosedQuoteLine) *record.unclosedQuoteLine += text.linesBefore();
    text.dropLinesBefore(record.next);
    break;
  }
  if (notUTF8) return wholeText();
  if (failed) return std::nullopt;

  startGathering(parsed);
  Gathered& gathered = parsed.gathered;
  // Room for the rows of the whole file, guessed from the first lines: a
  // guess too large costs only address space, since the pages are not
  // touched; one too small lets the columns grow.
  std::size_t expectedRows = 0, expectedCharacters = 0;
  const std::size_t sample = text.wholeBytes();
  if (sample >= kEnoughForAGuess || text.atEnd()) {
    const double factor = sample ? double(text.fileSize()) / double(sample) : 1.0;
    expectedRows = std::size_t(double(text.lines().size()) * factor * 1.05) + 16;
    expectedCharacters = text.fileSize();
  }
  std::optional<std::size_t> unclosedQuoteLine = record.unclosedQuoteLine;
  for (;;) {
    const ImportLines& lines = text.lines();
    FieldSplitter splitter(lines, record.set, kMaximumImportedColumns);
    splitter.setMoreToCome(!text.atEnd());
    const double before = text.fractionBefore();
    const std::size_t done = gatherLines(gathered, splitter, record.set, lines, true, 0, widest, kParallelBlockRecords,
                                         expectedRows, expectedCharacters, {progress, before, text.fractionRead() - before});
    if (gathered.stopped) return std::nullopt;
    if (progress) {
      progress->setProgress(text.fractionRead());
      if (progress->userAborted()) return std::nullopt;
    }
    if (!unclosedQuoteLine && splitter.unclosedQuoteLine())
      unclosedQuoteLine = *splitter.unclosedQuoteLine() + text.linesBefore();
    if (text.atEnd()) break;
    text.dropLinesBefore(done);
    if (!readMore()) break;
  }
  // A file that is not UTF-8 further on is read again as a whole; the
  // columns have not been touched yet.
  if (notUTF8) return wholeText();
  if (failed) return std::nullopt;
  tellAboutParse(unclosedQuoteLine, record.dropped + gathered.dropped);
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
      typedIn->takeCellsInForms(std::move(texts[c]), parsed.gathered.numbers[c].take());
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
