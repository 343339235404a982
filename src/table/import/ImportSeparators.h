#pragma once
// The field separators of the text import and how one is chosen for a text.
//
// The sets: tab; "|"; ";"; comma or tab; and the whitespace-tolerant set
// (comma, tab, space or semicolon), in which a run of separators counts as
// one so that columns aligned with spaces read as they look.

#include <cstddef>
#include <string_view>

#include "table/import/KRBigTextFile.h"

namespace orrelin {

enum class SeparatorSet { Tab, Bar, Semicolon, CommaOrTab, Whitespace, TabSpaceOrSemicolon };

bool isSeparator(SeparatorSet set, char c);
// Whether runs of separators count as one.
bool separatorRunsAreOne(SeparatorSet set);

struct SeparatorChoiceOptions {
  // The caller knows the text is tab-separated.
  bool knownToBeTab = false;
  // A date or text column is among the columns to fill: then spaces are not
  // separators, so that "3/4/05 10:30" stays one field.
  bool targetHasDateOrText = false;
  // Off: a comma never separates (the paste-special choice).
  bool allowComma = true;
};

// Looks at the lines from firstLine on, but no further than about a thousand
// characters: a tab anywhere wins, then a comma (not as a line's last
// character), then the first of "|" and ";" met, else the whitespace set.
SeparatorSet chooseSeparator(const ImportLines& lines, std::size_t firstLine, const SeparatorChoiceOptions& options);
// Whether the lines from firstLine on hold all that the choice looks at, so
// that lines after them could not change it.
bool separatorWindowComplete(const ImportLines& lines, std::size_t firstLine);

}  // namespace orrelin
