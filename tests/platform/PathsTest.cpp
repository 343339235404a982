#include <gtest/gtest.h>

#include "platform/Paths.h"

using namespace orrelin;

TEST(Paths, ExtensionIsTheTextAfterTheLastDotOfTheLastComponent) {
  struct Case {
    const char* path;
    const char* extension;
  } cases[] = {
      {"a.txt", "txt"},          {"/x/y/b.tar.gz", "gz"}, {"dir.d/file", ""}, {"noext", ""},
      {"/x/out.PDF", "PDF"},     {"trailing/", ""},       {"t.orrel/", "orrel"}, {"file.", ""},
      {"/x/.orrel", "orrel"},    {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(pathExtension(c.path), c.extension) << c.path;
}

TEST(Paths, AppendingAComponentJoinsWithOneSlash) {
  EXPECT_EQ(appendPathComponent("/work", "a.txt"), "/work/a.txt");
  EXPECT_EQ(appendPathComponent("/work/", "a.txt"), "/work/a.txt");
  EXPECT_EQ(appendPathComponent("/", "a.txt"), "/a.txt");
  EXPECT_EQ(appendPathComponent("/work", "sub//b.txt/"), "/work/sub/b.txt");
  EXPECT_EQ(appendPathComponent("/work", "../b.txt"), "/work/../b.txt");
}

TEST(Paths, FolderAndLeaf) {
  EXPECT_EQ(deletingLastPathComponent("/a/b.txt"), "/a");
  EXPECT_EQ(deletingLastPathComponent("/b.txt"), "/");
  EXPECT_EQ(deletingLastPathComponent("b.txt"), "");
  EXPECT_EQ(lastPathComponent("/a/b.txt/"), "b.txt");
  EXPECT_EQ(lastPathComponent("/"), "/");
}

TEST(Paths, CaseFoldingTouchesOnlyAscii) {
  EXPECT_EQ(asciiLowercase("-HeLP"), "-help");
  EXPECT_EQ(asciiLowercase("\xc3\x89T\xc3\x89"), "\xc3\x89t\xc3\x89");
  EXPECT_TRUE(equalsIgnoringAsciiCase("ColorScheme", "colorscheme"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("cs", "c"));
}
