#include <gtest/gtest.h>

#include <cmath>

#include "platform/GregorianCalendar.h"
#include "table/DateFormats.h"
#include "table/VKDataColumnDate.h"

using namespace orrelin;
using gregorian::timeFromComponents;

namespace {

struct Entry {
  const char* what;
  PlistDictionary format;
  const char* text;
  std::optional<double> value;
};

class DateFormatKinds : public ::testing::TestWithParam<Entry> {};

TEST_P(DateFormatKinds, ReadTheEntry) {
  const Entry& e = GetParam();
  std::string problem;
  const NumberRows rows = VKDataColumnDate::parseStrings({e.text}, e.format, &problem);
  EXPECT_EQ(problem, "");
  ASSERT_EQ(rows.length(), 1);
  EXPECT_EQ(rows.included(0), e.value.has_value());
  if (e.value) {
    EXPECT_EQ(rows.value(0), *e.value);
  } else {
    EXPECT_TRUE(std::isnan(rows.value(0)));
  }
}

const PlistDate kFirstOfMarch2005{timeFromComponents(2005, 3, 1)};

INSTANTIATE_TEST_SUITE_P(
    Formats, DateFormatKinds,
    ::testing::Values(
        Entry{"FullDateTag1", {{"Date and Year", 1}}, "3/4/05", 1109894400},
        Entry{"NoKeyIsTag1", {}, "3/4/05", 1109894400},
        Entry{"FullDateWithSeconds", {{"Date and Year", 10}, {"Time", 4}}, "4/3/05 13:30:15", 1109894400 + 48615},
        Entry{"FullDateAMPM", {{"Date and Year", 1}, {"Time", 5}}, "3/4/05 1:02:03 PM", 1109894400 + 46923},
        Entry{"FullDateWithoutTheTime", {{"Date and Year", 1}, {"Time", 3}}, "3/4/05", std::nullopt},
        Entry{"GermanMonth", {{"Date and Year", 5}, {"Localization", 2}}, "März 4 2005", 1109894400},
        Entry{"FrenchMonth", {{"Date and Year", 14}, {"Localization", 3}}, "4 mars 05", 1109894400},
        Entry{"SpanishMonth", {{"Date and Year", 14}, {"Localization", 4}}, "4 mar 05", 1109894400},
        Entry{"JapaneseMonth", {{"Date and Year", 22}, {"Localization", 9}}, "05 3月 4", 1109894400},
        Entry{"EnglishMonthInGerman", {{"Date and Year", 5}, {"Localization", 2}}, "Mar 4 2005", std::nullopt},
        Entry{"FixedYear", {{"Date", 13}, {"Year", "2001"}}, "12 Jan", 979257600},
        Entry{"FixedYearWithTime", {{"Date", 1}, {"Time", 3}, {"Year", "2001"}}, "1/12 6:45", 979257600 + 24300},
        Entry{"FixedYearLeapDay", {{"Date", 1}, {"Year", "2004"}}, "2/29", timeFromComponents(2004, 2, 29)},
        Entry{"FixedYearNoLeapDay", {{"Date", 1}, {"Year", "2005"}}, "2/29", std::nullopt},
        Entry{"FixedYearDefault", {{"Date", 1}}, "2/29", timeFromComponents(2000, 2, 29)},
        Entry{"PatternWithFixedYear", {{"ICU Day Format", "MMM d"}, {"Year", 1999}}, "Dec 31", 946598400},
        Entry{"FixedDay", {{"Time", 3}, {"Day for Time", 946684800.0}}, "13:30", 946733400},
        Entry{"FixedDayAsDate", {{"Time", 2}, {"Day for Time", kFirstOfMarch2005}}, "1:30 PM", 1109683800},
        Entry{"FixedDayDefault", {{"Time", 4}}, "0:0:1", 946684801},
        Entry{"Pattern2038", {{"ICU Format", "yyyy-MM-dd HH:mm:ss"}}, "2038-01-19 03:14:08", 2147483648.0},
        Entry{"PatternBefore1970", {{"ICU Format", "M/d/yyyy h:m a"}}, "12/31/1969 11:59 PM", -60},
        Entry{"PatternCenturies", {{"ICU Format", "d.M.yyyy"}}, "15.10.1582", timeFromComponents(1582, 10, 15)},
        Entry{"Numeric", {{"Starting Date", 1109894400}, {"Time Scale", 86400}}, "1.5", 1109894400 + 129600},
        Entry{"NumericFromADate", {{"Starting Date", kFirstOfMarch2005}, {"Time Scale", 3600}}, "-2",
              1109635200 - 7200},
        Entry{"NumericInSeconds", {{"Starting Date", 0}}, "1,234.5", 1234.5},
        Entry{"NumericNotANumber", {{"Time Scale", 60}}, "soon", std::nullopt}),
    [](const auto& info) { return std::string(info.param.what); });

struct BadFormat {
  const char* what;
  PlistDictionary format;
  const char* problem;
};

class UnusableFormats : public ::testing::TestWithParam<BadFormat> {};

TEST_P(UnusableFormats, SayWhyAndReadNothing) {
  const BadFormat& b = GetParam();
  std::string problem;
  const NumberRows rows = VKDataColumnDate::parseStrings({"3/4/05", "12:30", "1"}, b.format, &problem);
  EXPECT_EQ(problem, b.problem);
  EXPECT_EQ(rows.maskVector(), (std::vector<std::uint8_t>{0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, UnusableFormats,
    ::testing::Values(
        BadFormat{"DateTag", {{"Date and Year", 8}}, "Unknown date format tag 8"},
        BadFormat{"TimeTag", {{"Date and Year", 1}, {"Time", 6}}, "Unknown time format tag 6"},
        BadFormat{"DayTag", {{"Date", 5}}, "Unknown day format tag 5"},
        BadFormat{"Localization", {{"Date and Year", 1}, {"Localization", 17}}, "Unknown localization tag 17"},
        BadFormat{"UnclosedQuote", {{"ICU Format", "yyyy 'week"}},
                  "The date format \"yyyy 'week\" cannot be used: a quote is not closed"},
        BadFormat{"NoField", {{"ICU Format", "today"}}, "The date format \"today\" cannot be used: \"t\" is no date field"},
        BadFormat{"PatternNotText", {{"ICU Format", 3}}, "The date format setting \"ICU Format\" has a value of the wrong type"},
        BadFormat{"TagNotNumber", {{"Date and Year", "one"}},
                  "The date format setting \"Date and Year\" has a value of the wrong type"},
        BadFormat{"TagNotWhole", {{"Date and Year", 1.5}},
                  "The date format setting \"Date and Year\" has a value of the wrong type"},
        BadFormat{"Year", {{"Date", 13}, {"Year", "MMXI"}}, "The year of the date format is not a year: \"MMXI\""},
        BadFormat{"FixedDayWithoutTime", {{"Time", 1}}, "A date format of a fixed day needs a time"},
        BadFormat{"Day", {{"Time", 3}, {"Day for Time", "Monday"}},
                  "The date format setting \"Day for Time\" has a value of the wrong type"},
        BadFormat{"FarDay", {{"Time", 3}, {"Day for Time", 1e300}},
                  "The date format setting \"Day for Time\" is not a day"},
        BadFormat{"Scale", {{"Starting Date", 0}, {"Time Scale", 0}}, "The time scale of the date format is 0"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DateFormatTables, OlderDocumentsPatternTextsMapToTheirTags) {
  EXPECT_EQ(formatForStoredPattern("M/d/yy"), (PlistDictionary{{"Date and Year", 1}, {"Time", 1}}));
  EXPECT_EQ(formatForStoredPattern("d. MMM yy H:m:s"), (PlistDictionary{{"Date and Year", 16}, {"Time", 4}}));
  EXPECT_EQ(formatForStoredPattern("yy/M/d h:m:s a"), (PlistDictionary{{"Date and Year", 23}, {"Time", 5}}));
  EXPECT_EQ(formatForStoredPattern("yyyy.MM.dd"), (PlistDictionary{{"ICU Format", "yyyy.MM.dd"}}));
}

TEST(DateFormatTables, EveryTaggedAndNamedPatternIsUsable) {
  for (const auto& date : fullDatePatterns())
    for (const auto& time : timePatterns())
      EXPECT_EQ(readerForFormat({{"Date and Year", date.tag}, {"Time", time.tag}}).problem, "") << date.tag;
  for (const auto& day : fixedYearDayPatterns()) EXPECT_EQ(readerForFormat({{"Date", day.tag}}).problem, "");
  for (const auto& named : namedDatePatterns())
    EXPECT_EQ(readerForPattern(named.pattern, "", "en_US").problem, "") << named.pattern;
  for (const auto& localization : dateLocalizations())
    EXPECT_EQ(readerForFormat({{"Date and Year", 5}, {"Localization", localization.tag}}).problem, "")
        << localization.name;
  EXPECT_EQ(dateLocalizations().size(), 16u);
  EXPECT_EQ(displayDatePatterns().size(), 12u);
}

}  // namespace
