#include "VKDefinedObject.h"

#include "document/parameters/ParameterTexts.h"

namespace orrelin {

namespace texts = parameter_texts;

void VKDefinedObject::setName(std::string name) { name_ = std::move(name); }

PropertyList VKDefinedObject::propertyList() const {
  PlistDictionary dict;
  dict.emplace(texts::kKeyType, type());
  dict.emplace(texts::kKeyName, name_);
  dict.emplace(texts::kKeyOpen, viewIsOpen_);
  return dict;
}

void VKDefinedObject::fillFromPropertyList(const PropertyList& list) {
  // The name is taken directly: the list that reads a stored definition
  // validates all names once everything is read.
  if (auto name = list.stringForKey(texts::kKeyName)) name_ = *name;
  if (auto open = list.booleanForKey(texts::kKeyOpen)) viewIsOpen_ = *open;
}

VKUnknownDefinition::VKUnknownDefinition(PropertyList stored) { fillFromPropertyList(stored); }

std::string VKUnknownDefinition::type() const { return stored_.stringForKey(texts::kKeyType).value_or(""); }

PropertyList VKUnknownDefinition::propertyList() const {
  PropertyList list = stored_;
  if (list.isDictionary() && (list.find(texts::kKeyName) || !name().empty()))
    list.dictionary()[texts::kKeyName] = name();
  if (list.isDictionary() && (list.find(texts::kKeyOpen) || viewIsOpen()))
    list.dictionary()[texts::kKeyOpen] = viewIsOpen();
  return list;
}

void VKUnknownDefinition::fillFromPropertyList(const PropertyList& list) {
  stored_ = list;
  VKDefinedObject::fillFromPropertyList(list);
}

}  // namespace orrelin
