#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace orrelin {

SharedLibrary::SharedLibrary(std::string fileName) : fileName_(std::move(fileName)) {
  // Everything is resolved now, so a library that does not fit fails here
  // and not in the middle of writing a file.
  handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    error_ = "the library " + fileName_ + " could not be loaded (" + (reason ? reason : "unknown reason") + ")";
  }
}

void* SharedLibrary::symbol(const char* name) {
  if (!handle_) return nullptr;
  dlerror();
  void* address = dlsym(handle_, name);
  if (!address && error_.empty()) error_ = "the library " + fileName_ + " has no function " + name;
  return address;
}

}  // namespace orrelin
