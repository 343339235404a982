#pragma once
// Dates read and written with date patterns in the ICU syntax ("M/d/yy",
// "yyyy-MM-dd'T'HH:mm:ss"), in a locale that names the months and weekdays,
// always in GMT on the Gregorian calendar (carried back before 1582), so
// that a text means the same time value wherever and whenever it is read.
// Parsing is strict: a date the calendar lacks (2/30/05) or text left over
// after the date is no date. Two-digit years fall in 1950 ... 2049.
//
// One formatter per pattern and locale serves the whole process: withPattern
// makes it on first use and hands out the same one after that. A formatter
// may be used from several threads at once; each thread that reads at the
// same time borrows a working copy of its own, so the number of ICU objects
// grows with the threads, never with the entries.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin {

class DateFormatter {
 public:
  // The formatter of the pattern in the locale (an ICU locale name such as
  // "en_US" or "de_DE"). None, with the reason in problem, for a pattern
  // with a letter that is no date field, a quote that is not closed, or no
  // field at all.
  static std::shared_ptr<const DateFormatter> withPattern(std::string_view pattern, std::string_view locale,
                                                          std::string* problem = nullptr);
  // How many ICU formatters the process has made so far.
  static long icuFormattersMade();

  ~DateFormatter();
  DateFormatter(const DateFormatter&) = delete;
  DateFormatter& operator=(const DateFormatter&) = delete;

  const std::string& pattern() const;
  const std::string& locale() const;

  // The time value of the text with suffix appended (the fixed parts of a
  // column's format, such as its year). White space around the text is not
  // part of the date. None when the whole does not read as a date.
  std::optional<double> parse(std::string_view text, std::string_view suffix = {}) const;
  // The same, by ICU alone, without the shortcut for numeric patterns.
  std::optional<double> parseWithICU(std::string_view text, std::string_view suffix = {}) const;
  // Reads count texts into values and mask (NaN and 0 where a text does not
  // read), with one working copy for the whole run.
  void parseTexts(const std::string* texts, std::size_t count, std::string_view suffix, double* values,
                  std::uint8_t* mask) const;

  // The time value as text; "" for one that is not finite.
  std::string format(double time) const;

  struct Parts;

 private:
  explicit DateFormatter(std::unique_ptr<Parts> parts);

  std::unique_ptr<Parts> parts_;
};

enum class MonthNameWidth { Abbreviated, Wide };
// The twelve month names of the locale as they stand alone (as labels of an
// axis or a menu), January first: "Jan" ... "Dec" in English.
std::vector<std::string> monthNames(std::string_view locale, MonthNameWidth width);

}  // namespace orrelin
