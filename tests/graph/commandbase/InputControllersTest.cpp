#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/InputControllers.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::makeCountingCommand;
using testing_support::TestCommandDocument;
using testing_support::TestGraph;

struct ControllerCase {
  std::string name;
  std::function<std::shared_ptr<VKInputController>()> make;
  PropertyList stored;      // a valid stored form, not the default
  PropertyList wrongKind;   // gives the default and a diagnostic
};

std::vector<ControllerCase> controllerCases() {
  const PropertyList red = VKColorInputController::colorPropertyList(KRColor::rgb(1, 0, 0, 0.5));
  return {
      {"Button", [] { return std::make_shared<VKButtonInputController>(); }, true, "on"},
      {"Menu", [] { return std::make_shared<VKMenuInputController>(std::vector<VKMenuEntry>{{1, "Line"}, {3, "Steps"}}, 1); },
       3, 2},
      {"Number", [] { return std::make_shared<VKNumberInputController>("1"); },
       PlistDictionary{{"Text", "2*3"}, {"Value", 6.0}}, PlistArray{}},
      {"Text", [] { return std::make_shared<VKTextInputController>(); }, "hello", 5},
      {"TokenText", [] { return std::make_shared<VKTokenTextController>("x"); }, "<Label>Y Label</Label> vs x", 1.5},
      {"Column", [] { return std::make_shared<VKColumnSelector>(); },
       PlistDictionary{{"Name", "y"}, {"Serial", 7}}, PlistDictionary{{"Name", 3}}},
      {"Color", [] { return std::make_shared<VKColorInputController>(); }, red,
       PlistDictionary{{"Space", "RGB"}, {"Components", PlistArray{1.0, 2.0, 0.0}}}},
      {"LineStyle", [] { return std::make_shared<VKLineStyleInputController>(); },
       PlistDictionary{{"Tag", 5}, {"Width", 2.5}, {"Color", red}}, PlistDictionary{{"Tag", 11}}},
      {"FillStyle", [] { return std::make_shared<VKFillStyleInputController>(); },
       PlistDictionary{{"Kind", 5}, {"Color", red}, {"Second Color", red}, {"Pattern", 3}, {"Angle", 45.0}},
       PlistDictionary{{"Kind", 4}}},
      {"FontStyle", [] { return std::make_shared<VKFontStyleInputController>(); },
       PlistDictionary{{"Font", 5}, {"Family", "Times"}, {"Size", 9.0}, {"Color", red}}, PlistDictionary{{"Size", -1.0}}},
      {"Mask", [] { return std::make_shared<VKMaskInputController>(); }, "y>2", PlistDictionary{}},
      {"Axis", [] { return std::make_shared<VKAxisSelectorController>(); },
       PlistDictionary{{"Which X", 1}, {"Which Y", 2}}, PlistDictionary{{"Which X", -1}}},
      {"Range", [] { return std::make_shared<VKRangeInputController>(); },
       PlistDictionary{{"Min", "1"}, {"Max", "a+1"}}, PlistDictionary{{"Min", 1}}},
      {"Point", [] { return std::make_shared<VKPointInputController>(); }, "2,0", PlistArray{}},
      {"CommandSelector", [] { return std::make_shared<VKDrawingCommandSelector>(); },
       PlistDictionary{{"Index", 2}, {"Type", "Plot"}}, PlistDictionary{{"Index", "two"}}},
      {"NumberFormat", [] { return std::make_shared<VKNumberFormatController>(); },
       PlistDictionary{{"Format", 1}, {"Digits", 3}}, PlistDictionary{{"Format", 7}}},
  };
}

class ControllerForms : public ::testing::TestWithParam<ControllerCase> {};

TEST_P(ControllerForms, StoredFormRoundTripsAndBadValuesGiveTheDefault) {
  MessageCapture messages;
  const auto& c = GetParam();
  auto fresh = c.make();
  const auto defaultForm = fresh->propertyList();

  auto controller = c.make();
  controller->setFromPropertyList(&c.stored);
  EXPECT_EQ(controller->propertyList(), c.stored);
  EXPECT_NE(controller->propertyList(), defaultForm);
  EXPECT_TRUE(messages.takeShortTexts().empty());

  // A missing key: the default, quietly.
  controller->setFromPropertyList(nullptr);
  EXPECT_EQ(controller->propertyList(), defaultForm);
  EXPECT_TRUE(messages.takeShortTexts().empty());

  controller->setFromPropertyList(&c.wrongKind);
  EXPECT_EQ(controller->propertyList(), defaultForm);
  EXPECT_EQ(messages.takeShortTexts(), std::vector<std::string>{commandtext::kBadSettingValue});
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ControllerForms, ::testing::ValuesIn(controllerCases()),
                         [](const auto& info) { return info.param.name; });

class ControllersInADocument : public ::testing::Test {
 protected:
  void SetUp() override {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    command = makeCountingCommand();
    graph->addCommand(command);
  }
  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<testing_support::CountingCommand> command;
};

TEST_F(ControllersInADocument, ColumnSelectorFindsARenamedColumnByItsNumberAndAnotherByName) {
  auto column = document->addColumn("y", {"1"});
  command->y->selectColumn(column);
  PropertyList stored = *command->y->propertyList();
  column->setName("height");
  EXPECT_EQ(command->y->column(), column);
  EXPECT_EQ(command->y->propertyList()->stringForKey("Name"), "height");

  // A stored form read into another command finds the column by number.
  auto other = makeCountingCommand();
  graph->addCommand(other);
  other->y->setFromPropertyList(&stored);
  other->establishDependencyConnections();
  EXPECT_EQ(other->y->column(), column);
  EXPECT_EQ(other->y->columnName(), "height");

  // A number from another document: the name decides.
  auto elsewhere = makeCountingCommand();
  graph->addCommand(elsewhere);
  PropertyList foreign = PlistDictionary{{"Name", "height"}, {"Serial", 99999}};
  elsewhere->y->setFromPropertyList(&foreign);
  elsewhere->establishDependencyConnections();
  EXPECT_EQ(elsewhere->y->column(), column);
}

// A column choice set by its stored form, by an edit or by undo, follows
// the column it names from then on, and only that one.
TEST_F(ControllersInADocument, ColumnSelectorFollowsTheColumnItsStoredFormNames) {
  auto first = document->addColumn("a", {"1"});
  auto second = document->addColumn("b", {"2"});
  auto follows = [&](const std::shared_ptr<OrrelinColumn>& column) {
    auto linked = command->y->suppliers();
    return linked.size() == 1 && linked.front() == column;
  };
  command->y->selectColumn(first);
  ASSERT_TRUE(follows(first));

  PropertyList edited = command->propertyList();
  edited.dictionary()["Y"] = PlistDictionary{{"Name", "b"}};
  command->setFromPropertyListRecordUndo(edited);
  EXPECT_EQ(command->y->column(), second);
  EXPECT_TRUE(follows(second));

  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(command->y->column(), first);
  EXPECT_TRUE(follows(first));
  ASSERT_TRUE(document->undo.redo());
  EXPECT_TRUE(follows(second));

  PropertyList nothing = PlistDictionary{{"Name", "missing"}};
  command->y->setFromPropertyList(&nothing);
  EXPECT_TRUE(command->y->suppliers().empty());
}

TEST_F(ControllersInADocument, ColumnSelectorRefusesTextColumnsUnlessAllowed) {
  auto column = document->addColumn("y", {"1"});
  auto text = std::make_shared<VKColumnSelector>(false, false);
  command->connect(text, "Labels");
  PropertyList byName = PlistDictionary{{"Name", "#"}};
  text->setFromPropertyList(&byName);
  text->establishDependencyConnections();
  EXPECT_EQ(text->column(), nullptr);  // the row numbers are not allowed here
  EXPECT_TRUE(text->errorExplanation().has_value());
  auto rows = std::make_shared<VKColumnSelector>(true, false);
  command->connect(rows, "X");
  rows->setFromPropertyList(&byName);
  rows->establishDependencyConnections();
  ASSERT_NE(rows->column(), nullptr);
  EXPECT_TRUE(rows->column()->isRowNumberColumn());
  (void)column;
}

TEST_F(ControllersInADocument, NumberEntryReadsParametersAndFollowsThem) {
  document->setParameter("a", "2");
  auto size = std::make_shared<VKNumberInputController>("1");
  command->connect(size, "Point Size");
  size->setText("a*3");
  EXPECT_EQ(size->value(), 6);
  KRDrawingInformation information;
  command->drawingObjectForScale(testing_support::makeRecord(), 1, information);
  const int before = command->computations;
  document->setParameter("a", "5");
  EXPECT_EQ(size->value(), 15);
  command->drawingObjectForScale(testing_support::makeRecord(), 1, information);
  EXPECT_EQ(command->computations, before + 1);
  EXPECT_EQ(size->propertyList()->numberForKey("Value"), 15);

  size->setText("b+1");
  EXPECT_TRUE(std::isnan(size->value()));
  EXPECT_TRUE(size->errorExplanation().has_value());
}

TEST_F(ControllersInADocument, StoredNumberIsKeptUntilTheTextComputes) {
  auto size = std::make_shared<VKNumberInputController>("1");
  command->connect(size, "Point Size");
  PropertyList stored = PlistDictionary{{"Text", "later*2"}, {"Value", 8.0}};
  size->setFromPropertyList(&stored);
  EXPECT_EQ(size->value(), 8);
  document->setParameter("later", "3");
  size->establishDependencyConnections();
  EXPECT_EQ(size->value(), 6);
}

TEST_F(ControllersInADocument, RangeAndPointEntries) {
  document->setParameter("a", "4");
  VKRangeInputController range;
  range.setDocument(document);
  range.setTexts("", "a");
  EXPECT_TRUE(std::isinf(range.range().minR));
  EXPECT_EQ(range.range().maxR, 4);
  range.setTexts("5", "a");
  EXPECT_TRUE(range.range().isEmpty);
  EXPECT_TRUE(range.range().couldBeFound);
  range.setTexts("", "");
  EXPECT_TRUE(range.range().isInvalid());

  VKPointInputController point;
  point.setDocument(document);
  point.setText("max(1,a),-2");
  ASSERT_TRUE(point.point().has_value());
  EXPECT_EQ(point.point()->x, 4);
  EXPECT_EQ(point.point()->y, -2);
  point.setText("1");
  EXPECT_FALSE(point.point().has_value());
  range.setDocument(nullptr);
  point.setDocument(nullptr);
}

TEST(KRBoundingRangeValues, UnionAndIntersectionIgnoreInvalidRanges) {
  const auto invalid = KRBoundingRange::invalid();
  const auto empty = KRBoundingRange::empty();
  const auto a = KRBoundingRange::between(3, 1);
  const auto b = KRBoundingRange::between(2, 5);
  EXPECT_EQ(a.minR, 1);
  EXPECT_EQ(a.unionWith(invalid), a);
  EXPECT_EQ(invalid.unionWith(a), a);
  EXPECT_EQ(a.unionWith(b), KRBoundingRange::between(1, 5));
  EXPECT_EQ(a.unionWith(empty), a);
  EXPECT_EQ(a.intersectionWith(b), KRBoundingRange::between(2, 3));
  EXPECT_EQ(a.intersectionWith(invalid), a);
  EXPECT_EQ(a.intersectionWith(KRBoundingRange::between(4, 6)), empty);
  EXPECT_TRUE(invalid.unionWith(invalid).isInvalid());
  EXPECT_TRUE(empty.unionWith(empty).couldBeFound);
}

}  // namespace
}  // namespace orrelin
