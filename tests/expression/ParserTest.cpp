#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"

using namespace orrelin;
using orrelin::testing_support::foldedValue;
using orrelin::testing_support::treePicture;
using orrelin::testing_support::utcSeconds;

namespace {

struct ShapeCase {
  const char* formula;
  const char* tree;
};

class ParserShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ParserShapes, GroupAsPrecedenceAndDirectionSay) {
  EXPECT_EQ(treePicture(GetParam().formula), GetParam().tree) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ParserShapes,
    ::testing::Values(
        ShapeCase{"a-b-c", "((a-b)-c)"},
        ShapeCase{"a/b/c", "((a/b)/c)"},
        ShapeCase{"a^b^c", "(a^(b^c))"},
        ShapeCase{"1+2*3^2^2", "(1+(2*(3^(2^2))))"},
        ShapeCase{"1+1<3==1", "(((1+1)<3)==1)"},
        ShapeCase{"a||b&&c", "(a||(b&&c))"},
        ShapeCase{"a&&b!=c", "(a&&(b!=c))"},
        ShapeCase{"a\u2264b", "(a<=b)"},
        // signs
        ShapeCase{"-2^2", "(-2^2)"},
        ShapeCase{"-x^2", "(-1*(x^2))"},
        ShapeCase{"+x", "x"},
        ShapeCase{"2*-3", "(2*(-1*3))"},
        ShapeCase{"2--3", "(2-(-1*3))"},
        ShapeCase{"2^-3", "(2^(-1*3))"},
        ShapeCase{"1<-2", "(1<(-1*2))"},
        ShapeCase{"a*-b^2", "(a*(-1*(b^2)))"},
        // implicit products and calls
        ShapeCase{"2x^2", "(2*(x^2))"},
        ShapeCase{"x 2", "(x*2)"},
        ShapeCase{"{x}{1,2}", "(x*{1,2})"},
        ShapeCase{"sin(x)cos(x)", "(sin[x]*cos[x])"},
        ShapeCase{"sin(cos(x))", "sin[cos[x]]"},
        ShapeCase{"max(1,x,3)", "max[{1,x,3}]"},
        ShapeCase{"sin(x+1)^2", "(sin[(x+1)]^2)"},
        ShapeCase{"30\u00B0", "(30*\u00B0)"},
        // brackets
        ShapeCase{"{1+2}*3", "((1+2)*3)"},
        ShapeCase{"((1,2))", "{1,2}"},
        ShapeCase{"(1,2)*3", "({1,2}*3)"},
        ShapeCase{"\"a b\"+1", "(a b+1)"}),
    orrelin::testing_support::FormulaCaseName());

struct ValueCase {
  const char* formula;
  double value;
};

class ParserValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ParserValues, FoldToTheExpectedNumber) {
  auto e = KRExpression::createFromString(GetParam().formula);
  ASSERT_TRUE(e) << GetParam().formula;
  EXPECT_DOUBLE_EQ(foldedValue(*e, {{"x", 3}}), GetParam().value) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParserValues,
    ::testing::Values(ValueCase{"1+2*3^2^2", 163}, ValueCase{"8/4/2", 1}, ValueCase{"1-2-3", -4},
                      ValueCase{"2^3^2", 512}, ValueCase{"1+1<3==1", 1}, ValueCase{"-2^2", 4},
                      ValueCase{"-x^2", -9}, ValueCase{"2*-3", -6}, ValueCase{"2--3", 5}, ValueCase{"2^-1", 0.5},
                      ValueCase{"1<-2", 0}, ValueCase{"0&&1||1", 1}, ValueCase{"1||0&&0", 1}, ValueCase{"2x", 6},
                      ValueCase{"(2)(3)", 6}, ValueCase{"(2)3", 6}, ValueCase{"2(3)", 6}, ValueCase{"2pi", 2 * M_PI},
                      ValueCase{"30\u00B0", M_PI / 6}, ValueCase{"1.5e\u22123", 0.0015}, ValueCase{"3\u22194", 12},
                      ValueCase{"5\u22122", 3}, ValueCase{"5\u20132", 3}, ValueCase{"2\u22642", 1},
                      ValueCase{"3\u22654", 0}, ValueCase{"1!=2", 1}, ValueCase{".5+5.", 5.5}, ValueCase{"+3", 3},
                      ValueCase{"-(2)", -2}, ValueCase{"{1+2}*3", 9}, ValueCase{"1/0", HUGE_VAL},
                      ValueCase{"2^10", 1024}, ValueCase{"1e400", HUGE_VAL}, ValueCase{"x 2", 6}),
    orrelin::testing_support::FormulaCaseName());

struct ErrorCase {
  const char* formula;
  const char* message;
};

class ParserErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParserErrors, ReportTheMessageAtTheMarkedToken) {
  KRExpressionErrorHandler errors;
  auto e = KRExpression::createFromString(GetParam().formula, &errors);
  EXPECT_FALSE(e) << GetParam().formula;
  EXPECT_EQ(errors.errorString(), GetParam().message) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ParserErrors,
    ::testing::Values(
        ErrorCase{"2+*3", "2+ >>*<< 3: No first argument for a binary operator"},
        ErrorCase{"sin 3", " >>sin<<  3: Needs an argument"},
        ErrorCase{"sin", " >>sin<< : Needs an argument"},
        ErrorCase{"(1,2)+(3,4,5)", "(1,2) >>+<< (3,4,5): Number of entries has to match."},
        ErrorCase{"a b c", "a  >>b<<  c: Unknown function"},
        ErrorCase{"a b", "a b : Could not parse this expression"},
        ErrorCase{"1 2", "1 2 : Could not parse this expression"},
        ErrorCase{"{1,2,}", "{1,2 >>,<< }: Ends in a comma"},
        ErrorCase{"{1,,2}", "{1, >>,<< 2}: Nothing for entry"},
        ErrorCase{"{,1}", "{ >>,<< 1}: Nothing for entry"},
        ErrorCase{"{1,{2,3}}", "{1 >>,<< {2,3}}: Can't have a list inside a list"},
        ErrorCase{"(1+2}", "(1+2 >>}<< : Need to balance ( with ) and not }"},
        ErrorCase{"{1+2)", "{1+2 >>)<< : Need to balance { with } and not )"},
        ErrorCase{"(1+2", " >>(<< 1+2: Unbalanced parenthesis"},
        ErrorCase{"((1)+2", " >>(<< (1)+2: Unbalanced parenthesis"},
        ErrorCase{"1+2)", "1+2 >>)<< : Unbalanced parenthesis"},
        ErrorCase{"*3", " >>*<< 3: Ilegal operator"},
        ErrorCase{"-*3", "- >>*<< 3: Ilegal operator"},
        ErrorCase{"+-3", " >>+<< -3: Ilegal operator"},
        ErrorCase{"-", " >>-<< : Ilegal operator"},
        ErrorCase{".", " >>.<< : An invalid number"},
        ErrorCase{"2+", "2 >>+<< : Couldn't get the second argument for a binary operator"},
        ErrorCase{"2*+3", "2 >>*<< +3: Illegal argument for binary operator"},
        ErrorCase{"1---2", "1 >>-<< --2: Illegal argument for binary operator"},
        ErrorCase{"sin(1,2)", " >>sin<< (1,2): Illegal argument for this function"},
        ErrorCase{"seconds(1,2)", " >>seconds<< (1,2): Illegal argument for this function"},
        ErrorCase{"\U0001D465+*2", "\U0001D465+ >>*<< 2: No first argument for a binary operator"},
        // A broken UTF-8 sequence is one U+FFFD, and positions count from there.
        ErrorCase{"\xE2\x82+*2", "\uFFFD+ >>*<< 2: No first argument for a binary operator"},
        ErrorCase{"\u03B1 \u03B2 \u03B3", "\u03B1  >>\u03B2<<  \u03B3: Unknown function"}),
    orrelin::testing_support::FormulaCaseName());

TEST(Parser, UnknownFunctionCallCarriesErrorNumber21) {
  KRExpressionErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString("foo(3)", &errors));
  EXPECT_EQ(errors.errorString(), " >>foo<< (3): Only a function or sub-script can have an argument");
  EXPECT_EQ(errors.errorNumber(), 21);
  EXPECT_FALSE(KRExpression::createFromString("x+2", &errors) == nullptr);
}

TEST(Parser, EmptyTextsAndEmptyBrackets) {
  KRExpressionErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString("", &errors));
  EXPECT_FALSE(KRExpression::createFromString("   ", &errors));
  auto onlyBrackets = KRExpression::createFromString("(){}", &errors);
  ASSERT_TRUE(onlyBrackets);
  EXPECT_FALSE(onlyBrackets->theEntry());
  EXPECT_EQ(onlyBrackets->numberOfUnknowns(), 0u);
}

TEST(Parser, WithoutTheFormulaTheMessageStandsAlone) {
  KRExpressionErrorHandler errors;
  errors.miscError("Something", nullptr);
  EXPECT_EQ(errors.errorString(), "Something");
  EXPECT_EQ(errors.errorNumber(), -1);
}

TEST(Parser, RecordsVariablesFunctionsAndSubscripts) {
  KRFunctionDictionary functions;
  functions["v"] = KRUserFunction::subscripted();
  functions["rand"] = KRUserFunction::withCallback(nullptr, 2, 2);
  functions["f"] = KRUserFunction::withExpression(KRExpression::createFromString("a*b"), {"a", "b"});
  auto e = KRExpression::createFromString("sin(x)+v(i)*rand(0,1)+f(y,pi)", &functions, nullptr);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->unknowns(), (KRExpression::NameSet{"i", "pi", "x", "y"}));
  EXPECT_TRUE(e->dependsOn("x"));
  EXPECT_FALSE(e->dependsOn("v"));
  EXPECT_EQ(e->subscripts(), (KRExpression::NameSet{"v"}));
  EXPECT_TRUE(e->containsSubscript());
  EXPECT_EQ(e->subscriptsOrUnknowns(), (KRExpression::NameSet{"i", "pi", "v", "x", "y"}));
  EXPECT_EQ(e->functions().at("rand"), (KRFunctionUse{"Callback", 2}));
  EXPECT_EQ(e->functions().at("f"), (KRFunctionUse{"Expression", 2}));
  EXPECT_EQ(e->functions().at("sin"), (KRFunctionUse{"Builtin", 1}));

  KRExpressionErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString("f(1)", &functions, &errors));
  EXPECT_EQ(errors.errorString(), " >>f<< (1): Illegal argument for this function");
  EXPECT_FALSE(KRExpression::createFromString("rand", &functions, &errors));
  EXPECT_EQ(errors.errorString(), " >>rand<< : Needs an argument");
}

TEST(Parser, DeepNestingIsRefusedNotOverflowed) {
  std::string sum = "1";
  for (int k = 0; k < 5000; ++k) sum += "+1";
  KRExpressionErrorHandler errors;
  EXPECT_FALSE(KRExpression::createFromString(sum, &errors));
  EXPECT_NE(errors.errorString().find("The expression is nested too deeply"), std::string::npos);

  std::string brackets(100000, '(');
  brackets += "x";
  brackets += std::string(100000, ')');
  auto e = KRExpression::createFromString(brackets, &errors);
  ASSERT_TRUE(e);  // a group of one node stays that node
  EXPECT_EQ(e->theEntry()->depth(), 1);
}

TEST(Parser, DateLiteralsAreSecondsSince1970Utc) {
  struct Case {
    const char* formula;
    double value;
  };
  const Case cases[] = {
      {"1970:1:1", 0},
      {"2007:5:12", utcSeconds(2007, 5, 12)},
      {"2000:2:29", utcSeconds(2000, 2, 29)},
      {"1969:12:31:23:59", -60},
      {"2007:5:12:10:30", utcSeconds(2007, 5, 12, 10, 30)},
      {"2007:5:12:10:30:15.5", utcSeconds(2007, 5, 12, 10, 30, 15.5)},
      {"1600:3:1", utcSeconds(1600, 3, 1)},
      {"2007:5:12+60", utcSeconds(2007, 5, 12) + 60},
  };
  for (const auto& c : cases) {
    auto e = KRExpression::createFromString(c.formula);
    ASSERT_TRUE(e) << c.formula;
    EXPECT_DOUBLE_EQ(foldedValue(*e), c.value) << c.formula;
  }
}

TEST(Parser, ImpossibleDatesAreNaNWithoutError) {
  for (const char* text : {"2007:13:45", "1900:2:29", "2001:2:29", "2007:4:31", "2007:5:12:24:00", "2007:5:12:1:60",
                           "2007:5:12:10:30:60", "2007:0:1"}) {
    KRExpressionErrorHandler errors;
    auto e = KRExpression::createFromString(text, &errors);
    ASSERT_TRUE(e) << text;
    EXPECT_FALSE(errors.hasError());
    ASSERT_EQ(e->theEntry()->expType(), KRExpressionValueType) << text;
    EXPECT_TRUE(std::isnan(static_cast<const KRExpressionValue&>(*e->theEntry()).numberValue)) << text;
    EXPECT_FALSE(KRExpression::isADate(text)) << text;
  }
  EXPECT_TRUE(KRExpression::isADate("2000:2:29"));
  EXPECT_TRUE(KRExpression::isADate("2007:5:12:10:30:15.5"));
  EXPECT_FALSE(KRExpression::isADate("2007"));
  EXPECT_FALSE(KRExpression::isADate("2007:5"));
}

}  // namespace
