#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "ParametersTestSupport.h"
#include "document/parameters/ParameterTexts.h"
#include "platform/PropertyListSerialization.h"

using namespace orrelin;
using namespace orrelin::testing_support;
using ::testing::ElementsAre;

namespace texts = orrelin::parameter_texts;

namespace {

PlistDictionary dictionary(std::initializer_list<std::pair<const std::string, PropertyList>> entries) {
  return PlistDictionary(entries);
}

struct StoredCase {
  const char* description;
  std::function<std::shared_ptr<VKDefinedObject>(VKDefinedObjectsController&)> make;
  PlistDictionary stored;
};

void PrintTo(const StoredCase& c, std::ostream* out) { *out << c.description; }

class StoredForm : public ::testing::TestWithParam<StoredCase> {};

// The keys every kind writes, and that reading them back gives the same
// definition.
TEST_P(StoredForm, WritesItsKeysAndReadsThemBack) {
  Definitions d;
  auto definition = GetParam().make(d.list);
  PropertyList written = definition->propertyList();
  EXPECT_EQ(written, PropertyList(GetParam().stored));

  auto read = VKDefinedObjectsController::definitionFromPropertyList(written);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->type(), definition->type());
  EXPECT_EQ(read->propertyList(), written);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoredForm,
    ::testing::Values(
        StoredCase{"Value",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterValue("a");
                     p->setValue("2*3");
                     p->setViewIsOpen(true);
                     return p;
                   },
                   dictionary({{"Type", "Value"}, {"Name", "a"}, {"Open", true}, {"Value", "2*3"}, {"Exact Value", 6.0}})},
        StoredCase{"Slider",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterSlider("s");
                     p->setRangeString("0,10");
                     p->setValue("7/2");
                     p->setIntegerOption(true);
                     return p;
                   },
                   dictionary({{"Type", "Slider"},
                               {"Name", "s"},
                               {"Open", false},
                               {"Range", "0,10"},
                               {"Min", 0.0},
                               {"Max", 10.0},
                               {"Slider Value", 3.5},
                               {"Enabled", true},
                               {"Value", "7/2"},
                               {"Exact Value", 4.0},
                               {"Integer Values", true}})},
        StoredCase{"String",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterString("title");
                     p->setValue("Run 7");
                     return p;
                   },
                   dictionary({{"Type", "String"}, {"Name", "title"}, {"Open", false}, {"String", "Run 7"}})},
        StoredCase{"Date",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterDate("when");
                     p->setValue("2000:1:1:12:00");
                     return p;
                   },
                   dictionary({{"Type", "Date"}, {"Name", "when"}, {"Open", false}, {"Date", PlistDate{946728000}}})},
        StoredCase{"NumberFromGroup",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterNumberFromDataGroup("g");
                     p->setWhichGroup("Run 1");
                     p->setWhichProperty("Mean");
                     return p;
                   },
                   dictionary({{"Type", "Number From Group"},
                               {"Name", "g"},
                               {"Open", false},
                               {"Group", "Run 1"},
                               {"Property", "Mean"}})},
        StoredCase{"ValueFromCommand",
                   [](VKDefinedObjectsController& list) {
                     auto p = list.addParameterNumberFromCommand("slope");
                     p->setCommand("Fit");
                     p->setParameter("Slope");
                     return p;
                   },
                   dictionary({{"Type", "Value from Command"},
                               {"Name", "slope"},
                               {"Open", false},
                               {"Command", "Fit"},
                               {"Parameter", "Slope"}})},
        StoredCase{"ColorScheme",
                   [](VKDefinedObjectsController& list) {
                     auto s = list.addColorScheme("col");
                     s->addLine({"1", "0,2", "x*", "One", {0.25, 0.5, 1, 0.75}});
                     return s;
                   },
                   dictionary({{"Type", "Color Scheme"},
                               {"Name", "col"},
                               {"Open", false},
                               {"Lines",
                                PlistArray{PropertyList(dictionary({{"Value", "1"},
                                                                    {"Range", "0,2"},
                                                                    {"Match", "x*"},
                                                                    {"Title", "One"},
                                                                    {"Color", PlistArray{0.25, 0.5, 1.0, 0.75}}}))}}})}),
    [](const auto& info) { return std::string(info.param.description); });

// A record with one of everything, including a kind this version does not
// know, goes through both file forms unchanged.
TEST(ParameterRecord, SurvivesBothFileFormsWithNothingLost) {
  Definitions d;
  d.list.addParameterValue("a")->setValue("1.5");
  d.list.addParameterValue("b")->setValue("a*2");
  d.list.addColorScheme("col")->addLine({"1", "", "", "One", {1, 0, 0, 1}});
  d.list.addParameterString("title")->setValue("T\xC3\xA9st");
  auto marker = dictionary({{"Type", "Marker Scheme"}, {"Name", "m"}, {"Lines", PlistArray{1, 2}}});
  d.list.addDefinition(std::make_shared<VKUnknownDefinition>(marker));
  d.list.addParameterField("f");
  d.list.animationController()->setName("t");
  d.list.setAnimationRange(std::string("0,20"));
  d.list.setAnimationDurationText(std::string("4*2"));
  d.list.setLoopAnimation(true);
  d.list.setParametersOpen(true);
  PropertyList record = d.list.propertyList();

  for (PlistFormat format : {PlistFormat::XML, PlistFormat::Binary}) {
    SCOPED_TRACE(format == PlistFormat::XML ? "XML" : "binary");
    auto parsed = parsePropertyList(serializePropertyList(record, format));
    ASSERT_TRUE(parsed.has_value());
    Definitions copy;
    copy.list.fillFromPropertyList(*parsed);
    EXPECT_EQ(copy.list.propertyList(), record);
    EXPECT_THAT(copy.list.listOfParameterNames(), ElementsAre("a", "b", "title", "f", "t"));
    EXPECT_DOUBLE_EQ(copy.list.valueForParameter("b").value(), 3);
    EXPECT_EQ(copy.list.stringForParameter("title"), "T\xC3\xA9st");
    EXPECT_EQ(copy.list.colorSchemeWithName("col")->lines()[0].title, "One");
    EXPECT_EQ(copy.list.definitions()[4]->propertyList(), PropertyList(marker));
    EXPECT_EQ(copy.list.animationStops(), 20);
    EXPECT_EQ(copy.list.animationDuration(), 8);
    EXPECT_TRUE(copy.list.loopAnimation());
    EXPECT_TRUE(copy.list.parametersOpen());
  }
}

TEST(ParameterRecord, ReadingAnnouncesTheNamesAndConnectsFormulas) {
  Definitions d;
  d.list.addParameterValue("old");
  d.document->announcements.clear();
  PlistArray list;
  list.emplace_back(dictionary({{"Type", "Value"}, {"Name", "x"}, {"Value", "y+1"}}));
  list.emplace_back(dictionary({{"Type", "Value"}, {"Name", "y"}, {"Value", "2"}}));
  d.list.fillFromPropertyList(dictionary({{"List", list}}));
  EXPECT_THAT(d.document->announcements,
              ElementsAre(ElementsAre(::testing::Pair("old", "Removed"), ::testing::Pair("x", "Added"),
                                      ::testing::Pair("y", "Added"))));
  auto reader = d.consumerOf(d.list.parameterWithName("x"));
  d.list.changeParameter("y", "10");
  EXPECT_THAT(reader->seen, ElementsAre(11));
}

TEST(ParameterRecord, DamagedEntriesAreSkippedOrReadAsFarAsTheyGo) {
  MessageCapture messages;
  Definitions d;
  PlistArray list;
  list.emplace_back(PropertyList(7));
  // A number where text belongs, and a range that no longer evaluates: the
  // stored bounds are kept.
  list.emplace_back(dictionary({{"Type", "Value"}, {"Name", "v"}, {"Value", 3}, {"Exact Value", 2.5}}));
  list.emplace_back(dictionary(
      {{"Type", "Slider"}, {"Name", "s"}, {"Range", "0,"}, {"Min", -1.0}, {"Max", 4.0}, {"Slider Value", "x"}}));
  list.emplace_back(dictionary({{"Type", "Date"}, {"Name", "d"}, {"Date", "yesterday"}}));
  list.emplace_back(dictionary({{"Name", "untyped"}}));
  // Bounds without their text make the text.
  list.emplace_back(dictionary({{"Type", "Slider"}, {"Name", "bounds"}, {"Min", 0}, {"Max", 2.5}}));
  d.list.fillFromPropertyList(dictionary({{"List", list}, {"Animation Duration", 3}}));

  EXPECT_THAT(messages.takeShortTexts(), ElementsAre(texts::kEntryNotADictionary));
  ASSERT_EQ(d.list.definitions().size(), 5u);
  EXPECT_DOUBLE_EQ(d.list.valueForParameter("v").value(), 2.5);
  auto slider = std::dynamic_pointer_cast<VKParameterSlider>(d.list.parameterWithName("s"));
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->whyIsThisInvalid(), texts::kRangeNotEvaluated);
  EXPECT_EQ(slider->minSliderValue(), -1);
  EXPECT_EQ(slider->maxSliderValue(), 4);
  EXPECT_EQ(slider->valueOfVariable(), 0);
  EXPECT_EQ(d.list.valueForParameter("d"), 0.0);
  EXPECT_EQ(d.list.definitions()[3]->propertyList(), PropertyList(dictionary({{"Name", "untyped"}})));
  EXPECT_EQ(d.list.animationDurationText(), "3");
  auto bounds = std::dynamic_pointer_cast<VKParameterSlider>(d.list.parameterWithName("bounds"));
  ASSERT_NE(bounds, nullptr);
  EXPECT_EQ(bounds->valueOfRange(), "0,2.5");
  EXPECT_EQ(bounds->maxSliderValue(), 2.5);
}

}  // namespace
