#include "VKColorScheme.h"

#include <algorithm>
#include <cmath>

#include "document/parameters/ParameterTexts.h"

namespace orrelin {

namespace texts = parameter_texts;

namespace {

PropertyList colorList(const VKColorScheme::Color& color) {
  PlistArray components;
  components.reserve(4);
  for (double component : {color.red, color.green, color.blue, color.alpha}) components.emplace_back(component);
  return components;
}

// Three or four finite numbers; anything else keeps the default colour.
VKColorScheme::Color colorFromList(const PropertyList* list) {
  VKColorScheme::Color color;
  if (!list || !list->isArray()) return color;
  const auto& entries = list->array();
  if (entries.size() != 3 && entries.size() != 4) return color;
  double c[4] = {0, 0, 0, 1};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].isNumber() || !std::isfinite(entries[i].real())) return color;
    c[i] = std::clamp(entries[i].real(), 0.0, 1.0);
  }
  return {c[0], c[1], c[2], c[3]};
}

}  // namespace

std::string VKColorScheme::type() const { return texts::kTypeColorScheme; }

void VKColorScheme::setLines(std::vector<Line> lines) {
  lines_ = std::move(lines);
  thisControllerChanged();
}

void VKColorScheme::addLine(Line line) {
  lines_.push_back(std::move(line));
  thisControllerChanged();
}

bool VKColorScheme::removeLine(std::size_t line) {
  if (line >= lines_.size()) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
  thisControllerChanged();
  return true;
}

bool VKColorScheme::setText(std::size_t line, std::string Line::*field, std::string text) {
  if (line >= lines_.size()) return false;
  lines_[line].*field = std::move(text);
  thisControllerChanged();
  return true;
}

bool VKColorScheme::setValue(std::size_t line, std::string text) { return setText(line, &Line::value, std::move(text)); }
bool VKColorScheme::setRange(std::size_t line, std::string text) { return setText(line, &Line::range, std::move(text)); }
bool VKColorScheme::setMatch(std::size_t line, std::string text) { return setText(line, &Line::match, std::move(text)); }
bool VKColorScheme::setTitle(std::size_t line, std::string text) { return setText(line, &Line::title, std::move(text)); }

bool VKColorScheme::setColor(std::size_t line, Color color) {
  if (line >= lines_.size()) return false;
  lines_[line].color = color;
  thisControllerChanged();
  return true;
}

PropertyList VKColorScheme::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  PlistArray lines;
  for (const auto& line : lines_) {
    PlistDictionary entry;
    line.addTo(entry);
    entry.emplace(texts::kKeyColor, colorList(line.color));
    lines.emplace_back(std::move(entry));
  }
  list.dictionary().emplace(texts::kKeyLines, std::move(lines));
  return list;
}

void VKColorScheme::fillFromPropertyList(const PropertyList& list) {
  VKDefinedObject::fillFromPropertyList(list);
  const PlistArray* stored = list.arrayForKey(texts::kKeyLines);
  if (!stored) return;
  lines_.clear();
  for (const auto& entry : *stored) {
    Line line;
    line.readFrom(entry);
    line.color = colorFromList(entry.find(texts::kKeyColor));
    lines_.push_back(std::move(line));
  }
}

}  // namespace orrelin
