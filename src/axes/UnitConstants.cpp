#include "axes/UnitConstants.h"

#include <cmath>

#include "platform/PropertyListSerialization.h"

namespace orrelin {

namespace {

bool usableSize(const PropertyList& value) {
  return value.isNumber() && std::isfinite(value.real()) && value.real() > 0;
}

}  // namespace

const UnitConstants& UnitConstants::shared() {
  static const UnitConstants table(parsePropertyList(resourceText()).value_or(PropertyList()));
  return table;
}

UnitConstants::UnitConstants(const PropertyList& resource) {
  if (const auto* quantities = resource.dictionaryForKey("Units")) {
    for (const auto& [quantity, units] : *quantities) {
      if (!units.isDictionary()) continue;
      for (const auto& [unit, size] : units.dictionary())
        if (usableSize(size)) units_[unit] = Unit{quantity, size.real()};
    }
  }
  if (const auto* scales = resource.dictionaryForKey("Temperatures")) {
    for (const auto& [name, entry] : *scales) {
      const PropertyList* scale = entry.find("Scale");
      auto offset = entry.numberForKey("Offset");
      if (scale && usableSize(*scale) && offset && std::isfinite(*offset))
        temperatures_[name] = UnitConversion{scale->real(), *offset};
    }
  }
}

std::optional<std::string> UnitConstants::quantityOf(const std::string& unit) const {
  auto found = units_.find(unit);
  if (found == units_.end()) return std::nullopt;
  return found->second.quantity;
}

std::vector<std::string> UnitConstants::unitsOf(const std::string& quantity) const {
  std::vector<std::string> result;
  for (const auto& [name, unit] : units_)
    if (unit.quantity == quantity) result.push_back(name);
  return result;
}

std::vector<std::string> UnitConstants::temperatureScales() const {
  std::vector<std::string> result;
  for (const auto& [name, scale] : temperatures_) result.push_back(name);
  return result;
}

std::optional<UnitConversion> UnitConstants::conversion(const std::string& graphUnit,
                                                        const std::string& axisUnit) const {
  auto from = units_.find(graphUnit);
  auto to = units_.find(axisUnit);
  if (from == units_.end() || to == units_.end() || from->second.quantity != to->second.quantity)
    return std::nullopt;
  return UnitConversion{from->second.size / to->second.size, 0};
}

std::optional<UnitConversion> UnitConstants::temperatureConversion(const std::string& graphScale,
                                                                   const std::string& axisScale) const {
  auto from = temperatures_.find(graphScale);
  auto to = temperatures_.find(axisScale);
  if (from == temperatures_.end() || to == temperatures_.end()) return std::nullopt;
  // kelvin = g × s1 + o1 = a × s2 + o2.
  return UnitConversion{from->second.scale / to->second.scale,
                        (from->second.offset - to->second.offset) / to->second.scale};
}

}  // namespace orrelin
