#include "table/import/FieldSplitter.h"

#include <algorithm>

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
