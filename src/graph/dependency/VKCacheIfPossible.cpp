#include "VKCacheIfPossible.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace orrelin {

namespace {

// The caches listening for "Clean Up". Never destroyed: a cache may be
// destroyed while the process ends.
struct Listeners {
  std::mutex lock;
  std::vector<VKCacheIfPossible*> caches;
};

Listeners& listeners() {
  static auto* all = new Listeners;
  return *all;
}

}  // namespace

VKCacheIfPossible::VKCacheIfPossible(std::shared_ptr<void> object) : object_(std::move(object)) {
  auto& all = listeners();
  std::lock_guard guard(all.lock);
  all.caches.push_back(this);
}

VKCacheIfPossible::~VKCacheIfPossible() {
  auto& all = listeners();
  std::lock_guard guard(all.lock);
  std::erase(all.caches, this);
}

std::shared_ptr<void> VKCacheIfPossible::object() const {
  std::lock_guard guard(lock_);
  return object_;
}

void VKCacheIfPossible::setObject(std::shared_ptr<void> object) {
  std::shared_ptr<void> previous;
  {
    std::lock_guard guard(lock_);
    previous = std::exchange(object_, std::move(object));
  }
  // previous is destroyed here, outside the lock, so its destructor may use
  // this cache.
}

std::shared_ptr<void> VKCacheIfPossible::takeObject() {
  std::lock_guard guard(lock_);
  return std::exchange(object_, nullptr);
}

void VKCacheIfPossible::postCleanUp() {
  std::vector<std::shared_ptr<void>> dropped;
  {
    auto& all = listeners();
    // Under the listeners' lock, so no cache goes away while it is emptied.
    std::lock_guard guard(all.lock);
    for (auto* cache : all.caches) dropped.push_back(cache->takeObject());
  }
  // The objects go after every lock is released: an object's destructor may
  // make or destroy caches of its own.
}

std::size_t VKCacheIfPossible::howManyListening() {
  auto& all = listeners();
  std::lock_guard guard(all.lock);
  return all.caches.size();
}

}  // namespace orrelin
