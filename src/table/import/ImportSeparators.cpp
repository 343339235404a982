#include "table/import/ImportSeparators.h"

namespace orrelin {

namespace {

// The separator choice stops before a line once it has looked at more than
// this many characters.
constexpr std::size_t kLookedAtLimit = 999;

enum class Found { None, Bar, Semicolon, Comma, Tab };

bool contains(std::string_view line, char c) { return line.find(c) != std::string_view::npos; }

}  // namespace

bool isSeparator(SeparatorSet set, char c) {
  switch (set) {
    case SeparatorSet::Tab: return c == '\t';
    case SeparatorSet::Bar: return c == '|';
    case SeparatorSet::Semicolon: return c == ';';
    case SeparatorSet::CommaOrTab: return c == ',' || c == '\t';
    case SeparatorSet::Whitespace: return c == ',' || c == '\t' || c == ' ' || c == ';';
    case SeparatorSet::TabSpaceOrSemicolon: return c == '\t' || c == ' ' || c == ';';
  }
  return false;
}

bool separatorRunsAreOne(SeparatorSet set) {
  return set == SeparatorSet::Whitespace || set == SeparatorSet::TabSpaceOrSemicolon;
}

SeparatorSet chooseSeparator(const ImportLines& lines, std::size_t firstLine, const SeparatorChoiceOptions& options) {
  if (options.knownToBeTab || (firstLine < lines.size() && contains(lines[firstLine], '\t'))) return SeparatorSet::Tab;
  Found state = Found::None;
  std::size_t lookedAt = 0;
  for (std::size_t k = firstLine; k < lines.size() && lookedAt <= kLookedAtLimit; ++k) {
    const std::string_view line = lines[k];
    lookedAt += line.size();
    if (state == Found::None) {
      if (contains(line, '|'))
        state = Found::Bar;
      else if (contains(line, ';'))
        state = Found::Semicolon;
    }
    if (options.allowComma && (state == Found::None || state == Found::Bar || state == Found::Semicolon)) {
      const std::size_t comma = line.find(',');
      if (comma != std::string_view::npos && comma + 1 < line.size()) state = Found::Comma;
    }
    if (contains(line, '\t')) state = Found::Tab;
  }
  switch (state) {
    case Found::Bar: return SeparatorSet::Bar;
    case Found::Semicolon: return SeparatorSet::Semicolon;
    case Found::Comma: return SeparatorSet::CommaOrTab;
    case Found::Tab: return SeparatorSet::Tab;
    case Found::None: break;
  }
  if (!options.allowComma) return options.targetHasDateOrText ? SeparatorSet::Tab : SeparatorSet::TabSpaceOrSemicolon;
  return options.targetHasDateOrText ? SeparatorSet::CommaOrTab : SeparatorSet::Whitespace;
}

bool separatorWindowComplete(const ImportLines& lines, std::size_t firstLine) {
  std::size_t lookedAt = 0;
  for (std::size_t k = firstLine; k < lines.size(); ++k) {
    lookedAt += lines[k].size();
    if (lookedAt > kLookedAtLimit) return true;
  }
  return false;
}

}  // namespace orrelin
