#include "table/VKDataColumnNumberFromString.h"

#include "table/CellText.h"
#include "table/DataDocumentTable.h"
#include "table/TableMessages.h"

namespace orrelin {

namespace text = table_text;

std::shared_ptr<VKDataColumnNumberFromString> VKDataColumnNumberFromString::createEmptyFor(
    const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnNumberFromString>(document);
}

std::string VKDataColumnNumberFromString::type() const { return text::kTypeNumberFromString; }

std::string VKDataColumnNumberFromString::sourceColumnName() const { return stringSetting(text::kColumn); }

void VKDataColumnNumberFromString::setSourceColumnName(const std::string& name) { setSetting(text::kColumn, name); }

bool VKDataColumnNumberFromString::isValid() {
  makeSureThingsAreUpToDate();
  return isValid_;
}

std::string VKDataColumnNumberFromString::whyNoValues() {
  makeSureThingsAreUpToDate();
  return reason_;
}

ColumnPtr VKDataColumnNumberFromString::sourceColumn() const {
  const std::string name = sourceColumnName();
  const auto owner = table();
  if (name.empty() || !owner) return nullptr;
  const auto lookup = owner->columnsByNameVisibleFrom(*this, true);
  const auto found = lookup->find(name);
  return found == lookup->end() ? nullptr : found->second;
}

void VKDataColumnNumberFromString::makeSureThingsAreUpToDate() {
  const std::string name = sourceColumnName();
  const ColumnPtr source = sourceColumn();
  std::string reason;
  if (name.empty())
    reason = text::kNoTextColumnChosen;
  else if (!source)
    reason = name + text::kMissing;
  else if (!source->isStringColumn())
    reason = name + text::kNotATextColumn;
  if (!reason.empty()) {
    if (isValid_ || reason != reason_ || !cacheUpToDate_) {
      isValid_ = false;
      reason_ = reason;
      rows_ = NumberRows();
      cacheBasedOnStringColumn_ = -1;
      cacheUpToDate_ = true;
      updateSerialNumber();
    }
    return;
  }
  const std::int32_t serial = source->serialNumber();
  if (cacheUpToDate_ && isValid_ && serial == cacheBasedOnStringColumn_) return;
  rows_ = readCellTexts(source->stringList());
  cacheBasedOnStringColumn_ = serial;
  cacheUpToDate_ = true;
  isValid_ = true;
  reason_.clear();
  updateSerialNumber();
}

void VKDataColumnNumberFromString::supplierChanged(VKDependencyBase*) { cacheUpToDate_ = false; }

void VKDataColumnNumberFromString::settingChanged(const std::string& name) {
  if (name != text::kColumn) return;
  cacheUpToDate_ = false;
  connectToSource();
  thisControllerChanged();
}

void VKDataColumnNumberFromString::connectToSource() {
  const ColumnPtr source = sourceColumn();
  // canAddSupplier refuses the column itself.
  connectToSuppliers(source ? DependencyList{source} : DependencyList{});
  cacheUpToDate_ = false;
}

}  // namespace orrelin
