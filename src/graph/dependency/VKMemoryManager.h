#pragma once
// Frees large objects (column storage, expression caches) on a background
// thread, so that dropping them never stalls the main thread. Objects are
// released in the order they were handed over.

#include <memory>

#include "graph/dependency/SerialWorker.h"

namespace orrelin {

class VKMemoryManager {
 public:
  VKMemoryManager() = default;
  // Frees whatever is still queued, then stops the thread.
  ~VKMemoryManager() = default;

  // The one the application uses; it is finished when the process ends.
  static VKMemoryManager& shared();

  // Takes over the caller's reference; when it was the last one, the object
  // is destroyed on the manager's thread.
  void addToQueAndRelease(std::shared_ptr<const void> object);
  template <class T>
  void addToQueAndRelease(std::unique_ptr<T> object) {
    addToQueAndRelease(std::shared_ptr<const void>(std::move(object)));
  }

  // Blocks until everything handed over so far has been released.
  void waitUntilFinished() { worker_.waitUntilFinished(); }
  // Releases what is queued and stops the thread; later hand-overs are
  // released at once on the caller's thread.
  void shutdown() { worker_.shutdown(); }

 private:
  SerialWorker worker_;
};

// Hands object to the shared memory manager; the caller's pointer is empty
// afterwards.
template <class T>
void releaseInQue(std::shared_ptr<T>& object) {
  VKMemoryManager::shared().addToQueAndRelease(std::shared_ptr<const void>(std::move(object)));
  object.reset();
}

}  // namespace orrelin
