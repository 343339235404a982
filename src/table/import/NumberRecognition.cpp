#include "table/import/NumberRecognition.h"

#include <algorithm>
#include <string>

#include "expression/KRExpression.h"
#include "expression/KRExpressionNodes.h"
#include "table/DecimalNumber.h"

namespace orrelin {

namespace {

bool isTrimmed(char c) { return c == ',' || c == ' ' || c == '$' || c == '"' || c == '(' || c == ')'; }

std::string_view trimmedEnds(std::string_view text) {
  while (!text.empty() && isTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && isTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view withoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// The formula reading: one value, or a list of two read again with a
// decimal comma.
std::optional<double> byFormula(const std::string& text) {
  auto expression = KRExpression::createFromString(text);
  if (!expression || !expression->theEntry()) return std::nullopt;
  if (const auto* list = dynamic_cast<const KRExpressionList*>(expression->theEntry().get())) {
    if (list->expressionList.size() != 2 || text.find(',') == std::string::npos) return std::nullopt;
    std::string decimalComma;
    decimalComma.reserve(text.size());
    for (char c : text)
      if (c != '.') decimalComma.push_back(c == ',' ? '.' : c);
    expression = KRExpression::createFromString(decimalComma);
    if (!expression || !expression->theEntry() || expression->theEntry()->expType() == KRExpressionListType)
      return std::nullopt;
  }
  return expression->evaluateNumber();
}

std::optional<double> recognise(std::string_view text, bool directly) {
  if (trimmedEnds(text).empty()) return std::nullopt;
  std::string_view rest = withoutLeadingBlanks(trimmedEnds(text));
  if (rest.empty()) return std::nullopt;
  // The "$" of a currency value has been trimmed off already (or sits after
  // tabs); the text as given says whether there was one.
  const bool currency = withoutLeadingBlanks(text).starts_with('$');
  if (rest.front() == '$') rest.remove_prefix(1);
  if (directly) {
    if (auto value = plainDecimalNumber(rest)) return value;
  }
  std::string formula(rest);
  if (currency) std::erase(formula, ',');
  return byFormula(formula);
}

}  // namespace

std::optional<double> plainDecimalNumber(std::string_view text) {
  // One sign; "+-1" and "--1" are for the formula reader.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  return readDecimalNumber(text);
}

std::optional<double> numberFromImportedText(std::string_view text) { return recognise(text, true); }

bool understandsAsNumber(std::string_view text) { return numberFromImportedText(text).has_value(); }

std::optional<double> numberFromImportedTextByFormula(std::string_view text) { return recognise(text, false); }

}  // namespace orrelin
