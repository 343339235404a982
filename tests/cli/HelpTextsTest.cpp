#include <gtest/gtest.h>

#include <sstream>

#include "cli/CommandLine.h"
#include "cli/FakeDesktop.h"
#include "platform/FileWriting.h"

using namespace orrelin;

namespace {

std::string expectedPage(const std::string& name) {
  std::string contents;
  EXPECT_TRUE(readFile(std::string(ORREL_TEST_DATA_DIR) + "/cli/help-" + name + ".txt", contents));
  return contents;
}

struct HelpCase {
  std::vector<std::string> words;
  std::string page;
};

class HelpPages : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpPages, PrintByteForByteAndReturnZero) {
  FakeDesktop desktop;
  std::ostringstream out, err;
  ToolContext context{desktop, out, err};
  std::vector<std::string> argv = {"orrel", "-cmdline"};
  argv.insert(argv.end(), GetParam().words.begin(), GetParam().words.end());
  EXPECT_EQ(commandLine(argv, context), 0);
  EXPECT_EQ(out.str(), expectedPage(GetParam().page));
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(desktop.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Topics, HelpPages,
    testing::Values(HelpCase{{"-help", "output"}, "output"}, HelpCase{{"-HELP", "output"}, "output"},
                    HelpCase{{"-help", "Output"}, "general"}, HelpCase{{"-?"}, "general"},
                    HelpCase{{"--help", "examples"}, "examples"}, HelpCase{{"-?", "colorscheme"}, "colorscheme"},
                    HelpCase{{"a.txt", "-script", "t.orrel", "-help", "x", "-output", "o.pdf"}, "general"},
                    HelpCase{{"-help", ""}, "general"}),
    [](const testing::TestParamInfo<HelpCase>& info) {
      return "Case" + std::to_string(info.index) + "_" + info.param.page;
    });

}  // namespace
