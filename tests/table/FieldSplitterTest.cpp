// Records of plain numbers are read in one pass; every record is the same
// whether it was read that way or split and its fields read one by one.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/MessageCapture.h"
#include "table/ImportTestSupport.h"
#include "table/NumberForms.h"
#include "table/import/DataDocumentTable_PasteSpecial.h"
#include "table/import/FieldSplitter.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/LineParser.h"

namespace orrelin {
namespace {

using namespace testing_support;
namespace forms = number_forms;

constexpr SeparatorSet kSets[] = {SeparatorSet::Tab,        SeparatorSet::Bar,        SeparatorSet::Semicolon,
                                  SeparatorSet::CommaOrTab, SeparatorSet::Whitespace, SeparatorSet::TabSpaceOrSemicolon};

// A field as the import keeps it: its form, and its number (exactly, sign
// of zero included) or its text.
std::string cell(std::uint8_t form, double value, std::string_view text) {
  if (form < forms::kFixed) return "kept [" + std::string(text) + "]";
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return "form " + std::to_string(form) + " " + std::to_string(bits);
}

using Records = std::vector<std::vector<std::string>>;

// The records of the lines, each split and its fields read one by one, or,
// when `onePass`, read in one pass wherever that is taken. Ends with the
// splitter's counts.
Records records(const ImportLines& lines, SeparatorSet set, std::size_t most, bool onePass, long* readInOnePass = nullptr) {
  FieldSplitter splitter(lines, set, 6);
  Records out;
  std::vector<std::string_view> fields;
  std::uint8_t formsRead[8];
  double values[8];
  for (;;) {
    if (const std::size_t count = onePass ? splitter.readPlainNumbers(most, formsRead, values) : 0) {
      auto& record = out.emplace_back();
      for (std::size_t k = 0; k < count; ++k) record.push_back(cell(formsRead[k], values[k], ""));
      if (readInOnePass) ++*readInOnePass;
      continue;
    }
    if (!splitter.nextRecord(fields)) break;
    auto& record = out.emplace_back();
    for (std::string_view field : fields) {
      double value = 0;
      const std::uint8_t form = forms::readInForm(field, value);
      record.push_back(cell(form, value, field));
    }
  }
  out.push_back({"position " + std::to_string(splitter.position()), "over " + std::to_string(splitter.fieldsOverLimit()),
                 "unclosed " + std::to_string(splitter.unclosedQuoteLine().value_or(0))});
  return out;
}

// Lines of numbers in forms and out of them, texts, quotes (some running
// over line ends), blanks, empty fields and runs of separators.
std::string generatedText(unsigned seed, const char* separators) {
  std::mt19937 random(seed);
  const auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
  const char* inForms[] = {"1.5", "-0.25", "3.000e+05", "42", "0", "-0", "0.0", "123456789012345", "0.000001",
                           "9.5e-300", "-7.25e-05", "1.5e+300", "0e+00", "12.3456789", "-0.123456789", "100"};
  const char* others[] = {"1.0000000000000000", "1e5", "01", "1.", ".5", "+1", "1.5E+03", "1.5e+3", "1.5e+0300",
                          "abc", "", "\"1.5\"", "\"a\nb\"", "\"x\"\"y\"", "\"open", " 1.5", "1.5 ", "1 2", "1.5x",
                          "\xE2\x80\xA8" "2", "-", "1e", "2.5e+", "0x1", "1234567890123456", "--1", "1-2"};
  std::string text;
  const std::size_t lines = 30 + pick(30);
  for (std::size_t line = 0; line < lines; ++line) {
    if (pick(10) == 0) text += pick(2) ? "  " : "";
    const std::size_t width = 1 + pick(8);
    for (std::size_t f = 0; f < width; ++f) {
      if (f) {
        text += separators[pick(std::strlen(separators))];
        if (pick(12) == 0) text += separators[pick(std::strlen(separators))];
        if (pick(12) == 0) text += ' ';
      }
      text += pick(5) ? inForms[pick(std::size(inForms))] : others[pick(std::size(others))];
      if (pick(15) == 0) text += ' ';
    }
    if (pick(10) == 0) text += separators[0];
    text += "\n";
    if (pick(15) == 0) text += "\n";
  }
  return text;
}

TEST(FieldSplitter, RecordsReadInOnePassAreThoseSplitFieldByField) {
  long readInOnePass = 0, total = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    for (const char* separators : {",", "\t", " ", ";", "|", ", \t;"}) {
      const std::string text = generatedText(seed, separators);
      const ImportLines lines = KRBigTextFile::splitStringIntoLines(text);
      for (SeparatorSet set : kSets) {
        for (std::size_t most : {1, 3, 8}) {
          const Records split = records(lines, set, most, false);
          ASSERT_EQ(records(lines, set, most, true, &readInOnePass), split)
              << "seed " << seed << " separators [" << separators << "] set " << int(set) << " most " << most;
          total += long(split.size());
        }
      }
    }
  }
  // The one pass must really be taken for the records of plain numbers.
  EXPECT_GT(readInOnePass, total / 20);
}

TEST(FieldSplitter, PlainRecordsAreReadInOnePassAndOthersLeftWhereTheyAre) {
  struct Case {
    SeparatorSet set;
    const char* line;
    std::size_t fields;  // 0: left to split()
  };
  const Case cases[] = {
      {SeparatorSet::CommaOrTab, "1.5,-2e+05", 2},
      {SeparatorSet::CommaOrTab, "  1.5 , -2 ,", 2},
      {SeparatorSet::CommaOrTab, "1.5 ,\t-2", 0},  // an empty field between the comma and the tab
      {SeparatorSet::Whitespace, "  1   2 ,; 3  ", 3},
      {SeparatorSet::Tab, "0.25\t7", 2},
      {SeparatorSet::CommaOrTab, "1,,2", 0},
      {SeparatorSet::CommaOrTab, "1,\"2\"", 0},
      {SeparatorSet::CommaOrTab, "1,x", 0},
      {SeparatorSet::CommaOrTab, "1 2,3", 0},
      {SeparatorSet::CommaOrTab, "1,2,3,4", 0},  // wider than asked for
      {SeparatorSet::CommaOrTab, "   ", 0},
      {SeparatorSet::TabSpaceOrSemicolon, "1,5", 0},
  };
  for (const Case& c : cases) {
    const ImportLines lines = {c.line};
    FieldSplitter splitter(lines, c.set);
    std::uint8_t formsRead[3];
    double values[3];
    EXPECT_EQ(splitter.readPlainNumbers(3, formsRead, values), c.fields) << c.line;
    EXPECT_EQ(splitter.position(), c.fields ? 1u : 0u) << c.line;
  }
}

// The columns of generated texts, gathered with records read both ways among
// each other (short ones, wide ones, texts and empty lines between plain
// ones), hold every field's text, form and number.
TEST(FieldSplitter, GatheredColumnsHoldEveryFieldWhicheverWayItsRecordWasRead) {
  MessageCapture messages;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    // No header line: the first record is always numbers.
    const std::string text = "1,2\n" + generatedText(seed, ",");
    const ImportLines lines = KRBigTextFile::splitStringIntoLines(text);
    auto document = documentWithTypedInColumns(3);
    auto parsed = parseLines(*document->table, lines, document->table->displayedColumnIndexesExceptRowNumber(), -1,
                             true, false, nullptr);
    ASSERT_TRUE(parsed);
    const auto expected = DataDocumentTable_PasteSpecial::convertLinesToColumns(lines, true);
    const Gathered& gathered = parsed->gathered;
    ASSERT_EQ(gathered.texts.size(), expected.size());
    for (std::size_t c = 0; c < expected.size(); ++c) {
      const CellTextStore& column = gathered.texts[c];
      ASSERT_TRUE(column.coded());
      ASSERT_EQ(column.size(), expected[c].size()) << "column " << c;
      for (std::size_t r = 0; r < column.size(); ++r) {
        double value = 0;
        const std::uint8_t form = forms::readInForm(expected[c][r], value);
        char buffer[forms::kLongestText];
        const double number = gathered.numbers[c][r];
        EXPECT_EQ(column.textOf(r, number, buffer), expected[c][r]) << "seed " << seed << " " << c << ":" << r;
        EXPECT_EQ(column.form(r), form < forms::kFixed && form != forms::kEmpty ? forms::kKept : form);
        if (form >= forms::kFixed) EXPECT_EQ(cell(form, number, ""), cell(form, value, ""));
        else EXPECT_TRUE(std::isnan(number));
      }
    }
  }
}

}  // namespace
}  // namespace orrelin
