#pragma once
// Helpers shared by the formula tests: a compact picture of token lists and
// trees, and the value of a formula with numbers put in for its names.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <ctime>
#include <map>
#include <string>

#include "expression/KRExpression.h"

namespace orrelin::testing_support {

// "9:2 10:* 11:x" for the tokens of a formula.
inline std::string tokenPicture(std::string_view formula) {
  auto tokens = KRExpression::splitIntoTokens(formula);
  if (!tokens) return "<none>";
  std::string text;
  for (const auto& token : *tokens) {
    if (!text.empty()) text += " ";
    text += std::to_string(token.expType()) + ":" + token.tokenName();
  }
  return text;
}

// Every operation in brackets: "((a-b)-c)".
inline std::string treePicture(const KRExpressionNode* node) {
  if (!node) return "<none>";
  switch (node->expType()) {
    case KRExpressionValueType: return static_cast<const KRExpressionValue*>(node)->numberString;
    case KRExpressionConstantType: return static_cast<const KRExpressionConstant*>(node)->constantName;
    case KRExpressionListType: {
      std::string text = "{";
      for (const auto& entry : static_cast<const KRExpressionList*>(node)->expressionList)
        text += (text.size() > 1 ? "," : "") + treePicture(entry.get());
      return text + "}";
    }
    case KRExpressionBinaryOperatorType: {
      const auto* op = static_cast<const KRExpressionBinaryOperator*>(node);
      return "(" + treePicture(op->firstArgument.get()) + operatorText(op->functionType) +
             treePicture(op->secondArgument.get()) + ")";
    }
    case KRExpressionFunctionType: {
      const auto* f = static_cast<const KRExpressionFunction*>(node);
      return f->functionName + "[" + treePicture(f->argument.get()) + "]";
    }
  }
  return "?";
}

inline std::string treePicture(std::string_view formula) {
  auto e = KRExpression::createFromString(formula);
  return e ? treePicture(e->theEntry().get()) : "<error>";
}

// The value of a formula with the given numbers in place of its names,
// folded by simplify; NaN marks a formula that does not fold to a number.
inline double foldedValue(const KRExpression& expression, const std::map<std::string, double>& values = {}) {
  std::map<std::string, KRInsertion, std::less<>> insertions;
  for (const auto& [name, value] : values) insertions.emplace(name, value);
  for (const auto& [name, value] : KRExpression::knownConstants())
    if (!values.count(name)) insertions.emplace(name, value);
  auto folded = expression.insertValues(insertions)->simplify();
  const auto* root = folded->theEntry().get();
  if (!root || root->expType() != KRExpressionValueType) return std::nan("1");
  return static_cast<const KRExpressionValue*>(root)->numberValue;
}

// Seconds since 1970 UTC of a calendar moment, from the C library.
inline double utcSeconds(int year, int month, int day, int hour = 0, int minute = 0, double second = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  return static_cast<double>(timegm(&tm)) + second;
}

// A readable test name from the case's formula: "3_a_b" for case 3, "a-b".
struct FormulaCaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    std::string name = std::to_string(info.index) + "_";
    for (unsigned char c : std::string(info.param.formula))
      if (std::isalnum(c) && name.size() < 40) name += static_cast<char>(c);
    return name;
  }
};

}  // namespace orrelin::testing_support
