#include "expression/KRExpressionNodes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "expression/KRExpression.h"

namespace orrelin {

std::string shortestNumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

KRExpressionValue::KRExpressionValue(KRToken t) : token(std::move(t)), numberString(token.tokenName()) {
  numberValue = KRExpression::numberFromText(numberString).value_or(std::nan(""));
}

KRExpressionValue::KRExpressionValue(double value, KRToken t)
    : token(std::move(t)), numberString(shortestNumberText(value)), numberValue(value) {}

KRExpressionValue::KRExpressionValue(double value, std::string text, KRToken t)
    : token(std::move(t)), numberString(std::move(text)), numberValue(value) {}

std::shared_ptr<const KRExpressionValue> KRExpressionValue::createWithNumber(double value, KRToken token) {
  return std::make_shared<KRExpressionValue>(value, std::move(token));
}

KRExpressionList::KRExpressionList(std::vector<KRNodePtr> entries) : expressionList(std::move(entries)) {
  for (const auto& entry : expressionList) depth_ = std::max(depth_, entry->depth() + 1);
}

KROperatorType operatorTypeForName(const std::string& name) {
  if (name == "+") return KROperatorType::Add;
  if (name == "-") return KROperatorType::Subtract;
  if (name == "*") return KROperatorType::Multiply;
  if (name == "/") return KROperatorType::Divide;
  if (name == "^") return KROperatorType::Power;
  if (name == "||") return KROperatorType::LogicalOr;
  if (name == "&&") return KROperatorType::LogicalAnd;
  if (name == "!=") return KROperatorType::NotEqual;
  if (name == "==") return KROperatorType::Equal;
  if (name == "<") return KROperatorType::Less;
  if (name == ">") return KROperatorType::Greater;
  if (name == "<=" || name == "\u2264") return KROperatorType::LessEqual;
  if (name == ">=" || name == "\u2265") return KROperatorType::GreaterEqual;
  return KROperatorType::None;
}

const char* operatorSelector(KROperatorType type) {
  switch (type) {
    case KROperatorType::Add: return "addToIt:";
    case KROperatorType::Subtract: return "subtractObject:";
    case KROperatorType::Multiply: return "multiplyObject:";
    case KROperatorType::Divide: return "divideByObject:";
    case KROperatorType::Power: return "raiseToPower:";
    case KROperatorType::LogicalOr: return "logicalOr:";
    case KROperatorType::LogicalAnd: return "logicalAnd:";
    case KROperatorType::NotEqual: return "logicalNotEqual:";
    case KROperatorType::Equal: return "logicalEqual:";
    case KROperatorType::Less: return "logicalLess:";
    case KROperatorType::Greater: return "logicalGreater:";
    case KROperatorType::LessEqual: return "logicalLessEqual:";
    case KROperatorType::GreaterEqual: return "logicalGreaterEqual:";
    case KROperatorType::None: break;
  }
  return nullptr;
}

int operatorPrecedence(KROperatorType type) {
  switch (type) {
    case KROperatorType::Power: return 1;
    case KROperatorType::Multiply:
    case KROperatorType::Divide: return 2;
    case KROperatorType::Add:
    case KROperatorType::Subtract: return 3;
    case KROperatorType::Less:
    case KROperatorType::Greater:
    case KROperatorType::LessEqual:
    case KROperatorType::GreaterEqual: return 4;
    case KROperatorType::Equal:
    case KROperatorType::NotEqual: return 5;
    case KROperatorType::LogicalAnd: return 6;
    case KROperatorType::LogicalOr: return 7;
    case KROperatorType::None: break;
  }
  return 3;
}

const char* operatorText(KROperatorType type) {
  switch (type) {
    case KROperatorType::Add: return "+";
    case KROperatorType::Subtract: return "-";
    case KROperatorType::Multiply: return "*";
    case KROperatorType::Divide: return "/";
    case KROperatorType::Power: return "^";
    case KROperatorType::LogicalOr: return "||";
    case KROperatorType::LogicalAnd: return "&&";
    case KROperatorType::NotEqual: return "!=";
    case KROperatorType::Equal: return "==";
    case KROperatorType::Less: return "<";
    case KROperatorType::Greater: return ">";
    case KROperatorType::LessEqual: return "<=";
    case KROperatorType::GreaterEqual: return ">=";
    case KROperatorType::None: break;
  }
  return "?";
}

double applyNumberOperator(KROperatorType type, double a, double b) {
  switch (type) {
    case KROperatorType::Add: return a + b;
    case KROperatorType::Subtract: return a - b;
    case KROperatorType::Multiply: return a * b;
    case KROperatorType::Divide: return a / b;
    case KROperatorType::Power: return builtinPower(a, b);
    case KROperatorType::LogicalOr: return (a != 0 || b != 0) ? 1.0 : 0.0;
    case KROperatorType::LogicalAnd: return (a != 0 && b != 0) ? 1.0 : 0.0;
    case KROperatorType::NotEqual: return a != b ? 1.0 : 0.0;
    case KROperatorType::Equal: return a == b ? 1.0 : 0.0;
    case KROperatorType::Less: return a < b ? 1.0 : 0.0;
    case KROperatorType::Greater: return a > b ? 1.0 : 0.0;
    case KROperatorType::LessEqual: return a <= b ? 1.0 : 0.0;
    case KROperatorType::GreaterEqual: return a >= b ? 1.0 : 0.0;
    case KROperatorType::None: break;
  }
  return std::nan("");
}

KRExpressionBinaryOperator::KRExpressionBinaryOperator(KRToken t, KRNodePtr first, KRNodePtr second)
    : token(std::move(t)),
      operatorName(token.tokenName()),
      functionType(operatorTypeForName(operatorName)),
      firstArgument(std::move(first)),
      secondArgument(std::move(second)) {
  depth_ = 1 + std::max(firstArgument->depth(), secondArgument->depth());
}

KRExpressionBinaryOperator::KRExpressionBinaryOperator(KROperatorType type, KRNodePtr first, KRNodePtr second, KRToken t)
    : token(std::move(t)),
      operatorName(operatorText(type)),
      functionType(type),
      firstArgument(std::move(first)),
      secondArgument(std::move(second)) {
  if (token.tokenName().empty()) token = KRToken::elementaryOperator(operatorName, token.tokenRange().location, 0);
  depth_ = 1 + std::max(firstArgument->depth(), secondArgument->depth());
}

KRFunctionType KRUserFunction::functionType() const {
  if (type == "Sub") return KRFunctionType::Subscript;
  if (type == "Callback") return KRFunctionType::Callback;
  return KRFunctionType::Expression;
}

KRUserFunction KRUserFunction::withExpression(std::shared_ptr<const KRExpression> expression,
                                              std::vector<std::string> order) {
  KRUserFunction f;
  f.type = "Expression";
  f.expression = std::move(expression);
  f.count = f.minCount = static_cast<int>(order.size());
  f.order = std::move(order);
  return f;
}

KRUserFunction KRUserFunction::withCallback(std::shared_ptr<KRExpressionCallback> callback, int count, int minCount) {
  KRUserFunction f;
  f.type = "Callback";
  f.callback = std::move(callback);
  f.count = count;
  f.minCount = minCount;
  return f;
}

KRUserFunction KRUserFunction::subscripted(std::shared_ptr<const KRDoubleArrayContainer> array) {
  KRUserFunction f;
  f.type = "Sub";
  f.subscriptArray = std::move(array);
  return f;
}

std::shared_ptr<KRExpressionFunction> KRExpressionFunction::initWithToken(const KRToken& token,
                                                                          const KRFunctionDictionary* functions) {
  auto node = std::make_shared<KRExpressionFunction>();
  node->token = token;
  node->functionName = token.tokenName();
  if (const auto* builtin = messageForFunctionName(node->functionName)) {
    node->functionType = KRFunctionType::BuiltIn;
    node->functionSelector = builtin->function;
    node->minArgumentCount = builtin->minArgumentCount;
    node->maxArgumentCount = builtin->maxArgumentCount;
    return node;
  }
  if (!functions) return nullptr;
  const auto found = functions->find(node->functionName);
  if (found == functions->end()) return nullptr;
  const KRUserFunction& f = found->second;
  node->functionType = f.functionType();
  node->expression = f.expression;
  node->argumentOrder = f.order;
  node->functionCallback = f.callback;
  node->subscriptArray = f.subscriptArray;
  node->maxArgumentCount = f.count;
  node->minArgumentCount = std::min(f.minCount, f.count);
  if (node->functionType == KRFunctionType::Expression && !f.order.empty()) {
    node->maxArgumentCount = static_cast<int>(f.order.size());
    node->minArgumentCount = std::min(node->minArgumentCount, node->maxArgumentCount);
  }
  return node;
}

std::shared_ptr<KRExpressionFunction> KRExpressionFunction::withArgument(KRNodePtr newArgument) const {
  auto node = std::make_shared<KRExpressionFunction>(*this);
  node->argument = std::move(newArgument);
  node->depth_ = node->argument ? node->argument->depth() + 1 : 1;
  return node;
}

int KRExpressionFunction::argumentCountOf(const KRExpressionNode& node) {
  if (node.expType() == KRExpressionListType)
    return static_cast<int>(static_cast<const KRExpressionList&>(node).expressionList.size());
  return 1;
}

bool KRExpressionFunction::legalArgument(const KRExpressionNode& node) const {
  const int count = argumentCountOf(node);
  if (count < minArgumentCount) return false;
  return maxArgumentCount < 0 || count <= maxArgumentCount;
}

bool nodesAreEqual(const KRExpressionNode* a, const KRExpressionNode* b, bool withTokens) {
  if (a == b) return true;
  if (!a || !b || a->expType() != b->expType()) return false;
  switch (a->expType()) {
    case KRExpressionValueType: {
      const auto& x = static_cast<const KRExpressionValue&>(*a);
      const auto& y = static_cast<const KRExpressionValue&>(*b);
      const bool sameNumber = x.numberValue == y.numberValue || (std::isnan(x.numberValue) && std::isnan(y.numberValue));
      return sameNumber && (!withTokens || (x.token == y.token && x.numberString == y.numberString));
    }
    case KRExpressionConstantType: {
      const auto& x = static_cast<const KRExpressionConstant&>(*a);
      const auto& y = static_cast<const KRExpressionConstant&>(*b);
      return x.constantName == y.constantName && (!withTokens || x.token == y.token);
    }
    case KRExpressionListType: {
      const auto& x = static_cast<const KRExpressionList&>(*a).expressionList;
      const auto& y = static_cast<const KRExpressionList&>(*b).expressionList;
      if (x.size() != y.size()) return false;
      for (std::size_t k = 0; k < x.size(); ++k)
        if (!nodesAreEqual(x[k].get(), y[k].get(), withTokens)) return false;
      return true;
    }
    case KRExpressionBinaryOperatorType: {
      const auto& x = static_cast<const KRExpressionBinaryOperator&>(*a);
      const auto& y = static_cast<const KRExpressionBinaryOperator&>(*b);
      return x.functionType == y.functionType && (!withTokens || x.token == y.token) &&
             nodesAreEqual(x.firstArgument.get(), y.firstArgument.get(), withTokens) &&
             nodesAreEqual(x.secondArgument.get(), y.secondArgument.get(), withTokens);
    }
    case KRExpressionFunctionType: {
      const auto& x = static_cast<const KRExpressionFunction&>(*a);
      const auto& y = static_cast<const KRExpressionFunction&>(*b);
      return x.functionName == y.functionName && x.functionType == y.functionType &&
             (!withTokens || x.token == y.token) && nodesAreEqual(x.argument.get(), y.argument.get(), withTokens);
    }
    default:
      return false;
  }
}

}  // namespace orrelin
