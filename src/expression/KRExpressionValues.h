#pragma once
// The values a formula evaluates to: a number, a list of values, an array of
// numbers (a column), or a value with its derivative. Every node asks its
// operands for their values and then asks one value to combine itself with
// the other; the richer of the two kinds does the work, with the roles of
// the operands kept (a number minus an array is worked out by the array).

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "expression/KRExpressionBuiltins.h"
#include "expression/KRExpressionNodes.h"

namespace orrelin {

class KRDoubleArrayContainer;
class KRFloatArrayContainer;
class KRExpressionOutput;
class KRExpressionEvaluationErrorHandler;

enum class KRValueKind {
  Number = 0,
  Array = 1,
  Derivative = 2,
  List = 3,  // ranks: the higher kind does the work
};

class KRValue {
 public:
  KRValue(double number = 0) : number_(number) {}
  explicit KRValue(std::shared_ptr<const KRExpressionOutput> rich);
  static KRValue array(std::shared_ptr<const KRDoubleArrayContainer> array);
  // An array of float elements, which count as their double values.
  static KRValue array(std::shared_ptr<const KRFloatArrayContainer> array);
  static KRValue list(std::vector<KRValue> entries);
  static KRValue derivative(KRValue value, KRValue derivative);

  KRValueKind kind() const;
  bool isNumber() const { return !rich_; }
  double number() const { return number_; }
  const KRExpressionOutput* rich() const { return rich_.get(); }
  // The array of an array value, else null. Float elements are converted
  // on the first request.
  const KRDoubleArrayContainer* arrayContainer() const;
  std::shared_ptr<const KRDoubleArrayContainer> sharedArray() const;
  // The entries of a list value, else null.
  const std::vector<KRValue>* listEntries() const;

  std::string description() const;

 private:
  double number_ = 0;
  std::shared_ptr<const KRExpressionOutput> rich_;
};

// The richer kinds of value.
class KRExpressionOutput {
 public:
  virtual ~KRExpressionOutput() = default;
  virtual KRValueKind kind() const = 0;
  virtual std::string description() const = 0;
  // this op right, where right is of this kind or a poorer one.
  virtual std::optional<KRValue> perform(KROperatorType op, const KRValue& right,
                                         KRExpressionEvaluationErrorHandler& errors) const = 0;
  // left op this, where left is of a poorer kind (subtractFrom:, divide:,
  // raiseNumberToPower: ...).
  virtual std::optional<KRValue> performWithLeft(KROperatorType op, const KRValue& left,
                                                 KRExpressionEvaluationErrorHandler& errors) const = 0;
};

class KRExpressionListOutput final : public KRExpressionOutput {
 public:
  explicit KRExpressionListOutput(std::vector<KRValue> entries) : expressionOutput(std::move(entries)) {}
  KRValueKind kind() const override { return KRValueKind::List; }
  std::string description() const override;
  std::optional<KRValue> perform(KROperatorType op, const KRValue& right,
                                 KRExpressionEvaluationErrorHandler& errors) const override;
  std::optional<KRValue> performWithLeft(KROperatorType op, const KRValue& left,
                                         KRExpressionEvaluationErrorHandler& errors) const override;
  // Entry by entry with one value, pair by pair with a list of equal length.
  std::optional<KRValue> performElementWise(KROperatorType op, const KRValue& other, bool otherOnLeft,
                                            KRExpressionEvaluationErrorHandler& errors) const;
  std::optional<KRValue> performPairWise(KROperatorType op, const KRExpressionListOutput& right,
                                         KRExpressionEvaluationErrorHandler& errors) const;

  std::vector<KRValue> expressionOutput;
};

class KRExpressionArrayOutput final : public KRExpressionOutput {
 public:
  explicit KRExpressionArrayOutput(std::shared_ptr<const KRDoubleArrayContainer> array);
  // Float elements stand for their double values. Whatever needs the array
  // gets it converted once; column evaluation reads the floats block by
  // block instead, so a long float column is never copied whole.
  explicit KRExpressionArrayOutput(std::shared_ptr<const KRFloatArrayContainer> floats);
  KRValueKind kind() const override { return KRValueKind::Array; }
  std::string description() const override;
  std::optional<KRValue> perform(KROperatorType op, const KRValue& right,
                                 KRExpressionEvaluationErrorHandler& errors) const override;
  std::optional<KRValue> performWithLeft(KROperatorType op, const KRValue& left,
                                         KRExpressionEvaluationErrorHandler& errors) const override;

  const std::shared_ptr<const KRDoubleArrayContainer>& array() const;
  // The float elements of an array made from them, else null.
  const std::shared_ptr<const KRFloatArrayContainer>& floatArray() const { return floats_; }
  long length() const;

 private:
  mutable std::once_flag converted_;
  mutable std::shared_ptr<const KRDoubleArrayContainer> array_;
  std::shared_ptr<const KRFloatArrayContainer> floats_;
};

// A value and its derivative, both numbers or both arrays; operations
// follow the rules of differentiation.
class KRExpression_PartialDerivativeEvaluation final : public KRExpressionOutput {
 public:
  KRExpression_PartialDerivativeEvaluation(KRValue value, KRValue derivative)
      : value(std::move(value)), derivative(std::move(derivative)) {}
  KRValueKind kind() const override { return KRValueKind::Derivative; }
  std::string description() const override;  // "(v = %@, d = %@)"
  std::optional<KRValue> perform(KROperatorType op, const KRValue& right,
                                 KRExpressionEvaluationErrorHandler& errors) const override;
  std::optional<KRValue> performWithLeft(KROperatorType op, const KRValue& left,
                                         KRExpressionEvaluationErrorHandler& errors) const override;

  KRValue value;
  KRValue derivative;
};

// a op b for values of any kinds.
std::optional<KRValue> performOperator(KROperatorType op, const KRValue& a, const KRValue& b,
                                       KRExpressionEvaluationErrorHandler& errors);
// A built-in function of a value; a list value holds the arguments of
// several-argument functions.
std::optional<KRValue> performBuiltin(KRBuiltin function, const KRValue& argument,
                                      KRExpressionEvaluationErrorHandler& errors);
// The smaller (larger) of two values, element by element; a derivative pair
// keeps the derivative of the operand chosen.
std::optional<KRValue> minimumWith(const KRValue& a, const KRValue& b, bool largest,
                                   KRExpressionEvaluationErrorHandler& errors);

// Element-wise loops over numbers and arrays (no lists or pairs). The
// shorter array decides the length.
KRValue elementWiseOperator(KROperatorType op, const KRValue& a, const KRValue& b);
KRValue elementWiseUnary(KRUnaryScalarFunction function, const KRValue& x);
KRValue elementWiseBinary(double (*function)(double, double), const KRValue& a, const KRValue& b);
KRValue elementWiseSelect(const KRValue& selector, const KRValue& whenNotNegative, const KRValue& whenNegative);
// The loops behind those and the compiled column programs: out[k] = a op b
// for k < count, where a null pointer stands for its number at every k (at
// least one of a and b is an array). out may not overlap an input.
void combineElementWise(KROperatorType op, const double* a, double aNumber, const double* b, double bNumber,
                        double* out, std::size_t count);
void combineElementWise(KRBinaryScalarFunction function, const double* a, double aNumber, const double* b,
                        double bNumber, double* out, std::size_t count);
// The number of elements of an array value (float elements unconverted),
// 1 for a number.
std::size_t elementCount(const KRValue& v);
// Elements from, ..., to-1 of an array value as doubles.
std::shared_ptr<KRDoubleArrayContainer> elementsOf(const KRExpressionArrayOutput& array, long from, long to);

}  // namespace orrelin
