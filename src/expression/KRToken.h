#pragma once
// One token of a formula: its kind, its text and the UTF-16 code units of
// the formula it covers, so that messages can point at the offending text.

#include <cstdint>
#include <string>

namespace orrelin {

struct KRRange {
  std::uint32_t location = 0;
  std::uint32_t length = 0;
  std::uint32_t end() const { return location + length; }
  bool operator==(const KRRange&) const = default;
};

// Token kinds. The numbers share one space with the node kinds 0-4 of the
// expression tree, so the parser tells a finished node from a raw token by
// its kind.
enum KRTokenType : std::int32_t {
  KRTokenStartParenthesis = 5,
  KRTokenEndParenthesis = 6,
  KRTokenStartCurlyBrace = 7,
  KRTokenEndCurlyBrace = 8,
  KRTokenNumber = 9,
  KRTokenElementaryOperator = 10,
  KRTokenSymbol = 11,
  KRTokenComma = 12,
};

class KRToken {
 public:
  KRToken() = default;
  KRToken(std::int32_t type, std::string content, KRRange range)
      : type_(type), tokenName_(std::move(content)), tokenRange_(range) {}

  static KRToken startParenthesisAt(std::uint32_t at) { return {KRTokenStartParenthesis, "(", {at, 1}}; }
  static KRToken endParenthesisAt(std::uint32_t at) { return {KRTokenEndParenthesis, ")", {at, 1}}; }
  static KRToken startCurlyBraceAt(std::uint32_t at) { return {KRTokenStartCurlyBrace, "{", {at, 1}}; }
  static KRToken endCurlyBraceAt(std::uint32_t at) { return {KRTokenEndCurlyBrace, "}", {at, 1}}; }
  static KRToken commaAt(std::uint32_t at) { return {KRTokenComma, ",", {at, 1}}; }
  static KRToken number(std::string text, KRRange range) { return {KRTokenNumber, std::move(text), range}; }
  static KRToken symbol(std::string text, KRRange range) { return {KRTokenSymbol, std::move(text), range}; }
  static KRToken elementaryOperator(std::string text, std::uint32_t at, std::uint32_t length = 1) {
    return {KRTokenElementaryOperator, std::move(text), {at, length}};
  }

  std::int32_t expType() const { return type_; }
  const std::string& tokenName() const { return tokenName_; }
  KRRange tokenRange() const { return tokenRange_; }

  bool isOperator() const { return type_ == KRTokenElementaryOperator; }
  bool isOperator(const char* text) const { return type_ == KRTokenElementaryOperator && tokenName_ == text; }

  // "kind: [first,last]: text"
  std::string description() const;

  bool operator==(const KRToken&) const = default;

 private:
  std::int32_t type_ = KRTokenSymbol;
  std::string tokenName_;
  KRRange tokenRange_;
};

}  // namespace orrelin
