#pragma once
// The unit conversions of extra axes, read from the "Constants" resource
// (Constants.plist, built into the library): units grouped by quantity with
// their size in the quantity's base unit, and temperature scales as a scale
// and an offset to kelvin.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PropertyList.h"

namespace orrelin {

// axis value = graph value × scale + offset.
struct UnitConversion {
  double scale = 1;
  double offset = 0;
  double toAxis(double graphValue) const { return graphValue * scale + offset; }
  double toGraph(double axisValue) const { return (axisValue - offset) / scale; }
};

class UnitConstants {
 public:
  // The table of the resource built into the program.
  static const UnitConstants& shared();
  // A table from a resource's stored form; entries that are not positive
  // finite numbers are left out.
  explicit UnitConstants(const PropertyList& resource);

  // The quantity ("Length", "Mass" …) a unit belongs to; none for an unknown unit.
  std::optional<std::string> quantityOf(const std::string& unit) const;
  std::vector<std::string> unitsOf(const std::string& quantity) const;
  std::vector<std::string> temperatureScales() const;
  // Between two units of one quantity; none when either is unknown or they
  // measure different things.
  std::optional<UnitConversion> conversion(const std::string& graphUnit, const std::string& axisUnit) const;
  std::optional<UnitConversion> temperatureConversion(const std::string& graphScale,
                                                      const std::string& axisScale) const;

  // The resource's text.
  static std::string_view resourceText();

 private:
  struct Unit {
    std::string quantity;
    double size;
  };
  std::map<std::string, Unit> units_;
  std::map<std::string, UnitConversion> temperatures_;  // to kelvin
};

}  // namespace orrelin
