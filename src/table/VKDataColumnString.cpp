#include "table/VKDataColumnString.h"

#include <cmath>
#include <string_view>
#include <unordered_map>

#include "table/CellText.h"
#include "table/ColumnFiles.h"
#include "table/DataDocumentTable.h"
#include "table/TableMessages.h"

namespace orrelin {

namespace text = table_text;

std::shared_ptr<VKDataColumnString> VKDataColumnString::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnString>(document);
}

std::string VKDataColumnString::type() const { return text::kTypeString; }

int VKDataColumnString::valueType() const {
  const PropertyList* tag = setting(text::kValueType);
  return tag && tag->isNumber() ? int(tag->integer()) : kTextOnly;
}

void VKDataColumnString::setValueType(int tag) { setSetting(text::kValueType, tag); }

bool VKDataColumnString::hasNumericValueType() const {
  const int tag = valueType();
  return tag == kNumberFromText || tag == kNumberFromMap;
}

void VKDataColumnString::setTableValueMap(ValueMap map) {
  tableValueMap_ = std::move(map);
  numberVersionUpToDate_ = false;
  cacheFile_.sameAsData = false;
  if (valueType() == kNumberFromMap) columnChanged();
}

void VKDataColumnString::settingChanged(const std::string& name) {
  if (name != text::kValueType) return;
  numberVersionUpToDate_ = false;
  cacheFile_.sameAsData = false;
  // Whether the column counts as a number column may have changed, and with
  // it what formulas see.
  if (auto owner = table()) owner->columnListChanged();
  columnChanged();
}

std::shared_ptr<const KRDoubleArrayContainer> VKDataColumnString::numberVersion() {
  if (!hasNumericValueType()) return OrrelinColumn::numberVersion();
  computeNumbers();
  return numbers_.values();
}

std::shared_ptr<const KRUCharArrayContainer> VKDataColumnString::whichAreIncluded() {
  if (!hasNumericValueType()) return OrrelinColumn::whichAreIncluded();
  computeNumbers();
  return numbers_.mask();
}

void VKDataColumnString::computeNumbers() {
  if (numberVersionUpToDate_) return;
  numberVersionUpToDate_ = true;
  if (valueType() != kNumberFromMap) {
    numbers_ = readCellTexts(stringVersion_);
    return;
  }
  // The map is looked up once per row; the first entry of a repeated key wins.
  std::unordered_map<std::string_view, double> lookup;
  for (const auto& [key, value] : tableValueMap_) lookup.emplace(key, value);
  std::vector<double> values(stringVersion_.size(), std::nan(""));
  std::vector<std::uint8_t> mask(stringVersion_.size(), 0);
  for (std::size_t r = 0; r < stringVersion_.size(); ++r) {
    if (const auto found = lookup.find(stringVersion_[r]); found != lookup.end()) {
      values[r] = found->second;
      mask[r] = 1;
    }
  }
  numbers_ = NumberRows(values, mask);
}

void VKDataColumnString::textsChanged(long) {
  numberVersionUpToDate_ = false;
  cacheFile_.sameAsData = false;
}

bool VKDataColumnString::isOwnDescriptionKey(const std::string& key) const { return key == text::kMap; }

void VKDataColumnString::writeOwnDescription(PlistDictionary& description, PlistDictionary&) {
  PlistArray map;
  for (const auto& [key, value] : tableValueMap_) {
    PlistDictionary entry;
    entry[text::kKey] = key;
    entry[text::kValue] = value;
    map.push_back(std::move(entry));
  }
  description[text::kMap] = std::move(map);
}

void VKDataColumnString::readOwnDescription(const PropertyList& description) {
  const PlistArray* map = description.arrayForKey(text::kMap);
  if (!map) return;
  tableValueMap_.clear();
  for (const auto& entry : *map) {
    auto key = entry.stringForKey(text::kKey);
    if (!key) continue;
    std::optional<double> value = entry.numberForKey(text::kValue);
    if (!value) {
      if (auto written = entry.stringForKey(text::kValue)) {
        const CellReading reading = readCellText(*written);
        if (reading.valid) value = reading.value;
      }
    }
    tableValueMap_.emplace_back(*key, value.value_or(std::nan("")));
  }
  numberVersionUpToDate_ = false;
}

std::optional<PropertyList> VKDataColumnString::propertyToSaveWithInfo(PlistDictionary& info) {
  PropertyList entry = saveTexts(info);
  // A long list goes to a file; its numbers then go beside it, so a reader
  // need not read every text again.
  if (entry.isDictionary() && hasNumericValueType()) {
    computeNumbers();
    if (auto cache = saveNumbersFile(numbers_, NumbersFolder::Cache, info, cacheFile_))
      entry.dictionary()[text::kCacheFile] = *cache;
  }
  return entry;
}

bool VKDataColumnString::readDataEntry(const PropertyList& data, const std::string& packagePath) {
  if (!readTexts(data, packagePath)) return false;
  if (auto cache = data.stringForKey(text::kCacheFile)) {
    auto rows = readNumbersFile(NumbersFolder::Cache, *cache, packagePath, cacheFile_);
    if (rows && rows->length() == long(stringVersion_.size())) {
      numbers_ = std::move(*rows);
      numberVersionUpToDate_ = true;
    }
  }
  return true;
}

}  // namespace orrelin
