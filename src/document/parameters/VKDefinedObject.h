#pragma once
// One entry of a document's definitions list: a parameter, a colour scheme,
// or another named definition. Every entry is a node of the dependency graph,
// so whatever uses it (a column, a command, another parameter) hears of its
// changes.

#include <memory>
#include <string>

#include "graph/dependency/VKDependencyBase.h"
#include "platform/PropertyList.h"

namespace orrelin {

class VKDefinedObjectsController;

class VKDefinedObject : public VKDependencyBase {
 public:
  VKDefinedObject() = default;

  // The "Type" of the stored form.
  virtual std::string type() const = 0;

  const std::string& name() const { return name_; }
  virtual void setName(std::string name);

  // Whether the entry's settings are shown open in the definitions panel.
  bool viewIsOpen() const { return viewIsOpen_; }
  void setViewIsOpen(bool open) { viewIsOpen_ = open; }

  // The stored form: a dictionary with "Type", "Name", "Open" and the kind's
  // own keys.
  virtual PropertyList propertyList() const;
  // Takes what it recognises from a stored form; keys that are missing or of
  // the wrong kind leave the current settings alone.
  virtual void fillFromPropertyList(const PropertyList& list);

  // The list that holds this entry, or none.
  VKDefinedObjectsController* owner() const { return owner_; }

 private:
  friend class VKDefinedObjectsController;

  std::string name_;
  bool viewIsOpen_ = false;
  VKDefinedObjectsController* owner_ = nullptr;
};

// A stored definition of a kind this version does not handle (a marker
// scheme, a font style, ...). It is kept as read and written back unchanged,
// so opening and saving a document never loses it.
class VKUnknownDefinition final : public VKDefinedObject {
 public:
  explicit VKUnknownDefinition(PropertyList stored);

  std::string type() const override;
  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  PropertyList stored_;
};

}  // namespace orrelin
