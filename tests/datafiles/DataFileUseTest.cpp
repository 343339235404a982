// Using data files the way documents and the tool do: opening by ending,
// creating with every reason it can fail, reading in other types, picking
// up what another program appended, sharing between threads and living
// under the cap on open files.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinary.h"
#include "platform/FileWriting.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr bool kBig = std::endian::native == std::endian::big;
const std::string kMagic = kBig ? "Mirovane Binary File BE" : "Mirovane Binary File LE";

class DataFileUse : public DataFileTest {
 protected:
  // A file holding "values" (the given doubles).
  void writeValues(const std::string& file, const std::vector<double>& values) {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->writeArray("values", values.data(), static_cast<std::int32_t>(values.size()), 1, 1));
    data->closeFile();
  }
};

TEST_F(DataFileUse, TheEndingChoosesTheReader) {
  writeValues(path("plain.mvbin"), {1, 2});
  std::filesystem::copy_file(path("plain.mvbin"), path("renamed.dat"));
  FileBuilder(false).text("1 2 3\n").writeTo(path("numbers.txt"));
  FileBuilder(false).writeTo(path("empty.mvbin"));
  for (const char* ending : {"ascii", "mvascii", "mat", "mvdata"})
    FileBuilder(false).text("x").writeTo(path(std::string("other.") + ending));

  EXPECT_TRUE(KRDataFile::openFileName(path("plain.mvbin")));
  // Renamed by its user, a binary data file still opens by its magic.
  auto renamed = KRDataFile::openFileName(path("renamed.dat"));
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->dataFileType(), "MVBinary");
  EXPECT_TRUE(messages().empty());

  EXPECT_FALSE(KRDataFile::openFileName(path("numbers.txt")));
  EXPECT_FALSE(KRDataFile::openFileName(path("empty.mvbin")));
  EXPECT_FALSE(KRDataFile::openFileName(path("missing.mvbin")));
  EXPECT_FALSE(KRDataFile::openFileName(folder_.root() + "/"));
  EXPECT_EQ(messages(), (std::vector<std::string>{"The file \"" + path("numbers.txt") + "\" has an invalid format.",
                                                  "The file \"" + path("empty.mvbin") + "\" is empty.",
                                                  "Could not open the file \"" + path("missing.mvbin") + "\".",
                                                  "Could not open the file \"" + folder_.root() + "/\"."}));
  for (const char* ending : {"ascii", "mvascii", "mat", "mvdata"}) {
    const std::string file = path(std::string("other.") + ending);
    EXPECT_FALSE(KRDataFile::openFileName(file));
    EXPECT_EQ(messages(), std::vector<std::string>{"The file \"" + file + "\" is a \"." + ending +
                                                   "\" data file, which can not be read yet."});
  }

  // Inside a folder, by a relative name.
  auto inside = KRDataFile::openFileName("plain.mvbin", folder_.root(), nullptr);
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->fileName(), path("plain.mvbin"));
}

TEST_F(DataFileUse, CreatingSaysWhatIsInTheWay) {
  FileBuilder(false).text("x").writeTo(path("plainfile"));
  std::filesystem::create_directory(path("folder.mvbin"));
  struct Case {
    std::string target;
    std::string message;
  };
  const std::vector<Case> cases = {
      {path("no/such/x.mvbin"), "Wanted to create the file \"" + path("no/such/x.mvbin") +
                                    "\", but could not. The first directory in the file path that doesn't exist is "
                                    "\"no\" in the \"" + folder_.root() + "\" directory."},
      {path("plainfile/x.mvbin"), "Could not create the file \"" + path("plainfile/x.mvbin") +
                                      "\". The problem is that \"" + path("plainfile") +
                                      "\" is a file and not a directory."},
      {path("folder.mvbin"), "Wanted to create the file \"" + path("folder.mvbin") +
                                 "\", but there is a directory with the same name in that place."},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(KRDataFile::openNewFileWithName(c.target)) << c.target;
    EXPECT_EQ(messages(), std::vector<std::string>{c.message});
  }
}

TEST_F(DataFileUse, CreatingWithoutPermissionSaysWhoseItIs) {
  std::filesystem::create_directory(path("locked"));
  writeValues(path("protected.mvbin"), {1});
  RefusedWritesForTesting lockedFolder(path("locked"));
  RefusedWritesForTesting protectedFile(path("protected.mvbin"));
  EXPECT_FALSE(KRDataFile::openNewFileWithName(path("locked/x.mvbin")));
  EXPECT_FALSE(KRDataFile::openNewFileWithName(path("protected.mvbin")));
  EXPECT_EQ(messages(), (std::vector<std::string>{
                            "Could not create the file \"" + path("locked/x.mvbin") +
                                "\". but could not. Make sure that you can create a file inside the directory \"" +
                                path("locked") + "\".",
                            "Wanted to empty the file \"" + path("protected.mvbin") +
                                "\", but could not. Make sure you own that file and can overwrite it."}));
  // A file that can only be read opens, refuses to be written and keeps
  // what it held.
  auto data = KRDataFile::openFileName(path("protected.mvbin"));
  ASSERT_TRUE(data);
  EXPECT_FALSE(data->writeString("a", "b"));
  EXPECT_EQ(messages(), std::vector<std::string>{"The file \"" + path("protected.mvbin") +
                                                 "\" can only be read, not written."});
  EXPECT_EQ(data->variablesNames(), std::vector<std::string>{"values"});
  EXPECT_EQ(data->readNumber("values"), 1.0);
  EXPECT_FALSE(std::filesystem::exists(path("locked/x.mvbin")));
}

TEST_F(DataFileUse, ANewFileReplacesTheOldOneOnlyWhenClosed) {
  const std::string file = path("replace.mvbin");
  writeValues(file, {1, 2, 3});
  const auto before = fileBytes(file);
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    const double v = 9;
    ASSERT_TRUE(data->writeArray("values", &v, 1, 1, 1));
    EXPECT_EQ(fileBytes(file), before);
    // Reads come from the new content before it is in place.
    EXPECT_EQ(data->readNumber("values"), 9);
  }
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->readValues<double>("values"), std::vector<double>{9});
  // No temporary file stays behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.root()), {}), 1);

  // A new file with nothing written is still a valid, empty data file.
  KRDataFile::openNewFileWithName(file)->closeFile();
  auto empty = KRDataFile::openFileName(file);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->variablesNames().empty());
}

// Writes beyond this size fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int);
};

TEST_F(DataFileUse, AFailedWriteLosesNothing) {
  const std::string file = path("full.mvbin");
  writeValues(file, {1, 2, 3});
  const auto before = fileBytes(file);
  const std::vector<double> big(4096, 1.0);

  // Appending: the file is cut back to where it ended, and stays usable.
  {
    auto data = KRDataFile::openFileName(file);
    ASSERT_TRUE(data);
    {
      FileSizeLimit limit(before.size() + 1000);
      EXPECT_FALSE(data->writeArray("big", big.data(), 4096, 1, 1));
    }
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_FALSE(data->contains("big"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(data->writeArray("small", big.data(), 2, 1, 1));
  }
  const auto withSmall = fileBytes(file);

  // Replacing: the old file stays as it was, and the object describes it.
  auto data = KRDataFile::openNewFileWithName(file);
  ASSERT_TRUE(data);
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(data->writeArray("big", big.data(), 4096, 1, 1));
  }
  data->closeFile();
  EXPECT_EQ(fileBytes(file), withSmall);
  auto shown = messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], "Could not create the file \"" + file + "\"");
  EXPECT_EQ(data->variablesNames(), (std::vector<std::string>{"values", "small"}));
}

TEST_F(DataFileUse, ReadingInAnotherTypeConvertsEveryElement) {
  const std::string file = path("convert.mvbin");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double doubles[6] = {1.75, -2.5, 1e300, -1e300, nan, 40000};
  const std::int32_t ints[3] = {std::numeric_limits<std::int32_t>::max(), -7, 123456789};
  const std::int8_t chars[2] = {-128, 127};
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->writeArray("d", doubles, 6, 1, 1));
    ASSERT_TRUE(data->writeArray("i", ints, 3, 1, 1));
    ASSERT_TRUE(data->writeArray("c", chars, 2, 1, 1));
  }
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  // Integers widen exactly; narrowing cuts toward zero and saturates, NaN
  // becomes 0.
  EXPECT_EQ(data->readValues<double>("i"), (std::vector<double>{2147483647.0, -7, 123456789}));
  EXPECT_EQ(data->readValues<std::int32_t>("d"),
            (std::vector<std::int32_t>{1, -2, std::numeric_limits<std::int32_t>::max(),
                                       std::numeric_limits<std::int32_t>::min(), 0, 40000}));
  EXPECT_EQ(data->readValues<std::int16_t>("d"), (std::vector<std::int16_t>{1, -2, 32767, -32768, 0, 32767}));
  EXPECT_EQ(data->readValues<std::uint8_t>("c"), (std::vector<std::uint8_t>{0, 127}));
  auto floats = data->readValues<float>("d");
  ASSERT_TRUE(floats);
  EXPECT_EQ((*floats)[2], std::numeric_limits<float>::infinity());
  EXPECT_EQ((*floats)[3], -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan((*floats)[4]));
  EXPECT_EQ(data->readNumber("i"), 2147483647.0);
  EXPECT_FALSE(data->readValues<double>("unknown"));
}

TEST_F(DataFileUse, NamesAreCheckedAndVariablesNeverRemoved) {
  const std::string file = path("queries.mvbin");
  auto data = KRDataFile::openNewFileWithName(file);
  ASSERT_TRUE(data);
  const double one = 3;
  EXPECT_FALSE(data->writeString("t", ""));
  EXPECT_FALSE(data->writeArray("", &one, 1, 1, 1));
  EXPECT_FALSE(data->writeArray(std::string(255, 'n'), &one, 1, 1, 1));
  EXPECT_TRUE(data->writeArray(std::string(254, 'n'), &one, 1, 1, 1));
  ASSERT_TRUE(data->writeArray("x1", &one, 1, 1, 1));
  ASSERT_TRUE(data->writeString("y", "s"));
  EXPECT_FALSE(data->contains(static_cast<const char*>(nullptr)));
  EXPECT_EQ(data->variablesWithPrefix("x"), std::vector<std::string>{"x1"});
  EXPECT_EQ(data->locationOfDataFor("x1"), 24u + (28u + 255u + 8u) + 28u + 3u);
  EXPECT_TRUE(data->removeVariables({}, nullptr));
  EXPECT_FALSE(data->removeVariables({"x1"}, nullptr));
  EXPECT_TRUE(data->contains("x1"));
  EXPECT_EQ(messages(), (std::vector<std::string>{
                            "Trying to write a variable with an empty name.",
                            "Trying to write a variable with an empty name.",
                            "The variable name \"" + std::string(255, 'n') +
                                "\" is too long; a name can have at most 254 bytes.",
                            "KRDataFile contains:name : name==nil.",
                            "Variables can not be removed from a binary data file. Copy the ones to keep into a new "
                            "file instead."}));
}

TEST_F(DataFileUse, TheStructureRebuildsTheFileWithoutReadingIt) {
  const std::string file = path("structure.mvbin");
  FileBuilder b(!kBig);
  b.magic(kBig ? "Mirovane Binary File LE" : "Mirovane Binary File BE");
  b.header(2, 2, 1, 1, "f", 8).f32(1.5f).f32(-2);
  b.header(20, 1, 2, 1, "s", 2).text("ok");
  b.writeTo(file);
  PropertyList structure;
  {
    auto data = KRDataFile::openFileName(file);
    ASSERT_TRUE(data);
    structure = data->structure();
  }
  EXPECT_EQ(structure.stringForKey("Type"), "MVBinary");
  EXPECT_EQ(structure.stringForKey("File"), file);
  EXPECT_EQ(structure.stringForKey("Swap"), "YES");
  EXPECT_EQ(structure.find("Length")->unsignedInteger(), b.size());
  ASSERT_TRUE(structure.dictionaryForKey("Content"));
  EXPECT_EQ(structure.dictionaryForKey("Content")->size(), 2u);

  // Garble the headers: a rebuilt object never looks at them.
  auto bytes = b.bytes();
  bytes[24 + 8] ^= 0x7F;
  FileBuilder(false).text(std::string(bytes.begin(), bytes.end())).writeTo(file);
  auto rebuilt = KRDataFile::createFromStructure(structure);
  ASSERT_TRUE(rebuilt);
  EXPECT_EQ(rebuilt->readValues<float>("f"), (std::vector<float>{1.5f, -2}));
  EXPECT_EQ(rebuilt->readRawString("s"), "ok");
  EXPECT_EQ(rebuilt->structure(), structure);
  EXPECT_TRUE(messages().empty());

  PropertyList other = structure;
  other.dictionary()["Type"] = PropertyList("Ascii");
  EXPECT_FALSE(KRDataFile::createFromStructure(other));
  other.dictionary()["Type"] = PropertyList("Spreadsheet");
  EXPECT_FALSE(KRDataFile::createFromStructure(other));
  EXPECT_EQ(messages(), (std::vector<std::string>{"Data files of the type \"Ascii\" can not be read yet.",
                                                  "Internal error: Unexpected data file type in createFromStructure"}));
}

TEST_F(DataFileUse, UpdateFindsWhatAnotherProgramAppended) {
  const std::string file = path("growing.mvbin");
  writeValues(file, {1});
  auto reader = KRDataFile::openFileName(file);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->updateFile(), 0);

  // The other program writes a variable in two steps; half an entry is not
  // yet a variable.
  FileBuilder more(kBig);
  more.header(8, 1, 1, 1, "count", 4).i32(42);
  const auto& entry = more.bytes();
  appendBytes(file, std::vector<std::uint8_t>(entry.begin(), entry.begin() + 20));
  EXPECT_EQ(reader->updateFile(), 0);
  EXPECT_FALSE(reader->contains("count"));
  appendBytes(file, std::vector<std::uint8_t>(entry.begin() + 20, entry.end()));
  EXPECT_EQ(reader->updateFile(), 1);
  EXPECT_EQ(reader->readNumber("count"), 42);
  EXPECT_EQ(reader->updateFile(), 0);

  // This object can write after it, and the other program sees that.
  const double more_values[2] = {5, 6};
  ASSERT_TRUE(reader->writeArray("after", more_values, 2, 1, 1));
  auto other = KRDataFile::openFileName(file);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->variablesNames(), (std::vector<std::string>{"values", "count", "after"}));

  // Cut short, replaced or gone: -1, and the table stays as it was.
  ::truncate(file.c_str(), 30);
  EXPECT_EQ(reader->updateFile(), -1);
  EXPECT_TRUE(reader->contains("count"));
  writeValues(path("elsewhere.mvbin"), std::vector<double>(100, 1.0));
  std::filesystem::rename(path("elsewhere.mvbin"), file);
  EXPECT_EQ(reader->updateFile(), -1);
  std::filesystem::remove(file);
  EXPECT_EQ(reader->updateFile(), -1);
}

TEST_F(DataFileUse, AnIncompleteTailIsNotWrittenPast) {
  const std::string file = path("torn.mvbin");
  writeValues(file, {1});
  FileBuilder torn(kBig);
  torn.header(1, 4, 1, 1, "cut", 32).f64(1);
  appendBytes(file, torn.bytes());
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  const auto before = fileBytes(file);
  const double v = 1;
  EXPECT_FALSE(data->writeArray("new", &v, 1, 1, 1));
  EXPECT_EQ(messages(), std::vector<std::string>{"Can not add to the file \"" + file +
                                                 "\": it ends in an incomplete entry, and a new one after it could "
                                                 "never be read."});
  EXPECT_EQ(fileBytes(file), before);
}

TEST_F(DataFileUse, CopyIntoKeepsTypesAndLeavesOutWhatIsAsked) {
  const std::string file = path("source.mvbin");
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    const std::uint16_t shorts[3] = {1, 65535, 3};
    const double d = 2.5;
    ASSERT_TRUE(data->writeArray("u", shorts, 1, 3, 1));
    ASSERT_TRUE(data->writeArray("d", &d, 1, 1, 1));
    ASSERT_TRUE(data->writeString("text", "s"));
  }
  auto source = KRDataFile::openFileName(file);
  auto target = KRDataFile::openNewFileWithName(path("target.mvbin"));
  ASSERT_TRUE(source && target);
  EXPECT_TRUE(source->copyInto(*target, nullptr, {"d"}));
  target->closeFile();
  auto copy = KRDataFile::openFileName(path("target.mvbin"));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->variablesNames(), (std::vector<std::string>{"u", "s"}));
  EXPECT_EQ(copy->readValues<std::uint16_t>("u"), (std::vector<std::uint16_t>{1, 65535, 3}));
  EXPECT_EQ(copy->entryInfo("u")->n, 3);
  EXPECT_EQ(copy->readRawString("s"), "text");
}

TEST_F(DataFileUse, TwoThreadsReadOneFileAtOnce) {
  const std::string file = path("shared.mvbin");
  std::vector<double> a(20000), b(20000);
  for (std::size_t i = 0; i < a.size(); ++i) {
    a[i] = static_cast<double>(i);
    b[i] = -static_cast<double>(i) / 3;
  }
  {
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->writeArray("a", a.data(), 20000, 1, 1));
    ASSERT_TRUE(data->writeArray("b", b.data(), 20000, 1, 1));
  }
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  std::atomic<int> mismatches{0};
  auto reader = [&](const char* name, const std::vector<double>& expected) {
    for (int round = 0; round < 200; ++round) {
      auto values = data->readValues<double>(name);
      if (!values || *values != expected) ++mismatches;
      // Reads of another type go through the converting path.
      auto floats = data->readValues<float>(name);
      if (!floats || (*floats)[7] != static_cast<float>(expected[7])) ++mismatches;
    }
  };
  std::thread first(reader, "a", std::cref(a));
  std::thread second(reader, "b", std::cref(b));
  first.join();
  second.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(DataFileUse, TheOpenFileCapClosesFilesAndTheyOpenAgainWhenUsed) {
  const std::size_t savedCap = KRDataFileBinary::openFileCap();
  const std::size_t openBefore = KRDataFileBinary::numberOfOpenFiles();
  std::vector<std::shared_ptr<KRDataFileBinary>> files;
  KRDataFileBinary::setOpenFileCap(openBefore + 2);
  for (int i = 0; i < 5; ++i) {
    const std::string file = path("cap" + std::to_string(i) + ".mvbin");
    writeValues(file, {static_cast<double>(i), 0.5});
    files.push_back(KRDataFileBinary::openFileName(file));
    ASSERT_TRUE(files.back());
    EXPECT_LE(KRDataFileBinary::numberOfOpenFiles(), openBefore + 2);
  }
  // The most recently used stay open.
  EXPECT_FALSE(files[0]->isOpen());
  EXPECT_TRUE(files[4]->isOpen());
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(files[i]->readValues<double>("values"), (std::vector<double>{static_cast<double>(i), 0.5}));
      EXPECT_TRUE(files[i]->isOpen());
      EXPECT_LE(KRDataFileBinary::numberOfOpenFiles(), openBefore + 2);
    }
  }
  // Writing reopens read-write.
  const double v = 1;
  EXPECT_TRUE(files[0]->writeArray("late", &v, 1, 1, 1));

  // A closed file that has gone away says so when it is next used.
  files[1]->closeFile();
  std::filesystem::remove(files[1]->fileName());
  EXPECT_FALSE(files[1]->readValues<double>("values"));
  EXPECT_EQ(messages(), (std::vector<std::string>{"Could not open the file " + files[1]->fileName(),
                                                  "Failed at reading \"values\" from file \"" +
                                                      files[1]->fileName() + "\""}));
  files.clear();
  EXPECT_EQ(KRDataFileBinary::numberOfOpenFiles(), openBefore);
  KRDataFileBinary::setOpenFileCap(savedCap);
}

}  // namespace
