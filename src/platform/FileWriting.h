#pragma once
// Writing files so that a failure never leaves a half-written file behind.

#include <cstdint>
#include <span>
#include <string>

namespace orrelin {

enum class WriteMode {
  Atomic,   // into a temporary file in the same folder, then renamed over the target
  InPlace,  // straight into the target (used where the reader expects the file at once)
};

// An output file under construction. Write to temporaryPath(); commit() moves
// it over the target in one rename. Destroying it uncommitted removes the
// temporary file and leaves the old target as it was.
class AtomicFile {
 public:
  explicit AtomicFile(std::string targetPath);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False when no temporary file could be made next to the target; error()
  // says why.
  bool isOpen() const { return fd_ >= 0 || !temporaryPath_.empty(); }
  const std::string& temporaryPath() const { return temporaryPath_; }
  int fileDescriptor() const { return fd_; }

  bool write(std::span<const std::uint8_t> bytes);
  // Flushes to disk and renames over the target.
  bool commit();
  const std::string& error() const { return error_; }

 private:
  void fail(const std::string& what);

  std::string target_;
  std::string temporaryPath_;
  std::string error_;
  int fd_ = -1;
  bool committed_ = false;
};

// Writes the bytes to path; on failure returns false with a message in error
// (when given). With WriteMode::Atomic an existing file stays untouched.
bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes, WriteMode mode,
               std::string* error = nullptr);

// Reads a whole file into contents; false (with a message in error) when it
// cannot be read.
bool readFile(const std::string& path, std::string& contents, std::string* error = nullptr);

}  // namespace orrelin
