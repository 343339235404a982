#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/ApplicationMode.h"
#include "app/OrrelinMain.h"
#include "cli/FakeDesktop.h"
#include "platform/UserDefaults.h"

using namespace orrelin;

namespace {

TEST(ModeChoice, ToolModeByModeWordOrTemplateSwitch) {
  using Args = std::vector<std::string>;
  EXPECT_TRUE(isToolMode(Args{"orrelin", "-cmdline"}));
  EXPECT_TRUE(isToolMode(Args{"orrelin", "a.txt", "-SCRIPT", "t.orrel"}));
  EXPECT_TRUE(isToolMode(Args{"orrelin", "-File", "t.orrel"}));
  EXPECT_FALSE(isToolMode(Args{"orrelin", "a.txt", "-CMDLINE"}));   // the mode word counts only at index 1
  EXPECT_FALSE(isToolMode(Args{"orrelin", "x", "-cmdline"}));
  EXPECT_FALSE(isToolMode(Args{"orrelin", "-s", "t.orrel"}));       // short forms do not choose the mode
  EXPECT_FALSE(isToolMode(Args{"orrelin"}));
}

TEST(ModeChoice, OnlyTheApplicationSetsTheFontSmoothingDefaults) {
  const char* keys[] = {"AppleScreenAdvanceThreshold", "AppleSmoothFontsSizeThreshold", "AppleAntiAliasingThreshold"};
  for (const char* key : keys) UserDefaults::standard().setObject(key, PropertyList("a user's own value"));
  const auto start = [](std::vector<std::string> words) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    orrelinMain(int(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
  };
  start({"orrelin", "-cmdline", "-help"});
  for (const char* key : keys)
    EXPECT_EQ(UserDefaults::standard().objectForKey(key), PropertyList("a user's own value")) << key;
  start({"orrelin"});
  for (const char* key : keys) EXPECT_EQ(UserDefaults::standard().objectForKey(key), PropertyList(std::int64_t{2})) << key;
}

TEST(Application, WithoutDocumentsItSaysWhatToDoAndHelpNamesTheOutputOption) {
  FakeDesktop desktop;
  std::ostringstream out, err;
  ApplicationContext context(desktop, out, err);
  EXPECT_EQ(runApplication({"orrelin"}, context), 1);
  EXPECT_NE(err.str().find("desktop window is not available yet"), std::string::npos);
  EXPECT_EQ(runApplication({"orrelin", "-timing"}, context), 1);
  EXPECT_EQ(runApplication({"orrelin", "--help"}, context), 0);
  EXPECT_NE(out.str().find("-output path"), std::string::npos) << out.str();
}

}  // namespace
