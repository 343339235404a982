// The readers under the line parser: text decoding, rich text, line ends,
// the separator choice and number recognition.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "table/DataDocumentTable.h"
#include "table/DecimalNumber.h"
#include "table/import/ImportSeparators.h"
#include "table/import/KRBigTextFile.h"
#include "table/import/NumberRecognition.h"
#include "table/import/RichTextReader.h"
#include "table/import/TextDecoding.h"

namespace orrelin {
namespace {

using ::testing::ElementsAre;

TEST(TextDecoding, ChoosesTheEncodingFromMarksAndContent) {
  struct Case {
    std::string bytes;
    std::string text;
    std::string encoding;
  };
  const Case cases[] = {
      {"1,2\n", "1,2\n", "UTF-8"},
      {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", "UTF-8"},
      {std::string("\xFF\xFE" "a\0,\0\xE9\0", 8), "a,\xC3\xA9", "UTF-16LE"},
      {std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00", 8), "a\xF0\x9F\x98\x80", "UTF-16BE"},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.encoding;
    EXPECT_EQ(decoded.encoding, c.encoding);
  }
}

TEST(TextDecoding, EightBitTextIsDetectedAndBrokenUnitsReplaced) {
  const DecodedText latin = decodeText("caf\xE9 cr\xE8me br\xFBl\xE9" "e,temp\xE9rature\n1,2\n");
  EXPECT_NE(latin.encoding, "UTF-8");
  EXPECT_EQ(latin.text, "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e,temp\xC3\xA9rature\n1,2\n");
  // A lone high surrogate and an odd last byte.
  EXPECT_EQ(utf8FromUTF16(std::string("\x00\xD8" "a\x00" "b", 5), false), "\xEF\xBF\xBD" "a");
}

TEST(RichText, GivesThePlainTextOfTheBody) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255\\green0\\blue0;}\n"
      "{\\*\\expandedcolortbl;;}\\f0\\fs24 x\\tab y\\par\n1\\tab 2\\line 3\\tab 4\\\n"
      "caf\\'e9 \\u8364?\\{\\}\\\\ {\\b bold}}";
  EXPECT_EQ(plainTextFromRichText(rtf), "x\ty\n1\t2\n3\t4\ncaf\xC3\xA9 \xE2\x82\xAC{}\\ bold");
}

TEST(RichText, MacCodePageUnicodeSkipsAndBinaryData) {
  EXPECT_EQ(plainTextFromRichText("{\\rtf1\\mac caf\\'8e}"), "caf\xC3\xA9");
  // \uc2: two fallback characters follow each \u.
  EXPECT_EQ(plainTextFromRichText("{\\rtf1\\uc2 \\u233 xx!}"), "\xC3\xA9!");
  EXPECT_EQ(plainTextFromRichText("{\\rtf1 a{\\pict\\bin3 }}}}b}"), "ab");
  // Damaged rich text gives what it can, never more than it holds.
  EXPECT_EQ(plainTextFromRichText("{\\rtf1 a\\"), "a");
  EXPECT_EQ(plainTextFromRichText("}}}{{{"), "");
}

TEST(KRBigTextFile, EveryLineEndSplits) {
  EXPECT_THAT(KRBigTextFile::splitStringIntoLines("a\nb\r\nc\rd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(KRBigTextFile::splitStringIntoLines("a\n\n\r\r\n"), ElementsAre("a", "", "", ""));
  EXPECT_THAT(KRBigTextFile::splitStringIntoLines(std::string("a\0b\n", 4)), ElementsAre(std::string("a\0b", 3)));
  EXPECT_TRUE(KRBigTextFile::splitStringIntoLines("").empty());
}

TEST(SeparatorChoice, FollowsTheStatesOfTheLinesLookedAt) {
  struct Case {
    std::vector<std::string_view> lines;
    SeparatorChoiceOptions options;
    SeparatorSet expected;
  };
  const Case cases[] = {
      {{"1 2", "3\t4"}, {}, SeparatorSet::Tab},  // a tab on a later line too
      {{"1 2"}, {true, false, true}, SeparatorSet::Tab},
      {{"a|b;c"}, {}, SeparatorSet::Bar},
      {{"a;b", "c|d"}, {}, SeparatorSet::Semicolon},  // the first found stays
      {{"a|b", "1,2"}, {}, SeparatorSet::CommaOrTab},
      {{"1,", "2,"}, {}, SeparatorSet::Whitespace},  // a comma at the end is no separator
      {{"1 2"}, {false, true, true}, SeparatorSet::CommaOrTab},
      {{"1,5 2,5"}, {false, false, false}, SeparatorSet::TabSpaceOrSemicolon},
      {{"1,5", "2,5"}, {false, true, false}, SeparatorSet::Tab},
  };
  for (const Case& c : cases) {
    const ImportLines lines(c.lines.begin(), c.lines.end());
    EXPECT_EQ(chooseSeparator(lines, 0, c.options), c.expected) << c.lines.front();
  }
}

TEST(NumberRecognition, ReadsWhatATableUserWritesAsNumbers) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"12", 12},
      {"-3.5e2", -350},
      {"1/3", 1.0 / 3},
      {"pi", M_PI},
      {"$1,234.50", 1234.5},
      {" $5", 5},
      {"(12)", 12},
      {"\"7\"", 7},
      {"1.234,5", 1234.5},
      {"1,5", 1.5},
      {"\t\t42", 42},
      {"+5", 5},
      {"5.", 5},
      {".5", 0.5},
      {"2007:5:12", 1178928000},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {" ,$()", std::nullopt},
      {"\t \t", std::nullopt},
      {"1,2,3", std::nullopt},
      {"1e", M_E},  // 1 times the constant e
      {"x+1", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto value = numberFromImportedText(c.text);
    ASSERT_EQ(value.has_value(), c.value.has_value()) << c.text;
    if (value) {
      EXPECT_DOUBLE_EQ(*value, *c.value) << c.text;
    }
    EXPECT_EQ(DataDocumentTable::understandThisStringAsNumber(c.text), c.value.has_value()) << c.text;
  }
}

TEST(DecimalNumber, GivesTheCorrectlyRoundedDoubleOfEveryForm) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> magnitude(-320, 310);
  std::uniform_int_distribution<int> digits(1, 20);
  std::uniform_int_distribution<int> form(0, 2);
  char buffer[96];
  for (int k = 0; k < 200000; ++k) {
    const double value = std::pow(10.0, magnitude(random)) * (k % 2 ? -1 : 1);
    const char* formats[] = {"%.*g", "%.*e", "%.*f"};
    const int f = form(random);
    if (!std::isfinite(value) || (f == 2 && std::abs(value) > 1e30)) continue;
    std::snprintf(buffer, sizeof buffer, formats[f], digits(random), value);
    const std::string_view text(buffer);
    double expected = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), expected);
    const auto read = readDecimalNumber(text);
    if (error != std::errc()) {
      EXPECT_FALSE(read) << text;
      continue;
    }
    ASSERT_TRUE(read) << text;
    ASSERT_EQ(*read, expected) << text;
    ASSERT_EQ(std::signbit(*read), std::signbit(expected)) << text;
  }
  for (std::string_view bad : {"", "-", ".", "1e", "1e+", "+1", "1..2", "1.2.3", "--1", "1 ", "inf", "nan", "0x10"})
    EXPECT_FALSE(readDecimalNumber(bad)) << bad;
  EXPECT_EQ(*readDecimalNumber("-0.0"), 0.0);
  EXPECT_TRUE(std::signbit(*readDecimalNumber("-0.0")));
  EXPECT_EQ(*readDecimalNumber("9007199254740993"), 9007199254740992.0);  // 2^53 + 1 rounds to even
}

// A text shaped like a number, or like one with a flaw in it.
std::string numberLikeText(std::mt19937_64& random) {
  static constexpr char kAlphabet[] = "0123456789.eE+-,$() \tx";
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_real_distribution<double> magnitude(-30, 30);
  std::uniform_int_distribution<int> digits(1, 17);
  const int k = kind(random);
  if (k < 5) {
    const double value = std::pow(10.0, magnitude(random)) * (k % 2 ? -1 : 1);
    char buffer[64];
    const char* formats[] = {"%.*g", "%.*e", "%.*f"};
    std::snprintf(buffer, sizeof buffer, formats[k % 3], digits(random), value);
    return buffer;
  }
  std::uniform_int_distribution<int> length(1, 12);
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string text;
  for (int n = length(random); n > 0; --n) text.push_back(kAlphabet[pick(random)]);
  return text;
}

TEST(NumberRecognition, DirectReadingAgreesWithTheFormulaReader) {
  std::mt19937_64 random(7);
  long numbers = 0;
  for (int k = 0; k < 60000; ++k) {
    const std::string text = numberLikeText(random);
    const auto direct = numberFromImportedText(text);
    const auto formula = numberFromImportedTextByFormula(text);
    ASSERT_EQ(direct.has_value(), formula.has_value()) << '"' << text << '"';
    if (!direct) continue;
    ++numbers;
    if (std::isnan(*direct)) {
      EXPECT_TRUE(std::isnan(*formula)) << text;
    } else {
      EXPECT_EQ(*direct, *formula) << '"' << text << '"';
    }
  }
  // The set holds plenty of both kinds.
  EXPECT_GT(numbers, 25000);
  EXPECT_LT(numbers, 60000);
}

}  // namespace
}  // namespace orrelin
