// How changes travel between a document's table and its parameters: what a
// typed-in column with formula cells does on list and value changes, how
// often its readers hear of it, and the wiring of the two halves.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "TableTestSupport.h"
#include "table/DocumentData.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

double kNaN() { return std::nan(""); }

// Reads a column as a command would: counts every notice that reaches it.
class Reader final : public VKDependencyBase {
 public:
  using VKDependencyBase::entryChanged;
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override {
    if (alreadySentFor.contains(this)) return;
    ++notices;
    VKDependencyBase::entryChanged(sender, alreadySentFor);
  }
  int notices = 0;
};

class ChangePropagation : public ::testing::Test {
 public:
  void SetUp() override {
    document->setParameter("k", 3);
    cells = VKDataColumnSpecified::createEmptyFor();
    cells->setName("v");
    table->insertColumn(cells, 1);
    cells->setStringList({"2*k", "7", "k+1"});
    reader->connectAsSupplier(cells);
  }
  void TearDown() override { reader->setDocument(nullptr); }

  // A number parameter that has its value before it joins the list, so that
  // joining is the only change.
  std::shared_ptr<VKParameterValue> addReadyParameter(const std::string& name, const std::string& value) {
    auto parameter = std::make_shared<VKParameterValue>();
    parameter->setName(name);
    parameter->setValue(value);
    definitions.addDefinition(parameter);
    return parameter;
  }

  std::shared_ptr<VKDataColumnBinary> addNumbers(const std::string& name) {
    auto column = VKDataColumnBinary::createEmptyFor();
    column->setName(name);
    column->setNumbers({1, 2}, {1, 1});
    table->insertColumn(column, table->numberOfColumns());
    return column;
  }

  std::shared_ptr<TestDocument> document = TestDocument::create();
  std::shared_ptr<DataDocumentTable> table = document->table;
  VKDefinedObjectsController& definitions = document->definitions();
  std::shared_ptr<VKDataColumnSpecified> cells;
  std::shared_ptr<Reader> reader = std::make_shared<Reader>();
};

TEST_F(ChangePropagation, UnrelatedListChangesLeaveFormulaCellsAlone) {
  const std::vector<std::pair<const char*, std::function<void(ChangePropagation&)>>> changes{
      {"a column added", [](ChangePropagation& t) { t.addNumbers("x"); }},
      {"another column renamed",
       [](ChangePropagation& t) { t.table->columnAtIndex(t.table->numberOfColumns() - 1)->setName("y"); }},
      {"columns moved", [](ChangePropagation& t) { t.table->moveColumnFrom(1, t.table->numberOfColumns() - 1); }},
      {"an unused parameter added", [](ChangePropagation& t) { t.document->setParameter("unused", 1); }},
      {"an unused parameter renamed",
       [](ChangePropagation& t) { t.definitions.parameterWithName("unused")->setName("still unused"); }},
      {"an unused parameter removed", [](ChangePropagation& t) { t.document->removeParameter("still unused"); }},
      {"the column itself renamed", [](ChangePropagation& t) { t.cells->setName("w"); }},
      {"a parameter named like the column", [](ChangePropagation& t) { t.document->setParameter("w", 1); }},
  };
  const auto serial = cells->serialNumber();
  for (const auto& [what, change] : changes) {
    change(*this);
    EXPECT_EQ(cells->serialNumber(), serial) << what;
    EXPECT_EQ(reader->notices, 0) << what;
  }
  EXPECT_TRUE(sameValues(validValues(*cells), {6, 7, 4}));
}

TEST_F(ChangePropagation, FormulaCellsFollowWhatTheirNamesResolveTo) {
  auto serial = cells->serialNumber();
  // Renamed away: the name no longer resolves and the cells lose their values.
  definitions.parameterWithName("k")->setName("old k");
  EXPECT_TRUE(sameValues(validValues(*cells), {kNaN(), 7, kNaN()}));
  EXPECT_GT(cells->serialNumber(), serial);
  EXPECT_EQ(reader->notices, 1);
  // A new parameter takes the name.
  serial = cells->serialNumber();
  addReadyParameter("k", "10");
  EXPECT_TRUE(sameValues(validValues(*cells), {20, 7, 11}));
  EXPECT_GT(cells->serialNumber(), serial);
  EXPECT_EQ(reader->notices, 2);
  // A column that takes the name makes the parameter invalid, so the name
  // resolves to nothing for the cells too.
  auto clash = addNumbers("k");
  EXPECT_FALSE(definitions.parameterWithName("k"));
  EXPECT_TRUE(sameValues(validValues(*cells), {kNaN(), 7, kNaN()}));
  EXPECT_EQ(reader->notices, 3);
  clash->setName("x");
  EXPECT_TRUE(sameValues(validValues(*cells), {20, 7, 11}));
  EXPECT_EQ(reader->notices, 4);
}

TEST_F(ChangePropagation, AnotherParameterWithTheSameValueLooksAgainButKeepsTheSerialNumber) {
  const auto serial = cells->serialNumber();
  document->removeParameter("k");
  const int noticesWhileGone = reader->notices;
  addReadyParameter("k", "3");
  EXPECT_TRUE(sameValues(validValues(*cells), {6, 7, 4}));
  EXPECT_EQ(noticesWhileGone, 1);
  EXPECT_EQ(reader->notices, 2);
  EXPECT_NE(cells->serialNumber(), serial);

  // Two parameters swap names in one pass: the name resolves to another
  // parameter with the same value, so nothing the readers see changes.
  auto other = definitions.addParameterValue("k2");
  other->setValue("3");
  const auto before = cells->serialNumber();
  const int notices = reader->notices;
  auto k = definitions.parameterWithName("k");
  k->VKDefinedObject::setName("k2 old");
  other->setName("k");
  EXPECT_EQ(definitions.parameterWithName("k"), other);
  EXPECT_TRUE(cells->hasSupplier(other.get()));
  EXPECT_FALSE(cells->hasSupplier(k.get()));
  EXPECT_EQ(cells->serialNumber(), before);
  EXPECT_EQ(reader->notices, notices);
}

TEST_F(ChangePropagation, AValueChangeReachesEachReaderOnce) {
  // A formula column reads the cells and the parameter: two ways for one
  // change to reach it.
  auto sum = VKDataColumnExpression::createEmptyFor();
  sum->setName("s");
  table->insertColumn(sum, table->numberOfColumns());
  sum->setExpressionString("v + k");
  auto sumReader = std::make_shared<Reader>();
  sumReader->connectAsSupplier(sum);
  EXPECT_TRUE(sameValues(validValues(*sum), {9, 10, 7}));

  const auto serial = cells->serialNumber();
  document->setParameter("k", 5);
  EXPECT_EQ(reader->notices, 1);
  EXPECT_EQ(sumReader->notices, 1);
  EXPECT_GT(cells->serialNumber(), serial);
  EXPECT_TRUE(sameValues(validValues(*sum), {15, 12, 11}));

  // The batch override: a value, then the names checked again.
  definitions.changeParameter("k", "1");
  EXPECT_EQ(reader->notices, 2);
  EXPECT_EQ(sumReader->notices, 2);
  EXPECT_TRUE(sameValues(validValues(*cells), {2, 7, 2}));
  sumReader->setDocument(nullptr);
}

TEST_F(ChangePropagation, AValueThatDoesNotChangeTheCellsKeepsTheirSerialNumber) {
  // Only the second cell is a plain number: a formula whose result does not
  // move leaves the column as it was.
  cells->setStringList({"k*0", "7"});
  const auto serial = cells->serialNumber();
  document->setParameter("k", 4);
  EXPECT_EQ(cells->serialNumber(), serial);
  EXPECT_TRUE(sameValues(validValues(*cells), {0, 7}));
}

TEST(DocumentData, KeepsParameterNamesAndColumnNamesApart) {
  auto data = DocumentData::create();
  auto& definitions = data->definitions();
  auto a = definitions.addParameterValue("a");
  ASSERT_EQ(definitions.parameterWithName("a"), a);
  auto column = VKDataColumnSpecified::createEmptyFor();
  column->setName("a");
  data->table()->insertColumn(column, 1);
  EXPECT_FALSE(definitions.parameterWithName("a"));
  EXPECT_EQ(a->reasonWhyNameInvalid(), "Name used for a column");
  EXPECT_EQ(data->columnNames(), (std::vector<std::string>{"#", "a"}));
  column->setName("b");
  EXPECT_EQ(definitions.parameterWithName("a"), a);
  // Look-ups of the columns go to the list.
  EXPECT_EQ(column->parameters()->parameterWithName("a"), a);
}

TEST(DocumentData, TheTableUndoActionsGoWhereTheDocumentSays) {
  auto data = DocumentData::create();
  std::vector<std::string> names;
  data->registerUndo("ignored", [] {});
  data->setUndoRegistration([&](const std::string& name, std::function<void()>) { names.push_back(name); });
  data->registerUndo("Column Names", [] {});
  EXPECT_EQ(names, (std::vector<std::string>{"Column Names"}));
}

TEST(DocumentData, ClosingDetachesEveryEntity) {
  auto data = DocumentData::create();
  data->definitions().addParameterValue("k")->setValue("2");
  auto cells = VKDataColumnSpecified::createEmptyFor();
  data->table()->insertColumn(cells, 1);
  cells->setStringList({"k"});
  ASSERT_TRUE(cells->hasSuppliers());
  auto table = data->table();
  data.reset();
  EXPECT_FALSE(cells->hasSuppliers());
  EXPECT_FALSE(cells->parameters());
  EXPECT_EQ(table->numberOfColumns(), 2);
}

}  // namespace
