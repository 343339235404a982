#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <cmath>
#include <thread>

#include "platform/FontConfiguration.h"
#include "platform/GraphicsContext.h"
#include "platform/TextSystem.h"

using namespace orrelin;

namespace {

KRTextAttributes sans(double size) {
  KRTextAttributes a;
  a.face = {"DejaVu Sans", false, false};
  a.fontSize = size;
  return a;
}

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
