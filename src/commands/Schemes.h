#pragma once
// Colour and marker schemes as the commands use them: the setting that
// names a scheme of the document, and the rules that give a value its line
// of the scheme. docs/commands-points.md states the rules.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/parameters/VKColorScheme.h"
#include "document/parameters/VKMarkerScheme.h"
#include "graph/commandbase/VKInputController.h"
#include "platform/KRColor.h"

namespace orrelin {

class VKDefinedObjectsController;

// A value of a row as a scheme sees it: a number, or a text from a text column.
struct VKSchemeValue {
  bool isText = false;
  double number = 0;
  std::string text;

  static VKSchemeValue ofNumber(double value) { return {false, value, {}}; }
  static VKSchemeValue ofText(std::string value) { return {true, 0, std::move(value)}; }
};

// The texts of a scheme line that decide which values take it.
struct VKSchemeRule {
  std::string value;
  std::string range;
  std::string match;
};

class VKSchemes {
 public:
  // The first line (counted from 0) whose rule takes the value; none when
  // no line does.
  static std::optional<std::size_t> lineForValue(const std::vector<VKSchemeRule>& rules, const VKSchemeValue& value);
  static std::vector<VKSchemeRule> rulesOf(const VKColorScheme& scheme);
  static std::vector<VKSchemeRule> rulesOf(const VKMarkerScheme& scheme);
  // Whether the text matches the pattern as a whole: "*" stands for any run
  // of characters, "?" for one.
  static bool matchesPattern(const std::string& text, const std::string& pattern);
  static KRColor colorOf(const VKColorScheme::Color& color) {
    return KRColor::rgb(color.red, color.green, color.blue, color.alpha);
  }
  // The definitions list of the document that owns the setting; none without one.
  static const VKDefinedObjectsController* definitionsOf(const VKInputController& setting);
};

// Names a colour or a marker scheme of the document: the stored form is the
// scheme's name, "" for none. The setting is a client of the scheme it names,
// so editing the scheme reaches the command.
class VKSchemeSelector : public VKInputController {
 public:
  enum class Kind { Color, Marker };
  explicit VKSchemeSelector(Kind kind) : kind_(kind) {}
  const char* className() const override { return "VKSchemeSelector"; }
  std::optional<PropertyList> propertyList() const override { return PropertyList(name_); }
  void setFromPropertyList(const PropertyList* value) override;
  void establishDependencyConnections() override;
  std::optional<std::string> errorExplanation() const override;

  Kind kind() const { return kind_; }
  const std::string& schemeName() const { return name_; }
  bool hasSelection() const { return !name_.empty(); }
  void setSchemeName(const std::string& name);
  // The named scheme of the document; none when nothing is named or the
  // document has no scheme of the kind with the name.
  std::shared_ptr<VKColorScheme> colorScheme() const;
  std::shared_ptr<VKMarkerScheme> markerScheme() const;

 private:
  Kind kind_;
  std::string name_;
};

}  // namespace orrelin
