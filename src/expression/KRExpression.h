#pragma once
// A parsed formula: the root of its tree, the names it uses as variables and
// the functions it calls. Made from text by createFromString; every text
// gives either an expression or one error message, never an exception.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "expression/KRExpressionErrorHandler.h"
#include "expression/KRExpressionEvaluation.h"
#include "expression/KRExpressionNodes.h"
#include "expression/KRExpressionWorkers.h"
#include "expression/KRToken.h"
#include "platform/PropertyList.h"

namespace orrelin {

// What a formula records about a function it calls.
struct KRFunctionUse {
  std::string type;  // "Builtin", "Sub", "Callback" or "Expression"
  int argumentCount = 1;
  bool operator==(const KRFunctionUse&) const = default;
};
using KRFunctionsUsed = std::map<std::string, KRFunctionUse, std::less<>>;
// The type a formula records for a call of a function of that kind.
const char* functionUseType(KRFunctionType type);

// The state of one parse: where errors go, which names were used as
// variables, the caller's functions, and the functions used.
class KRExpressionEvaluationHandler {
 public:
  KRExpressionEvaluationHandler(KRExpressionErrorHandler& errorHandler, const KRFunctionDictionary* knownFunctions)
      : errorHandler(errorHandler), knownFunctions(knownFunctions) {}

  void addToVariables(const std::string& name) { variables.insert(name); }
  void addToFunctions(const std::string& name, int argumentCount, const std::string& type);

  KRExpressionErrorHandler& errorHandler;
  std::set<std::string, std::less<>> variables;
  const KRFunctionDictionary* knownFunctions;
  KRFunctionsUsed functionsUsed;
};

// A value or a whole formula to put in place of a name.
using KRInsertion = std::variant<double, std::shared_ptr<const KRExpression>>;

class KRExpression {
 public:
  using NameSet = std::set<std::string, std::less<>>;

  KRExpression(KRNodePtr root, NameSet variables, KRFunctionsUsed functions, std::u16string text = {});
  // A tree made by rewriting or read back: its names and functions are read
  // off the tree.
  static std::shared_ptr<KRExpression> createWithRoot(KRNodePtr root, std::u16string text = {});

  // Parsing
  static std::shared_ptr<KRExpression> createFromString(std::string_view text, const KRFunctionDictionary* functions,
                                                        KRExpressionErrorHandler* errorHandler);
  static std::shared_ptr<KRExpression> createFromString(std::string_view text, KRExpressionErrorHandler* errorHandler) {
    return createFromString(text, nullptr, errorHandler);
  }
  static std::shared_ptr<KRExpression> createFromString(std::string_view text) {
    return createFromString(text, nullptr, nullptr);
  }
  // The comma splitting and the reduction of a token/node list; null after
  // an error reported to the handler.
  struct Item;
  static KRNodePtr createFromTokens(std::vector<Item> items, KRExpressionEvaluationHandler& handler);
  static KRNodePtr expressionFromTokens(std::vector<Item> items, KRExpressionEvaluationHandler& handler);

  // Tokenizing. Positions count UTF-16 code units of the text. None for a
  // text without tokens.
  static std::optional<std::vector<KRToken>> splitIntoTokens(std::string_view text);
  static std::optional<std::vector<KRToken>> splitIntoTokens(std::u16string_view text);
  // The position just after the date literal whose year ends at the colon
  // at startingAt, or startingAt when no date literal starts there.
  static std::size_t findEndOfDate(std::u16string_view text, std::size_t length, std::size_t startingAt);
  // Whether the text is a date literal of a real calendar date.
  static bool isADate(std::string_view text);
  // The value of a number token's text: a decimal number, or seconds since
  // 1970 for a date literal (NaN for an impossible date); none when the
  // text is not a number at all.
  static std::optional<double> numberFromText(std::string_view text);

  // The names that evaluate to numbers without being given: pi, e, Inf, ...
  static const std::map<std::string, double, std::less<>>& knownConstants();

  const KRNodePtr& theEntry() const { return theEntry_; }
  const NameSet& unknownVariables() const { return unknownVariables_; }
  const KRFunctionsUsed& unknownFunctions() const { return unknownFunctions_; }
  // The formula text this expression was parsed from (empty for made trees).
  std::string text() const;

  const NameSet& unknowns() const { return unknownVariables_; }
  std::size_t numberOfUnknowns() const { return unknownVariables_.size(); }
  bool dependsOn(std::string_view name) const { return unknownVariables_.count(name) > 0; }
  const KRFunctionsUsed& functions() const { return unknownFunctions_; }
  NameSet subscripts() const;
  bool containsSubscript() const;
  NameSet subscriptsOrUnknowns() const;

  // Rewriting; each gives a new expression and leaves this one alone.
  std::shared_ptr<KRExpression> simplify() const;
  std::shared_ptr<KRExpression> insertValue(double value, std::string_view name) const;
  std::shared_ptr<KRExpression> insertValues(const std::map<std::string, KRInsertion, std::less<>>& values) const;
  // Calls of the given user functions are replaced by their formulas with
  // the arguments put in place of the argument names; callbacks and
  // subscripted variables take the new definitions.
  std::shared_ptr<KRExpression> insertFunctions(const KRFunctionDictionary& functions) const;
  std::shared_ptr<KRExpression> addExpression(const KRExpression& other) const;
  std::shared_ptr<KRExpression> subtract(const KRExpression& other) const;
  // The derivative with respect to the name, simplified; null with a
  // message when some part has no derivative.
  std::shared_ptr<KRExpression> partial(std::string_view name, KRExpressionErrorHandler* errorHandler = nullptr) const;

  // The formula as text that parses back to the same values; numbers with
  // the given significant digits (0: as many as needed to read back exactly).
  std::string stringValue(int significantDigits = 0) const;
  bool isEqualToExpression(const KRExpression& other) const;

  // Evaluation to numbers: nothing when parsing or evaluation fails or when
  // the value is not one number (a list, for example).
  std::optional<double> evaluateNumber(KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  std::optional<double> evaluateNumberWithArguments(const std::map<std::string, double, std::less<>>& arguments,
                                                    KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  static std::optional<double> evaluateNumberFromString(std::string_view text);
  static std::optional<double> evaluateNumberFromString(std::string_view text,
                                                        const std::map<std::string, double, std::less<>>& arguments);
  // The error text (parsing or evaluation) goes to errorDescription.
  static std::optional<double> evaluateNumberFromString(std::string_view text, std::string* errorDescription);

  // A number, a list of numbers or an array as a double array.
  std::shared_ptr<KRDoubleArrayContainer> evaluateArrayOfNumbers(KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  std::shared_ptr<KRDoubleArrayContainer> evaluateArrayOfNumbersWithArguments(
      const std::map<std::string, double, std::less<>>& arguments,
      KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  static std::shared_ptr<KRDoubleArrayContainer> evaluateArrayOfNumbersFromString(std::string_view text);
  static std::shared_ptr<KRDoubleArrayContainer> evaluateArrayOfNumbersFromString(
      std::string_view text, const std::map<std::string, double, std::less<>>& arguments);

  // The value itself, of any kind.
  std::optional<KRValue> evaluate() const;
  std::optional<KRValue> evaluateWithArguments(const KRExpressionArgument& input,
                                               KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  std::optional<KRValue> evaluateWithArguments(const std::map<std::string, KRValue, std::less<>>& arguments,
                                               const KRFunctionDictionary* functions = nullptr,
                                               KRExpressionEvaluationErrorHandler* errorHandler = nullptr) const;
  // The value with the formula's one free name (else "x") set to x.
  std::optional<KRValue> evaluateAt(double x) const;

  // Column evaluation: number arguments are put into the tree, which is
  // then simplified; array arguments are worked through in consecutive
  // blocks, each element on its own, so no temporary is as long as the
  // column. The shortest array decides the length, capped by
  // maximumArrayLength unless that is -1. Progress is reported between
  // blocks, from the calling thread; an abort gives nothing. Elements whose
  // subscript failed are NaN and marked in the handler's subscriptErrorMask.
  // With workers, the blocks are shared with their threads.
  std::optional<KRValue> evaluateWithArguments(const std::map<std::string, KRValue, std::less<>>& arguments,
                                               long maximumArrayLength, KRExpressionProgress* progress = nullptr,
                                               KRExpressionEvaluationErrorHandler* errorHandler = nullptr,
                                               const KRFunctionDictionary* functions = nullptr,
                                               KRExpressionWorkers* workers = nullptr) const;

  // Stored form. The nodes go into allEntries children first, so a reader
  // can check that every reference points backwards.
  PropertyList propertyList() const;
  static std::shared_ptr<KRExpression> createFromPropertyList(const PropertyList& list, const KRFunctionDictionary* functions,
                                                              KRExpressionErrorHandler* errorHandler = nullptr);
  // Appends the node and its children; gives the node's index.
  static std::int64_t putIntoArray(const KRExpressionNode& node, PlistArray& allEntries);
  // The node stored at location; null (with a message) when damaged.
  static KRNodePtr createFromArray(const PlistArray& allEntries, std::int64_t location, const KRFunctionDictionary* functions,
                                   KRExpressionErrorHandler& errorHandler);

  // Deeper trees are refused.
  static constexpr int kMaximumDepth = 2000;

 private:
  KRNodePtr theEntry_;
  NameSet unknownVariables_;
  KRFunctionsUsed unknownFunctions_;
  std::u16string text_;
};

// One entry of the list the parser reduces: a raw token or a finished node.
struct KRExpression::Item {
  KRToken token;
  KRNodePtr node;
  std::int32_t expType() const { return node ? node->expType() : token.expType(); }
  bool isNode() const { return node != nullptr; }
};

}  // namespace orrelin
