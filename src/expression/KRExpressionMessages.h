#pragma once
// Every text the formula code shows to users, in one place: the editing
// fields, the column error texts and the batch tool print them as they are.

namespace orrelin::expression_messages {

// Parsing
inline constexpr const char* kUnbalancedParenthesis = "Unbalanced parenthesis";
inline constexpr const char* kBalanceCurlyNotParenthesis = "Need to balance { with } and not )";
inline constexpr const char* kBalanceParenthesisNotCurly = "Need to balance ( with ) and not }";
inline constexpr const char* kNothingForEntry = "Nothing for entry";
inline constexpr const char* kListInsideList = "Can't have a list inside a list";
inline constexpr const char* kEndsInComma = "Ends in a comma";
inline constexpr const char* kIllegalOperator = "Ilegal operator";
inline constexpr const char* kInvalidNumber = "An invalid number";
inline constexpr const char* kOnlyFunctionHasArgument = "Only a function or sub-script can have an argument";
inline constexpr int kOnlyFunctionHasArgumentNumber = 21;
inline constexpr const char* kNeedsAnArgument = "Needs an argument";
inline constexpr const char* kIllegalArgumentForThisFunction = "Illegal argument for this function";
inline constexpr const char* kIllegalArgumentForAFunction = "Illegal argument for a function";
inline constexpr const char* kNoSubscript = "No subscript for this variable";
inline constexpr const char* kNoArgument = "No argument for this function";
inline constexpr const char* kUnknownFunction = "Unknown function";
inline constexpr const char* kNoFirstArgument = "No first argument for a binary operator";
inline constexpr const char* kNoSecondArgument = "Couldn't get the second argument for a binary operator";
inline constexpr const char* kEntriesHaveToMatch = "Number of entries has to match.";
inline constexpr const char* kIllegalArgumentForBinaryOperator = "Illegal argument for binary operator";
inline constexpr const char* kCouldNotParse = "Could not parse this expression";
// A tree this deep would exhaust the stack when evaluated; no typed formula
// comes near it.
inline constexpr const char* kNestedTooDeeply = "The expression is nested too deeply";
inline constexpr const char* kDamagedStoredFormula = "The stored formula is damaged";
inline constexpr const char* kStoredFunctionMissing = "The stored formula uses the function %@, which is not defined";

// Evaluation
inline constexpr const char* kNoError = "No error.";
inline constexpr const char* kUnknownArgument = "Unknown argument (%@)";
inline constexpr const char* kNestedLists = "Can't have nested lists, i.e. (0,(1,2))";
inline constexpr const char* kOperatorArgumentNil = "The argument to an operator is nil";
inline constexpr const char* kNoSelector = "Function doesn't have a selector";
inline constexpr const char* kOperatorDoesNotRespond = "The operator argument doesn't respond to the function";
inline constexpr const char* kFunctionArgumentNil = "The argument to a function is nil";
inline constexpr const char* kCantEvaluateFunction = "Can't evaluate the function with this argument.";
inline constexpr const char* kCantFindFunction = "Can't find the function \"%@\".";
inline constexpr const char* kIllegalArgumentCount = "Illegal argument count for \"%@\".";
inline constexpr const char* kNeedIntegerSubscript = "Need an integer argument for subscript of %@";
inline constexpr const char* kSubscriptOutOfBounds = "Argument out of bounds for %@";
inline constexpr const char* kInvalidInputForMinimum = "Invalid input for minimumWith";
inline constexpr const char* kNoGammaDerivative = "Haven't implemented the derivative of a gamma function yet.";
inline constexpr const char* kNoDerivative = "Can't take the derivative of %@";
inline constexpr const char* kAborted = "The computation was stopped";
inline constexpr const char* kFunctionTooDeep = "The function \"%@\" calls itself too deeply";
inline constexpr const char* kNothingToEvaluate = "The expression is empty";
inline constexpr const char* kNotANumber = "The expression does not give a single number";

}  // namespace orrelin::expression_messages
