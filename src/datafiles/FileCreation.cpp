#include "FileCreation.h"

#include <sys/stat.h>

#include <filesystem>

#include "datafiles/DataFileMessages.h"
#include "platform/FileWriting.h"
#include "platform/Paths.h"

namespace orrelin {

std::optional<std::string> creationProblem(const std::string& path) {
  if (path.empty()) return messages::couldNotCreate(path);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return messages::directoryInTheWay(path);
    if (!mayWrite(path)) return messages::cannotEmpty(path);
  }

  // Walk the folders on the way down from the top.
  const std::string written = deletingLastPathComponent(path);
  const std::string folder = written.empty() ? std::string(".") : written;
  std::filesystem::path walked;
  std::filesystem::path parent = path[0] == '/' ? std::filesystem::path("/") : std::filesystem::path(".");
  for (const auto& component : std::filesystem::path(folder)) {
    walked /= component;
    if (component == "/" || component.empty() || component == ".") continue;
    if (::stat(walked.c_str(), &info) != 0) return messages::missingDirectory(path, component.string(), parent.string());
    if (!S_ISDIR(info.st_mode)) return messages::componentIsAFile(path, walked.string());
    parent = walked;
  }
  if (!mayWrite(folder)) return messages::cannotCreateInside(path, folder);
  return std::nullopt;
}

std::string resolvedTargetPath(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  auto target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

}  // namespace orrelin
