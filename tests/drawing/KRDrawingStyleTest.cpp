#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingStyle.h"
#include "drawing/KRDrawingText.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRDrawingContext> imageContext() {
  return KRDrawingContext::createWithContext(GraphicsContext::createForImage({10, 10}));
}

}  // namespace

TEST(KRDrawingContext, UndoingAScalingComesBackToExactlyOne) {
  auto context = imageContext();
  for (double factor : {3.0, 0.1, 7.000001}) {
    context->addScaling(factor);
    context->addScaling(1.7);
    context->undoScaling(1.7);
    context->undoScaling(factor);
    EXPECT_EQ(context->scaleX(), 1);
    EXPECT_EQ(context->scaleY(), 1);
  }
}

TEST(KRDrawingContext, MinimumLineWidthFollowsSmoothingAndTheLargerScale) {
  auto context = imageContext();
  EXPECT_EQ(context->minimumLineWidth(), 1);
  context->setMinimumLineWidth(0.5);
  context->addScaling(4);
  EXPECT_DOUBLE_EQ(context->minimumLineWidth(), 0.125);
  context->setSmoothing(false);
  EXPECT_EQ(context->minimumLineWidth(), 0);
  EXPECT_FALSE(context->graphicsPort().shouldAntialias());
}

TEST(KRDrawingContext, OwnShiftAndScaleArePushedAndPopped) {
  auto context = imageContext();
  context->setShift({1, 2}, 3);
  context->saveState();
  context->setShift({5, 6}, 7, 8);
  EXPECT_EQ(context->theScaleY(), 8);
  context->restoreState();
  EXPECT_EQ(context->theShift(), (KRPoint{1, 2}));
  EXPECT_EQ(context->theScaleX(), 3);
  EXPECT_EQ(context->theScaleY(), 3);
  context->restoreState();  // nothing saved: unchanged
  EXPECT_EQ(context->theScaleX(), 3);
  EXPECT_EQ(context->trueBlack(), KRColor::cmyk(0, 0, 0, 1, 1));
}

TEST(KRDrawingContext, PrinterBlackReachesPostScriptAsBlackInkAlone) {
  auto group = KRDrawingGroup::create();
  auto line = KRDrawingPath::singleLineFrom({5, 5}, {95, 5});
  line->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::rgb(0, 0, 0), 2));
  group->addObject(line);
  group->addObject(KRDrawingText::string("Ink", {10, 20}, KRDrawingStyleFont::styleWithFont("DejaVu Sans", 12), 0, 2));
  auto red = KRDrawingPathRectangle::createWithRect({60, 20, 10, 10});
  red->setStyle(KRDrawingStyleCurve::color(kRed, true));
  group->addObject(red);
  auto eps = renderToPostScript(*group, {0, 0, 100, 50}, true);
  std::string text(eps.begin(), eps.end());
  EXPECT_EQ(text.rfind("%!PS-Adobe-3.0 EPSF-3.0", 0), 0u);
  EXPECT_NE(text.find("%%BoundingBox:"), std::string::npos);
  // Black, of the line and of the text, is a grey: black ink alone on a
  // printer; other colours stay RGB.
  EXPECT_NE(text.find("\n0 g\n"), std::string::npos);
  EXPECT_EQ(text.find("0 0 0 rg"), std::string::npos);
  EXPECT_NE(text.find("1 0 0 rg"), std::string::npos);
  EXPECT_TRUE(KRDrawingContext(GraphicsContext::createForPostScript({10, 10}, true)).printingToPS());
  EXPECT_FALSE(KRDrawingContext(GraphicsContext::createForPDF({10, 10})).printingToPS());
}

TEST(KRDrawingContext, AlphaIsSetOnBothContexts) {
  auto context = imageContext();
  context->setAlpha(0.25);
  EXPECT_EQ(context->alpha(), 0.25);
  EXPECT_EQ(context->graphicsPort().alpha(), 0.25);
  EXPECT_FALSE(KRDrawingContext::createWithContext(nullptr));
}

struct ColourCase {
  const char* name;
  KRColor color;
  bool printing;
  bool disableTransparency;
  KRColor expected;
};

void PrintTo(const ColourCase& c, std::ostream* out) { *out << c.name; }

class CurveStyleColour : public testing::TestWithParam<ColourCase> {};

TEST_P(CurveStyleColour, IsSentAsTheDestinationNeedsIt) {
  const auto& c = GetParam();
  for (bool fill : {false, true}) {
    auto context = imageContext();
    context->setPrintingToPS(c.printing);
    context->setDisableTransparency(c.disableTransparency);
    KRDrawingStyleCurve::color(c.color, fill)->applyStyle(*context);
    const KRColor& sent = fill ? context->graphicsPort().fillColor() : context->graphicsPort().strokeColor();
    EXPECT_EQ(sent, c.expected);
    // The other colour is left alone.
    EXPECT_EQ(fill ? context->graphicsPort().strokeColor() : context->graphicsPort().fillColor(), KRColor::black());
  }
}

INSTANTIATE_TEST_SUITE_P(
    KRDrawingStyleCurve, CurveStyleColour,
    testing::Values(ColourCase{"plain", kRed, false, false, kRed},
                    ColourCase{"blackOnScreen", KRColor::rgb(0, 0, 0), false, false, KRColor::rgb(0, 0, 0)},
                    ColourCase{"blackForPrinter", KRColor::rgb(0, 0, 0), true, false, KRColor::cmyk(0, 0, 0, 1, 1)},
                    ColourCase{"halfBlackForPrinter", KRColor::grey(0, 0.5), true, false, KRColor::cmyk(0, 0, 0, 1, 0.5)},
                    ColourCase{"redForPrinter", kRed, true, false, kRed},
                    ColourCase{"opaqueWhenTransparencyIsOff", kRed.withAlpha(0.3), true, true, kRed},
                    ColourCase{"transparentKept", kRed.withAlpha(0.3), false, false, kRed.withAlpha(0.3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KRDrawingStyleCurve, ScreenDrawingRaisesThinLinesToTheMinimum) {
  auto style = KRDrawingStyleCurve::createWithColor(kRed, 0.1);
  auto context = imageContext();
  style->applyStyle(*context);
  EXPECT_DOUBLE_EQ(context->graphicsPort().lineWidth(), 0.1);
  context->setDrawingToScreen(true);
  style->applyStyle(*context);
  EXPECT_DOUBLE_EQ(context->graphicsPort().lineWidth(), 1);
}

TEST(KRDrawingStyleCurve, CapJoinAndDashAreAppliedOnlyWhenSet) {
  auto context = imageContext();
  GraphicsContext& gc = context->graphicsPort();
  gc.setLineCap(KRLineCap::Round);
  auto style = KRDrawingStyleCurve::createWithColor(kRed, 2);
  style->applyStyle(*context);
  EXPECT_EQ(gc.lineCap(), KRLineCap::Round);
  EXPECT_TRUE(gc.lineDash().empty());
  style->changeLineCap(KRLineCap::Square);
  style->changeLineJoin(KRLineJoin::Bevel);
  float dashes[] = {4, 2};
  style->setDashPattern(dashes, 2, 1);
  style->applyStyle(*context);
  EXPECT_EQ(gc.lineCap(), KRLineCap::Square);
  EXPECT_EQ(gc.lineJoin(), KRLineJoin::Bevel);
  double phase = 0;
  EXPECT_EQ(gc.lineDash(&phase), (std::vector<double>{4, 2}));
  EXPECT_EQ(phase, 1);
}

TEST(KRDrawingStyleCurve, PatternQueriesReportWhatIsMissing) {
  MessageCapture messages;
  auto style = KRDrawingStyleCurve::createWithColor(kRed, 1);
  float pattern[12];
  int size = -1;
  float offset = 0;
  EXPECT_FALSE(style->getDashPattern(pattern, &size, &offset));
  EXPECT_EQ(size, 0);
  EXPECT_EQ(style->patternEntry(0), 0);
  style->setSingleDashSolid(5, 3);
  EXPECT_TRUE(style->getDashPattern(pattern, &size, &offset));
  EXPECT_EQ(size, 2);
  EXPECT_EQ(pattern[1], 3);
  EXPECT_EQ(style->patternEntry(1), 3);
  EXPECT_EQ(style->patternEntry(2), 0);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"No pattern set for the style.", "patternEntry: entry out of bounds.",
                                                        "patternEntry: entry out of bounds."}));
}

TEST(KRDrawingStyleCurve, APatternLongerThanTwelveIsCut) {
  MessageCapture messages;
  std::vector<float> long14(14, 1.5f);
  auto style = KRDrawingStyleCurve::createWithColor(kRed, 1);
  style->setDashPattern(long14.data(), 14, 0);
  EXPECT_EQ(style->patSize(), 12);
  EXPECT_EQ(messages.texts().size(), 1u);
  style->setDashPattern(long14.data(), 0, 0);
  EXPECT_FALSE(style->patternSet());
}

TEST(KRDrawingStyleCurve, PhaseAdjustmentsPlaceTheDashes) {
  auto style = KRDrawingStyleCurve::createWithColor(kRed, 1);
  float pattern[] = {4, 6};  // period 10
  style->setDashPattern(pattern, 2, 0);
  // Centred on a segment of 30: the middle (15) is the middle of a dash.
  style->adjustPatternToCenterBasedOnLength(30);
  double middleOfDash = 2 - style->patOffset();
  EXPECT_NEAR(std::fmod(15 - middleOfDash + 100, 10.0), 0, 1e-6);
  style->adjustPatternToMatchStart(30, true, false);
  EXPECT_EQ(style->patOffset(), 0);
  // Ending on a mark: the end of a dash falls at 27 (or 27 + k*10).
  style->adjustPatternToMatchStart(27, false, true);
  EXPECT_NEAR(std::fmod(27 - (4 - style->patOffset()) + 100, 10.0), 0, 1e-5);
}

TEST(KRDrawingStyleCurve, MagnifyAndOpaqueCopiesLeaveTheOriginal) {
  auto style = KRDrawingStyleCurve::createWithColor(kRed.withAlpha(0.5), 2);
  float pattern[] = {3, 1};
  style->setDashPattern(pattern, 2, 0.5f);
  auto big = std::static_pointer_cast<KRDrawingStyleCurve>(style->magnify(3));
  EXPECT_EQ(big->lineWidth(), 6);
  EXPECT_EQ(big->patternEntry(0), 9);
  EXPECT_EQ(big->patOffset(), 1.5f);
  auto opaque = std::static_pointer_cast<KRDrawingStyleCurve>(style->nonTransparentVersion());
  EXPECT_FALSE(opaque->containsTransparency());
  EXPECT_TRUE(style->containsTransparency());
  EXPECT_EQ(style->lineWidth(), 2);
}

TEST(KRDrawingStyleFont, ResolvesFallbacksAndKeepsAUsableSize) {
  auto style = KRDrawingStyleFont::styleWithFont("No Such Font Qwxz", -4, kBlue);
  EXPECT_EQ(style->fontSize(), 12);
  style->setFallbackFontNames({"Also Missing", "DejaVu Serif"});
  EXPECT_EQ(style->font().family, "DejaVu Serif");
  KRTextAttributes a = style->attributes();
  EXPECT_EQ(a.color, kBlue);
  EXPECT_EQ(a.fontSize, 12);
  auto black = KRDrawingStyleFont::styleWithFont("Helvetica-Bold", 10);
  EXPECT_TRUE(black->isBlack());
  EXPECT_TRUE(black->font().bold);
  EXPECT_EQ(black->attributesForPrinting().color.space, KRColor::Space::CMYK);
  EXPECT_EQ(std::static_pointer_cast<KRDrawingStyleFont>(black->magnify(2.5))->fontSize(), 25);
}
