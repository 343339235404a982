#include "table/VKDataColumnDate.h"

#include <algorithm>
#include <cmath>

#include "graph/dependency/VKOperationQueue.h"
#include "platform/DateFormatting.h"
#include "table/CellText.h"
#include "table/ColumnFiles.h"
#include "table/DataDocumentTable.h"
#include "table/TableMessages.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

namespace orrelin {

namespace text = table_text;
namespace dates = date_text;

namespace {

// The keys a format dictionary may have, which descriptions may also list
// loose.
constexpr const char* kFormatKeys[] = {dates::kDateAndYear,  dates::kICUFormat,   dates::kDate,
                                       dates::kICUDayFormat, dates::kTime,        dates::kStartingDate,
                                       dates::kTimeScale,    dates::kYear,        dates::kDayForTime,
                                       dates::kLocalization};

bool isFormatKey(const std::string& key) {
  return std::find(std::begin(kFormatKeys), std::end(kFormatKeys), key) != std::end(kFormatKeys);
}

bool isBlank(std::string_view entry) {
  return std::all_of(entry.begin(), entry.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// The entries read by the reader, shared among the processors when there
// are enough of them. Each entry is read on its own, so the split does not
// change any value.
NumberRows readShared(const DateReader& reader, const std::vector<std::string>& entries) {
  const std::size_t count = entries.size();
  auto values = KRDoubleArrayContainer::createArrayOfLength(long(count));
  auto mask = KRUCharArrayContainer::createArrayOfLength(long(count));
  double* valuePointer = values->mutableDoublePointer();
  std::uint8_t* maskPointer = mask->mutablePointer();
  const VKOperationQueue& queue = VKOperationQueue::shared();
  const std::size_t threads = queue.threadLimit();
  if (count < VKDataColumnDate::kEntriesWorthSharing || threads < 2) {
    reader.readEntries(entries.data(), count, valuePointer, maskPointer);
  } else {
    // A few pieces per thread, so that one slow piece does not hold up the rest.
    const std::size_t pieces = threads * 4;
    const std::size_t size = (count + pieces - 1) / pieces;
    std::vector<std::shared_ptr<VKOperation>> operations;
    for (std::size_t first = 0; first < count; first += size) {
      const std::size_t length = std::min(size, count - first);
      operations.push_back(VKOperation::withCall([&, first, length] {
        reader.readEntries(entries.data() + first, length, valuePointer + first, maskPointer + first);
      }));
    }
    queue.performOperations(operations);
  }
  return NumberRows::adopt(std::move(values), std::move(mask));
}

}  // namespace

VKDataColumnDate::VKDataColumnDate() = default;

std::shared_ptr<VKDataColumnDate> VKDataColumnDate::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnDate>(document);
}

std::string VKDataColumnDate::type() const { return text::kTypeDate; }

// Format

PlistDictionary VKDataColumnDate::storedFormat() const {
  const PropertyList* stored = setting(dates::kFormat);
  if (stored && stored->isDictionary()) return stored->dictionary();
  PlistDictionary format;
  for (const char* key : kFormatKeys)
    if (const PropertyList* value = setting(key)) format[key] = *value;
  if (stored && stored->isString()) {
    // An older document's pattern text; only the language comes from the
    // loose keys.
    PlistDictionary fromPattern = formatForStoredPattern(stored->string());
    if (auto language = format.find(dates::kLocalization); language != format.end())
      fromPattern[dates::kLocalization] = language->second;
    return fromPattern;
  }
  return format;
}

PlistDictionary VKDataColumnDate::format() const { return storedFormat(); }

void VKDataColumnDate::setFormat(const PlistDictionary& format) {
  applyingFormat_ = true;
  for (const char* key : kFormatKeys) removeSetting(key);
  setSetting(dates::kFormat, format);
  setSetting(dates::kDateType, int(dateKindOf(format)));
  applyingFormat_ = false;
  formatChanged();
  columnChanged();
}

void VKDataColumnDate::setDateFormat(const std::string& pattern) {
  PlistDictionary format{{dates::kICUFormat, pattern}};
  const PlistDictionary current = storedFormat();
  if (auto language = current.find(dates::kLocalization); language != current.end())
    format[dates::kLocalization] = language->second;
  setFormat(format);
}

void VKDataColumnDate::setLocalization(PlistDictionary& format, int tag) { format[dates::kLocalization] = tag; }

void VKDataColumnDate::settingChanged(const std::string& name) {
  if (applyingFormat_) return;
  if (name == dates::kFormat || isFormatKey(name)) {
    formatChanged();
    columnChanged();
  } else if (name == dates::kDisplayFormat) {
    displaySerial_ = -1;
  }
}

const DateReader& VKDataColumnDate::reader() const {
  std::lock_guard guard(readerLock_);
  if (!reader_) reader_ = readerForFormat(storedFormat());
  return *reader_;
}

void VKDataColumnDate::formatChanged() {
  {
    std::lock_guard guard(readerLock_);
    reader_.reset();
  }
  valuesUpToDate_ = false;
  valueFile_.sameAsData = false;
  displaySerial_ = -1;
}

std::string VKDataColumnDate::localeName() const {
  // A column whose format cannot be used still shows its dates, in English
  // when its language is unknown too.
  if (const std::string& locale = reader().locale; !locale.empty()) return locale;
  const PlistDictionary current = storedFormat();
  const auto language = current.find(dates::kLocalization);
  std::optional<std::string> locale;
  if (language != current.end() && language->second.isNumber())
    locale = localeForLocalizationTag(language->second.integer());
  return locale.value_or(*localeForLocalizationTag(kDefaultLocalization));
}

// Values

void VKDataColumnDate::readAllValues() {
  values_ = readShared(reader(), stringVersion_.toVector());
  valuesUpToDate_ = true;
}

const NumberRows& VKDataColumnDate::currentValues() {
  if (!valuesUpToDate_) readAllValues();
  return values_;
}

std::shared_ptr<const KRDoubleArrayContainer> VKDataColumnDate::numberVersion() { return currentValues().values(); }
std::shared_ptr<const KRUCharArrayContainer> VKDataColumnDate::whichAreIncluded() { return currentValues().mask(); }

NumberRows VKDataColumnDate::parseStrings(const std::vector<std::string>& strings, const PlistDictionary& format,
                                          std::string* problem) {
  const DateReader reader = readerForFormat(format);
  if (problem) *problem = reader.problem;
  return readShared(reader, strings);
}

std::optional<double> VKDataColumnDate::timeInSecondsFromString(const std::string& text) const {
  return reader().read(text);
}

bool VKDataColumnDate::understandsString(const std::string& text) const { return reader().read(text).has_value(); }

void VKDataColumnDate::textsChanged(long row) {
  valueFile_.sameAsData = false;
  if (!valuesUpToDate_) return;
  const long length = long(stringVersion_.size());
  if (row < 0 || row >= length) {
    valuesUpToDate_ = false;
    return;
  }
  // One entry, or the column grew up to it (the rows on the way are new):
  // only those are read.
  const long first = std::min(row, values_.length());
  values_.resize(length);
  const DateReader& entries = reader();
  for (long r = first; r < length; ++r) {
    const auto value = entries.read(stringVersion_.text(std::size_t(r)));
    values_.set(r, value.value_or(std::nan("")), value.has_value());
  }
}

void VKDataColumnDate::rowsInserted(const RowIndices& positions) {
  valueFile_.sameAsData = false;
  if (!valuesUpToDate_) return;
  std::vector<double> values;
  std::vector<std::uint8_t> mask;
  const DateReader& entries = reader();
  for (long position : positions) {
    const auto value = position < long(stringVersion_.size()) ? entries.read(stringVersion_.text(std::size_t(position)))
                                                              : std::nullopt;
    values.push_back(value.value_or(std::nan("")));
    mask.push_back(value ? 1 : 0);
  }
  values_.insertRows(positions, values, mask);
  values_.resize(long(stringVersion_.size()));
}

void VKDataColumnDate::rowsRemoved(const RowIndices& positions) {
  valueFile_.sameAsData = false;
  if (valuesUpToDate_) values_.removeRows(positions);
}

void VKDataColumnDate::rowsReordered(const std::vector<long>& order) {
  valueFile_.sameAsData = false;
  if (!valuesUpToDate_) return;
  values_.reorder(order);
  values_.resize(long(stringVersion_.size()));
}

// Row texts

int VKDataColumnDate::displayFormatSelector() const {
  const PropertyList* tag = setting(dates::kDisplayFormat);
  if (!tag || !tag->isNumber()) return 0;
  const std::int64_t value = tag->integer();
  return value >= 1 && value <= std::int64_t(displayDatePatterns().size()) ? int(value) : 0;
}

void VKDataColumnDate::setDisplayFormatSelector(int tag) { setSetting(dates::kDisplayFormat, tag); }

const std::string& VKDataColumnDate::displayPattern() {
  const NumberRows& rows = currentValues();
  if (displaySerial_ == serialNumber()) return displayPattern_;
  displaySerial_ = serialNumber();
  if (const int selector = displayFormatSelector()) {
    displayPattern_ = displayDatePatterns()[std::size_t(selector - 1)];
    return displayPattern_;
  }
  // As much of the time as the values have.
  bool midnights = true, wholeMinutes = true;
  for (long r = 0; r < rows.length() && wholeMinutes; ++r) {
    if (!rows.valid(r)) continue;
    const double value = rows.value(r);
    midnights = midnights && std::fmod(value, 86400) == 0;
    wholeMinutes = std::fmod(value, 60) == 0;
  }
  const auto patterns = displayDatePatterns();
  displayPattern_ = midnights ? patterns[0] : wholeMinutes ? patterns[4] : patterns[5];
  return displayPattern_;
}

std::string VKDataColumnDate::stringVersionForRow(long row) {
  if (row < 0 || row >= long(stringVersion_.size())) return text::kOutOfBounds;
  const NumberRows& rows = currentValues();
  if (!rows.included(row)) return stringVersion_.text(std::size_t(row));
  const auto formatter = DateFormatter::withPattern(displayPattern(), localeName());
  return formatter ? formatter->format(rows.value(row)) : stringVersion_.text(std::size_t(row));
}

std::string VKDataColumnDate::editStringVersionForRow(long row) { return TextColumn::stringVersionForRow(row); }

std::string VKDataColumnDate::toolTipForRow(long row) {
  if (row < 0 || row >= long(stringVersion_.size())) return text::kOutOfBounds;
  const std::string entry = stringVersion_.text(std::size_t(row));
  const NumberRows& rows = currentValues();
  if (rows.included(row)) {
    const auto formatter = DateFormatter::withPattern("EEEE d MMMM y, HH:mm:ss 'GMT'", localeName());
    return formatter ? formatter->format(rows.value(row)) : entry;
  }
  if (isBlank(entry)) return {};
  const DateReader& entries = reader();
  if (!entries.reads()) return entries.problem;
  if (entries.kind == DateKind::Numeric) return "Not a number of time units";
  return "Not a date in the format \"" + entries.pattern + "\"";
}

// Finding formats that work

PlistDictionary VKDataColumnDate::tryFormat(const DateFormatter& formatter, const std::vector<std::string>& stringList,
                                            const std::string& appendString, long length) {
  std::int64_t worked = 0, failed = 0;
  const long count = std::min(length, long(stringList.size()));
  for (long k = 0; k < count; ++k) {
    const std::string& entry = stringList[std::size_t(k)];
    if (isBlank(entry)) continue;
    if (formatter.parse(entry, appendString)) ++worked;
    else ++failed;
  }
  return {{dates::kWorked, worked}, {dates::kFailed, failed}};
}

std::vector<PlistDictionary> VKDataColumnDate::formatsThatWork() const {
  std::vector<std::string> entries;
  for (const auto& entry : stringVersion_) {
    if (long(entries.size()) == kEntriesTried) break;
    if (!isBlank(entry)) entries.emplace_back(entry);
  }
  if (entries.empty()) return {};
  const PlistDictionary format = storedFormat();
  const auto year = format.find(dates::kYear);
  const std::string yearText =
      year != format.end() && year->second.isString() ? year->second.string() : std::string(kDefaultYear);
  const std::string locale = localeName();

  std::vector<PlistDictionary> candidates = candidateDateFormats(yearText);

  // The candidates are independent; each is tried on a processor of its own.
  std::vector<PlistDictionary> counts(candidates.size());
  std::vector<std::shared_ptr<VKOperation>> operations;
  for (std::size_t k = 0; k < candidates.size(); ++k)
    operations.push_back(VKOperation::withCall([&, k] {
      const auto formatter = DateFormatter::withPattern(candidates[k].at(dates::kFormat).string(), locale);
      if (formatter)
        counts[k] = tryFormat(*formatter, entries, candidates[k].at(dates::kAppend).string(), long(entries.size()));
    }));
  VKOperationQueue::shared().performOperations(operations);

  std::vector<PlistDictionary> working;
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    const auto worked = counts[k].find(dates::kWorked);
    if (worked == counts[k].end() || worked->second.integer() == 0) continue;
    candidates[k][dates::kInfo] = counts[k];
    working.push_back(std::move(candidates[k]));
  }
  return working;
}

bool VKDataColumnDate::pickAGoodFormat() {
  for (const auto& candidate : formatsThatWork()) {
    const PropertyList& info = candidate.at(dates::kInfo);
    if (info.find(dates::kFailed) && info.find(dates::kFailed)->integer() == 0) {
      selectFormatThatWasFound(candidate);
      return true;
    }
  }
  return false;
}

void VKDataColumnDate::selectFormatThatWasFound(const PlistDictionary& candidate) {
  const PlistDictionary current = storedFormat();
  PlistDictionary format;
  const auto keep = [&](const char* key) {
    if (auto found = current.find(key); found != current.end()) format[key] = found->second;
  };
  const auto take = [&](const char* key) {
    if (auto found = candidate.find(key); found != candidate.end()) format[key] = found->second;
  };
  keep(dates::kLocalization);
  const auto type = candidate.find(dates::kType);
  const std::string kind = type != candidate.end() && type->second.isString() ? type->second.string() : "";
  if (kind == dates::kTypeFull) {
    take(dates::kDateAndYear);
    take(dates::kTime);
  } else if (kind == dates::kTypeFixedYear) {
    take(dates::kDate);
    take(dates::kTime);
    keep(dates::kYear);
  } else if (kind == dates::kTypeFixedDay) {
    take(dates::kTime);
    keep(dates::kDayForTime);
  } else if (kind == dates::kTypeICU) {
    if (auto pattern = candidate.find(dates::kICUString); pattern != candidate.end())
      format[dates::kICUFormat] = pattern->second;
  } else {
    return;
  }
  setFormat(format);
}

std::vector<std::string> VKDataColumnDate::gearMenuTitles() const {
  std::vector<std::string> titles;
  const auto candidates = formatsThatWork();
  if (std::all_of(stringVersion_.begin(), stringVersion_.end(), isBlank)) {
    titles.push_back(dates::kNoEntries);
  } else if (candidates.empty()) {
    titles.push_back(dates::kNoFormatWorks);
  } else {
    titles.push_back(dates::kFormatsThatWork);
    for (const auto& candidate : candidates) titles.push_back(candidate.at(dates::kDescription).string());
  }
  titles.insert(titles.end(), {dates::kConvertToNumber, dates::kConvertToText, dates::kSelectInvalidRows});
  return titles;
}

std::vector<long> VKDataColumnDate::invalidRows() {
  const NumberRows& rows = currentValues();
  std::vector<long> invalid;
  for (long r = 0; r < long(stringVersion_.size()); ++r)
    if (!rows.included(r) && !isBlank(stringVersion_[std::size_t(r)])) invalid.push_back(r);
  return invalid;
}

// Expression columns from a date column

const std::vector<std::string>& VKDataColumnDate::mappingShortcutTitles() {
  static const std::vector<std::string> titles{dates::kShiftTimeZone, dates::kChangeInHours, dates::kChangeInDays};
  return titles;
}

std::shared_ptr<VKDataColumnExpression> VKDataColumnDate::columnForMappingShortcut(const std::string& title) const {
  if (!nameIsSet()) return nullptr;
  const std::string delta = DataDocumentTable::makeSafeForExpression(name() + ".delta");
  std::string expression, newName;
  if (title == dates::kShiftTimeZone) {
    expression = DataDocumentTable::makeSafeForExpression(name()) + " + 3600*3";
    newName = name() + " shifted";
  } else if (title == dates::kChangeInHours) {
    expression = delta + "/3600";
    newName = name() + " change (hours)";
  } else if (title == dates::kChangeInDays) {
    expression = delta + "/(24*3600)";
    newName = name() + " change (days)";
  } else {
    return nullptr;
  }
  auto column = VKDataColumnExpression::createEmptyFor(document());
  column->setName(newName);
  column->setExpressionString(expression);
  return column;
}

// Stored form

std::optional<std::string> VKDataColumnDate::saveOptionalFile(PlistDictionary& info) {
  if (long(stringVersion_.size()) <= kLargestColumnWithoutValueFile) return std::nullopt;
  return saveNumbersFile(currentValues(), NumbersFolder::Binary, info, valueFile_);
}

bool VKDataColumnDate::isOwnDescriptionKey(const std::string& key) const { return key == text::kFileName; }

void VKDataColumnDate::writeOwnDescription(PlistDictionary& description, PlistDictionary& info) {
  if (auto name = saveOptionalFile(info)) description[text::kFileName] = *name;
}

std::optional<PropertyList> VKDataColumnDate::propertyToSaveWithInfo(PlistDictionary& info) { return saveTexts(info); }

bool VKDataColumnDate::readDataEntry(const PropertyList& data, const std::string& packagePath) {
  return readTexts(data, packagePath);
}

bool VKDataColumnDate::readValueFile(const PropertyList& description, const std::string& packagePath) {
  const auto name = description.stringForKey(text::kFileName);
  if (!name || packagePath.empty()) return false;
  auto rows = readNumbersFile(NumbersFolder::Binary, *name, packagePath, valueFile_);
  // A file that does not fit the entries is passed over; they are read.
  if (!rows || rows->length() != long(stringVersion_.size())) {
    valueFile_ = ColumnFile{};
    return false;
  }
  values_ = std::move(*rows);
  valuesUpToDate_ = true;
  updateSerialNumber();
  return true;
}

// Conversions

std::shared_ptr<OrrelinColumn> VKDataColumnDate::convertToSpecifiedColumn() {
  // The time values, as numbers.
  const NumberRows& rows = currentValues();
  auto converted = VKDataColumnSpecified::createEmptyFor();
  std::vector<std::string> texts;
  texts.reserve(std::size_t(rows.length()));
  for (long r = 0; r < rows.length(); ++r) texts.push_back(rows.included(r) ? textForNumber(rows.value(r)) : "");
  converted->setStringList(texts);
  return carryOver(converted);
}

std::shared_ptr<OrrelinColumn> VKDataColumnDate::convertToStringColumn() {
  // What the table shows: dates in the display format, entries that are no
  // dates as they are.
  auto converted = VKDataColumnString::createEmptyFor();
  converted->setStringList(stringVersionForRows());
  return carryOver(converted);
}

}  // namespace orrelin
