#pragma once
// The nodes of a parsed formula. A tree is immutable once built: rewriting
// (simplify, inserting values, derivatives) makes new nodes and shares the
// unchanged ones, so trees may be read from several threads at once.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expression/KRExpressionBuiltins.h"
#include "expression/KRToken.h"

namespace orrelin {

class KRExpression;
class KRExpressionCallback;
class KRExpressionArgument;
class KRExpressionEvaluationErrorHandler;
class KRValue;
class KRDoubleArrayContainer;

// Node kinds; they share one number space with the token kinds (5 to 12).
enum KRExpressionNodeType : std::int32_t {
  KRExpressionFunctionType = 0,
  KRExpressionConstantType = 1,
  KRExpressionValueType = 2,
  KRExpressionListType = 3,
  KRExpressionBinaryOperatorType = 4,
};

class KRExpressionNode {
 public:
  virtual ~KRExpressionNode() = default;
  virtual std::int32_t expType() const = 0;
  // Levels below and including this node; the parser refuses trees that
  // would recurse too deeply.
  int depth() const { return depth_; }

  // The node's value; nothing after an error given to the handler.
  virtual std::optional<KRValue> evaluateExpression(const KRExpressionArgument& input,
                                                    KRExpressionEvaluationErrorHandler& errorHandler) const = 0;

 protected:
  int depth_ = 1;
};
using KRNodePtr = std::shared_ptr<const KRExpressionNode>;

// The shortest decimal text that reads back as exactly the value ("nan" and
// "inf" for those).
std::string shortestNumberText(double value);

// A literal number, a date literal included; converted once when made.
class KRExpressionValue final : public KRExpressionNode {
 public:
  // From a number token: the token's text read as a decimal number or a date.
  explicit KRExpressionValue(KRToken token);
  // A computed number; its text is the shortest one that reads back exactly.
  KRExpressionValue(double value, KRToken token);
  // A stored number with the text it was written as.
  KRExpressionValue(double value, std::string text, KRToken token);
  static std::shared_ptr<const KRExpressionValue> createWithNumber(double value, KRToken token = {});

  std::int32_t expType() const override { return KRExpressionValueType; }
  std::optional<KRValue> evaluateExpression(const KRExpressionArgument&, KRExpressionEvaluationErrorHandler&) const override;

  KRToken token;
  std::string numberString;
  double numberValue = 0;
};

// A name used as a variable or a named constant.
class KRExpressionConstant final : public KRExpressionNode {
 public:
  explicit KRExpressionConstant(KRToken t) : token(std::move(t)), constantName(token.tokenName()) {}
  std::int32_t expType() const override { return KRExpressionConstantType; }
  std::optional<KRValue> evaluateExpression(const KRExpressionArgument&, KRExpressionEvaluationErrorHandler&) const override;

  KRToken token;
  std::string constantName;
};

class KRExpressionList final : public KRExpressionNode {
 public:
  explicit KRExpressionList(std::vector<KRNodePtr> entries);
  std::int32_t expType() const override { return KRExpressionListType; }
  std::optional<KRValue> evaluateExpression(const KRExpressionArgument&, KRExpressionEvaluationErrorHandler&) const override;

  std::vector<KRNodePtr> expressionList;
};

enum class KROperatorType : std::int32_t {
  None = 0,
  Add = 1,
  Subtract = 2,
  Multiply = 3,
  Divide = 4,
  Power = 5,
  LogicalOr = 6,
  LogicalAnd = 7,
  NotEqual = 8,
  Equal = 9,
  Less = 10,
  Greater = 11,
  LessEqual = 12,
  GreaterEqual = 13,
};

// The operator type of an operator text ("+", "<=", U+2264 ...), None for
// other texts.
KROperatorType operatorTypeForName(const std::string& name);
// The element-wise operation an operator type names ("addToIt:" ...).
const char* operatorSelector(KROperatorType type);
// How tightly the operator binds: 1 for ^ up to 7 for ||; 3, as + and -, for
// None.
int operatorPrecedence(KROperatorType type);
// The text the operator is written with when a tree is turned into a formula.
const char* operatorText(KROperatorType type);
// The operator on two numbers: IEEE arithmetic, comparisons and logic give
// 1 or 0, a number counts as true when it is not 0.
double applyNumberOperator(KROperatorType type, double a, double b);

class KRExpressionBinaryOperator final : public KRExpressionNode {
 public:
  KRExpressionBinaryOperator(KRToken token, KRNodePtr first, KRNodePtr second);
  KRExpressionBinaryOperator(KROperatorType type, KRNodePtr first, KRNodePtr second, KRToken token = {});
  std::int32_t expType() const override { return KRExpressionBinaryOperatorType; }
  std::optional<KRValue> evaluateExpression(const KRExpressionArgument&, KRExpressionEvaluationErrorHandler&) const override;
  const char* functionSelector() const { return operatorSelector(functionType); }

  KRToken token;
  std::string operatorName;
  KROperatorType functionType = KROperatorType::None;
  KRNodePtr firstArgument;
  KRNodePtr secondArgument;
};

enum class KRFunctionType : std::int32_t {
  BuiltIn = 0,
  Expression = 1,   // a user function given by its own formula
  Callback = 2,     // computed by the caller
  Subscript = 3,    // name(i): element i of an array
};

// A user-defined function as the caller describes it. "Type" is "Sub" for a
// subscripted variable, "Callback" for a function the caller computes, and
// anything else for a function given by "Expression" with its argument
// names in "Order".
struct KRUserFunction {
  std::string type;
  std::shared_ptr<const KRExpression> expression;
  std::vector<std::string> order;
  int count = 1;
  int minCount = 1;
  std::shared_ptr<KRExpressionCallback> callback;
  // For "Sub": the array whose elements name(i) picks (i counts from 1),
  // unless the evaluation gives an array argument of that name.
  std::shared_ptr<const KRDoubleArrayContainer> subscriptArray;

  KRFunctionType functionType() const;

  // A function given by a formula of the named arguments.
  static KRUserFunction withExpression(std::shared_ptr<const KRExpression> expression, std::vector<std::string> order);
  static KRUserFunction withCallback(std::shared_ptr<KRExpressionCallback> callback, int count, int minCount);
  static KRUserFunction subscripted(std::shared_ptr<const KRDoubleArrayContainer> array = nullptr);
};
using KRFunctionDictionary = std::map<std::string, KRUserFunction, std::less<>>;

class KRExpressionFunction final : public KRExpressionNode {
 public:
  // A call of the function named by the token; found among the built-ins
  // first, then among the user functions. None when the name is neither.
  static std::shared_ptr<KRExpressionFunction> initWithToken(const KRToken& token, const KRFunctionDictionary* functions);
  // The same call with another argument.
  std::shared_ptr<KRExpressionFunction> withArgument(KRNodePtr argument) const;

  std::int32_t expType() const override { return KRExpressionFunctionType; }
  std::optional<KRValue> evaluateExpression(const KRExpressionArgument&, KRExpressionEvaluationErrorHandler&) const override;

  // Whether the function takes the node as its argument (by argument count).
  bool legalArgument(const KRExpressionNode& node) const;
  static int argumentCountOf(const KRExpressionNode& node);

  KRToken token;
  std::string functionName;
  KRFunctionType functionType = KRFunctionType::BuiltIn;
  int minArgumentCount = 1;
  int maxArgumentCount = 1;  // -1: any number
  KRBuiltin functionSelector = KRBuiltin::Sin;
  std::shared_ptr<const KRExpression> expression;
  std::vector<std::string> argumentOrder;
  std::shared_ptr<const KRDoubleArrayContainer> subscriptArray;
  std::shared_ptr<KRExpressionCallback> functionCallback;
  KRNodePtr argument;
};

// Structural equality: same kinds, names, numbers and shape. Token
// positions are compared too when withTokens is set.
bool nodesAreEqual(const KRExpressionNode* a, const KRExpressionNode* b, bool withTokens = false);

}  // namespace orrelin
