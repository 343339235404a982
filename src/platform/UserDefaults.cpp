#include "UserDefaults.h"

namespace orrelin {

UserDefaults& UserDefaults::standard() {
  static auto* defaults = new UserDefaults;
  return *defaults;
}

void UserDefaults::setObject(const std::string& key, PropertyList value) {
  std::lock_guard guard(lock_);
  values_.insert_or_assign(key, std::move(value));
}

std::optional<PropertyList> UserDefaults::objectForKey(const std::string& key) const {
  std::lock_guard guard(lock_);
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
  auto value = objectForKey(key);
  return value && value->isNumber() ? value->integer() : 0;
}

void UserDefaults::removeObject(const std::string& key) {
  std::lock_guard guard(lock_);
  values_.erase(key);
}

}  // namespace orrelin
