#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ParametersTestSupport.h"
#include "document/parameters/ParameterTexts.h"
#include "expression/KRExpression.h"

using namespace orrelin;
using namespace orrelin::testing_support;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace texts = orrelin::parameter_texts;

namespace {

// ---- Formula parameters

TEST(ValueParameter, EvaluatesWithTheOtherParametersAndFollowsTheirChanges) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  a->setValue("2");
  auto b = d.list.addParameterValue("b");
  b->setValue("a*3 + pi - pi");
  EXPECT_DOUBLE_EQ(b->valueOfVariable(), 6);
  EXPECT_THAT(b->unknowns(), ElementsAre("a", "pi"));

  auto reader = d.consumerOf(b);
  a->setValue("5");
  EXPECT_DOUBLE_EQ(d.list.valueForParameter("b").value(), 15);
  EXPECT_EQ(reader->notices, 1);
  EXPECT_THAT(reader->seen, ElementsAre(15));
}

TEST(ValueParameter, AnUnknownNameIsReportedUntilAParameterTakesIt) {
  Definitions d;
  auto b = d.list.addParameterValue("b");
  b->setValue("zz + 1");
  EXPECT_FALSE(b->isValid());
  EXPECT_EQ(b->whyIsThisInvalid(), texts::kUnknownConstant);
  EXPECT_TRUE(std::isnan(b->valueOfVariable()));

  auto reader = d.consumerOf(b);
  auto serial = b->serialNumber();
  auto zz = d.list.addParameterValue("zz");  // a new formula parameter is 0
  EXPECT_TRUE(b->isValid());
  EXPECT_DOUBLE_EQ(b->valueOfVariable(), 1);
  EXPECT_GT(b->serialNumber(), serial);
  EXPECT_EQ(reader->notices, 1);
  zz->setValue("4");
  EXPECT_DOUBLE_EQ(b->valueOfVariable(), 5);
  EXPECT_THAT(reader->seen, ElementsAre(1, 5));

  // A text parameter of that name is no number to compute with.
  auto s = d.list.addParameterString("s");
  b->setValue("s");
  EXPECT_EQ(b->whyIsThisInvalid(), texts::kUnknownConstant);
}

TEST(ValueParameter, ParseErrorsAndEvaluationErrorsAreTheFormulaLibrarysMessages) {
  Definitions d;
  auto p = d.list.addParameterValue("p");
  for (const char* text : {"1+", "(1,2)", "sin(", "2 3 +"}) {
    SCOPED_TRACE(text);
    p->setValue(text);
    std::string expected;
    EXPECT_FALSE(KRExpression::evaluateNumberFromString(text, &expected).has_value());
    EXPECT_FALSE(p->isValid());
    EXPECT_EQ(p->whyIsThisInvalid(), expected);
    EXPECT_FALSE(p->whyIsThisInvalid().empty());
  }
  // The parser has nothing to say about a text without tokens.
  p->setValue("  ");
  EXPECT_EQ(p->whyIsThisInvalid(), "The expression is empty");
  p->setValue("1/0");
  EXPECT_TRUE(p->isValid());
  EXPECT_EQ(p->valueOfVariable(), INFINITY);
}

TEST(ValueParameter, AFormulaThatWouldReadItselfIsRefused) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  a->setValue("a + 1");
  EXPECT_TRUE(d.list.valueParameterIsCyclic("a"));
  EXPECT_EQ(a->whyIsThisInvalid(), texts::fillIn(texts::kCircularValue, {"a"}));

  a->setValue("b + 1");
  auto b = d.list.addParameterValue("b");
  b->setValue("a * 2");
  // The second link would close the loop and is refused; the first then
  // waits for a value that cannot come.
  EXPECT_TRUE(d.list.valueParameterIsCyclic("b"));
  EXPECT_FALSE(d.list.valueParameterIsCyclic("a"));
  EXPECT_EQ(b->whyIsThisInvalid(), texts::fillIn(texts::kCircularValue, {"a"}));
  EXPECT_EQ(a->whyIsThisInvalid(), texts::fillIn(texts::kSupplierHasNoValue, {"b"}));

  // Breaking the loop lets both be computed.
  b->setValue("7");
  EXPECT_DOUBLE_EQ(a->valueOfVariable(), 8);
  EXPECT_FALSE(d.list.valueParameterIsCyclic("b"));
}

TEST(ValueParameter, ReadersInADiamondSeeCurrentValuesWhateverTheOrderOfNotices) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  a->setValue("1");
  // c connects to a before b exists, so a tells c before it tells b.
  auto c = d.list.addParameterValue("c");
  c->setValue("a + b");
  auto b = d.list.addParameterValue("b");
  b->setValue("2*a");
  ASSERT_DOUBLE_EQ(c->valueOfVariable(), 3);

  auto readsC = d.consumerOf(c);
  auto readsAll = d.consumerOf(a);
  readsAll->connectAsSupplier(b);
  readsAll->connectAsSupplier(c);
  a->setValue("10");
  EXPECT_THAT(readsC->seen, ElementsAre(30));
  EXPECT_EQ(readsAll->notices, 1);
  EXPECT_DOUBLE_EQ(b->valueOfVariable(), 20);
}

// Each formula reads the two before it, so walking the inputs afresh for
// every read would take 2^60 steps.
TEST(ValueParameter, ManyFormulasReadingEachOtherAreEachComputedOnce) {
  Definitions d;
  d.list.addParameterValue("p0")->setValue("1");
  auto p1 = d.list.addParameterValue("p1");
  p1->setValue("1");
  std::shared_ptr<VKParameterValue> last;
  for (int k = 2; k <= 60; ++k) {
    last = d.list.addParameterValue("p" + std::to_string(k));
    last->setValue("p" + std::to_string(k - 1) + " + p" + std::to_string(k - 2));
  }
  EXPECT_EQ(last->valueOfVariable(), 2504730781961.0);
  auto reader = d.consumerOf(last);
  p1->setValue("2");
  EXPECT_THAT(reader->seen, ElementsAre(4052739537881.0));
}

TEST(ValueParameter, EveryChangeOfValueGivesALargerSerialNumber) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  auto b = d.list.addParameterValue("b");
  b->setValue("a + 1");
  std::vector<std::int64_t> serials{a->serialNumber()};
  for (const char* text : {"1", "2", "2", "x"}) {
    a->setValue(text);
    serials.push_back(a->serialNumber());
  }
  EXPECT_TRUE(std::is_sorted(serials.begin(), serials.end(), std::less_equal<>()));
  EXPECT_EQ(std::adjacent_find(serials.begin(), serials.end()), serials.end());

  // Reading without a change leaves the number alone.
  auto before = b->serialNumber();
  b->valueOfVariable();
  EXPECT_EQ(b->serialNumber(), before);
}

TEST(ValueParameter, EachDocumentCountsOnlyItsOwnInputChanges) {
  // Two documents, as a batch run beside an open one: what happens in one
  // never makes the formulas of the other look again, and each keeps its
  // own formulas current.
  Definitions first, second;
  auto a = first.list.addParameterValue("a");
  auto twice = first.list.addParameterValue("twice");
  twice->setValue("a*2");
  auto b = second.list.addParameterValue("a");
  auto thrice = second.list.addParameterValue("thrice");
  thrice->setValue("a*3");
  const auto secondBefore = second.list.inputGeneration();
  const auto firstBefore = first.list.inputGeneration();
  a->setValue("5");
  EXPECT_GT(first.list.inputGeneration(), firstBefore);
  EXPECT_EQ(second.list.inputGeneration(), secondBefore);
  EXPECT_EQ(twice->valueOfVariable(), 10);
  b->setValue("5");
  EXPECT_EQ(thrice->valueOfVariable(), 15);
  // A formula outside any list has no count and looks every time.
  VKParameterValue alone;
  alone.setValue("2+2");
  EXPECT_EQ(alone.valueOfVariable(), 4);
}

// ---- Batch overrides

struct OverrideCase {
  const char* description;
  const char* name;
  const char* value;
  double expected;
};

void PrintTo(const OverrideCase& c, std::ostream* out) { *out << c.description; }

class BatchOverride : public ::testing::TestWithParam<OverrideCase> {};

TEST_P(BatchOverride, SetsTheNumberParameterOfThatName) {
  const OverrideCase& c = GetParam();
  Definitions d;
  d.list.addParameterValue("a")->setValue("1");
  d.list.addParameterSlider("s");
  d.list.addParameterDate("when");
  d.list.changeParameter(c.name, c.value);
  EXPECT_DOUBLE_EQ(d.list.valueForParameter(c.name).value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Overrides, BatchOverride,
    ::testing::Values(OverrideCase{"PlainNumber", "a", "3.5", 3.5},
                      OverrideCase{"Formula", "a", "2*pi", 2 * std::numbers::pi},
                      OverrideCase{"Slider", "s", "0.25", 0.25},
                      OverrideCase{"SliderFormula", "s", "3/4", 0.75},
                      OverrideCase{"Date", "when", "2000:1:1", 946684800}),
    [](const auto& info) { return std::string(info.param.description); });

TEST(BatchOverrides, TextsAndEveryParameterOfTheName) {
  Definitions d;
  auto title = d.list.addParameterString("title");
  d.list.changeParameter("title", "Run 7: 3.5 m/s");
  EXPECT_EQ(d.list.stringForParameter("title"), "Run 7: 3.5 m/s");

  // Two parameters named a resolve for neither, yet both take the override.
  auto first = d.list.addParameterValue("a");
  auto second = d.list.addParameterValue("a");
  d.list.changeParameter("a", "4");
  EXPECT_EQ(first->contentOfValue(), "4");
  EXPECT_EQ(second->contentOfValue(), "4");
}

TEST(BatchOverrides, ANameThatMatchesNothingChangesNothing) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  a->setValue("1");
  auto reader = d.consumerOf(a);
  auto serial = a->serialNumber();
  d.list.changeParameter("b", "2");
  d.list.changeParameter("", "2");
  EXPECT_EQ(a->serialNumber(), serial);
  EXPECT_EQ(reader->notices, 0);
  EXPECT_EQ(d.list.valueForParameter("a"), 1.0);
}

TEST(BatchOverrides, TheAnimationParameterTakesItOnlyWhileValid) {
  Definitions d;
  auto animation = d.list.animationController();
  animation->setName("t");
  d.list.changeParameter("t", "0.5");
  EXPECT_DOUBLE_EQ(animation->valueOfVariable(), 0.5);

  animation->setRangeString("1,0");
  d.list.changeParameter("t", "0.75");
  EXPECT_DOUBLE_EQ(animation->valueOfVariable(), 0.5);
}

TEST(BatchOverrides, ValuesFromGroupsAndCommandsAreNotOverriddenAndSayWhy) {
  Definitions d;
  auto group = d.list.addParameterNumberFromDataGroup("g");
  auto text = d.list.addParameterStringFromDataGroup("gs");
  auto command = d.list.addParameterNumberFromCommand("c");
  d.list.changeParameter("g", "3");
  d.list.changeParameter("c", "3");
  EXPECT_TRUE(std::isnan(d.list.valueForParameter("g").value()));
  EXPECT_TRUE(std::isnan(d.list.valueForParameter("c").value()));
  EXPECT_EQ(d.list.stringForParameter("gs"), std::nullopt);
  EXPECT_EQ(group->whyIsThisInvalid(), texts::kGroupValuesUnavailable);
  EXPECT_EQ(text->whyIsThisInvalid(), texts::kGroupValuesUnavailable);
  EXPECT_EQ(command->whyIsThisInvalid(), texts::kCommandValuesUnavailable);
}

TEST(BatchOverrides, TextsThatGiveNoNumberLeaveSlidersAndDatesAndSayWhy) {
  MessageCapture messages;
  Definitions d;
  auto slider = d.list.addParameterSlider("s");
  slider->setValue("0.5");
  auto when = d.list.addParameterDate("when");
  when->setValue("2001:2:3");
  double date = when->secondsInDate();
  d.list.changeParameter("s", "half");
  d.list.changeParameter("when", "2001:2:");
  EXPECT_DOUBLE_EQ(slider->valueOfVariable(), 0.5);
  EXPECT_DOUBLE_EQ(when->secondsInDate(), date);
  EXPECT_THAT(messages.takeShortTexts(), ElementsAre(texts::fillIn(texts::kSliderValueNotEvaluated, {"half"}),
                                                     texts::fillIn(texts::kDateNotEvaluated, {"2001:2:"})));
}

// ---- Sliders

struct RangeCase {
  const char* text;
  const char* error;  // "" when the range is accepted
  double min;
  double max;
  bool isDate;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class SliderRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(SliderRange, AcceptsTwoFiniteIncreasingValuesOnly) {
  const RangeCase& c = GetParam();
  Definitions d;
  auto slider = d.list.addParameterSlider("s");
  slider->setRangeString("-3,3");
  slider->setRangeString(c.text);
  EXPECT_EQ(slider->errorWhenEvaluatingRange(), c.error);
  EXPECT_EQ(slider->sliderIsValid(), std::string(c.error).empty());
  EXPECT_EQ(slider->isValid(), slider->sliderIsValid());
  EXPECT_EQ(slider->whyIsThisInvalid(), c.error);
  // A refused range keeps the last good one.
  EXPECT_DOUBLE_EQ(slider->minSliderValue(), c.min);
  EXPECT_DOUBLE_EQ(slider->maxSliderValue(), c.max);
  EXPECT_EQ(slider->sliderIsDate(), c.isDate);
  EXPECT_EQ(slider->valueOfRange(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SliderRange,
    ::testing::Values(RangeCase{"0,10", "", 0, 10, false}, RangeCase{"5,1", texts::kRangeMinAboveMax, -3, 3, false},
                      RangeCase{"0,1,2", texts::kRangeNeedsTwoValues, -3, 3, false},
                      RangeCase{"7", texts::kRangeNeedsTwoValues, -3, 3, false},
                      RangeCase{"", texts::kRangeNotEvaluated, -3, 3, false},
                      RangeCase{"0,", texts::kRangeNotEvaluated, -3, 3, false},
                      RangeCase{"0,1/0", texts::kRangeNotFinite, -3, 3, false},
                      RangeCase{"0,NaN", texts::kRangeNotFinite, -3, 3, false},
                      RangeCase{"2,2", "", 2, 2, false}, RangeCase{"-pi,pi", "", -std::numbers::pi, std::numbers::pi, false},
                      RangeCase{"2000:1:1,2000:1:2", "", 946684800, 946771200, true}));

TEST(Slider, StartsAtZeroBetweenZeroAndOne) {
  VKParameterSlider slider;
  EXPECT_EQ(slider.valueOfRange(), "0,1");
  EXPECT_EQ(slider.contentOfValue(), "0");
  EXPECT_EQ(slider.valueOfVariable(), 0);
  EXPECT_TRUE(slider.sliderIsValid());
}

TEST(Slider, TheIntegerOptionRoundsTheValueAndTellsReaders) {
  Definitions d;
  auto slider = d.list.addParameterSlider("s");
  slider->setRangeString("0,10");
  slider->setValue("2.6");
  auto reader = d.consumerOf(slider);
  slider->setIntegerOption(true);
  EXPECT_EQ(slider->valueOfVariable(), 3);
  EXPECT_DOUBLE_EQ(slider->currentSliderValue(), 2.6);
  EXPECT_EQ(reader->notices, 1);
  // Moving within the same whole number changes nothing for readers.
  slider->setSliderValue(3.2);
  EXPECT_EQ(reader->notices, 1);
  slider->setIntegerOption(false);
  EXPECT_DOUBLE_EQ(slider->valueOfVariable(), 3.2);
  EXPECT_EQ(reader->notices, 2);
}

// ---- Animation

struct DurationCase {
  const char* text;
  double seconds;
};

void PrintTo(const DurationCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class AnimationDuration : public ::testing::TestWithParam<DurationCase> {};

TEST_P(AnimationDuration, IsBetweenOneSecondForNonsenseAndTenThousand) {
  VKDefinedObjectsController list;
  list.setAnimationDurationText(std::string(GetParam().text));
  EXPECT_EQ(list.animationDurationText(), GetParam().text);
  EXPECT_DOUBLE_EQ(list.animationDurationValue(), GetParam().seconds);
  EXPECT_DOUBLE_EQ(list.animationDuration(), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Durations, AnimationDuration,
                         ::testing::Values(DurationCase{"0", 1}, DurationCase{"20000", 10000},
                                           DurationCase{"10000", 10000}, DurationCase{"-5", 1},
                                           DurationCase{"abc", 1}, DurationCase{"1/0", 1}, DurationCase{"0/0", 1},
                                           DurationCase{"2.5", 2.5}, DurationCase{"2*60", 120}));

TEST(Animation, RangeStepDurationAndTimeComeFromTheAnimationParameter) {
  Definitions d;
  auto animation = d.list.animationController();
  animation->setName("t");
  d.list.setAnimationDurationText(std::string("5"));
  d.list.setAnimationRange(std::string("0,10"));
  d.list.setAnimationRange(std::nullopt);
  d.list.setAnimationDurationText(std::nullopt);
  EXPECT_EQ(d.list.animationStarts(), 0);
  EXPECT_EQ(d.list.animationStops(), 10);
  EXPECT_EQ(d.list.animationDuration(), 5);
  EXPECT_EQ(d.list.animationStep(), 0);
  animation->setIntegerOption(true);
  EXPECT_EQ(d.list.animationStep(), 1);

  auto frame = d.consumerOf(animation);
  d.list.setAnimationTime(4);
  d.list.setAnimationTime(4);
  EXPECT_EQ(d.list.valueForParameter("t"), 4.0);
  EXPECT_THAT(frame->seen, ElementsAre(4));

  // No valid range, no animation.
  d.list.setAnimationRange(std::string("10,0"));
  EXPECT_EQ(d.list.animationDuration(), 0);
  EXPECT_EQ(d.list.animationDurationValue(), 5);
}

}  // namespace
