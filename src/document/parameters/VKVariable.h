#pragma once
// Named parameters (the user also calls them variables): numbers and texts
// that formulas, column cells, labels and commands use by name.
//
// A parameter resolves by name only while its name is valid, which the
// definitions list decides (unique among the parameters, not a column's
// name, not empty). Whatever reads a parameter registers as its client in
// the dependency graph; every change of the value gives the parameter a new,
// larger serial number and tells each client once.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "document/parameters/VKDefinedObject.h"

namespace orrelin {

class VKVariable : public VKDefinedObject {
 public:
  using NameSet = std::set<std::string, std::less<>>;

  VKVariable();

  const std::string& nameOfVariable() const { return name(); }
  // A new name is validated at once by the list holding the variable.
  void setName(std::string name) override;

  // Grows on every change of the value.
  std::int64_t serialNumber() const;

  // Set by the definitions list's validation.
  bool nameIsValid() const { return nameIsValid_; }
  const std::string& reasonWhyNameInvalid() const { return reasonWhyNameInvalid_; }
  // Whether the value itself could be worked out.
  bool entryIsValid() const;
  // The names the value depends on (those its formula uses).
  virtual const NameSet& unknowns() const;

  // Valid name and valid value.
  virtual bool isValid() const;

  // The change count of the list holding the variable (see
  // VKDefinedObjectsController::inputGeneration); 0, meaning "look again
  // every time", for a variable in no list.
  std::uint64_t inputGeneration() const;

  void fillFromPropertyList(const PropertyList& list) override;
  // Why isValid is false: the name's reason first, then the value's; empty
  // for a valid variable.
  virtual std::string whyIsThisInvalid() const;

 protected:
  // The value changed: a new serial number, and every client is told once.
  void valueChanged();
  // Tells nobody; const because kinds whose value is computed set it while
  // they bring themselves up to date.
  void setEntryValidity(bool valid, std::string reason = {}) const;
  // Kinds whose value is computed from other parameters bring it up to date
  // here before it is read.
  virtual void bringUpToDate() const {}
  void takeNewSerialNumber() const;
  void noteInputChanged() const;
  // The validity as it stands, without bringing it up to date.
  bool storedEntryValidity() const { return entryIsValid_; }
  const std::string& storedEntryReason() const { return reasonWhyEntryInvalid_; }

 private:
  friend class VKDefinedObjectsController;
  void setNameValidity(bool valid, std::string reason);

  mutable std::int64_t serialNumber_;
  bool nameIsValid_ = false;
  std::string reasonWhyNameInvalid_;
  mutable bool entryIsValid_ = true;
  mutable std::string reasonWhyEntryInvalid_;
};

// The base of every parameter kind.
class VKParameterController : public VKVariable {
 public:
  // A parameter of the kind the stored form's "Type" names, filled from it;
  // none for a type that is not a parameter.
  static std::shared_ptr<VKParameterController> createFromPropertyList(const PropertyList& list);

  // Takes a value given as text (typed, or a batch override). What the text
  // means depends on the kind.
  virtual void setValue(const std::string& text) = 0;

  // The number of a number parameter; NaN when it has none (not a number, or
  // its value could not be worked out).
  virtual double valueOfVariable() const;
  // The text of a text parameter; none for the other kinds.
  virtual std::optional<std::string> stringValue() const;

  virtual bool isNumber() const { return false; }
  virtual bool isString() const { return false; }
  // A number that counts seconds since 1970 and is shown as a date.
  virtual bool isDate() const { return false; }
  // Whether the parameter takes part in evaluation and batch overrides.
  virtual bool variableShouldBeIncluded() const { return true; }

  // The validated names changed; kinds that read other parameters by name
  // look them up again. Answers whether the value changed.
  virtual bool parameterNamesChanged() { return false; }

 protected:
  // The number a value text gives, or none after posting failureFormat
  // (with the text in place of "%@") to the message centre.
  static std::optional<double> numberFromValueText(const std::string& text, const char* failureFormat);
  // Sets a setting that decides the value and tells the readers, when it
  // differs.
  void changeSetting(std::string& setting, std::string value);
};

}  // namespace orrelin
