#include "document/PackageFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace orrelin {

namespace fs = std::filesystem;

namespace {

std::string shortestNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<double> numberIn(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::string textualSize(KRSize size) {
  return "{" + shortestNumber(size.width) + ", " + shortestNumber(size.height) + "}";
}

std::optional<KRSize> sizeFromText(std::string_view text) {
  text = trimmed(text);
  if (text.size() < 2 || text.front() != '{' || text.back() != '}') return std::nullopt;
  text = text.substr(1, text.size() - 2);
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto width = numberIn(text.substr(0, comma));
  const auto height = numberIn(text.substr(comma + 1));
  if (!width || !height) return std::nullopt;
  return KRSize{*width, *height};
}

bool linkOrCopyFile(const std::string& source, const std::string& target) {
  std::error_code error;
  fs::create_hard_link(source, target, error);
  if (!error) return true;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
  if (!error) return true;
  fs::remove(target, error);
  return false;
}

bool copyFolder(const std::string& source, const std::string& target) {
  std::error_code error;
  fs::copy(source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  return !error;
}

bool swapIntoPlace(const std::string& finished, const std::string& target, std::string& previousAt,
                   std::string* error) {
  previousAt.clear();
  struct stat status;
  if (::lstat(target.c_str(), &status) != 0) {
    if (::rename(finished.c_str(), target.c_str()) == 0) return true;
    if (error) *error = std::strerror(errno);
    return false;
  }
  // One step: the two names trade places, so target always names a whole
  // package, the old one or the new one.
  if (::renameat2(AT_FDCWD, finished.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    previousAt = finished;
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  // A file system that cannot trade names: the old package steps aside
  // first, leaving a short moment in which target is absent and the old
  // package sits beside it under a name that says so.
  const std::string aside = siblingWorkPath(target, "previous");
  if (aside.empty() || ::rename(target.c_str(), aside.c_str()) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  if (::rename(finished.c_str(), target.c_str()) != 0) {
    if (error) *error = std::strerror(errno);
    ::rename(aside.c_str(), target.c_str());
    return false;
  }
  previousAt = aside;
  return true;
}

void removeAbandonedWork(const std::string& path) {
  std::error_code error;
  if (!fs::is_directory(path, error)) return;
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string prefix = "." + target.filename().string() + ".";
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string_view rest(name);
    rest.remove_prefix(prefix.size());
    bool ours = false;
    for (std::string_view purpose : {"saving-", "previous-"})
      if (rest.substr(0, purpose.size()) == purpose) {
        rest.remove_prefix(purpose.size());
        ours = true;
      }
    if (!ours) continue;
    pid_t owner = 0;
    const auto parsed = std::from_chars(rest.data(), rest.data() + rest.size(), owner);
    if (parsed.ec != std::errc() || parsed.ptr == rest.data() || *parsed.ptr != '-' || owner <= 0) continue;
    // Still running (or not ours to ask about): left alone.
    if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    fs::remove_all(entry.path(), ignored);
  }
}

std::string siblingWorkPath(const std::string& path, std::string_view purpose) {
  static std::atomic<unsigned> counter{0};
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string name = target.filename().string();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string candidate = (folder / ("." + name + "." + std::string(purpose) + "-" +
                                             std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                                      .string();
    struct stat status;
    if (::lstat(candidate.c_str(), &status) != 0) return candidate;
  }
  return {};
}

}  // namespace orrelin
