#include <gtest/gtest.h>

#include <cmath>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"

using namespace orrelin;
using orrelin::testing_support::treePicture;

namespace {

std::shared_ptr<KRExpression> parse(std::string_view text, const KRFunctionDictionary* functions = nullptr) {
  KRExpressionErrorHandler errors;
  auto e = KRExpression::createFromString(text, functions, &errors);
  EXPECT_TRUE(e) << text << ": " << errors.errorString();
  return e;
}

TEST(Simplify, FoldsLiteralPartsAndKeepsTheRest) {
  struct Case {
    const char* formula;
    const char* simplified;
  };
  const Case cases[] = {
      {"2+3*4", "14"},
      {"x*(2+3)", "(x*5)"},
      {"sin(0)+x", "x"},
      {"x*1+0", "x"},
      {"1*x/1-0", "x"},
      {"x^1", "x"},
      {"(1,2)*3", "{3,6}"},
      {"(1,2)+(10,20)", "{11,22}"},
      {"max(3,7,5)+x", "(7+x)"},
      {"norm(3,4)", "5"},
      {"min(2)", "2"},
      {"fact(2.5)*x", "(fact[2.5]*x)"},
      {"fact(5)", "120"},
      {"pi*2", "(pi*2)"},
      {"x*0", "(x*0)"},
      {"1<2 && 3>4", "0"},
  };
  for (const auto& c : cases) {
    auto e = parse(c.formula);
    ASSERT_TRUE(e);
    EXPECT_EQ(treePicture(e->simplify()->theEntry().get()), c.simplified) << c.formula;
  }
}

TEST(Simplify, LeavesCallbacksAndUserFunctionsUnfolded) {
  KRFunctionDictionary functions;
  functions["rand"] = KRUserFunction::withCallback(nullptr, 2, 2);
  functions["sq"] = KRUserFunction::withExpression(KRExpression::createFromString("a^2"), {"a"});
  auto e = parse("rand(0,1)+sq(2)", &functions);
  EXPECT_EQ(treePicture(e->simplify()->theEntry().get()), "(rand[{0,1}]+sq[2])");
}

TEST(Insertion, ValuesAndFormulasTakeThePlaceOfNames) {
  auto e = parse("a*x+b");
  EXPECT_EQ(treePicture(e->insertValue(2, "a")->theEntry().get()), "((2*x)+b)");
  EXPECT_FALSE(e->insertValue(2, "a")->dependsOn("a"));
  EXPECT_TRUE(e->dependsOn("a"));  // the original is unchanged

  std::map<std::string, KRInsertion, std::less<>> values;
  values.emplace("x", std::shared_ptr<const KRExpression>(parse("y+1")));
  values.emplace("b", 4.0);
  auto inserted = e->insertValues(values);
  EXPECT_EQ(treePicture(inserted->theEntry().get()), "((a*(y+1))+4)");
  EXPECT_EQ(inserted->unknowns(), (KRExpression::NameSet{"a", "y"}));
  EXPECT_EQ(inserted->stringValue(), "a*(y+1)+4");
}

TEST(Insertion, SumAndDifferenceOfTwoFormulas) {
  auto a = parse("x");
  auto b = parse("y+1");
  EXPECT_EQ(treePicture(a->subtract(*b)->theEntry().get()), "(x-(y+1))");
  EXPECT_EQ(a->subtract(*b)->stringValue(), "x-(y+1)");
  EXPECT_EQ(treePicture(b->addExpression(*a)->theEntry().get()), "((y+1)+x)");
}

TEST(Insertion, UserFunctionsAreInlined) {
  KRFunctionDictionary functions;
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a*b"), {"a", "b"});
  functions["g"] = KRUserFunction::withExpression(KRExpression::createFromString("f(a,a)+1", &functions, nullptr), {"a"});
  auto e = parse("g(x+2)", &functions);
  auto inlined = e->insertFunctions(functions);
  EXPECT_EQ(treePicture(inlined->theEntry().get()), "(((x+2)*(x+2))+1)");
  EXPECT_EQ(inlined->functions().size(), 0u);
}

TEST(Partial, ReportsFunctionsWithoutDerivative) {
  KRFunctionDictionary functions;
  functions["rand"] = KRUserFunction::withCallback(nullptr, 2, 2);
  struct Case {
    const char* formula;
    const char* message;
  };
  const Case cases[] = {
      {"gamma(x)", "Haven't implemented the derivative of a gamma function yet."},
      {"loggamma(2x)", "Haven't implemented the derivative of a gamma function yet."},
      {"x*rand(0,x)", "Can't take the derivative of rand"},
      {"fact(x)", "Can't take the derivative of fact"},
  };
  for (const auto& c : cases) {
    KRExpressionErrorHandler errors;
    EXPECT_FALSE(parse(c.formula, &functions)->partial("x", &errors)) << c.formula;
    EXPECT_EQ(errors.errorString(), c.message);
  }
}

TEST(Partial, IsSimplified) {
  EXPECT_EQ(parse("3*x+y")->partial("x")->stringValue(), "3");
  EXPECT_EQ(parse("x^2")->partial("x")->stringValue(), "2*x");
  EXPECT_EQ(parse("y^2")->partial("x")->stringValue(), "0");
  EXPECT_EQ(parse("(x,2x)")->partial("x")->stringValue(), "(1,2)");
}

}  // namespace
