#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"

using namespace orrelin;
using orrelin::testing_support::utcSeconds;

namespace {

KRValue arrayOf(const std::vector<double>& values) {
  auto array = KRDoubleArrayContainer::createArrayOfLength(static_cast<long>(values.size()));
  for (std::size_t k = 0; k < values.size(); ++k) array->setValue(values[k], static_cast<long>(k));
  return KRValue::array(std::move(array));
}

std::vector<double> numbersIn(const KRValue& value) {
  if (value.isNumber()) return {value.number()};
  const auto* array = value.arrayContainer();
  if (!array) return {};
  return std::vector<double>(array->constDoublePointer(), array->constDoublePointer() + array->length());
}

std::optional<KRValue> evaluate(std::string_view formula, const std::map<std::string, KRValue, std::less<>>& arguments = {},
                                KRExpressionEvaluationErrorHandler* errors = nullptr,
                                const KRFunctionDictionary* functions = nullptr) {
  KRExpressionErrorHandler parseErrors;
  auto e = KRExpression::createFromString(formula, functions, &parseErrors);
  EXPECT_TRUE(e) << formula << ": " << parseErrors.errorString();
  if (!e) return std::nullopt;
  return e->evaluateWithArguments(arguments, functions, errors);
}

struct NumberCase {
  const char* formula;
  double value;
};

class NumberEvaluation : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberEvaluation, GivesTheValueWithoutErrorText) {
  std::string error = "unchanged";
  const auto value = KRExpression::evaluateNumberFromString(GetParam().formula, &error);
  ASSERT_TRUE(value) << GetParam().formula << ": " << error;
  EXPECT_EQ(error, "");
  if (std::isnan(GetParam().value)) EXPECT_TRUE(std::isnan(*value)) << GetParam().formula << " gave " << *value;
  else EXPECT_DOUBLE_EQ(*value, GetParam().value) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Builtins, NumberEvaluation,
    ::testing::Values(
        NumberCase{"2^10", 1024}, NumberCase{"1/0", HUGE_VAL}, NumberCase{"-1/0", -HUGE_VAL}, NumberCase{"log(-1)", NAN},
        NumberCase{"0/0", NAN}, NumberCase{"fact(5)", 120}, NumberCase{"fact(0)", 1}, NumberCase{"fact(1)", 1},
        NumberCase{"fact(20)", 2432902008176640000.0}, NumberCase{"fact(171)", HUGE_VAL}, NumberCase{"fact(-3)", NAN},
        NumberCase{"H(0)", 0.5}, NumberCase{"H(-1e-300)", 0}, NumberCase{"H(2)", 1}, NumberCase{"HeavySide(0)", 1},
        NumberCase{"HeavySide(-0.1)", 0}, NumberCase{"sinc(0)", 1}, NumberCase{"sinc(pi/2)", 2 / M_PI},
        NumberCase{"rect(0.5)", 0.5}, NumberCase{"rect(-0.5)", 0.5}, NumberCase{"rect(0.2)", 1}, NumberCase{"rect(0.7)", 0},
        NumberCase{"rect(-0.7)", 0}, NumberCase{"tri(1)", 0}, NumberCase{"tri(-1)", 0}, NumberCase{"tri(0.25)", 0.75},
        NumberCase{"tri(-0.25)", 0.75}, NumberCase{"tri(3)", 0}, NumberCase{"sgn(-2)", -1}, NumberCase{"sgn(0)", 0},
        NumberCase{"sgn(3)", 1}, NumberCase{"max(3,7,5)", 7}, NumberCase{"min(3,7,5)", 3}, NumberCase{"max(4)", 4},
        NumberCase{"min(1,nan)", NAN}, NumberCase{"norm(3,4)", 5}, NumberCase{"norm(-3)", 3},
        NumberCase{"angle(1,1)", M_PI / 4}, NumberCase{"angle(1,-1)", 3 * M_PI / 4}, NumberCase{"mod(7,3)", 1},
        NumberCase{"mod(-7,3)", -1}, NumberCase{"mod(7,-3)", 1}, NumberCase{"mod(5.5,2)", 1.5},
        NumberCase{"seconds(1970,1,2)", 86400}, NumberCase{"seconds(2000,1,1,12,30,15)", utcSeconds(2000, 1, 1, 12, 30, 15)},
        NumberCase{"seconds(2000,13,1)", utcSeconds(2001, 1, 1)}, NumberCase{"seconds(2007:5:12 == 2007:5:12, 1, 1)", -62135596800},
        NumberCase{"jn(2.7,1)", 0.11490348493190048}, NumberCase{"j0(0)", 1}, NumberCase{"j1(1)", 0.44005058574493355},
        NumberCase{"y0(1)", 0.08825696421567697}, NumberCase{"yn(1,1)", -0.7812128213002887}, NumberCase{"gamma(5)", 24},
        NumberCase{"loggamma(-0.5)", 1.2655121234846454}, NumberCase{"floor(-1.5)", -2}, NumberCase{"ceil(-1.5)", -1},
        NumberCase{"round(2.5)", 3}, NumberCase{"round(-2.5)", -3}, NumberCase{"signswitch(-1,10,20)", 20},
        NumberCase{"signswitch(0,10,20)", 10}, NumberCase{"signswitch(nan,10,20)", NAN}, NumberCase{"2<3 && 1", 1},
        NumberCase{"0||0", 0}, NumberCase{"nan==nan", 0}, NumberCase{"nan!=nan", 1}, NumberCase{"2\u22642", 1},
        NumberCase{"\u03C0", M_PI}, NumberCase{"e", M_E}, NumberCase{"Inf-\u221E", NAN}, NumberCase{"180\u00B0", M_PI},
        NumberCase{"erf(0.5)+erfc(0.5)", 1}, NumberCase{"abs(-2)+sqrt(16)", 6}, NumberCase{"log10(1000)+log2(8)", 6}),
    orrelin::testing_support::FormulaCaseName());

struct FailureCase {
  const char* formula;
  const char* message;
};

TEST(NumberEvaluation, FailuresGiveNothingAndTheirText) {
  const FailureCase cases[] = {
      {"x", "Unknown argument (x)"},
      // A missing operand or argument: the operator's or function's message
      // replaces the operand's own.
      {"x+1", "The argument to an operator is nil"},
      {"1+sin(x)", "The argument to an operator is nil"},
      {"sin(x)", "The argument to a function is nil"},
      {"sin(fact(2.5))", "The argument to a function is nil"},
      {"fact(2.5)", "Can't evaluate the function with this argument."},
      {"(1,2)", "The expression does not give a single number"},
      {"2+*3", "2+ >>*<< 3: No first argument for a binary operator"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(KRExpression::evaluateNumberFromString(c.formula, &error)) << c.formula;
    EXPECT_EQ(error, c.message) << c.formula;
  }
  EXPECT_EQ(*KRExpression::evaluateNumberFromString("a*b", {{"a", 2}, {"b", 4}}), 8);
  KRExpressionEvaluationErrorHandler fresh;
  EXPECT_EQ(fresh.errorString(), "No error.");
  EXPECT_EQ(KRExpression::createFromString("x^2+1")->evaluateAt(3)->number(), 10);
}

TEST(NumberEvaluation, AHandlerThatHeldAnErrorServesTheNextEvaluation) {
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted(arrayOf({10, 20, 30}).sharedArray());
  const auto parse = [&](const char* formula) { return KRExpression::createFromString(formula, &functions, nullptr); };
  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(parse("x+1")->evaluateNumber(&errors));
  EXPECT_EQ(parse("2*3")->evaluateNumber(&errors), 6.0);
  EXPECT_EQ(errors.errorString(), "No error.");
  EXPECT_FALSE(parse("v(4)")->evaluateNumber(&errors));
  EXPECT_EQ(parse("v(3)")->evaluateNumber(&errors), 30.0);
  EXPECT_FALSE(parse("(1,x)")->evaluateArrayOfNumbers(&errors));
  EXPECT_TRUE(parse("(1,2)")->evaluateArrayOfNumbers(&errors));

  // A column evaluation starts afresh as well: no message and no marks of
  // the one before.
  auto column = parse("v(i)");
  ASSERT_TRUE(column->evaluateWithArguments({{"i", arrayOf({1, 5})}}, -1, nullptr, &errors, &functions));
  EXPECT_EQ(errors.subscriptErrorMask, (std::vector<unsigned char>{0, 1}));
  ASSERT_TRUE(column->evaluateWithArguments({{"i", arrayOf({1, 2, 3})}}, -1, nullptr, &errors, &functions));
  EXPECT_FALSE(errors.hasSubscriptError());
  EXPECT_EQ(errors.errorString(), "No error.");
  EXPECT_EQ(errors.subscriptErrorMask, (std::vector<unsigned char>{0, 0, 0}));
}

TEST(ListEvaluation, CombinesEntryByEntryAndKeepsTheOperandsRoles) {
  struct Case {
    const char* formula;
    std::vector<double> values;
  };
  const Case cases[] = {
      {"(1,2,3)*2", {2, 4, 6}}, {"(1,2)+(3,4)", {4, 6}}, {"2-(1,2)", {1, 0}}, {"2/(1,4)", {2, 0.5}},
      {"2^(1,3)", {2, 8}},       {"(1,2)^2", {1, 4}},     {"(4,9)<5", {1, 0}}, {"sqrt(v)", {2, 3}},
  };
  for (const auto& c : cases) {
    auto value = evaluate(c.formula, {{"v", KRValue::list({4.0, 9.0})}});
    ASSERT_TRUE(value) << c.formula;
    const auto* entries = value->listEntries();
    ASSERT_TRUE(entries) << c.formula;
    std::vector<double> numbers;
    for (const auto& entry : *entries) numbers.push_back(entry.number());
    EXPECT_EQ(numbers, c.values) << c.formula;
  }
  auto array = KRExpression::evaluateArrayOfNumbersFromString("(1,2,3)*2");
  ASSERT_TRUE(array);
  EXPECT_EQ(array->length(), 3);
  EXPECT_EQ(array->valueAtIndex(2), 6);
  EXPECT_EQ(KRExpression::evaluateArrayOfNumbersFromString("7")->length(), 1);
}

TEST(ListEvaluation, ReportsMismatchedAndNestedLists) {
  const std::map<std::string, KRValue, std::less<>> arguments{
      {"a", KRValue::list({1.0, 2.0})}, {"b", KRValue::list({1.0, 2.0, 3.0})}};
  const FailureCase cases[] = {
      {"a+b", "Number of entries has to match."},
      {"(1,a)", "Can't have nested lists, i.e. (0,(1,2))"},
      // The nested list is the argument, whose failure the function reports.
      {"min(a,1)", "The argument to a function is nil"},
  };
  for (const auto& c : cases) {
    KRExpressionEvaluationErrorHandler errors;
    EXPECT_FALSE(evaluate(c.formula, arguments, &errors)) << c.formula;
    EXPECT_EQ(errors.errorString(), c.message) << c.formula;
  }
  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(minimumWith(KRValue::list({1.0, 2.0}), KRValue::derivative(1.0, 1.0), false, errors));
  EXPECT_EQ(errors.errorString(), "Invalid input for minimumWith");
  EXPECT_EQ(KRValue::list({1.0, arrayOf({2, 3})}).description(), "(1, Double array with dimensions 2 x 1 x 1.)");
}

TEST(ArrayEvaluation, ElementByElementWithTheShorterLength) {
  const std::map<std::string, KRValue, std::less<>> arguments{{"x", arrayOf({1, 2, 3, 4})}, {"y", arrayOf({10, 20, 30})}};
  struct Case {
    const char* formula;
    std::vector<double> values;
  };
  const Case cases[] = {
      {"x+y", {11, 22, 33}},       {"2-x", {1, 0, -1, -2}},          {"2/x", {2, 1, 2.0 / 3, 0.5}},
      {"2^x", {2, 4, 8, 16}},      {"x^2", {1, 4, 9, 16}},          {"max(x,2.5)", {2.5, 2.5, 3, 4}},
      {"min(y,x*10,25)", {10, 20, 25}}, {"x>2", {0, 0, 1, 1}},      {"signswitch(x-3,1,-1)", {-1, -1, 1, 1}},
      {"mod(y,x)", {0, 0, 0}},     {"angle(x*0,1)", {0, 0, 0, 0}},  {"fact(x)", {1, 2, 6, 24}},
  };
  for (const auto& c : cases) {
    auto value = evaluate(c.formula, arguments);
    ASSERT_TRUE(value) << c.formula;
    EXPECT_EQ(numbersIn(*value), c.values) << c.formula;
  }
  auto list = evaluate("(x,1)*2", arguments);
  ASSERT_TRUE(list && list->listEntries());
  EXPECT_EQ(numbersIn((*list->listEntries())[0]), (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ((*list->listEntries())[1].number(), 2);
}

TEST(DerivativePairs, ArraysAndMessages) {
  auto e = KRExpression::createFromString("x^2*y");
  auto pair = e->evaluateWithArguments({{"x", KRValue::derivative(arrayOf({1, 2, 3}), 1.0)}, {"y", 2.0}});
  ASSERT_TRUE(pair && pair->kind() == KRValueKind::Derivative);
  const auto& p = static_cast<const KRExpression_PartialDerivativeEvaluation&>(*pair->rich());
  EXPECT_EQ(numbersIn(p.value), (std::vector<double>{2, 8, 18}));
  EXPECT_EQ(numbersIn(p.derivative), (std::vector<double>{4, 8, 12}));
  EXPECT_EQ(KRValue::derivative(2.0, 1.0).description(), "(v = 2, d = 1)");

  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString("gamma(x)")->evaluateWithArguments({{"x", KRValue::derivative(2.0, 1.0)}}, nullptr, &errors));
  EXPECT_EQ(errors.errorString(), "Haven't implemented the derivative of a gamma function yet.");
}

TEST(Subscripts, PickElementsCountingFromOneAndMarkFailures) {
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted(arrayOf({10, 20, 30}).sharedArray());
  EXPECT_EQ(evaluate("v(2)+v(3)", {}, nullptr, &functions)->number(), 50);

  KRExpressionEvaluationErrorHandler errors;
  auto e = KRExpression::createFromString("v(i)", &functions, nullptr);
  auto column = e->evaluateWithArguments({{"i", arrayOf({1, 2.5, 4, 3, 0})}}, -1, nullptr, &errors, &functions);
  ASSERT_TRUE(column);
  const auto values = numbersIn(*column);
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0], 10);
  EXPECT_TRUE(std::isnan(values[1]) && std::isnan(values[2]) && std::isnan(values[4]));
  EXPECT_EQ(values[3], 30);
  EXPECT_EQ(errors.subscriptErrorMask, (std::vector<unsigned char>{0, 1, 1, 0, 1}));
  EXPECT_TRUE(errors.hasSubscriptError());
  EXPECT_EQ(errors.errorString(), "Argument out of bounds for v");

  const FailureCase cases[] = {
      {"v(4)", "Argument out of bounds for v"},
      {"v(1.5)", "Need an integer argument for subscript of v"},
  };
  for (const auto& c : cases) {
    KRExpressionEvaluationErrorHandler scalarErrors;
    EXPECT_FALSE(KRExpression::createFromString(c.formula, &functions, nullptr)->evaluateNumber(&scalarErrors));
    EXPECT_EQ(scalarErrors.errorString(), c.message);
  }
}

TEST(UserFunctions, BindArgumentsInOrderAndReportMismatches) {
  KRFunctionDictionary functions;
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a*b+1"), {"a", "b"});
  functions["g"] = KRUserFunction::withExpression(KRExpression::createFromString("2a"), {"a"});
  EXPECT_EQ(evaluate("f(2,3)+g(4)", {}, nullptr, &functions)->number(), 15);
  EXPECT_EQ(numbersIn(*evaluate("g(x)", {{"x", arrayOf({1, 2})}}, nullptr, &functions)), (std::vector<double>{2, 4}));

  auto call = KRExpression::createFromString("f(1,2)", &functions, nullptr);
  KRFunctionDictionary changed;
  changed["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a"), {"a"});
  KRExpressionEvaluationErrorHandler errors;
  EXPECT_FALSE(call->evaluateWithArguments({}, &changed, &errors));
  EXPECT_EQ(errors.errorString(), "Illegal argument count for \"f\".");

  KRFunctionDictionary recursive;
  recursive["r"] = KRUserFunction::withExpression(nullptr, {"a"});
  recursive["r"].expression = KRExpression::createFromString("r(2a)", &recursive, nullptr);
  EXPECT_FALSE(KRExpression::createFromString("r(1)", &recursive, nullptr)->evaluateWithArguments({}, &recursive, &errors));
  EXPECT_EQ(errors.errorString(), "The function \"r\" calls itself too deeply");
  // Inside an operation the operator's message comes last.
  recursive["r"].expression = KRExpression::createFromString("r(a)+1", &recursive, nullptr);
  EXPECT_FALSE(KRExpression::createFromString("r(1)", &recursive, nullptr)->evaluateWithArguments({}, &recursive, &errors));
  EXPECT_EQ(errors.errorString(), "The argument to an operator is nil");

  KRFunctionDictionary noDefinition;
  noDefinition["h"] = KRUserFunction::withExpression(nullptr, {"a"});
  EXPECT_FALSE(KRExpression::createFromString("h(1)", &noDefinition, nullptr)->evaluateWithArguments({}, &noDefinition, &errors));
  EXPECT_EQ(errors.errorString(), "Can't find the function \"h\".");
}

class Doubler final : public KRExpressionCallback {
 public:
  std::optional<KRValue> evaluateWithArgument(const KRValue& argument, const KRExpressionArgument& input,
                                              KRExpressionEvaluationErrorHandler&) override {
    lengths.push_back(input.arrayLength);
    return elementWiseOperator(KROperatorType::Multiply, argument, 2.0);
  }
  std::vector<std::size_t> lengths;
};

TEST(Callbacks, GetTheArgumentAndTheEvaluationLength) {
  auto doubler = std::make_shared<Doubler>();
  KRFunctionDictionary functions;
  functions["twice"] = KRUserFunction::withCallback(doubler, 1, 1);
  EXPECT_EQ(evaluate("twice(3)+1", {}, nullptr, &functions)->number(), 7);
  auto e = KRExpression::createFromString("twice(x)", &functions, nullptr);
  auto column = e->evaluateWithArguments({{"x", arrayOf({1, 2, 3})}}, -1, nullptr, nullptr, &functions);
  ASSERT_TRUE(column);
  EXPECT_EQ(numbersIn(*column), (std::vector<double>{2, 4, 6}));
  EXPECT_EQ(doubler->lengths, (std::vector<std::size_t>{0, 3}));
}

}  // namespace
