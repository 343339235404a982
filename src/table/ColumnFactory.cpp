// Making columns from their stored form, and converting a column to another
// kind.

#include <functional>
#include <map>
#include <set>

#include "table/DeferredColumns.h"
#include "table/StructuralColumns.h"
#include "table/TableMessages.h"
#include "table/TextColumn.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDataObject.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

namespace orrelin {

namespace text = table_text;

namespace {

using Maker = std::function<ColumnPtr()>;

const std::map<std::string, Maker>& makers() {
  static const std::map<std::string, Maker> table = {
      {text::kTypeRowNumber, [] { return VKDataColumnNumber::createEmptyFor(); }},
      {text::kTypeLineNumber, [] { return VKDataColumnNumber::createEmptyFor(); }},
      {text::kTypeAscii, [] { return VKDataColumnSpecified::createEmptyFor(); }},
      {text::kTypeBinary, [] { return VKDataColumnBinary::createEmptyFor(); }},
      {text::kTypeString, [] { return VKDataColumnString::createEmptyFor(); }},
      {text::kTypeDate, [] { return VKDataColumnDate::createEmptyFor(); }},
      // A stored formula column keeps its stored seed; one without a seed
      // gets 0, never a fresh random one, so reading twice gives one column.
      {text::kTypeExpression, [] { return std::make_shared<VKDataColumnExpression>(); }},
      {text::kTypeStringExpression, [] { return VKDataColumnStringExpression::createEmptyFor(); }},
      {text::kTypeNumberFromString, [] { return VKDataColumnNumberFromString::createEmptyFor(); }},
      {text::kTypeFromCommand, [] { return VKDataColumnFromCommand::createEmptyFor(); }},
      {text::kTypePlotAction, [] { return VKDataColumnPlotAction::createEmptyFor(); }},
      {text::kTypeDataObjectString, [] { return VKDataColumnDataObjectString::createEmptyFor(); }},
      {text::kTypeDataObjectBinary, [] { return VKDataColumnDataObjectBinary::createEmptyFor(); }},
      {text::kTypeOpenCollapser, [] { return VKDataColumnCollapserOpen::createEmptyFor(); }},
      {text::kTypeCloseCollapser, [] { return VKDataColumnCollapserClose::createEmptyFor(); }},
      {text::kTypeDivider, [] { return VKDataColumnDivider::createEmptyFor(); }},
      {text::kTypeTextBlock, [] { return VKDataColumnTextBlock::createEmptyFor(); }},
  };
  return table;
}

// The numbers and mask of a column as vectors, for a column of another kind.
std::pair<std::vector<double>, std::vector<std::uint8_t>> numbersOf(OrrelinColumn& column) {
  const auto values = column.numberVersion();
  const auto mask = column.whichAreIncluded();
  return {std::vector<double>(values->constDoublePointer(), values->constDoublePointer() + values->length()),
          std::vector<std::uint8_t>(mask->constPointer(), mask->constPointer() + mask->length())};
}

}  // namespace

std::shared_ptr<OrrelinColumn> createColumnFromDescription(const PropertyList& description, const PropertyList* data,
                                                           const std::string& packagePath) {
  const auto type = description.stringForKey(text::kType);
  if (!type) return nullptr;
  const auto maker = makers().find(*type);
  if (maker == makers().end()) return nullptr;
  ColumnPtr column = maker->second();
  column->setFromPropertyList(description);
  // A damaged or missing data entry leaves the column empty; its settings
  // are kept.
  if (column->takesDataEntry() && data) column->readDataEntry(*data, packagePath);
  if (auto date = std::dynamic_pointer_cast<VKDataColumnDate>(column)) date->readValueFile(description, packagePath);
  return column;
}

bool columnTypeTakesDataEntry(const std::string& type) {
  // Asked once per stored column when a table is read: each kind is asked
  // once, not made again for every description.
  static const std::set<std::string, std::less<>> taking = [] {
    std::set<std::string, std::less<>> types;
    for (const auto& [name, make] : makers())
      if (make()->takesDataEntry()) types.insert(name);
    return types;
  }();
  return taking.count(type) > 0;
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::convertToSpecifiedColumn() {
  if (!holdsValues()) return nullptr;
  auto converted = VKDataColumnSpecified::createEmptyFor();
  converted->setStringList(stringVersionForRows());
  return carryOver(converted);
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::convertToBinaryColumn() {
  if (!holdsValues()) return nullptr;
  auto converted = VKDataColumnBinary::createEmptyFor();
  if (isNumberColumn()) {
    const auto [values, mask] = numbersOf(*this);
    converted->setNumbers(values, mask);
  } else {
    converted->setStringList(stringVersionForRows());
  }
  return carryOver(converted);
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::convertToStringColumn() {
  if (!holdsValues()) return nullptr;
  auto converted = VKDataColumnString::createEmptyFor();
  converted->setStringList(stringList());
  return carryOver(converted);
}

std::shared_ptr<OrrelinColumn> OrrelinColumn::convertToDateColumn() {
  if (!holdsValues()) return nullptr;
  auto converted = VKDataColumnDate::createEmptyFor();
  // Entries kept as text become dates when one format reads them all;
  // numbers count the seconds since 1970.
  if (dynamic_cast<const TextColumn*>(this)) {
    converted->setStringList(stringList());
    if (converted->pickAGoodFormat() || !isNumberColumn()) return carryOver(converted);
  }
  converted->setFormat({{date_text::kStartingDate, 0.0}, {date_text::kTimeScale, 1.0}});
  converted->setStringList(stringVersionForRows());
  return carryOver(converted);
}

}  // namespace orrelin
