#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "TableTestSupport.h"
#include "graph/dependency/VKOperationQueue.h"
#include "platform/DateFormatting.h"
#include "platform/GregorianCalendar.h"
#include "support/TemporaryFolder.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;
using gregorian::timeFromComponents;

namespace {

std::shared_ptr<VKDataColumnDate> dateColumn(const std::vector<std::string>& entries, const PlistDictionary& format) {
  auto column = VKDataColumnDate::createEmptyFor();
  column->setFormat(format);
  column->setStringList(entries);
  return column;
}

// The column through its stored form, as a document saves and reads it.
ColumnPtr reloaded(OrrelinColumn& column, const std::string& package = "") {
  PlistDictionary info;
  if (!package.empty()) info["Wrapper"] = package;
  const PropertyList description = column.propertyListDescription(info);
  const auto data = column.propertyToSaveWithInfo(info);
  return createColumnFromDescription(description, data ? &*data : nullptr, package);
}

TEST(DateColumn, ValuesSurviveTypingFormatChangesAndReloading) {
  auto dates = dateColumn({"3/4/05", "not yet", "12/31/69"}, {{"Date and Year", 1}});
  EXPECT_EQ(validValues(*dates)[0], 1109894400);
  EXPECT_FALSE(dates->validEntryAtIndex(1));
  EXPECT_EQ(validValues(*dates)[2], -86400) << "two-digit 69 is 1969";
  EXPECT_EQ(dates->whyNoValues(), "");

  // A typed cell is read as it comes, also past the end.
  const auto serial = dates->serialNumber();
  dates->modifyCell("3/5/05", 1);
  dates->modifyCell("1/1/70", 4);
  EXPECT_GT(dates->serialNumber(), serial);
  EXPECT_EQ(maskOf(*dates), (std::vector<int>{1, 1, 1, 0, 1}));
  EXPECT_EQ(validValues(*dates)[1], 1109894400 + 86400);
  EXPECT_EQ(validValues(*dates)[4], 0);

  // Rows move with their values; new rows are read.
  dates->addRowIndices({0}, {"2/29/04"});
  dates->reorderRows({1, 0});
  dates->removeRowNumbers({4});
  EXPECT_EQ(dates->stringList(), (std::vector<std::string>{"3/4/05", "2/29/04", "3/5/05", "12/31/69", "1/1/70"}));
  EXPECT_EQ(validValues(*dates)[1], timeFromComponents(2004, 2, 29));

  // Another format reads every entry again.
  dates->setFormat({{"Date and Year", 10}});
  EXPECT_EQ(validValues(*dates)[0], timeFromComponents(2005, 4, 3));
  EXPECT_FALSE(dates->validEntryAtIndex(1)) << "no 29th month";
  EXPECT_EQ(dates->format(), (PlistDictionary{{"Date and Year", 10}}));
  EXPECT_EQ(dates->formatState(), 1);

  const auto copy = reloaded(*dates);
  ASSERT_TRUE(copy && copy->isDateColumn());
  EXPECT_EQ(copy->stringList(), dates->stringList());
  EXPECT_TRUE(sameValues(validValues(*copy), validValues(*dates)));
  EXPECT_EQ(std::static_pointer_cast<VKDataColumnDate>(copy)->format(), dates->format());
}

TEST(DateColumn, OlderAndLooseFormsOfTheFormatRead) {
  // An older document keeps the pattern text itself; a description may list
  // the dictionary's keys loose.
  const PropertyList english(PlistArray{"4 Mar 05", "4 Mar. 05"});
  auto older = createColumnFromDescription(PlistDictionary{{"Type", "Date"}, {"Format", "d MMM yy"}}, &english);
  ASSERT_TRUE(older);
  EXPECT_EQ(std::static_pointer_cast<VKDataColumnDate>(older)->format(),
            (PlistDictionary{{"Date and Year", 14}, {"Time", 1}}));
  EXPECT_EQ(older->valueAtRow(0), 1109894400);
  EXPECT_FALSE(older->validEntryAtIndex(1));
  const PropertyList german(PlistArray{"4. März 05"});
  auto loose = createColumnFromDescription(
      PlistDictionary{{"Type", "Date"}, {"Date and Year", 16}, {"Localization", 2}}, &german);
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->valueAtRow(0), 1109894400);
  // Written again, what was read stays as it was stored.
  EXPECT_EQ(*older->propertyListDescription().find("Format"), PropertyList("d MMM yy"));
  EXPECT_EQ(*loose->propertyListDescription().find("Date and Year"), PropertyList(16));
}

TEST(DateColumn, LongColumnsKeepTheirValuesInAFileOfThePackage) {
  TemporaryFolder package;
  std::vector<std::string> entries;
  for (int k = 0; k < 1500; ++k) entries.push_back(std::to_string(k % 12 + 1) + "/" + std::to_string(k % 28 + 1) + "/" +
                                                   std::to_string(k % 100));
  entries[7] = "?";
  auto dates = dateColumn(entries, {{"Date and Year", 1}});
  PlistDictionary info{{"Wrapper", package.root()}};
  const PropertyList description = dates->propertyListDescription(info);
  ASSERT_EQ(description.stringForKey("File Name"), "Column 1.mvbin");
  EXPECT_TRUE(dates->binaryFileSameAsData());
  const auto data = dates->propertyToSaveWithInfo(info);
  auto copy = createColumnFromDescription(description, &*data, package.root());
  EXPECT_TRUE(std::static_pointer_cast<VKDataColumnDate>(copy)->binaryFileSameAsData()) << "values came from the file";
  EXPECT_EQ(maskOf(*copy), maskOf(*dates));
  EXPECT_TRUE(sameValues(validValues(*copy), validValues(*dates)));
  // A file that does not fit the entries is passed over and they are read.
  PlistDictionary shorter = description.dictionary();
  const PropertyList fewer(PlistArray(entries.begin(), entries.begin() + 1200));
  auto cut = createColumnFromDescription(shorter, &fewer, package.root());
  EXPECT_EQ(cut->howManyEntries(), 1200);
  EXPECT_FALSE(std::static_pointer_cast<VKDataColumnDate>(cut)->binaryFileSameAsData());
  EXPECT_EQ(cut->valueAtRow(1199), dates->valueAtRow(1199));
  // An edit means the file no longer holds the values.
  dates->modifyCell("1/1/01", 3);
  EXPECT_FALSE(dates->binaryFileSameAsData());
}

TEST(DateColumn, RowTextsShowDatesInTheDisplayFormat) {
  auto dates = dateColumn({"3/4/05", "3/5/05", "bad", ""}, {{"Date and Year", 1}});
  EXPECT_EQ(dates->stringVersionForRow(0), "2005/3/4") << "midnights show the date alone";
  EXPECT_EQ(dates->stringVersionForRow(2), "bad");
  EXPECT_EQ(dates->stringVersionForRow(4), "out of bounds");
  EXPECT_EQ(dates->stringVersionForRow(-1), "out of bounds");
  EXPECT_EQ(dates->editStringVersionForRow(0), "3/4/05");
  EXPECT_EQ(dates->toolTipForRow(0), "Friday 4 March 2005, 00:00:00 GMT");
  EXPECT_EQ(dates->toolTipForRow(2), "Not a date in the format \"M/d/yy\"");
  EXPECT_EQ(dates->toolTipForRow(3), "");
  EXPECT_EQ(dates->invalidRows(), (std::vector<long>{2}));

  dates->setFormat({{"Date and Year", 1}, {"Time", 3}, {"Localization", 3}});
  dates->setStringList({"3/4/05 13:30", "3/4/05 0:00"});
  EXPECT_EQ(dates->stringVersionForRow(0), "2005/3/4 13:30") << "whole minutes show hours and minutes";
  dates->modifyCell("3/4/05 13:30", 1);
  dates->setDisplayFormatSelector(9);
  EXPECT_EQ(dates->stringVersionForRow(1), "4 mars '05");
  EXPECT_EQ(dates->toolTipForRow(0), "vendredi 4 mars 2005, 13:30:00 GMT");
  dates->setDisplayFormatSelector(6);
  EXPECT_EQ(dates->stringVersionForRow(1), "2005/3/4 13:30:00");

  dates->setFormat({{"Date and Year", 99}});
  EXPECT_EQ(dates->whyNoValues(), "Unknown date format tag 99");
  EXPECT_EQ(dates->toolTipForRow(0), "Unknown date format tag 99");
  EXPECT_EQ(dates->stringVersionForRow(0), "3/4/05 13:30");
}

TEST(DateColumn, CandidateFormatsForMixedEntries) {
  auto mixed = dateColumn({"3/4/05", "", "25/12/05", "4/3/05"}, {});
  const auto candidates = mixed->formatsThatWork();
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(candidates[0], (PlistDictionary{{"Type", "Full"},
                                            {"Date and Year", 1},
                                            {"Time", 1},
                                            {"Format", "M/d/yy"},
                                            {"Description", "M/d/yy"},
                                            {"Append", ""},
                                            {"Info", PlistDictionary{{"Worked", 2}, {"Failed", 1}}}}));
  for (const auto& candidate : candidates) EXPECT_GT(candidate.at("Info").find("Worked")->integer(), 0);
  // Day first reads all three; it comes after every month-first tag.
  EXPECT_TRUE(mixed->pickAGoodFormat());
  EXPECT_EQ(mixed->format(), (PlistDictionary{{"Date and Year", 10}, {"Time", 1}}));
  EXPECT_EQ(mixed->valueAtRow(2), timeFromComponents(2005, 12, 25));

  // Days without a year take the column's year; times alone a fixed day.
  auto days = dateColumn({"12 Jan", "3 Feb"}, {{"ICU Format", "yyyy"}, {"Year", "2001"}, {"Localization", 1}});
  EXPECT_TRUE(days->pickAGoodFormat());
  EXPECT_EQ(days->format(), (PlistDictionary{{"Date", 13}, {"Time", 1}, {"Year", "2001"}, {"Localization", 1}}));
  EXPECT_EQ(days->valueAtRow(0), 979257600);
  auto times = dateColumn({"13:30", "9:05"}, {{"Time", 4}, {"Day for Time", 0.0}});
  EXPECT_TRUE(times->pickAGoodFormat());
  EXPECT_EQ(times->format(), (PlistDictionary{{"Time", 3}, {"Day for Time", 0.0}}));
  EXPECT_EQ(times->valueAtRow(1), 9 * 3600 + 300);
  auto iso = dateColumn({"2005-03-04T12:30:45", "2005-03-05T00:00:00"}, {});
  EXPECT_TRUE(iso->pickAGoodFormat());
  EXPECT_EQ(iso->format(), (PlistDictionary{{"ICU Format", "y-M-d'T'k:m:s"}}));

  EXPECT_FALSE(dateColumn({"someday", "3/4/05"}, {})->pickAGoodFormat());
  EXPECT_EQ(dateColumn({"someday"}, {})->gearMenuTitles(),
            (std::vector<std::string>{"No format works", "Convert to Number column", "Convert to Text column",
                                      "Select invalid rows"}));
  EXPECT_EQ(dateColumn({" ", ""}, {})->gearMenuTitles().front(), "No entries in column");
  const auto titles = iso->gearMenuTitles();
  EXPECT_EQ(titles.front(), "Data formats that work (select to pick that format)");
  EXPECT_EQ(titles[1], "ISO 8601 T as time separator");

  // The counts come from the first entries only.
  const auto formatter = DateFormatter::withPattern("M/d yyyy", "en_US");
  EXPECT_EQ(VKDataColumnDate::tryFormat(*formatter, {"1/2", "x", "", "3/4", "y"}, " 2001", 4),
            (PlistDictionary{{"Worked", 2}, {"Failed", 1}}));
}

TEST(DateColumn, ConversionsKeepValuesAndIdentity) {
  auto document = TestDocument::create();
  auto seconds = dateColumn({"0", "86400.5", "x"}, {{"Starting Date", 0}, {"Time Scale", 1}});
  seconds->setName("when");
  document->table->insertColumn(seconds, 1);
  const auto identity = seconds->columnSerialNumber();
  seconds->setDisplayFormatSelector(1);

  auto text = seconds->convertToStringColumn();
  EXPECT_EQ(text->stringList(), (std::vector<std::string>{"1970/1/1", "1970/1/2", "x"}));
  EXPECT_EQ(text->name(), "when");
  ASSERT_TRUE(document->table->replacedColumn(seconds, text));
  EXPECT_EQ(text->columnSerialNumber(), identity);

  auto numbers = seconds->convertToSpecifiedColumn();
  EXPECT_EQ(numbers->stringList(), (std::vector<std::string>{"0", "86400.5", ""}));
  EXPECT_EQ(numbers->columnSerialNumber(), identity);

  // Texts become dates in the format that reads them all; numbers without
  // texts count seconds.
  auto typed = VKDataColumnString::createEmptyFor();
  typed->setStringList({"2005-03-04 10:00:00", "2005-03-04 11:00:00"});
  auto fromText = typed->convertToDateColumn();
  EXPECT_EQ(fromText->valueAtRow(1), 1109894400 + 39600);
  auto binary = VKDataColumnBinary::createEmptyFor();
  binary->setNumbers({1109894400, 7}, {1, 0});
  auto fromNumbers = binary->convertToDateColumn();
  EXPECT_EQ(maskOf(*fromNumbers), (std::vector<int>{1, 0}));
  EXPECT_EQ(fromNumbers->stringVersionForRow(0), "2005/3/4");
  EXPECT_FALSE(fromNumbers->convertToDateColumn()) << "already dates";
}

TEST(DateColumn, ShortcutsMakeExpressionColumnsOfTheValues) {
  auto document = TestDocument::create();
  auto dates = dateColumn({"3/4/05 0:00", "3/4/05 6:00", "3/6/05 6:00"}, {{"Date and Year", 1}, {"Time", 3}});
  dates->setName("a b");
  document->table->insertColumn(dates, 1);
  std::vector<std::vector<double>> results;
  for (const auto& title : VKDataColumnDate::mappingShortcutTitles()) {
    auto column = dates->columnForMappingShortcut(title);
    ASSERT_TRUE(column) << title;
    document->table->insertColumn(column, document->table->numberOfColumns());
    EXPECT_EQ(column->errorMessage(), "") << column->expressionString();
    results.push_back(validValues(*column));
  }
  EXPECT_EQ(results[0], (std::vector<double>{1109905200, 1109926800, 1110099600}));
  EXPECT_EQ(results[1][1], 6);
  EXPECT_EQ(results[2][2], 2);
  EXPECT_FALSE(dates->columnForMappingShortcut("Something else"));
  EXPECT_FALSE(VKDataColumnDate::createEmptyFor()->columnForMappingShortcut("Shift time zone")) << "no name to use";
}

TEST(DateColumn, LongColumnsReadTheSameOnEveryProcessor) {
  std::vector<std::string> entries;
  for (int k = 0; k < 30000; ++k)
    entries.push_back(k % 101 ? std::to_string(k % 28 + 1) + " Mar " + std::to_string(1900 + k % 300) : "never");
  const PlistDictionary format{{"ICU Format", "d MMM yyyy"}};
  const long before = DateFormatter::icuFormattersMade();
  const NumberRows shared = VKDataColumnDate::parseStrings(entries, format);
  EXPECT_LE(DateFormatter::icuFormattersMade() - before, long(VKOperationQueue::shared().threadLimit()) + 1);
  auto one = dateColumn({}, format);
  for (long k = 0; k < long(entries.size()); k += 7) {
    const auto alone = one->timeInSecondsFromString(entries[std::size_t(k)]);
    ASSERT_EQ(shared.included(k), alone.has_value()) << entries[std::size_t(k)];
    if (alone) {
      ASSERT_EQ(shared.value(k), *alone);
    }
  }
  EXPECT_TRUE(one->understandsString("1 Mar 2001"));
  EXPECT_FALSE(one->understandsString("never"));
}

// A date column that is only made, or whose format is set, makes no ICU
// formatter until it reads an entry: the document makes a column of every
// kind just to learn what data it takes. Threads that read first, at once,
// share one.
TEST(DateColumn, TheFormatterIsMadeWhenTheFirstEntryIsRead) {
  // A pattern of no other test, so that no formatter of it is shared yet.
  const PlistDictionary format{{"ICU Format", "yyyy-MM-dd 'first read'"}};
  const long before = DateFormatter::icuFormattersMade();
  auto dates = VKDataColumnDate::createEmptyFor();
  EXPECT_TRUE(columnTypeTakesDataEntry(dates->type()));
  dates->setFormat({{"ICU Format", "d MMM yyyy 'never read'"}});
  dates->setFormat(format);
  EXPECT_EQ(DateFormatter::icuFormattersMade(), before);

  std::vector<std::thread> readers;
  std::vector<int> understood(4, 0);
  for (auto& result : understood)
    readers.emplace_back([&dates, &result] { result = dates->understandsString("2005-03-04 first read"); });
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(understood, (std::vector<int>(4, 1)));
  EXPECT_EQ(DateFormatter::icuFormattersMade(), before + 1);

  // A changed format is the one entries are read with.
  dates->setStringList({"2005-03-04 first read", "3/4/05"});
  EXPECT_EQ(maskOf(*dates), (std::vector<int>{1, 0}));
  dates->setFormat({{"Date and Year", 1}});
  EXPECT_EQ(maskOf(*dates), (std::vector<int>{0, 1}));
  EXPECT_EQ(validValues(*dates)[1], 1109894400);
}

TEST(DateColumn, AFarOffTimeZoneChangesNothing) {
  const std::vector<std::string> entries{"3/4/05 0:00", "12/31/69 23:59", "1/19/38 3:14"};
  const PlistDictionary format{{"Date and Year", 1}, {"Time", 3}};
  const auto values = [&] { return VKDataColumnDate::parseStrings(entries, format).valueVector(); };
  const auto here = values();
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  for (const char* zone : {"Pacific/Kiritimati", "Pacific/Pago_Pago", "Asia/Kathmandu"}) {
    setenv("TZ", zone, 1);
    tzset();
    EXPECT_EQ(values(), here) << zone;
    EXPECT_EQ(dateColumn(entries, format)->stringVersionForRow(0), "2005/3/4 0:00") << zone;
  }
  if (before) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  EXPECT_EQ(here[0], 1109894400);
}

}  // namespace
