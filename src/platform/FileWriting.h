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

// Whether the process may change the file at path, or make files in the
// folder at path (which needs search permission as well).
bool mayWrite(const std::string& path);
// Opens an existing file for reading and writing; -1 with errno set when it
// cannot be opened so.
int openForUpdate(const std::string& path);

// While one exists, every write to the path and to anything below it is
// refused the way file permissions refuse it (EACCES), for the superuser
// too, whom permissions do not bind: code that handles a refused write can
// be tested the same way on every machine. Covers mayWrite, openForUpdate,
// AtomicFile and writeFile.
class RefusedWritesForTesting {
 public:
  explicit RefusedWritesForTesting(std::string path);
  ~RefusedWritesForTesting();
  RefusedWritesForTesting(const RefusedWritesForTesting&) = delete;
  RefusedWritesForTesting& operator=(const RefusedWritesForTesting&) = delete;

 private:
  std::string path_;
};

}  // namespace orrelin
