// The index file beside a data file: used only when it describes the file as
// it is now, and dropped as soon as the file changes.

#include <unistd.h>

#include "DataFileTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "datafiles/IndexFileReader.h"
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

// Both forms of property list go through the same rules.
class IndexRejected : public IndexFile, public ::testing::WithParamInterface<std::tuple<Rejection, PlistFormat>> {};

TEST_P(IndexRejected, TheFileIsScannedInstead) {
  PropertyList value = readIndex();
  std::get<0>(GetParam()).change(value);
  ASSERT_TRUE(writePropertyListFile(value, index, std::get<1>(GetParam()), WriteMode::InPlace));
  spoilTheFirstHeader();
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->variablesNames().empty());
  EXPECT_EQ(messages(), std::vector<std::string>{"Ran into problems reading the file (Incorrect type)."});
}

PropertyList& entry(PropertyList& index, const char* name) { return index.dictionary()["Entries"].dictionary()[name]; }

INSTANTIATE_TEST_SUITE_P(
    IndexFile, IndexRejected,
    ::testing::Combine(::testing::Values(
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
                  [](PropertyList& v) { entry(v, "one").dictionary()["V"] = PropertyList("0.5"); }},
        Rejection{"NumberValueForAnArray",
                  [](PropertyList& v) { entry(v, "Numbers").dictionary()["V"] = PropertyList(1.0); }},
        Rejection{"StringValueOfTheWrongLength",
                  [](PropertyList& v) { entry(v, "label").dictionary()["V"] = PropertyList("label"); }},
        Rejection{"DimensionAsAReal", [](PropertyList& v) { entry(v, "one").dictionary()["m"] = PropertyList(1.0); }},
        Rejection{"EntryNotADictionary", [](PropertyList& v) { entry(v, "one") = PropertyList(PlistArray{}); }}),
                       ::testing::Values(PlistFormat::XML, PlistFormat::Binary)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).label) +
             (std::get<1>(info.param) == PlistFormat::XML ? "_XML" : "_Binary");
    });

TEST_F(IndexFile, NamesOutsideASCIIAndBigOffsetsReadBackFromEitherForm) {
  // A name the binary form keeps as UTF-16, with a character beyond the
  // basic plane, and an offset in the range only unsigned values reach.
  const std::string name = "\xCE\xB1 \xF0\x9F\x98\x80";
  PropertyList value(PlistDictionary{
      {"Length", std::uint64_t{0xFFFFFFFFFFFFFFF0ull}},
      {"Entries", PlistDictionary{{name, PlistDictionary{{"O", std::uint64_t{1} << 40}, {"m", 1}, {"n", 2}, {"o", 1}, {"F", 0}}}}}});
  for (PlistFormat format : {PlistFormat::XML, PlistFormat::Binary}) {
    std::string bytes = serializePropertyList(value, format);
    IndexContents contents;
    IndexReading reading = readBinaryIndex(bytes, contents);
    if (format == PlistFormat::XML) {
      EXPECT_EQ(reading, IndexReading::NotHandled);
      reading = readIndexPropertyList(*parsePropertyList(bytes), contents);
    }
    ASSERT_EQ(reading, IndexReading::Usable);
    EXPECT_EQ(contents.length, 0xFFFFFFFFFFFFFFF0ull);
    ASSERT_EQ(contents.entries.size(), 1u);
    EXPECT_EQ(contents.entries[0].first, name);
    EXPECT_EQ(contents.entries[0].second.offsetInFile, std::uint64_t{1} << 40);
    EXPECT_EQ(contents.entries[0].second.n, 2);
  }
}

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

KRDataFileBinaryEntry entryAt(std::uint64_t offset) {
  KRDataFileBinaryEntry entry;
  entry.offsetInFile = offset;
  return entry;
}

TEST(EntryTable, FindsEveryNameThroughGrowthAndReplacement) {
  EntryTable table;
  EXPECT_FALSE(table.find("a"));
  // A block from an index, out of order and with a name twice (the later
  // one counts), then names added one by one.
  table.assign({{"s2", entryAt(2)}, {"s1", entryAt(1)}, {"s2", entryAt(22)}, {"s0", entryAt(0)}});
  for (int i = 0; i < 5000; ++i) table.insertOrAssign("v" + std::to_string(i), entryAt(static_cast<std::uint64_t>(i)));
  table.insertOrAssign("v17", entryAt(99999));
  table.insertOrAssign("s1", entryAt(11));
  ASSERT_EQ(table.size(), 5003u);
  for (int i = 0; i < 5000; ++i) {
    const KRDataFileBinaryEntry* entry = table.find("v" + std::to_string(i));
    ASSERT_TRUE(entry) << i;
    EXPECT_EQ(entry->offsetInFile, i == 17 ? 99999u : static_cast<std::uint64_t>(i));
  }
  EXPECT_EQ(table.find("s0")->offsetInFile, 0u);
  EXPECT_EQ(table.find("s1")->offsetInFile, 11u);
  EXPECT_EQ(table.find("s2")->offsetInFile, 22u);
  EXPECT_FALSE(table.find("v5000"));
  EXPECT_FALSE(table.find(""));
  std::size_t visited = 0;
  table.forEach([&](const std::string&, const KRDataFileBinaryEntry&) { ++visited; });
  EXPECT_EQ(visited, 5003u);
}

TEST_F(IndexFile, AFileWithANameThatIsNotTextGetsNoIndex) {
  auto data = KRDataFile::openFileName(file);
  ASSERT_TRUE(data);
  const double v = 1;
  // Kept as bytes in the data file, but a property list would turn the name
  // into another one.
  ASSERT_TRUE(data->writeArray("bad\xFF", &v, 1, 1, 1));
  EXPECT_FALSE(data->generateIndexFile());
  EXPECT_NE(::access(index.c_str(), F_OK), 0);
  EXPECT_EQ(data->readNumber("bad\xFF"), 1);
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
