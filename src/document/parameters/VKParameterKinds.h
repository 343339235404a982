#pragma once
// The parameter kinds besides formulas and sliders: a text, a date, a value
// taken from a column group, a value taken from a graph command, and a field
// definition.
//
// Column groups, graph commands and fields live in parts of the document that
// do not read parameters back yet; those kinds keep their settings and
// resolve to no value, with a reason.

#include <string>

#include "document/parameters/VKVariable.h"

namespace orrelin {

// A text ("String").
class VKParameterString final : public VKParameterController {
 public:
  std::string type() const override;
  const std::string& valueOfString() const { return valueOfString_; }
  // The text is the new value, as it is.
  void setValue(const std::string& text) override;
  std::optional<std::string> stringValue() const override { return valueOfString_; }
  bool isString() const override { return true; }

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  std::string valueOfString_;
};

// A point in time ("Date"), seconds since 1970-01-01 00:00:00 GMT. As a
// number it is those seconds.
class VKParameterDate final : public VKParameterController {
 public:
  std::string type() const override;
  double secondsInDate() const { return secondsInDate_; }
  void setSecondsInDate(double seconds);
  // The text is evaluated as a formula, where a date is written
  // year:month:day[:hour:minute[:second]]; a text that gives no number
  // leaves the date and posts a message.
  void setValue(const std::string& text) override;
  double valueOfVariable() const override { return secondsInDate_; }
  bool isNumber() const override { return true; }
  bool isDate() const override { return true; }

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  double secondsInDate_ = 0;
};

// A value taken from a property of a column group ("Number From Group",
// "String From Group").
class VKParameterFromDataGroup : public VKParameterController {
 public:
  VKParameterFromDataGroup();

  const std::string& whichGroup() const { return whichGroup_; }
  const std::string& whichProperty() const { return whichProperty_; }
  void setWhichGroup(std::string group);
  void setWhichProperty(std::string property);

  // The value comes from the group; a text changes nothing.
  void setValue(const std::string& text) override;

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  std::string whichGroup_;
  std::string whichProperty_;
};

class VKParameterNumberFromDataGroup final : public VKParameterFromDataGroup {
 public:
  std::string type() const override;
  bool isNumber() const override { return true; }
};

class VKParameterStringFromDataGroup final : public VKParameterFromDataGroup {
 public:
  std::string type() const override;
  bool isString() const override { return true; }
};

// A number taken from a property that a graph command publishes ("Value from
// Command").
class VKParameterNumberFromCommand final : public VKParameterController {
 public:
  VKParameterNumberFromCommand();

  std::string type() const override;
  const std::string& command() const { return command_; }
  const std::string& parameter() const { return parameter_; }
  void setCommand(std::string command);
  void setParameter(std::string parameter);
  // Whether reading the command would lead back to this parameter.
  bool circularReference() const { return circularReference_; }
  bool cmdAndParameterValid() const { return cmdAndParameterValid_; }

  // The value comes from the command; a text changes nothing.
  void setValue(const std::string& text) override;
  bool isNumber() const override { return true; }

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  std::string command_;
  std::string parameter_;
  bool circularReference_ = false;
  bool cmdAndParameterValid_ = false;
};

// A field definition ("Field"): named like a parameter, kept with all its
// stored settings, but without a value of its own.
class VKParameterField final : public VKParameterController {
 public:
  VKParameterField();

  std::string type() const override;
  void setValue(const std::string& text) override;
  bool variableShouldBeIncluded() const override { return false; }

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

 private:
  // Everything read, so saving writes the settings back.
  PropertyList stored_;
};

}  // namespace orrelin
