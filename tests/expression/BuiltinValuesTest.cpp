// The built-in functions against known values (from tables of the functions,
// not from the library that computes them), each worked out both for a
// single number and over a column, whose loops take another path.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"
#include "numeric/KRDoubleArrayContainer.h"

using namespace orrelin;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct KnownValue {
  const char* formula;  // in x
  double x;
  double value;
};

void PrintTo(const KnownValue& c, std::ostream* out) { *out << c.formula << " at x = " << c.x; }

class BuiltinValues : public ::testing::TestWithParam<KnownValue> {};

void expectValue(double actual, double expected, const std::string& where) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << where << " gave " << actual;
  } else {
    EXPECT_NEAR(actual, expected, 1e-13 * std::max(1.0, std::fabs(expected))) << where;
  }
}

TEST_P(BuiltinValues, ForANumberAndForEveryElementOfAColumn) {
  const auto& c = GetParam();
  auto e = KRExpression::createFromString(c.formula);
  ASSERT_TRUE(e) << c.formula;

  KRExpressionEvaluationErrorHandler errors;
  const auto single = e->evaluateNumberWithArguments({{"x", c.x}}, &errors);
  ASSERT_TRUE(single) << c.formula << ": " << errors.errorString();
  expectValue(*single, c.value, c.formula);

  const long n = 3000;  // more than one block
  auto column = KRDoubleArrayContainer::createArrayOfLength(n);
  column->setAllValues(c.x);
  auto values = e->evaluateWithArguments({{"x", KRValue::array(column)}}, -1, nullptr, &errors);
  ASSERT_TRUE(values && values->arrayContainer()) << c.formula << ": " << errors.errorString();
  ASSERT_EQ(values->arrayContainer()->length(), n);
  for (long k : {0L, n - 1}) expectValue(values->arrayContainer()->valueAtIndex(k), c.value, std::string(c.formula) + " in a column");
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BuiltinValues,
    ::testing::Values(
        KnownValue{"sin(x)", 2, 0.9092974268256816954}, KnownValue{"sin(x)", M_PI / 6, 0.5},
        KnownValue{"cos(x)", 2, -0.416146836547142387}, KnownValue{"tan(x)", 1, 1.5574077246549022305},
        KnownValue{"asin(x)", 0.3, 0.30469265401539749633}, KnownValue{"acos(x)", -0.3, 1.8754889808102941156},
        KnownValue{"atan(x)", 2, 1.107148717794090503}, KnownValue{"sinh(x)", 1, 1.1752011936438014569},
        KnownValue{"cosh(x)", 1, 1.5430806348152437785}, KnownValue{"tanh(x)", 0.5, 0.4621171572600097585},
        KnownValue{"exp(x)", 1.5, 4.4816890703380648226}, KnownValue{"log(x)", 10, 2.302585092994045684},
        KnownValue{"log10(x)", 2, 0.30102999566398119521}, KnownValue{"log2(x)", 10, 3.3219280948873623479},
        KnownValue{"sqrt(x)", 2, 1.4142135623730950488}, KnownValue{"abs(x)", -2.5, 2.5},
        KnownValue{"erf(x)", 1, 0.84270079294971486934}, KnownValue{"erf(x)", -0.3, -0.32862675945912741619},
        KnownValue{"erfc(x)", 1, 0.15729920705028513066}, KnownValue{"gamma(x)", 0.5, 1.7724538509055160273},
        KnownValue{"gamma(x)", -1.5, 2.3632718012073547031}, KnownValue{"loggamma(x)", 0.5, 0.57236494292470008707},
        KnownValue{"loggamma(x)", -0.5, 1.2655121234846453965}, KnownValue{"j0(x)", 1, 0.76519768655796655145},
        KnownValue{"j1(x)", 2.5, 0.49709410246427403801}, KnownValue{"y0(x)", 1, 0.088256964215676957983},
        KnownValue{"y1(x)", 2.5, 0.14591813796678579888}, KnownValue{"jn(3,x)", 2, 0.1289432494744020511},
        KnownValue{"yn(2,x)", 1.5, -0.93219375976297390523}, KnownValue{"jn(x,1)", 2.7, 0.11490348493190048047},
        KnownValue{"sinc(x)", 1, 0.84147098480789650665}, KnownValue{"floor(x)", -1.5, -2},
        KnownValue{"ceil(x)", -1.5, -1}, KnownValue{"round(x)", -2.5, -3}, KnownValue{"angle(x,-1)", 1, 3 * M_PI / 4},
        KnownValue{"mod(x,3)", -7, -1}, KnownValue{"norm(x,4)", 3, 5}, KnownValue{"max(x,2,-1)", 1.5, 2},
        // The step functions' last case takes NaN as well; rect has none.
        KnownValue{"sgn(x)", kNaN, 1}, KnownValue{"H(x)", kNaN, 1}, KnownValue{"HeavySide(x)", kNaN, 1},
        KnownValue{"tri(x)", kNaN, 0}, KnownValue{"rect(x)", kNaN, kNaN}, KnownValue{"sgn(x)", -0.0, 0},
        KnownValue{"H(x)", -0.0, 0.5}, KnownValue{"sinc(x)", kNaN, kNaN}),
    orrelin::testing_support::FormulaCaseName());

}  // namespace
