#pragma once
// Reading a whole data file into memory in large blocks, noticing a file
// that vanishes, shrinks or grows while it is read.

#include <optional>
#include <string>

namespace orrelin {

// An open file, closed when the object goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The file's bytes; none with the reason in error when it cannot be opened
// or read, or changed size while it was read.
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

// The ending of a path, lower-cased, without the point ("" when none).
std::string lowerCaseEnding(const std::string& path);
// The last component of a path.
std::string fileNamePart(const std::string& path);

}  // namespace orrelin
