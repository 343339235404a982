#include "SerialNumbers.h"

#include <mutex>

namespace orrelin {

std::int64_t nextUniqueSerialNumber() {
  static std::mutex lock;
  static std::int64_t counter = 0;
  std::lock_guard guard(lock);
  return ++counter;
}

}  // namespace orrelin
