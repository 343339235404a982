// The block tree and its layout, checked by the positions and sizes of the
// blocks rather than by pixels.

#include <gtest/gtest.h>

#include <cmath>

#include "mathtext/KRDrawingExpressionBlock.h"
#include "support/MessageCapture.h"

using namespace orrelin;

namespace {

constexpr double kSize = 20;

std::unique_ptr<KRDrawingExpressionBlockList> laidOut(const std::string& text, const char* family = "DejaVu Sans",
                                                      bool italic = false) {
  auto root = KRDrawingExpressionBlock::createFromString(text);
  KRMathFontStyle style{{family, false, italic}, kSize, KRColor::black()};
  root->prepareForFontStyle(style);
  return root;
}

template <class Kind>
Kind* as(KRDrawingExpressionBlock* block) {
  return dynamic_cast<Kind*>(block);
}

KRDrawingExpressionBlock* member(const KRDrawingExpressionBlockList& list, std::size_t i) {
  return i < list.members().size() ? list.members()[i].get() : nullptr;
}

// The texts of the string blocks of a list that holds nothing else; empty
// when it holds other blocks.
std::vector<std::string> stringsOnly(const KRDrawingExpressionBlockList& list) {
  std::vector<std::string> texts;
  for (const auto& m : list.members()) {
    auto* s = dynamic_cast<KRDrawingExpressionBlockString*>(m.get());
    if (!s) return {};
    texts.push_back(s->text());
  }
  return texts;
}

double right(const KRDrawingExpressionBlock& b) { return b.x() + b.width(); }
double inkTop(const KRDrawingExpressionBlock& b) { return b.baseLine() + b.inkAscent(); }
double inkBottom(const KRDrawingExpressionBlock& b) { return b.baseLine() - b.inkDescent(); }

}  // namespace

// ---------------------------------------------------------------- plain text

struct TextCase {
  const char* markup;
  const char* shown;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.markup; }

class PlainText : public testing::TestWithParam<TextCase> {};

TEST_P(PlainText, TypesetsAsOneRunOfCharacters) {
  auto root = laidOut(GetParam().markup);
  EXPECT_EQ(stringsOnly(*root), std::vector<std::string>{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(
    MathText, PlainText,
    testing::Values(TextCase{"\\{x\\}", "{x}"}, TextCase{"{x", "{x"}, TextCase{"x}", "x}"},
                    TextCase{"\\alpha+\\beta", "\u03B1+\u03B2"}, TextCase{"\\foo", "\\foo"},
                    TextCase{"\\zeta \\eta", "\u03B6\u03B7"}, TextCase{"x^", "x^"}, TextCase{"x_", "x_"},
                    // The additions of math text and the longest names.
                    TextCase{"a\\cdot b\\pm c", "a\u00B7b\u00B1c"}, TextCase{"\\infty\\in", "\u221E\u2208"},
                    TextCase{"\\euro\\eurocurrency", "\u20AC\u20A0"}, TextCase{"\\minus1", "\u22121"},
                    // A symbol name followed by more letters still counts.
                    TextCase{"\\alphax", "\u03B1x"}, TextCase{"3\\times10", "3\u00D710"},
                    TextCase{"50\\%", "50\\%"}, TextCase{"a\\", "a"}));

TEST(MathText, AnEmptyTextHasNoSize) {
  auto root = laidOut("");
  EXPECT_TRUE(root->members().empty());
  EXPECT_EQ(root->width(), 0);
  EXPECT_EQ(root->ascent() + root->descent(), 0);
}

// ---------------------------------------------------------------- scripts

TEST(MathText, SuperscriptIsRaisedAtThreeQuartersOfTheSize) {
  auto root = laidOut("x^2");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  auto* main = scripts->mainBlock();
  auto* sup = scripts->superscript();
  ASSERT_NE(sup, nullptr);
  EXPECT_EQ(scripts->subscript(), nullptr);
  EXPECT_DOUBLE_EQ(sup->fontStyle().size, 0.75 * kSize);
  EXPECT_DOUBLE_EQ(main->fontStyle().size, kSize);
  EXPECT_GE(sup->baseLine(), 0.85 * main->xHeight() - 1e-9);
  // Raised but still reaching down into the letter's height.
  EXPECT_GT(inkTop(*sup), inkTop(*main));
  EXPECT_LT(inkBottom(*sup), inkTop(*main));
  EXPECT_NEAR(sup->x(), right(*main), 1e-9);
  EXPECT_NEAR(root->width(), right(*sup), 1e-9);
  EXPECT_NEAR(root->ascent(), sup->baseLine() + sup->ascent(), 1e-9);
}

TEST(MathText, SubscriptIsLoweredBelowTheBaseLine) {
  auto root = laidOut("a_{ij}");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  auto* sub = as<KRDrawingExpressionBlockList>(scripts->subscript());
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(stringsOnly(*sub), std::vector<std::string>{"ij"});
  EXPECT_LT(sub->baseLine(), -0.3 * scripts->mainBlock()->xHeight());
  EXPECT_EQ(root->members().size(), 1u);

  // Without braces only the first character is the subscript.
  root = laidOut("a_ij");
  ASSERT_EQ(root->members().size(), 2u);
  scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  EXPECT_EQ(as<KRDrawingExpressionBlockString>(scripts->subscript())->text(), "i");
  auto* rest = as<KRDrawingExpressionBlockString>(member(*root, 1));
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(rest->text(), "j");
  EXPECT_EQ(rest->baseLine(), 0);
  EXPECT_NEAR(rest->x(), right(*scripts), 1e-9);
}

TEST(MathText, BothScriptsStackWithoutTouching) {
  auto root = laidOut("x_1^2");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  ASSERT_NE(scripts->superscript(), nullptr);
  ASSERT_NE(scripts->subscript(), nullptr);
  EXPECT_GE(inkBottom(*scripts->superscript()) - inkTop(*scripts->subscript()),
            0.2 * scripts->mainBlock()->xHeight() - 1e-9);
  // A second superscript has nowhere to go and is shown as it is written.
  root = laidOut("a^b^c");
  ASSERT_EQ(root->members().size(), 2u);
  EXPECT_EQ(as<KRDrawingExpressionBlockString>(member(*root, 1))->text(), "^c");
}

TEST(MathText, ScriptAttachesToTheLastCharacterOfARun) {
  // The tick label form: 1.5×10 with a raised, braced exponent.
  auto root = laidOut("1.5\\times10^{-3}");
  ASSERT_EQ(root->members().size(), 2u);
  auto* lead = as<KRDrawingExpressionBlockString>(member(*root, 0));
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 1));
  ASSERT_TRUE(lead && scripts);
  EXPECT_EQ(lead->text(), "1.5\u00D71");
  EXPECT_EQ(as<KRDrawingExpressionBlockString>(scripts->mainBlock())->text(), "0");
  auto* exponent = as<KRDrawingExpressionBlockList>(scripts->superscript());
  ASSERT_NE(exponent, nullptr);
  EXPECT_EQ(stringsOnly(*exponent), std::vector<std::string>{"-3"});
  EXPECT_GT(exponent->baseLine(), 0.85 * lead->xHeight() - 1e-9);
  EXPECT_NEAR(scripts->x(), right(*lead), 1e-9);
}

TEST(MathText, ItalicSlantMovesTheSuperscriptRight) {
  auto upright = laidOut("f^2", "DejaVu Sans", false);
  auto slanted = laidOut("f^2", "DejaVu Sans", true);
  auto gapAfter = [](const KRDrawingExpressionBlockList& root) {
    auto* s = as<KRDrawingExpressionBlockSuperSubscript>(root.members()[0].get());
    return s->superscript()->x() - right(*s->mainBlock());
  };
  ASSERT_LT(slanted->members()[0]->italicAngle(), -5) << "the oblique face reports its slant";
  EXPECT_NEAR(gapAfter(*upright), 0, 1e-9);
  EXPECT_GT(gapAfter(*slanted), 0.5);
}

TEST(MathText, OperatorsTakeTheirLimitsUnderAndOver) {
  auto root = laidOut("\\sum_{i=1}^{n}");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  auto* op = scripts->mainBlock();
  auto* sub = scripts->subscript();
  auto* sup = scripts->superscript();
  EXPECT_GT(inkBottom(*sup), inkTop(*op));
  EXPECT_LT(inkTop(*sub), inkBottom(*op));
  // Centred on each other.
  double centre = op->x() + op->width() / 2;
  EXPECT_NEAR(sub->x() + sub->width() / 2, centre, 1e-9);
  EXPECT_NEAR(sup->x() + sup->width() / 2, centre, 1e-9);
  EXPECT_GE(sub->x(), 0);
  EXPECT_GT(op->inkAscent() + op->inkDescent(), 1.1 * kSize * 0.6) << "big operators are enlarged";

  // The integral takes them beside it.
  root = laidOut("\\int_0^1");
  scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  EXPECT_GE(scripts->superscript()->x(), right(*scripts->mainBlock()) - 1e-9);
}

TEST(MathText, IconsAndFunctionNamesAreCommandBlocks) {
  auto root = laidOut("\\it\\sin x\\to\\lim");
  ASSERT_EQ(root->members().size(), 5u);
  auto* sine = as<KRDrawingExpressionBlockCommandIcon>(member(*root, 1));
  ASSERT_NE(sine, nullptr);
  EXPECT_EQ(sine->name(), "sin");
  // Function names stay upright in italic text; the letter after them does not.
  EXPECT_TRUE(member(*root, 2)->fontStyle().face.italic);
  EXPECT_NE(as<KRDrawingExpressionBlockCommandIcon>(member(*root, 3)), nullptr);
  EXPECT_GT(member(*root, 3)->width(), 0);
}

// ---------------------------------------------------------------- fractions and roots

TEST(MathText, FractionRuleLiesBetweenNumeratorAndDenominator) {
  auto root = laidOut("\\frac{1}{2}");
  auto* fraction = as<KRDrawingExpressionBlockFraction>(member(*root, 0));
  ASSERT_NE(fraction, nullptr);
  auto* above = fraction->above();
  auto* below = fraction->below();
  double t = fraction->ruleThickness();
  EXPECT_GT(t, 0);
  EXPECT_GT(inkBottom(*above), fraction->ruleY() + t / 2);
  EXPECT_LT(inkTop(*below), fraction->ruleY() - t / 2);
  // The rule sits on the math axis, half an x-height up.
  EXPECT_NEAR(fraction->ruleY(), 0.5 * fraction->xHeight(), 1e-9);
  EXPECT_LE(fraction->ruleX1(), std::min(above->x(), below->x()));
  EXPECT_GE(fraction->ruleX2(), std::max(right(*above), right(*below)));
  EXPECT_NEAR(above->x() + above->width() / 2, below->x() + below->width() / 2, 1e-9);
  EXPECT_DOUBLE_EQ(above->fontStyle().size, 0.85 * kSize);
  EXPECT_GE(root->ascent(), above->baseLine() + above->ascent() - 1e-9);
  EXPECT_GE(root->descent(), below->descent() - below->baseLine() - 1e-9);
}

TEST(MathText, FractionWithoutArgumentsIsEmpty) {
  for (const char* text : {"\\frac", "\\frac{1}"}) {
    auto root = laidOut(text);
    ASSERT_NE(as<KRDrawingExpressionBlockFraction>(member(*root, 0)), nullptr) << text;
    EXPECT_TRUE(std::isfinite(root->width()) && root->width() > 0) << text;
  }
  // A marker is no argument: the empty fraction takes the script.
  auto root = laidOut("\\frac^2");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  ASSERT_NE(scripts, nullptr);
  EXPECT_NE(as<KRDrawingExpressionBlockFraction>(scripts->mainBlock()), nullptr);
}

TEST(MathText, RootIndexSitsAboveTheRadical) {
  auto root = laidOut("\\sqrt[3]{x}");
  auto* radical = as<KRDrawingExpressionBlockSquareRoot>(member(*root, 0));
  ASSERT_NE(radical, nullptr);
  auto* index = radical->root();
  auto* argument = radical->argument();
  ASSERT_NE(index, nullptr);
  EXPECT_GT(inkBottom(*index), 0.2 * radical->xHeight());
  EXPECT_LT(right(*index), argument->x());
  EXPECT_LT(index->fontStyle().size, kSize);
  EXPECT_GT(radical->barTop(), inkTop(*argument));
  EXPECT_GT(right(*radical), right(*argument));

  auto plain = laidOut("\\sqrt{x}");
  auto* square = as<KRDrawingExpressionBlockSquareRoot>(member(*plain, 0));
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(square->root(), nullptr);
  // The sign grows with its argument.
  auto tall = laidOut("\\sqrt{\\frac{1}{2}}");
  auto* tallRoot = as<KRDrawingExpressionBlockSquareRoot>(member(*tall, 0));
  EXPECT_GT(tallRoot->barTop(), square->barTop());
  EXPECT_GT(tallRoot->descent(), square->descent());
  // An index without its closing bracket is text under the root.
  auto open = laidOut("\\sqrt[3x");
  auto* openRoot = as<KRDrawingExpressionBlockSquareRoot>(member(*open, 0));
  ASSERT_NE(openRoot, nullptr);
  EXPECT_EQ(openRoot->root(), nullptr);
}

TEST(MathText, DecorationsLieOverUnderOrThroughTheArgument) {
  struct Case {
    const char* text;
    int above;  // 1 above the argument's ink, -1 below it, 0 through it
  };
  for (Case c : {Case{"\\overline{ab}", 1}, Case{"\\underline{ab}", -1}, Case{"\\uuline{ab}", -1},
                 Case{"\\overbrace{ab}", 1}, Case{"\\underbrace{ab}", -1}, Case{"\\sout{ab}", 0},
                 Case{"\\vec{v}", 1}, Case{"\\hat{a}", 1}, Case{"\\tilde{n}", 1}}) {
    auto root = laidOut(c.text);
    auto* block = as<KRDrawingExpressionBlockCommandOverUnder>(member(*root, 0));
    ASSERT_NE(block, nullptr) << c.text;
    auto* argument = block->argument();
    if (c.above > 0) {
      EXPECT_GT(block->inkAscent(), argument->inkAscent() + 0.1) << c.text;
    } else if (c.above < 0) {
      EXPECT_GT(block->inkDescent(), std::max(argument->inkDescent(), 0.0) + 0.1) << c.text;
    }
    if (c.above == 0) {
      EXPECT_NEAR(block->inkAscent(), argument->inkAscent(), 1e-9) << c.text;
      EXPECT_EQ(block->decorations().size(), 1u) << c.text;
    }
  }
}

// ---------------------------------------------------------------- state

TEST(MathText, StateChangersActOnTheRestOfTheirList) {
  auto root = laidOut("a\\red b c{\\bf d}e");
  ASSERT_EQ(root->members().size(), 5u);
  EXPECT_TRUE(member(*root, 0)->fontStyle().color.isPureBlack());
  auto* changed = as<KRDrawingExpressionBlockString>(member(*root, 2));
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->text(), "b c");
  EXPECT_EQ(changed->fontStyle().color.rgbComponents(), (std::array<double, 3>{1, 0, 0}));
  auto* group = as<KRDrawingExpressionBlockList>(member(*root, 3));
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->members()[1]->fontStyle().face.bold);
  // The bold face stays inside its braces; the colour goes on.
  EXPECT_FALSE(member(*root, 4)->fontStyle().face.bold);
  EXPECT_EQ(member(*root, 4)->fontStyle().color.rgbComponents(), (std::array<double, 3>{1, 0, 0}));
  EXPECT_EQ(member(*root, 1)->width(), 0);
}

TEST(MathText, FontMetricsSetForANameAreUsed) {
  KRFontMetrics metrics;
  metrics.ascender = 0.9;
  metrics.descender = -0.2;
  metrics.capHeight = 0.7;
  metrics.xHeight = 1.5;  // far taller than any real font's
  KRMathFontMetrics::setFontMetrics(metrics, "Liberation Mono");
  EXPECT_EQ(KRMathFontMetrics::fontMetricsForFontName("Liberation Mono").xHeight, 1.5);
  auto root = laidOut("x^2", "Liberation Mono");
  auto* scripts = as<KRDrawingExpressionBlockSuperSubscript>(member(*root, 0));
  EXPECT_NEAR(scripts->superscript()->baseLine(), 0.85 * 1.5 * kSize, 1e-9);
  // Fonts without an entry are measured from their files.
  EXPECT_LT(KRMathFontMetrics::fontMetricsForFontName("DejaVu Sans").xHeight, 0.7);
  EXPECT_GT(KRMathFontMetrics::fontMetricsForFontName("DejaVu Sans").xHeight, 0.4);
}

// ---------------------------------------------------------------- bad markup

TEST(MathText, HostileMarkupLaysOutInBoundedDepth) {
  MessageCapture capture;
  std::string nestedBraces = std::string(10000, '{') + "x" + std::string(10000, '}');
  std::string nestedRoots;
  for (int i = 0; i < 10000; ++i) nestedRoots += "\\sqrt";
  nestedRoots += "x";
  std::string nestedScripts;
  for (int i = 0; i < 10000; ++i) nestedScripts += "x^{";
  std::string big;
  while (big.size() < 300000) big += "a^2_{b}\\frac{c}{\\sqrt[3]{d}}\\alpha\\foo{\\red e}";
  for (const std::string& text : {nestedBraces, nestedRoots, nestedScripts, big, std::string("^^__{}{}}{\\\\\\")}) {
    auto root = laidOut(text);
    EXPECT_TRUE(std::isfinite(root->width()) && root->width() > 0);
    EXPECT_TRUE(std::isfinite(root->ascent()) && std::isfinite(root->descent()));
  }
}

TEST(MathText, CommandBlocksAreMadeOnlyForCommands) {
  EXPECT_NE(as<KRDrawingExpressionBlockCommandStateChanger>(KRDrawingExpressionBlockCommand::createWithName("blue").get()), nullptr);
  EXPECT_NE(as<KRDrawingExpressionBlockCommandIcon>(KRDrawingExpressionBlockCommand::createWithName("Longrightarrow").get()), nullptr);
  EXPECT_NE(as<KRDrawingExpressionBlockCommandOverUnder>(KRDrawingExpressionBlockCommand::createWithName("vec").get()), nullptr);
  EXPECT_EQ(KRDrawingExpressionBlockCommand::createWithName("alpha"), nullptr);
  EXPECT_EQ(KRDrawingExpressionBlockCommand::createWithName("frac"), nullptr);
  EXPECT_EQ(KRDrawingExpressionBlockCommand::createWithName("nothing"), nullptr);
}
