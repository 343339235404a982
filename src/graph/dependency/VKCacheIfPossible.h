#pragma once
// Holds one object (an image kept while a property list that contains it is
// written) for as long as memory is not needed back. Every cache listens for
// the "Clean Up" notice; when it is posted each one lets go of its object,
// and users find the cache empty and make the object again.

#include <cstddef>
#include <memory>
#include <mutex>

namespace orrelin {

class VKCacheIfPossible {
 public:
  static constexpr const char* kCleanUpNotification = "Clean Up";

  explicit VKCacheIfPossible(std::shared_ptr<void> object = nullptr);
  // Stops listening for "Clean Up".
  ~VKCacheIfPossible();
  VKCacheIfPossible(const VKCacheIfPossible&) = delete;
  VKCacheIfPossible& operator=(const VKCacheIfPossible&) = delete;

  // The object, or none after a clean-up.
  std::shared_ptr<void> object() const;
  template <class T>
  std::shared_ptr<T> objectAs() const {
    return std::static_pointer_cast<T>(object());
  }
  void setObject(std::shared_ptr<void> object);

  // Posts "Clean Up": every cache that exists drops its object.
  static void postCleanUp();
  // How many caches are listening.
  static std::size_t howManyListening();

 private:
  std::shared_ptr<void> takeObject();

  mutable std::mutex lock_;
  std::shared_ptr<void> object_;
};

}  // namespace orrelin
