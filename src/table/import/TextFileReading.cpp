#include "table/import/TextFileReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "table/import/ImportMessages.h"

namespace orrelin {

namespace {

constexpr std::size_t kBlock = std::size_t(1) << 22;

bool fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

bool BlockFileReader::open(const std::string& path, std::string* error) {
  file_ = std::make_unique<FileDescriptor>(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file_->get() < 0 || ::fstat(file_->get(), &info) != 0) return fail(error, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) return fail(error, std::strerror(EISDIR));
  size_ = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
  done_ = 0;
  return true;
}

bool BlockFileReader::readInto(std::string& bytes, std::size_t count, std::string* error) {
  if (!file_ || file_->get() < 0) return fail(error, std::strerror(EBADF));
  count = std::min(count, size_ - done_);
  const std::size_t before = bytes.size();
  bytes.resize(before + count);
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = ::read(file_->get(), bytes.data() + before + got, std::min(kBlock, count - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.resize(before);
      return fail(error, std::strerror(errno));
    }
    if (n == 0) break;
    got += std::size_t(n);
  }
  bytes.resize(before + got);
  done_ += got;
  if (got != count) return fail(error, import_text::kFileChangedWhileRead);
  if (done_ == size_) {
    // A file that grew while it was read.
    char extra;
    ssize_t more = 0;
    do more = ::read(file_->get(), &extra, 1);
    while (more < 0 && errno == EINTR);
    if (more > 0) return fail(error, import_text::kFileChangedWhileRead);
  }
  return true;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
  BlockFileReader file;
  if (!file.open(path, error)) return std::nullopt;
  std::string bytes;
  bytes.reserve(file.size());
  if (!file.readInto(bytes, file.size(), error)) return std::nullopt;
  return bytes;
}

std::string lowerCaseEnding(const std::string& path) {
  std::string ending = std::filesystem::path(path).extension().string();
  if (!ending.empty()) ending.erase(0, 1);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ending;
}

std::string fileNamePart(const std::string& path) {
  std::filesystem::path p(path);
  if (!p.has_filename()) p = p.parent_path();
  return p.filename().string();
}

}  // namespace orrelin
