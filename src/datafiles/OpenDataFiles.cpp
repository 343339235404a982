#include "OpenDataFiles.h"

#include "datafiles/KRDataFileBinary.h"

namespace orrelin {

OpenDataFiles& OpenDataFiles::shared() {
  static OpenDataFiles* list = new OpenDataFiles;  // outlives every data file
  return *list;
}

void OpenDataFiles::opened(KRDataFileBinary* file) {
  std::lock_guard guard(lock_);
  auto found = where_.find(file);
  if (found != where_.end()) order_.erase(found->second);
  order_.push_back(file);
  where_[file] = std::prev(order_.end());
  enforceCapLocked(file);
}

void OpenDataFiles::used(KRDataFileBinary* file) {
  std::lock_guard guard(lock_);
  auto found = where_.find(file);
  if (found == where_.end()) return;
  order_.splice(order_.end(), order_, found->second);
}

void OpenDataFiles::closed(KRDataFileBinary* file) {
  std::lock_guard guard(lock_);
  auto found = where_.find(file);
  if (found == where_.end()) return;
  order_.erase(found->second);
  where_.erase(found);
}

void OpenDataFiles::enforceCap(KRDataFileBinary* spare) {
  std::lock_guard guard(lock_);
  enforceCapLocked(spare);
}

void OpenDataFiles::enforceCapLocked(KRDataFileBinary* spare) {
  // Victims are only ever try-locked here, so a file that holds its own lock
  // while it waits for this list cannot deadlock with it.
  auto it = order_.begin();
  while (order_.size() > cap_ && it != order_.end()) {
    KRDataFileBinary* file = *it;
    if (file != spare && file->closeForOpenCap()) {
      where_.erase(file);
      it = order_.erase(it);
    } else {
      ++it;
    }
  }
}

std::size_t OpenDataFiles::cap() const {
  std::lock_guard guard(lock_);
  return cap_;
}

void OpenDataFiles::setCap(std::size_t cap) {
  std::lock_guard guard(lock_);
  cap_ = cap == 0 ? 1 : cap;
  enforceCapLocked(nullptr);
}

std::size_t OpenDataFiles::count() const {
  std::lock_guard guard(lock_);
  return order_.size();
}

}  // namespace orrelin
