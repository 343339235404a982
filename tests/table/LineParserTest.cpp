// The line parser: separators, fields, header lines and which columns the
// fields go to.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "datafiles/KRDataFileProgress.h"
#include "support/MessageCapture.h"
#include "table/DataDocumentTable.h"
#include "table/ImportTestSupport.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnString.h"
#include "table/import/DataDocumentTable_PasteSpecial.h"
#include "table/import/KRBigTextFile.h"

namespace orrelin {
namespace {

using namespace testing_support;
using ::testing::ElementsAre;

// Imports the text into a fresh table with adding allowed, as pasting into
// an empty document does, and gives the table.
std::shared_ptr<TestDocument> imported(const std::string& text, RowIndices* written = nullptr) {
  auto document = TestDocument::create();
  const RowIndices positions = document->table->insertLines(KRBigTextFile::splitStringIntoLines(text), std::nullopt,
                                                            -1, true, false, false, nullptr);
  if (written) *written = positions;
  return document;
}

std::vector<std::vector<std::string>> columnTexts(const DataDocumentTable& table) {
  std::vector<std::vector<std::string>> columns;
  for (long k = 1; k < table.numberOfColumns(); ++k) columns.push_back(table.columnAtIndex(k)->stringList());
  return columns;
}

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::vector<std::string>> columns;
  std::vector<std::string> names;
};

class LineParserSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineParserSplitting, GivesTheColumnsAndNames) {
  MessageCapture messages;
  const SplitCase& c = GetParam();
  auto document = imported(c.text);
  EXPECT_EQ(columnTexts(*document->table), c.columns);
  EXPECT_EQ(namesOf(*document->table), c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineParserSplitting,
    ::testing::Values(
        SplitCase{"HeaderNamesTheColumns", "x,y\n1,2\n3,4\n", {{"1", "3"}, {"2", "4"}}, {"x", "y"}},
        // A semicolon is met first and a comma afterwards: comma or tab wins.
        SplitCase{"CommaAfterSemicolonWins", "1,5;2,5\n", {{"1"}, {"5;2"}, {"5"}}, {"", "", ""}},
        SplitCase{"BarSeparates", "a|b\n1|2\n", {{"1"}, {"2"}}, {"a", "b"}},
        SplitCase{"SemicolonSeparates", "1;2\n3;4\n", {{"1", "3"}, {"2", "4"}}, {"", ""}},
        SplitCase{"RunsOfSpacesAreOneSeparator", "1   2  3\n4 5 6\n", {{"1", "4"}, {"2", "5"}, {"3", "6"}},
                  {"", "", ""}},
        SplitCase{"TabOnTheFirstLineWins", "a b\tc,d\n1 2\t3,4\n", {{"1 2"}, {"3,4"}}, {"a b", "c,d"}},
        SplitCase{"TwoTabsMakeAnEmptyField", "1\t\t3\n", {{"1"}, {""}, {"3"}}, {"", "", ""}},
        SplitCase{"TrailingCommaIsNoSeparator", "1\n2,\n", {{"1", "2"}}, {""}},
        SplitCase{"QuotedFieldKeepsLineEndAndQuotes", "name,note\n1,\"say \"\"hi\"\"\nthere\"\n2,plain\n",
                  {{"1", "2"}, {"say \"hi\"\nthere", "plain"}}, {"name", "note"}},
        SplitCase{"QuotedCommaStaysInTheField", "\"1,5\",2\n", {{"1,5"}, {"2"}}, {"", ""}},
        SplitCase{"CarriageReturnLineEnds", "x,y\r1,2\r\r3,4\r", {{"1", "3"}, {"2", "4"}}, {"x", "y"}},
        SplitCase{"CRLFLineEnds", "x,y\r\n1,2\r\n3,4\r\n", {{"1", "3"}, {"2", "4"}}, {"x", "y"}},
        SplitCase{"EmptyLinesArePassedOver", "\n\n1,2\n\n3,4\n", {{"1", "3"}, {"2", "4"}}, {"", ""}},
        // One field understood as a number makes the first line data.
        SplitCase{"AllNumbersButOneIsData", "1,2,x,4\n5,6,7,8\n", {{"1", "5"}, {"2", "6"}, {"x", "7"}, {"4", "8"}},
                  {"", "", "", ""}},
        SplitCase{"ShortLinesLeaveEmptyRows", "1,2,3\n4\n5,6\n", {{"1", "4", "5"}, {"2", "", "6"}, {"3", "", ""}},
                  {"", "", ""}},
        SplitCase{"ThreeSpacesSplitAHeaderWithSpacedNames", "time s   volt age\n1 2\n", {{"1"}, {"2"}},
                  {"time s", "volt age"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineParser, SeparatorIsChosenFromTheFirstThousandCharacters) {
  MessageCapture messages;
  // Twenty lines of fifty characters without separators, then a bar: the
  // bar's line lies past the characters looked at, so spaces separate.
  std::string text;
  for (int k = 0; k < 20; ++k) text += std::string(50, '7') + "\n";
  text += "1|2 3\n";
  auto document = imported(text);
  ASSERT_EQ(document->table->numberOfColumns(), 3);
  EXPECT_EQ(document->table->columnAtIndex(1)->stringList().back(), "1|2");
  // With the bar line within reach, the bar separates.
  document = imported(std::string(900, '7') + "\n1|2 3\n");
  EXPECT_EQ(document->table->columnAtIndex(2)->stringList().back(), "2 3");
}

TEST(LineParser, NumbersAreReadAndOtherFieldsKeptAsInvalidText) {
  MessageCapture messages;
  auto document = imported("1.5,abc\n-2e3,7\n");
  auto& first = *document->table->columnAtIndex(1);
  auto& second = *document->table->columnAtIndex(2);
  EXPECT_TRUE(sameValues(validValues(first), {1.5, -2000}));
  EXPECT_EQ(second.stringList(), (std::vector<std::string>{"abc", "7"}));
  EXPECT_THAT(maskOf(second), ElementsAre(0, 1));
}

TEST(LineParser, LongTextsGatheredInHalvesGiveTheSameColumns) {
  MessageCapture messages;
  // Long enough to be gathered on two threads; short and long records and
  // empty lines on both sides of the middle.
  std::string text;
  for (int k = 0; k < 90000; ++k) {
    text += std::to_string(k);
    if (k % 3) text += "," + std::to_string(k * 2);
    if (k % 1000 == 999) text += ",x,y\n";
    text += k % 777 == 0 ? "\n\n" : "\n";
  }
  // A cell late in the text is a formula naming a parameter.
  text += "2*a,1\n";
  const ImportLines lines = KRBigTextFile::splitStringIntoLines(text);
  auto document = TestDocument::create();
  document->setParameter("a", 3);
  document->table->insertLines(lines, std::nullopt, -1, true, false, false, nullptr);
  EXPECT_EQ(columnTexts(*document->table), DataDocumentTable_PasteSpecial::convertLinesToColumns(lines, true));
  auto& first = *document->table->columnAtIndex(1);
  ASSERT_EQ(first.howManyEntries(), 90001);
  const std::vector<double> values = validValues(first);
  for (long r = 0; r < 90000; ++r) ASSERT_EQ(values[std::size_t(r)], double(r));
  EXPECT_EQ(values.back(), 6);
  document->setParameter("a", 4);
  EXPECT_EQ(first.valueAtRow(90000), 8);
}

TEST(LineParser, EmptyTextWritesNothing) {
  auto document = documentWithTypedInColumns(2);
  for (std::string text : {"", "\n\n", "\r\n"}) {
    const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines(text),
                                                            RowIndices{1, 2}, -1, false, false, false, nullptr);
    EXPECT_TRUE(written.empty());
  }
}

TEST(LineParser, DateColumnKeepsSpacesInsideFields) {
  MessageCapture messages;
  auto document = TestDocument::create();
  auto dates = VKDataColumnDate::createEmptyFor(document);
  auto values = VKDataColumnSpecified::createEmptyFor(document);
  document->table->insertColumn(dates, 1);
  document->table->insertColumn(values, 2);
  const std::string text = "when,value\n3/4/05 10:30,1\n3/5/05 11:00,2\n";
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines(text), RowIndices{1, 2},
                                                          -1, false, false, false, nullptr);
  EXPECT_EQ(written, (RowIndices{1, 2}));
  EXPECT_EQ(dates->stringList(), (std::vector<std::string>{"3/4/05 10:30", "3/5/05 11:00"}));
  EXPECT_EQ(dates->name(), "when");
}

TEST(LineParser, TextColumnNeverTakesTheFirstLineAsValues) {
  MessageCapture messages;
  auto document = TestDocument::create();
  auto labels = VKDataColumnString::createEmptyFor(document);
  document->table->insertColumn(labels, 1);
  // "12" would be a number, but a text column takes any text as a value:
  // the first line counts as names only when no field is a value.
  document->table->insertLines(KRBigTextFile::splitStringIntoLines("label\nred\n"), RowIndices{1}, -1, false, false,
                               false, nullptr);
  EXPECT_EQ(labels->name(), "label");
  EXPECT_EQ(labels->stringList(), (std::vector<std::string>{"red"}));
}

TEST(LineParser, PoolIsWalkedPastColumnsThatCannotBeModified) {
  MessageCapture messages;
  auto document = documentWithTypedInColumns(3);
  auto expression = VKDataColumnExpression::createEmptyFor(document);
  expression->setExpressionString("2*c1");
  document->table->insertColumn(expression, 2);  // c1, expression, c2, c3
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines("1,2,3\n4,5,6\n"),
                                                          RowIndices{1, 2, 3, 4}, -1, false, false, false, nullptr);
  EXPECT_EQ(written, (RowIndices{1, 3, 4}));
  EXPECT_EQ(document->table->columnAtIndex(3)->stringList(), (std::vector<std::string>{"2", "5"}));
  EXPECT_EQ(expression->expressionString(), "2*c1");
  // The formula column caught up with its new input.
  EXPECT_TRUE(sameValues(validValues(*expression), {2, 8}));
}

TEST(LineParser, FieldsWithoutAColumnAreDroppedWithOneWarning) {
  MessageCapture messages;
  auto document = documentWithTypedInColumns(2);
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines("1,2,3\n4,5,6,7\n"),
                                                          RowIndices{1, 2}, -1, false, false, false, nullptr);
  EXPECT_EQ(written, (RowIndices{1, 2}));
  EXPECT_EQ(document->table->numberOfColumns(), 3);
  EXPECT_THAT(messages.texts(), ElementsAre("3 fields beyond the last column to fill were not imported."));
}

TEST(LineParser, AVeryWideRecordKeepsTheFirstColumnsAndCountsTheRest) {
  MessageCapture messages;
  std::string line = "0";
  for (int k = 1; k < 5000; ++k) line += "," + std::to_string(k);
  auto document = imported(line + "\n" + line + "\n");
  EXPECT_EQ(document->table->numberOfColumns(), 1 + 4096);
  EXPECT_EQ(document->table->columnAtIndex(4096)->stringList(), (std::vector<std::string>{"4095", "4095"}));
  EXPECT_THAT(messages.texts(), ElementsAre("1808 fields beyond the last column to fill were not imported."));
}

TEST(LineParser, AddedColumnsGoToTheStartAddingPosition) {
  MessageCapture messages;
  auto document = documentWithTypedInColumns(2);
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines("a,b\n1,2\n"),
                                                          std::nullopt, 2, true, false, false, nullptr);
  EXPECT_EQ(written, (RowIndices{2, 3}));
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"c1", "a", "b", "c2"}));
}

TEST(LineParser, HeaderRenamesOnlyWhatDiffersAndUndoRestoresNames) {
  MessageCapture messages;
  auto document = UndoRecordingDocument::create();
  for (int k = 1; k <= 3; ++k) {
    auto column = VKDataColumnSpecified::createEmptyFor();
    column->setName("c" + std::to_string(k));
    document->table->insertColumn(column, k);
  }
  const int noticesBefore = document->columnListNotices;
  document->table->insertLines(KRBigTextFile::splitStringIntoLines("c1,,speed\n1,2,3\n"), RowIndices{1, 2, 3}, -1,
                               false, false, true, nullptr);
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"c1", "c2", "speed"}));
  // One rename, one notice.
  EXPECT_EQ(document->columnListNotices - noticesBefore, 1);
  ASSERT_THAT(document->undoNames, ElementsAre("Column Names"));
  document->undos.front()();
  EXPECT_EQ(namesOf(*document->table), (std::vector<std::string>{"c1", "c2", "c3"}));
}

TEST(LineParser, QuoteNeverClosedRunsToTheEndWithAMessage) {
  MessageCapture messages;
  auto document = imported("1,\"open\n2,3\n");
  EXPECT_EQ(document->table->columnAtIndex(2)->stringList(), (std::vector<std::string>{"open\n2,3"}));
  EXPECT_THAT(messages.texts(),
              ElementsAre("A quoted field that starts on line 1 is never closed; it runs to the end of the text."));
}

TEST(LineParser, ProgressCanStopTheImportLeavingTheColumnsAlone) {
  struct Stopper : KRDataFileProgress {
    void setProgress(double) override { ++reports; }
    bool userAborted() override { return true; }
    int reports = 0;
  } stopper;
  auto document = documentWithTypedInColumns(1);
  document->table->columnAtIndex(1)->setString("kept", 0);
  std::string text;
  for (int k = 0; k < 40000; ++k) text += std::to_string(k) + "\n";
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines(text), RowIndices{1},
                                                          -1, false, false, false, &stopper);
  EXPECT_TRUE(written.empty());
  EXPECT_GT(stopper.reports, 0);
  EXPECT_EQ(document->table->columnAtIndex(1)->stringList(), (std::vector<std::string>{"kept"}));
}

}  // namespace
}  // namespace orrelin
