#pragma once
// The application's user defaults: named settings that outlive one document.
// Held in memory for the process; the desktop application will persist them.

#include <mutex>
#include <optional>
#include <string>

#include "platform/PropertyList.h"

namespace orrelin {

class UserDefaults {
 public:
  static UserDefaults& standard();

  void setObject(const std::string& key, PropertyList value);
  void setInteger(const std::string& key, std::int64_t value) { setObject(key, PropertyList(value)); }
  std::optional<PropertyList> objectForKey(const std::string& key) const;
  // 0 when absent or not a number.
  std::int64_t integerForKey(const std::string& key) const;
  void removeObject(const std::string& key);

 private:
  mutable std::mutex lock_;
  PlistDictionary values_;
};

}  // namespace orrelin
