#include "FileWriting.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace orrelin {

namespace {

struct RefusedPaths {
  std::mutex lock;
  std::vector<std::string> paths;
};

RefusedPaths& refusedPaths() {
  static auto* refused = new RefusedPaths;
  return *refused;
}

// True, with errno set as a refused permission sets it, when a test has
// refused writes to path.
bool writeRefused(const std::string& path) {
  auto& refused = refusedPaths();
  std::lock_guard guard(refused.lock);
  for (const auto& folder : refused.paths) {
    if (path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                           path[folder.size()] == '/')) {
      errno = EACCES;
      return true;
    }
  }
  return false;
}

std::string systemError(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string leafOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

mode_t newFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {
  std::string pattern = folderOf(target_) + "/." + leafOf(target_) + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  fd_ = writeRefused(pattern) ? -1 : ::mkstemp(buffer.data());
  if (fd_ < 0) {
    error_ = systemError("Could not create a temporary file beside", target_);
    return;
  }
  temporaryPath_ = buffer.data();
  // mkstemp makes the file private; a finished output gets the usual mode.
  ::fchmod(fd_, newFileMode());
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

void AtomicFile::fail(const std::string& what) {
  if (error_.empty()) error_ = systemError(what, target_);
}

bool AtomicFile::write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) {
    fail("Could not write");
    return false;
  }
  if (!writeAll(fd_, bytes)) {
    fail("Could not write");
    return false;
  }
  return true;
}

bool AtomicFile::commit() {
  if (temporaryPath_.empty() || !error_.empty()) return false;
  if (fd_ >= 0) {
    if (::fsync(fd_) != 0 && errno != EINVAL) {
      fail("Could not flush");
      return false;
    }
    if (::close(fd_) != 0) {
      fd_ = -1;
      fail("Could not close");
      return false;
    }
    fd_ = -1;
  }
  if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0) {
    fail("Could not replace");
    return false;
  }
  committed_ = true;
  return true;
}

bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes, WriteMode mode,
               std::string* error) {
  if (mode == WriteMode::Atomic) {
    AtomicFile file(path);
    bool ok = file.isOpen() && file.write(bytes) && file.commit();
    if (!ok && error) *error = file.error();
    return ok;
  }
  int fd = writeRefused(path) ? -1 : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = systemError("Could not open", path);
    return false;
  }
  bool ok = writeAll(fd, bytes);
  if (!ok && error) *error = systemError("Could not write", path);
  if (::close(fd) != 0 && ok) {
    ok = false;
    if (error) *error = systemError("Could not close", path);
  }
  return ok;
}

bool readFile(const std::string& path, std::string& contents, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = systemError("Could not open", path);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    if (error) *error = systemError("Could not read", path);
    return false;
  }
  contents.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = systemError("Could not read", path);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool mayWrite(const std::string& path) {
  if (writeRefused(path)) return false;
  struct stat info {};
  const bool folder = ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  return ::access(path.c_str(), folder ? W_OK | X_OK : W_OK) == 0;
}

int openForUpdate(const std::string& path) {
  if (writeRefused(path)) return -1;
  return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
}

RefusedWritesForTesting::RefusedWritesForTesting(std::string path) : path_(std::move(path)) {
  auto& refused = refusedPaths();
  std::lock_guard guard(refused.lock);
  refused.paths.push_back(path_);
}

RefusedWritesForTesting::~RefusedWritesForTesting() {
  auto& refused = refusedPaths();
  std::lock_guard guard(refused.lock);
  auto found = std::find(refused.paths.begin(), refused.paths.end(), path_);
  if (found != refused.paths.end()) refused.paths.erase(found);
}

}  // namespace orrelin
