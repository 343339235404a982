#pragma once
// A desktop for the tool's tests: a fixed work directory, a temporary folder
// of the test's own, recorded log lines and open requests.

#include <set>
#include <string>
#include <vector>

#include "platform/DesktopServices.h"
#include "support/TemporaryFolder.h"

namespace orrelin {

class FakeDesktop : public DesktopServices {
 public:
  std::optional<std::string> currentDirectory() const override { return workDirectory; }
  bool fileExists(const std::string& path) const override {
    return existing.count(path) || DesktopServices::fileExists(path);
  }
  std::string temporaryDirectory() const override { return temporary.root(); }
  std::string newUUIDString() const override { return "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"; }
  void logLine(const std::string& line) const override { logged.push_back(line); }
  bool openFileWithApplication(const std::string& path, const std::string& application) const override {
    opened.push_back(path + " with " + application);
    return acceptOpen;
  }

  std::optional<std::string> workDirectory = std::string("/work");
  std::set<std::string> existing;
  bool acceptOpen = true;
  TemporaryFolder temporary;
  mutable std::vector<std::string> logged;
  mutable std::vector<std::string> opened;
};

}  // namespace orrelin
