#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "TableTestSupport.h"
#include "expression/KRExpression.h"
#include "table/CellText.h"
#include "table/DeferredColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDataObject.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

using Maker = std::function<ColumnPtr()>;

struct EditableKind {
  const char* name;
  Maker make;
};

class RowOperations : public ::testing::TestWithParam<EditableKind> {};

TEST_P(RowOperations, InsertRemoveAndReorderKeepTextsAndNumbersTogether) {
  ColumnPtr column = GetParam().make();
  ASSERT_TRUE(column->setStringList({"10", "20", "30", "40"}));
  const auto texts = [&] { return column->stringList(); };
  using Texts = std::vector<std::string>;

  // Each new row lands at its position in the result.
  ASSERT_TRUE(column->addRowIndices({5, 1}, {"11", "99"}));
  EXPECT_EQ(texts(), (Texts{"10", "11", "20", "30", "40", "99"}));
  ASSERT_TRUE(column->removeRowNumbers({0, 4, 17}));
  EXPECT_EQ(texts(), (Texts{"11", "20", "30", "99"}));
  ASSERT_TRUE(column->reorderRows({3, 0}));
  EXPECT_EQ(texts(), (Texts{"99", "11", "30", "99"})) << "rows after the order stay";
  ASSERT_TRUE(column->addEmptyLines(2, 1));
  EXPECT_EQ(texts(), (Texts{"99", "", "", "11", "30", "99"}));
  ASSERT_TRUE(column->removeRowRange(1, 2));
  EXPECT_EQ(texts(), (Texts{"99", "11", "30", "99"}));
  // A row past the end grows the column with empty rows.
  ASSERT_TRUE(column->setString("5", 6));
  EXPECT_EQ(texts(), (Texts{"99", "11", "30", "99", "", "", "5"}));
  if (column->isNumberColumn()) {
    EXPECT_EQ(maskOf(*column), (std::vector<int>{1, 1, 1, 1, 0, 0, 1}));
    EXPECT_EQ(column->valueAtRow(2), 30);
    EXPECT_TRUE(std::isnan(column->valueAtRow(4)));
  }
  ASSERT_TRUE(column->prepareForInput());
  EXPECT_EQ(column->howManyEntries(), 0);
}

// Dates counted in seconds from 1970, so that the entries are their values.
ColumnPtr secondsSince1970() {
  auto column = VKDataColumnDate::createEmptyFor();
  column->setFormat({{"Starting Date", 0}, {"Time Scale", 1}});
  return column;
}

ColumnPtr numericText() {
  auto column = VKDataColumnString::createEmptyFor();
  column->setValueType(VKDataColumnString::kNumberFromText);
  return column;
}

INSTANTIATE_TEST_SUITE_P(
    EditableKinds, RowOperations,
    ::testing::Values(EditableKind{"Specified", [] { return ColumnPtr(VKDataColumnSpecified::createEmptyFor()); }},
                      EditableKind{"Binary", [] { return ColumnPtr(VKDataColumnBinary::createEmptyFor()); }},
                      EditableKind{"String", [] { return ColumnPtr(VKDataColumnString::createEmptyFor()); }},
                      EditableKind{"NumericString", numericText},
                      EditableKind{"Date", secondsSince1970}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnValues, ArraysHandedOutNeverChange) {
  auto column = VKDataColumnBinary::createEmptyFor();
  column->setNumbers({1, 2, 3}, {1, 1, 1});
  const auto values = column->numberVersion();
  const auto mask = column->whichAreIncluded();
  const auto serial = column->serialNumber();
  column->setData({50}, {1});
  column->setString("", 0);
  EXPECT_EQ(values->valueAtIndex(1), 2);
  EXPECT_EQ(mask->valueAtIndex(0), 1);
  EXPECT_EQ(column->valueAtRow(1), 50);
  EXPECT_FALSE(column->validEntryAtIndex(0));
  EXPECT_GT(column->serialNumber(), serial);
}

TEST(ColumnValues, AnAppendKeepsTheSerialNumberBeforeIt) {
  auto column = VKDataColumnSpecified::createEmptyFor();
  column->setStringList({"1", "2"});
  const auto before = column->serialNumber();
  column->modifyCell("3", 2);
  EXPECT_EQ(column->columnAppendedSince(), before);
  const auto appended = column->serialNumber();
  EXPECT_GT(appended, before);
  column->modifyCell("9", 0);
  EXPECT_EQ(column->columnAppendedSince(), column->serialNumber()) << "not an append";
}

TEST(ColumnValues, TextCleanUp) {
  struct Case {
    const char* rule;
    bool (OrrelinColumn::*apply)();
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"removeComma", &OrrelinColumn::removeComma, {"15", "\"2\"", "1.2345"}},
      {"removePeriodChangeCommaToPeriod", &OrrelinColumn::removePeriodChangeCommaToPeriod, {"1.5", "\"2\"", "1234.5"}},
      {"changeCommaToPeriod", &OrrelinColumn::changeCommaToPeriod, {"1.5", "\"2\"", "1.234.5"}},
      {"removeQuote", &OrrelinColumn::removeQuote, {"1,5", "2", "1.234,5"}},
  };
  for (const auto& c : cases) {
    auto column = VKDataColumnSpecified::createEmptyFor();
    column->setStringList({"1,5", "\"2\"", "1.234,5"});
    EXPECT_TRUE((*column.*c.apply)()) << c.rule;
    EXPECT_EQ(column->stringList(), c.texts) << c.rule;
  }
  auto column = VKDataColumnSpecified::createEmptyFor();
  column->setStringList({"1,5", "\"2\"", "1.234,5"});
  column->removePeriodChangeCommaToPeriod();
  column->removeQuote();
  EXPECT_EQ(validValues(*column), (std::vector<double>{1.5, 2, 1234.5}));
  EXPECT_FALSE(column->removeQuote()) << "nothing left to change";
  EXPECT_FALSE(VKDataColumnBinary::createEmptyFor()->removeComma()) << "no texts";
}

TEST(ColumnValues, ComputedAndStructuralKindsRefuseEdits) {
  const ColumnPtr kinds[] = {VKDataColumnExpression::createEmptyFor(), VKDataColumnDataObjectBinary::createEmptyFor(),
                             VKDataColumnDataObjectString::createEmptyFor(), VKDataColumnFromCommand::createEmptyFor(),
                             VKDataColumnNumber::createEmptyFor()};
  for (const auto& column : kinds) {
    EXPECT_FALSE(column->canBeModified()) << column->type();
    EXPECT_FALSE(column->setString("1", 0)) << column->type();
    EXPECT_FALSE(column->setStringList({"1"})) << column->type();
    EXPECT_FALSE(column->addEmptyLines(1, 0)) << column->type();
  }
}

TEST(ColumnValues, KindsWithoutValuesSayWhy) {
  EXPECT_EQ(VKDataColumnFromCommand::createEmptyFor()->whyNoValues(),
            "The values of this column come from a graph command, which is not available here.");
  EXPECT_EQ(VKDataColumnPlotAction::createEmptyFor()->whyNoValues(),
            "The values of this column come from a plot action, which is not available here.");
  auto tokens = VKDataColumnStringExpression::createEmptyFor();
  EXPECT_EQ(tokens->howManyEntries(), 0);
  EXPECT_TRUE(tokens->isStringColumn());
  EXPECT_FALSE(tokens->whyNoValues().empty());
}

TEST(ColumnValues, DatesKeepTextsAndValues) {
  auto dates = VKDataColumnDate::createEmptyFor();
  dates->setStringList({"3/4/05", "later"});
  EXPECT_EQ(validValues(*dates)[0], 1109894400);
  EXPECT_FALSE(dates->validEntryAtIndex(1));
  // Values travel with their rows.
  dates->addRowIndices({0}, {"new"});
  dates->reorderRows({1, 0, 2});
  EXPECT_EQ(validValues(*dates)[0], 1109894400);
  EXPECT_EQ(dates->stringVersionForRow(1), "new");
  dates->removeRowNumbers({1});
  EXPECT_EQ(dates->editStringVersionForRow(0), "3/4/05");
  EXPECT_EQ(dates->stringVersionForRow(2), "out of bounds");
  const PlistDictionary format{{"Date and Year", 10}, {"Time", 1}};
  dates->setFormat(format);
  EXPECT_EQ(dates->format(), format);
  // The numbers of a date column are its time values, read with its format.
  auto numbers = dates->convertToSpecifiedColumn();
  EXPECT_EQ(numbers->stringList(), (std::vector<std::string>{"1112486400", ""})) << "3 April 2005";
}

TEST(ColumnConversion, EntriesNameAndIdentityGoOver) {
  auto document = TestDocument::create();
  auto typed = VKDataColumnSpecified::createEmptyFor();
  typed->setName("v");
  typed->width = 77;
  typed->setStringList({"0.1", "1e300", "", "2/4"});
  document->table->insertColumn(typed, 1);
  const auto identity = typed->columnSerialNumber();

  auto binary = typed->convertToBinaryColumn();
  EXPECT_EQ(binary->type(), "Binary");
  EXPECT_EQ(binary->name(), "v");
  EXPECT_EQ(binary->width, 77);
  EXPECT_EQ(maskOf(*binary), (std::vector<int>{1, 1, 0, 1}));
  EXPECT_EQ(validValues(*binary)[3], 0.5);
  ASSERT_TRUE(document->table->replacedColumn(typed, binary));
  EXPECT_EQ(binary->columnSerialNumber(), identity);
  EXPECT_EQ(document->table->columnWithSerialNumber(identity), binary);
  EXPECT_EQ(document->table->columnAtIndex(1), binary);
  EXPECT_FALSE(typed->table());

  // Numbers written as text read back exactly.
  auto text = binary->convertToStringColumn();
  EXPECT_EQ(text->stringList(), (std::vector<std::string>{"0.1", "1e+300", "", "0.5"}));
  auto back = text->convertToSpecifiedColumn();
  for (long r : {0, 1, 3}) EXPECT_EQ(back->valueAtRow(r), binary->valueAtRow(r));
  // A date column made from numbers takes them as its time values.
  auto dates = binary->convertToDateColumn();
  EXPECT_TRUE(dates->isDateColumn());
  EXPECT_EQ(validValues(*dates)[1], 1e300);
  // Structural columns have nothing to convert.
  EXPECT_FALSE(VKDataColumnDate::createEmptyFor()->convertToStringColumn()->howManyEntries());
}

TEST(ColumnValues, RowNumbersFollowTheTable) {
  auto document = TestDocument::create();
  auto x = VKDataColumnBinary::createEmptyFor();
  x->setNumbers({5, 5, 5}, {});
  document->table->insertColumn(x, 1);
  auto rows = document->table->rowNumberColumn();
  EXPECT_EQ(validValues(*rows), (std::vector<double>{1, 2, 3}));
  rows->prepareForLength(10);
  EXPECT_EQ(rows->howManyEntries(), 3);
  EXPECT_GE(rows->numberVersionForLength(10)->length(), 10);
  EXPECT_EQ(rows->numberVersionForLength(10)->valueAtIndex(9), 10);
}

TEST(ColumnValues, NumbersReadFromATextColumn) {
  auto document = TestDocument::create();
  auto text = VKDataColumnString::createEmptyFor();
  text->setName("t");
  text->setStringList({"1.5", "x", "2^3"});
  document->table->insertColumn(text, 1);
  auto numbers = VKDataColumnNumberFromString::createEmptyFor();
  document->table->insertColumn(numbers, 2);
  EXPECT_EQ(numbers->whyNoValues(), "No text column chosen");
  numbers->setSourceColumnName("t");
  EXPECT_TRUE(numbers->isValid());
  EXPECT_EQ(maskOf(*numbers), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(validValues(*numbers)[2], 8);
  EXPECT_TRUE(numbers->hasSupplier(text.get()));
  const auto serial = numbers->serialNumber();
  EXPECT_EQ(numbers->serialNumber(), serial) << "nothing read again";
  text->modifyCell("4", 1);
  EXPECT_EQ(validValues(*numbers)[1], 4);
  EXPECT_GT(numbers->serialNumber(), serial);
  text->setName("other");
  EXPECT_EQ(numbers->whyNoValues(), "t missing");
  EXPECT_EQ(numbers->howManyEntries(), 0);
  auto plain = VKDataColumnBinary::createEmptyFor();
  plain->setName("t");
  document->table->insertColumn(plain, 1);
  EXPECT_EQ(numbers->whyNoValues(), "t is not a text column");
}

TEST(CellText, NumbersAndFormulas) {
  struct Case {
    const char* text;
    bool valid;
    double value;
  };
  const Case cases[] = {
      {"12", true, 12},         {"-3.5e2", true, -350},   {"  7 ", true, 7},     {"1/3", true, 1.0 / 3},
      {"pi", true, 3.141592653589793},                    {"1,234", true, 1234}, {"-1,234,567.5", true, -1234567.5},
      {"max(1,200)", true, 200}, {"1,5", false, 0},        {"", false, 0},        {"abc", false, 0},
      {"Inf", true, INFINITY},  {"(3)", true, 3},         {"2(", false, 0},      {"+4", true, 4},
      {"1970:1:2", true, 86400},
  };
  for (const auto& c : cases) {
    const CellReading reading = readCellText(c.text);
    EXPECT_EQ(reading.valid, c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(reading.value, c.value) << c.text;
    }
  }
  EXPECT_TRUE(readCellText("2*rate").expression) << "kept for the parameters it names";
  EXPECT_FALSE(readCellText("2*pi").expression);
  EXPECT_EQ(removeThousandsCommaSeparators("12,345,678"), "12345678");
  EXPECT_EQ(removeThousandsCommaSeparators("12,34"), "12,34");
}

TEST(CellText, NumbersAsTextReadBackExactly) {
  for (double value : {0.1, 1.0 / 3, -0.0, 1e-310, 6.02214076e23, 123456789012345678.0}) {
    const std::string text = textForNumber(value);
    EXPECT_EQ(readCellText(text).value, value) << text;
    EXPECT_EQ(std::signbit(readCellText(text).value), std::signbit(value)) << text;
  }
  EXPECT_EQ(textForNumber(NAN), "NaN");
  EXPECT_EQ(textForNumber(-INFINITY), "-Inf");
  EXPECT_EQ(readCellText(textForNumber(-INFINITY)).value, -INFINITY);
}

}  // namespace
