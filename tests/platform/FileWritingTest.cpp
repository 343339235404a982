#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/FileWriting.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string contentsOf(const std::string& path) {
  std::string contents;
  readFile(path, contents);
  return contents;
}

std::size_t entriesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(AtomicFile, ReplacesTheTargetOnlyOnCommit) {
  TemporaryFolder folder;
  std::string target = folder.path("out.txt");
  ASSERT_TRUE(writeFile(target, bytesOf("old"), WriteMode::InPlace));
  {
    AtomicFile file(target);
    ASSERT_TRUE(file.isOpen()) << file.error();
    ASSERT_TRUE(file.write(bytesOf("new and longer")));
    // Before the commit the reader still sees the old file.
    EXPECT_EQ(contentsOf(target), "old");
    ASSERT_TRUE(file.commit()) << file.error();
  }
  EXPECT_EQ(contentsOf(target), "new and longer");
  EXPECT_EQ(entriesIn(folder.root()), 1u);
}

TEST(AtomicFile, AnAbandonedWriteLeavesTheOldFileAndNoLitter) {
  TemporaryFolder folder;
  std::string target = folder.path("out.txt");
  ASSERT_TRUE(writeFile(target, bytesOf("old"), WriteMode::InPlace));
  {
    AtomicFile file(target);
    ASSERT_TRUE(file.write(bytesOf("half a")));
    // The writer fails here and never commits.
  }
  EXPECT_EQ(contentsOf(target), "old");
  EXPECT_EQ(entriesIn(folder.root()), 1u);
}

TEST(AtomicFile, AFailedRenameLeavesTheTargetUntouched) {
  TemporaryFolder folder;
  // A folder in the target's place cannot be replaced by a file.
  std::string target = folder.path("taken");
  std::filesystem::create_directory(target);
  ASSERT_TRUE(writeFile(target + "/inside.txt", bytesOf("keep"), WriteMode::InPlace));
  std::string error;
  EXPECT_FALSE(writeFile(target, bytesOf("new"), WriteMode::Atomic, &error));
  EXPECT_NE(error.find("taken"), std::string::npos) << error;
  EXPECT_EQ(contentsOf(target + "/inside.txt"), "keep");
  EXPECT_EQ(entriesIn(folder.root()), 1u);
}

TEST(AtomicFile, AMissingFolderIsReported) {
  TemporaryFolder folder;
  std::string error;
  EXPECT_FALSE(writeFile(folder.path("no/such/folder/out.txt"), bytesOf("x"), WriteMode::Atomic, &error));
  EXPECT_NE(error.find("out.txt"), std::string::npos) << error;
  EXPECT_FALSE(writeFile(folder.path("no/such/folder/out.txt"), bytesOf("x"), WriteMode::InPlace, &error));
  EXPECT_NE(error.find("out.txt"), std::string::npos) << error;
}

TEST(AtomicFile, NewFilesAreReadableByOthers) {
  TemporaryFolder folder;
  std::string target = folder.path("out.txt");
  ASSERT_TRUE(writeFile(target, bytesOf("x"), WriteMode::Atomic));
  auto permissions = std::filesystem::status(target).permissions();
  EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

TEST(RefusedWrites, BindEveryWayOfWritingBelowThePathUntilLifted) {
  TemporaryFolder folder;
  std::filesystem::create_directory(folder.path("locked"));
  const std::string inside = folder.path("locked/out.txt");
  ASSERT_TRUE(writeFile(inside, bytesOf("old"), WriteMode::InPlace));
  {
    RefusedWritesForTesting refusal(folder.path("locked"));
    for (WriteMode mode : {WriteMode::Atomic, WriteMode::InPlace}) {
      std::string error;
      EXPECT_FALSE(writeFile(inside, bytesOf("new"), mode, &error));
      EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    }
    EXPECT_FALSE(mayWrite(folder.path("locked")));
    EXPECT_FALSE(mayWrite(inside));
    errno = 0;
    EXPECT_EQ(openForUpdate(inside), -1);
    EXPECT_EQ(errno, EACCES);
    // A neighbour whose name merely begins the same is not below the path.
    EXPECT_TRUE(mayWrite(folder.root()));
    EXPECT_TRUE(writeFile(folder.path("locked2"), bytesOf("x"), WriteMode::Atomic));
  }
  EXPECT_EQ(contentsOf(inside), "old");
  EXPECT_EQ(entriesIn(folder.path("locked")), 1u);
  EXPECT_TRUE(mayWrite(inside));
  const int fd = openForUpdate(inside);
  EXPECT_GE(fd, 0);
  if (fd >= 0) ::close(fd);
  EXPECT_TRUE(writeFile(inside, bytesOf("new"), WriteMode::Atomic));
  EXPECT_EQ(contentsOf(inside), "new");
}

TEST(ReadFile, FoldersAndMissingFilesAreErrors) {
  TemporaryFolder folder;
  std::string contents, error;
  EXPECT_FALSE(readFile(folder.root(), contents, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(readFile(folder.path("missing"), contents, &error));
}

}  // namespace
