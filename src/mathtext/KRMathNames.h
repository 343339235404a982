#pragma once
// The backslash commands of math text and what each one is: the commands
// that take arguments, the state changers, the icons (big operators, limits,
// arrows), the upright function names, the over/under decorations, and the
// characters named by the shared symbol table and the additions of math text.

#include <optional>
#include <string>

namespace orrelin {

enum class KRMathCommandKind {
  Fraction,      // frac: two arguments
  SquareRoot,    // sqrt: an optional [index] and one argument
  StateChanger,  // colour or font style for the rest of the list
  Icon,          // a glyph: big operator, limit or arrow
  FunctionName,  // sin, log, ...: upright text
  OverUnder,     // one argument with a line, brace or accent
  Symbol,        // a character
  Unknown,       // written out as a backslash and the name
};

enum class KRMathStateChange { Color, Italic, Bold, Plain };

enum class KRMathDecoration {
  Overline,
  Underline,
  DoubleUnderline,
  Overbrace,
  Underbrace,
  Vector,
  Hat,
  Tilde,
  StrikeThrough,
};

struct KRMathCommand {
  KRMathCommandKind kind = KRMathCommandKind::Unknown;
  // Icons, function names and symbols: the text drawn.
  std::string text;
  // Icons: drawn from the symbol font (operators and arrows) rather than as
  // upright text of the current font (limits); big operators are enlarged,
  // and operators and limits take their scripts under and over them.
  bool fromSymbolFont = false;
  bool bigOperator = false;
  bool limits = false;
  KRMathStateChange change = KRMathStateChange::Plain;
  // State changers of colour: red, green, blue in 0...1.
  double red = 0, green = 0, blue = 0;
  KRMathDecoration decoration = KRMathDecoration::Overline;
};

class KRMathNames {
 public:
  // What a command name (without its backslash) means; Unknown for a name
  // found nowhere.
  static KRMathCommand commandFor(const std::string& name);
  // The character of a symbol name: the shared symbol table first, then the
  // additions of math text; none when the name is in neither.
  static std::optional<std::string> substituteUnicodeCharacters(const std::string& name);
  // The longest beginning of name that is a symbol name, as its length; 0
  // when no beginning is. "\alphax" is an alpha followed by x.
  static std::size_t longestSymbolPrefix(const std::string& name);
};

}  // namespace orrelin
