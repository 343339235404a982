#include "VKVariable.h"

#include <cmath>
#include <limits>

#include "document/parameters/ParameterTexts.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "expression/KRExpression.h"
#include "platform/KRMessageCenter.h"
#include "platform/SerialNumbers.h"

namespace orrelin {

namespace texts = parameter_texts;

VKVariable::VKVariable() : serialNumber_(nextUniqueSerialNumber()) {}

void VKVariable::setName(std::string name) {
  if (name == this->name()) return;
  VKDefinedObject::setName(std::move(name));
  if (auto* list = owner()) list->parameterListChanged();
}

std::int64_t VKVariable::serialNumber() const {
  bringUpToDate();
  return serialNumber_;
}

bool VKVariable::entryIsValid() const {
  bringUpToDate();
  return entryIsValid_;
}

const VKVariable::NameSet& VKVariable::unknowns() const {
  static const NameSet none;
  return none;
}

bool VKVariable::isValid() const { return nameIsValid_ && entryIsValid(); }

std::string VKVariable::whyIsThisInvalid() const {
  bringUpToDate();
  if (!nameIsValid_) {
    if (!reasonWhyNameInvalid_.empty()) return reasonWhyNameInvalid_;
    if (name().empty()) return texts::kNameIsEmpty;
  }
  return entryIsValid_ ? std::string() : reasonWhyEntryInvalid_;
}

std::uint64_t VKVariable::inputGeneration() const {
  const auto* list = owner();
  return list ? list->inputGeneration() : 0;
}

void VKVariable::noteInputChanged() const {
  if (auto* list = owner()) list->noteInputChanged();
}

void VKVariable::fillFromPropertyList(const PropertyList& list) {
  VKDefinedObject::fillFromPropertyList(list);
  noteInputChanged();
}

void VKVariable::valueChanged() {
  noteInputChanged();
  takeNewSerialNumber();
  thisControllerChanged();
}

void VKVariable::setEntryValidity(bool valid, std::string reason) const {
  entryIsValid_ = valid;
  reasonWhyEntryInvalid_ = valid ? std::string() : std::move(reason);
}

void VKVariable::takeNewSerialNumber() const { serialNumber_ = nextUniqueSerialNumber(); }

void VKVariable::setNameValidity(bool valid, std::string reason) {
  nameIsValid_ = valid;
  reasonWhyNameInvalid_ = valid ? std::string() : std::move(reason);
}

double VKParameterController::valueOfVariable() const { return std::numeric_limits<double>::quiet_NaN(); }

std::optional<std::string> VKParameterController::stringValue() const { return std::nullopt; }

std::optional<double> VKParameterController::numberFromValueText(const std::string& text, const char* failureFormat) {
  std::string error;
  auto number = KRExpression::evaluateNumberFromString(text, &error);
  if (number && std::isfinite(*number)) return number;
  KRMessageCenter::addMessage(texts::fillIn(failureFormat, {text}), error);
  return std::nullopt;
}

void VKParameterController::changeSetting(std::string& setting, std::string value) {
  if (value == setting) return;
  setting = std::move(value);
  valueChanged();
}

}  // namespace orrelin
