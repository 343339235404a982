#include <gtest/gtest.h>

#include <cmath>

#include "graph/GraphTexts.h"
#include "graph/GraphTestSupport.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"

namespace orrelin {
namespace {

using testing_support::GraphInDocument;

struct SizeCase {
  const char* text;
  double width, height;  // 0 when no size
  const char* problem;   // nullptr when there is a size
};

TEST(CanvasSettings, SizeTextGivesTwoClampedLengthsOrSaysWhyNot) {
  const std::string cannot = "Not possible to extract a size from the string\n\"a,b\"";
  const SizeCase cases[] = {
      {"5in,3in", 360, 216, nullptr},
      {"2,50000", 3, 30000, nullptr},
      {"10cm, 50mm", 283.46456692913385, 141.73228346456695, nullptr},
      {"3*inches,max(100,2)px", 216, 100, nullptr},
      {"5in", 0, 0, graphtext::kNeedTwoEntries},
      {"1,2,3", 0, 0, graphtext::kNeedTwoEntries},
      {"", 0, 0, graphtext::kNeedTwoEntries},
      {"a,b", 0, 0, cannot.c_str()},
      {"1/0,3", 0, 0, graphtext::kNoValidSize},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.text);
    std::string problem;
    auto size = VKCanvasSettings::sizeFromText(each.text, &problem);
    if (!each.problem) {
      ASSERT_TRUE(size.has_value()) << problem;
      EXPECT_NEAR(size->width, each.width, 1e-9);
      EXPECT_NEAR(size->height, each.height, 1e-9);
    } else {
      EXPECT_FALSE(size.has_value());
      EXPECT_EQ(problem, each.problem);
    }
  }
}

TEST(CanvasSettings, OnlyASpecifiedValidSizeOverridesTheView) {
  auto canvas = VKCanvasSettings::create();
  EXPECT_EQ(canvas->overwriteSizeWith().width, 0);  // automatic
  canvas->sizeMethod().setTag(VKCanvasSettings::kSpecifiedSize);
  canvas->sizeText().setText("4in,2in");
  EXPECT_EQ(canvas->overwriteSizeWith().width, 288);
  EXPECT_EQ(canvas->overwriteSizeWith().height, 144);
  EXPECT_FALSE(canvas->sizeText().errorExplanation());
  canvas->sizeText().setText("4in");
  EXPECT_EQ(canvas->overwriteSizeWith().width, 0);
  EXPECT_EQ(canvas->sizeText().errorExplanation().value_or(""), graphtext::kNeedTwoEntries);

  auto commandLine = VKCanvasSettings::createForCommandLine();
  EXPECT_EQ(commandLine->overwriteSizeWith().width, 360);
  EXPECT_EQ(commandLine->overwriteSizeWith().height, 216);
}

TEST(CanvasSettings, MarginEntriesUseThePageSizeAndParametersWithinBounds) {
  GraphInDocument holder;
  holder.document->setParameter("m", "7");
  auto canvas = holder.graph->canvasSettings();
  const KRSize page{500, 300};
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"", 33},  // empty keeps the proposed margin
      {"Width/10", 50},
      {"Height-250", 50},
      {"1e9", 10000},
      {"-1e9", -10000},
      {"m*2", 14},
      {"unknownName", 33},
      {"1/0", 33},
      {"2+", 33},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.text);
    for (const char* key : {graphtext::kBelow, graphtext::kAbove, graphtext::kLeft, graphtext::kRight})
      canvas->marginEntry(key).setText(each.text);
    EXPECT_DOUBLE_EQ(canvas->modifySpaceBelow(33, page), each.expected);
    EXPECT_DOUBLE_EQ(canvas->modifySpaceAbove(33, page), each.expected);
    EXPECT_DOUBLE_EQ(canvas->modifySpaceOnLeft(33, page), each.expected);
    EXPECT_DOUBLE_EQ(canvas->modifySpaceOnRight(33, page), each.expected);
  }
}

TEST(CanvasSettings, StackingChoiceTags) {
  auto canvas = VKCanvasSettings::create();
  const struct {
    int tag;
    bool stackX, stackY;
  } cases[] = {{1, true, true}, {2, false, true}, {3, true, false}, {4, false, false}};
  for (const auto& each : cases) {
    canvas->stackingChoice().setTag(each.tag);
    EXPECT_EQ(canvas->stackX(), each.stackX) << each.tag;
    EXPECT_EQ(canvas->stackY(), each.stackY) << each.tag;
  }
}

TEST(CanvasSettings, OlderColourKeysBecomeFills) {
  auto canvas = VKCanvasSettings::create();
  PlistDictionary stored{{"Type", "Canvas Settings"},
                         {graphtext::kOldBackgroundColor, VKColorInputController::colorPropertyList(KRColor::rgb(1, 0, 0))}};
  canvas->fillFromPropertyList(PropertyList(stored));
  EXPECT_EQ(canvas->background().style().kind, 2);
  EXPECT_EQ(canvas->background().style().color, KRColor::rgb(1, 0, 0));
  auto written = canvas->propertyList();
  EXPECT_FALSE(written.dictionary().count(graphtext::kOldBackgroundColor));
  EXPECT_TRUE(written.dictionary().count(graphtext::kBackground));
}

TEST(StyleSettings, BoxLineWidthAndGraphFonts) {
  auto style = VKStyleSettings::create();
  const struct {
    const char* text;
    double width;
  } cases[] = {{"1", 1}, {"0", 0.5}, {"-2", 0.5}, {"1/0", 0.5}, {"nonsense", 0.5}, {"301", 300}, {"2.5", 2.5}};
  for (const auto& each : cases) {
    style->axisLineWidth().setText(each.text);
    EXPECT_DOUBLE_EQ(style->boxLineWidth(), each.width) << each.text;
  }
  // Font settings that name the graph's fonts take them from the style.
  VKFontStyle axisFont{3, "Ignored", 99, KRColor::black()};
  EXPECT_DOUBLE_EQ(style->resolvedFont(axisFont).size, style->numberFontSize());
  VKFontStyle local{5, "Times", 20, KRColor::black()};
  EXPECT_EQ(style->resolvedFont(local).family, "Times");
  EXPECT_DOUBLE_EQ(style->resolvedFont(VKFontStyle{5, "", -3, KRColor::black()}).size, 12);

  style->boxStyleMenu().setTag(VKStyleSettings::kBoxAroundEachAxis);
  EXPECT_TRUE(style->boxAroundGraph());
  EXPECT_TRUE(style->drawBoxAroundEachAxis());
  style->boxStyleMenu().setTag(VKStyleSettings::kNoBox);
  EXPECT_FALSE(style->boxAroundGraph());
}

}  // namespace
}  // namespace orrelin
