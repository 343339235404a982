// A tree written back as formula text: as few brackets as the precedence
// needs, names quoted when they would not read back as one name.

#include <cmath>
#include <cstdio>

#include "expression/KRExpression.h"

namespace orrelin {

namespace {

// Whether the name reads back as the same single name.
bool isPlainName(const std::string& name) {
  if (name.empty()) return false;
  const auto tokens = KRExpression::splitIntoTokens(name);
  return tokens && tokens->size() == 1 && (*tokens)[0].expType() == KRTokenSymbol && (*tokens)[0].tokenName() == name &&
         name.front() != '"';
}

std::string bracketed(std::string text) {
  text.insert(text.begin(), '(');
  text.push_back(')');
  return text;
}

std::string nameText(const std::string& name) { return isPlainName(name) ? name : "\"" + name + "\""; }

class Writer {
 public:
  explicit Writer(int digits) : digits_(digits) {}

  std::string write(const KRExpressionNode& node) {
    switch (node.expType()) {
      case KRExpressionValueType: return numberText(static_cast<const KRExpressionValue&>(node));
      case KRExpressionConstantType: return nameText(static_cast<const KRExpressionConstant&>(node).constantName);
      case KRExpressionListType: return bracketed(entries(static_cast<const KRExpressionList&>(node)));
      case KRExpressionFunctionType: {
        const auto& f = static_cast<const KRExpressionFunction&>(node);
        std::string argument;
        if (f.argument && f.argument->expType() == KRExpressionListType)
          argument = entries(static_cast<const KRExpressionList&>(*f.argument));
        else if (f.argument)
          argument = write(*f.argument);
        return nameText(f.functionName) + bracketed(argument);
      }
      case KRExpressionBinaryOperatorType: {
        const auto& op = static_cast<const KRExpressionBinaryOperator&>(node);
        const int level = operatorPrecedence(op.functionType);
        const bool rightAssociative = op.functionType == KROperatorType::Power;
        return operand(*op.firstArgument, level, rightAssociative) + operatorText(op.functionType) +
               operand(*op.secondArgument, level, !rightAssociative);
      }
      default:
        return "";
    }
  }

 private:
  std::string entries(const KRExpressionList& list) {
    std::string text;
    for (std::size_t k = 0; k < list.expressionList.size(); ++k) {
      if (k) text += ",";
      text += write(*list.expressionList[k]);
    }
    return text;
  }

  // An operand in brackets when the operator would otherwise bind it
  // differently; on the side the operator groups towards, an equal level
  // needs brackets too.
  std::string operand(const KRExpressionNode& node, int level, bool bracketEqualLevel) {
    std::string text = write(node);
    if (node.expType() == KRExpressionBinaryOperatorType) {
      const int inner = operatorPrecedence(static_cast<const KRExpressionBinaryOperator&>(node).functionType);
      if (inner > level || (inner == level && bracketEqualLevel)) return bracketed(text);
    }
    return text;
  }

  std::string numberText(const KRExpressionValue& value) const {
    const double v = value.numberValue;
    std::string text;
    const auto reread = KRExpression::numberFromText(value.numberString);
    const bool textIsExact = reread && (std::isnan(v) ? std::isnan(*reread)
                                                      : *reread == v && std::signbit(*reread) == std::signbit(v));
    const bool isDate = value.numberString.find(':') != std::string::npos;
    if (textIsExact && (digits_ == 0 || isDate)) {
      text = value.numberString;
    } else if (std::isnan(v)) {
      return "NaN";
    } else if (std::isinf(v)) {
      return v > 0 ? "Inf" : "(-Inf)";
    } else if (digits_ > 0) {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.*g", digits_, v);
      text = buffer;
    } else {
      text = shortestNumberText(v);
    }
    if (!text.empty() && text[0] == '-') return bracketed(text);
    return text;
  }

  int digits_;
};

}  // namespace

std::string KRExpression::stringValue(int significantDigits) const {
  if (!theEntry_) return "";
  std::string text = Writer(significantDigits).write(*theEntry_);
  // A lone negative number needs no brackets.
  if (theEntry_->expType() == KRExpressionValueType && text.size() > 2 && text.front() == '(') text = text.substr(1, text.size() - 2);
  return text;
}

}  // namespace orrelin
