// Editing axes from outside the settings panel: number lists that follow the
// document's parameters, the cropping setters and permissions, and the
// context-menu operations.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "axes/VKAxisSettings.h"
#include "axes/VKExtraAxisCommand.h"
#include "axes/VKSingleAxisCommand.h"
#include "graph/commandbase/CommandTestSupport.h"

namespace orrelin {
namespace {

using testing_support::TestCommandDocument;
using testing_support::TestGraph;

constexpr double kInf = std::numeric_limits<double>::infinity();

// A document with one graph holding the command.
class AxisInDocument : public ::testing::Test {
 protected:
  template <class Command>
  std::shared_ptr<Command> add(std::shared_ptr<Command> command) {
    command->finishConnections();
    graph->addCommand(command);
    command->establishDependencyConnections();
    return command;
  }
  void SetUp() override { document->addGraph(graph); }

  std::shared_ptr<TestCommandDocument> document = TestCommandDocument::create();
  std::shared_ptr<TestGraph> graph = std::make_shared<TestGraph>();
};

TEST_F(AxisInDocument, CropAndTickValuesFollowTheParametersTheyName) {
  document->setParameter("a", "10");
  auto settings = add(std::make_shared<VKAxisSettings>());
  settings->xAxis().crop->setText("0,a");
  settings->xAxis().ticksChoice->setTag(kTicksGivenValues);
  settings->xAxis().ticksValues->setText("a/2, a");
  EXPECT_EQ(settings->cropXRange(KRBoundingRange::invalid()), KRBoundingRange::between(0, 10));

  const auto range = settings->cropXRange(KRBoundingRange::invalid());
  auto first = settings->computeXAxisTicks(range, range, true, true, settings->xLocations(), 300, false, false, 12, 0);
  const int changesBefore = settings->changeCount();
  const int noticesBefore = document->changeNotices;

  document->setParameter("a", "20");
  // The setting told the command, which dropped its kept labels and told the graph.
  EXPECT_GT(settings->changeCount(), changesBefore);
  EXPECT_GT(document->changeNotices, noticesBefore);
  const auto wider = settings->cropXRange(KRBoundingRange::invalid());
  EXPECT_EQ(wider, KRBoundingRange::between(0, 20));
  auto second = settings->computeXAxisTicks(wider, wider, true, true, settings->xLocations(), 300, false, false, 12, 0);
  EXPECT_EQ(first.axis->majorTickMarks(), (std::vector<double>{5, 10}));
  EXPECT_EQ(second.axis->majorTickMarks(), (std::vector<double>{10, 20}));

  // A parameter that the other axis does not name leaves it alone.
  document->setParameter("unrelated", "1");
  const int afterUnrelated = settings->changeCount();
  document->setParameter("unrelated", "2");
  EXPECT_EQ(settings->changeCount(), afterUnrelated);
}

TEST_F(AxisInDocument, NameDefinedLaterOrRemovedRenewsTheExplanation) {
  auto settings = add(std::make_shared<VKAxisSettings>());
  settings->yAxis().crop->setFromPropertyListRecordUndo(PropertyList("0,later"));
  ASSERT_TRUE(settings->hasErrorExplanation());
  EXPECT_NE(settings->errorExplanation()->find("0,later"), std::string::npos);
  EXPECT_FALSE(settings->yAxis().croppingRange());

  document->setParameter("later", "4");
  EXPECT_FALSE(settings->hasErrorExplanation());
  EXPECT_EQ(settings->cropYRange(KRBoundingRange::invalid()), KRBoundingRange::between(0, 4));
  // Linked now: a new value reaches the command.
  const int before = settings->changeCount();
  document->setParameter("later", "8");
  EXPECT_GT(settings->changeCount(), before);
  EXPECT_EQ(settings->cropYRange(KRBoundingRange::invalid()), KRBoundingRange::between(0, 8));

  // A value that makes the range empty is explained; undo brings the automatic axis back.
  document->setParameter("later", "0");
  EXPECT_TRUE(settings->hasErrorExplanation());
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(settings->yAxis().crop->text(), "");
  EXPECT_FALSE(settings->hasErrorExplanation());
}

TEST_F(AxisInDocument, SingleAndExtraAxesHearOfTheirParametersToo) {
  document->setParameter("top", "3");
  auto single = add(std::make_shared<VKSingleAxisCommand>('Y'));
  single->axis().include->setText("-top");
  auto extra = add(std::make_shared<VKExtraAxisCommand>());
  PlistDictionary stored = extra->propertyList().dictionary();
  stored["Exclude Numbers"] = "top";
  extra->fillFromPropertyList(stored);
  extra->establishDependencyConnections();

  const int singleBefore = single->changeCount();
  const int extraBefore = extra->changeCount();
  document->setParameter("top", "5");
  EXPECT_GT(single->changeCount(), singleBefore);
  EXPECT_GT(extra->changeCount(), extraBefore);
  EXPECT_EQ(single->includeRange(), KRBoundingRange::between(-5, -5));
}

struct CropSetterCase {
  const char* name;
  KRBoundingRange range;
  bool logarithmic;
  bool accepted;
  const char* text;  // the crop text afterwards (it starts as "1,2")
};

class CroppingSetter : public ::testing::TestWithParam<CropSetterCase> {};

TEST_P(CroppingSetter, WritesOnlyRangesTheAxisCanShow) {
  const auto& c = GetParam();
  for (bool single : {false, true}) {
    std::shared_ptr<VKDrawingCommand> command;
    AxisControllers* axis;
    if (single) {
      auto made = std::make_shared<VKSingleAxisCommand>('X');
      made->finishConnections();
      axis = &made->axis();
      command = made;
    } else {
      auto made = std::make_shared<VKAxisSettings>();
      made->finishConnections();
      axis = &made->xAxis();
      command = made;
    }
    axis->scaleMenu->setTag(c.logarithmic ? 2 : 1);
    axis->crop->setText("1,2");
    bool accepted = single ? std::static_pointer_cast<VKSingleAxisCommand>(command)->setCroppingRange(c.range, false)
                           : std::static_pointer_cast<VKAxisSettings>(command)->setXCroppingRange(c.range, false);
    EXPECT_EQ(accepted, c.accepted) << (single ? "single axis" : "main axis");
    EXPECT_EQ(axis->crop->text(), c.text) << (single ? "single axis" : "main axis");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CroppingSetter,
    ::testing::Values(CropSetterCase{"Plain", KRBoundingRange::between(-1, 3), false, true, "-1,3"},
                      CropSetterCase{"Invalid", KRBoundingRange::invalid(), false, true, ""},
                      CropSetterCase{"NoWidth", KRBoundingRange::between(4, 4), false, false, "1,2"},
                      CropSetterCase{"Empty", KRBoundingRange::empty(), false, false, "1,2"},
                      CropSetterCase{"Infinite", KRBoundingRange::between(0, kInf), false, false, "1,2"},
                      CropSetterCase{"LogPositive", KRBoundingRange::between(0.01, 100), true, true, "0.01,100"},
                      CropSetterCase{"LogThroughZero", KRBoundingRange::between(0, 100), true, false, "1,2"},
                      CropSetterCase{"LogNegative", KRBoundingRange::between(-5, -1), true, false, "1,2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EdgeCase {
  const char* name;
  const char* crop;  // before
  bool upperEnd;
  double value;
  bool accepted;
  const char* text;  // after
};

class CroppingEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(CroppingEdge, MovesOneEndAndKeepsTheOther) {
  const auto& c = GetParam();
  auto settings = std::make_shared<VKAxisSettings>();
  settings->finishConnections();
  settings->yAxis().crop->setText(c.crop);
  // While the axis is automatic the other end comes from the range shown.
  const KRBoundingRange shown = KRBoundingRange::between(-10, 10);
  EXPECT_EQ(settings->setYCroppingEdge(c.upperEnd, c.value, shown, false), c.accepted);
  EXPECT_EQ(settings->yAxis().crop->text(), c.text);
  EXPECT_EQ(settings->xAxis().crop->text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Ends, CroppingEdge,
    ::testing::Values(EdgeCase{"UpperOfAutomatic", "", true, 4, true, "-10,4"},
                      EdgeCase{"LowerOfAutomatic", "", false, 0, true, "0,10"},
                      EdgeCase{"UpperOfFixed", "0,5", true, 7.5, true, "0,7.5"},
                      EdgeCase{"LowerOfFixedGivenBackwards", "5,0", false, 1, true, "1,5"},
                      EdgeCase{"PastTheOtherEnd", "0,5", false, 6, false, "0,5"},
                      EdgeCase{"OntoTheOtherEnd", "0,5", true, 0, false, "0,5"},
                      EdgeCase{"NotANumber", "0,5", true, std::nan(""), false, "0,5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AxisInDocument, CroppingPermissionsFollowWhetherTheCropNamesParameters) {
  document->setParameter("a", "2");
  auto settings = add(std::make_shared<VKAxisSettings>());
  for (const char* key : {"Change X Width", "Change X Edge", "Change Y Height", "Change Y Edge"})
    EXPECT_TRUE(settings->croppingAllowed(key)) << key;
  EXPECT_FALSE(settings->croppingAllowed("Change Z Depth"));

  // A crop written as a formula of a parameter is kept from drags.
  settings->xAxis().crop->setText("0,2*a");
  EXPECT_FALSE(settings->croppingAllowed("Change X Width"));
  EXPECT_FALSE(settings->croppingAllowed("Change X Edge"));
  EXPECT_TRUE(settings->croppingAllowed("Change Y Height"));
  settings->xAxis().crop->setText("0,2*3");
  EXPECT_TRUE(settings->croppingAllowed("Change X Edge"));

  auto y = add(std::make_shared<VKSingleAxisCommand>('Y'));
  PlistDictionary permissions = y->croppingPermissions();
  EXPECT_EQ(permissions.size(), 2u);
  EXPECT_TRUE(y->croppingAllowed("Change Y Height"));
  EXPECT_TRUE(y->croppingAllowed("Change Y Edge"));
  EXPECT_FALSE(y->croppingAllowed("Change X Width"));
}

std::vector<std::string> titlesOf(const std::vector<AxisMenuItem>& menu) {
  std::vector<std::string> titles;
  for (const auto& item : menu) titles.push_back(item.title);
  return titles;
}

TEST_F(AxisInDocument, ContextMenuOffersWhatFitsTheAxisNow) {
  auto settings = add(std::make_shared<VKAxisSettings>());
  EXPECT_EQ(titlesOf(settings->contextMenuItems('Y')),
            (std::vector<std::string>{"Change Label Font", "Change Number Font", "Add Y title", "Y Padding",
                                      "Y Tick Marks", "Y Category Column", "Category Labels"}));
  const auto menu = settings->contextMenuItems('X');
  const AxisMenuItem* ticks = findMenuItem(menu, {"X Tick Marks"});
  ASSERT_NE(ticks, nullptr);
  EXPECT_EQ(ticks->kind, AxisMenuItem::Kind::Choice);
  EXPECT_EQ(ticks->chosenTag, kTicksAutomatic);
  for (const auto& entry : ticks->choices) EXPECT_NE(entry.tag, kTicksDefault);
  const AxisMenuItem* categories = findMenuItem(menu, {"Category Labels"});
  ASSERT_NE(categories, nullptr);
  EXPECT_FALSE(categories->enabled);  // no category column yet
  EXPECT_FALSE(settings->performContextMenuItem('X', {"Category Labels"}, PropertyList()));

  // Money: the currency submenu appears, and its toggles flip with undo.
  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Tick Marks"}, PropertyList(kTicksCurrency)));
  auto withMoney = settings->contextMenuItems('X');
  EXPECT_EQ(titlesOf(findMenuItem(withMoney, {"X Currency Settings"})->items),
            (std::vector<std::string>{"Number format", "Negative numbers in ()", "Negative numbers red"}));
  EXPECT_EQ(findMenuItem(settings->contextMenuItems('Y'), {"Y Currency Settings"}), nullptr);
  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Currency Settings", "Negative numbers red"}, PropertyList()));
  EXPECT_TRUE(settings->xAxis().currencyNegativeRed->isSelected());
  EXPECT_TRUE(findMenuItem(settings->contextMenuItems('X'), {"X Currency Settings", "Negative numbers red"})->checked);
  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Currency Settings", "Number format"}, PropertyList(2)));
  EXPECT_EQ(settings->xLocations()->integerForKey("Currency"), 2);
  EXPECT_EQ(settings->xLocations()->booleanForKey("Negative Red"), true);
  ASSERT_TRUE(document->undo.undo());
  ASSERT_TRUE(document->undo.undo());
  EXPECT_FALSE(settings->xAxis().currencyNegativeRed->isSelected());
  EXPECT_EQ(settings->xAxis().currency->tag(), 1);

  // Angles: the angle submenu replaces the currency one.
  ASSERT_TRUE(settings->performContextMenuItem('Y', {"Y Tick Marks"}, PropertyList(kTicksAngle)));
  ASSERT_TRUE(settings->performContextMenuItem('Y', {"Y Angle Settings", "Angle unit"}, PropertyList(2)));
  EXPECT_EQ(settings->yLocations()->integerForKey("Angle"), 2);

  // Adding a title names the axis by its letter or the text given, and the entry goes away.
  ASSERT_TRUE(settings->performContextMenuItem('Y', {"Add Y title"}, PropertyList()));
  EXPECT_EQ(settings->yAxis().title->text(), "y");
  EXPECT_EQ(findMenuItem(settings->contextMenuItems('Y'), {"Add Y title"}), nullptr);
  ASSERT_TRUE(settings->performContextMenuItem('X', {"Add X title"}, PropertyList("Time [s]")));
  EXPECT_EQ(settings->xAxis().title->text(), "Time [s]");

  ASSERT_TRUE(settings->performContextMenuItem('Y', {"Y Padding"}, PropertyList(4.0)));
  EXPECT_DOUBLE_EQ(settings->yAxis().paddingFraction(), 0.10);
}

struct RefusedEntry {
  const char* name;
  std::vector<std::string> path;
  PropertyList argument;
};

class ContextMenuRefuses : public ::testing::TestWithParam<RefusedEntry> {};

TEST_P(ContextMenuRefuses, AndChangesNothing) {
  const auto& c = GetParam();
  auto settings = std::make_shared<VKAxisSettings>();
  settings->finishConnections();
  const PropertyList before = settings->propertyList();
  EXPECT_FALSE(settings->performContextMenuItem('X', c.path, c.argument));
  EXPECT_EQ(settings->propertyList(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ContextMenuRefuses,
    ::testing::Values(RefusedEntry{"DefaultIsNotOffered", {"X Tick Marks"}, PropertyList(kTicksDefault)},
                      RefusedEntry{"TagSevenIsNoChoice", {"X Tick Marks"}, PropertyList(7)},
                      RefusedEntry{"TextForATag", {"X Padding"}, PropertyList("2")},
                      RefusedEntry{"FractionForATag", {"X Padding"}, PropertyList(2.5)},
                      RefusedEntry{"OtherAxisTitle", {"Add Y title"}, PropertyList()},
                      RefusedEntry{"HiddenSubmenuEntry", {"X Currency Settings", "Negative numbers red"}, PropertyList()},
                      RefusedEntry{"SubmenuItself", {"X Tick Marks", "Stride"}, PropertyList()},
                      RefusedEntry{"FontWithoutAFont", {"Change Number Font"}, PropertyList(3)},
                      RefusedEntry{"Unknown", {"Delete Axis"}, PropertyList()},
                      RefusedEntry{"CategoryColumnWithoutADocument", {"X Category Column"}, PropertyList("names")},
                      RefusedEntry{"EmptyPath", {}, PropertyList()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AxisInDocument, FontEntriesAndTheSingleAxisMenu) {
  auto settings = add(std::make_shared<VKAxisSettings>());
  PropertyList font = PlistDictionary{{"Font", 5}, {"Family", "Times"}, {"Size", 9.0}};
  ASSERT_TRUE(settings->performContextMenuItem('X', {"Change Number Font"}, font));
  EXPECT_EQ(settings->numberFont().style().family, "Times");
  EXPECT_EQ(settings->numberFont().style().size, 9);
  EXPECT_EQ(settings->axisLabelsFont().style().which, 1);
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(settings->numberFont().style().which, 3);

  // A y axis of its own keeps the negative-money choice under the x key.
  auto y = add(std::make_shared<VKSingleAxisCommand>('Y'));
  EXPECT_EQ(findMenuItem(y->contextMenuItems(), {"Change Number Font"}), nullptr);
  ASSERT_TRUE(y->performContextMenuItem({"Y Tick Marks"}, PropertyList(kTicksCurrency)));
  ASSERT_TRUE(y->performContextMenuItem({"Y Currency Settings", "Negative numbers in ()"}, PropertyList()));
  EXPECT_EQ(y->propertyList().booleanForKey("X Currency Negative"), true);

  // Category labels become available with a category column and toggle the choice.
  auto names = document->addColumn("names", {"a", "b"});
  y->axis().categories->selectColumn(names);
  ASSERT_TRUE(findMenuItem(y->contextMenuItems(), {"Category Labels"})->enabled);
  ASSERT_TRUE(y->performContextMenuItem({"Category Labels"}, PropertyList()));
  EXPECT_EQ(y->axis().ticksChoice->tag(), kTicksCategories);
  ASSERT_TRUE(y->performContextMenuItem({"Category Labels"}, PropertyList()));
  EXPECT_EQ(y->axis().ticksChoice->tag(), kTicksAutomatic);
}

TEST_F(AxisInDocument, TheCategoryColumnIsChosenByNameWithUndo) {
  auto settings = add(std::make_shared<VKAxisSettings>());
  auto names = document->addColumn("names", {"a", "b", "c"});
  auto days = document->addColumn("days", {"Mon", "Tue"});
  auto entry = [&] {
    const auto menu = settings->contextMenuItems('X');
    const AxisMenuItem* found = findMenuItem(menu, {"X Category Column"});
    return found ? std::optional<AxisMenuItem>(*found) : std::nullopt;
  };
  ASSERT_TRUE(entry());
  EXPECT_TRUE(entry()->enabled);
  EXPECT_EQ(entry()->text, "");

  // Refused, changing nothing: no such column, an argument that is no name.
  const PropertyList before = settings->propertyList();
  EXPECT_FALSE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList("nowhere")));
  EXPECT_FALSE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList(2)));
  EXPECT_FALSE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList()));
  EXPECT_EQ(settings->propertyList(), before);

  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList("names")));
  EXPECT_EQ(settings->xAxis().categories->column(), names);
  EXPECT_EQ(entry()->text, "names");
  int changes = settings->changeCount();
  names->setStringList({"a", "b", "c"});
  EXPECT_GT(settings->changeCount(), changes);
  EXPECT_FALSE(settings->yAxis().categories->hasSelection());
  // Now the category labels can be switched on, and they read the column.
  ASSERT_TRUE(settings->performContextMenuItem('X', {"Category Labels"}, PropertyList()));
  auto ticks = settings->computeXAxisTicks(KRBoundingRange::between(-0.5, 2.5), KRBoundingRange::between(-0.5, 2.5),
                                           false, true, settings->xLocations(), 300, false, false, 12, 0);
  ASSERT_TRUE(ticks.axis);
  EXPECT_EQ(ticks.axis->majorTickMarkLabels(), (std::vector<std::string>{"a", "b", "c"}));

  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList("days")));
  EXPECT_EQ(settings->xAxis().categories->column(), days);
  const int beforeUndo = settings->changeCount();
  names->setStringList({"p", "q", "r"});
  EXPECT_EQ(settings->changeCount(), beforeUndo);  // not the column chosen now
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(settings->xAxis().categories->column(), names);
  EXPECT_EQ(settings->xAxis().ticksChoice->tag(), kTicksCategories);

  // The column chosen again by undo is followed: a change of its texts reaches the axis.
  changes = settings->changeCount();
  names->setStringList({"x", "y", "z"});
  EXPECT_GT(settings->changeCount(), changes);

  // An empty name chooses no column; the category labels are then not offered.
  ASSERT_TRUE(settings->performContextMenuItem('X', {"X Category Column"}, PropertyList("")));
  EXPECT_FALSE(settings->xAxis().categories->hasSelection());
  EXPECT_FALSE(findMenuItem(settings->contextMenuItems('X'), {"Category Labels"})->enabled);
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(settings->xAxis().categories->column(), names);
}

}  // namespace
}  // namespace orrelin
