#pragma once
// The backslash names that labels may use for characters ("\alpha" for
// α), shared by plain and typeset text.

#include <optional>
#include <string>

namespace orrelin {

class KRSymbolTable {
 public:
  // The character of a name given without its backslash; none for a name
  // that is not in the table.
  static std::optional<std::string> characterFor(const std::string& name);
  // Every backslash name of the table replaced by its character; where one
  // name begins another ("\in", "\infty"), the longer one wins, and a name
  // followed by more letters still counts ("\euros" is "€s").
  static std::string substituteSymbols(const std::string& text);
};

}  // namespace orrelin
