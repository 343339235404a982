#include "VKParameterValue.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "document/parameters/ParameterTexts.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "expression/KRExpression.h"
#include "expression/KRExpressionMessages.h"

namespace orrelin {

namespace texts = parameter_texts;

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Values compare bit for bit, so a NaN input is "the same" as the NaN it
// was last time and does not force a new evaluation.
bool sameNumber(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

VKParameterValue::VKParameterValue() { parseContent(); }

std::string VKParameterValue::type() const { return texts::kTypeValue; }

void VKParameterValue::setValue(const std::string& text) {
  contentOfValue_ = text;
  parseContent();
  connectToParameters();
  evaluateIfNeeded();
  valueChanged();
}

void VKParameterValue::parseContent() {
  KRExpressionErrorHandler errors;
  valueExpression_ = KRExpression::createFromString(contentOfValue_, &errors);
  unknowns_.clear();
  if (valueExpression_) {
    errorWhenParsingExpression_.clear();
    for (const auto& name : valueExpression_->unknowns()) unknowns_.insert(name);
  } else {
    // The parser says nothing about a text without a single token.
    if (!errors.errorString().empty())
      errorWhenParsingExpression_ = errors.errorString();
    else if (!KRExpression::splitIntoTokens(contentOfValue_))
      errorWhenParsingExpression_ = expression_messages::kNothingToEvaluate;
    else
      errorWhenParsingExpression_ = expression_messages::kCouldNotParse;
  }
  evaluatedWith_.reset();
  checkedGeneration_ = 0;
}

void VKParameterValue::connectToParameters() {
  cyclicThrough_.clear();
  evaluatedWith_.reset();
  checkedGeneration_ = 0;
  noteInputChanged();
  std::map<std::string, std::shared_ptr<VKParameterController>, std::less<>> wanted;
  if (const auto* list = owner()) {
    for (const auto& name : unknowns_) {
      auto parameter = list->parameterWithName(name);
      if (parameter && parameter->isNumber()) wanted.emplace(name, std::move(parameter));
    }
  }
  // Let go of the parameters the formula no longer reads (or that its names
  // now mean other parameters).
  for (auto it = connected_.begin(); it != connected_.end();) {
    auto held = it->second.lock();
    auto want = wanted.find(it->first);
    if (held && want != wanted.end() && want->second == held) {
      ++it;
      continue;
    }
    if (held && hasSupplier(held.get())) disconnectAsSupplier(held);
    it = connected_.erase(it);
  }
  for (auto& [name, parameter] : wanted) {
    if (connected_.count(name)) continue;
    // The same parameter may be wanted under one name only, but stay safe.
    if (hasSupplier(parameter.get())) {
      connected_.emplace(name, parameter);
      continue;
    }
    if (!canAddSupplier(parameter)) {
      if (cyclicThrough_.empty()) cyclicThrough_ = name;
      continue;
    }
    connectAsSupplier(parameter);
    connected_.emplace(name, parameter);
  }
}

bool VKParameterValue::evaluateIfNeeded() const {
  // Suppliers never form a cycle (they are refused), so this only guards
  // against a programming error.
  const std::uint64_t generation = inputGeneration();
  if (updating_ || (generation != 0 && checkedGeneration_ == generation)) return false;
  updating_ = true;

  const bool wasValid = storedEntryValidity();
  const double oldValue = valueOfVariable_;
  const std::string oldReason = storedEntryReason();

  bool valid = false;
  double value = kNoValue;
  std::string reason;
  std::map<std::string, double, std::less<>> arguments;
  bool inputsUnchanged = false;
  bool evaluated = false;

  if (!valueExpression_) {
    reason = errorWhenParsingExpression_;
  } else if (!cyclicThrough_.empty()) {
    reason = texts::fillIn(texts::kCircularValue, {cyclicThrough_});
  } else {
    std::string missing;
    std::string withoutValue;
    for (const auto& name : unknowns_) {
      auto it = connected_.find(name);
      auto supplier = it != connected_.end() ? it->second.lock() : nullptr;
      if (supplier) {
        double v = supplier->valueOfVariable();
        if (!supplier->entryIsValid() && withoutValue.empty()) withoutValue = name;
        arguments.emplace(name, v);
      } else if (!KRExpression::knownConstants().count(name) && missing.empty()) {
        missing = name;
      }
    }
    if (!missing.empty()) {
      reason = texts::kUnknownConstant;
    } else if (!withoutValue.empty()) {
      reason = texts::fillIn(texts::kSupplierHasNoValue, {withoutValue});
    } else if (evaluatedWith_ && evaluatedWith_->size() == arguments.size() &&
               std::equal(arguments.begin(), arguments.end(), evaluatedWith_->begin(),
                          [](const auto& a, const auto& b) { return a.first == b.first && sameNumber(a.second, b.second); })) {
      inputsUnchanged = true;
    } else {
      evaluated = true;
      KRExpressionEvaluationErrorHandler errors;
      auto number = valueExpression_->evaluateNumberWithArguments(arguments, &errors);
      if (number) {
        valid = true;
        value = *number;
      } else {
        reason = errors.hasError() ? errors.errorString() : std::string(expression_messages::kNotANumber);
      }
    }
  }

  bool changed = false;
  if (!inputsUnchanged) {
    evaluatedWith_ = evaluated ? std::optional(arguments) : std::nullopt;
    valueOfVariable_ = value;
    setEntryValidity(valid, reason);
    changed = valid != wasValid || !sameNumber(value, oldValue) || storedEntryReason() != oldReason;
    if (changed) takeNewSerialNumber();
  }
  checkedGeneration_ = generation;
  updating_ = false;
  return changed;
}

void VKParameterValue::bringUpToDate() const {
  // Once per input generation the inputs are read again (which brings them
  // up to date first); the formula is evaluated only when one of them moved.
  evaluateIfNeeded();
}

double VKParameterValue::valueOfVariable() const {
  bringUpToDate();
  return valueOfVariable_;
}

const VKVariable::NameSet& VKParameterValue::unknowns() const { return unknowns_; }

bool VKParameterValue::parameterNamesChanged() {
  std::int64_t before = serialNumber();
  connectToParameters();
  return serialNumber() != before;
}

void VKParameterValue::entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) {
  if (alreadySentFor.contains(this)) return;
  evaluateIfNeeded();
  VKDependencyBase::entryChanged(sender, alreadySentFor);
}

PropertyList VKParameterValue::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  list.dictionary().emplace(texts::kKeyValue, contentOfValue_);
  double value = valueOfVariable();
  if (std::isfinite(value)) list.dictionary().emplace(texts::kKeyExactValue, value);
  return list;
}

void VKParameterValue::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  if (auto text = list.stringForKey(texts::kKeyValue)) {
    contentOfValue_ = *text;
  } else if (auto number = list.numberForKey(texts::kKeyExactValue)) {
    contentOfValue_ = texts::numberText(*number);
  }
  parseContent();
  connectToParameters();
}

}  // namespace orrelin
