#include "document/parameters/VKSchemeLine.h"

#include "document/parameters/ParameterTexts.h"

namespace orrelin {

namespace texts = parameter_texts;

void VKSchemeLine::addTo(PlistDictionary& entry) const {
  entry.emplace(texts::kKeyValue, value);
  entry.emplace(texts::kKeyRange, range);
  entry.emplace(texts::kKeyMatch, match);
  entry.emplace(texts::kKeyTitle, title);
}

void VKSchemeLine::readFrom(const PropertyList& entry) {
  value = entry.stringForKey(texts::kKeyValue).value_or("");
  range = entry.stringForKey(texts::kKeyRange).value_or("");
  match = entry.stringForKey(texts::kKeyMatch).value_or("");
  title = entry.stringForKey(texts::kKeyTitle).value_or("");
}

}  // namespace orrelin
