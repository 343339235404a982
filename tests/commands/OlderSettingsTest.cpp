#include <gtest/gtest.h>

#include "commands/OlderSettings.h"
#include "commands/VKPlotCommand.h"
#include "commands/VKPointsCommand.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::TestCommandDocument;
using testing_support::TestGraph;

PropertyList name(const std::string& column) { return PropertyList(PlistDictionary{{"Name", PropertyList(column)}}); }

// A stored scatter command written the older way, read into a document
// whose columns "x" (1 to 6) and "group size" (the same numbers) it names.
struct OlderScatter {
  explicit OlderScatter(PlistDictionary stored) {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    document->addColumn("x", {"1", "2", "3", "4", "5", "6"});
    document->addColumn("group size", {"1", "2", "3", "4", "5", "6"});
    auto& factory = VKCommandFactory::shared();
    registerPointsCommandKind(factory);
    stored["Type"] = PropertyList("Scatter");
    stored["X"] = name("x");
    stored["Y"] = name("x");
    command = std::dynamic_pointer_cast<VKPointsCommand>(factory.createFromPropertyList(PropertyList(stored)));
    if (!command) return;
    graph->addCommand(command);
    command->establishDependencyConnections();
  }
  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<VKPointsCommand> command;
};

struct OlderMaskCase {
  const char* title;
  PlistDictionary keys;
  const char* formula;
  std::vector<long> rows;
};

void PrintTo(const OlderMaskCase& c, std::ostream* os) { *os << c.title; }

class OlderMask : public ::testing::TestWithParam<OlderMaskCase> {};

// The older mask becomes today's formula, keeps the same rows and is
// written back in today's form only.
TEST_P(OlderMask, BecomesAFormulaKeepingTheSameRows) {
  MessageCapture messages;
  OlderScatter s(GetParam().keys);
  ASSERT_TRUE(s.command);
  EXPECT_EQ(s.command->mask()->text(), GetParam().formula);
  EXPECT_EQ(s.command->rowsIncluded(), GetParam().rows);
  const PropertyList written = s.command->propertyList();
  for (const char* key : {"Mask Type", "Mask Value", "Mask Range", "Mask Match"}) EXPECT_FALSE(written.find(key)) << key;
  EXPECT_TRUE(messages.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    StoredForms, OlderMask,
    ::testing::Values(
        OlderMaskCase{"Value", {{"Mask", PropertyList("x")}, {"Mask Type", PropertyList(2)}, {"Mask Value", PropertyList("2+1")}},
                      "x==(2+1)", {2}},
        OlderMaskCase{"ValueAsNumber", {{"Mask", name("x")}, {"Mask Type", PropertyList(2)}, {"Mask Value", PropertyList(4.0)}},
                      "x==(4)", {3}},
        OlderMaskCase{"HalfOpenRange",
                      {{"Mask", PropertyList("x")}, {"Mask Type", PropertyList(3)}, {"Mask Range", PropertyList("2, 5")}},
                      "x>=(2)&&x<(5)", {1, 2, 3}},
        OlderMaskCase{"RangeOpenBelow",
                      {{"Mask", PropertyList("x")}, {"Mask Type", PropertyList(3)}, {"Mask Range", PropertyList(",max(2,3)")}},
                      "x<(max(2,3))", {0, 1}},
        OlderMaskCase{"NameWithASpace",
                      {{"Mask", PropertyList("group size")}, {"Mask Type", PropertyList(3)}, {"Mask Range", PropertyList("5,")}},
                      "\"group size\">=(5)", {4, 5}},
        OlderMaskCase{"TypeNone", {{"Mask", PropertyList("x")}, {"Mask Type", PropertyList(1)}, {"Mask Value", PropertyList("3")}},
                      "", {0, 1, 2, 3, 4, 5}}));

TEST(OlderMask, ATextPatternIsKeptAsStoredAndSaysSo) {
  MessageCapture messages;
  OlderScatter s({{"Mask", PropertyList("x")}, {"Mask Type", PropertyList(4)}, {"Mask Match", PropertyList("1*")}});
  ASSERT_TRUE(s.command);
  EXPECT_EQ(s.command->rowsIncluded().size(), 6u);
  const PropertyList written = s.command->propertyList();
  ASSERT_TRUE(written.find("Mask Match"));
  EXPECT_EQ(written.find("Mask Match")->string(), "1*");
  EXPECT_EQ(written.find("Mask Type")->integer(), 4);
  bool said = false;
  for (const auto& t : messages.texts()) said = said || t.find("could not be turned into a formula") != std::string::npos;
  EXPECT_TRUE(said);
}

TEST(OlderMask, ThePlotCommandReadsItToo) {
  auto document = TestCommandDocument::create();
  auto graph = std::make_shared<TestGraph>();
  document->addGraph(graph);
  document->addColumn("x", {"1", "2", "3", "4"});
  auto plot = std::make_shared<VKPlotCommand>();
  plot->finishConnections();
  graph->addCommand(plot);
  plot->fillFromPropertyList(PropertyList(PlistDictionary{{"X", name("x")},
                                                          {"Y", name("x")},
                                                          {"Mask", PropertyList("x")},
                                                          {"Mask Type", PropertyList(3)},
                                                          {"Mask Range", PropertyList("2,4")}}));
  plot->establishDependencyConnections();
  EXPECT_EQ(plot->mask()->text(), "x>=(2)&&x<(4)");
  plot->updateCacheXLinear(true, true);
  EXPECT_EQ(plot->cachedRows(), (std::vector<long>{1, 2}));
}

TEST(OlderColorUsage, MovesTheColourColumnToWhereItWasUsed) {
  const PlistDictionary colorColumn{{"Point Color Variable", name("x")}, {"Point Color Scheme", PropertyList("warm")}};
  struct Case {
    int usage;
    const char* lineScheme;
    const char* fillScheme;
  };
  for (const Case c : {Case{1, "warm", ""}, Case{2, "", "warm"}, Case{3, "warm", "warm"}}) {
    PlistDictionary stored = colorColumn;
    stored["Point Color Usage"] = PropertyList(c.usage);
    OlderScatter s(stored);
    ASSERT_TRUE(s.command);
    EXPECT_EQ(s.command->colorScheme()->schemeName(), c.lineScheme) << c.usage;
    EXPECT_EQ(s.command->fillScheme()->schemeName(), c.fillScheme) << c.usage;
    EXPECT_EQ(s.command->fillVariable()->hasSelection(), c.usage != 1) << c.usage;
    EXPECT_EQ(s.command->colorVariable()->hasSelection(), c.usage != 2) << c.usage;
    EXPECT_FALSE(s.command->propertyList().find("Point Color Usage"));
  }
  // A file that names a fill column of its own keeps it.
  PlistDictionary both = colorColumn;
  both["Point Color Usage"] = PropertyList(3);
  both["Fill Color Scheme"] = PropertyList("cool");
  OlderScatter s(both);
  ASSERT_TRUE(s.command);
  EXPECT_EQ(s.command->fillScheme()->schemeName(), "cool");
}

}  // namespace
}  // namespace orrelin
