#include "ThreadDictionary.h"

namespace orrelin {

std::map<std::string, std::shared_ptr<void>>& ThreadDictionary::current() {
  thread_local std::map<std::string, std::shared_ptr<void>> entries;
  return entries;
}

}  // namespace orrelin
