#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TableTestSupport.h"
#include "expression/KRExpression.h"
#include "expression/KRExpressionRandomGenerator.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ExpressionColumn : public ::testing::Test {
 protected:
  std::shared_ptr<VKDataColumnBinary> addNumbers(const std::string& name, std::vector<double> values,
                                                 std::vector<std::uint8_t> mask = {}) {
    auto column = VKDataColumnBinary::createEmptyFor();
    column->setName(name);
    if (mask.empty()) mask.assign(values.size(), 1);
    column->setNumbers(values, mask);
    table->insertColumn(column, table->numberOfColumns());
    return column;
  }
  std::shared_ptr<VKDataColumnExpression> addFormula(const std::string& name, const std::string& formula) {
    auto column = VKDataColumnExpression::createEmptyFor();
    column->setName(name);
    table->insertColumn(column, table->numberOfColumns());
    column->setExpressionString(formula);
    return column;
  }
  std::vector<double> rampValues(int n) {
    std::vector<double> values;
    for (int k = 0; k < n; ++k) values.push_back(k + 1);
    return values;
  }

  std::shared_ptr<TestDocument> document = TestDocument::create();
  std::shared_ptr<DataDocumentTable> table = document->table;
};

TEST_F(ExpressionColumn, TheShortestColumnDecidesTheLengthAndEmptyRowsStayInvalid) {
  auto x = addNumbers("x", rampValues(10), {1, 1, 1, 0, 1, 1, 1, 1, 1, 1});
  auto twice = addFormula("e", "2*x");
  ASSERT_EQ(twice->howManyEntries(), 10) << twice->errorMessage() << twice->numberOfComputations();
  EXPECT_EQ(twice->errorMessage(), "");
  const auto values = validValues(*twice);
  for (int k = 0; k < 10; ++k) {
    if (k == 3)
      EXPECT_TRUE(std::isnan(values[k]));
    else
      EXPECT_EQ(values[k], 2 * (k + 1));
  }
  // Two columns: the shorter one decides, and both masks count.
  addNumbers("y", rampValues(7), {1, 1, 1, 1, 0, 1, 1});
  auto sum = addFormula("s", "x+y");
  EXPECT_EQ(sum->howManyEntries(), 7);
  EXPECT_EQ(maskOf(*sum), (std::vector<int>{1, 1, 1, 0, 0, 1, 1}));
}

TEST_F(ExpressionColumn, AMaskSharedWithAColumnStaysAsItWasWhenTheColumnChanges) {
  auto x = addNumbers("x", {1, 2, 3});
  auto e = addFormula("e", "x*3");
  const auto before = e->whichAreIncluded();
  x->setString("", 0);
  EXPECT_EQ(before->valueAtIndex(0), 1);
  EXPECT_EQ(maskOf(*x), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(maskOf(*e), (std::vector<int>{0, 1, 1}));
}

TEST_F(ExpressionColumn, AtLeastGivesTheLengthWhenNoColumnLimitsIt) {
  struct Case {
    std::optional<PropertyList> atLeast;
    long rows;
  };
  const Case cases[] = {
      {PropertyList(5), 5},          {PropertyList(-3), 0},        {std::nullopt, 0},
      {PropertyList(2.7), 2},        {PropertyList("2*3"), 6},     {PropertyList("nan"), 0},
      {PropertyList("Inf"), 0},      {PropertyList("no number"), 0},
      {PropertyList(20000000), VKDataColumnExpression::kLongestAtLeast},
  };
  for (const auto& c : cases) {
    auto column = addFormula("c", "7");
    if (c.atLeast) column->setSetting("At Least", *c.atLeast);
    ASSERT_EQ(column->howManyEntries(), c.rows);
    EXPECT_EQ(column->cachingInfo().find("Minimum Length")->integer(), c.rows);
    if (c.rows > 0) {
      EXPECT_EQ(column->valueAtRow(c.rows - 1), 7);
      EXPECT_EQ(maskOf(*column).back(), 1);
    }
    table->removeColumnNumber(table->indexOfColumn(column.get()));
  }
}

TEST_F(ExpressionColumn, TheRowNumberColumnNumbersRowsWithoutLimitingThem) {
  auto alone = addFormula("r", "#*2");
  alone->setSetting("At Least", 4);
  EXPECT_EQ(validValues(*alone), (std::vector<double>{2, 4, 6, 8}));
  addNumbers("x", {10, 20, 30});
  auto mixed = addFormula("m", "x+#");
  EXPECT_EQ(validValues(*mixed), (std::vector<double>{11, 22, 33}));
  // The table shows three rows; the formula above asked for four numbers
  // without changing that.
  EXPECT_EQ(table->recomputeNumberOfRows(), 4);
  EXPECT_EQ(table->rowNumberColumn()->howManyEntries(), 4);
}

TEST_F(ExpressionColumn, ComputesOnlyWhenSomethingItReadsChanged) {
  auto x = addNumbers("x", {1, 2, 3});
  auto other = addNumbers("other", {5, 6});
  document->setParameter("a", 2);
  document->setParameter("unused", 1);
  auto e = addFormula("e", "a*x + x.max");
  auto chained = addFormula("c", "e+1");
  EXPECT_EQ(validValues(*chained), (std::vector<double>{6, 8, 10}));
  EXPECT_EQ(e->numberOfComputations(), 1);
  EXPECT_EQ(chained->numberOfComputations(), 1);
  const auto serial = e->serialNumber();

  // Reading again, a change notice that leaves the serial numbers as they
  // were, changing what the formulas do not read, and naming things they do
  // not use leave them alone.
  validValues(*chained);
  x->thisControllerChanged();
  validValues(*chained);
  other->setData({9}, {0});
  other->setName("renamed");
  document->setParameter("unused", 3);
  document->setParameter("new parameter", 3);
  validValues(*chained);
  EXPECT_EQ(e->numberOfComputations(), 1);
  EXPECT_EQ(chained->numberOfComputations(), 1);
  EXPECT_EQ(e->serialNumber(), serial);

  // A changed column recomputes both, once each.
  x->setData({4}, {0});
  EXPECT_EQ(validValues(*chained), (std::vector<double>{13, 9, 11}));
  EXPECT_EQ(e->numberOfComputations(), 2);
  EXPECT_EQ(chained->numberOfComputations(), 2);
  EXPECT_GT(e->serialNumber(), serial);

  // So does a changed parameter.
  document->setParameter("a", 3);
  EXPECT_EQ(validValues(*e), (std::vector<double>{16, 10, 13}));
  EXPECT_EQ(e->numberOfComputations(), 3);

  // Forcing a computation recomputes whatever the key says.
  e->recomputeAll();
  validValues(*e);
  EXPECT_EQ(e->numberOfComputations(), 4);
  validValues(*chained);
  EXPECT_EQ(chained->numberOfComputations(), 3) << "same values, but a new serial number";
}

struct MessageCase {
  const char* formula;
  const char* message;
};

TEST_F(ExpressionColumn, MessagesForNamesThatCannotBeUsed) {
  const std::string endings =
      "\nValid endings are\n.min, .max, .length, .range, .average, .median,\n.sigma, s, .first, .last, .sum, .isum, "
      ".rmax, .rmin,\n.count, .totalcount, .sortedindex, .rank, .sortwith, .delta,\nunwrap2\u03c0, unwrap1, unwrap360";
  addNumbers("x", {1, 2, 3});
  auto text = VKDataColumnString::createEmptyFor();
  text->setName("t");
  text->setStringList({"a", "b"});
  table->insertColumn(text, 2);
  document->setParameter("a", 1);
  document->setTextParameter("label", "hello");
  const MessageCase cases[] = {
      {"q+1", "Undefined constant or column: q"},
      {"r+q*x", "Undefined constants or columns:\nq, r"},
      {"t*2", "t is a string"},
      {"label+1", "label is a string"},
      {"a(2)", "a needs to be a column"},
      {"a.max", "a needs to be a column"},
      {"f+1", "Circular"},
      {"(1,2)", "Expression should only have a single number, but this expression is a vector."},
      {"(x,1)", "Expression should only have a single number, but this expression is a vector."},
  };
  for (const auto& c : cases) {
    auto column = addFormula("f", c.formula);
    EXPECT_EQ(column->errorMessage(), c.message) << c.formula;
    EXPECT_EQ(column->howManyEntries(), 0) << c.formula;
    EXPECT_EQ(column->whyNoValues(), c.message) << c.formula;
    table->removeColumnNumber(table->indexOfColumn(column.get()));
  }
  for (const char* formula : {"x.maximum", "t.max"}) {
    auto column = addFormula("f", formula);
    EXPECT_EQ(column->errorMessage(), "Invalid property for column: " + std::string(formula) + endings);
    table->removeColumnNumber(table->indexOfColumn(column.get()));
  }
  // Syntax errors are the formula library's own messages.
  KRExpressionErrorHandler handler;
  EXPECT_FALSE(KRExpression::createFromString("x+*2", &handler));
  auto broken = addFormula("f", "x+*2");
  EXPECT_EQ(broken->errorMessage(), handler.errorString());
  // The message a text would give, without taking it.
  EXPECT_EQ(broken->errorMessageForString("zz"), "Undefined constant or column: zz");
  EXPECT_EQ(broken->expressionString(), "x+*2");
}

TEST_F(ExpressionColumn, ColumnsThatReadEachOtherAreCircular) {
  auto first = addFormula("p", "1");
  auto second = addFormula("q", "p+1");
  EXPECT_EQ(validValues(*second), std::vector<double>{});
  first->setExpressionString("q*2");
  EXPECT_EQ(first->errorMessage(), "Circular");
  EXPECT_EQ(second->errorMessage(), "");
  EXPECT_FALSE(second->hasSupplier(first.get()) && first->hasSupplier(second.get()));
}

TEST_F(ExpressionColumn, AParameterThatIsRemovedNoLongerResolves) {
  addNumbers("x", {1, 2});
  document->setParameter("a", 2);
  auto e = addFormula("e", "a*x");
  EXPECT_EQ(validValues(*e), (std::vector<double>{2, 4}));
  document->removeParameter("a");
  EXPECT_EQ(e->errorMessage(), "Undefined constant or column: a");
  EXPECT_EQ(e->howManyEntries(), 0);
  document->setParameter("a", 5);
  EXPECT_EQ(validValues(*e), (std::vector<double>{5, 10}));
}

TEST_F(ExpressionColumn, ParametersAndColumnsShareOneSetOfNames) {
  auto x = addNumbers("x", {1, 2});
  document->setParameter("x", 100);
  document->setParameterText("b", "3");
  document->setParameterText("a", "b*2");
  auto e = addFormula("e", "x*a");
  // A parameter named like a column does not resolve: x is the column.
  EXPECT_FALSE(document->valueForParameter("x"));
  EXPECT_EQ(validValues(*e), (std::vector<double>{6, 12}));
  // A change reaches the column through the parameter that reads it.
  document->setParameterText("b", "5");
  EXPECT_EQ(validValues(*e), (std::vector<double>{10, 20}));
  // Once the column has another name, x is the parameter.
  x->setName("z");
  EXPECT_EQ(document->valueForParameter("x"), 100);
  EXPECT_EQ(e->howManyEntries(), 0) << "no column left to give the length";
  e->setExpressionString("x*a + z");
  EXPECT_EQ(validValues(*e), (std::vector<double>{1001, 1002}));
}

TEST_F(ExpressionColumn, NamesAreResolvedAgainWhenColumnsChange) {
  auto x = addNumbers("x", {1, 2});
  auto e = addFormula("e", "x*10");
  EXPECT_EQ(validValues(*e), (std::vector<double>{10, 20}));
  x->setName("z");
  EXPECT_EQ(e->errorMessage(), "Undefined constant or column: x");
  auto replacement = addNumbers("x", {7});
  EXPECT_EQ(validValues(*e), (std::vector<double>{70}));
  table->removeColumnNumber(table->indexOfColumn(replacement.get()));
  EXPECT_EQ(e->errorMessage(), "Undefined constant or column: x");
  x->setName("x");
  EXPECT_EQ(validValues(*e), (std::vector<double>{10, 20}));
  // A converted column takes the place of the old one.
  auto converted = x->convertToSpecifiedColumn();
  ASSERT_TRUE(table->replacedColumn(x, converted));
  EXPECT_TRUE(e->hasSupplier(converted.get()));
  EXPECT_FALSE(e->hasSupplier(x.get()));
  converted->modifyCell("3", 0);
  EXPECT_EQ(validValues(*e), (std::vector<double>{30, 20}));
}

TEST_F(ExpressionColumn, TheSameSeedGivesTheSameRandomNumbers) {
  auto first = addFormula("u", "rand(2,4)");
  first->setSetting("Seed", 1234);
  first->setSetting("At Least", 1000);
  auto second = addFormula("v", "rand(2,4)");
  second->setSetting("Seed", 1234);
  second->setSetting("At Least", 1000);
  ASSERT_EQ(first->howManyEntries(), 1000);
  EXPECT_TRUE(first->containsRand());
  EXPECT_EQ(validValues(*first), validValues(*second));
  // One draw per row, in order, from the column's generator.
  KRExpressionRandomGenerator generator(1234);
  for (double value : validValues(*first)) ASSERT_EQ(value, 2 + 2 * generator.uniform());
  EXPECT_EQ(first->cachingInfo().find("Seed")->integer(), 1234);
  second->setSetting("Seed", 99);
  EXPECT_NE(validValues(*first), validValues(*second));
  // Random numbers over a column: also one per row.
  addNumbers("x", {0, 0, 0, 0});
  auto noisy = addFormula("n", "x+nrand(1)");
  noisy->setSetting("Seed", 7);
  const auto values = validValues(*noisy);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_NE(values[0], values[1]);
}

TEST_F(ExpressionColumn, SubscriptsOutOfRangeMakeInvalidRows) {
  addNumbers("x", {10, 20, 30});
  auto shifted = addFormula("s", "x(#+1)");
  shifted->setSetting("At Least", 4);
  EXPECT_TRUE(shifted->containsSubscript());
  ASSERT_EQ(shifted->howManyEntries(), 4);
  EXPECT_EQ(validValues(*shifted)[0], 20);
  EXPECT_EQ(validValues(*shifted)[1], 30);
  EXPECT_EQ(shifted->whichRowsHaveBadIndex(), (std::vector<long>{2, 3}));
  EXPECT_EQ(maskOf(*shifted), (std::vector<int>{1, 1, 0, 0}));
  EXPECT_EQ(shifted->errorMessage(), "Argument out of bounds for x");
}

TEST_F(ExpressionColumn, PropertiesAndParametersInFormulas) {
  addNumbers("x", {1, 2, 3, 6});
  document->setParameter("a", 10);
  auto centred = addFormula("c", "x - x.average + a");
  EXPECT_EQ(validValues(*centred), (std::vector<double>{8, 9, 10, 13}));
  auto running = addFormula("r", "x.isum/x.totalcount");
  EXPECT_EQ(validValues(*running), (std::vector<double>{1, 1.5, 2, 3}));
  const PropertyList& key = centred->cachingInfo();
  EXPECT_EQ(key.find("Variables")->find("a")->real(), 10);
  EXPECT_TRUE(key.find("Columns")->find("x"));
  EXPECT_EQ(key.find("Expression")->string(), "x - x.average + a");
  EXPECT_EQ(key.find("Length to Compute")->integer(), 4);
  EXPECT_FALSE(key.find("Minimum Length"));
  // A sorted copy of y by x, through a subscript.
  addNumbers("y", {40, 10, 30, 20});
  auto sorted = addFormula("sorted", "x(y.sortedindex)");
  EXPECT_EQ(validValues(*sorted), (std::vector<double>{2, 6, 3, 1}));
}

TEST_F(ExpressionColumn, TypedInCellsReadParametersAndFollowThem) {
  auto cells = VKDataColumnSpecified::createEmptyFor();
  cells->setName("v");
  table->insertColumn(cells, 1);
  cells->setStringList({"1/4", "2*k", "pi", "1,234.5", "k+nothing", "", "oops("});
  EXPECT_EQ(cells->howManyCachedExpressions(), 2);
  EXPECT_EQ(maskOf(*cells), (std::vector<int>{1, 0, 1, 1, 0, 0, 0}));
  document->setParameter("k", 3);
  EXPECT_EQ(validValues(*cells)[1], 6);
  EXPECT_EQ(cells->parametersUsed().at("k"), 2);
  auto e = addFormula("e", "v+1");
  validValues(*e);
  const auto computations = e->numberOfComputations();
  const auto serial = cells->serialNumber();
  document->setParameter("k", 5);
  EXPECT_GT(cells->serialNumber(), serial);
  EXPECT_EQ(validValues(*e)[1], 11);
  EXPECT_EQ(e->numberOfComputations(), computations + 1);
  // The text stays as typed.
  EXPECT_EQ(cells->stringVersionForRow(1), "2*k");
  EXPECT_EQ(cells->stringVersionForRow(3), "1,234.5");
  EXPECT_EQ(validValues(*cells)[3], 1234.5);
}

}  // namespace
