#include "expression/KRExpression.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "expression/Utf16.h"

namespace orrelin {

namespace {

// Collects the variables and functions of a tree made by rewriting.
void collectNames(const KRExpressionNode* node, KRExpression::NameSet& variables, KRFunctionsUsed& functions) {
  if (!node) return;
  switch (node->expType()) {
    case KRExpressionConstantType:
      variables.insert(static_cast<const KRExpressionConstant&>(*node).constantName);
      break;
    case KRExpressionListType:
      for (const auto& entry : static_cast<const KRExpressionList&>(*node).expressionList)
        collectNames(entry.get(), variables, functions);
      break;
    case KRExpressionBinaryOperatorType: {
      const auto& op = static_cast<const KRExpressionBinaryOperator&>(*node);
      collectNames(op.firstArgument.get(), variables, functions);
      collectNames(op.secondArgument.get(), variables, functions);
      break;
    }
    case KRExpressionFunctionType: {
      const auto& f = static_cast<const KRExpressionFunction&>(*node);
      const int count = f.argument ? KRExpressionFunction::argumentCountOf(*f.argument) : 0;
      functions[f.functionName] = KRFunctionUse{functionUseType(f.functionType), count};
      collectNames(f.argument.get(), variables, functions);
      break;
    }
    default:
      break;
  }
}

// Reads digits only; none for an empty or non-digit text.
std::optional<double> wholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  double value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool isLeapYear(long long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(long long year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Y:M:D, Y:M:D:h:mm or Y:M:D:h:mm:s(.f) as seconds since 1970 UTC; NaN for
// any other shape or a moment the calendar does not have.
double dateFromText(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const auto colon = text.find(':', start);
    parts.push_back(text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  const double nan = std::nan("");
  if (parts.size() != 3 && parts.size() != 5 && parts.size() != 6) return nan;
  std::string_view yearText = parts[0];
  const bool negativeYear = !yearText.empty() && yearText[0] == '-';
  if (negativeYear) yearText.remove_prefix(1);
  const auto year = wholeNumber(yearText);
  const auto month = wholeNumber(parts[1]);
  const auto day = wholeNumber(parts[2]);
  if (!year || !month || !day) return nan;
  const long long y = static_cast<long long>(*year) * (negativeYear ? -1 : 1);
  if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(y, static_cast<int>(*month))) return nan;
  double hour = 0, minute = 0, second = 0;
  if (parts.size() >= 5) {
    const auto h = wholeNumber(parts[3]);
    const auto m = wholeNumber(parts[4]);
    if (!h || !m || *h > 23 || *m > 59) return nan;
    hour = *h, minute = *m;
  }
  if (parts.size() == 6) {
    std::string_view secondsText = parts[5];
    const auto point = secondsText.find('.');
    const auto whole = wholeNumber(secondsText.substr(0, point));
    if (!whole) return nan;
    second = *whole;
    if (point != std::string_view::npos) {
      const auto fraction = secondsText.substr(point + 1);
      double scale = 0.1;
      for (char c : fraction) {
        if (c < '0' || c > '9') return nan;
        second += (c - '0') * scale;
        scale /= 10;
      }
    }
    if (second >= 60) return nan;
  }
  return secondsSince1970(static_cast<double>(y), *month, *day, hour, minute, second);
}

double readOutOfRange(std::string_view text) {
  static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
  std::string copy(text);
  return cLocale ? strtod_l(copy.c_str(), nullptr, cLocale) : std::strtod(copy.c_str(), nullptr);
}

}  // namespace

const char* functionUseType(KRFunctionType type) {
  switch (type) {
    case KRFunctionType::Expression: return "Expression";
    case KRFunctionType::Callback: return "Callback";
    case KRFunctionType::Subscript: return "Sub";
    case KRFunctionType::BuiltIn: break;
  }
  return "Builtin";
}

void KRExpressionEvaluationHandler::addToFunctions(const std::string& name, int argumentCount, const std::string& type) {
  functionsUsed[name] = KRFunctionUse{type, argumentCount};
}

KRExpression::KRExpression(KRNodePtr root, NameSet variables, KRFunctionsUsed functions, std::u16string text)
    : theEntry_(std::move(root)),
      unknownVariables_(std::move(variables)),
      unknownFunctions_(std::move(functions)),
      text_(std::move(text)) {}

std::shared_ptr<KRExpression> KRExpression::createWithRoot(KRNodePtr root, std::u16string text) {
  NameSet variables;
  KRFunctionsUsed functions;
  collectNames(root.get(), variables, functions);
  return std::make_shared<KRExpression>(std::move(root), std::move(variables), std::move(functions), std::move(text));
}

std::string KRExpression::text() const { return utf8FromUtf16(text_); }

std::optional<double> KRExpression::numberFromText(std::string_view text) {
  if (text.find(':') != std::string_view::npos) return dateFromText(text);
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const bool negative = first != last && *first == '-';
  if (negative) ++first;
  if (first == last || *first == '+' || *first == '-') return std::nullopt;
  // Only digits, one point and an exponent; from_chars alone would also
  // take "inf" and "nan".
  for (const char* p = first; p != last; ++p) {
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) return std::nullopt;
  }
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ptr != last) return std::nullopt;
  if (result.ec == std::errc::result_out_of_range) value = readOutOfRange(std::string_view(first, last - first));
  else if (result.ec != std::errc()) return std::nullopt;
  return negative ? -value : value;
}

bool KRExpression::isADate(std::string_view text) {
  if (text.find(':') == std::string_view::npos) return false;
  return !std::isnan(dateFromText(text));
}

const std::map<std::string, double, std::less<>>& KRExpression::knownConstants() {
  static const std::map<std::string, double, std::less<>> constants = {
      {"pi", 3.141592653589793},
      {"\u03C0", 3.141592653589793},
      {"e", 2.718281828459045},
      {"Inf", HUGE_VAL},
      {"inf", HUGE_VAL},
      {"\u221E", HUGE_VAL},
      {"nan", std::nan("")},
      {"NaN", std::nan("")},
      {"\u00B0", 0.017453292519943295},
  };
  return constants;
}

KRExpression::NameSet KRExpression::subscripts() const {
  NameSet names;
  for (const auto& [name, use] : unknownFunctions_)
    if (use.type == "Sub") names.insert(name);
  return names;
}

bool KRExpression::containsSubscript() const {
  for (const auto& entry : unknownFunctions_)
    if (entry.second.type == "Sub") return true;
  return false;
}

KRExpression::NameSet KRExpression::subscriptsOrUnknowns() const {
  NameSet names = subscripts();
  names.insert(unknownVariables_.begin(), unknownVariables_.end());
  return names;
}

bool KRExpression::isEqualToExpression(const KRExpression& other) const {
  return nodesAreEqual(theEntry_.get(), other.theEntry_.get());
}

}  // namespace orrelin
