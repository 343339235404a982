#include "VKMemoryManager.h"

namespace orrelin {

VKMemoryManager& VKMemoryManager::shared() {
  // Destroyed when the process ends, which frees what is left and joins the
  // thread.
  static VKMemoryManager manager;
  return manager;
}

void VKMemoryManager::addToQueAndRelease(std::shared_ptr<const void> object) {
  if (!object) return;
  // The queued call holds the reference and drops it when it runs; the
  // worker destroys each call right after running it, so nothing lingers.
  worker_.add([held = std::move(object)]() mutable { held.reset(); });
}

}  // namespace orrelin
