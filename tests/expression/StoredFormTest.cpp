#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;
using orrelin::testing_support::treePicture;

namespace {

const char* const kFormulas[] = {
    "1+2*3^2^2",
    "-x^2+2*-y",
    "sin(x)*exp(-y/10)+x^2",
    "max(1,x,3)/norm(x,y)",
    "(1,2)*3",
    "{a,b}+{1,2}",
    "\"a b\"*2",
    "2007:5:12:10:30:15.5+1",
    "2007:13:45",
    "1e400-1.5e\u22123",
    "x<=1 && y\u22652 || !z",
    "30\u00B0+pi+e+Inf",
    "v(i)+rand(0,1)+f(x,2)",
    "seconds(2000,1,1,12,0,0)",
    "-0.0",
    "a/(b/c)-(d-e)",
    "(a^b)^c",
    "2^(-1*3)",
};

KRFunctionDictionary userFunctions() {
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted();
  functions["rand"] = KRUserFunction::withCallback(nullptr, 2, 2);
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a*b"), {"a", "b"});
  return functions;
}

TEST(StoredForm, EveryTreeReadsBackNodeForNodeThroughBothPropertyListFormats) {
  const auto functions = userFunctions();
  for (const char* formula : kFormulas) {
    auto e = KRExpression::createFromString(formula, &functions, nullptr);
    ASSERT_TRUE(e) << formula;
    for (auto format : {PlistFormat::XML, PlistFormat::Binary}) {
      auto bytes = serializePropertyList(e->propertyList(), format);
      auto list = parsePropertyList(bytes);
      ASSERT_TRUE(list) << formula;
      KRExpressionErrorHandler errors;
      auto back = KRExpression::createFromPropertyList(*list, &functions, &errors);
      ASSERT_TRUE(back) << formula << ": " << errors.errorString();
      EXPECT_TRUE(nodesAreEqual(e->theEntry().get(), back->theEntry().get(), true)) << formula;
      EXPECT_EQ(back->unknowns(), e->unknowns()) << formula;
      EXPECT_EQ(back->functions(), e->functions()) << formula;
      EXPECT_EQ(back->text(), e->text());
    }
  }
}

TEST(StoredForm, RewrittenTreesAndEmptyRootsReadBack) {
  auto derivative = KRExpression::createFromString("sin(x)^2/x")->partial("x");
  auto back = KRExpression::createFromPropertyList(derivative->propertyList(), nullptr);
  ASSERT_TRUE(back);
  EXPECT_TRUE(nodesAreEqual(derivative->theEntry().get(), back->theEntry().get(), true));

  auto empty = KRExpression::createFromString("()");
  auto emptyBack = KRExpression::createFromPropertyList(empty->propertyList(), nullptr);
  ASSERT_TRUE(emptyBack);
  EXPECT_FALSE(emptyBack->theEntry());
}

TEST(StoredForm, DamagedEntriesGiveAMessageAndNothing) {
  auto e = KRExpression::createFromString("a+b*c");
  const PropertyList good = e->propertyList();
  std::vector<std::pair<std::string, PropertyList>> damaged;
  {
    PropertyList p = good;
    p.dictionary()["Root"] = std::int64_t{99};
    damaged.emplace_back("root out of range", p);
  }
  {
    PropertyList p = good;
    auto& entries = p.dictionary()["Entries"].array();
    entries.back().array()[3] = std::int64_t{4};  // points at itself
    damaged.emplace_back("self reference", p);
  }
  {
    PropertyList p = good;
    p.dictionary()["Entries"].array()[0] = PropertyList("junk");
    damaged.emplace_back("not an entry", p);
  }
  {
    PropertyList p = good;
    p.dictionary()["Entries"].array().back().array()[2] = PropertyList("%");
    damaged.emplace_back("unknown operator", p);
  }
  {
    PropertyList p = good;
    p.dictionary()["Type"] = PropertyList("Something");
    damaged.emplace_back("wrong type", p);
  }
  for (const auto& [what, list] : damaged) {
    KRExpressionErrorHandler errors;
    EXPECT_FALSE(KRExpression::createFromPropertyList(list, nullptr, &errors)) << what;
    EXPECT_EQ(errors.errorString(), "The stored formula is damaged") << what;
  }
}

TEST(StoredForm, MissingUserFunctionIsNamed) {
  const auto functions = userFunctions();
  auto e = KRExpression::createFromString("f(1,2)", &functions, nullptr);
  KRExpressionErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromPropertyList(e->propertyList(), nullptr, &errors));
  EXPECT_EQ(errors.errorString(), "The stored formula uses the function f, which is not defined");
}

TEST(FormulaText, ParsesBackToTheSameTree) {
  const auto functions = userFunctions();
  for (const char* formula : kFormulas) {
    auto e = KRExpression::createFromString(formula, &functions, nullptr);
    ASSERT_TRUE(e);
    const std::string text = e->stringValue();
    auto again = KRExpression::createFromString(text, &functions, nullptr);
    ASSERT_TRUE(again) << formula << " written as " << text;
    EXPECT_EQ(treePicture(again->theEntry().get()), treePicture(e->theEntry().get())) << formula << " -> " << text;
  }
}

TEST(FormulaText, SignificantDigitsRoundNumbers) {
  auto e = KRExpression::createFromString("x*3.14159265+1/3");
  EXPECT_EQ(e->simplify()->stringValue(6), "x*3.14159+0.333333");
  EXPECT_EQ(KRExpression::createFromString("-2.5")->stringValue(), "-2.5");
}

}  // namespace
