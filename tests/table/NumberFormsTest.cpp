#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "table/TableTestSupport.h"
#include "table/CellText.h"
#include "table/DataDocumentTable.h"
#include "table/ImportTestSupport.h"
#include "table/import/KRBigTextFile.h"
#include "table/NumberForms.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;
using namespace orrelin::testing_support;
namespace forms = orrelin::number_forms;

namespace {

std::string printed(const char* format, int decimals, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, decimals, value);
  return buffer;
}

// Numbers written the ways data files write them, over many magnitudes and
// both signs, with the hard cases among them.
std::vector<std::string> generatedTexts(std::size_t count, unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> power(-310, 310), decimals(0, 17), smallPower(-8, 12);
  std::vector<std::string> texts = {"-0", "0", "-0.0", "0.0000", "-0.0000", "1e-300", "1.0e-300", "1.5e+300",
                                    "-2.25e-100", "9.9999999999999e+307", "2.2250738585072e-308", "1.7976931348623e+308",
                                    "4.9e-324", "0.0e+00", "-0.0e+00", "0e+00", "123456789012345", "-99999999999999.9",
                                    "0.000000000000000000001", "0.1", "0.3", "5e-01", "1.000e+100"};
  while (texts.size() < count) {
    const double value = mantissa(random) * std::pow(10.0, smallPower(random));
    switch (random() % 5) {
      case 0: texts.push_back(printed("%.*f", decimals(random) % 9, value)); break;
      case 1: texts.push_back(printed("%.*e", decimals(random), value)); break;
      case 2: texts.push_back(printed("%.*e", decimals(random) % 8, mantissa(random) * std::pow(10.0, power(random)))); break;
      case 3: texts.push_back(std::to_string(long(value * 1000))); break;
      default: texts.push_back(printed("%.*f", decimals(random), value / 1e6)); break;
    }
  }
  return texts;
}

TEST(NumberForms, ATextInAFormIsMadeAgainFromItsNumberByteForByte) {
  long inForms = 0;
  for (const std::string& text : generatedTexts(200000, 7)) {
    const std::uint8_t form = forms::formOfText(text);
    double read = 0;
    ASSERT_EQ(forms::readInForm(text, read), form) << text;
    if (form == forms::kKept) continue;
    ++inForms;
    const CellReading reading = readCellText(text);
    ASSERT_TRUE(reading.valid) << text;
    if (form != forms::kEmpty) {
      ASSERT_EQ(read, reading.value) << text;
      ASSERT_EQ(std::signbit(read), std::signbit(reading.value)) << text;
    }
    char buffer[forms::kLongestText];
    ASSERT_EQ(std::string(buffer, forms::writeInForm(form, reading.value, buffer)), text) << "form " << int(form);
  }
  // Most of what printf writes is in a form (the rest has too many digits or
  // lies outside the normal range).
  EXPECT_GT(inForms, 150000);
}

TEST(NumberForms, TheBenchmarkFilesNumbersAreAllInForms) {
  std::mt19937_64 random(3);
  std::normal_distribution<double> voltage(0, 100);
  for (int k = 0; k < 20000; ++k) {
    const double v = voltage(random);
    for (const auto& [format, decimals] : {std::pair{"%.*f", 4}, {"%.*f", 7}, {"%.*e", 7}, {"%.*f", 6}, {"%.*f", 0}})
      ASSERT_NE(forms::formOfText(printed(format, decimals, v)), forms::kKept) << printed(format, decimals, v);
  }
}

TEST(NumberForms, TextsThatNoFormMakesAreKept) {
  for (const char* text : {"1,234", "pi", "abc", "1.50e3", "1.5E+03", "+1", "01.5", "00", "-00.5", "1.", ".5", "-",
                           "1e5", "1e+5", "1e+005", "1.5e+3", "15.0e+01", "0.0e+01", "-0e-00", " 1.5", "1.5 ",
                           "1.0000000000000000", "1234567890123456", "1.23456789012345678e+10", "4.9e-324",
                           "1e+400", "1.0e-308", "$5", "1/3", "--1", "1.5e", "1.5e+", "1.5e+ab", "0x10", "nan",
                           "inf", "1\t"})
    EXPECT_EQ(forms::formOfText(text), forms::kKept) << text;
  EXPECT_EQ(forms::formOfText(""), forms::kEmpty);
}

// A typed-in column against a plain list of texts through everything that
// changes its rows: the texts, and the numbers read from them, stay those of
// the list.
TEST(CodedTypedInColumn, TextsComeBackExactlyThroughEditsAndRowOperations) {
  std::vector<std::string> model = generatedTexts(30000, 11);
  for (std::size_t k = 0; k < model.size(); k += 97) model[k] = k % 2 ? "1,234.5" : "";
  for (std::size_t k = 5; k < model.size(); k += 1001) model[k] = "abc";
  auto column = VKDataColumnSpecified::createEmptyFor();
  ASSERT_TRUE(column->setStringList(model));

  const auto agrees = [&](const char* step) {
    ASSERT_EQ(column->howManyEntries(), long(model.size())) << step;
    ASSERT_EQ(column->stringList(), model) << step;
    for (std::size_t r = 0; r < model.size(); r += 13) ASSERT_EQ(column->stringVersionForRow(long(r)), model[r]) << step;
    const auto values = column->numberVersion();
    const auto mask = column->whichAreIncluded();
    for (std::size_t r = 0; r < model.size(); ++r) {
      const CellReading reading = readCellText(model[r]);
      ASSERT_EQ(bool(mask->constPointer()[r]), reading.valid) << step << " row " << r << " " << model[r];
      if (reading.valid) {
        ASSERT_EQ(values->constDoublePointer()[r], reading.value) << step << " row " << r;
      }
    }
  };
  agrees("read");

  // Edits: a row in a form gets a kept text, a kept row a text in a form, an
  // empty text, a formula, and a row past the end.
  const std::vector<std::pair<long, std::string>> edits = {
      {1, "not a number"}, {5, "2.50"}, {97, "-0.000"}, {2, "1/4"}, {3, ""}, {long(model.size()) + 3, "7.125e+02"}};
  for (const auto& [row, text] : edits) {
    ASSERT_TRUE(column->setString(text, row));
    if (std::size_t(row) >= model.size()) model.resize(std::size_t(row) + 1);
    model[std::size_t(row)] = text;
  }
  agrees("edits");

  const RowIndices inserted = {0, 4, 40000};
  ASSERT_TRUE(column->addRowIndices(inserted, {"1e-300", "x", "3.000"}));
  model = insertedRows(model, inserted, std::vector<std::string>{"1e-300", "x", "3.000"}, std::string());
  agrees("insert");

  const RowIndices removed = {1, 2, 3, 500, 29999};
  ASSERT_TRUE(column->removeRowNumbers(removed));
  model = removedRows(model, removed);
  agrees("remove");

  std::vector<long> order(model.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = long(order.size() - 1 - k);
  order.resize(order.size() / 2);
  ASSERT_TRUE(column->reorderRows(order));
  model = reorderedRows(model, order, std::string());
  agrees("reorder");

  // Setting the list again, as undoing an import does.
  model = generatedTexts(1000, 12);
  ASSERT_TRUE(column->setStringList(model));
  agrees("list set again");
}

TEST(CodedTypedInColumn, KeepsNoTextForRowsInFormsAndNoFormForMostlyOtherTexts) {
  std::vector<std::string> numbers;
  for (int k = 0; k < 10000; ++k) numbers.push_back(printed("%.*f", 4, k * 0.37 - 1000));
  numbers[17] = "pi";
  auto column = VKDataColumnSpecified::createEmptyFor();
  ASSERT_TRUE(column->setStringList(numbers));
  EXPECT_EQ(column->stringList(), numbers);
  EXPECT_EQ(column->cellsKeepingTexts(), 1);
  EXPECT_NEAR(column->valueAtRow(17), M_PI, 1e-12);

  std::vector<std::string> words(10000, "label");
  words[3] = "12.5";
  ASSERT_TRUE(column->setStringList(words));
  EXPECT_EQ(column->stringList(), words);
  EXPECT_EQ(column->cellsKeepingTexts(), 10000) << "mostly labels: every text kept as it is";
  EXPECT_EQ(column->valueAtRow(3), 12.5);
  EXPECT_EQ(maskOf(*column)[0], 0);
}

// An import of many lines (gathered on two threads) into typed-in columns:
// numbers in forms, labels, grouped numbers, empty fields and short records
// all come back as the fields were.
TEST(CodedTypedInColumn, ImportedFieldsComeBackAsTheyWere) {
  const std::vector<std::string> numbers = generatedTexts(70000, 5);
  std::vector<std::vector<std::string>> expected(3);
  std::string text = "a\tb\tc\n";
  for (std::size_t k = 0; k < numbers.size(); ++k) {
    const std::string second = k % 7 == 0 ? "" : k % 5 == 0 ? "1,234.5" : numbers[(k * 31) % numbers.size()];
    const bool shortRecord = k % 11 == 0;
    const std::string third = shortRecord ? "" : "label" + std::to_string(k);
    text += numbers[k] + "\t" + second + (shortRecord ? "" : "\t" + third) + "\n";
    expected[0].push_back(numbers[k]);
    expected[1].push_back(second);
    expected[2].push_back(third);
  }
  auto document = TestDocument::create();
  const RowIndices written = document->table->insertLines(KRBigTextFile::splitStringIntoLines(text), std::nullopt, -1,
                                                          true, false, false, nullptr);
  ASSERT_EQ(written.size(), 3u);
  for (std::size_t c = 0; c < 3; ++c) {
    auto column = document->table->columnAtIndex(written[c]);
    ASSERT_EQ(column->stringList(), expected[c]) << "column " << c;
    const auto values = column->numberVersion();
    const auto mask = column->whichAreIncluded();
    for (std::size_t r = 0; r < expected[c].size(); ++r) {
      const CellReading reading = readCellText(expected[c][r]);
      ASSERT_EQ(bool(mask->constPointer()[r]), reading.valid) << c << " " << r << " " << expected[c][r];
      if (reading.valid) {
        ASSERT_EQ(values->constDoublePointer()[r], reading.value) << c << " " << r;
      }
    }
  }
  const auto* first = dynamic_cast<const TextColumn*>(document->table->columnAtIndex(written[0]).get());
  ASSERT_TRUE(first);
  EXPECT_LT(first->cellsKeepingTexts(), 70000 / 5) << "numbers in forms keep no text";
}

}  // namespace
