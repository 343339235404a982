#include "VKParameterKinds.h"

#include <cmath>

#include "document/parameters/ParameterTexts.h"
#include "document/parameters/VKParameterSlider.h"
#include "document/parameters/VKParameterValue.h"

namespace orrelin {

namespace texts = parameter_texts;

std::shared_ptr<VKParameterController> VKParameterController::createFromPropertyList(const PropertyList& list) {
  auto type = list.stringForKey(texts::kKeyType);
  if (!type) return nullptr;
  std::shared_ptr<VKParameterController> parameter;
  if (*type == texts::kTypeValue)
    parameter = std::make_shared<VKParameterValue>();
  else if (*type == texts::kTypeSlider)
    parameter = std::make_shared<VKParameterSlider>();
  else if (*type == texts::kTypeString)
    parameter = std::make_shared<VKParameterString>();
  else if (*type == texts::kTypeDate)
    parameter = std::make_shared<VKParameterDate>();
  else if (*type == texts::kTypeNumberFromGroup)
    parameter = std::make_shared<VKParameterNumberFromDataGroup>();
  else if (*type == texts::kTypeStringFromGroup)
    parameter = std::make_shared<VKParameterStringFromDataGroup>();
  else if (*type == texts::kTypeValueFromCommand)
    parameter = std::make_shared<VKParameterNumberFromCommand>();
  else if (*type == texts::kTypeField)
    parameter = std::make_shared<VKParameterField>();
  if (parameter) parameter->fillFromPropertyList(list);
  return parameter;
}

// ---- String

std::string VKParameterString::type() const { return texts::kTypeString; }

void VKParameterString::setValue(const std::string& text) {
  valueOfString_ = text;
  valueChanged();
}

PropertyList VKParameterString::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  list.dictionary().emplace(texts::kKeyString, valueOfString_);
  return list;
}

void VKParameterString::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  if (auto text = list.stringForKey(texts::kKeyString)) valueOfString_ = *text;
}

// ---- Date

std::string VKParameterDate::type() const { return texts::kTypeDate; }

void VKParameterDate::setSecondsInDate(double seconds) {
  if (seconds == secondsInDate_) return;
  secondsInDate_ = seconds;
  valueChanged();
}

void VKParameterDate::setValue(const std::string& text) {
  auto seconds = numberFromValueText(text, texts::kDateNotEvaluated);
  if (!seconds) return;
  secondsInDate_ = *seconds;
  valueChanged();
}

PropertyList VKParameterDate::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  list.dictionary().emplace(texts::kKeyDate, PlistDate{secondsInDate_});
  return list;
}

void VKParameterDate::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  const PropertyList* date = list.find(texts::kKeyDate);
  if (!date) return;
  double seconds = date->isDate() ? date->date().secondsSince1970 : date->isNumber() ? date->real() : NAN;
  if (std::isfinite(seconds)) secondsInDate_ = seconds;
}

// ---- From a column group

VKParameterFromDataGroup::VKParameterFromDataGroup() { setEntryValidity(false, texts::kGroupValuesUnavailable); }

void VKParameterFromDataGroup::setWhichGroup(std::string group) { changeSetting(whichGroup_, std::move(group)); }

void VKParameterFromDataGroup::setWhichProperty(std::string property) {
  changeSetting(whichProperty_, std::move(property));
}

void VKParameterFromDataGroup::setValue(const std::string&) {}

PropertyList VKParameterFromDataGroup::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  list.dictionary().emplace(texts::kKeyGroup, whichGroup_);
  list.dictionary().emplace(texts::kKeyProperty, whichProperty_);
  return list;
}

void VKParameterFromDataGroup::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  if (auto group = list.stringForKey(texts::kKeyGroup)) whichGroup_ = *group;
  if (auto property = list.stringForKey(texts::kKeyProperty)) whichProperty_ = *property;
}

std::string VKParameterNumberFromDataGroup::type() const { return texts::kTypeNumberFromGroup; }

std::string VKParameterStringFromDataGroup::type() const { return texts::kTypeStringFromGroup; }

// ---- From a graph command

VKParameterNumberFromCommand::VKParameterNumberFromCommand() {
  setEntryValidity(false, texts::kCommandValuesUnavailable);
}

std::string VKParameterNumberFromCommand::type() const { return texts::kTypeValueFromCommand; }

void VKParameterNumberFromCommand::setCommand(std::string command) { changeSetting(command_, std::move(command)); }

void VKParameterNumberFromCommand::setParameter(std::string parameter) {
  changeSetting(parameter_, std::move(parameter));
}

void VKParameterNumberFromCommand::setValue(const std::string&) {}

PropertyList VKParameterNumberFromCommand::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  list.dictionary().emplace(texts::kKeyCommand, command_);
  list.dictionary().emplace(texts::kKeyParameter, parameter_);
  return list;
}

void VKParameterNumberFromCommand::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  if (auto command = list.stringForKey(texts::kKeyCommand)) command_ = *command;
  if (auto parameter = list.stringForKey(texts::kKeyParameter)) parameter_ = *parameter;
}

// ---- Field

VKParameterField::VKParameterField() { setEntryValidity(false, texts::kFieldsUnavailable); }

std::string VKParameterField::type() const { return texts::kTypeField; }

void VKParameterField::setValue(const std::string&) {}

PropertyList VKParameterField::propertyList() const {
  PropertyList list = stored_.isDictionary() ? stored_ : PropertyList(PlistDictionary{});
  const PropertyList own = VKDefinedObject::propertyList();
  for (const auto& [key, value] : own.dictionary()) list.dictionary()[key] = value;
  return list;
}

void VKParameterField::fillFromPropertyList(const PropertyList& list) {
  VKVariable::fillFromPropertyList(list);
  if (list.isDictionary()) stored_ = list;
}

}  // namespace orrelin
