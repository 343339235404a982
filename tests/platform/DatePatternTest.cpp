#include <gtest/gtest.h>

#include "platform/DatePattern.h"

using namespace orrelin;

namespace {

using Pieces = std::vector<DatePatternPiece>;

TEST(DatePattern, FieldsQuotesAndLiterals) {
  EXPECT_EQ(*splitDatePattern("yyyy-MM-dd"), (Pieces{{'y', 4, ""}, {0, 0, "-"}, {'M', 2, ""}, {0, 0, "-"}, {'d', 2, ""}}));
  // Quoted letters are text; two quotes are one, inside quotes or out.
  EXPECT_EQ(*splitDatePattern("d'T'H"), (Pieces{{'d', 1, ""}, {0, 0, "T"}, {'H', 1, ""}}));
  EXPECT_EQ(*splitDatePattern("d MMMM ''yy"), (Pieces{{'d', 1, ""}, {0, 0, " "}, {'M', 4, ""}, {0, 0, " '"}, {'y', 2, ""}}));
  EXPECT_EQ(*splitDatePattern("'o''clock' h"), (Pieces{{0, 0, "o'clock "}, {'h', 1, ""}}));
  EXPECT_EQ(*splitDatePattern(""), Pieces{});
  std::string problem;
  EXPECT_FALSE(splitDatePattern("yyyy 'week", &problem));
  EXPECT_EQ(problem, "a quote is not closed");
}

TEST(DatePattern, OnlyNumericFieldsBetweenLiteralsTakeTheShortcut) {
  for (const char* pattern : {"yyyy-MM-dd HH:mm:ss", "M/d/yy", "y-M-d k:m:s", "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'", "H:m"})
    EXPECT_TRUE(NumericDatePattern::compile(pattern)) << pattern;
  // Names, AM/PM, zones, weeks; fields that touch or are parted by a
  // digit; a field twice; no field at all.
  for (const char* pattern : {"MMM d yyyy", "h:m a", "y-M-d k:m:s Z", "YYYY-'W'ww-e", "yyyyMMdd", "d'1'M", "y y",
                              "'date'", "yyyy 'x"})
    EXPECT_FALSE(NumericDatePattern::compile(pattern)) << pattern;
}

TEST(DatePattern, TheShortcutReadsOnlyWhatFitsExactly) {
  const auto pattern = NumericDatePattern::compile("yyyy-MM-dd HH:mm:ss.SSS");
  ASSERT_TRUE(pattern);
  EXPECT_EQ(pattern->read("2005-03-04 12:30:45.123"), 1109939445.123);
  for (const char* text : {"2005-03-04 12:30:45", "2005-3-4 01:02:03.500", "2005-03-04 1:02:03.500","2005-03-04 12:30:45.123 ", " 2005-03-04 12:30:45.1",
                           "2005-02-29 00:00:00.0", "2005-13-01 00:00:00.0", "2005-00-01 00:00:00.0",
                           "2005-03-04 24:00:00.0", "2005-03-04 12:60:00.0", "2005-03-04 12:00:60.0",
                           "20050-03-04 12:00:00.0", "2005-003-04 12:00:00.0", "0000-01-01 00:00:00.0",
                           "2005-03-04 12:00:00.1234", "-2005-03-04 12:00:00.0", ""})
    EXPECT_FALSE(pattern->read(text)) << text;
  const auto twoDigits = NumericDatePattern::compile("M/d/yy");
  EXPECT_EQ(twoDigits->read("3/4/05"), 1109894400);
  EXPECT_EQ(twoDigits->read("12/31/49"), 2524521600) << "2049";
  EXPECT_EQ(twoDigits->read("1/1/50"), -631152000) << "1950";
  EXPECT_FALSE(twoDigits->read("3/4/2005")) << "ICU decides";
  const auto single = NumericDatePattern::compile("d.M.y H:m:s.S");
  EXPECT_EQ(single->read("4.3.2005 1:2:3.5"), 1109898123.5) << "a fraction is read as written";
  EXPECT_EQ(single->read("04.03.05 13:02:03.25"), 1109941323.25) << "two-digit years here too";
}

}  // namespace
