#pragma once
// Splits the lines of a text into fields with one separator set.
//
// Spaces before a field are skipped (unless spaces separate), as are line
// feeds and U+2028. A field that starts with a double quote runs to the
// matching quote, two quotes inside standing for one; when the quote is not
// closed on its line the field goes on over the following non-empty lines,
// each line end becoming part of it. Any other field runs to the next
// separator, without the blanks before it; a field with nothing before the
// separator is empty, except that in the sets where runs of separators count
// as one the run is skipped first. A separator at the very end of a line
// starts no further field.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/import/ImportSeparators.h"

namespace orrelin {

class FieldSplitter {
 public:
  // A record gives at most `limit` fields; the others are only counted.
  FieldSplitter(const ImportLines& lines, SeparatorSet set, std::size_t limit = SIZE_MAX);

  // The fields of the record that starts at line `index`; gives the index of
  // the line after the record (further than index + 1 when a quoted field
  // ran over line ends). The views stay valid until the next call.
  std::size_t split(std::size_t index, std::vector<std::string_view>& fields);

  // Records one after another from line `from` on, passing over empty lines
  // and records without fields; false at line `to` (a quoted field may run
  // on past it). position() is the line the next record starts at or after.
  void startAt(std::size_t from, std::size_t to = SIZE_MAX) {
    next_ = from;
    end_ = to;
  }
  bool nextRecord(std::vector<std::string_view>& fields);
  std::size_t position() const { return next_; }
  // The record at position() when it is nothing but numbers in forms (see
  // NumberForms.h), at most `most` of them, each followed by the separator or
  // the line's end: their forms and numbers, read in the one pass that finds
  // the fields. Gives the count and moves on past the line. Gives 0 and stays
  // where it is for any other record (quotes, empty fields, texts, blanks
  // inside a field, an empty line), which nextRecord() then splits; a record
  // read here has the fields that split() gives it, in the forms and with
  // the numbers that readInForm gives them.
  std::size_t readPlainNumbers(std::size_t most, std::uint8_t* forms, double* values);
  std::size_t lineCount() const { return lines_.size(); }
  std::size_t lineLength(std::size_t line) const { return lines_[line].size(); }

  // When the lines are the first part of a text that goes on, a quoted field
  // still open at the last line may close further on: the record is then
  // not split. split() gives back its own index with no fields, nextRecord()
  // stops with position() at the record's first line, and incomplete() says
  // so. Off by default: the lines are the whole text.
  void setMoreToCome(bool more) { moreToCome_ = more; }
  bool incomplete() const { return incomplete_; }

  // The line (counted from 1) on which a quoted field started that was still
  // open at the end of the text.
  std::optional<std::size_t> unclosedQuoteLine() const { return unclosedQuoteLine_; }
  // Fields past the limit, over all records so far.
  long fieldsOverLimit() const { return overLimit_; }

 private:
  bool separator(char c) const { return separators_[static_cast<unsigned char>(c)]; }
  void keep(std::vector<std::string_view>& fields, std::string_view field);
  // From the opening quote at `at` of line `index`: the field, and where
  // reading goes on (line and position).
  std::string_view quotedField(std::size_t& index, std::size_t& at);

  const ImportLines& lines_;
  std::array<bool, 256> separators_{};
  bool runsAreOne_ = false;
  bool spacesSeparate_ = false;
  // No character of a number separates, so a number read up to a separator
  // is the whole field.
  bool numbersReadable_ = false;
  // Fields that are not a piece of one line (doubled quotes, line ends).
  std::deque<std::string> made_;
  std::optional<std::size_t> unclosedQuoteLine_;
  std::size_t limit_;
  std::size_t next_ = 0;
  std::size_t end_ = SIZE_MAX;
  long overLimit_ = 0;
  bool moreToCome_ = false;
  bool incomplete_ = false;
};

}  // namespace orrelin
