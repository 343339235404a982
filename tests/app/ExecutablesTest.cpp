// The installed programs as a user meets them: exit statuses as the shell
// sees them, and words no test of the parser thought of.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

struct Result {
  int status;
  std::string output;
};

Result runCommand(const std::string& command) {
  Result result{-1, ""};
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
  int raw = ::pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

const std::string kOrrel = std::string(ORREL_BIN_DIR) + "/orrel";
const std::string kOrrelin = std::string(ORREL_BIN_DIR) + "/orrelin";

TEST(Executables, OrrelIsTheApplicationInToolMode) {
  auto help = runCommand(kOrrel + " -help output");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("File endings for -output file.end :\n", 0), 0u);
  auto same = runCommand(kOrrelin + " -cmdline -help output");
  EXPECT_EQ(same.output, help.output);
  // "-script" anywhere selects tool mode in the application executable too.
  auto byScript = runCommand(kOrrelin + " x -script /nowhere/t.orrel -output o.pdf");
  EXPECT_EQ(byScript.status, 1);
  EXPECT_NE(byScript.output.find("could not be found"), std::string::npos);
}

TEST(Executables, TimingIsAnnouncedInBothModes) {
  auto tool = runCommand(kOrrel + " -timing -?");
  EXPECT_EQ(tool.status, 0);
  EXPECT_EQ(tool.output.rfind("Timing is enabled. Will output redraw times as well as setup times.\n", 0), 0u);
  auto app = runCommand(kOrrelin + " -TIMING");
  EXPECT_NE(app.output.find("Timing is enabled."), std::string::npos);
}

TEST(Executables, StrangeArgumentsNeverCrash) {
  TemporaryFolder folder;
  std::string many;
  for (int i = 0; i < 3000; ++i) many += " w" + std::to_string(i) + ".dat -v x" + std::to_string(i) + "=1";
  auto result = runCommand(kOrrel + many + " $'\\xff\\xfe' '' - -- -cs -output " + folder.path("o.pdf"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("orrel: Need to specify a Orrelin file"), std::string::npos);
  auto trailing = runCommand(kOrrel + " -script");
  EXPECT_EQ(trailing.status, 0);
}

// The movie, PDF-page, digest, TIFF and JPEG 2000 libraries are opened when
// they are needed; linked, they would be mapped into every start of the
// tool, "orrel -help" too. ICU is part of the programs themselves. Text is
// shaped by HarfBuzz directly; pango (with the glib type system and the
// threads it starts) is not loaded at all.
TEST(Executables, StartWithoutTheLibrariesOfRareJobs) {
  for (const auto& program : {kOrrel, kOrrelin}) {
    auto loaded = runCommand("LD_TRACE_LOADED_OBJECTS=1 " + program);
    ASSERT_NE(loaded.output.find("libcairo"), std::string::npos) << loaded.output;
    for (const char* library : {"libavcodec", "libavformat", "libavutil", "libswscale", "libpoppler", "libcrypto",
                                "libtiff", "libopenjp2", "libicu", "libpango"})
      EXPECT_EQ(loaded.output.find(library), std::string::npos) << program << " links " << library;
  }
}

// orrel without an output file hands its job to orrelin, which opens the
// ticket and, with no window yet, leaves the graph as a PDF beside the
// ticket in the temporary folder; the template is not touched.
TEST(Executables, AHandedOverJobEndsAsAPdfInTheTemporaryFolder) {
  TemporaryFolder folder;
  const std::string templatePath = std::string(ORREL_EXAMPLES_DIR) + "/damped-oscillation.orrel";
  const std::string data = std::string(ORREL_SOURCE_EXAMPLES_DIR) + "/damped-oscillation.txt";
  const auto contentBefore = std::filesystem::last_write_time(templatePath + "/Content.plist");
  auto handOff = runCommand("TMPDIR=" + folder.root() + " " + kOrrel + " " + data + " -script " + templatePath +
                            " -v decay=0.25");
  ASSERT_EQ(handOff.status, 1) << handOff.output;

  std::string pdf;
  for (int attempt = 0; attempt < 300 && pdf.empty(); ++attempt) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.root()))
      if (entry.path().extension() == ".pdf") pdf = entry.path().string();
    if (pdf.empty()) ::usleep(100000);
  }
  ASSERT_FALSE(pdf.empty()) << "orrelin wrote no PDF within 30 seconds";
  std::ifstream in(pdf, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos) << "the PDF appears only when complete";
  std::string ticket = pdf.substr(0, pdf.size() - 4) + ".orrelticket";
  EXPECT_TRUE(std::filesystem::exists(ticket)) << ticket;
  EXPECT_EQ(std::filesystem::last_write_time(templatePath + "/Content.plist"), contentBefore);
}

}  // namespace
