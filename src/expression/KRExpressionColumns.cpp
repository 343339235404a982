// Column evaluation: a formula over whole columns, worked through in
// consecutive blocks so no temporary is as long as the column. Blocks are
// independent, so the caller shares them with the workers it hands in;
// progress is reported from the calling thread between its blocks.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>

#include "expression/KRExpression.h"
#include "expression/KRExpressionBlockProgram.h"
#include "expression/KRExpressionMessages.h"
#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRFloatArrayContainer.h"

namespace orrelin {

namespace msg = expression_messages;

namespace {

bool containsKind(const KRExpressionNode* node, bool (*test)(const KRExpressionNode&)) {
  if (!node) return false;
  if (test(*node)) return true;
  switch (node->expType()) {
    case KRExpressionListType:
      for (const auto& entry : static_cast<const KRExpressionList&>(*node).expressionList)
        if (containsKind(entry.get(), test)) return true;
      return false;
    case KRExpressionBinaryOperatorType: {
      const auto& op = static_cast<const KRExpressionBinaryOperator&>(*node);
      return containsKind(op.firstArgument.get(), test) || containsKind(op.secondArgument.get(), test);
    }
    case KRExpressionFunctionType:
      return containsKind(static_cast<const KRExpressionFunction&>(*node).argument.get(), test);
    default:
      return false;
  }
}

bool isCallback(const KRExpressionNode& node) {
  return node.expType() == KRExpressionFunctionType &&
         static_cast<const KRExpressionFunction&>(node).functionType == KRFunctionType::Callback;
}
// Whether some list is a value of its own, not the arguments of a function.
bool hasListValue(const KRExpressionNode* node) {
  if (!node) return false;
  switch (node->expType()) {
    case KRExpressionListType:
      return true;
    case KRExpressionBinaryOperatorType: {
      const auto& op = static_cast<const KRExpressionBinaryOperator&>(*node);
      return hasListValue(op.firstArgument.get()) || hasListValue(op.secondArgument.get());
    }
    case KRExpressionFunctionType: {
      const auto& argument = static_cast<const KRExpressionFunction&>(*node).argument;
      if (!argument || argument->expType() != KRExpressionListType) return hasListValue(argument.get());
      for (const auto& entry : static_cast<const KRExpressionList&>(*argument).expressionList)
        if (hasListValue(entry.get())) return true;
      return false;
    }
    default:
      return false;
  }
}

bool isUserFunction(const KRExpressionNode& node) {
  return node.expType() == KRExpressionFunctionType &&
         static_cast<const KRExpressionFunction&>(node).functionType == KRFunctionType::Expression;
}

// The array arguments that are worked through element by element.
using ColumnArrays = std::map<std::string, const KRExpressionArrayOutput*, std::less<>>;

// Elements from, ..., from+count-1 through the general evaluator: every
// array argument cut to them (as doubles), everything else as it is.
std::optional<KRValue> evaluateBlock(const KRExpressionNode& root, const KRExpressionArgument& whole,
                                     const ColumnArrays& arrays, std::size_t from, std::size_t count,
                                     KRExpressionEvaluationErrorHandler& errors) {
  KRExpressionArgument input;
  input.knownConstants = whole.knownConstants;
  input.knownFunctions = whole.knownFunctions;
  input.arrayLength = count;
  for (const auto& [name, value] : whole.argumentsFromUser) {
    const auto found = arrays.find(name);
    if (found == arrays.end()) {
      input.argumentsFromUser.emplace(name, value);
      continue;
    }
    auto part = elementsOf(*found->second, static_cast<long>(from), static_cast<long>(from + count));
    if (!part) return std::nullopt;
    input.argumentsFromUser.emplace(name, KRValue::array(std::move(part)));
  }
  errors.maskOffset = from;
  return root.evaluateExpression(input, errors);
}

// Writes a block's value into the column; false when it is neither a number
// nor an array.
bool storeBlock(const KRValue& value, double* out, std::size_t count, KRExpressionEvaluationErrorHandler& errors) {
  if (value.isNumber()) {
    std::fill(out, out + count, value.number());
    return true;
  }
  if (const auto* array = value.arrayContainer()) {
    const std::size_t available = std::min<std::size_t>(count, std::size_t(array->length()));
    std::copy(array->constDoublePointer(), array->constDoublePointer() + available, out);
    std::fill(out + available, out + count, std::nan(""));
    return true;
  }
  errors.miscError(msg::kNotANumber);
  return false;
}

}  // namespace

std::optional<KRValue> KRExpression::evaluateWithArguments(const std::map<std::string, KRValue, std::less<>>& arguments,
                                                           long maximumArrayLength, KRExpressionProgress* progress,
                                                           KRExpressionEvaluationErrorHandler* errorHandler,
                                                           const KRFunctionDictionary* functions,
                                                           KRExpressionWorkers* workers) const {
  KRExpressionEvaluationErrorHandler scratch;
  KRExpressionEvaluationErrorHandler& errors = errorHandler ? *errorHandler : scratch;
  errors.clear();
  if (!theEntry_) {
    errors.miscError(msg::kNothingToEvaluate);
    return std::nullopt;
  }

  // Numbers go into the tree; arrays stay arguments. A subscripted array is
  // picked from at any index, so it is kept whole and does not limit the
  // length.
  const NameSet subscripted = subscripts();
  std::map<std::string, KRInsertion, std::less<>> numbers;
  ColumnArrays arrays;
  KRExpressionArgument whole;
  whole.knownFunctions = functions;
  std::size_t length = SIZE_MAX;
  for (const auto& [name, value] : arguments) {
    if (value.isNumber()) {
      numbers.emplace(name, value.number());
      continue;
    }
    whole.argumentsFromUser.emplace(name, value);
    if (value.kind() != KRValueKind::Array || subscripted.count(name)) continue;
    length = std::min(length, elementCount(value));
    arrays.emplace(name, static_cast<const KRExpressionArrayOutput*>(value.rich()));
  }
  std::shared_ptr<const KRExpression> prepared = insertValues(numbers);
  if (!prepared) {
    errors.miscError(msg::kNestedTooDeeply);
    return std::nullopt;
  }
  if (functions) prepared = prepared->insertFunctions(*functions);
  prepared = prepared->simplify();
  const KRExpressionNode& root = *prepared->theEntry();

  // Without arrays the formula is worked out once.
  if (arrays.empty()) {
    whole.arrayLength = 0;
    return root.evaluateExpression(whole, errors);
  }
  if (maximumArrayLength >= 0) length = std::min<std::size_t>(length, std::size_t(maximumArrayLength));

  const bool drawsNumbers = containsKind(&root, isCallback);
  if (hasListValue(&root) || containsKind(&root, isUserFunction)) {
    // Lists cannot be assembled from blocks; such formulas are worked out
    // over the whole length at once.
    errors.maskLength = length;
    auto value = evaluateBlock(root, whole, arrays, 0, length, errors);
    if (value && progress) progress->setFractionDone(1.0);
    return value;
  }

  auto output = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(length));
  if (!output) {
    errors.miscError(msg::kNotANumber);
    return std::nullopt;
  }
  double* out = output->mutableDoublePointer();
  std::map<std::string, KRColumnElements, std::less<>> arrayData;
  for (const auto& [name, array] : arrays) {
    if (const auto& floats = array->floatArray())
      arrayData[name].floats = floats->constPointer();
    else if (array->array())
      arrayData[name].doubles = array->array()->constDoublePointer();
  }
  const auto program = drawsNumbers ? std::nullopt : KRExpressionBlockProgram::compile(root, arrayData, whole);

  // Callbacks draw their numbers for all elements at once, in order, so a
  // seed gives the same column however it is cut.
  const std::size_t blockSize = drawsNumbers ? std::max<std::size_t>(length, 1) : 8 * KRExpressionBlockProgram::kBlockSize;
  const std::size_t blocks = (length + blockSize - 1) / blockSize;
  if (containsSubscript()) {
    errors.maskLength = length;
    errors.subscriptErrorMask.assign(length, 0);
  }

  std::atomic<std::size_t> next{0}, done{0};
  std::atomic<bool> stop{false};
  struct Worker {
    KRExpressionEvaluationErrorHandler errors;
    std::vector<double> scratch;
    std::size_t firstFailedBlock = SIZE_MAX;
  };
  const unsigned helpers = (drawsNumbers || blocks < 4 || !workers) ? 0u : std::min(workers->helperCount(), 7u);
  std::vector<Worker> shares(helpers + 1);
  for (auto& w : shares) {
    // Blocks are disjoint, so every worker marks the one mask directly.
    w.errors.maskLength = errors.maskLength;
    w.errors.maskTarget = errors.subscriptErrorMask.empty() ? nullptr : errors.subscriptErrorMask.data();
  }

  const auto work = [&](Worker& w, bool reporting) {
    while (!stop.load(std::memory_order_relaxed)) {
      const std::size_t block = next.fetch_add(1);
      if (block >= blocks) break;
      const std::size_t from = block * blockSize;
      const std::size_t count = std::min(blockSize, length - from);
      if (program) {
        program->run(from, count, out + from, w.scratch);
      } else {
        auto value = evaluateBlock(root, whole, arrays, from, count, w.errors);
        if (!value || !storeBlock(*value, out + from, count, w.errors)) {
          w.firstFailedBlock = block;
          stop = true;
          break;
        }
      }
      const std::size_t finished = ++done;
      if (reporting && progress) {
        progress->setFractionDone(double(finished) / double(blocks));
        if (progress->userAborted()) stop = true;
      }
    }
  };
  if (helpers == 0) {
    work(shares[0], true);
  } else {
    std::vector<std::function<void()>> helperCalls;
    for (unsigned k = 0; k < helpers; ++k) helperCalls.push_back([&work, &shares, k] { work(shares[k + 1], false); });
    workers->runAlongside(helperCalls, [&work, &shares] { work(shares[0], true); });
  }

  // A failure of the earliest block gives the message; else the subscript
  // message, if any.
  const Worker* failed = nullptr;
  for (const auto& w : shares)
    if (w.firstFailedBlock != SIZE_MAX && (!failed || w.firstFailedBlock < failed->firstFailedBlock)) failed = &w;
  if (failed) {
    errors.miscError(failed->errors.errorString());
    return std::nullopt;
  }
  if (stop) {
    errors.miscError(msg::kAborted);
    return std::nullopt;
  }
  if (progress) progress->setFractionDone(1.0);
  for (const auto& w : shares)
    if (w.errors.hasSubscriptError()) errors.noteSubscriptError(w.errors.errorString());
  return KRValue::array(std::move(output));
}

}  // namespace orrelin
