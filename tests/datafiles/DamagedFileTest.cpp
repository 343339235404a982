// A damaged file gives up only what is damaged: every whole entry before the
// damage opens, with the message that says what is wrong.

#include <chrono>

#include "DataFileTestSupport.h"
#include "datafiles/BinaryScanner.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinary.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr bool kBig = std::endian::native == std::endian::big;
const std::string kMagic = kBig ? "Mirovane Binary File BE" : "Mirovane Binary File LE";

// Two good entries, then whatever the case appends.
FileBuilder twoGoodEntries() {
  FileBuilder b(kBig);
  b.magic(kMagic);
  b.header(1, 1, 1, 1, "a", 8).f64(1);
  b.header(8, 2, 1, 1, "b", 8).i32(2).i32(3);
  return b;
}

struct DamageCase {
  const char* label;
  std::function<void(FileBuilder&)> damage;
  std::vector<std::string> expectedMessages;
};

class DamagedFile : public DataFileTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFile, KeepsEveryWholeEntryBeforeTheDamage) {
  FileBuilder b = twoGoodEntries();
  const std::uint64_t goodLength = b.size();
  GetParam().damage(b);
  b.writeTo(path("damaged.mvbin"));

  auto file = KRDataFileBinary::openFileName(path("damaged.mvbin"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->variablesNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(file->readValues<std::int32_t>("b"), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(file->fileSizeInBytes(), goodLength);
  EXPECT_EQ(messages(), GetParam().expectedMessages);
}

// An entry whose type code lies in one of the gaps between the defined codes.
DamageCase badType(const char* label, std::int32_t code) {
  return {label, [code](FileBuilder& b) { b.header(code, 1, 1, 1, "c", 8).f64(0); },
          {"Ran into problems reading the file (Incorrect type)."}};
}

const std::vector<DamageCase> kDamageCases = {
    {"NameLengthZero", [](FileBuilder& b) { b.i64(40).i32(1).i32(1).i32(1).i32(1).i32(0).f64(0); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Namefield had length 0."}},
    {"NameLength256",
     [](FileBuilder& b) { b.i64(300).i32(1).i32(1).i32(1).i32(1).i32(256).text(std::string(270, 'x')); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Namefield had length 256."}},
    {"NegativeNameLength", [](FileBuilder& b) { b.i64(40).i32(1).i32(1).i32(1).i32(1).i32(-4).f64(0); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Namefield had length -4."}},
    badType("TypeCode0", 0), badType("TypeCode3", 3), badType("TypeCode7", 7), badType("TypeCode13", 13),
    badType("TypeCode19", 19), badType("TypeCode21", 21),
    // A writer interrupted in the middle of an entry: no message, the file
    // simply ends before it.
    {"DataCutShort", [](FileBuilder& b) { b.header(1, 4, 1, 1, "c", 32).f64(1).f64(2); }, {}},
    {"HeaderCutShort", [](FileBuilder& b) { b.i64(44).i32(1).i32(1); }, {}},
    {"NameCutShort", [](FileBuilder& b) { b.i64(44).i32(1).i32(1).i32(1).i32(1).i32(8).text("abc"); }, {}},
    {"LengthShorterThanItsData", [](FileBuilder& b) { b.i64(30).i32(1).i32(2).i32(1).i32(1).i32(2).text("c").u8(0).f64(1).f64(2); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Its length 30 is shorter than its name "
      "and data."}},
    {"NegativeLength", [](FileBuilder& b) { b.i64(-1).i32(1).i32(0).i32(0).i32(0).i32(2).text("c").u8(0); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Its length -1 is shorter than its name "
      "and data."}},
    {"NegativeDimension", [](FileBuilder& b) { b.i64(30).i32(1).i32(-1).i32(1).i32(1).i32(2).text("c").u8(0); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Its length 30 is shorter than its name "
      "and data."}},
    {"HugeDimensions",
     [](FileBuilder& b) { b.i64(30).i32(1).i32(INT32_MAX).i32(INT32_MAX).i32(INT32_MAX).i32(2).text("c").u8(0); },
     {"The file \"damaged.mvbin\" has a format error in entry number 3. Its length 30 is shorter than its name "
      "and data."}},
};

INSTANTIATE_TEST_SUITE_P(Scanning, DamagedFile, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.label); });

class Scanning : public DataFileTest {};

TEST_F(Scanning, AFileThatDoesNotStartWithAMagicIsRefused) {
  struct Case {
    std::string bytes;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"Mirovane Binary File XX" + std::string(1, '\0') + std::string(40, '\0'), "other.mvbin"},
      {"Mirovane Binary File", "short.mvbin"},
      {std::string("Mirovane Binary File LE") /* no zero byte */ + "x", "nozero.mvbin"},
  };
  for (const auto& c : cases) {
    FileBuilder(false).text(c.bytes).writeTo(path(c.name));
    EXPECT_FALSE(KRDataFile::openFileName(path(c.name))) << c.name;
    EXPECT_EQ(messages(), std::vector<std::string>{"The file \"" + c.name + "\" has incorrect format"});
  }
}

TEST_F(Scanning, ALaterEntryOfTheSameNameReplacesTheEarlierOne) {
  FileBuilder b(kBig);
  b.magic(kMagic);
  b.header(1, 1, 1, 1, "x", 8).f64(1);
  b.header(1, 1, 1, 1, "y", 8).f64(2);
  b.header(8, 2, 1, 1, "x", 8).i32(5).i32(6);
  b.writeTo(path("twice.mvbin"));
  auto file = KRDataFile::openFileName(path("twice.mvbin"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->variablesNames(), (std::vector<std::string>{"y", "x"}));
  EXPECT_EQ(file->readValues<double>("x"), (std::vector<double>{5, 6}));
}

// A clock that moves on by a fixed step each time it is read.
struct SteppingClock {
  std::chrono::steady_clock::time_point now{};
  std::chrono::milliseconds step;
  std::chrono::steady_clock::time_point operator()() { return now += step; }
};

struct RecordingProgress : KRDataFileProgress {
  std::vector<double> fractions;
  std::size_t abortAfter = SIZE_MAX;
  void setProgress(double fraction) override { fractions.push_back(fraction); }
  bool userAborted() override { return fractions.size() >= abortAfter; }
};

TEST_F(Scanning, ReportsProgressEveryHalfSecondAndStopsWhenAborted) {
  FileBuilder b(kBig);
  b.magic(kMagic);
  for (int i = 0; i < 10; ++i) b.header(8, 1, 1, 1, "v" + std::to_string(i), 4).i32(i);
  MemoryByteSource source(b.bytes().data(), b.size());

  // The clock moves 0.3 s per entry, so every second entry is past the
  // half second since the last report.
  RecordingProgress progress;
  ScanRequest request;
  request.fileLength = b.size();
  request.fileName = "p.mvbin";
  request.progress = &progress;
  request.clock = SteppingClock{{}, std::chrono::milliseconds(300)};
  ScanResult all = scanBinaryDataFile(source, request);
  EXPECT_EQ(all.entries.size(), 10u);
  EXPECT_FALSE(all.aborted);
  ASSERT_EQ(progress.fractions.size(), 5u);
  EXPECT_TRUE(std::is_sorted(progress.fractions.begin(), progress.fractions.end()));
  EXPECT_DOUBLE_EQ(progress.fractions.back(), 1.0);

  // Aborted at the second report: the entries read so far are the result,
  // and "until" is where the next scan would go on.
  RecordingProgress stopping;
  stopping.abortAfter = 2;
  request.progress = &stopping;
  request.clock = SteppingClock{{}, std::chrono::milliseconds(300)};
  ScanResult part = scanBinaryDataFile(source, request);
  EXPECT_TRUE(part.aborted);
  ASSERT_EQ(part.entries.size(), 4u);
  EXPECT_EQ(part.entries.back().first, "v3");
  const std::uint64_t entryLength = 28 + 3 + 4;
  EXPECT_EQ(part.until, 24 + 4 * entryLength);

  // Going on from there picks up the rest.
  request.progress = nullptr;
  request.startOffset = part.until;
  request.needToSwap = part.needToSwap;
  ScanResult rest = scanBinaryDataFile(source, request);
  ASSERT_EQ(rest.entries.size(), 6u);
  EXPECT_EQ(rest.entries.front().first, "v4");
  EXPECT_EQ(rest.until, b.size());
}

TEST_F(Scanning, EntriesAreNumberedFromTheStartOfTheFileWhenScanningOn) {
  FileBuilder b = twoGoodEntries();
  const std::uint64_t goodLength = b.size();
  b.i64(40).i32(1).i32(1).i32(1).i32(1).i32(0).f64(0);
  MemoryByteSource source(b.bytes().data(), b.size());
  std::vector<std::string> reported;
  ScanRequest request;
  request.fileLength = b.size();
  request.startOffset = goodLength;
  request.entriesBefore = 7;
  request.fileName = "/some/folder/on.mvbin";
  request.report = [&](const std::string& message) { reported.push_back(message); };
  ScanResult result = scanBinaryDataFile(source, request);
  EXPECT_TRUE(result.entries.empty());
  EXPECT_TRUE(result.stoppedAtDamage);
  EXPECT_EQ(result.until, goodLength);
  EXPECT_EQ(reported, std::vector<std::string>{
                          "The file \"on.mvbin\" has a format error in entry number 8. Namefield had length 0."});
}

}  // namespace
