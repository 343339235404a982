// Splitting a formula into tokens, with the positions of each token counted
// in UTF-16 code units of the formula.

#include <cstdint>

#include "expression/KRExpression.h"
#include "expression/Utf16.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace {

constexpr char16_t kMinusSign = 0x2212;
constexpr char16_t kEnDash = 0x2013;
constexpr char16_t kBulletOperator = 0x2219;
constexpr char16_t kLessOrEqual = 0x2264;
constexpr char16_t kGreaterOrEqual = 0x2265;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isComparisonStart(char16_t c) {
  return c == u'<' || c == u'>' || c == kLessOrEqual || c == kGreaterOrEqual || c == u'=' || c == u'!' ||
         c == u'&' || c == u'|';
}

// Whether a symbol ends before position k.
bool endsSymbol(std::u16string_view s, std::size_t k) {
  const char16_t c = s[k];
  switch (c) {
    case u' ': case u'+': case u'-': case u'*': case u'/': case u'(': case u')': case u'{': case u'}':
    case u'<': case u'>': case u'^': case u',':
    case kLessOrEqual: case kGreaterOrEqual: case kBulletOperator: case kEnDash:
    // A typographic minus sign is an operator like the en dash: a−b is a
    // difference, as it reads.
    case kMinusSign:
      return true;
    default:
      break;
  }
  if (k + 1 < s.size()) {
    const char16_t d = s[k + 1];
    if ((c == u'!' || c == u'=') && d == u'=') return true;
    if ((c == u'|' && d == u'|') || (c == u'&' && d == u'&')) return true;
  }
  return false;
}

std::string textOf(std::u16string_view s, std::size_t from, std::size_t to) {
  // Most formulas are plain ASCII; skip the general conversion for them.
  bool ascii = true;
  for (std::size_t k = from; k < to && ascii; ++k) ascii = s[k] < 0x80;
  if (!ascii) return utf8FromUtf16(s.substr(from, to - from));
  std::string out(to - from, '\0');
  for (std::size_t k = from; k < to; ++k) out[k - from] = static_cast<char>(s[k]);
  return out;
}

KRRange rangeOf(std::size_t from, std::size_t to) {
  return {static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to - from)};
}

std::size_t scanDigits(std::u16string_view s, std::size_t k) {
  while (k < s.size() && isDigit(s[k])) ++k;
  return k;
}

// The end of a symbol that starts at k; at least one character.
std::size_t scanSymbol(std::u16string_view s, std::size_t k) {
  std::size_t end = k + 1;
  while (end < s.size() && !endsSymbol(s, end)) ++end;
  return end;
}

}  // namespace

std::size_t KRExpression::findEndOfDate(std::u16string_view s, std::size_t length, std::size_t p) {
  const std::size_t L = std::min(length, s.size());
  const std::u16string_view text = s.substr(0, L);
  if (p >= L || p + 1 == L) return p;
  // Month: one or two digits followed by ":" that is not the last character.
  std::size_t q = scanDigits(text, p + 1);
  std::size_t count = q - (p + 1);
  if (count == 0 || count > 2 || q >= L - 1 || s[q] != u':') return p;
  // Day: one or two digits; the literal may end after it.
  std::size_t r = scanDigits(text, q + 1);
  count = r - (q + 1);
  if (count == 0 || count > 2) return p;
  if (r == L || s[r] != u':') return r;
  // Hour: one or two digits followed by ":" that is not the last character.
  std::size_t t = scanDigits(text, r + 1);
  count = t - (r + 1);
  if (count == 0 || count > 2 || t >= L - 1 || s[t] != u':') return p;
  // Minutes: exactly two digits.
  std::size_t u = scanDigits(text, t + 1);
  if (u - (t + 1) != 2) return p;
  if (u == L || s[u] != u':') return u;
  // Seconds, then an optional fraction.
  std::size_t v = scanDigits(text, u + 1);
  if (v == u + 1) return p;
  if (v == L || s[v] != u'.') return v;
  return scanDigits(text, v + 1);
}

std::optional<std::vector<KRToken>> KRExpression::splitIntoTokens(std::string_view text) {
  return splitIntoTokens(utf16ReplacingInvalidUTF8(text));
}

std::optional<std::vector<KRToken>> KRExpression::splitIntoTokens(std::u16string_view s) {
  std::vector<KRToken> tokens;
  const std::size_t n = s.size();
  if (n > UINT32_MAX) return std::nullopt;
  tokens.reserve(n / 2 + 1);
  std::size_t i = 0;
  const auto at = [](std::size_t k) { return static_cast<std::uint32_t>(k); };
  while (i < n) {
    const char16_t c = s[i];
    switch (c) {
      case u' ': case u'\t': case u'\n': case u'\r':
        ++i;
        continue;
      case u'(': tokens.push_back(KRToken::startParenthesisAt(at(i))); ++i; continue;
      case u')': tokens.push_back(KRToken::endParenthesisAt(at(i))); ++i; continue;
      case u'{': tokens.push_back(KRToken::startCurlyBraceAt(at(i))); ++i; continue;
      case u'}': tokens.push_back(KRToken::endCurlyBraceAt(at(i))); ++i; continue;
      case u',': tokens.push_back(KRToken::commaAt(at(i))); ++i; continue;
      case u'+': case u'*': case u'/': case u'^': case u'-':
        tokens.push_back(KRToken::elementaryOperator(std::string(1, static_cast<char>(c)), at(i)));
        ++i;
        continue;
      case kMinusSign: case kEnDash:
        tokens.push_back(KRToken::elementaryOperator("-", at(i)));
        ++i;
        continue;
      case kBulletOperator:
        tokens.push_back(KRToken::elementaryOperator("*", at(i)));
        ++i;
        continue;
      default:
        break;
    }

    if (isDigit(c) || c == u'.') {
      std::size_t end = scanDigits(s, i);
      bool integerForm = end > i && (end - i == 1 || s[i] != u'0') && end - i <= 18;
      if (end < n && s[end] == u'.') {
        integerForm = false;
        end = scanDigits(s, end + 1);
      }
      if (end < n && s[end] == u':') {
        if (integerForm) end = findEndOfDate(s, n, end);
        tokens.push_back(KRToken::number(textOf(s, i, end), rangeOf(i, end)));
        i = end;
        continue;
      }
      std::string numberText = textOf(s, i, end);
      if (end < n && (s[end] == u'e' || s[end] == u'E')) {
        std::size_t k = end + 1;
        const bool signed_ = k < n && (s[k] == u'+' || s[k] == u'-' || s[k] == kMinusSign);
        if (signed_) ++k;
        const std::size_t digitsEnd = scanDigits(s, k);
        if (digitsEnd > k) {
          numberText.push_back(static_cast<char>(s[end]));
          if (signed_) numberText.push_back(s[end + 1] == u'+' ? '+' : '-');
          numberText += textOf(s, k, digitsEnd);
          end = digitsEnd;
        }
      }
      tokens.push_back(KRToken::number(std::move(numberText), rangeOf(i, end)));
      i = end;
      continue;
    }

    if (isComparisonStart(c)) {
      const bool ordering = c == u'<' || c == u'>' || c == kLessOrEqual || c == kGreaterOrEqual;
      if (i + 1 == n) {
        if (ordering) {
          tokens.push_back(KRToken::elementaryOperator(textOf(s, i, i + 1), at(i)));
        } else {
          tokens.push_back(KRToken::symbol(textOf(s, i, i + 1), rangeOf(i, i + 1)));
        }
        ++i;
        continue;
      }
      const char16_t d = s[i + 1];
      if ((c == u'=' || c == u'!' || c == u'<' || c == u'>') && d == u'=') {
        tokens.push_back(KRToken::elementaryOperator(textOf(s, i, i + 2), at(i), 2));
        i += 2;
        continue;
      }
      if ((c == u'&' && d == u'&') || (c == u'|' && d == u'|')) {
        tokens.push_back(KRToken::elementaryOperator(textOf(s, i, i + 2), at(i), 2));
        i += 2;
        continue;
      }
      if (ordering) {
        tokens.push_back(KRToken::elementaryOperator(textOf(s, i, i + 1), at(i)));
        ++i;
        continue;
      }
      // A lone "=", "!", "&" or "|" starts a symbol.
    }

    if (c == u'"') {
      const auto close = s.find(u'"', i + 1);
      if (close != std::u16string_view::npos) {
        tokens.push_back(KRToken::symbol(textOf(s, i + 1, close), rangeOf(i + 1, close)));
        i = close + 1;
        continue;
      }
    }

    const std::size_t end = scanSymbol(s, i);
    tokens.push_back(KRToken::symbol(textOf(s, i, end), rangeOf(i, end)));
    i = end;
  }

  if (tokens.empty()) return std::nullopt;

  // Implicit products: 2x, 2(x+1), (a)(b), (a)2, (a)x.
  std::vector<KRToken> result;
  result.reserve(tokens.size() + tokens.size() / 4);
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    if (k > 0) {
      const auto left = tokens[k - 1].expType();
      const auto right = tokens[k].expType();
      const bool product =
          (left == KRTokenNumber && (right == KRTokenStartParenthesis || right == KRTokenSymbol)) ||
          (left == KRTokenEndParenthesis &&
           (right == KRTokenStartParenthesis || right == KRTokenSymbol || right == KRTokenNumber));
      if (product) result.push_back(KRToken::elementaryOperator("*", tokens[k].tokenRange().location, 0));
    }
    result.push_back(std::move(tokens[k]));
  }
  return result;
}

}  // namespace orrelin
