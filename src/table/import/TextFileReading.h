#pragma once
// Reading a whole data file into memory in large blocks, noticing a file
// that vanishes, shrinks or grows while it is read.

#include <memory>
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

// A data file read from the start in pieces. The size it had when it was
// opened is what is read: a file that turns out shorter or longer is
// refused, since reading on would give a mix of two versions.
class BlockFileReader {
 public:
  // False with the reason when the file cannot be opened (or is a folder).
  bool open(const std::string& path, std::string* error = nullptr);
  // Bytes the file holds.
  std::size_t size() const { return size_; }
  // Appends up to `count` more bytes to `bytes`; false with the reason on a
  // read error or a file whose size changed.
  bool readInto(std::string& bytes, std::size_t count, std::string* error = nullptr);
  // All bytes read.
  bool atEnd() const { return done_ == size_; }

 private:
  std::unique_ptr<FileDescriptor> file_;
  std::size_t size_ = 0;
  std::size_t done_ = 0;
};

// The file's bytes; none with the reason in error when it cannot be opened
// or read, or changed size while it was read.
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

// The ending of a path, lower-cased, without the point ("" when none).
std::string lowerCaseEnding(const std::string& path);
// The last component of a path.
std::string fileNamePart(const std::string& path);

}  // namespace orrelin
