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

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
    fail(error, std::strerror(errno));
    return std::nullopt;
  }
  if (S_ISDIR(info.st_mode)) {
    fail(error, std::strerror(EISDIR));
    return std::nullopt;
  }
  const auto expected = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
  std::string bytes;
  bytes.resize(expected);
  std::size_t got = 0;
  while (got < expected) {
    const ssize_t n = ::read(file.get(), bytes.data() + got, std::min(kBlock, expected - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      fail(error, std::strerror(errno));
      return std::nullopt;
    }
    if (n == 0) break;
    got += std::size_t(n);
  }
  // A file cut short while it was read, or one that grew, is not what the
  // size said; reading on would give a mix of two versions.
  char extra;
  ssize_t more = 0;
  do more = ::read(file.get(), &extra, 1);
  while (more < 0 && errno == EINTR);
  if (got != expected || more > 0) {
    fail(error, import_text::kFileChangedWhileRead);
    return std::nullopt;
  }
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
