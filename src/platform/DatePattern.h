#pragma once
// The pieces of a date pattern in the ICU syntax, and a reader for the
// patterns made only of numeric fields.
//
// In a pattern every run of one ASCII letter is a field ("yyyy", "M", "ss"),
// text between single quotes is literal, two single quotes stand for one,
// and every other character is literal.
//
// Most date columns hold entries such as 2005-03-04 12:30:45, whose pattern
// has only numbers between literal texts. NumericDatePattern reads those
// directly, about a hundred times faster than ICU does. It is only ever
// a shortcut: it answers when an entry has exactly the pattern's shape and
// a date the calendar has, and leaves every other entry (other digit
// counts, other white space, signs, out-of-range fields) to ICU, which then
// decides. Where it answers, it gives what ICU gives.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin {

struct DatePatternPiece {
  char letter = 0;  // the field's letter; 0 for literal text
  int count = 0;    // how often the letter repeats
  std::string literal;
  bool operator==(const DatePatternPiece&) const = default;
};

// The pieces in order, adjacent literal texts joined; none, with the
// reason, for a quote that is not closed.
std::optional<std::vector<DatePatternPiece>> splitDatePattern(std::string_view pattern, std::string* problem = nullptr);

// Two-digit years ("yy", and "y" given two digits) fall in the hundred
// years from this one on, so that 05 is 2005 and 50 is 1950 whatever the
// date today.
inline constexpr int kTwoDigitYearStart = 1950;

class NumericDatePattern {
 public:
  // None when the pattern has a field other than years (y), months as
  // numbers (M, MM), days (d), hours (H, k), minutes (m), seconds (s) and
  // fractions of seconds (S), a field twice, or two fields without literal
  // text between them (or with text that starts with a digit).
  static std::optional<NumericDatePattern> compile(std::string_view pattern);

  // The time value of a text of exactly the pattern's shape; none for any
  // other text, which ICU then reads.
  std::optional<double> read(std::string_view text) const;

 private:
  std::vector<DatePatternPiece> pieces_;
};

}  // namespace orrelin
