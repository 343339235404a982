#include "VKMarkerScheme.h"

#include <cmath>

#include "document/parameters/ParameterTexts.h"

namespace orrelin {

namespace texts = parameter_texts;

std::string VKMarkerScheme::type() const { return texts::kTypeMarkerScheme; }

void VKMarkerScheme::setLines(std::vector<Line> lines) {
  lines_ = std::move(lines);
  thisControllerChanged();
}

void VKMarkerScheme::addLine(Line line) {
  lines_.push_back(std::move(line));
  thisControllerChanged();
}

bool VKMarkerScheme::canRead(const PropertyList& entry) {
  const PlistArray* lines = entry.arrayForKey(texts::kKeyLines);
  if (!lines) return false;
  for (const auto& line : *lines)
    if (!line.isDictionary()) return false;
  return true;
}

PropertyList VKMarkerScheme::propertyList() const {
  PropertyList list = VKDefinedObject::propertyList();
  PlistArray lines;
  for (const auto& line : lines_) {
    PlistDictionary entry;
    line.addTo(entry);
    entry.emplace(texts::kKeyMarker, static_cast<std::int64_t>(line.marker));
    lines.emplace_back(std::move(entry));
  }
  list.dictionary().emplace(texts::kKeyLines, std::move(lines));
  return list;
}

void VKMarkerScheme::fillFromPropertyList(const PropertyList& list) {
  VKDefinedObject::fillFromPropertyList(list);
  const PlistArray* stored = list.arrayForKey(texts::kKeyLines);
  if (!stored) return;
  lines_.clear();
  for (const auto& entry : *stored) {
    Line line;
    line.readFrom(entry);
    // A marker that is not a whole number keeps the circle.
    if (const PropertyList* marker = entry.find(texts::kKeyMarker);
        marker && marker->isNumber() && std::isfinite(marker->real()) && marker->real() == std::floor(marker->real()))
      line.marker = static_cast<int>(marker->real());
    lines_.push_back(std::move(line));
  }
}

}  // namespace orrelin
