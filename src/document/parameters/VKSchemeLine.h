#pragma once
// What every line of a scheme (colour or marker) holds besides what it
// gives: the values it catches (an exact value, a range, a text pattern)
// and the title shown for it, with their stored keys.

#include <string>

#include "platform/PropertyList.h"

namespace orrelin {

struct VKSchemeLine {
  std::string value;
  std::string range;
  std::string match;
  std::string title;
  bool operator==(const VKSchemeLine&) const = default;

  // "Value", "Range", "Match" and "Title" into a stored line.
  void addTo(PlistDictionary& entry) const;
  // The same from a stored line; a key that is missing or not text reads
  // as empty.
  void readFrom(const PropertyList& entry);
};

}  // namespace orrelin
