#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingText.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRDrawingStyleFont> sans(double size) { return KRDrawingStyleFont::styleWithFont("DejaVu Sans", size); }

}  // namespace

struct SymbolCase {
  const char* text;
  const char* expected;
};

void PrintTo(const SymbolCase& c, std::ostream* out) { *out << c.text; }

class Symbols : public testing::TestWithParam<SymbolCase> {};

TEST_P(Symbols, BackslashNamesBecomeTheirCharacters) {
  EXPECT_EQ(KRDrawingText::substituteSymbols(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    KRDrawingText, Symbols,
    testing::Values(SymbolCase{"\\zeta", "\u03B6"}, SymbolCase{"\\eta", "\u03B7"},
                    SymbolCase{"\\beta and \\theta", "\u03B2 and \u03B8"},
                    // Where one name begins another, the longer one wins...
                    SymbolCase{"\\infty", "\u221E"}, SymbolCase{"\\in", "\u2208"},
                    SymbolCase{"\\eurocurrency", "\u20A0"}, SymbolCase{"\\euro", "\u20AC"},
                    // ...and a name followed by more letters still counts.
                    SymbolCase{"\\euros", "\u20ACs"}, SymbolCase{"x\\inA", "x\u2208A"},
                    SymbolCase{"\\Omega\\omega", "\u03A9\u03C9"}, SymbolCase{"10\\degreeC", "10\u00B0C"},
                    SymbolCase{"\\colon", "\u20A1"}, SymbolCase{"\\bbR^2", "\u211D^2"},
                    SymbolCase{"\\unknown \\", "\\unknown \\"}, SymbolCase{"no names", "no names"},
                    SymbolCase{"\\\\alpha", "\\\u03B1"}));

TEST(KRDrawingText, ScriptsTakeTheNextCharacterOrTheBracedText) {
  auto text = KRDrawingText::string("x_{12}^2", {0, 0}, sans(20), KRDrawingText::Left, KRDrawingText::Bottom);
  text->setDrawSubscriptSuperscript(true);
  auto runs = text->runs();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text, "x");
  EXPECT_EQ(runs[0].attributes.baselineOffset, 0);
  EXPECT_EQ(runs[1].text, "12");
  EXPECT_LT(runs[1].attributes.baselineOffset, 0);
  EXPECT_LT(runs[1].attributes.fontSize, 20);
  EXPECT_EQ(runs[2].text, "2");
  EXPECT_GT(runs[2].attributes.baselineOffset, 0);
  EXPECT_EQ(runs[1].attributes.fontSize, text->subsuperAttributes().fontSize);
}

TEST(KRDrawingText, MarkersAtTheEndOrWithoutScriptsAreDrawnAsThemselves) {
  auto trailing = KRDrawingText::string("a_", {0, 0}, sans(12), 0, 2);
  trailing->setDrawSubscriptSuperscript(true);
  ASSERT_EQ(trailing->runs().size(), 1u);
  EXPECT_EQ(trailing->runs()[0].text, "a_");
  auto off = KRDrawingText::string("x_1", {0, 0}, sans(12), 0, 2);
  EXPECT_EQ(off->runs().size(), 1u);
  // An unclosed brace takes the rest of the text; a script of a symbol takes the whole character.
  auto open = KRDrawingText::string("a^{bc", {0, 0}, sans(12), 0, 2);
  open->setDrawSubscriptSuperscript(true);
  ASSERT_EQ(open->runs().size(), 2u);
  EXPECT_EQ(open->runs()[1].text, "bc");
  auto greek = KRDrawingText::string("x^\\alpha", {0, 0}, sans(12), 0, 2);
  greek->setDrawSubscriptSuperscript(true);
  ASSERT_EQ(greek->runs().size(), 2u);
  EXPECT_EQ(greek->runs()[1].text, "\u03B1");
}

TEST(KRDrawingText, SizeIsTheSumOfTheRunsAndTheirCommonBox) {
  auto text = KRDrawingText::string("x_{12}^2", {0, 0}, sans(20), 0, 2);
  text->setDrawSubscriptSuperscript(true);
  double sum = 0;
  for (const auto& run : text->runs()) sum += TextSystem::measure(run.text, run.attributes).width;
  KRSize size = text->drawingSize();
  EXPECT_NEAR(size.width, sum, 1e-9);
  double plainHeight = TextSystem::measure("x", text->theAttributes()).height();
  EXPECT_GT(size.height, plainHeight);  // the scripts reach out of the line
  KRSize plain = KRDrawingText::sizeOfString("\\alpha", *sans(20));
  EXPECT_NEAR(plain.width, TextSystem::measure("\u03B1", sans(20)->attributes()).width, 1e-9);
}

struct AlignmentCase {
  unsigned horizontal;
  int vertical;
  const char* name;
};

void PrintTo(const AlignmentCase& c, std::ostream* out) { *out << c.name; }

class Alignments : public testing::TestWithParam<AlignmentCase> {};

TEST_P(Alignments, PlaceTheBoxAgainstThePoint) {
  const auto& c = GetParam();
  KRPoint at{100, 50};
  auto text = KRDrawingText::string("Align 0", at, sans(16), c.horizontal, c.vertical);
  KRRect box = text->unrotatedBox();
  KRSize size = text->drawingSize();
  EXPECT_NEAR(box.width(), size.width, 1e-9);
  switch (c.horizontal) {
    case KRDrawingText::Right: EXPECT_NEAR(box.maxX(), at.x, 1e-9); break;
    case KRDrawingText::Center: EXPECT_NEAR(box.midX(), at.x, 1e-9); break;
    default: EXPECT_NEAR(box.minX(), at.x, 1e-9);
  }
  KRFontMetrics metrics = TextSystem::fontMetrics(sans(16)->font(), 16);
  double baseline = text->baselineOrigin().y;
  switch (c.vertical) {
    case KRDrawingText::Top: EXPECT_NEAR(box.maxY(), at.y, 1e-9); break;
    case KRDrawingText::VCenter: EXPECT_NEAR(box.midY(), at.y, 1e-9); break;
    case KRDrawingText::Bottom: EXPECT_NEAR(box.minY(), at.y, 1e-9); break;
    case KRDrawingText::TopLetters: EXPECT_NEAR(baseline + metrics.capHeight, at.y, 1e-9); break;
    case KRDrawingText::CenterLetters: EXPECT_NEAR(baseline + metrics.capHeight / 2, at.y, 1e-9); break;
    case KRDrawingText::TopNumbers: EXPECT_NEAR(baseline + metrics.digitHeight, at.y, 1e-9); break;
    case KRDrawingText::CenterNumbers: EXPECT_NEAR(baseline + metrics.digitHeight / 2, at.y, 1e-9); break;
  }
}

INSTANTIATE_TEST_SUITE_P(KRDrawingText, Alignments,
                         testing::Values(AlignmentCase{0, 0, "leftTop"}, AlignmentCase{1, 1, "rightCenter"},
                                         AlignmentCase{2, 2, "centerBottom"}, AlignmentCase{4, 3, "naturalTopLetters"},
                                         AlignmentCase{0, 4, "leftCenterLetters"}, AlignmentCase{1, 5, "rightTopNumbers"},
                                         AlignmentCase{2, 6, "centerCenterNumbers"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KRDrawingText, TopLetterAlignmentPutsTheCapitalsAtThePoint) {
  auto text = KRDrawingText::string("HEH", {10, 30}, sans(30), KRDrawingText::Left, KRDrawingText::TopLetters);
  auto picture = render(*text, 100, 40, 2);
  EXPECT_NEAR(picture.inkBox().maxY(), 30, 1);
}

TEST(KRDrawingText, RotationTurnsTheTextAroundItsPoint) {
  auto text = KRDrawingText::string("Rotated", {50, 50}, sans(20), KRDrawingText::Left, KRDrawingText::Bottom, 90);
  KRSize size = text->drawingSize();
  expectRectNear(text->boundingRectangle(), {50 - size.height, 50, size.height, size.width}, 1e-9);
  auto picture = render(*text, 100, 160, 1);
  KRRect ink = picture.inkBox();
  EXPECT_GE(ink.minX(), 50 - size.height - 1);
  EXPECT_LE(ink.maxX(), 51);
  EXPECT_GT(ink.height(), size.width * 0.8);  // it runs upwards
  EXPECT_TRUE(text->hitTestForPoint({45, 80}));
  EXPECT_FALSE(text->hitTestForPoint({80, 55}));
}

TEST(KRDrawingText, ScalingMovesThePointAndScalesTheFont) {
  auto text = KRDrawingText::string("abc", {10, 20}, sans(10), 0, 2);
  auto scaled = std::static_pointer_cast<KRDrawingText>(text->scaleBy(2, {0, 0}, {5, 5}, false));
  EXPECT_EQ(scaled->whereToDraw(), (KRPoint{25, 45}));
  EXPECT_EQ(scaled->style()->fontSize(), 20);
  EXPECT_NEAR(scaled->drawingSize().width, 2 * text->drawingSize().width, 0.01);
  EXPECT_EQ(text->style()->fontSize(), 10);
  EXPECT_EQ(text->textDescription(), "abc");
}

TEST(KRDrawingText, ColourAndTransparency) {
  auto style = KRDrawingStyleFont::styleWithFont("DejaVu Sans", 40, kBlue.withAlpha(0.5));
  auto text = KRDrawingText::string("I", {10, 5}, style, 0, 2);
  EXPECT_TRUE(text->containsTransparency());
  auto picture = render(*text, 40, 60);
  KRRect ink = picture.inkBox(10);
  KRPixel p = picture.at(ink.midX(), ink.midY());
  EXPECT_EQ(p.blue, 255);
  EXPECT_NEAR(p.alpha, 128, 3);
  auto opaque = text->nonTransparentVersion();
  EXPECT_FALSE(opaque->containsTransparency());
  EXPECT_EQ(render(*opaque, 40, 60).at(ink.midX(), ink.midY()).alpha, 255);
}

TEST(KRDrawingText, EmptyTextTakesNoRoom) {
  auto text = KRDrawingText::string("", {10, 10}, sans(12), 0, 0);
  EXPECT_TRUE(text->boundingRectangle().isNull());
  EXPECT_FALSE(text->hitTestForPoint({10, 10}));
  EXPECT_EQ(render(*text, 20, 20).inkPixels(), 0);
}

// A text read from a description is placed by the size recorded there (as
// it was where the file was written) and writes it back unchanged, until
// something that changes the measure does.
TEST(KRDrawingText, RecordedDrawingSizeHoldsUntilTheMeasureChanges) {
  using drawing_description::sizeText;
  auto text = KRDrawingText::string("Label", {200, 50}, sans(12), KRDrawingText::Right, KRDrawingText::Bottom);
  EXPECT_FALSE(text->mvgDescription()->find("Drawing Size"));  // not measured yet
  KRSize measured = text->drawingSize();
  auto description = *text->mvgDescription();
  EXPECT_EQ(description.stringForKey("Drawing Size"), sizeText(measured));

  description.dictionary()["Drawing Size"] = "{100, 20}";
  auto read = std::dynamic_pointer_cast<KRDrawingText>(KRDrawingText::createFromMVG(description));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->drawingSize(), (KRSize{100, 20}));
  expectRectNear(read->unrotatedBox(), {100, 50, 100, 20}, 1e-9);
  EXPECT_EQ(read->mvgDescription(), description);
  auto copied = std::static_pointer_cast<KRDrawingText>(read->copy());
  EXPECT_EQ(copied->mvgDescription(), description);
  auto scaled = std::static_pointer_cast<KRDrawingText>(read->scaleBy(2, {0, 0}, {0, 0}, false));
  EXPECT_EQ(scaled->drawingSize(), (KRSize{200, 40}));

  // A new font size or scripts turned on are measured here again.
  copied->style()->setFontSize(24);
  EXPECT_NEAR(copied->drawingSize().width, 2 * measured.width, 0.05);
  EXPECT_EQ(copied->mvgDescription()->stringForKey("Drawing Size"), sizeText(copied->drawingSize()));
  read->setDrawSubscriptSuperscript(true);
  EXPECT_NEAR(read->drawingSize().width, measured.width, 1e-9);

  // Sizes that cannot be a text's are not taken.
  for (const char* bad : {"{-1, 5}", "{1e999, 5}", "{nan, 5}", "wide"}) {
    description.dictionary()["Drawing Size"] = bad;
    auto other = std::dynamic_pointer_cast<KRDrawingText>(KRDrawingText::createFromMVG(description));
    ASSERT_TRUE(other) << bad;
    EXPECT_FALSE(other->recordedSize()) << bad;
    EXPECT_NEAR(other->drawingSize().width, measured.width, 1e-9) << bad;
  }
}
