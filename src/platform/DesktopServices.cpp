#include "DesktopServices.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <uuid/uuid.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Paths.h"

extern char** environ;

namespace orrelin {

std::optional<std::string> DesktopServices::currentDirectory() const {
  std::vector<char> buffer(4096);
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (::getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
  return std::nullopt;
}

bool DesktopServices::fileExists(const std::string& path) const {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::string DesktopServices::temporaryDirectory() const {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = (tmp && *tmp) ? tmp : "/tmp";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string DesktopServices::newUUIDString() const {
  uuid_t id;
  uuid_generate(id);
  char text[37];
  uuid_unparse_upper(id, text);
  return text;
}

void DesktopServices::logLine(const std::string& line) const {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

bool DesktopServices::openFileWithApplication(const std::string& path,
                                              const std::string& applicationName) const {
  auto program = findExecutable(asciiLowercase(applicationName));
  return program && startDetachedProcess(*program, path);
}

DesktopServices& DesktopServices::system() {
  static DesktopServices services;
  return services;
}

std::string executableDirectory() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "";
  return deletingLastPathComponent(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

std::optional<std::string> findExecutable(const std::string& name) {
  auto isExecutable = [](const std::string& candidate) {
    struct stat info {};
    return ::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(candidate.c_str(), X_OK) == 0;
  };
  std::string beside = executableDirectory();
  if (!beside.empty() && isExecutable(appendPathComponent(beside, name)))
    return appendPathComponent(beside, name);
  const char* path = std::getenv("PATH");
  std::string remaining = path ? path : "";
  std::size_t start = 0;
  while (start <= remaining.size()) {
    std::size_t colon = remaining.find(':', start);
    if (colon == std::string::npos) colon = remaining.size();
    std::string folder = remaining.substr(start, colon - start);
    if (!folder.empty() && isExecutable(appendPathComponent(folder, name)))
      return appendPathComponent(folder, name);
    start = colon + 1;
  }
  return std::nullopt;
}

bool startDetachedProcess(const std::string& program, const std::string& argument) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Its own session, so it outlives the terminal's job control of the tool.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                             nullptr};
  pid_t child = 0;
  int status = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return status == 0;
}

}  // namespace orrelin
