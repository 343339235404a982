#include "table/DateFormats.h"

#include <cmath>

#include "platform/DateFormatting.h"
#include "platform/GregorianCalendar.h"
#include "table/CellText.h"

namespace orrelin {

namespace text = date_text;

namespace {

constexpr TaggedDatePattern kFullDates[] = {
    {1, "M/d/yy", ""},       {2, "M/d yy", ""},      {3, "M-d-yy", ""},       {4, "M.d.yy", ""},
    {5, "MMM d yyyy", ""},   {6, "MMM d, yy", ""},   {7, "MMM. d, yy", ""},   {10, "d/M/yy", ""},
    {11, "d/M yy", ""},      {12, "d-M-yy", ""},     {13, "d.M.yy", ""},      {14, "d MMM yy", ""},
    {15, "d MMM, yy", ""},   {16, "d. MMM yy", ""},  {20, "yy-M-d", ""},      {21, "yy.M.d", ""},
    {22, "yy MMM d", ""},    {23, "yy/M/d", ""},
};

constexpr TaggedDatePattern kFixedYearDays[] = {
    {1, "M/d", ""},   {2, "M-d", ""},   {3, "MMM-d", ""}, {4, "MMM d", ""},
    {10, "d/M", ""},  {11, "d-M", ""},  {12, "d-MMM", ""}, {13, "d MMM", ""},
};

// In the order the fixed-day menu lists them.
constexpr TaggedDatePattern kTimes[] = {
    {1, "", ""},
    {3, "H:m", "Hour:minutes"},
    {2, "h:m a", "Hour:minutes AM/PM"},
    {4, "H:m:s", "Hour:minutes:seconds"},
    {5, "h:m:s a", "Hour:minutes:seconds AM/PM"},
};

constexpr NamedDatePattern kNamed[] = {
    {"yyyyQQQ", "YearQuarter"},
    {"QQQ yy", "Quarter year"},
    {"Q'q'yy", "Quarter 'q' year"},
    {"yyyyMMdd", "YearMonthDay"},
    {"E, d MMM y k:m:s Z", "HTTP format"},
    {"E MMM d k:m:s Z y", "ctime"},
    {"E MMM d k:m:s y", "ANSI C asctime"},
    {"E, d-MMM-y k:m:s Z", "old rfc850 HTTP format"},
    {"d/MMM/yyyy:k:m:s Z", "common logfile format"},
    {"d MMM y k:m:s Z", "HTTP format (no weekday)"},
    {"d-MMM-y k:m:s Z", "rfc850 format (no weekday)"},
    {"d-MMM-y", "day-Month-year"},
    {"d MMM y", "proposed new HTTP format (no weekday, no time)"},
    {"d/MMM/y", "common logfile format (no time, no offset)"},
    {"MMM d y", "Unix 'ls -l' format"},
    {"M-d-y h:ma", "Windows 'dir' format"},
    {"E, MMM d, y", "Weekday, Month day, year"},
    {"y-M", "Year-Month"},
    {"M-y", "Month number-Year"},
    {"MMM-y", "Month name-Year"},
    {"Y-'W'w", "Year-Wweek"},
    {"YYYY-'W'ww-e", "ISO 8601, week format"},
    {"y-M-d k:m:s Z", "ISO 8601 format with time zone"},
    {"y-M-d k:m:s", "ISO 8601 format (no zone)"},
    {"y-M-d'T'k:m:s", "ISO 8601 T as time separator"},
    {"yyyyMMdd'T'kkmmss'Z'", "ISO 8601 compact format"},
    {"yyyyMMdd'T'kkmmss.SSS'Z'", "ISO 8601 compact format (milliseconds)"},
    {"yyyyMMdd'T'kkmmss", "ISO 8601 compact format (no Z)"},
    {"yyyy-MM-dd'T'kk:mm:ss.SSS'Z'", "ISO 8601 Date with seconds and millseconds"},
    {"yyyy-MM-dd'T'kk:mm:ssZ", "ISO 8601 Date with seconds and time zone"},
    {"yyyy-MM-dd'T'kk:mm:ss'Z'", "ISO 8601 Date with seconds"},
    {"yyyyMMdd'T'kk:mm:ss'Z'", "ISO 8601 Date with seconds"},
    {"yyyyMMdd'T'kk:mm:ss.SSS'Z'", "ISO 8601 Date with seconds and millseconds"},
};

constexpr const char* kDisplay[] = {"yyyy/M/d",          "yyyy/M",      "M/d",          "d/M",
                                    "yyyy/M/d H:mm",     "yyyy/M/d H:mm:ss", "M/d H:mm:ss", "d/M H:mm:ss",
                                    "d MMMM ''yy",       "MMMM d ''yy", "d MMMM",       "MMMM d"};

constexpr DateLocalization kLocalizations[] = {
    {1, "us", "en_US"},  {2, "de", "de_DE"},  {3, "fr", "fr_FR"},  {4, "es", "es_ES"},
    {5, "it", "it_IT"},  {6, "sv", "sv_SE"},  {7, "pt", "pt_PT"},  {8, "nl", "nl_NL"},
    {9, "ja", "ja_JP"},  {10, "no", "nb_NO"}, {11, "fi", "fi_FI"}, {12, "da", "da_DK"},
    {13, "ko", "ko_KR"}, {14, "ru", "ru_RU"}, {15, "pl", "pl_PL"}, {16, "is", "is_IS"},
};

const char* patternOfTag(std::span<const TaggedDatePattern> table, std::int64_t tag) {
  for (const auto& entry : table)
    if (entry.tag == tag) return entry.pattern;
  return nullptr;
}

std::string withNumber(const char* text, std::int64_t number) { return text + std::to_string(number); }

std::string wrongType(const char* key) {
  return std::string("The date format setting \"") + key + "\" has a value of the wrong type";
}

// Reads the settings of one dictionary; the first problem met is kept.
class FormatSettings {
 public:
  explicit FormatSettings(const PlistDictionary& format) : format_(format) {}

  const PropertyList* find(const char* key) const {
    const auto found = format_.find(key);
    return found == format_.end() ? nullptr : &found->second;
  }
  // A menu tag: a whole number.
  std::int64_t tag(const char* key, std::int64_t missing) {
    const PropertyList* value = find(key);
    if (!value) return missing;
    if (value->isNumber() && value->real() == std::floor(value->real())) return value->integer();
    fail(wrongType(key));
    return missing;
  }
  std::string string(const char* key) {
    const PropertyList* value = find(key);
    if (value && value->isString()) return value->string();
    fail(wrongType(key));
    return {};
  }
  // A time value: a number of seconds since 1970 or a date.
  double time(const char* key, double missing) {
    const PropertyList* value = find(key);
    if (!value) return missing;
    if (value->isDate()) return value->date().secondsSince1970;
    if (value->isNumber() && std::isfinite(value->real())) return value->real();
    fail(wrongType(key));
    return missing;
  }
  std::string year() {
    const PropertyList* value = find(text::kYear);
    if (!value) return kDefaultYear;
    std::string year;
    if (value->isString()) year = value->string();
    else if (value->isInteger()) year = std::to_string(value->integer());
    else fail(wrongType(text::kYear));
    bool digits = !year.empty();
    for (char c : year) digits = digits && c >= '0' && c <= '9';
    if (!digits) fail("The year of the date format is not a year: \"" + year + "\"");
    return year;
  }
  void fail(std::string why) {
    if (problem.empty()) problem = std::move(why);
  }

  std::string problem;

 private:
  const PlistDictionary& format_;
};

std::string timePattern(FormatSettings& settings) {
  const std::int64_t tag = settings.tag(text::kTime, 1);
  const char* pattern = patternOfTag(kTimes, tag);
  if (!pattern) settings.fail(withNumber("Unknown time format tag ", tag));
  return pattern ? pattern : "";
}

// The pattern with the time pattern after a blank, when there is one.
std::string withTime(std::string pattern, const std::string& time) {
  return time.empty() ? pattern : pattern + " " + time;
}

}  // namespace

std::span<const TaggedDatePattern> fullDatePatterns() { return kFullDates; }
std::span<const TaggedDatePattern> fixedYearDayPatterns() { return kFixedYearDays; }
std::span<const TaggedDatePattern> timePatterns() { return kTimes; }
std::span<const NamedDatePattern> namedDatePatterns() { return kNamed; }
std::span<const char* const> displayDatePatterns() { return kDisplay; }
std::span<const DateLocalization> dateLocalizations() { return kLocalizations; }

std::optional<std::string> localeForLocalizationTag(std::int64_t tag) {
  for (const auto& localization : kLocalizations)
    if (localization.tag == tag) return localization.locale;
  return std::nullopt;
}

DateKind dateKindOf(const PlistDictionary& format) {
  static constexpr std::pair<const char*, DateKind> kDeciding[] = {
      {text::kDateAndYear, DateKind::FullDate},   {text::kICUFormat, DateKind::Pattern},
      {text::kDate, DateKind::FixedYear},         {text::kICUDayFormat, DateKind::PatternWithFixedYear},
      {text::kTime, DateKind::FixedDay},          {text::kStartingDate, DateKind::Numeric},
      {text::kTimeScale, DateKind::Numeric},
  };
  for (const auto& [key, kind] : kDeciding)
    if (format.count(key)) return kind;
  return DateKind::FullDate;
}

std::optional<std::string> fullDatePattern(std::int64_t dateTag, std::int64_t timeTag) {
  const char* date = patternOfTag(kFullDates, dateTag);
  const char* time = patternOfTag(kTimes, timeTag);
  if (!date || !time) return std::nullopt;
  return withTime(date, time);
}

PlistDictionary formatForStoredPattern(const std::string& pattern) {
  for (const auto& date : kFullDates)
    for (const auto& time : kTimes)
      if (withTime(date.pattern, time.pattern) == pattern)
        return {{text::kDateAndYear, date.tag}, {text::kTime, time.tag}};
  return {{text::kICUFormat, pattern}};
}

std::vector<PlistDictionary> candidateDateFormats(const std::string& year) {
  std::vector<PlistDictionary> candidates;
  const auto add = [&](PlistDictionary candidate, const std::string& pattern, const std::string& append,
                       const std::string& description) {
    candidate[text::kFormat] = pattern;
    candidate[text::kAppend] = append;
    candidate[text::kDescription] = description;
    candidates.push_back(std::move(candidate));
  };
  for (const auto& date : kFullDates)
    for (const auto& time : kTimes) {
      const std::string pattern = withTime(date.pattern, time.pattern);
      add({{text::kType, text::kTypeFull}, {text::kDateAndYear, date.tag}, {text::kTime, time.tag}}, pattern, "",
          pattern);
    }
  for (const auto& day : kFixedYearDays)
    for (const auto& time : kTimes) {
      const std::string pattern = withTime(day.pattern, time.pattern);
      add({{text::kType, text::kTypeFixedYear}, {text::kDate, day.tag}, {text::kTime, time.tag}}, pattern + " yyyy",
          " " + year, pattern + " in " + year);
    }
  for (const auto& time : kTimes)
    if (*time.pattern)
      add({{text::kType, text::kTypeFixedDay}, {text::kTime, time.tag}}, std::string(time.pattern) + " M/d/yyyy",
          " 1/1/2000", time.description);
  for (const auto& named : kNamed)
    add({{text::kType, text::kTypeICU}, {text::kICUString, named.pattern}}, named.pattern, "", named.description);
  return candidates;
}

DateReader readerForPattern(const std::string& pattern, const std::string& append, const std::string& locale) {
  DateReader reader;
  reader.kind = DateKind::Pattern;
  reader.pattern = pattern;
  reader.append = append;
  reader.locale = locale;
  std::string why;
  reader.formatter = DateFormatter::withPattern(pattern, locale, &why);
  if (!reader.formatter) reader.problem = "The date format \"" + pattern + "\" cannot be used: " + why;
  return reader;
}

DateReader readerForFormat(const PlistDictionary& format) {
  FormatSettings settings(format);
  const DateKind kind = dateKindOf(format);
  const std::int64_t localization = settings.tag(text::kLocalization, kDefaultLocalization);
  const auto locale = localeForLocalizationTag(localization);
  if (!locale) settings.fail(withNumber("Unknown localization tag ", localization));

  std::string pattern, append;
  switch (kind) {
    case DateKind::FullDate: {
      const std::int64_t tag = settings.tag(text::kDateAndYear, 1);
      const char* date = patternOfTag(kFullDates, tag);
      if (!date) settings.fail(withNumber("Unknown date format tag ", tag));
      pattern = withTime(date ? date : "", timePattern(settings));
      break;
    }
    case DateKind::Pattern:
      pattern = settings.string(text::kICUFormat);
      break;
    case DateKind::FixedYear: {
      const std::int64_t tag = settings.tag(text::kDate, 1);
      const char* day = patternOfTag(kFixedYearDays, tag);
      if (!day) settings.fail(withNumber("Unknown day format tag ", tag));
      pattern = withTime(day ? day : "", timePattern(settings)) + " yyyy";
      append = " " + settings.year();
      break;
    }
    case DateKind::PatternWithFixedYear:
      pattern = settings.string(text::kICUDayFormat) + " yyyy";
      append = " " + settings.year();
      break;
    case DateKind::FixedDay: {
      const std::string time = timePattern(settings);
      if (time.empty() && settings.problem.empty()) settings.fail("A date format of a fixed day needs a time");
      const auto day = gregorian::dateComponents(settings.time(text::kDayForTime, kDefaultDayForTime));
      if (!day) settings.fail(std::string("The date format setting \"") + text::kDayForTime + "\" is not a day");
      pattern = time + " M/d/yyyy";
      if (day) append = " " + std::to_string(day->month) + "/" + std::to_string(day->day) + "/" + std::to_string(day->year);
      break;
    }
    case DateKind::Numeric: {
      // The entries count units of "Time Scale" seconds from "Starting
      // Date": 86400 for days, 3600 for hours; without a scale, seconds.
      DateReader reader;
      reader.kind = kind;
      reader.startingDate = settings.time(text::kStartingDate, 0);
      reader.timeScale = settings.time(text::kTimeScale, 1);
      if (reader.timeScale == 0) settings.fail("The time scale of the date format is 0");
      reader.problem = settings.problem;
      return reader;
    }
  }
  if (!settings.problem.empty()) {
    DateReader reader;
    reader.kind = kind;
    reader.problem = settings.problem;
    return reader;
  }
  DateReader reader = readerForPattern(pattern, append, *locale);
  reader.kind = kind;
  return reader;
}

std::optional<double> DateReader::read(const std::string& entry) const {
  double value = 0;
  std::uint8_t valid = 0;
  readEntries(&entry, 1, &value, &valid);
  if (!valid) return std::nullopt;
  return value;
}

void DateReader::readEntries(const std::string* entries, std::size_t count, double* values, std::uint8_t* mask) const {
  if (formatter) {
    formatter->parseTexts(entries, count, append, values, mask);
    return;
  }
  for (std::size_t k = 0; k < count; ++k) {
    values[k] = std::nan("");
    mask[k] = 0;
    if (kind != DateKind::Numeric || !reads()) continue;
    // Plain numbers only: a formula that names a parameter is no count of units.
    const CellReading reading = readCellText(entries[k]);
    if (!reading.valid || reading.expression) continue;
    values[k] = startingDate + reading.value * timeScale;
    mask[k] = std::isfinite(values[k]) ? 1 : 0;
  }
}

}  // namespace orrelin
