#include "table/VKDataColumnSpecified.h"

#include <cmath>

#include "document/parameters/VKVariable.h"
#include "expression/KRExpression.h"
#include "graph/dependency/VKMemoryManager.h"
#include "table/CellText.h"
#include "table/NumberForms.h"
#include "table/TableMessages.h"

namespace orrelin {

std::shared_ptr<VKDataColumnSpecified> VKDataColumnSpecified::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  return makeColumnFor<VKDataColumnSpecified>(document);
}

VKDataColumnSpecified::~VKDataColumnSpecified() { releaseCachedExpressions(); }

std::shared_ptr<const KRExpression> VKDataColumnSpecified::cachedExpression(long row) const {
  return row >= 0 && std::size_t(row) < cachedExpressions_.size() ? cachedExpressions_[std::size_t(row)] : nullptr;
}

void VKDataColumnSpecified::releaseCachedExpressions() {
  if (howManyCachedExpressions_ >= kManyCachedExpressions) {
    using Formulas = std::vector<std::shared_ptr<const KRExpression>>;
    VKMemoryManager::shared().addToQueAndRelease(std::make_unique<Formulas>(std::move(cachedExpressions_)));
  }
  cachedExpressions_.clear();
  howManyCachedExpressions_ = 0;
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
    if (stringVersion_.coded() && !cachedExpression(row)) {
      const std::uint8_t form = number_forms::formOfText(stringVersion_[std::size_t(row)]);
      if (form != number_forms::kKept) stringVersion_.setForm(std::size_t(row), form);
    }
  } else if (stringVersion_.coded()) {
    // The texts of the rows in forms have not changed (an edit makes a row
    // kept); their numbers are where they were.
    readKeptRows();
  } else {
    releaseCachedExpressions();
    parametersUsed_.clear();
    // Every cell at once (an import): the plain ones in bulk, then the
    // formulas with names one by one.
    std::vector<long> rowsWithNames;
    numbers_ = readCellTexts(stringVersion_, &rowsWithNames);
    for (long r : rowsWithNames) readCell(r);
    codeRowsInForms();
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

void VKDataColumnSpecified::readKeptRows() {
  releaseCachedExpressions();
  parametersUsed_.clear();
  numbers_.resize(long(stringVersion_.size()));
  // The kept texts are read in bulk (on every processor when they are
  // many), then the formulas with names one by one.
  std::vector<long> rows;
  CellTextStore kept;
  for (std::size_t r = 0; r < stringVersion_.size(); ++r) {
    const std::uint8_t form = stringVersion_.form(r);
    if (form == number_forms::kKept) {
      rows.push_back(long(r));
      kept.push_back(stringVersion_[r]);
    } else if (form == number_forms::kEmpty) {
      numbers_.set(long(r), std::nan(""), false);
    }
  }
  std::vector<long> rowsWithNames;
  const NumberRows read = readCellTexts(kept, &rowsWithNames);
  for (std::size_t k = 0; k < rows.size(); ++k) numbers_.set(rows[k], read.value(long(k)), read.included(long(k)));
  for (long k : rowsWithNames) readCell(rows[std::size_t(k)]);
}

bool VKDataColumnSpecified::takeCellsInForms(CellTextStore texts, std::shared_ptr<KRDoubleArrayContainer> numbers) {
  if (!texts.coded() || !numbers || !numbers->isMutable() || std::size_t(numbers->length()) != texts.size())
    return takeTexts(std::move(texts));
  const long length = numbers->length();
  auto values = std::move(numbers);
  auto mask = KRUCharArrayContainer::createArrayOfLength(length);
  std::uint8_t* m = mask->mutablePointer();
  for (long r = 0; r < length; ++r) m[r] = texts.form(std::size_t(r)) >= number_forms::kFixed ? 1 : 0;
  stringVersion_ = std::move(texts);
  numbers_ = NumberRows::adopt(std::move(values), std::move(mask));
  textsChanged(-1);
  textsEdited(false);
  return true;
}

void VKDataColumnSpecified::codeRowsInForms() {
  const std::size_t rows = stringVersion_.size();
  std::vector<std::uint8_t> forms(rows);
  std::size_t inForms = 0, keptCharacters = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::string_view text = stringVersion_[r];
    // A text in a form always reads as its number; the mask is looked at
    // all the same, so that no row can lose a text it could not make again.
    std::uint8_t form = number_forms::formOfText(text);
    if (form >= number_forms::kFixed && !numbers_.included(long(r))) form = number_forms::kKept;
    forms[r] = form;
    if (form == number_forms::kKept) keptCharacters += text.size();
    else ++inForms;
  }
  if (rows == 0 || inForms * 2 < rows) return;
  CellTextStore coded;
  coded.code();
  coded.reserve(rows, keptCharacters);
  for (std::size_t r = 0; r < rows; ++r) {
    if (forms[r] == number_forms::kKept) coded.push_back(stringVersion_[r]);
    else coded.pushForm(forms[r]);
  }
  stringVersion_ = std::move(coded);
}

void VKDataColumnSpecified::rowsInserted(const RowIndices& positions) {
  if (stringVersion_.coded()) numbers_.insertRows(positions, {}, {});
  textsChanged(-1);
}

void VKDataColumnSpecified::rowsRemoved(const RowIndices& positions) {
  if (stringVersion_.coded()) numbers_.removeRows(positions);
  textsChanged(-1);
}

void VKDataColumnSpecified::rowsReordered(const std::vector<long>& order) {
  if (stringVersion_.coded()) numbers_.reorder(order);
  textsChanged(-1);
}

std::optional<double> VKDataColumnSpecified::evaluateCell(const KRExpression& expression) const {
  const auto lookup = parameters();
  std::map<std::string, double, std::less<>> arguments;
  const auto& constants = KRExpression::knownConstants();
  for (const auto& name : expression.unknowns()) {
    if (constants.count(name)) continue;
    const auto value = lookup ? lookup->valueForParameter(name) : std::nullopt;
    if (!value) return std::nullopt;
    arguments.emplace(name, *value);
  }
  return expression.evaluateNumberWithArguments(arguments);
}

namespace {

// The same value, NaN counting as equal to NaN.
bool sameCell(double a, bool aValid, double b, bool bValid) {
  return aValid == bValid && (a == b || (std::isnan(a) && std::isnan(b)));
}

bool sameParameter(const std::weak_ptr<VKParameterController>& a, const std::weak_ptr<VKParameterController>& b) {
  return !a.owner_before(b) && !b.owner_before(a);
}

}  // namespace

bool VKDataColumnSpecified::workOutFormulaCells() {
  if (howManyCachedExpressions_ == 0) return false;
  bool changed = false;
  for (std::size_t row = 0; row < cachedExpressions_.size(); ++row) {
    if (!cachedExpressions_[row]) continue;
    const auto value = evaluateCell(*cachedExpressions_[row]);
    const double number = value.value_or(std::nan(""));
    if (sameCell(number, value.has_value(), numbers_.value(long(row)), numbers_.included(long(row)))) continue;
    numbers_.set(long(row), number, value.has_value());
    changed = true;
  }
  return changed;
}

bool VKDataColumnSpecified::recomputeExpressionsNow() {
  needToRecomputeExpressions_ = false;
  if (!workOutFormulaCells()) return false;
  updateSerialNumber();
  return true;
}

bool VKDataColumnSpecified::parameterValueChangeAffectsColumn(const std::string& name) {
  return parametersUsed_.count(name) > 0;
}

void VKDataColumnSpecified::supplierChanged(VKDependencyBase*) {
  // Only parameters are suppliers of a typed-in column. The cells are worked
  // out now, so that the serial number the clients are about to read has
  // grown when (and only when) a value changed.
  recomputeExpressionsNow();
}

void VKDataColumnSpecified::columnNamesOrVariableNamesChanged() {
  // Columns or parameters came, went or were renamed. Only a name of the
  // cells that now means something else can change a value.
  if (!connectToParameters()) return;
  if (workOutFormulaCells()) columnChanged();
}

bool VKDataColumnSpecified::connectToParameters() {
  const auto lookup = parameters();
  DependencyList wanted;
  std::map<std::string, std::weak_ptr<VKParameterController>, std::less<>> resolved;
  for (const auto& [name, count] : parametersUsed_) {
    std::shared_ptr<VKParameterController> parameter = lookup ? lookup->parameterWithName(name) : nullptr;
    resolved.emplace(name, parameter);
    if (parameter) wanted.push_back(std::move(parameter));
  }
  connectToSuppliers(wanted);
  bool differs = false;
  for (const auto& [name, parameter] : resolved) {
    const auto before = resolvedParameters_.find(name);
    if (before == resolvedParameters_.end() || !sameParameter(before->second, parameter)) differs = true;
  }
  resolvedParameters_ = std::move(resolved);
  return differs;
}

}  // namespace orrelin
