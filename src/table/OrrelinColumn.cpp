#include "table/OrrelinColumn.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "table/CellText.h"
#include "table/DataDocumentTable.h"
#include "table/TableMessages.h"

namespace orrelin {

namespace text = table_text;

std::int32_t nextColumnSerialNumber() {
  static std::atomic<std::int32_t> counter{0};
  return ++counter;
}

OrrelinColumn::~OrrelinColumn() = default;

std::string OrrelinColumn::name() const { return stringSetting(text::kName); }

void OrrelinColumn::setName(const std::string& name) {
  if (name == this->name()) return;
  setSetting(text::kName, name);
  // Names are how formulas find columns.
  if (auto owner = table()) owner->columnListChanged();
}

std::string OrrelinColumn::displayName() const { return nameIsSet() ? name() : "Untitled"; }

void OrrelinColumn::takeSerialNumberFrom(const OrrelinColumn& other) { columnSerialNumber_ = other.columnSerialNumber_; }

void OrrelinColumn::updateSerialNumber() { serialNumber_ = nextColumnSerialNumber(); }

std::shared_ptr<const KRDoubleArrayContainer> OrrelinColumn::numberVersion() {
  return KRDoubleArrayContainer::createArrayOfLength(0);
}

std::shared_ptr<const KRUCharArrayContainer> OrrelinColumn::whichAreIncluded() {
  return KRUCharArrayContainer::createArrayOfLength(0);
}

double OrrelinColumn::valueAtRow(long row) {
  if (row < 0 || row >= howManyEntries()) return std::nan("");
  const auto mask = whichAreIncluded();
  if (row >= mask->length() || !mask->constPointer()[row]) return std::nan("");
  const auto values = numberVersion();
  return row < values->length() ? values->constDoublePointer()[row] : std::nan("");
}

bool OrrelinColumn::validEntryAtIndex(long row) { return std::isfinite(valueAtRow(row)); }

std::string OrrelinColumn::stringVersionForRow(long row) {
  if (!isNumberColumn() || row < 0 || row >= howManyEntries()) return {};
  const auto mask = whichAreIncluded();
  if (row >= mask->length() || !mask->constPointer()[row]) return {};
  return textForNumber(numberVersion()->constDoublePointer()[row]);
}

std::vector<std::string> OrrelinColumn::stringVersionForRows() {
  const long rows = howManyEntries();
  std::vector<std::string> texts;
  texts.reserve(std::size_t(std::max(rows, 0L)));
  for (long r = 0; r < rows; ++r) texts.push_back(stringVersionForRow(r));
  return texts;
}

ColumnObjectValue OrrelinColumn::objectValueForRow(long row) {
  if (row < 0 || row >= howManyEntries()) return std::monostate{};
  if (isStringColumn()) return stringVersionForRow(row);
  const double value = valueAtRow(row);
  if (std::isnan(value)) return std::monostate{};
  return value;
}

bool OrrelinColumn::setString(const std::string&, long) { return false; }
bool OrrelinColumn::setData(const std::vector<double>&, const RowIndices&) { return false; }
bool OrrelinColumn::addRowIndices(const RowIndices&, const std::vector<std::string>&) { return false; }
bool OrrelinColumn::addEmptyLines(long, long) { return false; }
bool OrrelinColumn::removeRowNumbers(const RowIndices&) { return false; }
bool OrrelinColumn::reorderRows(const std::vector<long>&) { return false; }
bool OrrelinColumn::prepareForInput() { return false; }
bool OrrelinColumn::setStringList(const std::vector<std::string>&) { return false; }
bool OrrelinColumn::setNumbers(const std::vector<double>&, const std::vector<std::uint8_t>&) { return false; }

bool OrrelinColumn::addRowIndicesWithDataFrom(const RowIndices& indices, OrrelinColumn& source) {
  std::vector<std::string> texts;
  for (std::size_t k = 0; k < indices.size(); ++k) texts.push_back(source.stringVersionForRow(long(k)));
  return addRowIndices(indices, texts);
}

bool OrrelinColumn::removeRowRange(long from, long length) {
  if (from < 0 || length <= 0) return false;
  return removeRowNumbers(consecutiveRows(from, length));
}

bool OrrelinColumn::removeComma() {
  return transformTexts([](const std::string& t) {
    std::string r = t;
    std::erase(r, ',');
    return r;
  });
}

bool OrrelinColumn::removePeriodChangeCommaToPeriod() {
  return transformTexts([](const std::string& t) {
    std::string r = t;
    std::erase(r, '.');
    std::replace(r.begin(), r.end(), ',', '.');
    return r;
  });
}

bool OrrelinColumn::changeCommaToPeriod() {
  return transformTexts([](const std::string& t) {
    std::string r = t;
    std::replace(r.begin(), r.end(), ',', '.');
    return r;
  });
}

bool OrrelinColumn::removeQuote() {
  return transformTexts([](const std::string& t) {
    std::string r = t;
    std::erase(r, '"');
    return r;
  });
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::carryOver(std::shared_ptr<OrrelinColumn> converted) const {
  if (!converted) return converted;
  converted->propertyByName_[text::kName] = name();
  converted->width = width;
  converted->columnSettingOpen = columnSettingOpen;
  converted->lastLocation = lastLocation;
  converted->takeSerialNumberFrom(*this);
  return converted;
}

PropertyList OrrelinColumn::propertyListDescription(PlistDictionary& info) {
  PlistDictionary description = propertyByName_;
  description[text::kType] = type();
  description[text::kOpen] = columnSettingOpen;
  description[text::kWidth] = double(width);
  writeOwnDescription(description, info);
  return description;
}

PropertyList OrrelinColumn::propertyListDescription() {
  PlistDictionary noPackage;
  return propertyListDescription(noPackage);
}

std::optional<PropertyList> OrrelinColumn::propertyToSaveWithInfo(PlistDictionary&) { return std::nullopt; }

std::optional<PropertyList> OrrelinColumn::propertyToSaveWithInfo() {
  PlistDictionary noPackage;
  return propertyToSaveWithInfo(noPackage);
}

void OrrelinColumn::setFromPropertyList(const PropertyList& description) {
  if (!description.isDictionary()) return;
  for (const auto& [key, value] : description.dictionary()) {
    if (key == text::kType || key == text::kOpen || key == text::kWidth || isOwnDescriptionKey(key)) continue;
    propertyByName_[key] = value;
  }
  if (auto open = description.booleanForKey(text::kOpen)) columnSettingOpen = *open;
  if (auto stored = description.numberForKey(text::kWidth); stored && std::isfinite(float(*stored))) width = float(*stored);
  readOwnDescription(description);
  for (const auto& [key, value] : description.dictionary())
    if (propertyByName_.count(key)) settingChanged(key);
}

PropertyList OrrelinColumn::versionForCopy() {
  PlistDictionary copy;
  copy[text::kCopyDescription] = propertyListDescription();
  if (auto data = propertyToSaveWithInfo()) copy[text::kCopyData] = std::move(*data);
  return copy;
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::setFromCopyInfo(const PropertyList& copy) {
  const PropertyList* description = copy.find(text::kCopyDescription);
  if (!description) return nullptr;
  return createColumnFromDescription(*description, copy.find(text::kCopyData));
}

std::optional<ColumnProperty> OrrelinColumn::columnPropertyWithName(std::string_view ending, std::string* error) {
  const auto kind = columnPropertyKind(ending);
  if (!kind || !isNumberColumn()) {
    if (error) *error = invalidPropertyMessage({displayName() + "." + std::string(ending)});
    return std::nullopt;
  }
  const std::int32_t serial = serialNumber();
  if (serial != propertyCacheSerial_) {
    propertyCache_.clear();
    propertyCacheSerial_ = serial;
  }
  if (auto found = propertyCache_.find(*kind); found != propertyCache_.end()) return found->second;
  const long rows = howManyEntries();
  const auto values = numberVersion();
  const auto mask = whichAreIncluded();
  const long usable = std::min({rows, values->length(), mask->length()});
  auto property = computeColumnProperty(*kind, values->constDoublePointer(), mask->constPointer(), usable);
  if (*kind == ColumnPropertyKind::Length) property.number = double(rows);
  propertyCache_[*kind] = property;
  return property;
}

void OrrelinColumn::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  if (alreadySentFor.contains(this)) return;
  supplierChanged(sender);
  VKDependencyBase::entryChanged(sender, alreadySentFor);
}

bool OrrelinColumn::containsDependenceOn(const OrrelinColumn& other, DependencyVisitSet& knownResults) const {
  return doesObjectExistAsSupplier(&other, knownResults);
}

void OrrelinColumn::connectToSuppliers(const DependencyList& wanted, bool keepOthers) {
  if (!keepOthers)
    for (const auto& supplier : suppliers())
      if (std::find(wanted.begin(), wanted.end(), supplier) == wanted.end()) disconnectAsSupplier(supplier);
  for (const auto& entity : wanted)
    if (entity && !hasSupplier(entity.get()) && canAddSupplier(entity)) connectAsSupplier(entity);
}

void OrrelinColumn::setTable(const std::shared_ptr<DataDocumentTable>& table) { table_ = table; }

std::shared_ptr<const ParameterLookup> OrrelinColumn::parameters() const {
  const auto owner = table();
  return owner ? owner->parameters() : nullptr;
}

const PropertyList* OrrelinColumn::setting(const std::string& name) const {
  const auto found = propertyByName_.find(name);
  return found == propertyByName_.end() ? nullptr : &found->second;
}

std::string OrrelinColumn::stringSetting(const std::string& name) const {
  const PropertyList* value = setting(name);
  return value && value->isString() ? value->string() : std::string();
}

void OrrelinColumn::setSetting(const std::string& name, PropertyList value) {
  propertyByName_[name] = std::move(value);
  settingChanged(name);
}

void OrrelinColumn::removeSetting(const std::string& name) {
  if (propertyByName_.erase(name)) settingChanged(name);
}

void OrrelinColumn::columnChanged(bool appendOnly) {
  const std::int32_t before = serialNumber_;
  updateSerialNumber();
  columnAppendedSince_ = appendOnly ? before : serialNumber_;
  thisControllerChanged();
  if (auto owner = document()) owner->entryChanged(this);
}

}  // namespace orrelin
