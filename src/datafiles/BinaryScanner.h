#pragma once
// Reading the headers of a binary data file without its data: the magic,
// then one entry after the other until the end, a damaged entry, or the user
// stops it. Everything complete before the point where it stops is kept.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/KRDataFileBinaryEntry.h"
#include "datafiles/KRDataFileProgress.h"

namespace orrelin {

// Bytes at a position of a file or of memory; fewer than asked for at the end
// or on a failure.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const void* data, std::size_t size) : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// pread on an open file descriptor.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(int fd) : fd_(fd) {}
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  int fd_;
};

using ScanClock = std::function<std::chrono::steady_clock::time_point()>;
using ScanReport = std::function<void(const std::string& message)>;

struct ScanRequest {
  std::uint64_t fileLength = 0;
  std::uint64_t startOffset = 0;  // 0 scans from the magic on
  bool needToSwap = false;        // taken from the magic when startOffset is 0
  std::string fileName;           // for messages
  long long entriesBefore = 0;    // entries already read before startOffset, to number the entries in messages
  KRDataFileProgress* progress = nullptr;
  std::chrono::microseconds progressInterval{500000};
  ScanClock clock;    // steady_clock when not given
  ScanReport report;  // the message centre when not given
};

struct ScanResult {
  bool validMagic = true;
  bool needToSwap = false;
  std::vector<std::pair<std::string, KRDataFileBinaryEntry>> entries;  // in file order
  std::uint64_t until = 0;  // the offset after the last whole entry
  bool stoppedAtDamage = false;
  bool aborted = false;
};

ScanResult scanBinaryDataFile(ByteSource& source, const ScanRequest& request);

}  // namespace orrelin
