#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <thread>

#include "platform/FontConfiguration.h"
#include "platform/GraphicsContext.h"
#include "platform/TextSystem.h"

using namespace orrelin;

namespace {

KRTextAttributes attributesFor(const std::string& family, double size) {
  KRTextAttributes a;
  a.face = {family, false, false};
  a.fontSize = size;
  return a;
}

KRTextAttributes sans(double size) { return attributesFor("DejaVu Sans", size); }

// A font file read by FreeType on its own, to check the text system against.
class FreeTypeFace {
 public:
  explicit FreeTypeFace(const KRFont& font) {
    FT_Init_FreeType(&library_);
    FT_New_Face(library_, font.filePath().c_str(), font.faceIndex(), &face_);
  }
  ~FreeTypeFace() {
    if (face_) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  FT_Face face() const { return face_; }
  std::uint32_t glyph(char32_t c) const { return FT_Get_Char_Index(face_, c); }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace

struct FontNameCase {
  const char* name;
  KRFontFace face;
};

void PrintTo(const FontNameCase& c, std::ostream* out) { *out << c.name; }

class FontNames : public testing::TestWithParam<FontNameCase> {};

TEST_P(FontNames, PostScriptAndFamilyNamesGiveTheFace) {
  EXPECT_EQ(TextSystem::faceFromFontName(GetParam().name), GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(TextSystem, FontNames,
                         testing::Values(FontNameCase{"Helvetica", {"Helvetica", false, false}},
                                         FontNameCase{"Helvetica-Bold", {"Helvetica", true, false}},
                                         FontNameCase{"Helvetica-BoldOblique", {"Helvetica", true, true}},
                                         FontNameCase{"Times-Roman", {"Times", false, false}},
                                         FontNameCase{"Times-Italic", {"Times", false, true}},
                                         FontNameCase{"ArialMT", {"Arial", false, false}},
                                         FontNameCase{"DejaVu Sans", {"DejaVu Sans", false, false}},
                                         FontNameCase{"Liberation-Mono", {"Liberation-Mono", false, false}}));

TEST(TextSystem, KnowsWhichFontsAreThereAndFallsBackInOrder) {
  EXPECT_TRUE(TextSystem::fontIsAvailable("DejaVu Sans"));
  // A metric-compatible stand-in counts as the font.
  EXPECT_TRUE(TextSystem::fontIsAvailable("Helvetica"));
  EXPECT_FALSE(TextSystem::fontIsAvailable("No Such Family Qwxz"));
  EXPECT_FALSE(TextSystem::fontIsAvailable(""));
  EXPECT_EQ(TextSystem::resolveFont("No Such Family Qwxz", {"Also Missing", "Liberation Serif-Bold"}),
            (KRFontFace{"Liberation Serif", true, false}));
  EXPECT_EQ(TextSystem::resolveFont("No Such Family Qwxz", {"Also Missing"}).family, "No Such Family Qwxz");
  EXPECT_EQ(TextSystem::familyUsedFor({"Helvetica"}), "Liberation Sans");
}

TEST(TextSystem, OnlyTheApplicationsOwnFontsAreUsedWhateverElseIsInstalled) {
  // Ghostscript's fonts (installed with the dependencies) claim Helvetica,
  // Times and Courier on the machine's own configuration; ours ignores them.
  for (const auto& [name, family] : std::vector<std::pair<std::string, std::string>>{
           {"Helvetica", "Liberation Sans"}, {"Arial", "Liberation Sans"}, {"Times", "Liberation Serif"},
           {"Courier New", "Liberation Mono"}, {"Nimbus Sans", "DejaVu Sans"}, {"No Such Family Qwxz", "DejaVu Sans"},
           {"STIXGeneral", "STIXGeneral"}, {"Apple Symbols", "STIXGeneral"}})
    EXPECT_EQ(TextSystem::familyUsedFor({name}), family) << name;
  EXPECT_FALSE(TextSystem::fontIsAvailable("Nimbus Sans"));
  EXPECT_FALSE(TextSystem::fontIsAvailable("URW Gothic"));
  for (const auto& family : FontConfiguration::families())
    EXPECT_TRUE(family.rfind("DejaVu", 0) == 0 || family.rfind("Liberation", 0) == 0 || family.rfind("STIX", 0) == 0)
        << family;
  // Italics are real faces, not slanted copies: they report their angle.
  EXPECT_LT(TextSystem::fontMetrics({"Liberation Serif", false, true}, 100).italicAngle, -5);
}

// Cairo's own font look-ups name no configuration; they must land on our
// fonts too, and the machine's configuration must never have been loaded
// (reading it costs more than the rest of a small batch job's text set-up).
TEST(TextSystem, CallersThatNameNoConfigurationGetOurs) {
  TextSystem::familyUsedFor({"Helvetica"});
  EXPECT_EQ(FcConfigGetCurrent(), FontConfiguration::shared());
  for (const auto& [name, family] : std::vector<std::pair<std::string, std::string>>{
           {"Helvetica", "Liberation Sans"}, {"Nimbus Sans", "DejaVu Sans"}, {"sans-serif", "DejaVu Sans"}}) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    ASSERT_NE(match, nullptr) << name;
    FcChar8* matched = nullptr;
    ASSERT_EQ(FcPatternGetString(match, FC_FAMILY, 0, &matched), FcResultMatch);
    EXPECT_EQ(reinterpret_cast<const char*>(matched), family) << name;
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }
}

TEST(TextSystem, WidthsScaleWithTheSizeAndAddUpOverRuns) {
  KRTextMeasure small = TextSystem::measure("Orrelin 123", sans(12));
  KRTextMeasure large = TextSystem::measure("Orrelin 123", sans(24));
  EXPECT_GT(small.width, 30);
  EXPECT_NEAR(large.width, 2 * small.width, 0.01 * large.width);
  EXPECT_NEAR(large.height(), 2 * small.height(), 0.02 * large.height());
  double a = TextSystem::measure("Orrelin", sans(12)).width;
  double b = TextSystem::measure(" 123", sans(12)).width;
  EXPECT_NEAR(a + b, small.width, 0.5);
  EXPECT_EQ(TextSystem::measure("", sans(12)).width, 0);
}

TEST(TextSystem, MetricsAreOrderedAsLettersAre) {
  KRFontMetrics m = TextSystem::fontMetrics({"DejaVu Sans"}, 100);
  EXPECT_EQ(m.familyName, "DejaVu Sans");
  EXPECT_GT(m.ascender, m.capHeight);
  EXPECT_GT(m.capHeight, m.xHeight);
  EXPECT_GT(m.xHeight, 40);
  EXPECT_NEAR(m.digitHeight, m.capHeight, 5);
  EXPECT_LT(m.descender, 0);
  EXPECT_EQ(m.italicAngle, 0);
  EXPECT_LT(TextSystem::fontMetrics({"DejaVu Sans", false, true}, 100).italicAngle, -5);
}

TEST(TextSystem, InvalidTextIsMeasuredByItsValidPart) {
  std::string broken = "ab\xff\xfe" "cd";
  EXPECT_GT(TextSystem::measure(broken, sans(12)).width, TextSystem::measure("abcd", sans(12)).width * 0.9);
}

TEST(TextSystem, DrawnInkLandsWhereTheMeasureSaysAtAnyResolution) {
  for (double scale : {1.0, 3.0}) {
    auto gc = GraphicsContext::createForImage({200, 100}, scale);
    KRTextAttributes a = sans(40);
    a.color = KRColor::rgb(0, 0, 1);
    KRPoint origin{30, 40};
    TextSystem::draw(*gc, "Ty", a, origin);
    KRTextMeasure m = TextSystem::measure("Ty", a);
    auto image = gc->image();
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    for (int py = 0; py < image->height(); ++py)
      for (int px = 0; px < image->width(); ++px)
        if (image->pixel(px, py).alpha > 128) {
          double x = (px + 0.5) / scale, y = (image->height() - py - 0.5) / scale;
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    double tolerance = 1.5;
    EXPECT_NEAR(x0, origin.x + m.inkLeft, tolerance);
    EXPECT_NEAR(x1, origin.x + m.inkRight, tolerance);
    EXPECT_NEAR(y1, origin.y + m.inkTop, tolerance);     // the T's bar is on top: upright
    EXPECT_NEAR(y0, origin.y + m.inkBottom, tolerance);  // the y's tail below the base line
    EXPECT_LT(m.inkBottom, 0);
  }
}

TEST(TextSystem, BaselineOffsetRaisesTheRun) {
  KRTextAttributes a = sans(30);
  auto inkTop = [&](double offset) {
    a.baselineOffset = offset;
    auto gc = GraphicsContext::createForImage({100, 100});
    TextSystem::draw(*gc, "H", a, {10, 20});
    auto image = gc->image();
    for (int py = 0; py < image->height(); ++py)
      for (int px = 0; px < image->width(); ++px)
        if (image->pixel(px, py).alpha > 128) return 100.0 - py;
    return -1.0;
  };
  EXPECT_NEAR(inkTop(10) - inkTop(0), 10, 1);
}

TEST(TextSystem, MeasuringFromSeveralThreadsAgrees) {
  double expected = TextSystem::measure("Threads 0123", sans(17)).width;
  std::vector<std::thread> threads;
  std::vector<double> widths(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&widths, t] {
      for (int i = 0; i < 50; ++i) widths[t] = TextSystem::measure("Threads 0123", sans(17)).width;
    });
  for (auto& t : threads) t.join();
  for (double w : widths) EXPECT_EQ(w, expected);
  // The lock can be held across calls by the same thread.
  std::lock_guard guard(TextSystem::lock());
  EXPECT_EQ(TextSystem::measure("Threads 0123", sans(17)).width, expected);
}

// Liberation Sans (Helvetica's stand-in) has no U+21D2 or U+2200; DejaVu Sans,
// next in every face's fallback order, has both.
TEST(TextSystem, CharactersThePrimaryFontLacksComeFromTheFirstFallbackThatHasThem) {
  KRTextAttributes a = attributesFor("Helvetica", 12);
  KRShapedText shaped = TextSystem::shape("x \u21D2 \u2200 y", a);
  ASSERT_EQ(shaped.runs.size(), 3u);
  EXPECT_EQ(shaped.runs[0].font->familyName(), "Liberation Sans");
  EXPECT_EQ(shaped.runs[1].font->familyName(), "DejaVu Sans");
  EXPECT_EQ(shaped.runs[2].font->familyName(), "Liberation Sans");
  // The spaces stay with the run they are in: the one between the arrows
  // does not go back to the primary font.
  EXPECT_EQ(shaped.runs[0].glyphs.size(), 2u);
  EXPECT_EQ(shaped.runs[1].glyphs.size(), 4u);
  EXPECT_EQ(shaped.runs[2].glyphs.size(), 1u);
  FreeTypeFace dejavu(*shaped.runs[1].font);
  EXPECT_EQ(shaped.runs[1].glyphs[0].index, dejavu.glyph(U'\u21D2'));
  EXPECT_EQ(shaped.runs[1].glyphs[2].index, dejavu.glyph(U'\u2200'));
  // The fallback's line height counts for the text.
  KRTextMeasure plain = TextSystem::measure("x y", a);
  KRTextMeasure mixed = TextSystem::measure("x \u21D2 \u2200 y", a);
  EXPECT_GT(mixed.ascent, plain.ascent);
  // A text all in the fallback is one run, and a character no font has
  // takes its place without being drawn.
  EXPECT_EQ(TextSystem::shape("\u21D2 \u21D2", a).runs.size(), 1u);
  KRShapedText missing = TextSystem::shape("a\U000F0000b", a);
  ASSERT_EQ(missing.runs.size(), 1u);
  EXPECT_EQ(missing.runs[0].glyphs.size(), 2u);
  EXPECT_GT(missing.measure.width, TextSystem::measure("ab", a).width);
}

TEST(TextSystem, RightToLeftTextComesOutInVisualOrder) {
  // Shin, lamed, vav, final mem: read from the right.
  KRShapedText shaped = TextSystem::shape("\u05E9\u05DC\u05D5\u05DD", sans(20));
  ASSERT_EQ(shaped.runs.size(), 1u);
  const auto& glyphs = shaped.runs[0].glyphs;
  ASSERT_EQ(glyphs.size(), 4u);
  FreeTypeFace face(*shaped.runs[0].font);
  EXPECT_EQ(glyphs[0].index, face.glyph(U'\u05DD'));
  EXPECT_EQ(glyphs[3].index, face.glyph(U'\u05E9'));
  for (std::size_t i = 1; i < glyphs.size(); ++i) EXPECT_GT(glyphs[i].x, glyphs[i - 1].x);
  // A Hebrew word inside Latin text keeps its place and its own order.
  KRShapedText mixed = TextSystem::shape("a \u05E9\u05DC\u05D5\u05DD b", sans(20));
  ASSERT_EQ(mixed.runs.size(), 1u);
  const auto& all = mixed.runs[0].glyphs;
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all.front().index, face.glyph(U'a'));
  EXPECT_EQ(all.back().index, face.glyph(U'b'));
  EXPECT_EQ(all[2].index, face.glyph(U'\u05DD'));
  EXPECT_EQ(all[5].index, face.glyph(U'\u05E9'));
}

TEST(TextSystem, InkOfAGlyphIsItsOutlineScaledToTheSize) {
  for (double size : {10.0, 37.5}) {
    KRShapedText shaped = TextSystem::shape("g", sans(size));
    ASSERT_EQ(shaped.runs.size(), 1u);
    FreeTypeFace face(*shaped.runs[0].font);
    ASSERT_EQ(FT_Load_Glyph(face.face(), face.glyph(U'g'), FT_LOAD_NO_SCALE), 0);
    FT_BBox box;
    FT_Outline_Get_CBox(&face.face()->glyph->outline, &box);
    double scale = size / face.face()->units_per_EM;
    const KRTextMeasure& m = shaped.measure;
    EXPECT_NEAR(m.inkLeft, box.xMin * scale, 1e-9);
    EXPECT_NEAR(m.inkRight, box.xMax * scale, 1e-9);
    EXPECT_NEAR(m.inkTop, box.yMax * scale, 1e-9);
    EXPECT_NEAR(m.inkBottom, box.yMin * scale, 1e-9);  // the tail, below the base line
    EXPECT_NEAR(m.width, face.face()->glyph->metrics.horiAdvance * scale, 1e-9);
    EXPECT_NEAR(m.ascent, face.face()->ascender * scale, 1e-9);
    EXPECT_NEAR(m.descent, -face.face()->descender * scale, 1e-9);
  }
}

// Later lines drop by the height of the lines above them; the text's ascent
// is its first line's and its descent reaches the last line's bottom.
TEST(TextSystem, LineBreaksStartLowerLines) {
  KRTextAttributes a = sans(10);
  KRTextMeasure one = TextSystem::measure("Ag", a);
  double line = one.ascent + one.descent;
  for (const char* text : {"Ag\nAg", "Ag\r\nAg", "Ag\rAg", "Ag\u2028Ag"}) {
    KRShapedText two = TextSystem::shape(text, a);
    EXPECT_DOUBLE_EQ(two.measure.ascent, one.ascent) << text;
    EXPECT_NEAR(two.measure.descent, one.descent + line, 1e-9) << text;
    EXPECT_DOUBLE_EQ(two.measure.width, one.width) << text;
    ASSERT_EQ(two.runs.size(), 1u);
    ASSERT_EQ(two.runs[0].glyphs.size(), 4u) << text;
    EXPECT_EQ(two.runs[0].glyphs[2].x, 0) << text;
    EXPECT_NEAR(two.runs[0].glyphs[2].y, -line, 1e-9) << text;
  }
  // An empty last line still takes its height.
  EXPECT_NEAR(TextSystem::measure("Ag\n", a).descent, one.descent + line, 1e-9);
}

TEST(TextSystem, MeasureAndShapeAgree) {
  for (const char* text : {"", "Orrelin 123", "x \u21D2 \u2200 y", "a\tb\tc", "Ag\nlonger line", "\u05E9\u05DC",
                           "ab\xff" "c", "e\u0301"}) {
    for (const char* family : {"Helvetica", "STIXGeneral"}) {
      KRTextAttributes a = attributesFor(family, 13.7);
      KRTextMeasure m = TextSystem::measure(text, a);
      KRTextMeasure s = TextSystem::shape(text, a).measure;
      EXPECT_EQ(m.width, s.width) << text;
      EXPECT_EQ(m.ascent, s.ascent) << text;
      EXPECT_EQ(m.descent, s.descent) << text;
      EXPECT_EQ(m.inkLeft, s.inkLeft) << text;
      EXPECT_EQ(m.inkRight, s.inkRight) << text;
      EXPECT_EQ(m.inkTop, s.inkTop) << text;
      EXPECT_EQ(m.inkBottom, s.inkBottom) << text;
    }
  }
  // An empty text is as high as the face's own line.
  KRFontMetrics metrics = TextSystem::fontMetrics({"Helvetica"}, 13.7);
  KRTextMeasure empty = TextSystem::measure("", attributesFor("Helvetica", 13.7));
  EXPECT_NEAR(empty.ascent, metrics.ascender, 1e-9);
  EXPECT_NEAR(empty.descent, -metrics.descender, 1e-9);
}

TEST(TextSystem, TabsAdvanceToEverySpaceWidthsAndControlsTakeNoRoom) {
  KRTextAttributes a = sans(10);
  double space = TextSystem::measure(" ", a).width;
  double x = TextSystem::measure("x", a).width;
  EXPECT_NEAR(TextSystem::measure("\tx", a).width, 8 * space + x, 1e-9);
  EXPECT_NEAR(TextSystem::measure("x\tx", a).width, 8 * space + x, 1e-9);
  EXPECT_NEAR(TextSystem::measure("x\t\tx", a).width, 16 * space + x, 1e-9);
  EXPECT_NEAR(TextSystem::measure("x\x01x", a).width, 2 * x, 1e-9);
  // Each byte of a damaged sequence stands for one replacement character.
  EXPECT_EQ(TextSystem::measure("ab\xe2\x82" "cd", a).width, TextSystem::measure("ab\uFFFD\uFFFDcd", a).width);
  EXPECT_EQ(TextSystem::measure("a\xed\xa0\x80", a).width, TextSystem::measure("a\uFFFD\uFFFD\uFFFD", a).width);
}
