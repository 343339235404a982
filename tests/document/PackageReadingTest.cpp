#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "DocumentTestSupport.h"
#include "document/GraphEnvelope.h"
#include "document/ORDocumentController.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::testing_support;
namespace fs = std::filesystem;

namespace {

void writePlist(const std::string& path, const PropertyList& value, PlistFormat format = PlistFormat::Binary) {
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_TRUE(writePropertyListFile(value, path, format, WriteMode::InPlace));
}

std::vector<std::string> columnTypes(OrrelinDocument& document) {
  std::vector<std::string> types;
  for (const auto& column : document.table().columns()) types.push_back(column->type());
  return types;
}

std::set<std::string> typesOf(const PlistArray& graph) {
  std::set<std::string> types;
  for (const auto& command : graph) types.insert(command.stringForKey("Type").value_or("(none)"));
  return types;
}

class PackageReading : public ::testing::Test {
 protected:
  TemporaryFolder folder;
  MessageCapture messages;
};

// Saved, opened and saved again, a document gives the same property lists
// byte for byte, and its data files are the same files.
TEST_F(PackageReading, RoundTripKeepsEveryByte) {
  auto original = OrrelinDocument::create();
  fillEveryKind(*original);
  const std::string first = folder.path("first.orrel");
  ASSERT_TRUE(original->saveToURL(first));

  ORDocumentController controller;
  OrrelinDocument::ReadError error;
  auto read = controller.openDocument(first, &error);
  ASSERT_TRUE(read) << error.description << " " << error.reason;
  EXPECT_EQ(read->fileName(), first);
  EXPECT_EQ(columnTypes(*read), columnTypes(*original));
  for (long k = 1; k < original->table().numberOfColumns(); ++k)
    EXPECT_EQ(read->table().columnAtIndex(k)->stringList(), original->table().columnAtIndex(k)->stringList()) << k;
  EXPECT_EQ(read->table().columnAtIndex(5)->valueAtRow(2), 3 * 2.5 * 2.5 + 1) << "the formula sees k";
  EXPECT_EQ(read->definitions().valueForParameter("k"), 2.5);
  EXPECT_EQ(read->storedGraphs(), original->storedGraphs());
  EXPECT_EQ(read->drawingSize(), (KRSize{400, 300}));
  EXPECT_EQ(read->windowSize(), (KRSize{640.5, 480}));
  EXPECT_EQ(read->quickTimeSettings(), original->quickTimeSettings());

  const std::string second = folder.path("second.orrel");
  ASSERT_TRUE(read->saveToURL(second));
  for (const char* file : {"Content.plist", "Columns.plist", "Checksums.plist", "Contents/PkgInfo"})
    EXPECT_EQ(fileBytes(second + "/" + file), fileBytes(first + "/" + file)) << file;
  EXPECT_EQ(inodeOf(second + "/Binary/Column 1.mvbin"), inodeOf(first + "/Binary/Column 1.mvbin"));
  EXPECT_EQ(inodeOf(second + "/Columns.plist"), inodeOf(first + "/Columns.plist"));
}

TEST_F(PackageReading, WithoutContentThePackageCannotBeRead) {
  auto document = OrrelinDocument::create();
  const std::string package = folder.path("empty.orrel");
  ASSERT_TRUE(document->saveToURL(package));
  fs::remove(package + "/Content.plist");

  auto read = OrrelinDocument::create();
  OrrelinDocument::ReadError error;
  EXPECT_FALSE(read->redirectReadFromURL(package, "Orrelin Document", &error));
  EXPECT_EQ(error.description, "Could not open the file \"" + package + "\"");
  EXPECT_EQ(error.reason, "The content description inside the script \"" + package + "\" could not be read");
  EXPECT_EQ(read->fileName(), "");

  EXPECT_FALSE(read->redirectReadFromURL("ftp://host/a.orrel", "Orrelin Document", &error));
  EXPECT_EQ(error.description, "Trying to open an invalid file,");
}

TEST_F(PackageReading, OlderLayoutOpensWithTypedInColumns) {
  const std::string package = folder.path("old.velar");
  writePlist(package + "/Layout.plist",
             PlistDictionary{{"Column Names", PlistArray{"row", "a", "b"}},
                             {"Animation Duration", "4"},
                             {"Parameters Open", true}});
  writePlist(package + "/Content.plist", PlistArray{PlistArray{"1", "2"}, PlistArray{"x", "3", "4"}});
  writePlist(package + "/Parameters.plist",
             PlistArray{PlistDictionary{{"Type", "Value"}, {"Name", "p"}, {"Value", "7"}}});
  writePlist(package + "/Commands.plist", PlistArray{PlistDictionary{{"Type", "Plot"}}});

  ORDocumentController controller;
  auto document = controller.openDocument(package);
  ASSERT_TRUE(document);
  EXPECT_EQ(columnTypes(*document), (std::vector<std::string>{"Row Number", "Ascii", "Ascii"}));
  EXPECT_EQ(document->table().columnAtIndex(0)->name(), "row");
  EXPECT_EQ(document->table().columnAtIndex(1)->stringList(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(document->table().columnAtIndex(2)->name(), "b");
  EXPECT_EQ(document->table().columnAtIndex(2)->stringList(), (std::vector<std::string>{"x", "3", "4"}));
  EXPECT_EQ(document->definitions().valueForParameter("p"), 7);
  EXPECT_EQ(document->definitions().animationDurationValue(), 4);
  EXPECT_TRUE(document->definitions().parametersOpen());
  ASSERT_EQ(document->storedGraphs().size(), 1u);
  EXPECT_EQ(typesOf(document->storedGraphs()[0]), (std::set<std::string>{"Style Settings", "Canvas Settings", "Plot", "Main Axis"}));
  // The batch tool does not take the older layout as a template.
  EXPECT_FALSE(OrrelinDocument::createCommandLineFrom(package));
}

TEST_F(PackageReading, UnknownColumnAndCommandKindsAreDroppedWithAWord) {
  auto original = OrrelinDocument::create();
  addColumn(*original, VKDataColumnSpecified::createEmptyFor(), "a")->setStringList({"1"});
  addColumn(*original, VKDataColumnSpecified::createEmptyFor(), "b")->setStringList({"2"});
  const std::string package = folder.path("mixed.orrel");
  ASSERT_TRUE(original->saveToURL(package));

  PlistDictionary content = plistAt(package + "/Content.plist").dictionary();
  PlistArray& columns = content["Columns"].array();
  columns.insert(columns.begin() + 1, PlistDictionary{{"Type", "Hologram"}, {"Name", "h"}});
  content["Commands"] = PlistArray{PlistDictionary{{"Type", "Teleport"}}, PlistDictionary{{"Type", "Plot"}},
                                   PlistDictionary{{"Name", "no type"}}};
  writePlist(package + "/Content.plist", content);

  auto read = OrrelinDocument::create();
  ASSERT_TRUE(read->redirectReadFromURL(package, "Orrelin Document"));
  ASSERT_EQ(read->table().numberOfColumns(), 3);
  EXPECT_EQ(read->table().columnAtIndex(1)->stringList(), std::vector<std::string>{"1"});
  EXPECT_EQ(read->table().columnAtIndex(2)->stringList(), std::vector<std::string>{"2"});
  EXPECT_EQ(typesOf(read->storedGraphs()[0]), (std::set<std::string>{"Style Settings", "Canvas Settings", "Plot", "Main Axis"}));
  EXPECT_TRUE(messages.saw("Column descriptions of an unknown kind were dropped: \"Hologram\""));
  EXPECT_TRUE(messages.saw("Graph commands of an unknown kind were dropped: \"Teleport\", \"\""));
}

TEST_F(PackageReading, ATicketOpensItsTemplateUntitledAndAppliesItself) {
  auto original = OrrelinDocument::create();
  original->definitions().addParameterValue("a")->setValue("1");
  addColumn(*original, VKDataColumnSpecified::createEmptyFor(), "u")->setStringList({"0"});
  addColumn(*original, VKDataColumnSpecified::createEmptyFor(), "v")->setStringList({"0"});
  const std::string package = folder.path("template.orrel");
  ASSERT_TRUE(original->saveToURL(package));
  const std::string data = folder.path("data.txt");
  const std::string text = "1\t10\n2\t20\n3\t30\n";
  ASSERT_TRUE(writeFile(data, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                            text.size()),
                        WriteMode::InPlace));
  const std::string ticket = folder.path("job.orrelticket");
  writePlist(ticket,
             PlistDictionary{{"Script", package},
                             {"Parameters", PlistDictionary{{"a", "2*3"}}},
                             {"File Names", PlistArray{folder.path("missing.txt"), data}},
                             {"Switches", PlistDictionary{}}},
             PlistFormat::XML);
  const std::string contentBefore = fileBytes(package + "/Content.plist");

  ORDocumentController controller;
  auto document = controller.openDocument(ticket);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->fileName(), "") << "the template is never saved over";
  EXPECT_EQ(document->definitions().valueForParameter("a"), 6);
  EXPECT_EQ(document->table().columnAtIndex(1)->stringList(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(document->table().columnAtIndex(2)->stringList(), (std::vector<std::string>{"10", "20", "30"}));
  EXPECT_EQ(document->columnsImportedByTicket(), (std::vector<long>{1, 2}));
  EXPECT_TRUE(messages.saw("Could not open the file " + folder.path("missing.txt")));
  EXPECT_TRUE(controller.recentDocuments().empty()) << "a ticket is not a recent document";
  EXPECT_EQ(fileBytes(package + "/Content.plist"), contentBefore);

  ASSERT_TRUE(controller.openDocument(package));
  EXPECT_EQ(controller.recentDocuments(), std::vector<std::string>{package});
}

// The example documents are built from code when the project is built.
TEST(ExampleDocuments, OpenWithTheirFormulasWorking) {
  MessageCapture messages;
  auto oscillation = OrrelinDocument::createCommandLineFrom(std::string(ORREL_EXAMPLES_DIR) + "/damped-oscillation.orrel");
  ASSERT_TRUE(oscillation);
  auto& table = oscillation->table();
  ASSERT_EQ(table.numberOfColumns(), 5);
  EXPECT_EQ(table.columnAtIndex(1)->name(), "time");
  EXPECT_EQ(table.columnAtIndex(2)->name(), "signal");
  EXPECT_EQ(table.columnAtIndex(1)->howManyEntries(), 101);
  EXPECT_NEAR(*oscillation->definitions().valueForParameter("omega"), 2, 1e-12);
  for (long row = 0; row < 101; ++row) {
    const double time = table.columnAtIndex(1)->valueAtRow(row);
    const double model = std::exp(-0.4 * time) * std::sin(2 * time);
    ASSERT_NEAR(table.columnAtIndex(3)->valueAtRow(row), model, 1e-12) << row;
    ASSERT_NEAR(table.columnAtIndex(4)->valueAtRow(row), table.columnAtIndex(2)->valueAtRow(row) - model, 1e-12);
  }
  oscillation->changeParameter("decay", "0");
  EXPECT_NEAR(table.columnAtIndex(3)->valueAtRow(10), std::sin(2 * table.columnAtIndex(1)->valueAtRow(10)), 1e-12);
  // The graph keeps its points and its line through the model.
  const auto& commands = oscillation->drawings().at(0)->commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[commands.size() - 2]->type(), "Scatter");
  EXPECT_EQ(commands.back()->type(), "Plot");

  auto every = OrrelinDocument::createCommandLineFrom(std::string(ORREL_EXAMPLES_DIR) + "/every-column-kind.orrel");
  ASSERT_TRUE(every);
  EXPECT_EQ(every->table().numberOfColumns(), 11);
  EXPECT_EQ(every->table().columnAtIndex(1)->valueAtRow(2), 6);
}

TEST_F(PackageReading, PlainTextIsImportedIntoAnUntitledDocument) {
  const std::string data = folder.path("numbers.txt");
  const std::string text = "a\tb\n1\t2\n3\t4\n";
  ASSERT_TRUE(writeFile(data, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                            text.size()),
                        WriteMode::InPlace));
  auto document = OrrelinDocument::create();
  ASSERT_TRUE(document->redirectReadFromURL(data, "Plain Text"));
  EXPECT_EQ(document->fileName(), "");
  ASSERT_EQ(document->table().numberOfColumns(), 3);
  EXPECT_EQ(document->table().columnAtIndex(2)->name(), "b");
  EXPECT_EQ(document->table().columnAtIndex(2)->valueAtRow(1), 4);
}

TEST(DocumentController, TypesByEnding) {
  TemporaryFolder folder;
  fs::create_directories(folder.path("store"));
  ASSERT_TRUE(writeFile(folder.path("store/DataObject.plist"), std::span<const std::uint8_t>(), WriteMode::InPlace));
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"a.orrel", "Orrelin Document"},        {"A.ORREL", "Orrelin Document"},
      {"old.velar", "Orrelin Document"},      {"b.orrel/", "Orrelin Document"},
      {"job.orrelticket", "Orrelin Ticket"},  {"x.dobject", "DataStore Document"},
      {folder.path("store"), "DataStore Document"}, {"data.txt", std::nullopt},
      {"orrel", std::nullopt}};
  for (const auto& [path, type] : cases) EXPECT_EQ(ORDocumentController::typeForContentsOfURL(path), type) << path;

  ORDocumentController controller;
  OrrelinDocument::ReadError error;
  EXPECT_FALSE(controller.openDocument(folder.path("data.txt"), &error));
  EXPECT_FALSE(error.reason.empty());
  EXPECT_TRUE(controller.recentDocuments().empty());
}

TEST(GraphEnvelope, MainAxisFirstIsConverted) {
  const PlistDictionary content{
      {"Commands", PlistArray{PlistDictionary{{"Type", "Main Axis"},
                                              {"Drawing Size", "5in x 3in"},
                                              {"Title", "T"},
                                              {"Title Font Style", "big"},
                                              {"Number Font Style", "small"},
                                              {"Axis Labels Font Color", "red"},
                                              {"X Label Height", 12}},
                              PlistDictionary{{"Type", "Plot"}}}}};
  const StoredGraphs stored = graphsFromContent(content);
  ASSERT_EQ(stored.graphs.size(), 1u);
  const PlistArray& graph = stored.graphs[0];
  ASSERT_EQ(graph.size(), 4u);
  EXPECT_EQ(graph[0], PropertyList(PlistDictionary{
                          {"Type", "Style Settings"}, {"Title Font Style", "big"}, {"Number Font Style", "small"}}));
  EXPECT_EQ(graph[1], PropertyList(PlistDictionary{{"Type", "Canvas Settings"},
                                                   {"Drawing Size", "5in x 3in"},
                                                   {"Title", "T"},
                                                   {"Title Font Style", "big"},
                                                   {"Title Font Color", "red"}}));
  EXPECT_EQ(graph[2].stringForKey("Type"), "Main Axis");
  EXPECT_EQ(graph[2].integerForKey("X Label Height"), 12);
  EXPECT_TRUE(stored.droppedTypes.empty());

  // With both settings present nothing is converted.
  PlistDictionary modern = content;
  modern["Style"] = PlistDictionary{{"Type", "Style Settings"}, {"Mine", 1}};
  modern["Canvas"] = PlistDictionary{{"Type", "Canvas Settings"}};
  EXPECT_EQ(graphsFromContent(modern).graphs[0][0], modern["Style"]);
}

TEST(GraphEnvelope, DrawingViewsChooseTheCurrentGraphWithinRange) {
  const PlistArray graph = emptyStoredGraph();
  for (const auto& [stored, expected] : std::vector<std::pair<PropertyList, std::size_t>>{
           {PropertyList(1), 1}, {PropertyList(7), 0}, {PropertyList(-1), 0}, {PropertyList("1"), 0}}) {
    const StoredGraphs read = graphsFromContent({{"Drawing Views", PlistArray{graph, graph}}, {"Current Graph", stored}});
    EXPECT_EQ(read.graphs.size(), 2u);
    EXPECT_EQ(read.current, expected);
  }
  // Damaged graphs are replaced by empty ones, so the others keep their
  // places; an empty "Drawing Views" falls back to the single graph.
  const StoredGraphs damaged = graphsFromContent({{"Drawing Views", PlistArray{"junk", PlistArray{}}}});
  EXPECT_EQ(damaged.graphs, (std::vector<PlistArray>{graph, graph}));
  EXPECT_EQ(graphsFromContent({{"Drawing Views", PlistArray{}}}).graphs, std::vector<PlistArray>{graph});
}

}  // namespace
