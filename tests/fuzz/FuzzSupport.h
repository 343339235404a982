#pragma once
// What the fuzz targets of stored forms share: a message center that shows
// nothing, and the test that lets a written list differ from its reread
// only where it holds NaN (which never equals itself).

#include <cmath>
#include <vector>

#include "platform/KRMessageCenter.h"
#include "platform/PropertyList.h"

namespace orrelin::fuzz {

// Messages posted while an input is read go nowhere; call at the start of
// every input (only the first call does anything).
inline void silenceSharedMessageCenter() {
  static const bool silenced = [] {
    KRMessageCenter::sharedCenter()->setRefresh([](const std::vector<KRMessage>&) {});
    return true;
  }();
  (void)silenced;
}

inline bool holdsNaN(const PropertyList& value) {
  if (value.isReal()) return std::isnan(value.real());
  if (value.isArray())
    for (const auto& each : value.array())
      if (holdsNaN(each)) return true;
  if (value.isDictionary())
    for (const auto& [key, each] : value.dictionary())
      if (holdsNaN(each)) return true;
  return false;
}

}  // namespace orrelin::fuzz
