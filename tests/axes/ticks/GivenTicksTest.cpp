#include <gtest/gtest.h>

#include "TickTestSupport.h"
#include "axes/ticks/KRAxis.h"
#include "support/MessageCapture.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

using Labels = std::vector<std::string>;
const std::string kMinus = "\u2212";

PropertyList numberList(std::initializer_list<double> values) {
  PlistArray array;
  for (double value : values) array.emplace_back(value);
  return PropertyList(array);
}

TEST(GivenValues, InRangeValuesBecomeSortedLabelledTicks) {
  auto axis = KRAxis::linearAxisFrom(std::vector<double>{7.25, 0.5, 12, -1, 2, 2, 10.005}, 0, 10, 300, 50, 10);
  ASSERT_TRUE(axis);
  EXPECT_EQ(axis->majorTickMarks(), (std::vector<double>{0.5, 2, 7.25, 10.005}));
  EXPECT_EQ(axis->majorTickMarkLabels(), (Labels{"0.5", "2", "7.25", "10.005"}));
  // Minor ticks are the ticks of the automatic axis (step 2 and its
  // halves here), without the given values.
  EXPECT_EQ(axis->minorTickMarks(), (std::vector<double>{0, 1, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(GivenValues, FromAPropertyListOrANumberColumn) {
  auto fromList = KRAxis::linearAxisFrom(numberList({-3, 1.5}), -5, 5, 300, 50, 1000);
  EXPECT_EQ(fromList->majorTickMarkLabels(), (Labels{kMinus + "3", "1.5"}));

  auto column = VKDataColumnBinary::createEmptyFor();
  column->setNumbers({3, 1, 99, 2}, {1, 1, 0, 1});
  auto fromColumn = KRAxis::linearAxisFrom(std::shared_ptr<OrrelinColumn>(column), 0, 100, 300, 50, 1000);
  EXPECT_EQ(fromColumn->majorTickMarks(), (std::vector<double>{1, 2, 3}));

  auto logarithmic = KRAxis::logarithmicAxisFrom(std::vector<double>{0.1, 1, 1e7, -1, 0}, 0.05, 2e7, 300, 50);
  EXPECT_EQ(logarithmic->majorTickMarks(), (std::vector<double>{0.1, 1, 1e7}));
  EXPECT_EQ(logarithmic->majorTickMarkLabels(), (Labels{"0.1", "1", "10^{7}"}));
  EXPECT_TRUE(logarithmic->minorTickMarks().empty());
}

TEST(GivenValues, WrongKindsAndTooManyValuesGiveAnEmptyAxisWithAMessage) {
  MessageCapture messages;
  const std::string unexpected = "Internal: Unexpected type for creating an Axis structure.";
  auto text = VKDataColumnString::createEmptyFor();
  text->setStringList({"1", "2"});
  EXPECT_TRUE(KRAxis::linearAxisFrom(std::shared_ptr<OrrelinColumn>(text), 0, 10, 300, 50, 10)->isEmpty());
  EXPECT_TRUE(KRAxis::linearAxisFrom(std::shared_ptr<OrrelinColumn>(), 0, 10, 300, 50, 10)->isEmpty());
  EXPECT_TRUE(KRAxis::linearAxisFrom(PropertyList("1, 2"), 0, 10, 300, 50, 10)->isEmpty());
  EXPECT_TRUE(KRAxis::logarithmicAxisFrom(PropertyList(PlistArray{PropertyList(1), PropertyList("2")}), 1, 10, 300,
                                          50)
                  ->isEmpty());
  EXPECT_EQ(messages.takeShortTexts(), std::vector<std::string>(4, unexpected));

  std::vector<double> many(101, 1.0);
  EXPECT_TRUE(KRAxis::linearAxisFrom(many, 0, 10, 300, 50, 10)->isEmpty());
  EXPECT_EQ(messages.takeShortTexts(), (std::vector<std::string>{"Can't draw more than 100 numbers in an axis."}));
  many.pop_back();
  EXPECT_EQ(KRAxis::linearAxisFrom(many, 0, 10, 300, 50, 10)->howManyMajorTickMarks(), 1u);
  EXPECT_TRUE(messages.texts().empty());
}

TEST(GivenLists, TicksAndLabelsAsGiven) {
  auto numbered = KRAxis::initWithMajor(std::vector<double>{0, 0.25, 1}, std::vector<double>{0.5});
  EXPECT_EQ(numbered->majorTickMarkLabels(), (Labels{"0", "0.25", "1"}));
  EXPECT_EQ(numbered->minorTickMarks(), (std::vector<double>{0.5}));

  auto labelled = KRAxis::initWithMajor(std::vector<double>{1, 2, 3}, Labels{"a", "b", "c"}, std::vector<double>{4},
                                        std::vector<double>{1.5});
  EXPECT_EQ(labelled->majorTickMarkLabels(), (Labels{"a", "b", "c"}));
  EXPECT_EQ(labelled->veryMajorTickMarks(), (std::vector<double>{4}));
  labelled->setFormatter(KRNumberFormatter::createWithSignificantDigits(3));
  EXPECT_EQ(labelled->majorTickMarkLabels(), (Labels{"a", "b", "c"}));

  auto veryMajor = KRAxis::initWithMajor(std::vector<double>{1, 2}, std::vector<double>{2}, std::vector<double>{});
  EXPECT_EQ(veryMajor->majorTickMarkLabels(), (Labels{"1", "2"}));
  EXPECT_EQ(veryMajor->veryMajorTickMarks(), (std::vector<double>{2}));

  auto masked = KRAxis::initWithMajor(std::vector<double>{1, 2, 3}, std::vector<bool>{true, false, true},
                                      Labels{"a", "b", "c"}, std::vector<double>{});
  EXPECT_EQ(masked->majorTickMarkLabels(), (Labels{"a", "c"}));
  EXPECT_EQ(masked->labelValues(), (std::vector<double>{1, 3}));

  auto placed = KRAxis::initWithMajor(std::vector<double>{0, 10}, std::vector<double>{5}, Labels{"middle"},
                                      std::vector<double>{});
  EXPECT_EQ(placed->labelPositions(), (std::vector<double>{5}));
  EXPECT_EQ(placed->labelValues(), (std::vector<double>{5}));
  EXPECT_EQ(placed->majorTickMarksMask(), (std::vector<bool>{false, false}));

  auto fromLists = KRAxis::createWithMajor(numberList({1, 2}), numberList({}));
  EXPECT_EQ(fromLists->majorTickMarks(), (std::vector<double>{1, 2}));
  EXPECT_TRUE(KRAxis::createEmpty()->isEmpty());
}

TEST(GivenLists, MismatchedListsGiveAnEmptyAxisWithAMessage) {
  MessageCapture messages;
  std::vector<double> ticks{1, 2};
  EXPECT_TRUE(KRAxis::initWithMajor(ticks, Labels{"a"}, {})->isEmpty());
  EXPECT_TRUE(KRAxis::initWithMajor(ticks, std::vector<double>{1, 2}, Labels{"a"}, {})->isEmpty());
  EXPECT_TRUE(KRAxis::initWithMajor(ticks, std::vector<bool>{true, true}, Labels{"a"}, {})->isEmpty());
  EXPECT_EQ(messages.takeShortTexts(), std::vector<std::string>(3, "Length mismatch for labels"));
  EXPECT_TRUE(KRAxis::initWithMajor(ticks, std::vector<bool>{true}, Labels{"a", "b"}, {})->isEmpty());
  EXPECT_EQ(messages.takeShortTexts(), (std::vector<std::string>{"Length mismatch for the label mask"}));
  EXPECT_TRUE(KRAxis::createWithMajor(numberList({1}), PropertyList(3))->isEmpty());
  EXPECT_TRUE(KRAxis::createWithMajor(PropertyList(PlistDictionary{}), numberList({1}))->isEmpty());
  EXPECT_EQ(messages.takeShortTexts(), std::vector<std::string>(2, "Invalid type for createWithMajor:minor:"));
}

TEST(TickSets, RemovingDropsTicksAndTheirLabels) {
  auto axis = KRAxis::linearAxisWithMin(-7.3, 12.1, 500, 80, 20);
  axis->removeValuesFromSet({0, 3, 1e-20});
  EXPECT_EQ(axis->majorTickMarks(), (std::vector<double>{-5, 5, 10}));
  EXPECT_EQ(axis->majorTickMarkLabels(), (Labels{kMinus + "5", "5", "10"}));
  EXPECT_EQ(axis->minorTickMarks(), (std::vector<double>{-7, -6, -4, -3, -2, -1, 1, 2, 4, 6, 7, 8, 9, 11, 12}));

  // Tick values carry rounding: 0.1 × 3 is still the tick at 0.3.
  auto fine = KRAxis::linearAxisWithMin(0, 0.6, 600, 100, 1000);
  fine->removeValuesFromSet({0.3});
  EXPECT_EQ(fine->majorTickMarkLabels(), (Labels{"0", "0.1", "0.2", "0.4", "0.5", "0.6"}));
}

TEST(TickSets, MaskingKeepsTicksButDropsTheirLabels) {
  auto axis = KRAxis::linearAxisWithMin(-7.3, 12.1, 500, 80, 20);
  axis->maskValuesFromSet({0, 10, 3});
  EXPECT_EQ(axis->majorTickMarks(), (std::vector<double>{-5, 0, 5, 10}));
  EXPECT_EQ(axis->majorTickMarksMask(), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(axis->majorTickMarkLabels(), (Labels{kMinus + "5", "5"}));
  EXPECT_EQ(axis->labelValues(), (std::vector<double>{-5, 5}));
  EXPECT_EQ(axis->minorTickMarks().size(), 16u);
  // Removing after masking keeps labels and ticks in step.
  axis->removeValuesFromSet({-5});
  EXPECT_EQ(axis->majorTickMarkLabels(), (Labels{"5"}));
  EXPECT_EQ(axis->labelValues(), (std::vector<double>{5}));

  auto placed = KRAxis::initWithMajor(std::vector<double>{0, 10}, std::vector<double>{2, 5}, Labels{"two", "five"},
                                      std::vector<double>{});
  placed->maskValuesFromSet({5});
  EXPECT_EQ(placed->majorTickMarkLabels(), (Labels{"two"}));
  EXPECT_EQ(placed->majorTickMarks(), (std::vector<double>{0, 10}));
}

}  // namespace
