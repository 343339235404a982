#include "platform/DatePattern.h"

#include <cstdint>

#include "platform/GregorianCalendar.h"

namespace orrelin {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

void addLiteral(std::vector<DatePatternPiece>& pieces, std::string_view text) {
  if (text.empty()) return;
  if (pieces.empty() || pieces.back().letter != 0) pieces.push_back({});
  pieces.back().literal += text;
}

// The fields the shortcut reads, and the most letters each may repeat.
struct FieldRule {
  char letter;
  int largestCount;
};
constexpr FieldRule kFieldRules[] = {{'y', 99}, {'M', 2}, {'d', 99}, {'H', 99}, {'k', 99},
                                     {'m', 99}, {'s', 99}, {'S', 99}};

const FieldRule* ruleFor(const DatePatternPiece& piece) {
  for (const auto& rule : kFieldRules)
    if (rule.letter == piece.letter && piece.count <= rule.largestCount) return &rule;
  return nullptr;
}

// Whether the shortcut is sure of a field of so many digits. ICU's strict
// reading takes fewer digits than letters in some places and not in
// others; those entries, and years of more than four digits, go to ICU.
bool digitsFit(const DatePatternPiece& piece, int digits) {
  if (piece.count >= 2) return digits == piece.count;
  return digits >= 1 && digits <= (piece.letter == 'y' ? 4 : piece.letter == 'S' ? 3 : 2);
}

}  // namespace

std::optional<std::vector<DatePatternPiece>> splitDatePattern(std::string_view pattern, std::string* problem) {
  std::vector<DatePatternPiece> pieces;
  std::size_t k = 0;
  while (k < pattern.size()) {
    const char c = pattern[k];
    if (c == '\'') {
      if (k + 1 < pattern.size() && pattern[k + 1] == '\'') {
        addLiteral(pieces, "'");
        k += 2;
        continue;
      }
      // Quoted text runs to the next single quote; two inside stand for one.
      std::string quoted;
      std::size_t p = k + 1;
      while (true) {
        const std::size_t close = pattern.find('\'', p);
        if (close == std::string_view::npos) {
          if (problem) *problem = "a quote is not closed";
          return std::nullopt;
        }
        quoted.append(pattern.substr(p, close - p));
        if (close + 1 < pattern.size() && pattern[close + 1] == '\'') {
          quoted += '\'';
          p = close + 2;
          continue;
        }
        k = close + 1;
        break;
      }
      addLiteral(pieces, quoted);
    } else if (isAsciiLetter(c)) {
      std::size_t end = k;
      while (end < pattern.size() && pattern[end] == c) ++end;
      pieces.push_back({c, int(end - k), {}});
      k = end;
    } else {
      addLiteral(pieces, pattern.substr(k, 1));
      ++k;
    }
  }
  return pieces;
}

std::optional<NumericDatePattern> NumericDatePattern::compile(std::string_view pattern) {
  auto pieces = splitDatePattern(pattern);
  if (!pieces) return std::nullopt;
  std::string lettersSeen;
  bool anyField = false;
  for (std::size_t k = 0; k < pieces->size(); ++k) {
    const auto& piece = (*pieces)[k];
    if (piece.letter == 0) {
      // A field's digits end where the text after it starts.
      if (k > 0 && isDigit(piece.literal.front())) return std::nullopt;
      continue;
    }
    if (!ruleFor(piece) || lettersSeen.find(piece.letter) != std::string::npos) return std::nullopt;
    if (k + 1 < pieces->size() && (*pieces)[k + 1].letter != 0) return std::nullopt;
    lettersSeen += piece.letter;
    anyField = true;
  }
  if (!anyField) return std::nullopt;
  NumericDatePattern compiled;
  compiled.pieces_ = std::move(*pieces);
  return compiled;
}

std::optional<double> NumericDatePattern::read(std::string_view text) const {
  std::int64_t year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
  std::size_t at = 0;
  for (const auto& piece : pieces_) {
    if (piece.letter == 0) {
      if (text.substr(at, piece.literal.size()) != piece.literal) return std::nullopt;
      at += piece.literal.size();
      continue;
    }
    std::size_t end = at;
    std::int64_t value = 0;
    while (end < text.size() && isDigit(text[end]) && end - at < 9) value = value * 10 + (text[end++] - '0');
    const int digits = int(end - at);
    if (!digitsFit(piece, digits)) return std::nullopt;
    at = end;
    switch (piece.letter) {
      case 'y':
        if (piece.count <= 2 && digits == 2) value += value < kTwoDigitYearStart % 100 ? 2000 : 1900;
        if (value < 1) return std::nullopt;
        year = value;
        break;
      case 'M': month = value; break;
      case 'd': day = value; break;
      case 'H': hour = value; break;
      case 'k':
        if (value < 1 || value > 23) return std::nullopt;  // 24 is midnight; ICU says which one
        hour = value;
        break;
      case 'm': minute = value; break;
      case 's': second = value; break;
      case 'S':
        // Fractions are read as written: 5 is half a second.
        for (int d = digits; d < 3; ++d) value *= 10;
        millisecond = value;
        break;
    }
  }
  if (at != text.size()) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > gregorian::daysInMonth(year, int(month)) || hour > 23 ||
      minute > 59 || second > 59)
    return std::nullopt;
  // Whole milliseconds first, as ICU counts them, so both give the same double.
  const std::int64_t milliseconds = gregorian::daysFromCivil(year, month, day) * 86400000 + hour * 3600000 +
                                    minute * 60000 + second * 1000 + millisecond;
  return double(milliseconds) / 1000;
}

}  // namespace orrelin
