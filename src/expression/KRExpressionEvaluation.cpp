// Evaluation of the nodes of a tree, and the ways to evaluate a whole
// formula to a number, a list, an array or any value.

#include "expression/KRExpressionEvaluation.h"

#include <cmath>

#include "expression/KRExpression.h"
#include "expression/KRExpressionMessages.h"
#include "numeric/KRDoubleArrayContainer.h"

namespace orrelin {

namespace msg = expression_messages;

namespace {

// User functions calling each other deeper than this are taken to recurse
// without end.
constexpr int kMaximumNesting = 64;

}  // namespace

// ---- arguments and errors

KRExpressionArgument::KRExpressionArgument() : knownConstants(&KRExpression::knownConstants()) {}

KRExpressionArgument::KRExpressionArgument(std::map<std::string, KRValue, std::less<>> arguments,
                                           const KRFunctionDictionary* functions)
    : argumentsFromUser(std::move(arguments)), knownConstants(&KRExpression::knownConstants()), knownFunctions(functions) {}

const KRValue* KRExpressionArgument::valueFor(std::string_view name) const {
  const auto found = argumentsFromUser.find(name);
  return found == argumentsFromUser.end() ? nullptr : &found->second;
}

void KRExpressionEvaluationErrorHandler::miscError(const std::string& message) {
  errorString_ = message;
  hasError_ = true;
}

void KRExpressionEvaluationErrorHandler::miscErrorUnlessReported(const std::string& message) {
  if (!hasError_) miscError(message);
}

void KRExpressionEvaluationErrorHandler::subscriptError(const std::string& message, std::size_t element) {
  errorString_ = message;
  hasSubscriptError_ = true;
  const std::size_t at = maskOffset + element;
  if (at >= maskLength) return;
  if (maskTarget) {
    maskTarget[at] = 1;
    return;
  }
  if (subscriptErrorMask.size() < maskLength) subscriptErrorMask.resize(maskLength, 0);
  subscriptErrorMask[at] = 1;
}

void KRExpressionEvaluationErrorHandler::noteSubscriptError(const std::string& message) {
  errorString_ = message;
  hasSubscriptError_ = true;
}

void KRExpressionEvaluationErrorHandler::clear() {
  errorString_ = msg::kNoError;
  hasError_ = hasSubscriptError_ = false;
  subscriptErrorMask.clear();
  maskOffset = maskLength = 0;
  maskTarget = nullptr;
}

// ---- nodes

std::optional<KRValue> KRExpressionValue::evaluateExpression(const KRExpressionArgument&,
                                                             KRExpressionEvaluationErrorHandler&) const {
  return KRValue(numberValue);
}

std::optional<KRValue> KRExpressionConstant::evaluateExpression(const KRExpressionArgument& input,
                                                                KRExpressionEvaluationErrorHandler& errors) const {
  if (const KRValue* value = input.valueFor(constantName)) return *value;
  if (input.knownConstants) {
    const auto found = input.knownConstants->find(constantName);
    if (found != input.knownConstants->end()) return KRValue(found->second);
  }
  errors.miscError(formatMessage(msg::kUnknownArgument, constantName));
  return std::nullopt;
}

std::optional<KRValue> KRExpressionList::evaluateExpression(const KRExpressionArgument& input,
                                                            KRExpressionEvaluationErrorHandler& errors) const {
  std::vector<KRValue> values;
  values.reserve(expressionList.size());
  for (const auto& entry : expressionList) {
    auto value = entry->evaluateExpression(input, errors);
    if (!value) return std::nullopt;
    if (value->kind() == KRValueKind::List) {
      errors.miscError(msg::kNestedLists);
      return std::nullopt;
    }
    values.push_back(std::move(*value));
  }
  return KRValue::list(std::move(values));
}

std::optional<KRValue> KRExpressionBinaryOperator::evaluateExpression(const KRExpressionArgument& input,
                                                                      KRExpressionEvaluationErrorHandler& errors) const {
  auto first = firstArgument->evaluateExpression(input, errors);
  auto second = first ? secondArgument->evaluateExpression(input, errors) : std::nullopt;
  if (!first || !second) {
    // Replaces the operand's own message, like every later error.
    errors.miscError(msg::kOperatorArgumentNil);
    return std::nullopt;
  }
  if (functionType == KROperatorType::None) {
    errors.miscError(msg::kNoSelector);
    return std::nullopt;
  }
  auto result = performOperator(functionType, *first, *second, errors);
  if (!result) errors.miscErrorUnlessReported(msg::kOperatorDoesNotRespond);
  return result;
}

namespace {

const KRUserFunction* userFunction(const KRExpressionArgument& input, const std::string& name) {
  if (!input.knownFunctions) return nullptr;
  const auto found = input.knownFunctions->find(name);
  return found == input.knownFunctions->end() ? nullptr : &found->second;
}

// name(i): element i (counting from 1) of the array, for every element of i.
std::optional<KRValue> subscriptValue(const KRExpressionFunction& f, const KRValue& index, const KRExpressionArgument& input,
                                      KRExpressionEvaluationErrorHandler& errors) {
  std::shared_ptr<const KRDoubleArrayContainer> array;
  if (const KRValue* v = input.valueFor(f.functionName)) array = v->sharedArray();
  if (!array)
    if (const KRUserFunction* definition = userFunction(input, f.functionName)) array = definition->subscriptArray;
  if (!array) array = f.subscriptArray;
  if (!array) {
    errors.miscError(formatMessage(msg::kCantFindFunction, f.functionName));
    return std::nullopt;
  }
  const double* data = array->constDoublePointer();
  const long length = array->length();
  const auto pick = [&](double i, std::size_t element) {
    if (!(i == std::floor(i))) {
      errors.subscriptError(formatMessage(msg::kNeedIntegerSubscript, f.functionName), element);
      return std::nan("");
    }
    if (i < 1 || i > static_cast<double>(length)) {
      errors.subscriptError(formatMessage(msg::kSubscriptOutOfBounds, f.functionName), element);
      return std::nan("");
    }
    return data[static_cast<long>(i) - 1];
  };
  if (index.isNumber()) return KRValue(pick(index.number(), 0));
  const auto* indices = index.arrayContainer();
  if (!indices) {
    errors.miscError(msg::kCantEvaluateFunction);
    return std::nullopt;
  }
  const long n = indices->length();
  auto result = KRDoubleArrayContainer::createArrayOfLength(n);
  if (!result) return std::nullopt;
  double* out = result->mutableDoublePointer();
  const double* in = indices->constDoublePointer();
  for (long k = 0; k < n; ++k) out[k] = pick(in[k], static_cast<std::size_t>(k));
  return KRValue::array(std::move(result));
}

}  // namespace

std::optional<KRValue> KRExpressionFunction::evaluateExpression(const KRExpressionArgument& input,
                                                                KRExpressionEvaluationErrorHandler& errors) const {
  if (!argument) {
    errors.miscError(msg::kFunctionArgumentNil);
    return std::nullopt;
  }
  auto value = argument->evaluateExpression(input, errors);
  if (!value) {
    errors.miscError(msg::kFunctionArgumentNil);
    return std::nullopt;
  }
  switch (functionType) {
    case KRFunctionType::BuiltIn: {
      auto result = performBuiltin(functionSelector, *value, errors);
      if (!result) errors.miscErrorUnlessReported(msg::kCantEvaluateFunction);
      return result;
    }
    case KRFunctionType::Callback: {
      std::shared_ptr<KRExpressionCallback> callback = functionCallback;
      if (const KRUserFunction* definition = userFunction(input, functionName); definition && definition->callback)
        callback = definition->callback;
      if (!callback) {
        errors.miscError(formatMessage(msg::kCantFindFunction, functionName));
        return std::nullopt;
      }
      return callback->evaluateWithArgument(*value, input, errors);
    }
    case KRFunctionType::Subscript:
      return subscriptValue(*this, *value, input, errors);
    case KRFunctionType::Expression:
      break;
  }
  std::shared_ptr<const KRExpression> definitionExpression = expression;
  const std::vector<std::string>* order = &argumentOrder;
  if (const KRUserFunction* definition = userFunction(input, functionName); definition && definition->expression) {
    definitionExpression = definition->expression;
    order = &definition->order;
  }
  if (!definitionExpression || !definitionExpression->theEntry()) {
    errors.miscError(formatMessage(msg::kCantFindFunction, functionName));
    return std::nullopt;
  }
  KRExpressionArgument bound;
  bound.knownConstants = input.knownConstants;
  bound.knownFunctions = input.knownFunctions;
  bound.arrayLength = input.arrayLength;
  bound.nesting = input.nesting + 1;
  if (bound.nesting > kMaximumNesting) {
    errors.miscError(formatMessage(msg::kFunctionTooDeep, functionName));
    return std::nullopt;
  }
  if (const auto* entries = value->listEntries()) {
    if (entries->size() != order->size()) {
      errors.miscError(formatMessage(msg::kIllegalArgumentCount, functionName));
      return std::nullopt;
    }
    for (std::size_t k = 0; k < order->size(); ++k) bound.argumentsFromUser[(*order)[k]] = (*entries)[k];
  } else {
    if (order->size() != 1) {
      errors.miscError(formatMessage(msg::kIllegalArgumentCount, functionName));
      return std::nullopt;
    }
    bound.argumentsFromUser[(*order)[0]] = *value;
  }
  return definitionExpression->theEntry()->evaluateExpression(bound, errors);
}

// ---- whole formulas

namespace {

KRExpressionArgument numberArguments(const std::map<std::string, double, std::less<>>& arguments) {
  KRExpressionArgument input;
  for (const auto& [name, value] : arguments) input.argumentsFromUser.emplace(name, KRValue(value));
  return input;
}

std::optional<double> singleNumber(const std::optional<KRValue>& value, KRExpressionEvaluationErrorHandler& errors) {
  if (!value || errors.hasError() || errors.hasSubscriptError()) return std::nullopt;
  if (!value->isNumber()) {
    errors.miscError(msg::kNotANumber);
    return std::nullopt;
  }
  return value->number();
}

std::shared_ptr<KRDoubleArrayContainer> numbersOf(const std::optional<KRValue>& value,
                                                  KRExpressionEvaluationErrorHandler& errors) {
  if (!value || errors.hasError()) return nullptr;
  if (value->isNumber()) {
    auto array = KRDoubleArrayContainer::createArrayOfLength(1);
    if (array) array->setValue(value->number(), 0);
    return array;
  }
  if (const auto* array = value->arrayContainer()) return array->mutableCopy();
  const auto* entries = value->listEntries();
  if (!entries) {
    errors.miscError(msg::kNotANumber);
    return nullptr;
  }
  auto array = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(entries->size()));
  if (!array) return nullptr;
  for (std::size_t k = 0; k < entries->size(); ++k) {
    if (!(*entries)[k].isNumber()) {
      errors.miscError(msg::kNotANumber);
      return nullptr;
    }
    array->setValue((*entries)[k].number(), static_cast<long>(k));
  }
  return array;
}

}  // namespace

std::optional<KRValue> KRExpression::evaluateWithArguments(const KRExpressionArgument& input,
                                                           KRExpressionEvaluationErrorHandler* errorHandler) const {
  KRExpressionEvaluationErrorHandler scratch;
  KRExpressionEvaluationErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  // What an earlier evaluation reported has no say in this one.
  errors.clear();
  if (!theEntry_) {
    errors.miscError(msg::kNothingToEvaluate);
    return std::nullopt;
  }
  return theEntry_->evaluateExpression(input, errors);
}

std::optional<KRValue> KRExpression::evaluate() const { return evaluateWithArguments(KRExpressionArgument()); }

std::optional<KRValue> KRExpression::evaluateWithArguments(const std::map<std::string, KRValue, std::less<>>& arguments,
                                                           const KRFunctionDictionary* functions,
                                                           KRExpressionEvaluationErrorHandler* errorHandler) const {
  KRExpressionArgument input(arguments, functions);
  for (const auto& [name, value] : arguments)
    if (value.kind() == KRValueKind::Array) input.arrayLength = std::max(input.arrayLength, elementCount(value));
  return evaluateWithArguments(input, errorHandler);
}

std::optional<KRValue> KRExpression::evaluateAt(double x) const {
  std::string name = "x";
  NameSet free;
  for (const auto& unknown : unknownVariables_)
    if (!knownConstants().count(unknown)) free.insert(unknown);
  if (free.size() == 1) name = *free.begin();
  KRExpressionArgument input;
  input.argumentsFromUser.emplace(name, KRValue(x));
  return evaluateWithArguments(input);
}

std::optional<double> KRExpression::evaluateNumber(KRExpressionEvaluationErrorHandler* errorHandler) const {
  return evaluateNumberWithArguments({}, errorHandler);
}

std::optional<double> KRExpression::evaluateNumberWithArguments(const std::map<std::string, double, std::less<>>& arguments,
                                                                KRExpressionEvaluationErrorHandler* errorHandler) const {
  KRExpressionEvaluationErrorHandler scratch;
  KRExpressionEvaluationErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  return singleNumber(evaluateWithArguments(numberArguments(arguments), &errors), errors);
}

std::optional<double> KRExpression::evaluateNumberFromString(std::string_view text) {
  return evaluateNumberFromString(text, std::map<std::string, double, std::less<>>{});
}

std::optional<double> KRExpression::evaluateNumberFromString(std::string_view text,
                                                             const std::map<std::string, double, std::less<>>& arguments) {
  auto e = createFromString(text);
  return e ? e->evaluateNumberWithArguments(arguments) : std::nullopt;
}

std::optional<double> KRExpression::evaluateNumberFromString(std::string_view text, std::string* errorDescription) {
  KRExpressionErrorHandler parseErrors;
  auto e = createFromString(text, &parseErrors);
  if (!e) {
    if (errorDescription) *errorDescription = parseErrors.errorString();
    return std::nullopt;
  }
  KRExpressionEvaluationErrorHandler errors;
  auto number = e->evaluateNumber(&errors);
  if (errorDescription) *errorDescription = number ? std::string() : errors.errorString();
  return number;
}

std::shared_ptr<KRDoubleArrayContainer> KRExpression::evaluateArrayOfNumbers(KRExpressionEvaluationErrorHandler* errorHandler) const {
  return evaluateArrayOfNumbersWithArguments({}, errorHandler);
}

std::shared_ptr<KRDoubleArrayContainer> KRExpression::evaluateArrayOfNumbersWithArguments(
    const std::map<std::string, double, std::less<>>& arguments, KRExpressionEvaluationErrorHandler* errorHandler) const {
  KRExpressionEvaluationErrorHandler scratch;
  KRExpressionEvaluationErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  return numbersOf(evaluateWithArguments(numberArguments(arguments), &errors), errors);
}

std::shared_ptr<KRDoubleArrayContainer> KRExpression::evaluateArrayOfNumbersFromString(std::string_view text) {
  return evaluateArrayOfNumbersFromString(text, {});
}

std::shared_ptr<KRDoubleArrayContainer> KRExpression::evaluateArrayOfNumbersFromString(
    std::string_view text, const std::map<std::string, double, std::less<>>& arguments) {
  auto e = createFromString(text);
  return e ? e->evaluateArrayOfNumbersWithArguments(arguments) : nullptr;
}

}  // namespace orrelin
