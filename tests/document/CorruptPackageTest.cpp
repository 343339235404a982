#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "DocumentTestSupport.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::testing_support;
namespace fs = std::filesystem;

namespace {

// Every file of a package with its bytes, to show that opening wrote nothing.
std::map<std::string, std::string> snapshot(const std::string& package) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(package))
    files[fs::relative(entry.path(), package).string()] = entry.is_regular_file() ? fileBytes(entry.path()) : "";
  return files;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(writeFile(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                            bytes.size()),
                        WriteMode::InPlace));
}

// A package with a file of every kind: the property lists, a binary column
// file, a date column's value file and a long text list.
class CorruptPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TemporaryFolder();
    MessageCapture quiet;
    auto document = OrrelinDocument::create();
    fillEveryKind(*document);
    addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "long")->setStringList(numberTexts(100001));
    std::vector<std::string> dates;
    for (int i = 0; i < 1000; ++i) dates.push_back("2001-02-" + std::to_string(1 + i % 28));
    addColumn(*document, VKDataColumnDate::createEmptyFor(), "days")->setStringList(dates);
    ASSERT_TRUE(document->saveToURL(pristine()));
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  static std::string pristine() { return folder_->path("pristine.orrel"); }

  // A fresh copy of the package to damage.
  std::string copy() {
    const std::string package = here.path("damaged.orrel");
    fs::copy(pristine(), package, fs::copy_options::recursive);
    return package;
  }

  // Opens the package; it must not change by being read.
  std::shared_ptr<OrrelinDocument> open(const std::string& package, OrrelinDocument::ReadError& error) {
    const auto before = snapshot(package);
    auto document = OrrelinDocument::create();
    const bool read = document->redirectReadFromURL(package, "Orrelin Document", &error);
    EXPECT_EQ(snapshot(package), before) << "reading wrote into the package";
    return read ? document : nullptr;
  }

  TemporaryFolder here;
  MessageCapture messages;
  static TemporaryFolder* folder_;
};

TemporaryFolder* CorruptPackage::folder_ = nullptr;

enum class Damage { Missing, Truncated, Garbage, WrongType };

struct DamageCase {
  const char* file;
  Damage damage;
  bool opens;
};

std::string caseName(const ::testing::TestParamInfo<DamageCase>& info) {
  static const char* kinds[] = {"Missing", "Truncated", "Garbage", "WrongType"};
  std::string name = std::string(info.param.file) + "_" + kinds[int(info.param.damage)];
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class DamagedFile : public CorruptPackage, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFile, OpensWithTheRestOrFailsWithTheReason) {
  const DamageCase c = GetParam();
  const std::string package = copy();
  const std::string path = package + "/" + c.file;
  const std::string original = fileBytes(path);
  std::mt19937 random(7);
  switch (c.damage) {
    case Damage::Missing: fs::remove(path); break;
    case Damage::Truncated: writeBytes(path, original.substr(0, original.size() / 2)); break;
    case Damage::Garbage: {
      std::string noise(original.size(), '\0');
      for (char& byte : noise) byte = char(random());
      writeBytes(path, noise);
      break;
    }
    case Damage::WrongType:
      writeBytes(path, serializePropertyList(PropertyList("a text, not a list"), PlistFormat::Binary));
      break;
  }

  OrrelinDocument::ReadError error;
  auto document = open(package, error);
  if (!c.opens) {
    EXPECT_FALSE(document);
    EXPECT_EQ(error.reason, "The content description inside the script \"" + package + "\" could not be read");
    return;
  }
  ASSERT_TRUE(document) << error.reason;
  // Everything the damage did not touch is there.
  EXPECT_EQ(document->table().numberOfColumns(), 13);
  EXPECT_EQ(document->table().columnAtIndex(1)->stringList(), (std::vector<std::string>{"1", "2", "3*k", "", "5"}));
  EXPECT_EQ(document->definitions().valueForParameter("k"), 2.5);
  const std::string name = c.file;
  if (name == "Binary/Column 1.mvbin" || name == "Ascii/Column 1.plist") {
    EXPECT_FALSE(messages.texts().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFile, DamagedFile,
    ::testing::ValuesIn([] {
      std::vector<DamageCase> cases;
      for (Damage damage : {Damage::Missing, Damage::Truncated, Damage::Garbage, Damage::WrongType}) {
        cases.push_back({"Content.plist", damage, false});
        cases.push_back({"Columns.plist", damage, false});
        for (const char* file : {"Checksums.plist", "Contents/PkgInfo", "Binary/Column 1.mvbin",
                                 "Binary/Column 2.mvbin", "Ascii/Column 1.plist", "Binary/converter.c"})
          cases.push_back({file, damage, true});
      }
      return cases;
    }()),
    caseName);

TEST_F(CorruptPackage, DataEntriesTooFewOrTooMany) {
  for (int change : {-2, +3}) {
    const std::string package = copy();
    PlistArray data = plistAt(package + "/Columns.plist").array();
    if (change < 0)
      data.resize(data.size() - 2);
    else
      data.insert(data.end(), std::size_t(change), PropertyList(PlistArray{"extra"}));
    writeBytes(package + "/Columns.plist", serializePropertyList(PropertyList(data), PlistFormat::Binary));
    messages.take();

    OrrelinDocument::ReadError error;
    auto document = open(package, error);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->table().numberOfColumns(), 13);
    const auto texts = messages.texts();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
      return text.rfind("The column data does not match the column descriptions: ", 0) == 0;
    })) << change;
    if (change < 0) {
      EXPECT_EQ(document->table().columnAtIndex(12)->howManyEntries(), 0) << "its entry is missing";
    }
    fs::remove_all(package);
  }
}

TEST_F(CorruptPackage, FilesOutsideThePackageAreRefused) {
  const std::string secret = here.path("secret.plist");
  writeBytes(secret, serializePropertyList(PropertyList(PlistArray{"do not read"}), PlistFormat::Binary));
  for (const std::string& outside : {std::string("../../secret.plist"), secret, std::string("..")}) {
    const std::string package = copy();
    PlistArray data = plistAt(package + "/Columns.plist").array();
    // The long text list's entry names its file.
    auto entry = std::find_if(data.begin(), data.end(), [](const PropertyList& item) { return item.find("File") && item.stringForKey("File") == "Column 1.plist"; });
    ASSERT_NE(entry, data.end());
    *entry = PlistDictionary{{"File", outside}};
    writeBytes(package + "/Columns.plist", serializePropertyList(PropertyList(data), PlistFormat::Binary));

    OrrelinDocument::ReadError error;
    auto document = open(package, error);
    ASSERT_TRUE(document);
    for (const auto& column : document->table().columns())
      for (const auto& text : column->stringList()) ASSERT_NE(text, "do not read") << outside;
    fs::remove_all(package);
  }
}

TEST_F(CorruptPackage, LinksLeadingOutOfThePackageAreNotFollowed) {
  const std::string secret = here.path("secret.plist");
  writeBytes(secret, serializePropertyList(PropertyList(PlistArray{"do not read"}), PlistFormat::Binary));
  const std::string package = copy();
  fs::remove(package + "/Ascii/Column 1.plist");
  fs::create_symlink(secret, package + "/Ascii/Column 1.plist");
  OrrelinDocument::ReadError error;
  auto document = open(package, error);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->table().columnAtIndex(11)->howManyEntries(), 0);
  EXPECT_TRUE(messages.saw("Could not read the column data file \"Column 1.plist\""));
}

TEST_F(CorruptPackage, HugeCountsInADataFileHeader) {
  const std::string package = copy();
  std::string bytes("Mirovane Binary File LE", 23);
  bytes.push_back('\0');
  const auto little = [&bytes](std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(char((value >> (8 * i)) & 0xff));
  };
  // Lengths that claim far more than the file holds, with dimensions whose
  // product overflows 32 and 64 bits.
  for (std::uint64_t declared : {std::uint64_t(36 + 8), std::uint64_t(1) << 62}) {
    little(declared, 8);
    little(1, 4);
    little(0x7fffffff, 4);
    little(0x7fffffff, 4);
    little(0x7fffffff, 4);
    little(8, 4);
    bytes.append("Numbers", 8);
  }
  writeBytes(package + "/Binary/Column 1.mvbin", bytes);
  OrrelinDocument::ReadError error;
  auto document = open(package, error);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->table().numberOfColumns(), 13);
}

}  // namespace
