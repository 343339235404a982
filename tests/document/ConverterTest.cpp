#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "DocumentTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "document/BinaryConverterSource.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

// Runs a shell command and gives its standard output and exit status.
std::pair<std::string, int> run(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {"", -1};
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = ::pclose(pipe);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string shellQuoted(const std::string& path) { return "'" + path + "'"; }

class Converter : public ::testing::Test {
 protected:
  void SetUp() override {
    // The copy in the library is the file in the repository.
    ASSERT_EQ(std::string(binaryConverterSource()), fileBytes(ORREL_CONVERTER_SOURCE));
    const std::string source = folder.path("converter.c");
    ASSERT_TRUE(writeFile(source,
                          std::span<const std::uint8_t>(
                              reinterpret_cast<const std::uint8_t*>(binaryConverterSource().data()),
                              binaryConverterSource().size()),
                          WriteMode::InPlace));
    const auto [output, status] =
        run(std::string(ORREL_C_COMPILER) + " -std=c99 -Wall -Werror -o " + shellQuoted(program) + " " + shellQuoted(source) +
            " 2>&1");
    ASSERT_EQ(status, 0) << output;
  }

  TemporaryFolder folder;
  std::string program = folder.path("converter");
};

TEST_F(Converter, PrintsWhatTheDataFileLibraryWrote) {
  const std::string path = folder.path("Column 1.mvbin");
  {
    auto file = KRDataFile::openNewFileWithName(path);
    ASSERT_TRUE(file);
    const double numbers[] = {1.5, -2, 0.25, 1024, 6, 7};
    const std::uint8_t mask[] = {1, 0, 1};
    const std::int32_t counts[] = {-3, 2147483647};
    const std::int16_t shorts[] = {-32768};
    ASSERT_TRUE(file->writeArray("Numbers", numbers, 2, 3, 1));
    ASSERT_TRUE(file->writeArray("Mask", mask, 3, 1, 1));
    ASSERT_TRUE(file->writeArray("Counts", counts, 2, 1, 1));
    ASSERT_TRUE(file->writeArray("Short", shorts, 1, 1, 1));
    ASSERT_TRUE(file->writeString("made by a test", "Note"));
    file->closeFile();
  }
  const auto [listing, status] = run(shellQuoted(program) + " " + shellQuoted(path));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(listing,
            "Numbers: double array 2x3x1\nMask: uint8 array 3x1x1\nCounts: int32 array 2x1x1\n"
            "Short: int16 array 1x1x1\nNote: text of 14 bytes: made by a test\n");
  const auto [values, valuesStatus] = run(shellQuoted(program) + " -v " + shellQuoted(path));
  EXPECT_EQ(valuesStatus, 0);
  EXPECT_EQ(values,
            "Numbers: double array 2x3x1\n1.5\n-2\n0.25\n1024\n6\n7\nMask: uint8 array 3x1x1\n1\n0\n1\n"
            "Counts: int32 array 2x1x1\n-3\n2147483647\nShort: int16 array 1x1x1\n-32768\n"
            "Note: text of 14 bytes: made by a test\n");
}

// Bytes laid out by hand: a big-endian file, and an entry cut short by an
// interrupted write, which ends the listing after the whole entries.
TEST_F(Converter, ReadsBigEndianFilesAndStopsAtACutEntry) {
  std::string bytes("Mirovane Binary File BE", 23);
  bytes.push_back('\0');
  const auto bigEndian = [&bytes](std::uint64_t value, int size) {
    for (int i = size - 1; i >= 0; --i) bytes.push_back(char((value >> (8 * i)) & 0xff));
  };
  const auto entry = [&](const char* name, int type, int m, std::uint64_t dataBytes, std::uint64_t declared) {
    bigEndian(declared ? declared : 28 + std::strlen(name) + 1 + dataBytes, 8);
    bigEndian(std::uint64_t(type), 4);
    bigEndian(std::uint64_t(m), 4);
    bigEndian(1, 4);
    bigEndian(1, 4);
    bigEndian(std::strlen(name) + 1, 4);
    bytes.append(name, std::strlen(name) + 1);
  };
  entry("v", 1, 2, 16, 0);
  double half = -0.5;
  std::uint64_t bits;
  std::memcpy(&bits, &half, 8);
  bigEndian(bits, 8);
  bigEndian(0x4000000000000000ull, 8);  // 2.0
  entry("cut", 8, 1000, 4000, 0);
  bytes.append(10, '\0');
  const std::string path = folder.path("big.mvbin");
  ASSERT_TRUE(writeFile(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                            bytes.size()),
                        WriteMode::InPlace));
  const auto [values, status] = run(shellQuoted(program) + " -v " + shellQuoted(path) + " 2>/dev/null");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(values, "v: double array 2x1x1\n-0.5\n2\n");

  const std::string garbage = folder.path("garbage.mvbin");
  ASSERT_TRUE(writeFile(garbage, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("nothing"), 7),
                        WriteMode::InPlace));
  EXPECT_EQ(run(shellQuoted(program) + " " + shellQuoted(garbage) + " 2>/dev/null").second, 2);
  EXPECT_EQ(run(shellQuoted(program) + " 2>/dev/null").second, 1);
}

}  // namespace
