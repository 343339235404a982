#include "graph/commandbase/VKInputController.h"

#include <cstdio>

#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/DataDrawingCommand.h"
#include "graph/commandbase/TextFormat.h"
#include "platform/KRMessageCenter.h"

namespace orrelin {

const char* propertyListKindDescription(const PropertyList& value) {
  switch (value.kind()) {
    case PropertyList::Kind::Dictionary: return "a dictionary";
    case PropertyList::Kind::Array: return "an array";
    case PropertyList::Kind::String: return "a string";
    case PropertyList::Kind::Integer: return "an integer";
    case PropertyList::Kind::Real: return "a real number";
    case PropertyList::Kind::Boolean: return "a boolean";
    case PropertyList::Kind::Date: return "a date";
    case PropertyList::Kind::Data: return "data";
  }
  return "a value";
}

void VKInputController::setUsedInside(DataDrawingCommand* command, std::string name) {
  usedInside_ = command;
  settingName_ = std::move(name);
}

CommandDocument* VKInputController::commandDocument() const {
  return dynamic_cast<CommandDocument*>(document().get());
}

bool VKInputController::respondsToSelector(const std::string& selector) const {
  return selector == commandtext::kSetFromPropertyList;
}

std::optional<PropertyList> VKInputController::undoArgumentFor(const std::string& selector) const {
  if (selector != commandtext::kSetFromPropertyList) return std::nullopt;
  auto current = propertyList();
  // A setting without a stored form goes back to its default.
  return current ? current : std::optional<PropertyList>(PropertyList());
}

bool VKInputController::perform(const std::string& selector, const PropertyList& argument) {
  if (selector != commandtext::kSetFromPropertyList) return false;
  setFromPropertyList(&argument);
  changed();
  return true;
}

void VKInputController::setFromPropertyListRecordUndo(const PropertyList& value) {
  if (usedInside_) {
    if (auto before = undoArgumentFor(commandtext::kSetFromPropertyList))
      usedInside_->recordUndoFor(this, commandtext::kSetFromPropertyList, *before);
  }
  perform(commandtext::kSetFromPropertyList, value);
}

void VKInputController::reportBadValue(const PropertyList& found, const char* expected) const {
  const std::string type = usedInside_ ? usedInside_->type() : std::string();
  KRMessageCenter::addMessage(commandtext::kBadSettingValue,
                              formatText(commandtext::kBadSettingValueLong, settingName_.c_str(),
                                         type.empty() ? "untyped" : type.c_str(),
                                         propertyListKindDescription(found), expected));
}

void VKInputController::disconnectAllSuppliers() {
  for (const auto& supplier : suppliers()) disconnectAsSupplier(supplier);
}

bool VKInputController::connectToSupplier(const std::shared_ptr<VKDependencyBase>& entity) {
  if (!entity || hasSupplier(entity.get())) return entity != nullptr;
  if (!canAddSupplier(entity)) return false;
  connectAsSupplier(entity);
  return true;
}

}  // namespace orrelin
