#include <gtest/gtest.h>

#include "ExpressionTestSupport.h"
#include "expression/KRExpression.h"
#include "platform/TextEncoding.h"

using namespace orrelin;
using orrelin::testing_support::tokenPicture;

namespace {

struct TokenCase {
  const char* formula;
  const char* tokens;
};

class TokenizerSplits : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerSplits, IntoTheExpectedKindsAndTexts) {
  EXPECT_EQ(tokenPicture(GetParam().formula), GetParam().tokens) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenizerSplits,
    ::testing::Values(
        // implicit products
        TokenCase{"2x+1", "9:2 10:* 11:x 10:+ 9:1"},
        TokenCase{"(1)(2)", "5:( 9:1 6:) 10:* 5:( 9:2 6:)"},
        TokenCase{"2(x)", "9:2 10:* 5:( 11:x 6:)"},
        TokenCase{"(a)b (a)3", "5:( 11:a 6:) 10:* 11:b 5:( 11:a 6:) 10:* 9:3"},
        TokenCase{"f(x){1}{2} 2 3", "11:f 5:( 11:x 6:) 7:{ 9:1 8:} 7:{ 9:2 8:} 9:2 9:3"},
        // typographic operators
        TokenCase{"a\u2212b", "11:a 10:- 11:b"},
        TokenCase{"3\u22194", "9:3 10:* 9:4"},
        TokenCase{"a\u2013b", "11:a 10:- 11:b"},
        TokenCase{"x\u22641 y\u22652", "11:x 10:\u2264 9:1 10:* 11:y 10:\u2265 9:2"},
        // numbers and exponents
        TokenCase{"1.5e\u22123", "9:1.5e-3"},
        TokenCase{"1.5E+3 2e7", "9:1.5E+3 9:2e7"},
        TokenCase{"2e", "9:2 10:* 11:e"},
        TokenCase{"2e+", "9:2 10:* 11:e 10:+"},
        TokenCase{".5 5.", "9:.5 9:5."},
        TokenCase{"1.2.3", "9:1.2 9:.3"},
        // dates
        TokenCase{"2007:5:12", "9:2007:5:12"},
        TokenCase{"2007:5:12:10:30:15.5", "9:2007:5:12:10:30:15.5"},
        TokenCase{"2007:5:12:10:30", "9:2007:5:12:10:30"},
        TokenCase{"2007:5:", "9:2007 10:* 11::5:"},
        TokenCase{"07:30", "9:07 10:* 11::30"},
        TokenCase{"2007:5:12:", "9:2007 10:* 11::5:12:"},
        TokenCase{"2007:5:123", "9:2007 10:* 11::5:123"},
        TokenCase{"2007:5:12:1:3", "9:2007 10:* 11::5:12:1:3"},
        TokenCase{"2007:5:12+1", "9:2007:5:12 10:+ 9:1"},
        TokenCase{"2.5:3:4", "9:2.5 10:* 11::3:4"},
        // comparisons and logic
        TokenCase{"x<=1", "11:x 10:<= 9:1"},
        TokenCase{"x<", "11:x 10:<"},
        TokenCase{"x=", "11:x="},
        TokenCase{"a=b", "11:a=b"},
        TokenCase{"a==b a!=b", "11:a 10:== 11:b 11:a 10:!= 11:b"},
        TokenCase{"a&&b||c", "11:a 10:&& 11:b 10:|| 11:c"},
        TokenCase{"a&b a|", "11:a&b 11:a|"},
        TokenCase{"!", "11:!"},
        // symbols and their terminators
        TokenCase{"x2 a.b v[3] Col:1", "11:x2 11:a.b 11:v[3] 11:Col:1"},
        TokenCase{"a\tb", "11:a\tb"},
        TokenCase{"a\u2212b2", "11:a 10:- 11:b2"},
        // quoted names
        TokenCase{"\"a b\"+1", "11:a b 10:+ 9:1"},
        TokenCase{"\"\"", "11:"},
        TokenCase{"\"a b", "11:\"a 11:b"},
        TokenCase{"2\"x y\"", "9:2 10:* 11:x y"},
        // nothing at all
        TokenCase{"", "<none>"},
        TokenCase{"  \t\n", "<none>"}),
    orrelin::testing_support::FormulaCaseName());

TEST(Tokenizer, PositionsCountUtf16CodeUnits) {
  // U+1D465 takes two UTF-16 code units, U+03B1 one.
  auto tokens = KRExpression::splitIntoTokens("\U0001D465+\u03B1*2");
  ASSERT_TRUE(tokens);
  ASSERT_EQ(tokens->size(), 5u);
  EXPECT_EQ((*tokens)[0].tokenRange(), (KRRange{0, 2}));
  EXPECT_EQ((*tokens)[1].tokenRange(), (KRRange{2, 1}));
  EXPECT_EQ((*tokens)[2].tokenRange(), (KRRange{3, 1}));
  EXPECT_EQ((*tokens)[3].tokenRange(), (KRRange{4, 1}));
  EXPECT_EQ((*tokens)[4].tokenRange(), (KRRange{5, 1}));
  EXPECT_EQ((*tokens)[0].tokenName(), "\U0001D465");
}

TEST(Tokenizer, RangesOfQuotesInsertedProductsAndExponents) {
  auto tokens = KRExpression::splitIntoTokens("2\"a b\" 1.5e\u22122");
  ASSERT_TRUE(tokens);
  ASSERT_EQ(tokens->size(), 4u);
  EXPECT_EQ((*tokens)[1].tokenRange(), (KRRange{2, 0}));  // inserted "*" at the next token
  EXPECT_EQ((*tokens)[2].tokenRange(), (KRRange{2, 3}));  // only the text between the quotes
  EXPECT_EQ((*tokens)[3].tokenRange(), (KRRange{7, 6}));  // the sign was one code unit
  EXPECT_EQ((*tokens)[3].tokenName(), "1.5e-2");
  EXPECT_EQ((*tokens)[0].description(), "9: [0,0]: 2");
  EXPECT_EQ((*tokens)[2].description(), "11: [2,4]: a b");
}

TEST(Tokenizer, FindEndOfDateStopsAtEachMalformedPart) {
  struct Case {
    const char* text;
    std::size_t colon;
    std::size_t end;
  };
  const Case cases[] = {
      {"2007:", 4, 4},         {"2007:5", 4, 4},           {"2007:5:1", 4, 8},         {"2007:123:1", 4, 4},
      {"2007:5:1x", 4, 8},     {"2007:5:1:2:30", 4, 13},  {"2007:5:1:2:3", 4, 4},      {"2007:5:1:2:30:", 4, 4},
      {"2007:5:1:2:30:7", 4, 15}, {"2007:5:1:2:30:7.25", 4, 18}, {"2007:5:1:2:30:7.", 4, 16}, {"2007:5:1:2:305", 4, 4},
  };
  for (const auto& c : cases) {
    const std::u16string text = utf16ReplacingInvalidUTF8(c.text);
    EXPECT_EQ(KRExpression::findEndOfDate(text, text.size(), c.colon), c.end) << c.text;
  }
}

}  // namespace
