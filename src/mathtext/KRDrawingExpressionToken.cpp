#include "mathtext/KRDrawingExpressionToken.h"

namespace orrelin {

namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The length of the well-formed UTF-8 character at the start of text, or 0
// when it is not one.
std::size_t utf8Length(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned minimum = 0, value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, value = lead & 0x1F, minimum = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, value = lead & 0x0F, minimum = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, value = lead & 0x07, minimum = 0x10000;
  else return 0;
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
}

char literalFor(int type) {
  switch (type) {
    case KRDrawingExpressionToken::OpenBrace: return '{';
    case KRDrawingExpressionToken::CloseBrace: return '}';
    case KRDrawingExpressionToken::Superscript: return '^';
    default: return '_';
  }
}

KRDrawingExpressionToken literal(const KRDrawingExpressionToken& token) {
  return KRDrawingExpressionToken::character(std::string(1, literalFor(token.type)));
}

// Groups tokens[begin, end) whose brace matches are known. Deeper than the
// nesting limit, braces stay literal.
KRDrawingExpressionTokens group(const KRDrawingExpressionTokens& tokens, const std::vector<long>& match,
                                std::size_t begin, std::size_t end, int depth) {
  KRDrawingExpressionTokens result;
  std::size_t i = begin;
  while (i < end) {
    const KRDrawingExpressionToken& token = tokens[i];
    if (token.isCommand(KRDrawingExpressionToken::OpenBrace) && match[i] >= 0 && depth < kMathTextMaximumNesting) {
      KRDrawingExpressionToken made{KRDrawingExpressionToken::Kind::Group, {}, 0, {}};
      made.group = group(tokens, match, i + 1, static_cast<std::size_t>(match[i]), depth + 1);
      result.push_back(std::move(made));
      i = static_cast<std::size_t>(match[i]) + 1;
      continue;
    }
    if (token.isCommand(KRDrawingExpressionToken::OpenBrace) || token.isCommand(KRDrawingExpressionToken::CloseBrace))
      result.push_back(literal(token));
    else
      result.push_back(token);
    ++i;
  }
  // A script marker with nothing after it is the character itself.
  if (!result.empty() && (result.back().isCommand(KRDrawingExpressionToken::Superscript) ||
                          result.back().isCommand(KRDrawingExpressionToken::Subscript)))
    result.back() = literal(result.back());
  return result;
}

}  // namespace

KRDrawingExpressionTokens splitIntoTokens(std::string_view text) {
  KRDrawingExpressionTokens tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\\') {
      if (i + 1 == text.size()) break;  // a backslash at the very end is dropped
      char next = text[i + 1];
      if (next == '\\' || next == '{' || next == '}' || next == '_' || next == '^') {
        tokens.push_back(KRDrawingExpressionToken::character(std::string(1, next)));
        i += 2;
        continue;
      }
      std::size_t end = i + 1;
      while (end < text.size() && isAsciiLetter(text[end])) ++end;
      tokens.push_back(KRDrawingExpressionToken::commandString(std::string(text.substr(i + 1, end - i - 1))));
      if (end > i + 1 && end < text.size() && text[end] == ' ') ++end;
      i = end;
      continue;
    }
    switch (c) {
      case '{': tokens.push_back(KRDrawingExpressionToken::command(KRDrawingExpressionToken::OpenBrace)); ++i; continue;
      case '}': tokens.push_back(KRDrawingExpressionToken::command(KRDrawingExpressionToken::CloseBrace)); ++i; continue;
      case '^': tokens.push_back(KRDrawingExpressionToken::command(KRDrawingExpressionToken::Superscript)); ++i; continue;
      case '_': tokens.push_back(KRDrawingExpressionToken::command(KRDrawingExpressionToken::Subscript)); ++i; continue;
      default: break;
    }
    std::size_t length = utf8Length(text.substr(i));
    if (length == 0) {
      tokens.push_back(KRDrawingExpressionToken::character(kReplacementCharacter));
      ++i;
    } else {
      tokens.push_back(KRDrawingExpressionToken::character(std::string(text.substr(i, length))));
      i += length;
    }
  }
  return tokens;
}

KRDrawingExpressionTokens groupIntoSubBlocks(const KRDrawingExpressionTokens& tokens) {
  // Pair the braces first, so that grouping itself needs no look-ahead.
  std::vector<long> match(tokens.size(), -1);
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].isCommand(KRDrawingExpressionToken::OpenBrace)) {
      open.push_back(i);
    } else if (tokens[i].isCommand(KRDrawingExpressionToken::CloseBrace) && !open.empty()) {
      match[open.back()] = static_cast<long>(i);
      match[i] = static_cast<long>(open.back());
      open.pop_back();
    }
  }
  return group(tokens, match, 0, tokens.size(), 0);
}

}  // namespace orrelin
