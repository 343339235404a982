// Both ways to a derivative, the symbolic one (partial) and evaluation with
// value-and-derivative pairs, against central differences of the plain
// formula, from one table.

#include <gtest/gtest.h>

#include <cmath>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"

using namespace orrelin;
using orrelin::testing_support::foldedValue;

namespace {

struct DerivativeCase {
  const char* formula;  // in x, with y = 0.7 and the user function f(a,b) = a^2+b
  std::vector<double> points;
};

constexpr double kY = 0.7;

class Derivatives : public ::testing::TestWithParam<DerivativeCase> {
 protected:
  void SetUp() override {
    functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a^2+b"), {"a", "b"});
  }
  // The plain value at x, by evaluation.
  double valueAt(const KRExpression& e, double x) {
    auto value = e.evaluateWithArguments({{"x", x}, {"y", kY}}, &functions);
    return value && value->isNumber() ? value->number() : std::nan("");
  }
  KRFunctionDictionary functions;
};

TEST_P(Derivatives, SymbolicAndPairsAgreeWithCentralDifferences) {
  const auto& c = GetParam();
  KRExpressionErrorHandler parseErrors;
  auto e = KRExpression::createFromString(c.formula, &functions, &parseErrors);
  ASSERT_TRUE(e) << c.formula << ": " << parseErrors.errorString();
  auto symbolic = e->partial("x", &parseErrors);
  ASSERT_TRUE(symbolic) << c.formula << ": " << parseErrors.errorString();

  for (double x : c.points) {
    const double h = 1e-6 * std::max(1.0, std::fabs(x));
    const double numeric = (valueAt(*e, x + h) - valueAt(*e, x - h)) / (2 * h);
    const double tolerance = 1e-5 * std::max(1.0, std::fabs(numeric));

    EXPECT_NEAR(foldedValue(*symbolic, {{"x", x}, {"y", kY}}), numeric, tolerance)
        << c.formula << " at " << x << ": symbolic " << symbolic->stringValue();

    KRExpressionEvaluationErrorHandler errors;
    auto pair = e->evaluateWithArguments({{"x", KRValue::derivative(x, 1.0)}, {"y", kY}}, &functions, &errors);
    ASSERT_TRUE(pair) << c.formula << ": " << errors.errorString();
    ASSERT_EQ(pair->kind(), KRValueKind::Derivative) << c.formula;
    const auto& p = static_cast<const KRExpression_PartialDerivativeEvaluation&>(*pair->rich());
    EXPECT_DOUBLE_EQ(p.value.number(), valueAt(*e, x)) << c.formula << " at " << x;
    EXPECT_NEAR(p.derivative.number(), numeric, tolerance) << c.formula << " at " << x << ": pair";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Derivatives,
    ::testing::Values(
        DerivativeCase{"x+y-2*x", {0.35, 1.3}}, DerivativeCase{"x*x*y", {0.35, 1.3}},
        DerivativeCase{"y/x", {0.35, 1.3}}, DerivativeCase{"3*x^2-2*x+1", {-1.5, 0.5, 2}},
        DerivativeCase{"x/(1+x^2)", {-0.7, 0.4}}, DerivativeCase{"x^3", {-1.2, 0.35}},
        DerivativeCase{"2^x+x^x", {0.5, 1.7}}, DerivativeCase{"x^y", {0.8, 2.5}},
        DerivativeCase{"sin(x)*cos(2x)", {0.3, 2}}, DerivativeCase{"tan(x)", {0.4, -1}},
        DerivativeCase{"exp(-x^2)", {0.5, -1.2}}, DerivativeCase{"log(x)+log10(x)+log2(x)", {0.5, 3}},
        DerivativeCase{"sqrt(1+x^2)", {0.3, -2}}, DerivativeCase{"asin(x/2)+acos(x/3)", {0.4, -0.9}},
        DerivativeCase{"atan(3x)", {0.2, -1}}, DerivativeCase{"sinh(x)+cosh(x)*tanh(x)", {0.6, -0.4}},
        DerivativeCase{"erf(x)+erfc(2x)", {0.3, -0.8}}, DerivativeCase{"abs(x-1)", {0.5, 1.5}},
        DerivativeCase{"floor(3x)+ceil(x)+round(x)+H(x)+HeavySide(x)+sgn(x)+rect(x)", {0.35, 1.2}},
        DerivativeCase{"tri(x/3)", {-1.5, 0.9}}, DerivativeCase{"sinc(x)", {0.5, 3}},
        DerivativeCase{"min(x,1)+max(x,2,x^2)", {0.5, 1.7, -2}}, DerivativeCase{"min(x^2,3x,5)", {0.7, 2.5, 4}},
        DerivativeCase{"min(x^2,y)", {0.35, 1.3}}, DerivativeCase{"norm(x,2)+norm(x-3)+norm(x,y)", {0.5, -1.3}},
        DerivativeCase{"angle(x,1)+angle(2,x)+angle(x,y)", {0.5, -0.7}}, DerivativeCase{"mod(3x,2)", {0.4, 1.1}},
        DerivativeCase{"j0(x)+j1(x)+y0(x)+y1(x)", {0.7, 2.5}}, DerivativeCase{"jn(2,x)+yn(1,x)", {1.1, 3.5}},
        DerivativeCase{"signswitch(x-1,x^2,-x)", {0.5, 1.5}}, DerivativeCase{"seconds(2000,1,x,2x,3,x)", {1.5}},
        DerivativeCase{"(x<1)*x+(x>=1)*x^2", {0.5, 2}}, DerivativeCase{"f(sin(x),x)", {0.4, 1.3}},
        DerivativeCase{"gamma(2)*x", {1}}),
    orrelin::testing_support::FormulaCaseName());

}  // namespace
