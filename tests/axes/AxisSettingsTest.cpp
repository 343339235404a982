#include <gtest/gtest.h>

#include <set>

#include "axes/VKAxisSettings.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::TestCommandDocument;
using testing_support::TestGraph;

std::shared_ptr<VKAxisSettings> makeMainAxis() {
  auto settings = std::make_shared<VKAxisSettings>();
  settings->finishConnections();
  return settings;
}

std::shared_ptr<VKSingleAxisCommand> makeSingleAxis(char letter) {
  auto axis = std::make_shared<VKSingleAxisCommand>(letter);
  axis->finishConnections();
  return axis;
}

std::set<std::string> keysOf(const PropertyList& list) {
  std::set<std::string> keys;
  for (const auto& [key, value] : list.dictionary()) keys.insert(key);
  return keys;
}

// A value of the same kind as the default but different from it, so that a
// round trip through every key shows that none is lost or mixed up.
PropertyList changed(const std::string& key, const PropertyList& value) {
  if (value.isBoolean()) return PropertyList(!value.boolean());
  if (value.isInteger()) return PropertyList(value.integer() == 1 ? 2 : 1);
  if (value.isString()) return PropertyList(key == "Crop X" ? std::string("0,10") : "text of " + key);
  if (value.isDictionary() && value.find("Font")) {
    PlistDictionary font = value.dictionary();
    font["Font"] = 5;
    font["Family"] = "Times";
    font["Size"] = 17.0;
    return font;
  }
  return value;
}

PropertyList withEveryValueChanged(const PropertyList& defaults) {
  PlistDictionary list;
  for (const auto& [key, value] : defaults.dictionary()) {
    // "Which X Axis" and "Which Y Axis" repeat "Axis" for older readers.
    bool keep = key == "Type" || key == "Which X Axis" || key == "Which Y Axis";
    list[key] = keep ? value : changed(key, value);
  }
  return list;
}

TEST(MainAxis, StoresEveryKeyOfBothAxesAndTheFonts) {
  auto keys = keysOf(makeMainAxis()->propertyList());
  for (char letter : {'X', 'Y'}) {
    for (const char* pattern :
         {"% Title", "% Type", "Include %", "Crop %", "Pad % Range", "Draw % Labels", "% Ticks Choice",
          "% Ticks Stride", "% Ticks Values", "% Minor Ticks Values", "% Tick Locations", "% Tick Labels",
          "% Categories", "% Category Ticks", "% Degree/Radians", "% Currency", "% Currency Negative",
          "% Currency Negative Red", "% Prefix", "% Suffix", "% Dates With Two Lines"})
      EXPECT_TRUE(keys.count(axisKey(pattern, letter))) << axisKey(pattern, letter);
  }
  for (const char* key : {"X Orientation", "X Label Height", "Y Label Width", "Aspect Ratio 1",
                          "Axis Labels Font Style", "Title Font Style", "Number Font Style", "Type"})
    EXPECT_TRUE(keys.count(key)) << key;
  EXPECT_FALSE(keys.count("Y Orientation"));
}

TEST(MainAxis, DefaultsAreAutomaticLinearAxesWithLabels) {
  auto settings = makeMainAxis();
  for (const AxisControllers* axis : {&settings->xAxis(), &settings->yAxis()}) {
    EXPECT_EQ(axis->scale(), AxisScale::Linear);
    EXPECT_EQ(axis->ticksChoice->tag(), kTicksAutomatic);
    EXPECT_TRUE(axis->drawLabels->isSelected());
    EXPECT_TRUE(axis->datesWithTwoLines->isSelected());
    EXPECT_FALSE(axis->croppingRange());
    EXPECT_TRUE(axis->includeRange().isInvalid());
  }
  EXPECT_EQ(settings->axisLabelsFont().style().which, 1);
  EXPECT_EQ(settings->titleFont().style().which, 2);
  EXPECT_EQ(settings->numberFont().style().which, 3);
  EXPECT_FALSE(settings->aspectRatio1());
}

TEST(AxisCommands, StoredFormOfEveryKindReadsBackTheSame) {
  MessageCapture messages;
  auto& factory = VKCommandFactory::shared();
  registerAxisCommandKinds(factory);
  for (const char* type : {"Main Axis", "X Axis", "Y Axis", "Extra Axis"}) {
    auto made = factory.createCommand(type);
    ASSERT_NE(made, nullptr) << type;
    EXPECT_EQ(made->type(), type);
    auto list = withEveryValueChanged(made->propertyList());
    auto read = factory.createFromPropertyList(list);
    ASSERT_NE(read, nullptr);
    auto written = read->propertyList();
    for (const auto& [key, value] : list.dictionary()) {
      const PropertyList* back = written.find(key);
      EXPECT_TRUE(back && *back == value) << type << ": " << key;
    }
    EXPECT_EQ(keysOf(written), keysOf(list)) << type;
    // Nothing was taken for an unknown key or a value of the wrong kind.
    EXPECT_TRUE(messages.texts().empty()) << type;
  }
}

TEST(AxisCommands, AValueOfTheWrongKindIsReportedAndTheSettingKeepsItsDefault) {
  auto& factory = VKCommandFactory::shared();
  registerAxisCommandKinds(factory);
  for (const char* type : {"Main Axis", "X Axis", "Y Axis", "Extra Axis"}) {
    const PropertyList defaults = factory.createCommand(type)->propertyList();
    for (const auto& [key, value] : defaults.dictionary()) {
      // "Open" belongs to every command, not to the axes.
      if (key == "Type" || key == "Which X Axis" || key == "Which Y Axis" || key == "Open") continue;
      SCOPED_TRACE(std::string(type) + ": " + key);
      MessageCapture messages;
      PlistDictionary list = defaults.dictionary();
      // Numbers where a text belongs and a list where anything else does.
      list[key] = value.isString() ? PropertyList(12.5) : PropertyList(PlistArray{PropertyList("junk")});
      auto read = factory.createFromPropertyList(list);
      ASSERT_NE(read, nullptr);
      const PropertyList written = read->propertyList();
      const PropertyList* back = written.find(key);
      if (value.isString() && back && back->isString() && back->string() == "12.5") continue;  // read as text
      EXPECT_TRUE(back && *back == value);
      auto posted = messages.messages();
      ASSERT_FALSE(posted.empty());
      EXPECT_NE(posted.front().longText.find(key), std::string::npos) << posted.front().longText;
    }
  }
}

TEST(MainAxis, ReadsTheOlderTitleAndScaleKeys) {
  auto settings = makeMainAxis();
  settings->fillFromPropertyList(PlistDictionary{
      {"Type", "Main Axis"}, {"X", "Time"}, {"X Lin/Log", 2}, {"Y", "Volts"}, {"Y Lin/Log", "Linear"}});
  EXPECT_EQ(settings->xAxis().title->text(), "Time");
  EXPECT_EQ(settings->xAxis().scale(), AxisScale::Logarithmic);
  EXPECT_FALSE(settings->xLinear());
  EXPECT_EQ(settings->yAxis().title->text(), "Volts");
  EXPECT_EQ(settings->yAxis().scale(), AxisScale::Linear);
  auto keys = keysOf(settings->propertyList());
  for (const char* old : {"X", "Y", "X Lin/Log", "Y Lin/Log"}) EXPECT_FALSE(keys.count(old)) << old;

  // Where both forms are present the newer key wins.
  settings->fillFromPropertyList(
      PlistDictionary{{"Type", "Main Axis"}, {"X", "Old"}, {"X Title", "New"}, {"X Lin/Log", 2}, {"X Type", 4}});
  EXPECT_EQ(settings->xAxis().title->text(), "New");
  EXPECT_EQ(settings->xAxis().scale(), AxisScale::ReverseLog);
  EXPECT_TRUE(settings->xAxis().isReversed());
}

struct CropCase {
  const char* text;
  bool fixed;
  double min, max;
  bool explained;
};

class CropText : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropText, FixesTheAxisOrLeavesItAutomatic) {
  const auto& c = GetParam();
  auto settings = makeMainAxis();
  settings->fillFromPropertyList(PlistDictionary{{"Type", "Main Axis"}, {"Crop X", c.text}});
  settings->establishDependencyConnections();
  KRBoundingRange automatic = KRBoundingRange::between(-3, 7);
  KRBoundingRange result = settings->cropXRange(automatic);
  if (c.fixed) {
    EXPECT_DOUBLE_EQ(result.minR, c.min);
    EXPECT_DOUBLE_EQ(result.maxR, c.max);
  } else {
    EXPECT_EQ(result, automatic);
  }
  EXPECT_EQ(settings->cropYRange(automatic), automatic);
  EXPECT_EQ(settings->hasErrorExplanation(), c.explained);
  if (c.explained) {
    EXPECT_NE(settings->errorExplanation()->find(c.text), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, CropText,
                         ::testing::Values(CropCase{"0,10", true, 0, 10, false},
                                           CropCase{"10, 0", true, 0, 10, false},
                                           CropCase{"2*(1+1),1e3", true, 4, 1000, false},
                                           CropCase{"", false, 0, 0, false},
                                           CropCase{"  ", false, 0, 0, false},
                                           CropCase{"a,b", false, 0, 0, true},
                                           CropCase{"5", false, 0, 0, true},
                                           CropCase{"1,2,3", false, 0, 0, true},
                                           CropCase{"5,5", false, 0, 0, true},
                                           CropCase{"1/0,2", false, 0, 0, true}));

TEST(MainAxis, CroppingSetterWritesTheTextAndUndoesIt) {
  auto document = TestCommandDocument::create();
  auto graph = std::make_shared<TestGraph>();
  document->addGraph(graph);
  auto settings = makeMainAxis();
  graph->addCommand(settings);

  settings->setYCroppingRange(KRBoundingRange::between(0.1, 2.5e-7), true);
  EXPECT_EQ(settings->yAxis().crop->text(), "2.5e-07,0.1");
  auto range = settings->cropYRange(KRBoundingRange::invalid());
  EXPECT_DOUBLE_EQ(range.minR, 2.5e-7);
  EXPECT_DOUBLE_EQ(range.maxR, 0.1);
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(settings->yAxis().crop->text(), "");

  settings->setXCroppingRange(KRBoundingRange::between(0, 10), false);
  EXPECT_EQ(settings->xAxis().crop->text(), "0,10");
  settings->setXCroppingRange(KRBoundingRange::invalid(), false);
  EXPECT_FALSE(settings->xAxis().croppingRange());
}

TEST(MainAxis, IncludeWidensAndPaddingGrowsAutomaticRanges) {
  auto settings = makeMainAxis();
  settings->fillFromPropertyList(PlistDictionary{{"Type", "Main Axis"},
                                                 {"Include X", "0"},
                                                 {"Include Y", "-1, 5, 2"},
                                                 {"Pad X Range", 3},
                                                 {"Y Type", 2},
                                                 {"Pad Y Range", 4}});
  EXPECT_EQ(settings->includeXRange(), KRBoundingRange::between(0, 0));
  EXPECT_EQ(settings->includeYRange(), KRBoundingRange::between(-1, 5));

  auto padded = settings->padXIfNeeded(KRBoundingRange::between(0, 10), false);
  EXPECT_DOUBLE_EQ(padded.minR, -0.5);
  EXPECT_DOUBLE_EQ(padded.maxR, 10.5);
  EXPECT_EQ(settings->padXIfNeeded(KRBoundingRange::between(0, 10), true), KRBoundingRange::between(0, 10));
  EXPECT_TRUE(settings->padXIfNeeded(KRBoundingRange::invalid(), false).isInvalid());

  // Logarithmic axes pad by the same share of each decade and stay positive.
  auto decades = settings->padYIfNeeded(KRBoundingRange::between(1, 100), false);
  EXPECT_NEAR(decades.minR, std::pow(10.0, -0.2), 1e-12);
  EXPECT_NEAR(decades.maxR, std::pow(10.0, 2.2), 1e-9);
}

TEST(MainAxis, CommandLineAxesArePaddedAndClosed) {
  auto settings = VKAxisSettings::createForCommandLine();
  EXPECT_FALSE(settings->isOpen());
  EXPECT_GT(settings->xAxis().paddingFraction(), 0);
  EXPECT_GT(settings->yAxis().paddingFraction(), 0);
  EXPECT_EQ(settings->xAxis().ticksChoice->tag(), kTicksAutomatic);
}

TEST(SingleAxis, KeysFollowTheDirectionButCurrencyNegativesStayUnderX) {
  auto x = makeSingleAxis('X');
  auto y = makeSingleAxis('Y');
  EXPECT_EQ(x->type(), "X Axis");
  EXPECT_EQ(y->type(), "Y Axis");
  auto yKeys = keysOf(y->propertyList());
  for (const char* key : {"Y Title", "Y Type", "Crop Y", "Y Ticks Choice", "Y Currency", "Y Label Width",
                          "X Currency Negative", "X Currency Negative Red", "Relative Size", "Space Before",
                          "Space Before Pixels", "Side"})
    EXPECT_TRUE(yKeys.count(key)) << key;
  for (const char* key : {"Y Currency Negative", "Y Currency Negative Red", "X Title", "X Orientation"})
    EXPECT_FALSE(yKeys.count(key)) << key;
  EXPECT_TRUE(keysOf(x->propertyList()).count("X Orientation"));

  y->fillFromPropertyList(PlistDictionary{{"Type", "Y Axis"},
                                          {"X Currency Negative", true},
                                          {"X Currency Negative Red", true},
                                          {"Y Currency", 3}});
  EXPECT_TRUE(y->axis().currencyNegative->isSelected());
  EXPECT_TRUE(y->axis().currencyNegativeRed->isSelected());
  EXPECT_EQ(y->axis().currency->tag(), 3);
  auto written = y->propertyList();
  EXPECT_EQ(written.booleanForKey("X Currency Negative"), true);
  EXPECT_EQ(written.booleanForKey("X Currency Negative Red"), true);
}

TEST(SingleAxis, SizeAndSpacingFallBackOnUsableValues) {
  auto axis = makeSingleAxis('X');
  EXPECT_EQ(axis->relativeSize(), 1);
  EXPECT_EQ(axis->spaceBefore(), 0);
  EXPECT_EQ(axis->side(), VKSingleAxisCommand::kLeftOrBottom);
  axis->fillFromPropertyList(PlistDictionary{{"Type", "X Axis"},
                                             {"Relative Size", "-2"},
                                             {"Space Before", "nonsense("},
                                             {"Side", 2},
                                             {"Crop X", "1,3"}});
  EXPECT_EQ(axis->relativeSize(), 1);
  EXPECT_EQ(axis->spaceBefore(), 0);
  EXPECT_EQ(axis->side(), VKSingleAxisCommand::kRightOrTop);
  EXPECT_EQ(axis->croppedRange(KRBoundingRange::invalid()), KRBoundingRange::between(1, 3));
  axis->fillFromPropertyList(PlistDictionary{{"Type", "X Axis"}, {"Relative Size", "2.5"}, {"Space Before", 12}});
  EXPECT_EQ(axis->relativeSize(), 2.5);
  EXPECT_EQ(axis->spaceBefore(), 12);
}

}  // namespace
}  // namespace orrelin
