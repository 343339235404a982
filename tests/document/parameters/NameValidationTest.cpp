#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ParametersTestSupport.h"
#include "document/parameters/ParameterTexts.h"

using namespace orrelin;
using namespace orrelin::testing_support;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

namespace {

struct NamingCase {
  const char* description;
  std::vector<std::string> parameterNames;
  std::vector<std::string> columns;
  const char* animationName;
  // Per parameter: the reason, or "" when its name resolves.
  std::vector<std::string> reasons;
};

void PrintTo(const NamingCase& c, std::ostream* out) { *out << c.description; }

class NameValidation : public ::testing::TestWithParam<NamingCase> {};

TEST_P(NameValidation, GivesEachParameterItsReasonAndResolvesOnlyValidNames) {
  const NamingCase& c = GetParam();
  Definitions d;
  d.document->columns = c.columns;
  d.list.animationController()->setName(c.animationName);
  std::vector<std::shared_ptr<VKParameterValue>> parameters;
  for (const auto& name : c.parameterNames) parameters.push_back(d.list.addParameterValue(name));

  for (std::size_t i = 0; i < parameters.size(); ++i) {
    SCOPED_TRACE(c.parameterNames[i]);
    EXPECT_EQ(parameters[i]->whyIsThisInvalid(), c.reasons[i]);
    EXPECT_EQ(parameters[i]->isValid(), c.reasons[i].empty());
    bool resolves = d.list.parameterWithName(c.parameterNames[i]) == parameters[i];
    EXPECT_EQ(resolves, c.reasons[i].empty());
    if (!c.reasons[i].empty() && !c.parameterNames[i].empty()) {
      EXPECT_EQ(d.list.valueForParameter(c.parameterNames[i]), std::nullopt);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, NameValidation,
    ::testing::Values(
        NamingCase{"TwoNamedA", {"a", "a", "b"}, {}, "", {parameter_texts::kNameUsedTwice, parameter_texts::kNameUsedTwice, ""}},
        NamingCase{"NamedLikeAColumn", {"x", "y"}, {"#", "x"}, "", {parameter_texts::kNameUsedForColumn, ""}},
        NamingCase{"NoName", {"", "b"}, {}, "", {parameter_texts::kNoNameSpecified, ""}},
        NamingCase{"TwiceAndAColumn", {"x", "x"}, {"x"}, "", {parameter_texts::kNameUsedTwice, parameter_texts::kNameUsedTwice}},
        NamingCase{"SameAsTheAnimation", {"t", "u"}, {}, "t", {parameter_texts::kNameUsedTwice, ""}},
        NamingCase{"AnimationWithoutNameDoesNotCount", {"a"}, {}, "", {""}}),
    [](const auto& info) { return std::string(info.param.description); });

TEST(NameValidationRules, AVariableOutsideAnyListWithoutNameSaysTheNameIsEmpty) {
  VKParameterValue loose;
  EXPECT_FALSE(loose.isValid());
  EXPECT_EQ(loose.whyIsThisInvalid(), parameter_texts::kNameIsEmpty);
}

// ---- Announcements

TEST(ParameterAnnouncements, AddedAndRemovedNamesReachTheDocumentOncePerPass) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  EXPECT_THAT(d.document->announcements, ElementsAre(ElementsAre(Pair("a", "Added"))));

  d.document->announcements.clear();
  a->setName("b");
  EXPECT_THAT(d.document->announcements, ElementsAre(UnorderedElementsAre(Pair("a", "Removed"), Pair("b", "Added"))));

  // A second "b" makes the name stop resolving; renaming it away brings it
  // back, now for the first parameter again.
  d.document->announcements.clear();
  auto other = d.list.addParameterValue("b");
  EXPECT_THAT(d.document->announcements, ElementsAre(ElementsAre(Pair("b", "Removed"))));
  d.document->announcements.clear();
  other->setName("c");
  EXPECT_THAT(d.document->announcements, ElementsAre(UnorderedElementsAre(Pair("b", "Added"), Pair("c", "Added"))));

  d.document->announcements.clear();
  d.list.deleteParameter(a.get());
  EXPECT_THAT(d.document->announcements, ElementsAre(ElementsAre(Pair("b", "Removed"))));
}

TEST(ParameterAnnouncements, NothingIsAnnouncedWhenNoNameChangedItsMeaning) {
  Definitions d;
  d.list.addParameterValue("a");
  d.document->announcements.clear();
  d.list.addParameterValue();  // no name: never resolves
  d.list.addColorScheme("a");  // schemes are not parameters
  d.list.parameterListChanged();
  EXPECT_THAT(d.document->announcements, IsEmpty());
}

TEST(ParameterAnnouncements, ANewColumnNameTakesTheParameterAway) {
  Definitions d;
  auto x = d.list.addParameterString("x");
  d.document->announcements.clear();
  d.document->columns = {"#", "x"};
  d.list.parameterListChanged();
  EXPECT_THAT(d.document->announcements, ElementsAre(ElementsAre(Pair("x", "Removed"))));
  EXPECT_EQ(x->whyIsThisInvalid(), parameter_texts::kNameUsedForColumn);
  EXPECT_EQ(d.list.stringForParameter("x"), std::nullopt);
}

TEST(ParameterAnnouncements, ADeletedParameterLeavesItsConsumers) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  auto consumer = d.consumerOf(a);
  ASSERT_TRUE(consumer->hasSuppliers());
  EXPECT_TRUE(d.list.deleteParameterNumber(0));
  EXPECT_FALSE(consumer->hasSuppliers());
  EXPECT_FALSE(a->hasClients());
  EXPECT_EQ(d.list.howManyVariables(), 0u);
  EXPECT_FALSE(d.list.deleteParameterNumber(0));
}

// ---- The list by position and by name

TEST(ParameterList, PositionsCountOnlyParametersAndMovesKeepOtherDefinitionsInPlace) {
  Definitions d;
  auto a = d.list.addParameterValue("a");
  auto scheme = d.list.addColorScheme("colors");
  auto b = d.list.addParameterString("b");
  auto c = d.list.addParameterSlider("c");
  d.list.animationController()->setName("t");

  EXPECT_EQ(d.list.howManyVariables(), 3u);
  EXPECT_EQ(d.list.variableNumber(1), b);
  EXPECT_EQ(d.list.indexOfVariable(c.get()), 2u);
  EXPECT_EQ(d.list.indexOfVariable(d.list.animationController().get()), std::nullopt);
  EXPECT_THAT(d.list.listOfParameterNames(), ElementsAre("a", "b", "c", "t"));
  EXPECT_THAT(d.list.listOfNumericalParameters(), ElementsAre("a", "c", "t"));

  ASSERT_TRUE(d.list.moveVariable(0, 2));
  EXPECT_THAT(d.list.listOfParameterNames(), ElementsAre("b", "c", "a", "t"));
  EXPECT_EQ(d.list.definitions()[0], scheme);
  ASSERT_TRUE(d.list.moveVariable(2, 0));
  EXPECT_THAT(d.list.listOfParameterNames(), ElementsAre("a", "b", "c", "t"));
  EXPECT_EQ(d.list.definitions()[0], scheme);
  EXPECT_FALSE(d.list.moveVariable(0, 3));
  EXPECT_FALSE(d.list.moveVariable(5, 0));
}

TEST(ParameterList, LookUpsTellTheKindsApart) {
  Definitions d;
  d.list.addParameterValue("v")->setValue("2");
  d.list.addParameterString("s")->setValue("hello");
  d.list.addParameterDate("when")->setValue("2007:5:12");
  d.list.addParameterValue("bad")->setValue("1+");

  EXPECT_EQ(d.list.valueForParameter("v"), 2.0);
  EXPECT_EQ(d.list.valueForParameter("s"), std::nullopt);
  EXPECT_EQ(d.list.stringForParameter("s"), "hello");
  EXPECT_EQ(d.list.stringForParameter("v"), std::nullopt);
  EXPECT_EQ(d.list.stringForParameter("nothing"), std::nullopt);
  EXPECT_TRUE(d.list.parameterIsNumber("when"));
  EXPECT_TRUE(d.list.parameterWithName("when")->isDate());
  EXPECT_TRUE(d.list.parameterIsString("s"));
  EXPECT_FALSE(d.list.parameterIsString("v"));
  EXPECT_EQ(d.list.valueParameterForName("s"), nullptr);

  // A formula that fails still names a number parameter, without a value.
  ASSERT_TRUE(d.list.valueForParameter("bad").has_value());
  EXPECT_TRUE(std::isnan(*d.list.valueForParameter("bad")));
  EXPECT_TRUE(d.list.valueParameterIsValid("v"));
  EXPECT_FALSE(d.list.valueParameterIsValid("bad"));
  EXPECT_FALSE(d.list.valueParameterIsValid("s"));
}

}  // namespace
