// Rewriting trees: folding literal parts, putting values or formulas in
// place of names, inlining user functions, and symbolic derivatives.

#include <cmath>

#include "expression/KRExpression.h"
#include "expression/KRExpressionMessages.h"

namespace orrelin {

namespace msg = expression_messages;

namespace {

const KRExpressionValue* asValue(const KRNodePtr& node) {
  return node && node->expType() == KRExpressionValueType ? static_cast<const KRExpressionValue*>(node.get()) : nullptr;
}
const KRExpressionList* asList(const KRNodePtr& node) {
  return node && node->expType() == KRExpressionListType ? static_cast<const KRExpressionList*>(node.get()) : nullptr;
}
const KRExpressionFunction* asFunction(const KRNodePtr& node) {
  return node && node->expType() == KRExpressionFunctionType ? static_cast<const KRExpressionFunction*>(node.get())
                                                             : nullptr;
}
const KRExpressionBinaryOperator* asOperator(const KRNodePtr& node) {
  return node && node->expType() == KRExpressionBinaryOperatorType
             ? static_cast<const KRExpressionBinaryOperator*>(node.get())
             : nullptr;
}

bool isNumber(const KRNodePtr& node, double value) {
  const auto* v = asValue(node);
  return v && v->numberValue == value;
}

// The numbers of a literal: one value, or a list whose entries are all values.
std::optional<std::vector<double>> literalNumbers(const KRNodePtr& node) {
  if (const auto* v = asValue(node)) return std::vector<double>{v->numberValue};
  const auto* list = asList(node);
  if (!list) return std::nullopt;
  std::vector<double> numbers;
  for (const auto& entry : list->expressionList) {
    const auto* v = asValue(entry);
    if (!v) return std::nullopt;
    numbers.push_back(v->numberValue);
  }
  return numbers;
}

KRNodePtr number(double value, const KRToken& at = {}) {
  return KRExpressionValue::createWithNumber(value, KRToken::number("", at.tokenRange()));
}

KRNodePtr numberList(const std::vector<double>& values, const KRToken& at) {
  std::vector<KRNodePtr> entries;
  for (double v : values) entries.push_back(number(v, at));
  return std::make_shared<KRExpressionList>(std::move(entries));
}

// Folds an operator whose operands are literals; numbers combine entry by
// entry with lists, lists of the same length pair by pair.
KRNodePtr foldOperator(const KRExpressionBinaryOperator& op, const KRNodePtr& first, const KRNodePtr& second) {
  if (op.functionType == KROperatorType::None) return nullptr;
  const auto a = literalNumbers(first);
  const auto b = literalNumbers(second);
  if (!a || !b) return nullptr;
  const bool firstIsList = asList(first) != nullptr;
  const bool secondIsList = asList(second) != nullptr;
  if (!firstIsList && !secondIsList) return number(applyNumberOperator(op.functionType, (*a)[0], (*b)[0]), op.token);
  if (firstIsList && secondIsList && a->size() != b->size()) return nullptr;
  const std::size_t n = firstIsList ? a->size() : b->size();
  std::vector<double> result(n);
  for (std::size_t k = 0; k < n; ++k)
    result[k] = applyNumberOperator(op.functionType, firstIsList ? (*a)[k] : (*a)[0], secondIsList ? (*b)[k] : (*b)[0]);
  return numberList(result, op.token);
}

KRNodePtr foldBuiltin(const KRExpressionFunction& f, const KRNodePtr& argument) {
  if (f.functionType != KRFunctionType::BuiltIn) return nullptr;
  const auto numbers = literalNumbers(argument);
  if (!numbers) return nullptr;
  const bool isList = asList(argument) != nullptr;
  std::optional<double> value;
  if (builtinShape(f.functionSelector) == KRBuiltinShape::Unary) {
    if (isList) {
      // One-argument functions work entry by entry on a list.
      std::vector<double> result;
      for (double x : *numbers) {
        const auto y = applyUnaryBuiltin(f.functionSelector, x);
        if (!y) return nullptr;
        result.push_back(*y);
      }
      return numberList(result, f.token);
    }
    value = applyUnaryBuiltin(f.functionSelector, (*numbers)[0]);
  } else {
    value = applyListBuiltin(f.functionSelector, *numbers);
  }
  if (!value) return nullptr;
  return number(*value, f.token);
}

KRNodePtr makeOperator(KROperatorType type, KRNodePtr a, KRNodePtr b) {
  return std::make_shared<KRExpressionBinaryOperator>(type, std::move(a), std::move(b));
}

// The node with transform applied to each of its children; the node itself
// when no child changed, so unchanged parts of a tree stay shared.
template <class Transform>
KRNodePtr withNewChildren(const KRNodePtr& node, const Transform& transform) {
  switch (node->expType()) {
    case KRExpressionListType: {
      const auto& list = *asList(node);
      std::vector<KRNodePtr> entries;
      bool changed = false;
      for (const auto& entry : list.expressionList) {
        entries.push_back(transform(entry));
        changed = changed || entries.back() != entry;
      }
      return changed ? std::make_shared<KRExpressionList>(std::move(entries)) : node;
    }
    case KRExpressionBinaryOperatorType: {
      const auto& op = *asOperator(node);
      KRNodePtr first = transform(op.firstArgument);
      KRNodePtr second = transform(op.secondArgument);
      if (first == op.firstArgument && second == op.secondArgument) return node;
      return std::make_shared<KRExpressionBinaryOperator>(op.token, first, second);
    }
    case KRExpressionFunctionType: {
      const auto& f = *asFunction(node);
      KRNodePtr argument = transform(f.argument);
      return argument == f.argument ? node : f.withArgument(argument);
    }
    default:
      return node;
  }
}

// An operator whose operands are already simplified: folded when they are
// literals, else without a neutral operand.
KRNodePtr simplifyOperator(const KRNodePtr& node) {
  const auto& op = *asOperator(node);
  const KRNodePtr& first = op.firstArgument;
  const KRNodePtr& second = op.secondArgument;
  if (KRNodePtr folded = foldOperator(op, first, second)) return folded;
  // Neutral elements; each leaves every value of the other operand as it is.
  switch (op.functionType) {
    case KROperatorType::Add:
      if (isNumber(second, 0) && !asList(first)) return first;
      if (isNumber(first, 0) && !asList(second)) return second;
      break;
    case KROperatorType::Subtract:
      if (isNumber(second, 0) && !asList(first)) return first;
      break;
    case KROperatorType::Multiply:
      if (isNumber(second, 1) && !asList(first)) return first;
      if (isNumber(first, 1) && !asList(second)) return second;
      break;
    case KROperatorType::Divide:
    case KROperatorType::Power:
      if (isNumber(second, 1) && !asList(first)) return first;
      break;
    default:
      break;
  }
  return node;
}

KRNodePtr simplifyNode(const KRNodePtr& node) {
  if (!node) return node;
  KRNodePtr rebuilt = withNewChildren(node, simplifyNode);
  if (asOperator(rebuilt)) return simplifyOperator(rebuilt);
  if (const auto* f = asFunction(rebuilt))
    if (KRNodePtr folded = foldBuiltin(*f, f->argument)) return folded;
  return rebuilt;
}

using Replacements = std::map<std::string, KRNodePtr, std::less<>>;

KRNodePtr replaceNames(const KRNodePtr& node, const Replacements& replacements) {
  if (!node) return node;
  if (node->expType() == KRExpressionConstantType) {
    const auto& c = static_cast<const KRExpressionConstant&>(*node);
    const auto found = replacements.find(c.constantName);
    return found == replacements.end() ? node : found->second;
  }
  return withNewChildren(node, [&](const KRNodePtr& child) { return replaceNames(child, replacements); });
}

// The formula of a user function with the call's arguments in place of its
// argument names; null when the call does not fit the function.
KRNodePtr inlineCall(const KRExpressionFunction& call, const KRUserFunction& definition) {
  if (!definition.expression || !definition.expression->theEntry()) return nullptr;
  Replacements bound;
  if (const auto* list = asList(call.argument)) {
    if (list->expressionList.size() != definition.order.size()) return nullptr;
    for (std::size_t k = 0; k < definition.order.size(); ++k) bound[definition.order[k]] = list->expressionList[k];
  } else {
    if (definition.order.size() != 1 || !call.argument) return nullptr;
    bound[definition.order[0]] = call.argument;
  }
  return replaceNames(definition.expression->theEntry(), bound);
}

KRNodePtr replaceFunctions(const KRNodePtr& node, const KRFunctionDictionary& functions, int nesting) {
  if (!node || nesting > 64) return node;
  KRNodePtr call =
      withNewChildren(node, [&](const KRNodePtr& child) { return replaceFunctions(child, functions, nesting); });
  const auto* f = asFunction(call);
  if (!f || f->functionType == KRFunctionType::BuiltIn) return call;
  const auto found = functions.find(f->functionName);
  if (found == functions.end()) return call;
  const KRUserFunction& definition = found->second;
  if (definition.functionType() == KRFunctionType::Expression) {
    KRNodePtr inlined = inlineCall(*f, definition);
    if (!inlined || inlined->depth() > KRExpression::kMaximumDepth) return call;
    return replaceFunctions(inlined, functions, nesting + 1);
  }
  auto rebound = std::make_shared<KRExpressionFunction>(*f);
  rebound->functionType = definition.functionType();
  rebound->functionCallback = definition.callback;
  rebound->expression = definition.expression;
  rebound->argumentOrder = definition.order;
  return rebound;
}

// Derivatives. The constructors below leave out terms that are zero, so a
// derivative stays as small as the formula it came from.
class Differentiator {
 public:
  Differentiator(std::string_view name, KRExpressionErrorHandler& errors) : name_(name), errors_(errors) {}

  KRNodePtr derivative(const KRNodePtr& node);

 private:
  static bool isZero(const KRNodePtr& n) { return isNumber(n, 0); }
  static bool isOne(const KRNodePtr& n) { return isNumber(n, 1); }
  static KRNodePtr fold(KRNodePtr n) { return simplifyNode(n); }

  static KRNodePtr add(KRNodePtr a, KRNodePtr b) {
    if (isZero(a)) return b;
    if (isZero(b)) return a;
    return fold(makeOperator(KROperatorType::Add, std::move(a), std::move(b)));
  }
  static KRNodePtr sub(KRNodePtr a, KRNodePtr b) {
    if (isZero(b)) return a;
    if (isZero(a)) return neg(std::move(b));
    return fold(makeOperator(KROperatorType::Subtract, std::move(a), std::move(b)));
  }
  static KRNodePtr mul(KRNodePtr a, KRNodePtr b) {
    if (isZero(a) || isZero(b)) return number(0);
    if (isOne(a)) return b;
    if (isOne(b)) return a;
    return fold(makeOperator(KROperatorType::Multiply, std::move(a), std::move(b)));
  }
  static KRNodePtr div(KRNodePtr a, KRNodePtr b) {
    if (isZero(a)) return number(0);
    if (isOne(b)) return a;
    return fold(makeOperator(KROperatorType::Divide, std::move(a), std::move(b)));
  }
  static KRNodePtr pow(KRNodePtr a, KRNodePtr b) { return fold(makeOperator(KROperatorType::Power, std::move(a), std::move(b))); }
  static KRNodePtr neg(KRNodePtr a) { return mul(number(-1), std::move(a)); }
  static KRNodePtr compare(KROperatorType type, KRNodePtr a, KRNodePtr b) {
    return makeOperator(type, std::move(a), std::move(b));
  }
  static KRNodePtr call(const char* function, KRNodePtr argument) {
    auto f = KRExpressionFunction::initWithToken(KRToken::symbol(function, {}), nullptr);
    return fold(f->withArgument(std::move(argument)));
  }
  static KRNodePtr call(const char* function, std::vector<KRNodePtr> arguments) {
    return call(function, std::make_shared<KRExpressionList>(std::move(arguments)));
  }

  KRNodePtr failure(const std::string& message) {
    if (!failed_) errors_.miscError(message);
    failed_ = true;
    return nullptr;
  }

  KRNodePtr operatorDerivative(const KRExpressionBinaryOperator& op);
  KRNodePtr functionDerivative(const KRExpressionFunction& f);
  KRNodePtr builtinDerivative(const KRExpressionFunction& f, const KRNodePtr& u, const KRNodePtr& du);
  KRNodePtr extremumDerivative(const char* function, KROperatorType chooseFirst, const std::vector<KRNodePtr>& entries,
                               std::size_t from);

  std::string name_;
  KRExpressionErrorHandler& errors_;
  bool failed_ = false;
};

KRNodePtr Differentiator::derivative(const KRNodePtr& node) {
  if (!node || failed_) return nullptr;
  switch (node->expType()) {
    case KRExpressionValueType:
      return number(0);
    case KRExpressionConstantType:
      return number(static_cast<const KRExpressionConstant&>(*node).constantName == name_ ? 1 : 0);
    case KRExpressionListType: {
      std::vector<KRNodePtr> entries;
      for (const auto& entry : asList(node)->expressionList) {
        entries.push_back(derivative(entry));
        if (!entries.back()) return nullptr;
      }
      return std::make_shared<KRExpressionList>(std::move(entries));
    }
    case KRExpressionBinaryOperatorType:
      return operatorDerivative(*asOperator(node));
    case KRExpressionFunctionType:
      return functionDerivative(*asFunction(node));
    default:
      return failure(msg::kCouldNotParse);
  }
}

KRNodePtr Differentiator::operatorDerivative(const KRExpressionBinaryOperator& op) {
  const KRNodePtr& u = op.firstArgument;
  const KRNodePtr& v = op.secondArgument;
  switch (op.functionType) {
    case KROperatorType::Add:
    case KROperatorType::Subtract:
    case KROperatorType::Multiply:
    case KROperatorType::Divide:
    case KROperatorType::Power:
      break;
    default:
      // Comparisons and logic are constant between their jumps.
      return number(0);
  }
  KRNodePtr du = derivative(u);
  KRNodePtr dv = derivative(v);
  if (!du || !dv) return nullptr;
  switch (op.functionType) {
    case KROperatorType::Add: return add(du, dv);
    case KROperatorType::Subtract: return sub(du, dv);
    case KROperatorType::Multiply: return add(mul(du, v), mul(u, dv));
    case KROperatorType::Divide:
      if (isZero(dv)) return div(du, v);
      return div(sub(mul(du, v), mul(u, dv)), pow(v, number(2)));
    case KROperatorType::Power:
      if (isZero(du) && isZero(dv)) return number(0);
      if (isZero(dv)) return mul(mul(v, pow(u, sub(v, number(1)))), du);
      if (isZero(du)) return mul(mul(pow(u, v), call("log", u)), dv);
      return mul(pow(u, v), add(mul(dv, call("log", u)), div(mul(v, du), u)));
    default:
      return number(0);
  }
}

// d min(a1, ..., an): the derivative of the entry that is chosen, written
// with comparisons so it holds wherever the formula is evaluated.
KRNodePtr Differentiator::extremumDerivative(const char* function, KROperatorType chooseFirst,
                                             const std::vector<KRNodePtr>& entries, std::size_t from) {
  KRNodePtr first = derivative(entries[from]);
  if (!first) return nullptr;
  if (from + 1 == entries.size()) return first;
  KRNodePtr restValue;
  if (from + 2 == entries.size()) {
    restValue = entries[from + 1];
  } else {
    restValue = call(function, std::vector<KRNodePtr>(entries.begin() + static_cast<long>(from) + 1, entries.end()));
  }
  KRNodePtr rest = extremumDerivative(function, chooseFirst, entries, from + 1);
  if (!rest) return nullptr;
  const KROperatorType other = chooseFirst == KROperatorType::LessEqual ? KROperatorType::Greater : KROperatorType::Less;
  return add(mul(compare(chooseFirst, entries[from], restValue), first),
             mul(compare(other, entries[from], restValue), rest));
}

KRNodePtr Differentiator::functionDerivative(const KRExpressionFunction& f) {
  switch (f.functionType) {
    case KRFunctionType::Subscript:
      return number(0);
    case KRFunctionType::Callback:
      return failure(formatMessage(msg::kNoDerivative, f.functionName));
    case KRFunctionType::Expression: {
      KRUserFunction definition;
      definition.expression = f.expression;
      definition.order = f.argumentOrder;
      KRNodePtr inlined = inlineCall(f, definition);
      if (!inlined) return failure(formatMessage(msg::kIllegalArgumentCount, f.functionName));
      if (inlined->depth() > KRExpression::kMaximumDepth) return failure(msg::kNestedTooDeeply);
      return derivative(inlined);
    }
    case KRFunctionType::BuiltIn:
      break;
  }
  const KRNodePtr& u = f.argument;
  const auto* list = asList(u);
  const auto shape = builtinShape(f.functionSelector);
  if (shape == KRBuiltinShape::Unary || !list) {
    KRNodePtr du = derivative(u);
    if (!du) return nullptr;
    if (isZero(du)) return number(0);
    if (shape != KRBuiltinShape::Unary) {
      // min, max and norm of a single number.
      if (f.functionSelector == KRBuiltin::Norm) return mul(call("sgn", u), du);
      return du;
    }
    return builtinDerivative(f, u, du);
  }
  const auto& entries = list->expressionList;
  switch (f.functionSelector) {
    case KRBuiltin::Min: return extremumDerivative("min", KROperatorType::LessEqual, entries, 0);
    case KRBuiltin::Max: return extremumDerivative("max", KROperatorType::GreaterEqual, entries, 0);
    case KRBuiltin::Norm: {
      KRNodePtr sum = number(0);
      for (const auto& entry : entries) {
        KRNodePtr d = derivative(entry);
        if (!d) return nullptr;
        sum = add(sum, mul(entry, d));
      }
      return div(sum, call("norm", u));
    }
    case KRBuiltin::SignSwitch: {
      if (entries.size() != 3) return failure(formatMessage(msg::kNoDerivative, f.functionName));
      KRNodePtr a = derivative(entries[1]);
      KRNodePtr b = derivative(entries[2]);
      if (!a || !b) return nullptr;
      if (isZero(a) && isZero(b)) return number(0);
      return call("signswitch", std::vector<KRNodePtr>{entries[0], a, b});
    }
    case KRBuiltin::Seconds: {
      // Years and months jump; days, hours, minutes and seconds count evenly.
      static const double kScale[] = {0, 0, 86400, 3600, 60, 1};
      KRNodePtr sum = number(0);
      for (std::size_t k = 2; k < entries.size() && k < 6; ++k) {
        KRNodePtr d = derivative(entries[k]);
        if (!d) return nullptr;
        sum = add(sum, mul(number(kScale[k]), d));
      }
      return sum;
    }
    case KRBuiltin::Angle: {
      if (entries.size() != 2) break;
      const KRNodePtr& a = entries[0];
      const KRNodePtr& b = entries[1];
      KRNodePtr da = derivative(a), db = derivative(b);
      if (!da || !db) return nullptr;
      return div(sub(mul(b, da), mul(a, db)), add(pow(a, number(2)), pow(b, number(2))));
    }
    case KRBuiltin::Mod: {
      if (entries.size() != 2) break;
      const KRNodePtr& a = entries[0];
      const KRNodePtr& b = entries[1];
      KRNodePtr da = derivative(a), db = derivative(b);
      if (!da || !db) return nullptr;
      // mod(a, b) = a - trunc(a/b)*b, and trunc is constant between its jumps.
      KRNodePtr quotient = div(a, b);
      KRNodePtr truncated = mul(call("sgn", quotient), call("floor", call("abs", quotient)));
      return sub(da, mul(truncated, db));
    }
    case KRBuiltin::Jn:
    case KRBuiltin::Yn: {
      if (entries.size() != 2) break;
      const char* name = f.functionSelector == KRBuiltin::Jn ? "jn" : "yn";
      const KRNodePtr& n = entries[0];
      const KRNodePtr& x = entries[1];
      KRNodePtr dx = derivative(x);
      if (!dx) return nullptr;
      KRNodePtr order = call("floor", n);
      KRNodePtr lower = call(name, std::vector<KRNodePtr>{sub(order, number(1)), x});
      KRNodePtr upper = call(name, std::vector<KRNodePtr>{add(order, number(1)), x});
      return mul(div(sub(lower, upper), number(2)), dx);
    }
    default:
      break;
  }
  return failure(formatMessage(msg::kNoDerivative, f.functionName));
}

KRNodePtr Differentiator::builtinDerivative(const KRExpressionFunction& f, const KRNodePtr& u, const KRNodePtr& du) {
  const auto square = [&] { return pow(u, number(2)); };
  if (isPiecewiseConstant(f.functionSelector)) return number(0);
  KRNodePtr outer;
  switch (f.functionSelector) {
    case KRBuiltin::Sin: outer = call("cos", u); break;
    case KRBuiltin::Cos: outer = neg(call("sin", u)); break;
    case KRBuiltin::Tan: outer = add(number(1), pow(call("tan", u), number(2))); break;
    case KRBuiltin::Exp: outer = call("exp", u); break;
    case KRBuiltin::Log: return div(du, u);
    case KRBuiltin::Log10: return div(du, mul(u, number(std::log(10.0))));
    case KRBuiltin::Log2: return div(du, mul(u, number(std::log(2.0))));
    case KRBuiltin::Sqrt: return div(du, mul(number(2), call("sqrt", u)));
    case KRBuiltin::Asin: return div(du, call("sqrt", sub(number(1), square())));
    case KRBuiltin::Acos: return neg(div(du, call("sqrt", sub(number(1), square()))));
    case KRBuiltin::Atan: return div(du, add(number(1), square()));
    case KRBuiltin::Sinh: outer = call("cosh", u); break;
    case KRBuiltin::Cosh: outer = call("sinh", u); break;
    case KRBuiltin::Tanh: outer = sub(number(1), pow(call("tanh", u), number(2))); break;
    case KRBuiltin::Erf: outer = mul(number(2 / std::sqrt(M_PI)), call("exp", neg(square()))); break;
    case KRBuiltin::Erfc: outer = mul(number(-2 / std::sqrt(M_PI)), call("exp", neg(square()))); break;
    case KRBuiltin::Abs: outer = call("sgn", u); break;
    case KRBuiltin::Tri: outer = neg(mul(call("sgn", u), call("rect", div(u, number(2))))); break;
    case KRBuiltin::Sinc: outer = sub(div(call("cos", u), u), div(call("sin", u), square())); break;
    case KRBuiltin::J0: outer = neg(call("j1", u)); break;
    case KRBuiltin::J1: outer = sub(call("j0", u), div(call("j1", u), u)); break;
    case KRBuiltin::Y0: outer = neg(call("y1", u)); break;
    case KRBuiltin::Y1: outer = sub(call("y0", u), div(call("y1", u), u)); break;
    case KRBuiltin::Gamma:
    case KRBuiltin::LogGamma:
      return failure(msg::kNoGammaDerivative);
    default:
      return failure(formatMessage(msg::kNoDerivative, f.functionName));
  }
  return mul(outer, du);
}

}  // namespace

std::shared_ptr<KRExpression> KRExpression::simplify() const {
  auto result = createWithRoot(simplifyNode(theEntry_));
  return result;
}

std::shared_ptr<KRExpression> KRExpression::insertValue(double value, std::string_view name) const {
  std::map<std::string, KRInsertion, std::less<>> values;
  values.emplace(std::string(name), value);
  return insertValues(values);
}

std::shared_ptr<KRExpression> KRExpression::insertValues(const std::map<std::string, KRInsertion, std::less<>>& values) const {
  Replacements replacements;
  for (const auto& [name, insertion] : values) {
    if (const double* v = std::get_if<double>(&insertion)) {
      replacements[name] = number(*v);
    } else if (const auto& e = std::get<std::shared_ptr<const KRExpression>>(insertion); e && e->theEntry()) {
      replacements[name] = e->theEntry();
    }
  }
  KRNodePtr root = replaceNames(theEntry_, replacements);
  if (root && root->depth() > kMaximumDepth) return nullptr;
  return createWithRoot(std::move(root));
}

std::shared_ptr<KRExpression> KRExpression::insertFunctions(const KRFunctionDictionary& functions) const {
  return createWithRoot(replaceFunctions(theEntry_, functions, 0));
}

std::shared_ptr<KRExpression> KRExpression::addExpression(const KRExpression& other) const {
  if (!theEntry_ || !other.theEntry_) return nullptr;
  KRNodePtr sum = makeOperator(KROperatorType::Add, theEntry_, other.theEntry_);
  if (sum->depth() > kMaximumDepth) return nullptr;
  return createWithRoot(std::move(sum));
}

std::shared_ptr<KRExpression> KRExpression::subtract(const KRExpression& other) const {
  if (!theEntry_ || !other.theEntry_) return nullptr;
  static const auto difference = createFromString("A-B");
  Replacements operands{{"A", theEntry_}, {"B", other.theEntry_}};
  KRNodePtr root = replaceNames(difference->theEntry(), operands);
  if (root->depth() > kMaximumDepth) return nullptr;
  return createWithRoot(std::move(root));
}

std::shared_ptr<KRExpression> KRExpression::partial(std::string_view name, KRExpressionErrorHandler* errorHandler) const {
  KRExpressionErrorHandler scratch;
  Differentiator differentiator(name, errorHandler ? *errorHandler : scratch);
  if (!theEntry_) return nullptr;
  KRNodePtr d = differentiator.derivative(theEntry_);
  if (!d) return nullptr;
  if (d->depth() > kMaximumDepth) {
    (errorHandler ? *errorHandler : scratch).miscError(msg::kNestedTooDeeply);
    return nullptr;
  }
  return createWithRoot(simplifyNode(d));
}

}  // namespace orrelin
