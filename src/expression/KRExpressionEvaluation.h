#pragma once
// What an evaluation needs besides the tree: the values of the names, the
// user functions, where errors go, and for column evaluation a progress
// object that can stop the work.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expression/KRExpressionNodes.h"
#include "expression/KRExpressionValues.h"

namespace orrelin {

// Names are looked up first among the arguments, then among the constants.
class KRExpressionArgument {
 public:
  KRExpressionArgument();
  explicit KRExpressionArgument(std::map<std::string, KRValue, std::less<>> arguments,
                                const KRFunctionDictionary* functions = nullptr);

  const KRValue* valueFor(std::string_view name) const;

  std::map<std::string, KRValue, std::less<>> argumentsFromUser;
  const std::map<std::string, double, std::less<>>* knownConstants;
  const KRFunctionDictionary* knownFunctions = nullptr;
  // Elements per array in this evaluation; 0 when every argument is a number.
  // Callbacks that draw numbers draw this many.
  std::size_t arrayLength = 0;
  // How deeply user functions call each other at this point.
  int nesting = 0;
};

class KRExpressionEvaluationErrorHandler {
 public:
  // Each message replaces the one before.
  void miscError(const std::string& message);
  // A general message that should not hide the specific one an operation
  // has just given for the same failure.
  void miscErrorUnlessReported(const std::string& message);
  // A subscript that failed for element k of the current evaluation: the
  // element becomes NaN, the message is kept and the mask marks it.
  void subscriptError(const std::string& message, std::size_t element);
  // The message of subscripts that failed elsewhere, without a mark.
  void noteSubscriptError(const std::string& message);

  bool hasError() const { return hasError_; }
  bool hasSubscriptError() const { return hasSubscriptError_; }
  // "No error." until an error.
  const std::string& errorString() const { return errorString_; }
  // Forgets every error and mark; each evaluation of a whole formula starts
  // with it, so a handler can be used again.
  void clear();

  // Per element of an array evaluation, 1 where a subscript failed; empty
  // until a subscript fails. maskOffset places a block's elements.
  std::vector<unsigned char> subscriptErrorMask;
  std::size_t maskOffset = 0;
  std::size_t maskLength = 0;
  // When set, marks go here (maskLength bytes) instead of into the vector:
  // several threads mark their blocks of one column.
  unsigned char* maskTarget = nullptr;

 private:
  std::string errorString_ = "No error.";
  bool hasError_ = false;
  bool hasSubscriptError_ = false;
};

// A function the caller computes ("Callback" in the function dictionary).
class KRExpressionCallback {
 public:
  virtual ~KRExpressionCallback() = default;
  virtual std::optional<KRValue> evaluateWithArgument(const KRValue& argument, const KRExpressionArgument& input,
                                                      KRExpressionEvaluationErrorHandler& errors) = 0;
};

// Told the fraction done between blocks of a column evaluation; the work
// stops when it says the user has aborted. Called on the calling thread only.
class KRExpressionProgress {
 public:
  virtual ~KRExpressionProgress() = default;
  virtual void setFractionDone(double fraction) = 0;
  virtual bool userAborted() = 0;
};

}  // namespace orrelin
