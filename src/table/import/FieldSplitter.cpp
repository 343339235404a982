#include "table/import/FieldSplitter.h"

#include <algorithm>

#include "table/NumberForms.h"

namespace orrelin {

namespace {

// U+2028 LINE SEPARATOR in UTF-8.
constexpr std::string_view kLineSeparator = "\xE2\x80\xA8";

}  // namespace

FieldSplitter::FieldSplitter(const ImportLines& lines, SeparatorSet set, std::size_t limit)
    : lines_(lines), limit_(limit) {
  for (int c = 0; c < 256; ++c) separators_[std::size_t(c)] = isSeparator(set, char(c));
  runsAreOne_ = separatorRunsAreOne(set);
  spacesSeparate_ = isSeparator(set, ' ');
  numbersReadable_ = true;
  for (char c : std::string_view("0123456789.-+e")) numbersReadable_ = numbersReadable_ && !separator(c);
}

std::size_t FieldSplitter::readPlainNumbers(std::size_t most, std::uint8_t* forms, double* values) {
  if (!numbersReadable_ || next_ >= std::min(end_, lines_.size())) return 0;
  const std::string_view line = lines_[next_];
  const char* p = line.data();
  const char* const end = p + line.size();
  std::size_t count = 0;
  for (;;) {
    // What lies between fields; anything else split() passes over (line
    // feeds, U+2028) is left to it.
    while (p < end && ((*p == ' ' && !spacesSeparate_) || (runsAreOne_ && separator(*p)))) ++p;
    if (p == end) break;
    // A record wider than asked for, or with fields past the limit to
    // count, is split.
    if (count == most || count == limit_) return 0;
    const char* stop = number_forms::readFormAt(p, end, forms[count], &values[count]);
    if (!stop) return 0;
    ++count;
    // Blanks after a field are not part of it.
    if (!spacesSeparate_)
      while (stop < end && *stop == ' ') ++stop;
    if (stop == end) break;
    if (!separator(*stop)) return 0;
    p = stop + 1;
  }
  if (count == 0) return 0;
  ++next_;
  return count;
}

std::size_t FieldSplitter::split(std::size_t index, std::vector<std::string_view>& fields) {
  fields.clear();
  made_.clear();
  incomplete_ = false;
  const std::size_t first = index;
  const long overLimitBefore = overLimit_;
  std::size_t at = 0;
  std::string_view line = lines_[index];
  for (;;) {
    // What lies between fields.
    for (;;) {
      if (at < line.size() && ((line[at] == ' ' && !spacesSeparate_) || line[at] == '\n')) {
        ++at;
      } else if (at < line.size() && line[at] == kLineSeparator[0] &&
                 line.substr(at, kLineSeparator.size()) == kLineSeparator) {
        at += kLineSeparator.size();
      } else if (runsAreOne_ && at < line.size() && separator(line[at])) {
        ++at;
      } else {
        break;
      }
    }
    if (at >= line.size()) break;
    if (line[at] == '"') {
      const std::string_view field = quotedField(index, at);
      if (incomplete_) {
        fields.clear();
        overLimit_ = overLimitBefore;
        return first;
      }
      keep(fields, field);
      line = lines_[index];
    } else {
      const std::size_t start = at;
      while (at < line.size() && !separator(line[at])) ++at;
      std::size_t stop = at;
      while (stop > start && line[stop - 1] == ' ') --stop;
      keep(fields, line.substr(start, stop - start));
    }
    if (at >= line.size()) break;
    ++at;  // the separator
  }
  return index + 1;
}

bool FieldSplitter::nextRecord(std::vector<std::string_view>& fields) {
  while (next_ < std::min(end_, lines_.size())) {
    if (lines_[next_].empty()) {
      ++next_;
      continue;
    }
    next_ = split(next_, fields);
    if (incomplete_) return false;
    if (!fields.empty()) return true;
  }
  return false;
}

void FieldSplitter::keep(std::vector<std::string_view>& fields, std::string_view field) {
  if (fields.size() < limit_)
    fields.push_back(field);
  else
    ++overLimit_;
}

std::string_view FieldSplitter::quotedField(std::size_t& index, std::size_t& at) {
  const std::size_t firstLine = index;
  std::string_view line = lines_[index];
  ++at;  // the opening quote
  // The common case, a quoted piece of one line without doubled quotes, is
  // handed out as it is.
  const std::size_t close = line.find('"', at);
  if (close != std::string_view::npos && (close + 1 >= line.size() || separator(line[close + 1]))) {
    const std::string_view field = line.substr(at, close - at);
    at = close + 1;
    return field;
  }
  std::string& field = made_.emplace_back();
  for (;;) {
    const std::size_t quote = line.find('"', at);
    if (quote == std::string_view::npos) {
      field.append(line.substr(at));
      // On over the line end, to the next line that is not empty.
      std::size_t next = index + 1;
      while (next < lines_.size() && lines_[next].empty()) ++next;
      if (next >= lines_.size() && moreToCome_) {
        incomplete_ = true;
        return {};
      }
      if (next >= lines_.size()) {
        unclosedQuoteLine_ = firstLine + 1;
        at = line.size();
        return field;
      }
      field.push_back('\n');
      index = next;
      line = lines_[index];
      at = 0;
      continue;
    }
    field.append(line.substr(at, quote - at));
    at = quote + 1;
    if (at < line.size() && line[at] == '"') {
      field.push_back('"');
      ++at;
      continue;
    }
    break;
  }
  // Text between the closing quote and the next separator is kept with the
  // field rather than lost.
  const std::size_t start = at;
  while (at < line.size() && !separator(line[at])) ++at;
  std::size_t stop = at;
  while (stop > start && line[stop - 1] == ' ') --stop;
  field.append(line.substr(start, stop - start));
  return field;
}

}  // namespace orrelin
