#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "DocumentTestSupport.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

extern char** environ;

using namespace orrelin;
using namespace orrelin::testing_support;
namespace fs = std::filesystem;

namespace {

constexpr long kRows = 300000;

pid_t startSave(const std::string& package, const std::string& value) {
  const std::string program = ORREL_SAVE_CHILD;
  std::vector<char*> arguments{const_cast<char*>(program.c_str()), const_cast<char*>(package.c_str()),
                               const_cast<char*>(value.c_str()), nullptr};
  pid_t child = -1;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments.data(), environ) != 0) return -1;
  return child;
}

int waitFor(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// The value every entry of "x" holds, or "" when they differ or the
// package does not open whole.
std::string savedValue(const std::string& package) {
  auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
  if (!document->redirectReadFromURL(package, "Orrelin Document")) return "(does not open)";
  auto x = document->table().columnAtIndex(1);
  auto y = document->table().columnAtIndex(2);
  auto text = document->table().columnAtIndex(3);
  if (!x || !y || !text) return "(columns missing)";
  if (y->howManyEntries() != kRows || y->valueAtRow(kRows - 1) != double(kRows - 1)) return "(numbers damaged)";
  if (text->howManyEntries() != 100001 || text->stringList().back() != "100000") return "(texts damaged)";
  const auto values = x->stringList();
  if (values.size() != 50) return "(values damaged)";
  for (const auto& value : values)
    if (value != values.front()) return "(values mixed)";
  return values.front();
}

// Saves over a package are killed at random moments; each time the package
// opens whole, holding either what it held before or what the save wrote.
TEST(SafeSave, AnInterruptedSaveLeavesTheOldOrTheNewPackage) {
  TemporaryFolder folder;
  MessageCapture messages;
  const std::string package = folder.path("data.orrel");
  {
    auto document = OrrelinDocument::create();
    addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "x")
        ->setStringList(std::vector<std::string>(50, "0"));
    std::vector<double> values(kRows);
    for (long i = 0; i < kRows; ++i) values[std::size_t(i)] = double(i);
    addColumn(*document, VKDataColumnBinary::createEmptyFor(), "y")
        ->setNumbers(values, std::vector<std::uint8_t>(kRows, 1));
    addColumn(*document, VKDataColumnString::createEmptyFor(), "t")->setStringList(
        [] {
          std::vector<std::string> texts;
          for (long i = 0; i <= 100000; ++i) texts.push_back(std::to_string(i));
          return texts;
        }());
    ASSERT_TRUE(document->saveToURL(package));
  }
  ASSERT_EQ(savedValue(package), "0");

  // One whole save tells how long the kills may wait.
  const auto started = std::chrono::steady_clock::now();
  pid_t child = startSave(package, "1");
  ASSERT_GT(child, 0);
  const int status = waitFor(child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
  ASSERT_EQ(savedValue(package), "1");

  std::mt19937 random(20261207);
  std::string held = "1";
  int completed = 0;
  for (int round = 2; round < 42; ++round) {
    const std::string value = std::to_string(round);
    child = startSave(package, value);
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (whole.count() + 1)));
    kill(child, SIGKILL);
    waitFor(child);
    const std::string found = savedValue(package);
    ASSERT_TRUE(found == held || found == value) << "round " << round << ": " << found;
    if (found == value) ++completed;
    held = found;
  }
  RecordProperty("SavesThatFinishedBeforeTheKill", completed);

  // A save that runs to its end clears what the killed ones left beside.
  child = startSave(package, "done");
  waitFor(child);
  EXPECT_EQ(savedValue(package), "done");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.root()), fs::directory_iterator()), 1);
}

}  // namespace
