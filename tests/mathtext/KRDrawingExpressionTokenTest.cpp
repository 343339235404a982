#include <gtest/gtest.h>

#include <functional>

#include "mathtext/KRDrawingExpressionToken.h"

using namespace orrelin;

namespace {

// Tokens written compactly: a character as itself, "{" "}" "^" "_" as the
// markup symbols, a command as \name, a group as ( ... ).
std::string written(const KRDrawingExpressionTokens& tokens) {
  std::string out;
  for (const auto& t : tokens) {
    switch (t.kind) {
      case KRDrawingExpressionToken::Kind::Character: out += "'" + t.text + "'"; break;
      case KRDrawingExpressionToken::Kind::Command: out += "{}^_"[t.type]; break;
      case KRDrawingExpressionToken::Kind::CommandString: out += "\\" + t.text + ";"; break;
      case KRDrawingExpressionToken::Kind::Group: out += "(" + written(t.group) + ")"; break;
    }
  }
  return out;
}

struct TokenCase {
  const char* text;
  const char* tokens;   // after splitting
  const char* grouped;  // after grouping
};

void PrintTo(const TokenCase& c, std::ostream* out) { *out << c.text; }

class Tokens : public testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, SplitAndGroup) {
  auto tokens = splitIntoTokens(GetParam().text);
  EXPECT_EQ(written(tokens), GetParam().tokens);
  EXPECT_EQ(written(groupIntoSubBlocks(tokens)), GetParam().grouped);
}

INSTANTIATE_TEST_SUITE_P(
    MathText, Tokens,
    testing::Values(
        TokenCase{"", "", ""},
        TokenCase{"x^2", "'x'^'2'", "'x'^'2'"},
        TokenCase{"a_{ij}", "'a'_{'i''j'}", "'a'_('i''j')"},
        // Escapes give the characters themselves.
        TokenCase{"\\{x\\}", "'{''x''}'", "'{''x''}'"},
        TokenCase{"\\\\\\_\\^", "'\\''_''^'", "'\\''_''^'"},
        // One blank after a name is consumed, a second one stays.
        TokenCase{"\\alpha  b", "\\alpha;' ''b'", "\\alpha;' ''b'"},
        TokenCase{"\\alpha+\\beta", "\\alpha;'+'\\beta;", "\\alpha;'+'\\beta;"},
        // A backslash before another character is a command without a name,
        // and one at the very end is dropped.
        TokenCase{"\\,x\\", "\\;',''x'", "\\;',''x'"},
        TokenCase{"\\3", "\\;'3'", "\\;'3'"},
        // Unmatched braces and a trailing script marker are literal.
        TokenCase{"{x", "{'x'", "'{''x'"},
        TokenCase{"x}", "'x'}", "'x''}'"},
        TokenCase{"}{", "}{", "'}''{'"},
        TokenCase{"x^", "'x'^", "'x''^'"},
        TokenCase{"{a_}", "{'a'_}", "('a''_')"},
        TokenCase{"{{a}b}", "{{'a'}'b'}", "(('a')'b')"},
        // Letters of a name are ASCII only; UTF-8 is kept whole.
        TokenCase{"\\mu\xC3\xA9", "\\mu;'\xC3\xA9'", "\\mu;'\xC3\xA9'"},
        // Bytes that are not UTF-8 become the replacement character.
        TokenCase{"a\xFF" "b\xC3", "'a''\xEF\xBF\xBD''b''\xEF\xBF\xBD'", "'a''\xEF\xBF\xBD''b''\xEF\xBF\xBD'"},
        TokenCase{"\xED\xA0\x80", "'\xEF\xBF\xBD''\xEF\xBF\xBD''\xEF\xBF\xBD'", "'\xEF\xBF\xBD''\xEF\xBF\xBD''\xEF\xBF\xBD'"}));

int depthOf(const KRDrawingExpressionTokens& tokens) {
  int deepest = 0;
  for (const auto& t : tokens)
    if (t.kind == KRDrawingExpressionToken::Kind::Group) deepest = std::max(deepest, 1 + depthOf(t.group));
  return deepest;
}

TEST(MathText, BracesBeyondTheNestingLimitStayLiteral) {
  std::string text = std::string(10000, '{') + "x" + std::string(10000, '}');
  auto grouped = groupIntoSubBlocks(splitIntoTokens(text));
  EXPECT_EQ(depthOf(grouped), kMathTextMaximumNesting);
  // Nothing is lost: every brace that is not a group is shown.
  std::function<std::size_t(const KRDrawingExpressionTokens&)> braces = [&](const KRDrawingExpressionTokens& ts) {
    std::size_t n = 0;
    for (const auto& t : ts) n += t.kind == KRDrawingExpressionToken::Kind::Group ? 2 + braces(t.group) : t.text == "{" || t.text == "}";
    return n;
  };
  EXPECT_EQ(braces(grouped), 20000u);
}

}  // namespace
