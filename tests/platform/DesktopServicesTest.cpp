#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "platform/DesktopServices.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DesktopServices, UUIDsAreFreshAndUpperCase) {
  auto& desktop = DesktopServices::system();
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::string id = desktop.newUUIDString();
    EXPECT_TRUE(std::regex_match(id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"))) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 100u);
}

TEST(DesktopServices, TemporaryDirectoryFollowsTMPDIR) {
  auto& desktop = DesktopServices::system();
  {
    ScopedEnvironment tmp("TMPDIR", "/var/tmp/");
    EXPECT_EQ(desktop.temporaryDirectory(), "/var/tmp");
  }
  {
    ScopedEnvironment tmp("TMPDIR", "");
    EXPECT_EQ(desktop.temporaryDirectory(), "/tmp");
  }
  {
    ScopedEnvironment tmp("TMPDIR", nullptr);
    EXPECT_EQ(desktop.temporaryDirectory(), "/tmp");
  }
}

TEST(DesktopServices, CurrentDirectoryAndFileExistence) {
  auto& desktop = DesktopServices::system();
  auto cwd = desktop.currentDirectory();
  ASSERT_TRUE(cwd);
  EXPECT_EQ((*cwd)[0], '/');
  EXPECT_TRUE(desktop.fileExists(*cwd));
  EXPECT_FALSE(desktop.fileExists(""));
  EXPECT_FALSE(desktop.fileExists("/no/such/file/anywhere"));
}

TEST(DesktopServices, OpeningWithAnApplicationStartsItOnlyWhenItExists) {
  TemporaryFolder folder;
  // A stand-in application on PATH that records the file it was asked to open.
  std::string app = folder.path("standin");
  std::string record = folder.path("opened");
  std::string script = "#!/bin/sh\necho \"$1\" > '" + record + "'\n";
  FILE* f = std::fopen(app.c_str(), "w");
  ASSERT_TRUE(f);
  std::fputs(script.c_str(), f);
  std::fclose(f);
  ::chmod(app.c_str(), 0755);

  ScopedEnvironment path("PATH", folder.root().c_str());
  auto& desktop = DesktopServices::system();
  EXPECT_TRUE(desktop.openFileWithApplication("/some/ticket.orrelticket", "StandIn"));
  // The stand-in runs detached: wait (generously, CI machines are busy) until
  // its whole line is there, not merely until the file has been created.
  std::string opened;
  for (int i = 0; i < 1000 && (opened.empty() || opened.back() != '\n'); ++i) {
    ::usleep(10000);
    if (FILE* r = std::fopen(record.c_str(), "r")) {
      char line[256] = {};
      if (std::fgets(line, sizeof line, r)) opened = line;
      std::fclose(r);
    }
  }
  EXPECT_EQ(opened, "/some/ticket.orrelticket\n");

  EXPECT_FALSE(desktop.openFileWithApplication("/some/ticket", "NoSuchApplicationAnywhere"));
  EXPECT_FALSE(startDetachedProcess("/no/such/program", "x"));
}

}  // namespace
