#include "table/VKDataColumnSpecified.h"

#include <cmath>

#include "expression/KRExpression.h"
#include "table/CellText.h"
#include "table/TableDocument.h"
#include "table/TableMessages.h"

namespace orrelin {

std::shared_ptr<VKDataColumnSpecified> VKDataColumnSpecified::createEmptyFor(const std::shared_ptr<TableDocument>& document) {
  return makeColumnFor<VKDataColumnSpecified>(document);
}

std::string VKDataColumnSpecified::type() const { return table_text::kTypeAscii; }

std::shared_ptr<const KRDoubleArrayContainer> VKDataColumnSpecified::numberVersion() {
  if (needToRecomputeExpressions_) recomputeExpressionsNow();
  return numbers_.values();
}

std::shared_ptr<const KRUCharArrayContainer> VKDataColumnSpecified::whichAreIncluded() {
  if (needToRecomputeExpressions_) recomputeExpressionsNow();
  return numbers_.mask();
}

std::optional<PropertyList> VKDataColumnSpecified::propertyToSaveWithInfo(PlistDictionary& info) { return saveTexts(info); }

bool VKDataColumnSpecified::readDataEntry(const PropertyList& data, const std::string& packagePath) {
  return readTexts(data, packagePath);
}

void VKDataColumnSpecified::textsChanged(long row) {
  if (row >= numbers_.length() && row < long(stringVersion_.size())) {
    // The column grew up to the row: the rows in between are new and empty.
    const long from = numbers_.length();
    numbers_.resize(long(stringVersion_.size()));
    if (!cachedExpressions_.empty()) cachedExpressions_.resize(stringVersion_.size());
    for (long r = from; r < long(stringVersion_.size()); ++r) readCell(r);
  } else if (row >= 0 && row < long(stringVersion_.size())) {
    // One cell: take its old formula out of the counts first.
    if (std::size_t(row) < cachedExpressions_.size() && cachedExpressions_[std::size_t(row)]) {
      for (const auto& name : cachedExpressions_[std::size_t(row)]->unknowns())
        if (auto found = parametersUsed_.find(name); found != parametersUsed_.end() && --found->second == 0)
          parametersUsed_.erase(found);
      cachedExpressions_[std::size_t(row)].reset();
      --howManyCachedExpressions_;
    }
    readCell(row);
  } else {
    cachedExpressions_.clear();
    howManyCachedExpressions_ = 0;
    parametersUsed_.clear();
    // Every cell at once (an import): the plain ones in bulk, then the
    // formulas with names one by one.
    std::vector<long> rowsWithNames;
    numbers_ = readCellTexts(stringVersion_, &rowsWithNames);
    for (long r : rowsWithNames) readCell(r);
  }
  needToRecomputeExpressions_ = false;
  connectToParameters();
}

void VKDataColumnSpecified::readCell(long row) {
  CellReading reading = readCellText(stringVersion_[std::size_t(row)]);
  if (reading.expression) {
    if (cachedExpressions_.size() < stringVersion_.size()) cachedExpressions_.resize(stringVersion_.size());
    const auto& constants = KRExpression::knownConstants();
    for (const auto& name : reading.expression->unknowns())
      if (!constants.count(name)) ++parametersUsed_[name];
    const auto value = evaluateCell(*reading.expression);
    reading.value = value.value_or(std::nan(""));
    reading.valid = value.has_value();
    cachedExpressions_[std::size_t(row)] = std::move(reading.expression);
    ++howManyCachedExpressions_;
  }
  numbers_.set(row, reading.value, reading.valid);
}

std::optional<double> VKDataColumnSpecified::evaluateCell(const KRExpression& expression) const {
  auto owner = tableDocument();
  std::map<std::string, double, std::less<>> arguments;
  const auto& constants = KRExpression::knownConstants();
  for (const auto& name : expression.unknowns()) {
    if (constants.count(name)) continue;
    const auto value = owner ? owner->valueForParameter(name) : std::nullopt;
    if (!value) return std::nullopt;
    arguments.emplace(name, *value);
  }
  return expression.evaluateNumberWithArguments(arguments);
}

void VKDataColumnSpecified::recomputeExpressionsNow() {
  needToRecomputeExpressions_ = false;
  if (howManyCachedExpressions_ == 0) return;
  for (std::size_t row = 0; row < cachedExpressions_.size(); ++row) {
    if (!cachedExpressions_[row]) continue;
    const auto value = evaluateCell(*cachedExpressions_[row]);
    numbers_.set(long(row), value.value_or(std::nan("")), value.has_value());
  }
  updateSerialNumber();
}

bool VKDataColumnSpecified::parameterValueChangeAffectsColumn(const std::string& name) {
  return parametersUsed_.count(name) > 0;
}

void VKDataColumnSpecified::parameterValueChanged(const std::string& name) {
  if (!parameterValueChangeAffectsColumn(name)) return;
  recomputeExpressionsNow();
  thisControllerChanged();
}

void VKDataColumnSpecified::supplierChanged(VKDependencyBase*) {
  // Only parameters are suppliers of a typed-in column. The cells are worked
  // out now, so that the serial number the clients are about to read has
  // grown.
  recomputeExpressionsNow();
}

void VKDataColumnSpecified::columnNamesOrVariableNamesChanged() {
  // A parameter came or went: names that did not resolve may now, and the
  // column reads the new set of parameters.
  connectToParameters();
  if (howManyCachedExpressions_ == 0) return;
  recomputeExpressionsNow();
  thisControllerChanged();
}

void VKDataColumnSpecified::connectToParameters() {
  auto owner = tableDocument();
  DependencyList wanted;
  if (owner) {
    for (const auto& [name, count] : parametersUsed_)
      if (auto parameter = owner->parameterWithName(name)) wanted.push_back(std::move(parameter));
  }
  connectToSuppliers(wanted);
}

}  // namespace orrelin
