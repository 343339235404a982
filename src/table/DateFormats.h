#pragma once
// How a date column reads its entries: the format dictionary with its kinds
// (the first key present decides), the tables of tagged patterns, the
// patterns offered by name, the display patterns and the localizations, and
// the reader a dictionary makes.
//
// A reader either reads entries or says why it cannot (an unknown tag, a
// pattern that is no date pattern, a value of the wrong type); it is made
// once per format and reused for every entry.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/PropertyList.h"

namespace orrelin {

class DateFormatter;

namespace date_text {

// Format dictionary keys, in the order that decides the kind.
inline constexpr const char* kDateAndYear = "Date and Year";
inline constexpr const char* kICUFormat = "ICU Format";
inline constexpr const char* kDate = "Date";
inline constexpr const char* kICUDayFormat = "ICU Day Format";
inline constexpr const char* kTime = "Time";
inline constexpr const char* kStartingDate = "Starting Date";
inline constexpr const char* kTimeScale = "Time Scale";
inline constexpr const char* kYear = "Year";
inline constexpr const char* kDayForTime = "Day for Time";
inline constexpr const char* kLocalization = "Localization";
// Where a column keeps them.
inline constexpr const char* kFormat = "Format";
inline constexpr const char* kDateType = "Date Type";
inline constexpr const char* kDisplayFormat = "Display Format";

// Candidate formats.
inline constexpr const char* kType = "Type";
inline constexpr const char* kTypeFull = "Full";
inline constexpr const char* kTypeFixedYear = "Fixed Year";
inline constexpr const char* kTypeFixedDay = "Fixed Day";
inline constexpr const char* kTypeICU = "ICU";
inline constexpr const char* kICUString = "ICU String";
inline constexpr const char* kDescription = "Description";
inline constexpr const char* kAppend = "Append";
inline constexpr const char* kInfo = "Info";
inline constexpr const char* kWorked = "Worked";
inline constexpr const char* kFailed = "Failed";

// The gear menu.
inline constexpr const char* kFormatsThatWork = "Data formats that work (select to pick that format)";
inline constexpr const char* kNoFormatWorks = "No format works";
inline constexpr const char* kNoEntries = "No entries in column";
inline constexpr const char* kConvertToNumber = "Convert to Number column";
inline constexpr const char* kConvertToText = "Convert to Text column";
inline constexpr const char* kSelectInvalidRows = "Select invalid rows";

// Expression columns made from a date column.
inline constexpr const char* kShiftTimeZone = "Shift time zone";
inline constexpr const char* kChangeInHours = "Change between rows (hours)";
inline constexpr const char* kChangeInDays = "Change between rows (days)";

}  // namespace date_text

// The kinds of format, numbered as the format menus tag them.
enum class DateKind { FullDate = 1, Pattern = 2, FixedYear = 3, PatternWithFixedYear = 4, FixedDay = 5, Numeric = 6 };

struct TaggedDatePattern {
  int tag;
  const char* pattern;
  const char* description;  // time patterns on a fixed day; "" otherwise
};
struct NamedDatePattern {
  const char* pattern;
  const char* description;
};
struct DateLocalization {
  int tag;
  const char* name;    // as the format menu has it
  const char* locale;  // the ICU locale that names months and weekdays
};

std::span<const TaggedDatePattern> fullDatePatterns();
std::span<const TaggedDatePattern> fixedYearDayPatterns();
// Tag 1 is "no time" (an empty pattern).
std::span<const TaggedDatePattern> timePatterns();
std::span<const NamedDatePattern> namedDatePatterns();
// Display format tags 1 ... 12 are these in order.
std::span<const char* const> displayDatePatterns();
std::span<const DateLocalization> dateLocalizations();
// The ICU locale of a localization tag (1 "us" ... 16 "is"); none for
// another tag.
std::optional<std::string> localeForLocalizationTag(std::int64_t tag);
inline constexpr int kDefaultLocalization = 1;

// A column of a fixed year or day uses these until it is given its own:
// a leap year, so that 29 February reads, and its first day.
inline constexpr const char* kDefaultYear = "2000";
inline constexpr double kDefaultDayForTime = 946684800;  // 2000-01-01 00:00 GMT

// The kind of a format dictionary: that of its first key present (in the
// order of the keys above); a full date when it has none of them.
DateKind dateKindOf(const PlistDictionary& format);

// What a format dictionary reads entries with.
struct DateReader {
  DateKind kind = DateKind::FullDate;
  // Pattern kinds: the pattern, the text appended to every entry before it
  // is read, the locale, and the formatter of the pattern and locale.
  std::string pattern;
  std::string append;
  std::string locale;
  std::shared_ptr<const DateFormatter> formatter;
  // The numeric kind: an entry n is the time startingDate + n * timeScale.
  double startingDate = 0;
  double timeScale = 1;
  // Why the format reads nothing; "" when it reads.
  std::string problem;

  bool reads() const { return problem.empty(); }
  std::optional<double> read(const std::string& entry) const;
  // count entries into values and mask (NaN and 0 where an entry does not
  // read).
  void readEntries(const std::string* entries, std::size_t count, double* values, std::uint8_t* mask) const;
};

DateReader readerForFormat(const PlistDictionary& format);
// A reader of one pattern, with text appended to every entry.
DateReader readerForPattern(const std::string& pattern, const std::string& append, const std::string& locale);

// The full date pattern of a date tag with the pattern of a time tag
// appended after a blank; none for an unknown tag.
std::optional<std::string> fullDatePattern(std::int64_t dateTag, std::int64_t timeTag);
// The candidate formats in the order they are tried: every full date tag
// with every time tag; every fixed-year day tag with every time tag, with
// the year; the fixed-day time patterns on 1 January 2000; the named
// patterns. Each has its "Type", tags or "ICU String", the "Format" (pattern)
// it reads with, the text to "Append" to every entry, and a "Description".
std::vector<PlistDictionary> candidateDateFormats(const std::string& year);
// The format dictionary that an older document's pattern text stands for:
// the tags of a full date pattern when it is one, the pattern itself
// otherwise.
PlistDictionary formatForStoredPattern(const std::string& pattern);

}  // namespace orrelin
