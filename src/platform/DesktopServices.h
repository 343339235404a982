#pragma once
// The desktop services the tool and the application ask of the system:
// folders, file existence, UUIDs, the system log and opening a file with an
// application. An interface, so tests can stand in for the desktop.

#include <optional>
#include <string>

namespace orrelin {

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;

  // The process's current directory, none when it cannot be determined.
  virtual std::optional<std::string> currentDirectory() const;
  virtual bool fileExists(const std::string& path) const;
  // $TMPDIR when set and not empty, else /tmp; without a trailing slash.
  virtual std::string temporaryDirectory() const;
  // A fresh UUID in its 36-character upper-case form.
  virtual std::string newUUIDString() const;
  // One line in the system log (standard error here).
  virtual void logLine(const std::string& line) const;
  // Asks the desktop to open the file with the named application, starting
  // it: the executable of that name in lower case beside this one, else on
  // PATH, detached, with the file as its argument. True when it started.
  virtual bool openFileWithApplication(const std::string& path, const std::string& applicationName) const;

  // The services of this machine.
  static DesktopServices& system();
};

// The folder holding the running executable, "" when unknown.
std::string executableDirectory();

// Starts program with the arguments, detached into its own session with
// standard input from /dev/null; true when it started.
bool startDetachedProcess(const std::string& program, const std::string& argument);

// Finds an executable by name: beside this executable first, then on PATH.
std::optional<std::string> findExecutable(const std::string& name);

}  // namespace orrelin
