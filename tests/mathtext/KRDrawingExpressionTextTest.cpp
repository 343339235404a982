#include <gtest/gtest.h>

#include <cmath>

#include "drawing/DrawingTestSupport.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingDescription.h"
#include "drawing/KRDrawingGroup.h"
#include "mathtext/KRDrawingExpressionText.h"
#include "platform/UserDefaults.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

std::shared_ptr<KRDrawingStyleFont> sans(double size) { return KRDrawingStyleFont::styleWithFont("DejaVu Sans", size); }

std::string svgOf(const KRDrawingBasic& object, double shiftYBy = 100) {
  KRSVGStream stream;
  KRSVGInfo info;
  object.addToSVGStream(stream, "", shiftYBy, info);
  return stream.text();
}

int count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

}  // namespace

// ---------------------------------------------------------------- placement

struct AlignmentCase {
  unsigned alignment;
  int vAlignment;
};

class Alignment : public testing::TestWithParam<AlignmentCase> {};

TEST_P(Alignment, PlacesTheBoxAgainstThePoint) {
  auto [h, v] = GetParam();
  KRPoint p{100, 50};
  auto text = KRDrawingExpressionText::string("x^2_i", p, sans(20), h, v);
  KRRect box = text->unrotatedBox();
  KRPoint origin = text->baselineOrigin();
  auto layout = text->layout();
  double expectedX = h == KRDrawingExpressionText::Right ? p.x - box.size.width
                     : h == KRDrawingExpressionText::Center ? p.x - box.size.width / 2
                                                            : p.x;
  EXPECT_NEAR(box.minX(), expectedX, 1e-9);
  switch (v) {
    case KRDrawingExpressionText::Top: EXPECT_NEAR(box.maxY(), p.y, 1e-9); break;
    case KRDrawingExpressionText::VCenter: EXPECT_NEAR(box.minY() + box.size.height / 2, p.y, 1e-9); break;
    case KRDrawingExpressionText::Bottom: EXPECT_NEAR(box.minY(), p.y, 1e-9); break;
    case KRDrawingExpressionText::TopLetters: EXPECT_NEAR(origin.y + layout->capHeight, p.y, 1e-9); break;
    case KRDrawingExpressionText::CenterLetters: EXPECT_NEAR(origin.y + layout->capHeight / 2, p.y, 1e-9); break;
    case KRDrawingExpressionText::TopNumbers: EXPECT_NEAR(origin.y + layout->digitHeight, p.y, 1e-9); break;
    case KRDrawingExpressionText::CenterNumbers: EXPECT_NEAR(origin.y + layout->digitHeight / 2, p.y, 1e-9); break;
  }
  // The letter and number heights are the font's, between x-height and the box top.
  EXPECT_GT(layout->capHeight, 0.6 * 20);
  EXPECT_LT(layout->capHeight, layout->ascent);
  EXPECT_NEAR(box.size.height, layout->ascent + layout->descent, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(MathText, Alignment,
                         testing::Values(AlignmentCase{0, 2}, AlignmentCase{1, 0}, AlignmentCase{2, 1},
                                         AlignmentCase{3, 3}, AlignmentCase{4, 4}, AlignmentCase{1, 5},
                                         AlignmentCase{2, 6}));

TEST(MathText, RotationTurnsTheBoxAroundThePoint) {
  auto flat = KRDrawingExpressionText::string("\\frac{a}{b}+c", {200, 100}, sans(12), 0, 2);
  auto turned = KRDrawingExpressionText::string("\\frac{a}{b}+c", {200, 100}, sans(12), 0, 2, 90);
  KRRect box = flat->boundingRect();
  KRRect bounds = turned->boundingRect();
  // Turned a quarter counter-clockwise: the width goes up from the point.
  expectRectNear(bounds, {200 - box.size.height, 100, box.size.height, box.size.width}, 1e-6);
  KRPoint inside{200 - box.size.height / 2, 100 + box.size.width - 2};
  EXPECT_TRUE(turned->hitCheck(inside));
  EXPECT_FALSE(flat->hitCheck(inside));
  EXPECT_TRUE(flat->hitCheck({202, 101}));
  EXPECT_FALSE(turned->hitCheck({200 + box.size.width - 2, 101}));
  // The top of a turned text faces left.
  KRPoint top = turned->locationOfTopAlignment();
  EXPECT_NEAR(top.x, 200 - box.size.height, 1e-6);
  EXPECT_NEAR(top.y, 100 + box.size.width / 2, 1e-6);
}

TEST(MathText, LinesStackAndAlignAgainstEachOther) {
  EXPECT_EQ(KRDrawingExpressionText::howManyLines("a\r\nb\rc\nd"), 4);
  EXPECT_EQ(KRDrawingExpressionText::breakIntoLines("x\n"), (std::vector<std::string>{"x", ""}));
  auto text = KRDrawingExpressionText::multiLineString("wide line\nx^2\n\\frac{1}{2}", {0, 0}, sans(10),
                                                       KRDrawingExpressionText::Left, KRDrawingExpressionText::Right,
                                                       KRDrawingExpressionText::Top);
  auto layout = text->layout();
  ASSERT_EQ(layout->lines.size(), 3u);
  auto metrics = KRMathFontMetrics::metricsFor(sans(10)->font(), 10);
  double lineHeight = metrics.ascender - metrics.descender;
  for (std::size_t i = 1; i < 3; ++i) {
    const auto& above = layout->lines[i - 1];
    const auto& below = layout->lines[i];
    EXPECT_GE(above.y - below.y, lineHeight - 1e-9);
    // Nothing of one line reaches into the next.
    EXPECT_GE(above.y - above.root->descent(), below.y + below.root->ascent() - 1e-9);
    // Right-aligned against each other.
    EXPECT_NEAR(below.x + below.root->width(), layout->width, 1e-9);
  }
  EXPECT_EQ(layout->lines[0].x, 0);
  KRSize size = text->unrotatedSize();
  EXPECT_NEAR(size.height, layout->ascent + (layout->lines[0].y - layout->lines[2].y) + layout->lines[2].root->descent(), 1e-9);
  EXPECT_NEAR(text->unrotatedBox().maxY(), 0, 1e-9);
}

TEST(MathText, SizeOfStringFollowsTheMarkup) {
  auto style = sans(12);
  KRSize plain = KRDrawingExpressionText::sizeOfString("12", *style);
  KRSize raised = KRDrawingExpressionText::sizeOfString("1^2", *style);
  KRSize fraction = KRDrawingExpressionText::sizeOfString("\\frac{1}{2}", *style);
  EXPECT_LT(raised.width, plain.width);
  EXPECT_GT(raised.height, plain.height - 1e-9);
  EXPECT_GT(fraction.height, plain.height * 1.3);
  EXPECT_EQ(KRDrawingExpressionText::sizeOfString("", *style).width, 0);
}

TEST(MathText, BackgroundPathsUseTheSettingsOfTheirKind) {
  auto text = KRDrawingExpressionText::string("gx", {10, 20}, sans(10), 0, KRDrawingExpressionText::Bottom);
  KRPoint origin = text->baselineOrigin();
  auto path = text->backgroundPathForScale(0);
  ASSERT_NE(path, nullptr);
  KRRect r = path->boundingRectangle();
  EXPECT_NEAR(r.minY(), origin.y - 2.5, 1e-9);
  EXPECT_NEAR(r.maxY(), origin.y + 9.5, 1e-9);
  EXPECT_NEAR(r.size.width, text->unrotatedSize().width, 1e-9);

  UserDefaults::standard().setObject("Number Min", PropertyList(-0.5));
  UserDefaults::standard().setObject("Number Max", PropertyList(1.0));
  r = text->numberBackgroundPathForScale(0)->boundingRectangle();
  EXPECT_NEAR(r.minY(), origin.y - 5, 1e-9);
  EXPECT_NEAR(r.maxY(), origin.y + 10, 1e-9);
  // At a device scale the edges move out to whole pixels.
  r = text->numberBackgroundPathForScale(2)->boundingRectangle();
  for (double edge : {r.minX(), r.maxX(), r.minY(), r.maxY()}) EXPECT_DOUBLE_EQ(edge * 2, std::round(edge * 2));
  EXPECT_LE(r.minY(), origin.y - 5);
  UserDefaults::standard().removeObject("Number Min");
  UserDefaults::standard().removeObject("Number Max");
  EXPECT_EQ(KRDrawingExpressionText::createWithString("")->backgroundPathForScale(1), nullptr);
}

// ---------------------------------------------------------------- drawing

TEST(MathText, DrawsInsideItsBoundsInItsColours) {
  auto text = KRDrawingExpressionText::string("\\red\\sqrt[3]{x^2}\\blue\\frac{1}{y}", {60, 40}, sans(18),
                                              KRDrawingExpressionText::Center, KRDrawingExpressionText::VCenter, 20);
  Rendered image = render(*text, 120, 80, 2);
  KRRect ink = image.inkBox(30);
  KRRect bounds = text->boundingRectangle();
  ASSERT_GT(image.inkPixels(), 100);
  EXPECT_GE(ink.minX(), bounds.minX() - 1);
  EXPECT_LE(ink.maxX(), bounds.maxX() + 1);
  EXPECT_GE(ink.minY(), bounds.minY() - 1);
  EXPECT_LE(ink.maxY(), bounds.maxY() + 1);
  int red = 0, blue = 0;
  for (int y = 0; y < image.image->height(); ++y)
    for (int x = 0; x < image.image->width(); ++x) {
      KRPixel p = image.image->pixel(x, y);
      if (p.alpha < 200) continue;
      red += p.red > 200 && p.blue < 60;
      blue += p.blue > 200 && p.red < 60;
    }
  EXPECT_GT(red, 20);
  EXPECT_GT(blue, 20);
}

TEST(MathText, SuperscriptInkIsRaisedOnThePage) {
  // The pixels agree with the layout: the exponent's ink starts above the
  // base line and ends above the main text's.
  auto base = KRDrawingExpressionText::string("10", {10, 20}, sans(20), 0, KRDrawingExpressionText::Bottom);
  auto power = KRDrawingExpressionText::string("10^{4}", {10, 20}, sans(20), 0, KRDrawingExpressionText::Bottom);
  KRRect baseInk = render(*base, 100, 60, 4).inkBox(100);
  KRRect powerInk = render(*power, 100, 60, 4).inkBox(100);
  EXPECT_NEAR(powerInk.minY(), baseInk.minY(), 0.5);
  EXPECT_GT(powerInk.maxY(), baseInk.maxY() + 3);
  EXPECT_GT(powerInk.maxX(), baseInk.maxX() + 5);
}

TEST(MathText, DrawsIntoDocumentsAndClipsToItsCrop) {
  auto text = KRDrawingExpressionText::multiLineString("\\sum_{i=1}^n x_i\n\\overbrace{abc}", {5, 5}, sans(14),
                                                       KRColor::rgb(1, 1, 0), 0, 2, 2, 0, KRRect{0, 0, 30, 100});
  EXPECT_FALSE(renderToPDF(*text, {0, 0, 100, 100}).empty());
  Rendered image = render(*text, 100, 100);
  EXPECT_GT(image.inkPixels(), 0);
  EXPECT_LE(image.inkBox(0).maxX(), 30 + 1e-9);
  EXPECT_LE(text->boundingRectangle().maxX(), 30 + 1e-9);
  EXPECT_FALSE(text->hitCheck({40, 10}));
}

// ---------------------------------------------------------------- output forms

TEST(MathText, SVGPlacesTheTreeByOneTransform) {
  auto text = KRDrawingExpressionText::string("x", {10, 20}, sans(10), KRDrawingExpressionText::Left,
                                              KRDrawingExpressionText::Bottom, 30);
  double descent = text->layout()->descent;
  std::string expected = "<g transform=\"translate(10,80) rotate(-30) translate(0," + KRSVGStream::number(-descent) +
                         ")\" font-family=\"DejaVu Sans\" font-size=\"10\" >\n"
                         "  <text x=\"0\" y=\"0\">x</text>\n"
                         "</g>\n";
  EXPECT_EQ(svgOf(*text), expected);
  EXPECT_EQ(svgOf(*KRDrawingExpressionText::createWithString("")), "");
  // A text made bare has a style and typesets its string once given one.
  KRDrawingExpressionText bare;
  EXPECT_EQ(svgOf(bare), "");
  bare.setStringToCreate("y");
  EXPECT_GT(bare.unrotatedSize().width, 0);
  EXPECT_EQ(bare.style()->fontSize(), 12);
}

TEST(MathText, SVGWritesEveryConstruct) {
  auto text = KRDrawingExpressionText::string("a<b&\"c'>^{2}\\frac{1}{2}\\sqrt{x}\\overline{y}\\sum\\it z\\red w",
                                              {0, 0}, sans(10));
  std::string svg = svgOf(*text);
  EXPECT_NE(svg.find(">a&lt;b&amp;&quot;c&#x27;</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">&gt;</text>"), std::string::npos) << svg;
  // The superscript's size differs from the text's; the operator's font too.
  EXPECT_NE(svg.find(" font-size=\"7.5\">2</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find(" font-family=\"STIXGeneral\" font-size=\"14\">\u2211</text>"), std::string::npos) << svg;
  EXPECT_EQ(count(svg, "<line x1="), 1) << svg;
  EXPECT_NE(svg.find("stroke-width=\"0.5\" stroke=\"black\"/>"), std::string::npos) << svg;
  // The radical is one filled outline, the overline a stroked path.
  EXPECT_EQ(count(svg, "z\" fill=\"black\" stroke=\"none\"/>"), 1) << svg;
  EXPECT_EQ(count(svg, "<path d=\"M "), 2) << svg;
  EXPECT_NE(svg.find("\" fill=\"none\" stroke-width=\"0.5\" stroke=\"black\"/>"), std::string::npos) << svg;
  // State changers open groups that hold the rest of the list.
  EXPECT_NE(svg.find(">\n  <g>\n    <text x=\"0\" y=\"0\">"), std::string::npos) << svg;
  EXPECT_NE(svg.find("\n    <g font-style=\"italic\">\n      <text "), std::string::npos) << svg;
  EXPECT_NE(svg.find("\n      <g fill=\"rgb(255,0,0)\">\n        <text "), std::string::npos) << svg;
  EXPECT_EQ(count(svg, "<g"), count(svg, "</g>"));
}

TEST(MathText, BlocksWithoutAnSVGFormSayso) {
  struct Unwritten : KRDrawingExpressionBlock {
    const char* className() const override { return "Unwritten"; }
    void prepareForFontStyle(KRMathFontStyle&) override {}
    void drawToContext(GraphicsContext&, KRPoint, const KRMathDrawState&) const override {}
  };
  MessageCapture capture;
  KRSVGStream stream;
  KRSVGInfo info;
  Unwritten().addToSVGStream(stream, "", 0, info);
  EXPECT_EQ(stream.text(), "");
  EXPECT_EQ(capture.texts(), std::vector<std::string>{"Missing addToSVGStream for Unwritten"});
}

TEST(MathText, DescriptionRoundTrips) {
  auto style = KRDrawingStyleFont::styleWithFont("Times-Roman", 14, KRColor::rgb(0, 0.5, 1));
  auto text = KRDrawingExpressionText::string("E = mc^2", {12.5, -3}, style, KRDrawingExpressionText::Center,
                                              KRDrawingExpressionText::TopNumbers, 45);
  auto description = text->mvgDescription();
  ASSERT_TRUE(description);
  EXPECT_EQ(description->stringForKey("Type"), "Expression Text");
  EXPECT_EQ(description->stringForKey("Horizontal"), "Center");
  EXPECT_EQ(description->stringForKey("Vertical"), "Top Number");
  EXPECT_EQ(description->stringForKey("Position"), "{12.5, -3}");
  EXPECT_EQ(description->numberForKey("Rotation"), 45);
  const PropertyList* written = description->find("Style");
  ASSERT_TRUE(written && written->isDictionary());
  EXPECT_EQ(written->stringForKey("Font"), "Times-Roman");
  EXPECT_EQ(written->numberForKey("Size"), 14);

  auto back = std::dynamic_pointer_cast<KRDrawingExpressionText>(KRDrawingTypes::createFromMVG(*description));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->stringToCreate(), "E = mc^2");
  EXPECT_EQ(back->alignment(), KRDrawingExpressionText::Center);
  EXPECT_EQ(back->vAlignment(), KRDrawingExpressionText::TopNumbers);
  EXPECT_EQ(back->rotation(), 45);
  EXPECT_EQ(back->style()->fontName(), "Times-Roman");
  EXPECT_EQ(back->style()->color(), KRColor::rgb(0, 0.5, 1));
  expectRectNear(back->boundingRectangle(), text->boundingRectangle(), 1e-9);

  // Unrotated texts leave the key out; the other spelling of the number code is read.
  auto flat = KRDrawingExpressionText::createWithString("x")->mvgDescription();
  EXPECT_EQ(flat->find("Rotation"), nullptr);
  flat->dictionary()["Vertical"] = "Top Numbers";
  auto read = std::dynamic_pointer_cast<KRDrawingExpressionText>(KRDrawingTypes::createFromMVG(*flat));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->vAlignment(), KRDrawingExpressionText::TopNumbers);
  // A catalog colour is read like the colour of any other drawing.
  flat->dictionary()["Style"].dictionary()["Color"] =
      PlistDictionary{{"Catalog", PropertyList("System")}, {"Color", PropertyList("blueColor")}};
  read = std::dynamic_pointer_cast<KRDrawingExpressionText>(KRDrawingTypes::createFromMVG(*flat));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->style()->color(), KRColor::rgb(0, 0, 1));
  flat->dictionary().erase("String");
  EXPECT_EQ(KRDrawingTypes::createFromMVG(*flat), nullptr);
}

TEST(MathText, CopiesScaleTheirFontAndPosition) {
  auto text = KRDrawingExpressionText::string("x^2", {10, 10}, sans(10), 0, 2);
  auto scaled = std::dynamic_pointer_cast<KRDrawingExpressionText>(text->scaleBy(2, {0, 0}, {5, 5}, false));
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->style()->fontSize(), 20);
  EXPECT_EQ(scaled->whereToDraw().x, 25);
  // Glyph advances are kept in 1/1024 points, so widths scale to within that.
  EXPECT_NEAR(scaled->unrotatedSize().width, 2 * text->unrotatedSize().width, 0.01);
  // The copy has a style of its own.
  scaled->style()->setFontSize(30);
  EXPECT_EQ(text->style()->fontSize(), 10);
  // Editing the style in place lays the text out again.
  double before = scaled->unrotatedSize().width;
  scaled->style()->setFontSize(40);
  EXPECT_NEAR(scaled->unrotatedSize().width, before * 4 / 3, 0.01);
}
