#include <gtest/gtest.h>

#include <filesystem>

#include "DocumentTestSupport.h"
#include "document/BinaryConverterSource.h"
#include "document/PackageFiles.h"
#include "drawing/KRDrawingGroup.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::testing_support;
namespace fs = std::filesystem;

namespace {

class PackageWriting : public ::testing::Test {
 protected:
  std::shared_ptr<OrrelinDocument> document = OrrelinDocument::create();
  TemporaryFolder folder;
  MessageCapture messages;
  std::string package = folder.path("saved.orrel");

  PlistDictionary content() { return plistAt(package + "/Content.plist").dictionary(); }
  PlistArray columnData() { return plistAt(package + "/Columns.plist").array(); }
};

TEST_F(PackageWriting, WritesEachFileInItsForm) {
  fillEveryKind(*document);
  ASSERT_TRUE(document->saveToURL(package));
  EXPECT_EQ(document->fileName(), package);

  EXPECT_EQ(fileBytes(package + "/Contents/PkgInfo"), "ORDcOrLn");
  EXPECT_EQ(fileBytes(package + "/Content.plist").substr(0, 8), "bplist00");
  const std::string columns = fileBytes(package + "/Columns.plist");
  EXPECT_EQ(columns.substr(0, 8), "bplist00");
  const std::string checksums = fileBytes(package + "/Checksums.plist");
  EXPECT_EQ(checksums.substr(0, 5), "<?xml");
  EXPECT_EQ(plistAt(package + "/Checksums.plist"), PropertyList(PlistDictionary{{"Columns.plist", sha256Hex(columns)}}));

  const PlistDictionary stored = content();
  const PlistArray& descriptions = stored.at("Columns").array();
  ASSERT_EQ(descriptions.size(), 11u);
  EXPECT_EQ(descriptions[0].stringForKey("Type"), "Line Number");
  EXPECT_EQ(descriptions[0].stringForKey("Name"), "#");
  // Typed-in, binary, text and date columns take data entries.
  EXPECT_EQ(columnData().size(), 5u);
  EXPECT_EQ(stored.at("Drawing Size"), PropertyList("{400, 300}"));
  EXPECT_EQ(stored.at("Window Size"), PropertyList("{640.5, 480}"));
  EXPECT_TRUE(stored.at("Orrelin version").isInteger());
  EXPECT_EQ(stored.at("QuickTime Settings").integerForKey("Frames Per Second"), 24);
  EXPECT_EQ(stored.at("Parameters").arrayForKey("List")->size(), 3u);
  EXPECT_FALSE(stored.count("Large Command Area"));
  EXPECT_FALSE(stored.count("Cached Merge Lists"));

  // The binary column's numbers went to a file of the "Binary" folder,
  // which carries the reader's source.
  EXPECT_EQ(columnData()[1], PropertyList(PlistDictionary{{"File", "Column 1.mvbin"}}));
  EXPECT_TRUE(fs::is_regular_file(package + "/Binary/Column 1.mvbin"));
  EXPECT_EQ(fileBytes(package + "/Binary/converter.c"), std::string(binaryConverterSource()));
  // Nothing is left beside the package.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.root()), fs::directory_iterator()), 1);
}

TEST_F(PackageWriting, OneGraphIsStoredInThreePartsSeveralAsDrawingViews) {
  const PlistArray first{PlistDictionary{{"Type", "Style Settings"}}, PlistDictionary{{"Type", "Canvas Settings"}},
                         PlistDictionary{{"Type", "Plot"}}};
  const PlistArray second{PlistDictionary{{"Type", "Style Settings"}}, PlistDictionary{{"Type", "Canvas Settings"}}};

  document->setStoredGraphs({first}, 0);
  ASSERT_TRUE(document->saveToURL(package));
  PlistDictionary stored = content();
  const PlistArray graph = document->storedGraphs().at(0);
  ASSERT_GE(graph.size(), 3u);
  EXPECT_EQ(stored.at("Style"), graph[0]);
  EXPECT_EQ(stored.at("Canvas"), graph[1]);
  EXPECT_EQ(stored.at("Commands"), PropertyList(PlistArray(graph.begin() + 2, graph.end())));
  EXPECT_EQ(stored.at("Style").stringForKey("Type"), "Style Settings");
  EXPECT_EQ(stored.at("Canvas").stringForKey("Type"), "Canvas Settings");
  EXPECT_FALSE(stored.count("Drawing Views"));
  EXPECT_FALSE(stored.count("Current Graph"));

  document->setStoredGraphs({first, second}, 1);
  ASSERT_TRUE(document->saveToURL(package));
  stored = content();
  const auto graphs = document->storedGraphs();
  EXPECT_EQ(stored.at("Drawing Views"), PropertyList(PlistArray{graphs.at(0), graphs.at(1)}));
  EXPECT_EQ(stored.at("Current Graph"), PropertyList(1));
  for (const char* key : {"Style", "Canvas", "Commands"}) EXPECT_FALSE(stored.count(key)) << key;
}

// Text lists longer than 100000 entries go to the "Ascii" folder, numbered
// from 1 within the save; dates from 1000 entries on keep a binary file of
// their values beside the texts.
struct ListCase {
  bool date;
  long entries;
  bool toFile;
};

class ListsInFiles : public PackageWriting, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListsInFiles, GoToAFileOnlyAboveTheLimit) {
  const ListCase c = GetParam();
  std::vector<std::string> texts;
  for (long i = 0; i < c.entries; ++i)
    texts.push_back(c.date ? "2001-01-" + std::to_string(1 + i % 28) : std::to_string(i));
  if (c.date)
    addColumn(*document, VKDataColumnDate::createEmptyFor(), "d")->setStringList(texts);
  else
    addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "v")->setStringList(texts);
  ASSERT_TRUE(document->saveToURL(package));

  const PropertyList entry = columnData().at(0);
  const PropertyList description = content().at("Columns").array().at(1);
  if (c.date) {
    EXPECT_EQ(description.stringForKey("File Name").has_value(), c.toFile);
    EXPECT_EQ(fs::exists(package + "/Binary/Column 1.mvbin"), c.toFile);
    EXPECT_EQ(fs::exists(package + "/Binary/converter.c"), c.toFile);
  } else if (c.toFile) {
    EXPECT_EQ(entry, PropertyList(PlistDictionary{{"File", "Column 1.plist"}}));
    EXPECT_EQ(plistAt(package + "/Ascii/Column 1.plist").array().size(), std::size_t(c.entries));
  } else {
    ASSERT_TRUE(entry.isArray());
    EXPECT_EQ(entry.array().size(), std::size_t(c.entries));
    EXPECT_FALSE(fs::exists(package + "/Ascii"));
  }

  // Read back, the entries are all there.
  auto read = OrrelinDocument::create();
  ASSERT_TRUE(read->redirectReadFromURL(package, "Orrelin Document"));
  EXPECT_EQ(read->table().columnAtIndex(1)->howManyEntries(), c.entries);
}

INSTANTIATE_TEST_SUITE_P(Limits, ListsInFiles,
                         ::testing::Values(ListCase{false, 100000, false}, ListCase{false, 100001, true},
                                           ListCase{true, 999, false}, ListCase{true, 1000, true}),
                         [](const auto& info) {
                           return std::string(info.param.date ? "Dates" : "Texts") +
                                  std::to_string(info.param.entries);
                         });

TEST_F(PackageWriting, AnUnchangedSaveLinksItsFilesAndAChangeRewritesThem) {
  fillEveryKind(*document);
  addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "long")->setStringList(numberTexts(100001));
  ASSERT_TRUE(document->saveToURL(package));
  const auto columnsBefore = inodeOf(package + "/Columns.plist");
  const auto binaryBefore = inodeOf(package + "/Binary/Column 1.mvbin");
  const auto asciiBefore = inodeOf(package + "/Ascii/Column 1.plist");
  const std::string checksumsBefore = fileBytes(package + "/Checksums.plist");
  const auto contentBefore = inodeOf(package + "/Content.plist");

  ASSERT_TRUE(document->saveToURL(package));
  // Nothing changed, so nothing is written: every file is the earlier one.
  EXPECT_EQ(inodeOf(package + "/Content.plist"), contentBefore);
  EXPECT_EQ(inodeOf(package + "/Columns.plist"), columnsBefore);
  EXPECT_EQ(inodeOf(package + "/Binary/Column 1.mvbin"), binaryBefore);
  EXPECT_EQ(inodeOf(package + "/Ascii/Column 1.plist"), asciiBefore);
  EXPECT_EQ(fileBytes(package + "/Checksums.plist"), checksumsBefore);

  // One typed-in value changes: the column data and its digest are new;
  // the binary file and the long list are still the same files.
  document->table().columnAtIndex(1)->setString("42", 0);
  ASSERT_TRUE(document->saveToURL(package));
  EXPECT_NE(inodeOf(package + "/Columns.plist"), columnsBefore);
  EXPECT_NE(fileBytes(package + "/Checksums.plist"), checksumsBefore);
  EXPECT_EQ(plistAt(package + "/Checksums.plist").stringForKey("Columns.plist"),
            sha256Hex(fileBytes(package + "/Columns.plist")));
  EXPECT_EQ(inodeOf(package + "/Binary/Column 1.mvbin"), binaryBefore);
  EXPECT_EQ(inodeOf(package + "/Ascii/Column 1.plist"), asciiBefore);

  // A changed binary column is written anew.
  document->table().columnAtIndex(2)->setString("1", 0);
  ASSERT_TRUE(document->saveToURL(package));
  EXPECT_NE(inodeOf(package + "/Binary/Column 1.mvbin"), binaryBefore);
}

TEST_F(PackageWriting, ChecksumsThatLieAreNotTrusted) {
  addColumn(*document, VKDataColumnSpecified::createEmptyFor(), "v")->setStringList({"1", "2"});
  ASSERT_TRUE(document->saveToURL(package));
  const std::string columns = fileBytes(package + "/Columns.plist");
  // Another program rewrote the column data and left the digest alone.
  ASSERT_TRUE(writeFile(package + "/Columns.plist", std::span<const std::uint8_t>(), WriteMode::InPlace));
  ASSERT_TRUE(document->saveToURL(package));
  EXPECT_EQ(fileBytes(package + "/Columns.plist"), columns);
}

TEST_F(PackageWriting, ACopyLeavesTheDocumentWithItsFile) {
  fillEveryKind(*document);
  ASSERT_TRUE(document->saveToURL(package));
  const std::string copy = folder.path("copy.orrel");
  ASSERT_TRUE(document->writeToURL(copy));
  EXPECT_EQ(document->fileName(), package);
  EXPECT_EQ(fileBytes(copy + "/Content.plist"), fileBytes(package + "/Content.plist"));
  // The copy shares the unchanged data file with the package it came from.
  EXPECT_EQ(inodeOf(copy + "/Binary/Column 1.mvbin"), inodeOf(package + "/Binary/Column 1.mvbin"));
}

TEST_F(PackageWriting, VersionControlFoldersTravelWithThePackage) {
  fillEveryKind(*document);
  ASSERT_TRUE(document->saveToURL(package));
  fs::create_directories(package + "/.svn/props");
  ASSERT_TRUE(writeFile(package + "/.svn/entries", std::span<const std::uint8_t>(), WriteMode::InPlace));
  fs::create_directories(package + "/Binary/.svn");
  ASSERT_TRUE(writeFile(package + "/Binary/.svn/entries", std::span<const std::uint8_t>(), WriteMode::InPlace));

  ASSERT_TRUE(document->saveToURL(package));
  EXPECT_TRUE(fs::exists(package + "/.svn/entries"));
  EXPECT_TRUE(fs::is_directory(package + "/.svn/props"));
  EXPECT_TRUE(fs::exists(package + "/Binary/.svn/entries"));
}

TEST_F(PackageWriting, AFailedSaveSaysSoAndChangesNothing) {
  std::string error;
  // Not a local path.
  EXPECT_FALSE(document->saveToURL("http://example.com/a.orrel", &error));
  EXPECT_EQ(error, "Could not save");

  // A file in the way.
  const std::string file = folder.path("plain.orrel");
  const std::string text = "not a package";
  ASSERT_TRUE(writeFile(file, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                            text.size()),
                        WriteMode::InPlace));
  error.clear();
  EXPECT_FALSE(document->saveToURL(file, &error));
  EXPECT_EQ(error, "Could not save");
  EXPECT_EQ(fileBytes(file), text);

  // A folder that cannot be written into.
  fs::create_directories(folder.path("locked"));
  {
    RefusedWritesForTesting refused(folder.path("locked"));
    EXPECT_FALSE(document->saveToURL(folder.path("locked/a.orrel"), &error));
  }
  EXPECT_FALSE(fs::exists(folder.path("locked/a.orrel")));
  EXPECT_TRUE(fs::is_empty(folder.path("locked")));
  EXPECT_EQ(document->fileName(), "");
}

// A command that asks for fixed ranges, so the graph has something to draw.
class RangeCommand : public VKDrawingCommand {
 public:
  std::string type() const override { return "Plot"; }
  KRBoundingRange domainRangeXLinear(bool, bool) override { return KRBoundingRange::between(0, 1); }
  KRBoundingRange valueRangeXLinear(bool, bool) override { return KRBoundingRange::between(0, 1); }
  std::shared_ptr<KRDrawingGroup> computeDrawingObjectForScale(const KR1DPlotDrawingInfo&,
                                                               KRDrawingInformation&) override {
    return KRDrawingGroup::create();
  }
};

std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  const auto at = [&bytes](std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
  };
  return {at(16), at(20)};
}

struct PreviewCase {
  KRSize drawing;
  std::uint32_t width, height;
};

class Preview : public PackageWriting, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(Preview, FitsIntoEightHundredBySixHundred) {
  const PreviewCase c = GetParam();
  auto command = std::make_shared<RangeCommand>();
  command->finishConnections();
  document->drawings().at(0)->addCommand(command);
  document->setDrawingSize(c.drawing);
  ASSERT_TRUE(document->saveToURL(package));
  const std::string preview = fileBytes(package + "/QuickLook/Preview.png");
  if (c.width == 0) {
    EXPECT_FALSE(fs::exists(package + "/QuickLook"));
    return;
  }
  EXPECT_EQ(pngSize(preview), std::make_pair(c.width, c.height));
  EXPECT_EQ(fileBytes(package + "/QuickLook/Thumbnail.png"), preview);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Preview,
                         ::testing::Values(PreviewCase{{2000, 1000}, 800, 400}, PreviewCase{{400, 300}, 400, 300},
                                           PreviewCase{{800, 600}, 800, 600}, PreviewCase{{900, 100}, 800, 89},
                                           PreviewCase{{400, 0}, 0, 0}),
                         [](const auto& info) {
                           return "Graph" + std::to_string(int(info.param.drawing.width)) + "By" +
                                  std::to_string(int(info.param.drawing.height));
                         });

TEST(PackageFiles, SizesAsTextReadBack) {
  EXPECT_EQ(textualSize({400, 300}), "{400, 300}");
  EXPECT_EQ(textualSize({0.1, -2.5}), "{0.1, -2.5}");
  for (KRSize size : {KRSize{400, 300}, KRSize{0.1, 1e-7}, KRSize{1234.5678, 0}})
    EXPECT_EQ(sizeFromText(textualSize(size)), size);
  EXPECT_EQ(sizeFromText(" { 12 ,7.5 } "), (KRSize{12, 7.5}));
  for (const char* bad : {"", "{}", "{1}", "{1, x}", "1, 2", "{1, 2", "{nan, 1}", "{1, inf}"})
    EXPECT_FALSE(sizeFromText(bad)) << bad;
}

TEST(PackageFiles, DigestIsLowerCaseSha256) {
  EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

}  // namespace
