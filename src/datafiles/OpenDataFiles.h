#pragma once
// The process-wide list of binary data files whose handle is open, least
// recently used first, which keeps their number under a cap.

#include <cstddef>
#include <list>
#include <mutex>
#include <unordered_map>

namespace orrelin {

class KRDataFileBinary;

class OpenDataFiles {
 public:
  static constexpr std::size_t kDefaultCap = 256;

  static OpenDataFiles& shared();

  // A file opened its handle; files beyond the cap are closed, never this one.
  void opened(KRDataFileBinary* file);
  // The file was just used; it moves to the end of the list.
  void used(KRDataFileBinary* file);
  void closed(KRDataFileBinary* file);
  // Closes the least recently used files beyond the cap, passing over spare
  // and files that are busy right now.
  void enforceCap(KRDataFileBinary* spare = nullptr);

  std::size_t cap() const;
  void setCap(std::size_t cap);
  std::size_t count() const;

 private:
  void enforceCapLocked(KRDataFileBinary* spare);

  mutable std::mutex lock_;
  std::list<KRDataFileBinary*> order_;
  std::unordered_map<KRDataFileBinary*, std::list<KRDataFileBinary*>::iterator> where_;
  std::size_t cap_ = kDefaultCap;
};

}  // namespace orrelin
