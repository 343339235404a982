// The built orrel run on the example template the way users run it: what it
// prints, its exit status as the shell sees it, and what it leaves at the
// output path.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/TemporaryFolder.h"

using namespace orrelin;
namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string output;
};

Result run(const std::string& arguments) {
  Result result{-1, ""};
  FILE* pipe = ::popen((std::string(ORREL_BIN_DIR) + "/orrel " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
  const int raw = ::pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string kTemplate = std::string(ORREL_EXAMPLES_DIR) + "/damped-oscillation.orrel";
const std::string kData = std::string(ORREL_SOURCE_EXAMPLES_DIR) + "/damped-oscillation.txt";

struct BadRun {
  const char* name;
  // {template}, {data} and {out} stand for the example template, the
  // example data and a path in the test's folder.
  std::string arguments;
  int status;
  std::string printed;
  // The file the run must leave (or not) in the folder.
  std::string output;
  bool written;
};

std::string expand(std::string text, const TemporaryFolder& folder) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"{template}", kTemplate},
                            {"{data}", kData},
                            {"{out}", folder.root()}}) {
    for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
  }
  return text;
}

class BatchRunCase : public ::testing::TestWithParam<BadRun> {};

TEST_P(BatchRunCase, PrintsItsMessageAndLeavesOnlyWhatItWrote) {
  const BadRun c = GetParam();
  TemporaryFolder folder;
  std::ofstream(folder.path("not-a-package.orrel")) << "plain text, not a document\n";
  const Result result = run(expand(c.arguments, folder));
  EXPECT_EQ(result.status, c.status) << result.output;
  EXPECT_NE(result.output.find(expand(c.printed, folder)), std::string::npos) << result.output;
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.root())) names.insert(entry.path().filename().string());
  names.erase("not-a-package.orrel");
  if (c.written) {
    EXPECT_EQ(names, std::set<std::string>{c.output});
    EXPECT_GT(fs::file_size(folder.path(c.output)), 100u);
  } else {
    EXPECT_TRUE(names.empty()) << *names.begin();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Orrel, BatchRunCase,
    ::testing::Values(
        BadRun{"NoTemplateNamed", "{data} -output {out}/a.pdf", 1,
               "orrel: Need to specify a Orrelin file -script pathname. -? for more help", "", false},
        BadRun{"MissingTemplate", "{data} -script {out}/none.orrel -output {out}/a.pdf", 1,
               "orrel: The Orrelin file \"{out}/none.orrel\" could not be found", "", false},
        BadRun{"UnknownEnding", "{data} -script {template} -output {out}/a.gif", 1,
               "orrel: Unsupported file extension for \"{out}/a.gif\".  Use -? to see full list", "", false},
        BadRun{"UnreadableTemplate", "{data} -script {out}/not-a-package.orrel -output {out}/a.svg", 254,
               "orrel: The Orrelin file \"{out}/not-a-package.orrel\" could not be read", "", false},
        BadRun{"UnreadableTemplateForAMovie", "-script {out}/not-a-package.orrel -output {out}/a.mov", 254,
               "could not be read", "", false},
        BadRun{"MissingDataFileIsSkipped", "{out}/gone.txt {data} -script {template} -output {out}/a.png", 0,
               "orrel: Could not find the file \"{out}/gone.txt\"", "a.png", true},
        BadRun{"EndingsInCapitals", "-script {template} -output {out}/a.PDF", 0, "", "a.PDF", true},
        BadRun{"OutputFolderMissing", "{data} -script {template} -output {out}/no/such/folder/a.pdf", 0, "", "",
               false},
        BadRun{"DataFileOfTheWrongKind", "{template}/Contents/PkgInfo -script {template} -output {out}/a.svg", 0, "",
               "a.svg", true},
        BadRun{"HugeDpiIsRefusedBeforeAllocating", "-script {template} -dpi 1e9 -output {out}/a.png", 0, "", "",
               false},
        BadRun{"ZeroSizeFallsBackTo400By200", "-script {template} -width 0 -height 0 -output {out}/a.tiff", 0, "",
               "a.tiff", true},
        BadRun{"FramesPerSecondOutOfRangeKeepsTheDocuments", "-script {template} -fps 300 -output {out}/a.mov", 0,
               "", "a.mov", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The numbers in the SVG follow from the data and the override: the y axis
// of the example spans the measured signal, -0.55 to 0.82, padded by 5% to
// -0.62 and 0.90, in steps of 0.1; the x axis the times 0 to 10; each axis
// has its title, and the graph its title above. With the decay overridden to
// the one the data was made with, the model line passes through every
// measured point.
TEST(BatchRunOutput, SvgTicksAndLineFollowTheDataAndTheOverride) {
  TemporaryFolder folder;
  const std::string svg = folder.path("fitted.svg");
  const Result result = run(kData + " -script " + kTemplate + " -v decay=0.25 -output " + svg);
  ASSERT_EQ(result.status, 0) << result.output;
  const std::string text = fileText(svg);
  std::vector<std::string> labels;
  const std::regex label(R"(<text x="0" y="0">([^<]*)</text>)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), label); it != std::sregex_iterator(); ++it)
    labels.push_back((*it)[1]);
  std::vector<std::string> expected;
  for (const char* y : {"\xE2\x88\x92" "0.6", "\xE2\x88\x92" "0.5", "\xE2\x88\x92" "0.4", "\xE2\x88\x92" "0.3",
                        "\xE2\x88\x92" "0.2", "\xE2\x88\x92" "0.1", "0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7",
                        "0.8", "Signal (V)"})
    expected.push_back(y);
  for (int x = 0; x <= 10; ++x) expected.push_back(std::to_string(x));
  expected.push_back("Time (s)");
  expected.push_back("Damped oscillation: measured signal and model");
  EXPECT_EQ(labels, expected);

  // Tick positions give the page mapping; each circle of the points lies on
  // the model line's path within a hundredth of a point in y.
  auto yTick = [&](const std::string& value) {
    const std::regex at("translate\\([0-9.]+,([0-9.]+)\\)[^>]*>\\s*<text x=\"0\" y=\"0\">" + value + "</text>");
    std::smatch m;
    EXPECT_TRUE(std::regex_search(text, m, at)) << value;
    return std::stod(m[1]);
  };
  const double y0 = yTick("0"), y8 = yTick("0.8");
  ASSERT_LT(y8, y0);
  // The measured signal at t = 0.7 is exp(-0.175) sin(1.4): its page y.
  const double expectedY = y0 + (y8 - y0) * (std::exp(-0.25 * 0.7) * std::sin(1.4)) / 0.8;
  EXPECT_NE(text.find("<circle"), std::string::npos);
  bool found = false;
  const std::regex circle(R"re(<circle cx="([0-9.]+)" cy="([0-9.]+)")re");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), circle); it != std::sregex_iterator(); ++it)
    found = found || std::abs(std::stod((*it)[2]) - expectedY) < 0.01;
  EXPECT_TRUE(found) << "no point at y " << expectedY;
}

}  // namespace
