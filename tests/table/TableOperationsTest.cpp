#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "support/MessageCapture.h"
#include "table/VKDataColumnExpression.h"
#include "table/StructuralColumns.h"
#include "table/TableOwner.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

class TableOperations : public ::testing::Test {
 protected:
  ColumnPtr typed(const std::string& name, std::vector<std::string> texts = {}) {
    auto column = VKDataColumnSpecified::createEmptyFor();
    column->setName(name);
    column->setStringList(texts);
    return column;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const auto& column : table->columns()) result.push_back(column->name());
    return result;
  }

  std::shared_ptr<TestDocument> document = TestDocument::create();
  std::shared_ptr<DataDocumentTable> table = document->table;
};

TEST_F(TableOperations, InsertingKeepsTheRowNumberColumnFirstAndIdentitiesUnique) {
  EXPECT_TRUE(table->insertColumn(typed("a"), 0)) << "goes after the row-number column";
  EXPECT_TRUE(table->insertColumn(typed("c"), 99));
  EXPECT_TRUE(table->insertColumn(typed("b"), 2));
  EXPECT_TRUE(table->addDataColumnAfterSelection(typed("after a"), {1}));
  EXPECT_TRUE(table->addDataColumnAfterSelection(typed("last"), {}));
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "a", "after a", "b", "c", "last"}));
  EXPECT_FALSE(table->insertColumn(table->columnAtIndex(1), 3)) << "already in the table";
  EXPECT_FALSE(table->insertColumn(VKDataColumnNumber::createEmptyFor(), 1)) << "one row-number column";
  std::set<std::int64_t> identities;
  for (const auto& column : table->columns()) {
    identities.insert(column->columnSerialNumber());
    EXPECT_EQ(column->table(), table);
    EXPECT_EQ(column->document(), document);
    EXPECT_EQ(column->lastLocation, std::uint32_t(table->indexOfColumn(column.get())));
  }
  EXPECT_EQ(identities.size(), table->columns().size());
  EXPECT_FALSE(identities.count(0));
}

TEST_F(TableOperations, RemovingAndMoving) {
  for (const char* name : {"a", "b", "c", "d"}) table->insertColumn(typed(name, {"1"}), table->numberOfColumns());
  auto b = table->columnAtIndex(2);
  EXPECT_TRUE(table->removeColumns({0, 2, 4, 40}));
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "a", "c"}));
  EXPECT_FALSE(b->table());
  EXPECT_FALSE(b->document()) << "a removed column leaves the document";
  EXPECT_FALSE(table->removeColumnNumber(0));
  EXPECT_TRUE(table->moveColumnFrom(2, 1));
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "c", "a"}));
  EXPECT_FALSE(table->moveColumnFrom(0, 2));
  table->removeAllColumns();
  EXPECT_EQ(table->numberOfColumns(), 0);
  table->appendColumns({typed("x", {"1", "2"})});
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "x"})) << "a list without a row-number column gets one";
  EXPECT_EQ(table->numberOfRows(), 2);
}

// Counts the column list notices a table gives its holder.
struct CountingOwner final : TableOwner {
  void tableColumnsChanged(DataDocumentTable&) override { ++notices; }
  int notices = 0;
};

TEST_F(TableOperations, RenamingSeveralIsOneNotice) {
  auto a = typed("a");
  auto b = typed("b");
  table->insertColumn(a, 1);
  table->insertColumn(b, 2);
  auto owner = std::make_shared<CountingOwner>();
  table->setOwner(owner);
  table->setColumnNames({{a, "x"}, {b, "y"}});
  EXPECT_EQ(owner->notices, 1);
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "x", "y"}));
}

TEST_F(TableOperations, FirstRowBecomesTheTitles) {
  table->insertColumn(typed("", {"time", "1", "2"}), 1);
  table->insertColumn(typed("old", {"speed", "5"}), 2);
  table->insertColumn(VKDataColumnDivider::createEmptyFor(), 3);
  EXPECT_TRUE(table->moveFirstRowToTitles({1, 2, 3}));
  EXPECT_EQ(names(), (std::vector<std::string>{"#", "time", "speed", ""}));
  EXPECT_EQ(table->columnAtIndex(1)->stringList(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(table->numberOfRows(), 2);
}

TEST_F(TableOperations, RowsOfChosenColumns) {
  table->insertColumn(typed("a", {"1", "2", "3"}), 1);
  table->insertColumn(typed("b", {"4", "5", "6"}), 2);
  table->insertColumn(typed("c", {"7"}), 3);
  EXPECT_TRUE(table->addRowIndices({0}, {1, 2}, {{"0"}, {"9"}}));
  EXPECT_EQ(table->numberOfRows(), 4);
  EXPECT_EQ(table->rowNumberColumn()->howManyEntries(), 4);
  EXPECT_TRUE(table->reorderRows({3, 2, 1, 0}, {1, 2, 3}));
  EXPECT_EQ(table->columnAtIndex(1)->stringList(), (std::vector<std::string>{"3", "2", "1", "0"}));
  EXPECT_EQ(table->columnAtIndex(3)->stringList(), (std::vector<std::string>{"", "", "", "7"}))
      << "a short column takes the rows it has";
  EXPECT_TRUE(table->removeRowNumbers({0, 1, 2}, {1, 2, 3}));
  EXPECT_EQ(table->columnAtIndex(2)->stringList(), (std::vector<std::string>{"9"}));
  EXPECT_EQ(table->numberOfRows(), 1);
  EXPECT_FALSE(table->removeRowNumbers({0}, {0})) << "the row-number column is not edited";
}

TEST_F(TableOperations, ChangesReachTheDocument) {
  auto a = typed("a", {"1"});
  table->insertColumn(a, 1);
  document->changed.clear();
  a->modifyCell("2", 0);
  ASSERT_FALSE(document->changed.empty());
  EXPECT_EQ(document->changed.front(), a.get());
}

TEST(TableLifetime, RemovedColumnsLeaveTheGraph) {
  MessageCapture capture;
  {
    auto document = TestDocument::create();
    document->setParameter("a", 1);
    auto x = VKDataColumnSpecified::createEmptyFor();
    x->setName("x");
    x->setStringList({"a", "2"});
    document->table->insertColumn(x, 1);
    auto e = VKDataColumnExpression::createEmptyFor();
    document->table->insertColumn(e, 2);
    e->setExpressionString("x*a + x.max");
    EXPECT_EQ(e->howManyEntries(), 2);
    // A column taken out of the table leaves the graph too.
    document->table->removeColumnNumber(1);
    EXPECT_FALSE(x->hasClients());
  }
  EXPECT_TRUE(capture.takeShortTexts().empty());
}

}  // namespace
