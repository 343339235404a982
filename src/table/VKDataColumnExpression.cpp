#include "table/VKDataColumnExpression.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "document/parameters/VKVariable.h"
#include "expression/KRExpression.h"
#include "expression/KRExpressionRandomGenerator.h"
#include "table/DataDocumentTable.h"
#include "table/SharedWorkers.h"
#include "table/TableMessages.h"
#include "table/VKDataColumnNumber.h"

namespace orrelin {

namespace text = table_text;

struct VKDataColumnExpression::Resolution {
  struct ColumnUse {
    std::string name;
    std::weak_ptr<OrrelinColumn> column;
    bool subscripted = false;  // used as name(i), else row by row
  };
  struct PropertyUse {
    std::string name;  // as written, "x.max"
    std::weak_ptr<OrrelinColumn> column;
    std::string ending;
  };
  struct VariableUse {
    std::string name;
    std::weak_ptr<VKDependencyBase> parameter;
  };

  std::string text;
  std::shared_ptr<const KRExpression> expression;
  std::string error;
  std::vector<ColumnUse> columns;
  std::vector<PropertyUse> properties;
  std::vector<VariableUse> variables;
  bool containsRand = false;
  bool containsSubscript = false;

  bool sameAs(const Resolution& other) const {
    const auto sameColumns = [](const auto& a, const auto& b) {
      return a.name == b.name && a.column.lock() == b.column.lock();
    };
    return text == other.text && error == other.error &&
           std::equal(columns.begin(), columns.end(), other.columns.begin(), other.columns.end(),
                      [&](const ColumnUse& a, const ColumnUse& b) {
                        return sameColumns(a, b) && a.subscripted == b.subscripted;
                      }) &&
           std::equal(properties.begin(), properties.end(), other.properties.begin(), other.properties.end(),
                      sameColumns) &&
           std::equal(variables.begin(), variables.end(), other.variables.begin(), other.variables.end(),
                      [](const VariableUse& a, const VariableUse& b) {
                        return a.name == b.name && a.parameter.lock() == b.parameter.lock();
                      });
  }
};

namespace {

// The hidden argument that gives a formula of random numbers without
// columns its length; no formula can name it.
constexpr const char* kRowsArgument = "\x01rows";

std::string joined(const std::vector<std::string>& names, const char* separator) {
  std::string text;
  for (std::size_t k = 0; k < names.size(); ++k) text += (k ? separator : "") + names[k];
  return text;
}

// A number setting that may also be stored as the text of a formula.
std::optional<double> numberFromSetting(const PropertyList* value) {
  if (!value) return std::nullopt;
  if (value->isNumber() || value->isBoolean()) return value->real();
  if (value->isString()) return KRExpression::evaluateNumberFromString(value->string());
  return std::nullopt;
}

bool isRandomFunction(const std::string& name) { return name == "rand" || name == "nrand"; }

}  // namespace

std::shared_ptr<VKDataColumnExpression> VKDataColumnExpression::createEmptyFor(const std::shared_ptr<DependencyDocument>& document) {
  auto column = std::make_shared<VKDataColumnExpression>();
  std::random_device entropy;
  column->setSetting(text::kSeed, std::int64_t(entropy()));
  if (document) column->setDocument(document);
  return column;
}

std::string VKDataColumnExpression::type() const { return text::kTypeExpression; }

std::string VKDataColumnExpression::expressionString() const { return stringSetting(text::kExpression); }

void VKDataColumnExpression::setExpressionString(const std::string& text) { setSetting(text::kExpression, text); }

std::string VKDataColumnExpression::errorMessage() {
  makeSureThingsAreUpToDate();
  return errorMessage_;
}

std::string VKDataColumnExpression::errorMessageForString(const std::string& text) { return resolve(text)->error; }

bool VKDataColumnExpression::containsSubscript() const { return resolution_ && resolution_->containsSubscript; }

bool VKDataColumnExpression::containsRand() const { return resolution_ && resolution_->containsRand; }

std::vector<long> VKDataColumnExpression::whichRowsHaveBadIndex() {
  makeSureThingsAreUpToDate();
  return badIndexRows_;
}

std::shared_ptr<VKDataColumnExpression::Resolution> VKDataColumnExpression::resolve(const std::string& formula) {
  auto r = std::make_shared<Resolution>();
  r->text = formula;
  if (formula.find_first_not_of(" \t\r\n") == std::string::npos) {
    r->error = text::kNoExpression;
    return r;
  }
  const auto owner = table();
  const auto lookup = owner ? owner->columnsByNameVisibleFrom(*this, true) : std::make_shared<const ColumnNameMap>();
  const auto document = parameters();

  // A name written with an argument, x(3), is a subscript when it names a
  // column (or a parameter, which then gets its message below); rand and
  // nrand draw numbers.
  KRFunctionDictionary functions;
  if (const auto tokens = KRExpression::splitIntoTokens(formula)) {
    for (std::size_t k = 0; k + 1 < tokens->size(); ++k) {
      const KRToken& token = (*tokens)[k];
      if (token.expType() != KRTokenSymbol || (*tokens)[k + 1].expType() != KRTokenStartParenthesis) continue;
      const std::string& name = token.tokenName();
      if (lookup->count(name) || (document && document->valueForParameter(name)))
        functions[name] = KRUserFunction::subscripted();
    }
  }
  for (auto& [name, function] : randomFunctions(std::make_shared<KRExpressionRandomGenerator>(0)))
    functions[name] = function;
  KRExpressionErrorHandler parseErrors;
  r->expression = KRExpression::createFromString(formula, &functions, &parseErrors);
  if (!r->expression) {
    r->error = parseErrors.errorString();
    return r;
  }
  for (const auto& [name, use] : r->expression->functions()) r->containsRand = r->containsRand || isRandomFunction(name);
  const auto subscripts = r->expression->subscripts();
  r->containsSubscript = !subscripts.empty();
  std::set<std::string> names(r->expression->unknowns().begin(), r->expression->unknowns().end());
  names.insert(subscripts.begin(), subscripts.end());

  bool circular = false;
  std::vector<std::string> undefined, notColumns, strings, badProperties;
  const auto found = [&](const std::string& name) -> ColumnPtr {
    const auto at = lookup->find(name);
    return at == lookup->end() ? nullptr : at->second;
  };
  const auto isParameter = [&](const std::string& name) {
    return document && (document->valueForParameter(name) || document->stringForParameter(name));
  };
  // The column does not see itself among the columns; its own name read
  // back is a reference to itself.
  const std::string ownName = this->name();
  for (const auto& name : names) {
    const bool subscripted = subscripts.count(name) > 0;
    if (!ownName.empty() && name == ownName && !found(name)) {
      circular = true;
      continue;
    }
    if (auto column = found(name)) {
      if (!column->isNumberColumn())
        strings.push_back(name);
      else
        r->columns.push_back({name, column, subscripted});
      continue;
    }
    if (const auto point = name.rfind('.'); !subscripted && point != std::string::npos) {
      const std::string base = name.substr(0, point);
      const std::string ending = name.substr(point + 1);
      if (auto column = found(base)) {
        if (column->isNumberColumn() && columnPropertyKind(ending))
          r->properties.push_back({name, column, ending});
        else
          badProperties.push_back(name);
        continue;
      }
      if (base == ownName) {
        circular = true;
        continue;
      }
      if (isParameter(base)) {
        notColumns.push_back(base);
        continue;
      }
    }
    if (document && document->valueForParameter(name)) {
      if (subscripted)
        notColumns.push_back(name);
      else
        r->variables.push_back({name, document->parameterWithName(name)});
      continue;
    }
    if (document && document->stringForParameter(name)) {
      strings.push_back(name);
      continue;
    }
    if (!subscripted && KRExpression::knownConstants().count(name)) continue;
    undefined.push_back(name);
  }

  // A column that reads this one, however indirectly, cannot be read by it.
  for (const auto& use : r->columns)
    if (auto column = use.column.lock(); column && !canAddSupplier(column)) circular = true;
  for (const auto& use : r->properties)
    if (auto column = use.column.lock(); column && !canAddSupplier(column)) circular = true;

  std::vector<std::string> messages;
  if (circular) messages.push_back(text::kCircular);
  if (undefined.size() == 1) messages.push_back(text::kUndefinedName + undefined.front());
  if (undefined.size() > 1) messages.push_back(std::string(text::kUndefinedNames) + "\n" + joined(undefined, ", "));
  for (const auto& name : notColumns) messages.push_back(name + text::kNeedsToBeAColumn);
  for (const auto& name : strings) messages.push_back(name + text::kIsAString);
  if (!badProperties.empty()) messages.push_back(invalidPropertyMessage(badProperties));
  r->error = joined(messages, "\n");
  return r;
}

void VKDataColumnExpression::updateColumnExpression() {
  auto updated = resolve(expressionString());
  const bool changed = !resolution_ || !resolution_->sameAs(*updated);
  resolution_ = std::move(updated);
  resolved_ = true;
  connectToSuppliers(wantedSuppliers());
  if (!changed) return;
  pending_ = true;
  thisControllerChanged();
}

DependencyList VKDataColumnExpression::wantedSuppliers() const {
  DependencyList wanted;
  const auto add = [&](std::shared_ptr<VKDependencyBase> entity) {
    if (entity && std::find(wanted.begin(), wanted.end(), entity) == wanted.end()) wanted.push_back(std::move(entity));
  };
  if (!resolution_) return wanted;
  for (const auto& use : resolution_->columns) add(use.column.lock());
  for (const auto& use : resolution_->properties) add(use.column.lock());
  for (const auto& use : resolution_->variables) add(use.parameter.lock());
  return wanted;
}

void VKDataColumnExpression::connectMissingSuppliers() { connectToSuppliers(wantedSuppliers(), true); }

void VKDataColumnExpression::disconnectUnwantedSuppliers() {
  const DependencyList wanted = wantedSuppliers();
  for (const auto& supplier : suppliers())
    if (std::find(wanted.begin(), wanted.end(), supplier) == wanted.end()) disconnectAsSupplier(supplier);
}

DependencyList VKDataColumnExpression::suppliersPending() const {
  // Before its connections are made (a document being read) the column
  // names its future suppliers, so that the cycle check sees them.
  if (resolved_ || !table()) return {};
  const auto lookup = table()->columnsByNameVisibleFrom(*this, true);
  auto expression = KRExpression::createFromString(expressionString());
  DependencyList pending;
  if (!expression) return pending;
  for (const auto& name : expression->unknowns()) {
    auto at = lookup->find(name);
    if (at == lookup->end() && name.rfind('.') != std::string::npos) at = lookup->find(name.substr(0, name.rfind('.')));
    if (at != lookup->end() && at->second.get() != this) pending.push_back(at->second);
  }
  return pending;
}

void VKDataColumnExpression::supplierChanged(VKDependencyBase*) { pending_ = true; }

bool VKDataColumnExpression::parameterValueChangeAffectsColumn(const std::string& name) {
  if (!resolution_) return false;
  return std::any_of(resolution_->variables.begin(), resolution_->variables.end(),
                     [&](const Resolution::VariableUse& use) { return use.name == name; });
}

void VKDataColumnExpression::settingChanged(const std::string& name) {
  if (name == text::kExpression) {
    // Without a table the names cannot be resolved yet; that happens when
    // the column's connections are made.
    if (table())
      updateColumnExpression();
    else
      resolved_ = false;
    pending_ = true;
  } else if (name == text::kAtLeast || name == text::kSeed) {
    pending_ = true;
    thisControllerChanged();
  }
}

void VKDataColumnExpression::makeSureThingsAreUpToDate() {
  if (!pending_ || computing_) return;
  computing_ = true;
  pending_ = false;
  recomputeNumbers();
  computing_ = false;
}

void VKDataColumnExpression::recomputeAll() {
  cachingInfo_ = PropertyList();
  pending_ = true;
}

void VKDataColumnExpression::recomputeNumbers() {
  if (!resolved_) {
    auto updated = resolve(expressionString());
    resolution_ = std::move(updated);
    resolved_ = table() != nullptr;
    if (resolved_) connectToSuppliers(wantedSuppliers());
  }
  compute();
}

long VKDataColumnExpression::atLeast() const {
  const auto value = numberFromSetting(setting(text::kAtLeast));
  if (!value || !std::isfinite(*value) || *value < 0) return 0;
  return *value > double(kLongestAtLeast) ? kLongestAtLeast : long(std::floor(*value));
}

std::uint32_t VKDataColumnExpression::seed() const {
  const auto value = numberFromSetting(setting(text::kSeed));
  if (!value || !std::isfinite(*value)) return 0;
  return std::uint32_t(std::int64_t(*value));
}

void VKDataColumnExpression::storeEmpty(const std::string& message, const PropertyList& key) {
  if (key == cachingInfo_ && message == errorMessage_) return;
  rows_ = NumberRows();
  badIndexRows_.clear();
  errorMessage_ = message;
  cachingInfo_ = key;
  updateSerialNumber();
}

void VKDataColumnExpression::compute() {
  const Resolution& r = *resolution_;
  PlistDictionary key;
  key[text::kExpression] = r.text;
  if (!r.error.empty()) {
    key["Error"] = r.error;
    storeEmpty(r.error, key);
    return;
  }

  // Length: the shortest column used, else "At Least". A column, property
  // or parameter that has gone is missing, and the column has no rows.
  const auto owner = table();
  const auto document = parameters();
  long length = kNoColumnLimit;
  bool limited = false;
  std::vector<std::string> missing;
  const auto present = [&](const ColumnPtr& column) {
    return column && (!owner || owner->indexOfColumn(column.get()) >= 0);
  };
  PlistDictionary columnSerials;
  std::map<std::string, KRValue, std::less<>> arguments;
  std::vector<std::shared_ptr<const KRUCharArrayContainer>> masks;
  std::vector<ColumnPtr> rowNumberUses;
  KRFunctionDictionary functions;
  for (const auto& use : r.columns) {
    auto column = use.column.lock();
    if (!present(column)) {
      missing.push_back(use.name + text::kMissing);
      continue;
    }
    if (use.subscripted) {
      // Handed over with the function rather than as an argument, so that
      // the column picked from does not limit the length.
      functions[use.name] = KRUserFunction::subscripted(column->numberVersion());
      columnSerials[use.name] = column->isRowNumberColumn() ? 0 : column->serialNumber();
      continue;
    }
    if (column->isRowNumberColumn()) {
      // Its values depend on the row alone, so it never makes a
      // computation out of date.
      columnSerials[use.name] = 0;
      rowNumberUses.push_back(column);
      continue;
    }
    columnSerials[use.name] = column->serialNumber();
    arguments.emplace(use.name, KRValue::array(column->numberVersion()));
    length = std::min(length, column->howManyEntries());
    limited = true;
    masks.push_back(column->whichAreIncluded());
  }
  for (const auto& use : r.properties) {
    auto column = use.column.lock();
    if (!present(column)) {
      missing.push_back(use.name + text::kMissing);
      continue;
    }
    columnSerials[column->name()] = column->serialNumber();
    std::string error;
    auto property = column->columnPropertyWithName(use.ending, &error);
    if (!property) {
      missing.push_back(error);
      continue;
    }
    if (property->isArray) {
      length = std::min(length, property->array->length());
      limited = true;
      masks.push_back(property->mask);
      arguments.emplace(use.name, KRValue::array(property->array));
    } else {
      arguments.emplace(use.name, property->number);
    }
  }
  PlistDictionary variables;
  for (const auto& use : r.variables) {
    const auto value = document ? document->valueForParameter(use.name) : std::nullopt;
    if (!value) {
      missing.push_back(use.name + text::kMissing);
      continue;
    }
    variables[use.name] = *value;
    arguments.emplace(use.name, *value);
  }
  key["Columns"] = columnSerials;
  key["Variables"] = variables;
  if (!missing.empty()) {
    key["Error"] = joined(missing, "\n");
    storeEmpty(joined(missing, "\n"), key);
    return;
  }
  if (!limited) {
    length = atLeast();
    key["Minimum Length"] = std::int64_t(length);
  }
  key["Length to Compute"] = std::int64_t(length);
  if (r.containsRand) key[text::kSeed] = std::int64_t(seed());
  if (PropertyList(key) == cachingInfo_) return;
  // The old values go before the new ones are made, so that a long column
  // does not need room for both (readers that hold them keep them).
  rows_ = NumberRows();

  // The row-number column numbers as many rows as are computed.
  for (const auto& column : rowNumberUses) {
    auto numbers = std::static_pointer_cast<VKDataColumnNumber>(column)->numberVersionForLength(length);
    for (const auto& use : r.columns)
      if (use.column.lock() == column) arguments.emplace(use.name, KRValue::array(numbers));
  }
  std::shared_ptr<const KRDoubleArrayContainer> rowsArgument;
  if (r.containsRand) {
    for (auto& [name, function] : randomFunctions(std::make_shared<KRExpressionRandomGenerator>(seed())))
      functions[name] = function;
    // Random numbers are drawn one per row, so a formula without columns
    // needs something as long as the column to draw for.
    const bool hasArray = std::any_of(arguments.begin(), arguments.end(),
                                      [](const auto& entry) { return !entry.second.isNumber(); });
    if (!hasArray && length > 0) {
      auto rowNumbers = owner ? owner->rowNumberColumn() : nullptr;
      rowsArgument = rowNumbers ? rowNumbers->numberVersionForLength(length) : nullptr;
      if (!rowsArgument) {
        auto ones = KRDoubleArrayContainer::createArrayOfLength(length);
        if (ones) ones->setAllValues(1);
        rowsArgument = ones;
      }
      if (rowsArgument) arguments.emplace(kRowsArgument, KRValue::array(rowsArgument));
    }
  }

  KRExpressionEvaluationErrorHandler errors;
  ++numberOfComputations_;
  auto value = r.expression->evaluateWithArguments(arguments, length, nullptr, &errors, &functions, &sharedExpressionWorkers());
  arguments.clear();
  if (!value) {
    storeEmpty(errors.errorString(), key);
    return;
  }

  std::shared_ptr<KRDoubleArrayContainer> values;
  if (value->isNumber()) {
    values = KRDoubleArrayContainer::createArrayOfLength(length);
    if (values) values->setAllValues(value->number());
  } else if (auto array = value->sharedArray()) {
    value.reset();
    if (array->length() == length && array->isMutable() && array.use_count() == 1) {
      values = std::const_pointer_cast<KRDoubleArrayContainer>(array);
    } else {
      values = KRDoubleArrayContainer::createArrayOfLength(length);
      if (values) {
        const long have = std::min(length, array->length());
        std::copy_n(array->constDoublePointer(), have, values->mutableDoublePointer());
        std::fill(values->mutableDoublePointer() + have, values->mutableDoublePointer() + length, std::nan(""));
      }
    }
  } else {
    storeEmpty(text::kSingleNumber, key);
    return;
  }
  badIndexRows_.clear();
  for (std::size_t k = 0; k < errors.subscriptErrorMask.size() && long(k) < length; ++k)
    if (errors.subscriptErrorMask[k]) badIndexRows_.push_back(long(k));

  // A row is valid where every column and array property used is. Masks
  // with every row valid change nothing; when one mask is left (or none
  // but an all-valid one) and nothing else is to be marked, the result
  // shares it rather than making a new one.
  std::shared_ptr<const KRUCharArrayContainer> allValid;
  std::erase_if(masks, [&](const std::shared_ptr<const KRUCharArrayContainer>& used) {
    const std::uint8_t* u = used->constPointer();
    const bool everyRow = used->length() >= length && std::all_of(u, u + length, [](std::uint8_t b) { return b != 0; });
    if (everyRow && used->length() == length) allValid = used;
    return everyRow;
  });
  if (masks.empty() && allValid) masks.push_back(allValid);
  std::shared_ptr<const KRUCharArrayContainer> mask;
  if (masks.size() == 1 && masks.front()->length() == length && badIndexRows_.empty()) {
    mask = masks.front();
  } else if (auto combined = KRUCharArrayContainer::createArrayOfLength(length)) {
    std::uint8_t* m = combined->mutablePointer();
    if (masks.empty()) std::fill(m, m + length, std::uint8_t(1));
    for (std::size_t j = 0; j < masks.size(); ++j) {
      const std::uint8_t* u = masks[j]->constPointer();
      const long have = std::min(length, masks[j]->length());
      if (j == 0)
        std::copy(u, u + have, m);
      else
        for (long k = 0; k < have; ++k) m[k] &= u[k];
      std::fill(m + have, m + length, std::uint8_t(0));
    }
    for (long row : badIndexRows_) m[row] = 0;
    mask = std::move(combined);
  }
  if (!values || !mask) {
    storeEmpty(errors.errorString(), key);
    return;
  }
  rows_ = NumberRows::adopt(std::move(values), std::move(mask));
  errorMessage_ = errors.hasSubscriptError() ? errors.errorString() : std::string();
  cachingInfo_ = key;
  updateSerialNumber();
}

}  // namespace orrelin
