// The index file beside a data file: used only when it describes the file as
// it is now, and dropped as soon as the file changes.

#include <unistd.h>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/KRDataFileBinary.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

class IndexFile : public DataFileTest {
 protected:
  // "Column 1.mvbin" with a number, an array and a string, and its index.
  void SetUp() override {
    DataFileTest::SetUp();
    file = path("Column 1.mvbin");
    index = path("Column 1.index");
    auto data = KRDataFile::openNewFileWithName(file);
    ASSERT_TRUE(data);
    const double one = 0.5;
    const float values[3] = {1, 2, 3};
    ASSERT_TRUE(data->writeArray("one", &one, 1, 1, 1));
    ASSERT_TRUE(data->writeArray("Numbers", values, 3, 1, 1));
    ASSERT_TRUE(data->writeString("label text", "label"));
    EXPECT_EQ(data->nameOfIndexFile(), index);
    ASSERT_TRUE(data->generateIndexFile());
    data->closeFile();
    ASSERT_EQ(::access(index.c_str(), F_OK), 0);
  }

  // Garbles the type code of the first entry in place: a scan stops there,
  // so a file that still opens in full was opened from its index.
  void spoilTheFirstHeader() {
    auto bytes = fileBytes(file);
    bytes[24 + 8] = 0x55;
    FileBuilder(false).text(std::string(bytes.begin(), bytes.end())).writeTo(file);
  }

  PropertyList readIndex() { return *readPropertyListFile(index); }
  void writeIndex(const PropertyList& value) {
    ASSERT_TRUE(writePropertyListFile(value, index, PlistFormat::XML, WriteMode::InPlace));
  }

  std::string file;
  std::string index;
};

TEST_F(IndexFile, OpeningUsesTheIndexInsteadOfTheHeaders) {
  spoilTheFirstHeader();
  auto data = KRDataFileBinary::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->variablesNames(), (std::vector<std::string>{"one", "Numbers", "label"}));
  EXPECT_EQ(data->readValues<float>("Numbers"), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(data->entryFor("one")->cachedNumber, 0.5);
  EXPECT_EQ(data->entryFor("label")->cachedString, "label text");
  EXPECT_TRUE(messages().empty());
}

TEST_F(IndexFile, TheIndexHoldsTheLengthAndEveryEntry) {
  PropertyList value = readIndex();
  EXPECT_EQ(value.find("Length")->unsignedInteger(), fileBytes(file).size());
  const PlistDictionary* entries = value.dictionaryForKey("Entries");
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 3u);
  const PropertyList& numbers = entries->at("Numbers");
  EXPECT_EQ(numbers.integerForKey("F"), 1);
  EXPECT_EQ(numbers.integerForKey("m"), 3);
  EXPECT_EQ(numbers.find("V"), nullptr);
  EXPECT_EQ(entries->at("label").integerForKey("F"), 6 + 32);
  EXPECT_EQ(entries->at("label").stringForKey("V"), "label text");
  EXPECT_EQ(entries->at("one").numberForKey("V"), 0.5);
  // "O" is where the data starts: after the magic, the first entry's header
  // and name.
  EXPECT_EQ(entries->at("one").find("O")->unsignedInteger(), 24u + 28u + 4u);
}

// Each way an index can fail to describe the file: the file is then scanned
// (and its garbled first entry shows that it was).
struct Rejection {
  const char* label;
  std::function<void(PropertyList&)> change;
};

class IndexRejected : public IndexFile, public ::testing::WithParamInterface<Rejection> {};

TEST_P(IndexRejected, TheFileIsScannedInstead) {
  PropertyList value = readIndex();
  GetParam().change(value);
  writeIndex(value);
  spoilTheFirstHeader();
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->variablesNames().empty());
  EXPECT_EQ(messages(), std::vector<std::string>{"Ran into problems reading the file (Incorrect type)."});
}

PropertyList& entry(PropertyList& index, const char* name) { return index.dictionary()["Entries"].dictionary()[name]; }

INSTANTIATE_TEST_SUITE_P(
    IndexFile, IndexRejected,
    ::testing::Values(
        Rejection{"LengthDiffers", [](PropertyList& v) { v.dictionary()["Length"] = PropertyList(std::uint64_t{1}); }},
        Rejection{"NoLength", [](PropertyList& v) { v.dictionary().erase("Length"); }},
        Rejection{"NoEntries", [](PropertyList& v) { v.dictionary().erase("Entries"); }},
        Rejection{"NotADictionary", [](PropertyList& v) { v = PropertyList(PlistArray{}); }},
        Rejection{"EntryWithoutO", [](PropertyList& v) { entry(v, "Numbers").dictionary().erase("O"); }},
        Rejection{"EntryWithoutF", [](PropertyList& v) { entry(v, "one").dictionary().erase("F"); }},
        Rejection{"EntryWithoutM", [](PropertyList& v) { entry(v, "one").dictionary().erase("m"); }},
        Rejection{"KindAbove6", [](PropertyList& v) { entry(v, "Numbers").dictionary()["F"] = PropertyList(7); }},
        Rejection{"FlagAbove1", [](PropertyList& v) { entry(v, "Numbers").dictionary()["F"] = PropertyList(65); }},
        Rejection{"NegativeSize", [](PropertyList& v) { entry(v, "Numbers").dictionary()["n"] = PropertyList(-1); }},
        Rejection{"DataPastTheEnd",
                  [](PropertyList& v) { entry(v, "Numbers").dictionary()["O"] = PropertyList(std::uint64_t{1000}); }},
        Rejection{"StringValueForANumber",
                  [](PropertyList& v) { entry(v, "one").dictionary()["V"] = PropertyList("0.5"); }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(IndexFile, AGarbledIndexFileIsIgnored) {
  FileBuilder(false).text("bplist00 and then nothing useful").writeTo(index);
  spoilTheFirstHeader();
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->variablesNames().empty());
}

TEST_F(IndexFile, AWriteDeletesTheIndexAndAnIndexCanBeRemoved) {
  {
    auto data = KRDataFile::openFileName(file);
    ASSERT_TRUE(data);
    const std::int32_t mask[2] = {1, 0};
    ASSERT_TRUE(data->writeArray("Mask", mask, 2, 1, 1));
    EXPECT_NE(::access(index.c_str(), F_OK), 0);
    // A new index describes the longer file and is used from then on.
    ASSERT_TRUE(data->generateIndexFile());
  }
  EXPECT_EQ(readIndex().find("Length")->unsignedInteger(), fileBytes(file).size());
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->variablesNames().size(), 4u);
  EXPECT_TRUE(data->removeIndexFile());
  EXPECT_NE(::access(index.c_str(), F_OK), 0);
  EXPECT_TRUE(data->removeIndexFile());
}

TEST_F(IndexFile, TheIndexNameReplacesTheEnding) {
  struct Case {
    const char* file;
    const char* index;
  };
  for (const Case& c : {Case{"/a/Column 1.mvbin", "/a/Column 1.index"}, Case{"/a/b.c/data", "/a/b.c/data.index"},
                        Case{"/a/x.y.mvbin", "/a/x.y.index"}}) {
    auto data = KRDataFile::createFromStructure(
        PropertyList(PlistDictionary{{"Type", "MVBinary"}, {"File", c.file}, {"Content", PlistDictionary{}},
                                     {"Length", std::uint64_t{24}}}));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->nameOfIndexFile(), c.index);
  }
}

}  // namespace
