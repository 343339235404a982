// Operations between values of every kind. Numbers and arrays combine
// element by element; lists entry by entry; derivative pairs by the rules
// of differentiation, written in terms of the number and array operations.

#include "expression/KRExpressionValues.h"

#include <cmath>

#include "expression/KRExpressionEvaluation.h"
#include "expression/KRExpressionMessages.h"

namespace orrelin {

namespace msg = expression_messages;

namespace {

constexpr double kLn10 = 2.302585092994046;
constexpr double kLn2 = 0.6931471805599453;
constexpr double kTwoOverSqrtPi = 1.1283791670955126;

// Component arithmetic of derivative pairs: numbers and arrays only, where
// every operation has a value.
KRValue add(const KRValue& a, const KRValue& b) { return elementWiseOperator(KROperatorType::Add, a, b); }
KRValue sub(const KRValue& a, const KRValue& b) { return elementWiseOperator(KROperatorType::Subtract, a, b); }
KRValue mul(const KRValue& a, const KRValue& b) { return elementWiseOperator(KROperatorType::Multiply, a, b); }
KRValue div(const KRValue& a, const KRValue& b) { return elementWiseOperator(KROperatorType::Divide, a, b); }
KRValue power(const KRValue& a, const KRValue& b) { return elementWiseOperator(KROperatorType::Power, a, b); }
KRValue apply(KRBuiltin f, const KRValue& x) { return elementWiseUnary(unaryScalarFunction(f), x); }
KRValue square(const KRValue& x) { return mul(x, x); }
// 0 of the shape of x: a number, or an array of zeros as long as x.
KRValue zeroLike(const KRValue& x) { return x.isNumber() ? KRValue(0.0) : elementWiseSelect(0.0, 0.0, x); }

struct Pair {
  KRValue value;
  KRValue derivative;
};

// A pair from any number, array or pair; numbers and arrays are constants.
Pair asPair(const KRValue& v) {
  if (v.kind() == KRValueKind::Derivative) {
    const auto& p = static_cast<const KRExpression_PartialDerivativeEvaluation&>(*v.rich());
    return {p.value, p.derivative};
  }
  return {v, zeroLike(v)};
}

// A derivative pair whose two parts have the same shape.
KRValue makePair(const KRValue& value, const KRValue& derivative) {
  if (!value.isNumber() && derivative.isNumber()) return KRValue::derivative(value, elementWiseSelect(0.0, derivative, value));
  if (value.isNumber() && !derivative.isNumber()) return KRValue::derivative(elementWiseSelect(0.0, value, derivative), derivative);
  return KRValue::derivative(value, derivative);
}

// f'(u) for the one-argument built-ins that have a derivative.
std::optional<KRValue> outerDerivative(KRBuiltin f, const KRValue& u, KRExpressionEvaluationErrorHandler& errors) {
  if (isPiecewiseConstant(f)) return zeroLike(u);
  switch (f) {
    case KRBuiltin::Sin: return apply(KRBuiltin::Cos, u);
    case KRBuiltin::Cos: return mul(-1.0, apply(KRBuiltin::Sin, u));
    case KRBuiltin::Tan: return add(1.0, square(apply(KRBuiltin::Tan, u)));
    case KRBuiltin::Exp: return apply(KRBuiltin::Exp, u);
    case KRBuiltin::Log: return div(1.0, u);
    case KRBuiltin::Log10: return div(1.0, mul(u, kLn10));
    case KRBuiltin::Log2: return div(1.0, mul(u, kLn2));
    case KRBuiltin::Sqrt: return div(1.0, mul(2.0, apply(KRBuiltin::Sqrt, u)));
    case KRBuiltin::Asin: return div(1.0, apply(KRBuiltin::Sqrt, sub(1.0, square(u))));
    case KRBuiltin::Acos: return div(-1.0, apply(KRBuiltin::Sqrt, sub(1.0, square(u))));
    case KRBuiltin::Atan: return div(1.0, add(1.0, square(u)));
    case KRBuiltin::Sinh: return apply(KRBuiltin::Cosh, u);
    case KRBuiltin::Cosh: return apply(KRBuiltin::Sinh, u);
    case KRBuiltin::Tanh: return sub(1.0, square(apply(KRBuiltin::Tanh, u)));
    case KRBuiltin::Erf: return mul(kTwoOverSqrtPi, apply(KRBuiltin::Exp, mul(-1.0, square(u))));
    case KRBuiltin::Erfc: return mul(-kTwoOverSqrtPi, apply(KRBuiltin::Exp, mul(-1.0, square(u))));
    case KRBuiltin::Abs:
    case KRBuiltin::Norm: return apply(KRBuiltin::Sgn, u);
    case KRBuiltin::Tri: return mul(-1.0, mul(apply(KRBuiltin::Sgn, u), apply(KRBuiltin::Rect, div(u, 2.0))));
    case KRBuiltin::Sinc: return sub(div(apply(KRBuiltin::Cos, u), u), div(apply(KRBuiltin::Sin, u), square(u)));
    case KRBuiltin::J0: return mul(-1.0, apply(KRBuiltin::J1, u));
    case KRBuiltin::J1: return sub(apply(KRBuiltin::J0, u), div(apply(KRBuiltin::J1, u), u));
    case KRBuiltin::Y0: return mul(-1.0, apply(KRBuiltin::Y1, u));
    case KRBuiltin::Y1: return sub(apply(KRBuiltin::Y0, u), div(apply(KRBuiltin::Y1, u), u));
    case KRBuiltin::Gamma:
    case KRBuiltin::LogGamma:
      errors.miscError(msg::kNoGammaDerivative);
      return std::nullopt;
    default:
      errors.miscError(msg::kCantEvaluateFunction);
      return std::nullopt;
  }
}

double factorialOrNaN(double x) { return applyUnaryBuiltin(KRBuiltin::Fact, x).value_or(std::nan("")); }
double truncated(double x) { return std::trunc(x); }
double secondsOfMonthStart(double year, double month) { return secondsSince1970(year, month, 1, 0, 0, 0); }

std::optional<KRValue> unaryOfValue(KRBuiltin f, const KRValue& x, KRExpressionEvaluationErrorHandler& errors) {
  if (x.isNumber()) {
    if (auto value = applyUnaryBuiltin(f, x.number())) return KRValue(*value);
    errors.miscError(msg::kCantEvaluateFunction);
    return std::nullopt;
  }
  if (f == KRBuiltin::Min || f == KRBuiltin::Max) return x;
  if (f == KRBuiltin::Fact) return elementWiseUnary(factorialOrNaN, x);
  if (auto function = unaryScalarFunction(f)) return elementWiseUnary(function, x);
  errors.miscError(msg::kCantEvaluateFunction);
  return std::nullopt;
}

// Two-argument built-ins of numbers, arrays or pairs.
std::optional<KRValue> binaryOfValues(KRBuiltin f, const KRValue& a, const KRValue& b,
                                      KRExpressionEvaluationErrorHandler& errors) {
  const KRBinaryScalarFunction function =
      (f == KRBuiltin::Min || f == KRBuiltin::Max) ? nullptr : binaryScalarFunction(f);
  if (!function) {
    errors.miscError(msg::kCantEvaluateFunction);
    return std::nullopt;
  }
  const bool pairs = a.kind() == KRValueKind::Derivative || b.kind() == KRValueKind::Derivative;
  if (!pairs) return elementWiseBinary(function, a, b);
  const Pair p = asPair(a), q = asPair(b);
  const KRValue value = elementWiseBinary(function, p.value, q.value);
  switch (f) {
    case KRBuiltin::Angle:
      return makePair(value, div(sub(mul(q.value, p.derivative), mul(p.value, q.derivative)),
                                 add(square(p.value), square(q.value))));
    case KRBuiltin::Mod:
      return makePair(value, sub(p.derivative, mul(elementWiseUnary(truncated, div(p.value, q.value)), q.derivative)));
    default: {
      // The order counts in whole steps: only the second argument varies.
      const KRValue n = apply(KRBuiltin::Floor, p.value);
      const KRValue slope = div(sub(elementWiseBinary(function, sub(n, 1.0), q.value),
                                    elementWiseBinary(function, add(n, 1.0), q.value)),
                                2.0);
      return makePair(value, mul(slope, q.derivative));
    }
  }
}

bool isListValue(const KRValue& v) { return v.kind() == KRValueKind::List; }

}  // namespace

// ---- KRValue

KRValue::KRValue(std::shared_ptr<const KRExpressionOutput> rich) : rich_(std::move(rich)) {}

KRValue KRValue::array(std::shared_ptr<const KRDoubleArrayContainer> array) {
  return KRValue(std::make_shared<KRExpressionArrayOutput>(std::move(array)));
}

KRValue KRValue::array(std::shared_ptr<const KRFloatArrayContainer> array) {
  return KRValue(std::make_shared<KRExpressionArrayOutput>(std::move(array)));
}

KRValue KRValue::list(std::vector<KRValue> entries) {
  return KRValue(std::make_shared<KRExpressionListOutput>(std::move(entries)));
}

KRValue KRValue::derivative(KRValue value, KRValue derivative) {
  return KRValue(std::make_shared<KRExpression_PartialDerivativeEvaluation>(std::move(value), std::move(derivative)));
}

KRValueKind KRValue::kind() const { return rich_ ? rich_->kind() : KRValueKind::Number; }

const KRDoubleArrayContainer* KRValue::arrayContainer() const {
  return kind() == KRValueKind::Array ? static_cast<const KRExpressionArrayOutput&>(*rich_).array().get() : nullptr;
}

std::shared_ptr<const KRDoubleArrayContainer> KRValue::sharedArray() const {
  return kind() == KRValueKind::Array ? static_cast<const KRExpressionArrayOutput&>(*rich_).array() : nullptr;
}

const std::vector<KRValue>* KRValue::listEntries() const {
  return kind() == KRValueKind::List ? &static_cast<const KRExpressionListOutput&>(*rich_).expressionOutput : nullptr;
}

std::string KRValue::description() const { return rich_ ? rich_->description() : shortestNumberText(number_); }

// ---- lists

std::string KRExpressionListOutput::description() const {
  std::string text = "(";
  for (std::size_t k = 0; k < expressionOutput.size(); ++k) {
    if (k) text += ", ";
    text += expressionOutput[k].description();
  }
  return text + ")";
}

std::optional<KRValue> KRExpressionListOutput::performElementWise(KROperatorType op, const KRValue& other, bool otherOnLeft,
                                                                  KRExpressionEvaluationErrorHandler& errors) const {
  std::vector<KRValue> result;
  result.reserve(expressionOutput.size());
  for (const auto& entry : expressionOutput) {
    auto value = otherOnLeft ? performOperator(op, other, entry, errors) : performOperator(op, entry, other, errors);
    if (!value) return std::nullopt;
    result.push_back(std::move(*value));
  }
  return KRValue::list(std::move(result));
}

std::optional<KRValue> KRExpressionListOutput::performPairWise(KROperatorType op, const KRExpressionListOutput& right,
                                                               KRExpressionEvaluationErrorHandler& errors) const {
  if (right.expressionOutput.size() != expressionOutput.size()) {
    errors.miscError(msg::kEntriesHaveToMatch);
    return std::nullopt;
  }
  std::vector<KRValue> result;
  result.reserve(expressionOutput.size());
  for (std::size_t k = 0; k < expressionOutput.size(); ++k) {
    auto value = performOperator(op, expressionOutput[k], right.expressionOutput[k], errors);
    if (!value) return std::nullopt;
    result.push_back(std::move(*value));
  }
  return KRValue::list(std::move(result));
}

std::optional<KRValue> KRExpressionListOutput::perform(KROperatorType op, const KRValue& right,
                                                       KRExpressionEvaluationErrorHandler& errors) const {
  if (isListValue(right)) return performPairWise(op, static_cast<const KRExpressionListOutput&>(*right.rich()), errors);
  return performElementWise(op, right, false, errors);
}

std::optional<KRValue> KRExpressionListOutput::performWithLeft(KROperatorType op, const KRValue& left,
                                                               KRExpressionEvaluationErrorHandler& errors) const {
  return performElementWise(op, left, true, errors);
}

// ---- derivative pairs

std::string KRExpression_PartialDerivativeEvaluation::description() const {
  return "(v = " + value.description() + ", d = " + derivative.description() + ")";
}

namespace {

KRValue pairOperator(KROperatorType op, const KRValue& left, const KRValue& right) {
  const bool rightVaries = right.kind() == KRValueKind::Derivative;
  const bool leftVaries = left.kind() == KRValueKind::Derivative;
  const Pair u = asPair(left), v = asPair(right);
  switch (op) {
    case KROperatorType::Add: return makePair(add(u.value, v.value), add(u.derivative, v.derivative));
    case KROperatorType::Subtract: return makePair(sub(u.value, v.value), sub(u.derivative, v.derivative));
    case KROperatorType::Multiply:
      return makePair(mul(u.value, v.value), add(mul(u.derivative, v.value), mul(u.value, v.derivative)));
    case KROperatorType::Divide:
      return makePair(div(u.value, v.value),
                      div(sub(mul(u.derivative, v.value), mul(u.value, v.derivative)), square(v.value)));
    case KROperatorType::Power: {
      const KRValue w = power(u.value, v.value);
      if (!rightVaries)  // (u^c)' = c u^(c-1) u'
        return makePair(w, mul(mul(v.value, power(u.value, sub(v.value, 1.0))), u.derivative));
      if (!leftVaries)  // (c^u)' = c^u ln c u'
        return makePair(w, mul(mul(w, apply(KRBuiltin::Log, u.value)), v.derivative));
      return makePair(w, mul(w, add(mul(v.derivative, apply(KRBuiltin::Log, u.value)),
                                    div(mul(v.value, u.derivative), u.value))));
    }
    default: {
      // Comparisons and logic are constant between their jumps.
      const KRValue value = elementWiseOperator(op, u.value, v.value);
      return makePair(value, zeroLike(value));
    }
  }
}

}  // namespace

std::optional<KRValue> KRExpression_PartialDerivativeEvaluation::perform(KROperatorType op, const KRValue& right,
                                                                         KRExpressionEvaluationErrorHandler&) const {
  return pairOperator(op, makePair(value, derivative), right);
}

std::optional<KRValue> KRExpression_PartialDerivativeEvaluation::performWithLeft(
    KROperatorType op, const KRValue& left, KRExpressionEvaluationErrorHandler&) const {
  return pairOperator(op, left, makePair(value, derivative));
}

// ---- dispatch

std::optional<KRValue> performOperator(KROperatorType op, const KRValue& a, const KRValue& b,
                                       KRExpressionEvaluationErrorHandler& errors) {
  if (op == KROperatorType::None) {
    errors.miscError(msg::kNoSelector);
    return std::nullopt;
  }
  if (a.isNumber() && b.isNumber()) return KRValue(applyNumberOperator(op, a.number(), b.number()));
  // The richer kind does the work, with the roles of the operands kept.
  if (static_cast<int>(a.kind()) >= static_cast<int>(b.kind())) return a.rich()->perform(op, b, errors);
  return b.rich()->performWithLeft(op, a, errors);
}

std::optional<KRValue> minimumWith(const KRValue& a, const KRValue& b, bool largest,
                                   KRExpressionEvaluationErrorHandler& errors) {
  if (isListValue(a) || isListValue(b)) {
    errors.miscError(msg::kInvalidInputForMinimum);
    return std::nullopt;
  }
  auto choose = [largest](double x, double y) { return largest ? builtinMaximum(x, y) : builtinMinimum(x, y); };
  if (a.isNumber() && b.isNumber()) return KRValue(choose(a.number(), b.number()));
  const auto pick = largest ? builtinMaximum : builtinMinimum;
  if (a.kind() != KRValueKind::Derivative && b.kind() != KRValueKind::Derivative) return elementWiseBinary(pick, a, b);
  // The derivative of the operand chosen: the second where it is strictly
  // smaller (larger), else the first.
  const Pair p = asPair(a), q = asPair(b);
  const KRValue value = elementWiseBinary(pick, p.value, q.value);
  const KRValue secondChosen = largest ? elementWiseOperator(KROperatorType::Greater, q.value, p.value)
                                       : elementWiseOperator(KROperatorType::Less, q.value, p.value);
  // selector >= 0 picks the first: 0 - secondChosen is -1 where the second wins.
  const KRValue derivative = elementWiseSelect(mul(-1.0, secondChosen), p.derivative, q.derivative);
  return makePair(value, derivative);
}

std::optional<KRValue> performBuiltin(KRBuiltin function, const KRValue& argument, KRExpressionEvaluationErrorHandler& errors) {
  const auto shape = builtinShape(function);
  if (const auto* entries = argument.listEntries()) {
    if (shape == KRBuiltinShape::Unary) {
      std::vector<KRValue> result;
      for (const auto& entry : *entries) {
        auto value = performBuiltin(function, entry, errors);
        if (!value) return std::nullopt;
        result.push_back(std::move(*value));
      }
      return KRValue::list(std::move(result));
    }
    for (const auto& entry : *entries) {
      if (isListValue(entry)) {
        errors.miscError(function == KRBuiltin::Min || function == KRBuiltin::Max ? msg::kInvalidInputForMinimum
                                                                                  : msg::kCantEvaluateFunction);
        return std::nullopt;
      }
    }
    const auto& info = builtinInfo(function);
    const int count = static_cast<int>(entries->size());
    if (count < info.minArgumentCount || (info.maxArgumentCount >= 0 && count > info.maxArgumentCount) || count == 0) {
      errors.miscError(msg::kCantEvaluateFunction);
      return std::nullopt;
    }
    switch (function) {
      case KRBuiltin::Min:
      case KRBuiltin::Max: {
        KRValue result = (*entries)[0];
        for (std::size_t k = 1; k < entries->size(); ++k) {
          auto next = minimumWith(result, (*entries)[k], function == KRBuiltin::Max, errors);
          if (!next) return std::nullopt;
          result = std::move(*next);
        }
        return result;
      }
      case KRBuiltin::Norm: {
        KRValue sum = 0.0;
        for (const auto& entry : *entries) {
          auto squared = performOperator(KROperatorType::Multiply, entry, entry, errors);
          auto next = squared ? performOperator(KROperatorType::Add, sum, *squared, errors) : std::nullopt;
          if (!next) return std::nullopt;
          sum = std::move(*next);
        }
        return performBuiltin(KRBuiltin::Sqrt, sum, errors);
      }
      case KRBuiltin::SignSwitch: {
        const Pair s = asPair((*entries)[0]), a = asPair((*entries)[1]), b = asPair((*entries)[2]);
        const KRValue value = elementWiseSelect(s.value, a.value, b.value);
        bool varies = false;
        for (const auto& entry : *entries) varies = varies || entry.kind() == KRValueKind::Derivative;
        if (!varies) return value;
        return makePair(value, elementWiseSelect(s.value, a.derivative, b.derivative));
      }
      case KRBuiltin::Seconds: {
        // Days, hours, minutes and seconds count evenly; years and months jump.
        static const double kScale[] = {0, 0, 86400, 3600, 60, 1};
        KRValue total = 0.0, slope = 0.0;
        bool varies = false;
        const Pair year = asPair((*entries)[0]), month = asPair((*entries)[1]);
        total = elementWiseBinary(secondsOfMonthStart, year.value, month.value);
        for (std::size_t k = 2; k < entries->size(); ++k) {
          const Pair part = asPair((*entries)[k]);
          varies = varies || (*entries)[k].kind() == KRValueKind::Derivative;
          total = add(total, mul(k == 2 ? sub(part.value, 1.0) : part.value, kScale[k]));
          slope = add(slope, mul(part.derivative, kScale[k]));
        }
        if (!varies) return total;
        return makePair(total, slope);
      }
      default:
        if (entries->size() == 2) return binaryOfValues(function, (*entries)[0], (*entries)[1], errors);
        errors.miscError(msg::kCantEvaluateFunction);
        return std::nullopt;
    }
  }

  if (argument.kind() == KRValueKind::Derivative) {
    if (function == KRBuiltin::Min || function == KRBuiltin::Max) return argument;
    if (shape != KRBuiltinShape::Unary && function != KRBuiltin::Norm) {
      errors.miscError(msg::kCantEvaluateFunction);
      return std::nullopt;
    }
    const Pair u = asPair(argument);
    auto value = unaryOfValue(function, u.value, errors);
    if (!value) return std::nullopt;
    auto outer = outerDerivative(function, u.value, errors);
    if (!outer) return std::nullopt;
    return makePair(*value, mul(*outer, u.derivative));
  }
  if (shape != KRBuiltinShape::Unary && function != KRBuiltin::Min && function != KRBuiltin::Max &&
      function != KRBuiltin::Norm) {
    errors.miscError(msg::kCantEvaluateFunction);
    return std::nullopt;
  }
  return unaryOfValue(function, argument, errors);
}

}  // namespace orrelin
