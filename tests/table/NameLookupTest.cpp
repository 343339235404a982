#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "support/MessageCapture.h"
#include "table/StructuralColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

class NameLookup : public ::testing::Test {
 protected:
  ColumnPtr add(ColumnPtr column, const std::string& name = "") {
    if (!name.empty()) column->setName(name);
    table->insertColumn(column, table->numberOfColumns());
    return column;
  }
  ColumnPtr number(const std::string& name) { return add(VKDataColumnBinary::createEmptyFor(), name); }
  ColumnPtr open() { return add(VKDataColumnCollapserOpen::createEmptyFor()); }
  ColumnPtr close() { return add(VKDataColumnCollapserClose::createEmptyFor()); }
  ColumnPtr seenAs(const OrrelinColumn& from, const std::string& name, bool allowStrings = true) {
    auto map = table->columnsByNameVisibleFrom(from, allowStrings);
    auto found = map->find(name);
    return found == map->end() ? nullptr : found->second;
  }

  std::shared_ptr<TestDocument> document = TestDocument::create();
  std::shared_ptr<DataDocumentTable> table = document->table;
};

TEST_F(NameLookup, NearestScopeFirstAndGroupsHiddenFromOutside) {
  auto topX = number("x");
  open();
  auto groupX = number("x");
  auto asking = number("a");
  open();
  auto nested = number("h");
  close();
  close();
  auto topY = number("y");
  auto laterX = number("x");

  // Inside the group: its own x wins over the top level's, the group nested
  // in it is seen, and so are the top-level columns around it.
  EXPECT_EQ(seenAs(*asking, "x"), groupX);
  EXPECT_EQ(seenAs(*asking, "h"), nested);
  EXPECT_EQ(seenAs(*asking, "y"), topY);
  EXPECT_EQ(seenAs(*asking, "a"), nullptr) << "a column does not see itself";
  // From the top level: the first x in table order, and nothing inside a
  // group.
  EXPECT_EQ(seenAs(*topY, "x"), topX);
  EXPECT_EQ(seenAs(*topY, "a"), nullptr);
  EXPECT_EQ(seenAs(*topY, "h"), nullptr);
  EXPECT_EQ(seenAs(*laterX, "x"), topX);
  // From the nested group: its own level and each one around it.
  EXPECT_EQ(seenAs(*nested, "a"), asking);
  EXPECT_EQ(seenAs(*nested, "x"), groupX);
  // The row-number column is there for everyone.
  EXPECT_EQ(seenAs(*nested, "#"), table->columnAtIndex(0));
  // From outside every group, top-level columns come first.
  auto everything = table->columnsByNameAllowStrings(true);
  EXPECT_EQ(everything->at("x"), topX);
  EXPECT_EQ(everything->at("h"), nested);
}

TEST_F(NameLookup, FormulasFollowTheGroups) {
  number("x")->setNumbers({1}, {1});
  open();
  number("x")->setNumbers({100}, {1});
  auto inside = std::static_pointer_cast<VKDataColumnExpression>(add(VKDataColumnExpression::createEmptyFor(), "in"));
  close();
  auto outside = std::static_pointer_cast<VKDataColumnExpression>(add(VKDataColumnExpression::createEmptyFor(), "out"));
  inside->setExpressionString("x+1");
  outside->setExpressionString("x+in");
  EXPECT_EQ(validValues(*inside), std::vector<double>{101});
  EXPECT_EQ(outside->errorMessage(), "Undefined constant or column: in");
}

TEST_F(NameLookup, TextColumnsOnlyWhenAllowed) {
  auto text = add(VKDataColumnString::createEmptyFor(), "t");
  auto asking = number("a");
  EXPECT_EQ(seenAs(*asking, "t", true), text);
  EXPECT_EQ(seenAs(*asking, "t", false), nullptr);
  // A text column read as numbers counts as a number column.
  std::static_pointer_cast<VKDataColumnString>(text)->setValueType(VKDataColumnString::kNumberFromText);
  EXPECT_EQ(seenAs(*asking, "t", false), text);
}

TEST_F(NameLookup, ACloseWithoutAnOpenIsReportedAndPassedOver) {
  MessageCapture capture;
  number("x");
  close();
  auto asking = number("a");
  EXPECT_TRUE(seenAs(*asking, "x"));
  const auto messages = capture.take();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].shortText, "Column structure is corrupt");
  EXPECT_EQ(messages[0].longText,
            "Column nesting is invalid.  Found a group close without a corresponding group open above it.");
}

TEST_F(NameLookup, LookupsAreKeptUntilColumnsChange) {
  auto x = number("x");
  auto asking = number("a");
  auto first = table->columnsByNameVisibleFrom(*asking, true);
  EXPECT_EQ(table->columnsByNameVisibleFrom(*asking, true), first);
  x->setName("renamed");
  auto after = table->columnsByNameVisibleFrom(*asking, true);
  EXPECT_NE(after, first);
  EXPECT_TRUE(after->count("renamed"));
  EXPECT_FALSE(after->count("x"));
  // A column outside the table sees nothing.
  auto stray = VKDataColumnBinary::createEmptyFor();
  EXPECT_TRUE(table->columnsByNameVisibleFrom(*stray, true)->empty());
}

TEST(MakeSafeForExpression, QuotesWhatDoesNotReadAsOneName) {
  const std::pair<const char*, const char*> cases[] = {
      {"x", "x"},         {"x2", "x2"},           {"x.max", "x.max"}, {"pi", "pi"},
      {"a b", "\"a b\""}, {"2x", "\"2x\""},       {"a+b", "\"a+b\""}, {"sin", "\"sin\""},
      {"", "\"\""},       {"f(1)", "\"f(1)\""},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(DataDocumentTable::makeSafeForExpression(name), safe) << name;
}

TEST_F(NameLookup, AQuotedNameWorksInAFormula) {
  number("a b")->setNumbers({2, 3}, {1, 1});
  auto e = std::static_pointer_cast<VKDataColumnExpression>(add(VKDataColumnExpression::createEmptyFor(), "e"));
  e->setExpressionString(DataDocumentTable::makeSafeForExpression("a b") + "*2");
  EXPECT_EQ(validValues(*e), (std::vector<double>{4, 6}));
}

}  // namespace
