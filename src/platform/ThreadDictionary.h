#pragma once
// A per-thread dictionary of shared objects, for services that a thread may
// redirect for itself (a worker's own message centre, say).

#include <map>
#include <memory>
#include <string>

namespace orrelin {

class ThreadDictionary {
 public:
  template <typename T>
  static std::shared_ptr<T> get(const std::string& key) {
    auto& entries = current();
    auto it = entries.find(key);
    return it == entries.end() ? nullptr : std::static_pointer_cast<T>(it->second);
  }
  // Stores value for the calling thread; a null value removes the key.
  template <typename T>
  static void set(const std::string& key, std::shared_ptr<T> value) {
    if (value)
      current()[key] = std::move(value);
    else
      current().erase(key);
  }

 private:
  static std::map<std::string, std::shared_ptr<void>>& current();
};

}  // namespace orrelin
