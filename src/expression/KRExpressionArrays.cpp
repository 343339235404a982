// Element-wise loops over numbers and arrays. The shorter array decides
// the length of the result, as it does for a column computed from columns
// of different lengths.

#include <algorithm>
#include <cmath>
#include <optional>

#include "expression/KRExpressionEvaluation.h"
#include "expression/KRExpressionValues.h"
#include "numeric/ElementKernels.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"

namespace orrelin {

namespace {

struct Operand {
  const double* data = nullptr;  // null for a number
  double number = 0;
  std::size_t length = 1;
  double at(std::size_t k) const { return data ? data[k] : number; }
};

Operand operandOf(const KRValue& v) {
  if (const auto* array = v.arrayContainer()) return {array->constDoublePointer(), 0, std::size_t(array->length())};
  return {nullptr, v.number(), 1};
}

std::size_t resultLength(const Operand& a, const Operand& b) {
  if (a.data && b.data) return std::min(a.length, b.length);
  return a.data ? a.length : b.length;
}

// A new array value of the length and a pointer to write its elements.
KRValue newArray(std::size_t length, double*& out) {
  auto array = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(length));
  out = array ? array->mutableDoublePointer() : nullptr;
  return KRValue::array(std::move(array));
}

double applyOne(KROperatorType op, double x, double y) { return applyNumberOperator(op, x, y); }
double applyOne(KRBinaryScalarFunction function, double x, double y) { return function(x, y); }

// a op b for numbers and arrays.
template <class Operation>
KRValue loop2(const KRValue& a, const KRValue& b, Operation operation) {
  const Operand x = operandOf(a), y = operandOf(b);
  if (!x.data && !y.data) return KRValue(applyOne(operation, x.number, y.number));
  const std::size_t n = resultLength(x, y);
  double* out = nullptr;
  KRValue result = newArray(n, out);
  if (out) combineElementWise(operation, x.data, x.number, y.data, y.number, out, n);
  return result;
}

// Each case is its own loop, so the choice is made once per call and the
// loop body can be vectorised.
template <class F>
void combine(const double* a, double aNumber, const double* b, double bNumber, double* out, std::size_t n, F f) {
  if (a && b) {
    for (std::size_t k = 0; k < n; ++k) out[k] = f(a[k], b[k]);
  } else if (a) {
    for (std::size_t k = 0; k < n; ++k) out[k] = f(a[k], bNumber);
  } else {
    for (std::size_t k = 0; k < n; ++k) out[k] = f(aNumber, b[k]);
  }
}

std::optional<ElementOp> arithmeticOf(KROperatorType op) {
  switch (op) {
    case KROperatorType::Add: return ElementOp::Add;
    case KROperatorType::Subtract: return ElementOp::Subtract;
    case KROperatorType::Multiply: return ElementOp::Multiply;
    case KROperatorType::Divide: return ElementOp::Divide;
    default: return std::nullopt;
  }
}

}  // namespace

std::size_t elementCount(const KRValue& v) {
  if (v.kind() == KRValueKind::Array) return std::size_t(static_cast<const KRExpressionArrayOutput&>(*v.rich()).length());
  return 1;
}

std::shared_ptr<KRDoubleArrayContainer> elementsOf(const KRExpressionArrayOutput& array, long from, long to) {
  const auto& floats = array.floatArray();
  if (!floats) return array.array() ? array.array()->numbersFrom(from, to) : nullptr;
  if (from < 0 || to < from || to > floats->length()) return nullptr;
  auto part = KRDoubleArrayContainer::createArrayOfLength(to - from);
  if (part) std::copy(floats->constPointer() + from, floats->constPointer() + to, part->mutableDoublePointer());
  return part;
}

KRExpressionArrayOutput::KRExpressionArrayOutput(std::shared_ptr<const KRDoubleArrayContainer> array)
    : array_(std::move(array)) {}

KRExpressionArrayOutput::KRExpressionArrayOutput(std::shared_ptr<const KRFloatArrayContainer> floats)
    : floats_(std::move(floats)) {}

const std::shared_ptr<const KRDoubleArrayContainer>& KRExpressionArrayOutput::array() const {
  if (floats_) {
    // Several threads of a column evaluation may ask at once.
    std::call_once(converted_, [this] {
      auto doubles = KRDoubleArrayContainer::createArrayOfSizeM(floats_->m(), floats_->n(), floats_->o());
      if (doubles) std::copy_n(floats_->constPointer(), floats_->length(), doubles->mutableDoublePointer());
      array_ = std::move(doubles);
    });
  }
  return array_;
}

long KRExpressionArrayOutput::length() const {
  if (floats_) return floats_->length();
  return array_ ? array_->length() : 0;
}

void combineElementWise(KROperatorType op, const double* a, double aNumber, const double* b, double bNumber,
                        double* out, std::size_t count) {
  if (const auto arithmetic = arithmeticOf(op)) {
    if (a && b)
      combineElements(*arithmetic, a, b, out, count);
    else if (a)
      combineWithNumber(*arithmetic, a, bNumber, out, count);
    else
      numberCombinedWith(*arithmetic, aNumber, b, out, count);
  } else if (op == KROperatorType::Power && !b && bNumber == 2) {
    combine(a, aNumber, b, bNumber, out, count, [](double x, double) { return x * x; });
  } else if (op == KROperatorType::Power) {
    combine(a, aNumber, b, bNumber, out, count, builtinPower);
  } else {
    combine(a, aNumber, b, bNumber, out, count, [op](double x, double y) { return applyNumberOperator(op, x, y); });
  }
}

void combineElementWise(KRBinaryScalarFunction function, const double* a, double aNumber, const double* b,
                        double bNumber, double* out, std::size_t count) {
  combine(a, aNumber, b, bNumber, out, count, function);
}

KRValue elementWiseOperator(KROperatorType op, const KRValue& a, const KRValue& b) { return loop2(a, b, op); }

KRValue elementWiseBinary(double (*function)(double, double), const KRValue& a, const KRValue& b) {
  return loop2(a, b, function);
}

KRValue elementWiseUnary(KRUnaryScalarFunction function, const KRValue& x) {
  const Operand v = operandOf(x);
  if (!v.data) return KRValue(function(v.number));
  double* out = nullptr;
  KRValue result = newArray(v.length, out);
  if (out)
    for (std::size_t k = 0; k < v.length; ++k) out[k] = function(v.data[k]);
  return result;
}

KRValue elementWiseSelect(const KRValue& selector, const KRValue& whenNotNegative, const KRValue& whenNegative) {
  const Operand s = operandOf(selector), a = operandOf(whenNotNegative), b = operandOf(whenNegative);
  if (!s.data && !a.data && !b.data) return KRValue(builtinSignSwitch(s.number, a.number, b.number));
  std::size_t n = SIZE_MAX;
  for (const Operand* o : {&s, &a, &b})
    if (o->data) n = std::min(n, o->length);
  double* out = nullptr;
  KRValue result = newArray(n, out);
  if (out)
    for (std::size_t k = 0; k < n; ++k) out[k] = builtinSignSwitch(s.at(k), a.at(k), b.at(k));
  return result;
}

std::string KRExpressionArrayOutput::description() const {
  if (floats_) return floats_->description();
  return array_ ? array_->description() : std::string("nil double array");
}

std::optional<KRValue> KRExpressionArrayOutput::perform(KROperatorType op, const KRValue& right,
                                                        KRExpressionEvaluationErrorHandler&) const {
  return elementWiseOperator(op, KRValue::array(array()), right);
}

std::optional<KRValue> KRExpressionArrayOutput::performWithLeft(KROperatorType op, const KRValue& left,
                                                                KRExpressionEvaluationErrorHandler&) const {
  return elementWiseOperator(op, left, KRValue::array(array()));
}

}  // namespace orrelin
