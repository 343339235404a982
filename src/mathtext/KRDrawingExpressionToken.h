#pragma once
// The tokens of math text and their grouping by braces.
//
// A text is cut into three kinds of token: a character
// (KRDrawingExpressionTokenCharacter), a markup symbol
// (KRDrawingExpressionTokenCommand: "{", "}", "^" or "_") and a backslash
// command with its name (KRDrawingExpressionTokenCommandString). Grouping
// then turns every pair of matching braces into one token that holds the
// tokens between them.

#include <string>
#include <string_view>
#include <vector>

namespace orrelin {

struct KRDrawingExpressionToken {
  enum class Kind {
    Character,      // text holds one character (UTF-8)
    Command,        // type: 0 "{", 1 "}", 2 "^", 3 "_"
    CommandString,  // text holds the name (letters only, possibly empty)
    Group,          // made by grouping: the tokens between matching braces
  };
  enum CommandType { OpenBrace = 0, CloseBrace = 1, Superscript = 2, Subscript = 3 };

  Kind kind = Kind::Character;
  std::string text;
  int type = 0;
  std::vector<KRDrawingExpressionToken> group;

  static KRDrawingExpressionToken character(std::string text) { return {Kind::Character, std::move(text), 0, {}}; }
  static KRDrawingExpressionToken command(int type) { return {Kind::Command, {}, type, {}}; }
  static KRDrawingExpressionToken commandString(std::string name) {
    return {Kind::CommandString, std::move(name), 0, {}};
  }

  bool isCharacter(std::string_view c) const { return kind == Kind::Character && text == c; }
  bool isCommand(int t) const { return kind == Kind::Command && type == t; }

  friend bool operator==(const KRDrawingExpressionToken&, const KRDrawingExpressionToken&) = default;
};

using KRDrawingExpressionTokens = std::vector<KRDrawingExpressionToken>;

// Braces nested deeper than this are shown as literal braces, so that no
// label, however deeply nested, can exhaust the stack while it is laid out.
inline constexpr int kMathTextMaximumNesting = 48;

// Character by character: escapes ("\\", "\{", "\}", "\_", "\^") give the
// character; a backslash and letters give a command (one blank after the
// name is consumed); a backslash and any other character a command with an
// empty name; a backslash at the end is dropped. Bytes that are not UTF-8
// become U+FFFD.
KRDrawingExpressionTokens splitIntoTokens(std::string_view text);

// Matching braces become groups; an unmatched brace, and a "^" or "_" that
// ends the text (or a group), become literal characters.
KRDrawingExpressionTokens groupIntoSubBlocks(const KRDrawingExpressionTokens& tokens);

}  // namespace orrelin
