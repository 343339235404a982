#include "commands/Schemes.h"

#include <cmath>

#include "commands/PointsTexts.h"
#include "document/parameters/VKDefinedObjectsController.h"
#include "expression/KRExpression.h"
#include "graph/commandbase/CommandDocument.h"
#include "graph/commandbase/TextFormat.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

namespace {

template <class Scheme>
std::vector<VKSchemeRule> rulesOfLines(const Scheme& scheme) {
  std::vector<VKSchemeRule> rules;
  rules.reserve(scheme.lines().size());
  for (const auto& line : scheme.lines()) rules.push_back({line.value, line.range, line.match});
  return rules;
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

std::optional<double> numberOf(const std::string& text) {
  auto value = KRExpression::evaluateNumberFromString(text);
  if (!value || std::isnan(*value)) return std::nullopt;
  return value;
}

bool inRange(const std::string& range, double v) {
  auto ends = KRExpression::evaluateArrayOfNumbersFromString(range);
  if (!ends || ends->length() != 2) return false;
  double low = ends->constPointer()[0], high = ends->constPointer()[1];
  if (std::isnan(low) || std::isnan(high)) return false;
  return low <= v && v < high;
}

}  // namespace

std::vector<VKSchemeRule> VKSchemes::rulesOf(const VKColorScheme& scheme) { return rulesOfLines(scheme); }
std::vector<VKSchemeRule> VKSchemes::rulesOf(const VKMarkerScheme& scheme) { return rulesOfLines(scheme); }

bool VKSchemes::matchesPattern(const std::string& text, const std::string& pattern) {
  // Greedy matching with one remembered star.
  std::size_t t = 0, p = 0, star = std::string::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::size_t> VKSchemes::lineForValue(const std::vector<VKSchemeRule>& rules, const VKSchemeValue& value) {
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const auto& rule = rules[i];
    if (blank(rule.value) && blank(rule.range) && blank(rule.match)) return i;
    if (value.isText) {
      if (!blank(rule.value) && rule.value == value.text) return i;
      if (!blank(rule.match) && matchesPattern(value.text, rule.match)) return i;
    } else {
      if (std::isnan(value.number)) continue;
      if (!blank(rule.value)) {
        auto number = numberOf(rule.value);
        if (number && *number == value.number) return i;
      }
      if (!blank(rule.range) && inRange(rule.range, value.number)) return i;
    }
  }
  return std::nullopt;
}

const VKDefinedObjectsController* VKSchemes::definitionsOf(const VKInputController& setting) {
  auto* document = setting.commandDocument();
  if (!document) return nullptr;
  return dynamic_cast<const VKDefinedObjectsController*>(&document->parameters());
}

void VKSchemeSelector::setFromPropertyList(const PropertyList* value) {
  name_.clear();
  if (!value) return;
  if (value->isString())
    name_ = value->string();
  else
    reportBadValue(*value, "a string");
}

void VKSchemeSelector::establishDependencyConnections() {
  disconnectAllSuppliers();
  if (kind_ == Kind::Color) {
    if (auto scheme = colorScheme()) connectToSupplier(scheme);
  } else if (auto scheme = markerScheme()) {
    connectToSupplier(scheme);
  }
}

std::optional<std::string> VKSchemeSelector::errorExplanation() const {
  if (name_.empty() || !commandDocument()) return std::nullopt;
  if (kind_ == Kind::Color)
    return colorScheme() ? std::nullopt : std::optional(formatText(points_text::kColorSchemeMissing, name_));
  return markerScheme() ? std::nullopt : std::optional(formatText(points_text::kMarkerSchemeMissing, name_));
}

void VKSchemeSelector::setSchemeName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  establishDependencyConnections();
  changed();
}

std::shared_ptr<VKColorScheme> VKSchemeSelector::colorScheme() const {
  if (name_.empty()) return nullptr;
  auto* definitions = VKSchemes::definitionsOf(*this);
  return definitions ? definitions->colorSchemeWithName(name_) : nullptr;
}

std::shared_ptr<VKMarkerScheme> VKSchemeSelector::markerScheme() const {
  if (name_.empty()) return nullptr;
  auto* definitions = VKSchemes::definitionsOf(*this);
  return definitions ? definitions->markerSchemeWithName(name_) : nullptr;
}

}  // namespace orrelin
