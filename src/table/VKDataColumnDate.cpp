#include "table/VKDataColumnDate.h"

#include <cmath>

#include "table/CellText.h"
#include "table/ColumnFiles.h"
#include "table/TableDocument.h"
#include "table/TableMessages.h"
#include "table/VKDataColumnSpecified.h"

namespace orrelin {

namespace text = table_text;

namespace {

// The settings that make up a date column's format.
constexpr const char* kFormatKeys[] = {"Format",      "Date Type",     "Date and Year", "Time",
                                       "ICU Format",  "Date",          "Year",          "ICU Day Format",
                                       "Day for Time", "Starting Date", "Time Scale",    "Localization"};

}  // namespace

std::shared_ptr<VKDataColumnDate> VKDataColumnDate::createEmptyFor(const std::shared_ptr<TableDocument>& document) {
  return makeColumnFor<VKDataColumnDate>(document);
}

std::string VKDataColumnDate::type() const { return text::kTypeDate; }

std::string VKDataColumnDate::stringVersionForRow(long row) {
  if (row < 0 || row >= long(stringVersion_.size())) return text::kOutOfBounds;
  return stringVersion_[std::size_t(row)];
}

PropertyList VKDataColumnDate::format() const {
  PlistDictionary format;
  for (const char* key : kFormatKeys)
    if (const PropertyList* value = setting(key)) format[key] = *value;
  return format;
}

void VKDataColumnDate::setFormat(const PropertyList& format) {
  for (const char* key : kFormatKeys) {
    if (const PropertyList* value = format.find(key))
      setSetting(key, *value);
    else
      removeSetting(key);
  }
  // Every entry is read again with the new format.
  textsChanged(-1);
  columnChanged();
}

void VKDataColumnDate::setValues(const std::vector<double>& values, const std::vector<std::uint8_t>& mask) {
  std::vector<double> fitted = values;
  std::vector<std::uint8_t> fittedMask = mask;
  fitted.resize(stringVersion_.size(), std::nan(""));
  fittedMask.resize(fitted.size(), 0);
  for (std::size_t k = values.size(); k < fittedMask.size(); ++k) fittedMask[k] = 0;
  values_ = NumberRows(fitted, fittedMask);
  valueFile_.sameAsData = false;
  columnChanged();
}

std::optional<double> VKDataColumnDate::timeInSecondsFromString(const std::string&) const {
  // The date formats that read entries are not part of this column yet.
  return std::nullopt;
}

void VKDataColumnDate::textsChanged(long row) {
  valueFile_.sameAsData = false;
  const auto readRow = [this](long r) {
    const auto value = timeInSecondsFromString(stringVersion_[std::size_t(r)]);
    values_.set(r, value.value_or(std::nan("")), value.has_value());
  };
  values_.resize(long(stringVersion_.size()));
  if (row >= 0 && row < long(stringVersion_.size())) {
    readRow(row);
    return;
  }
  for (long r = 0; r < long(stringVersion_.size()); ++r) readRow(r);
}

void VKDataColumnDate::rowsInserted(const RowIndices& positions) {
  std::vector<double> values;
  std::vector<std::uint8_t> mask;
  for (long position : positions) {
    const auto value = position < long(stringVersion_.size())
                           ? timeInSecondsFromString(stringVersion_[std::size_t(position)])
                           : std::nullopt;
    values.push_back(value.value_or(std::nan("")));
    mask.push_back(value ? 1 : 0);
  }
  values_.insertRows(positions, values, mask);
  values_.resize(long(stringVersion_.size()));
  valueFile_.sameAsData = false;
}

void VKDataColumnDate::rowsRemoved(const RowIndices& positions) {
  values_.removeRows(positions);
  valueFile_.sameAsData = false;
}

void VKDataColumnDate::rowsReordered(const std::vector<long>& order) {
  values_.reorder(order);
  values_.resize(long(stringVersion_.size()));
  valueFile_.sameAsData = false;
}

std::optional<std::string> VKDataColumnDate::saveOptionalFile(PlistDictionary& info) {
  if (long(stringVersion_.size()) <= kLargestColumnWithoutValueFile) return std::nullopt;
  return saveNumbersFile(values_, NumbersFolder::Binary, info, valueFile_);
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
  if (!rows || rows->length() != long(stringVersion_.size())) return false;
  values_ = std::move(*rows);
  updateSerialNumber();
  return true;
}

std::shared_ptr<OrrelinColumn> VKDataColumnDate::convertToSpecifiedColumn() {
  // The time values, as numbers.
  auto converted = VKDataColumnSpecified::createEmptyFor();
  std::vector<std::string> texts;
  for (long r = 0; r < values_.length(); ++r) texts.push_back(values_.included(r) ? textForNumber(values_.value(r)) : "");
  converted->setStringList(texts);
  return carryOver(converted);
}

}  // namespace orrelin
