#include <gtest/gtest.h>

#include <stdexcept>

#include "graph/commandbase/CommandTexts.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "graph/commandbase/VKDrawingCommand.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::makeCountingCommand;

class ThrowingSetting : public VKTextInputController {
 public:
  std::optional<PropertyList> propertyList() const override { throw std::length_error("no room"); }
};

TEST(DrawingCommand, ConnectRefusalsLeaveTheCommandUnchanged) {
  MessageCapture messages;
  auto command = makeCountingCommand();
  const auto namesBefore = command->objectNames();
  const auto count = command->allObjects().size();
  auto taken = command->objectWithName("Y");

  struct Case {
    std::shared_ptr<VKInputController> controller;
    std::string name;
  };
  const Case refused[] = {
      {std::make_shared<VKTextInputController>(), "Type"},
      {std::make_shared<VKTextInputController>(), "Y"},
      {taken, "Other"},
      {std::make_shared<VKTextInputController>(), ""},
      {nullptr, "Missing"},
  };
  for (const auto& each : refused) {
    EXPECT_FALSE(command->connect(each.controller, each.name)) << each.name;
    EXPECT_TRUE(messages.saw(commandtext::kConnectRefused)) << each.name;
    messages.take();
  }
  EXPECT_EQ(command->objectNames(), namesBefore);
  EXPECT_EQ(command->allObjects().size(), count);
  EXPECT_EQ(command->findKeyFor(taken.get()), "Y");
}

TEST(DrawingCommand, ObjectNamesAreSortedAndSettingsConnectInBaseOrder) {
  auto command = makeCountingCommand();
  EXPECT_EQ(command->objectNames(),
            (std::vector<std::string>{"Axis", "Crop With", "Exclude", "Hide", "Magnify Option", "Y"}));
  std::vector<std::string> order;
  for (const auto& controller : command->allObjects()) order.push_back(*command->findKeyFor(controller.get()));
  EXPECT_EQ(order, (std::vector<std::string>{"Y", "Axis", "Exclude", "Hide", "Magnify Option", "Crop With"}));
}

TEST(DrawingCommand, PropertyListCarriesEveryBaseKeyAndReadsBack) {
  auto command = makeCountingCommand();
  command->setExclude(true);
  command->moveToXAxis(2, 1);
  command->setMagnificationOption(VKDrawingCommand::kNotInMagnified);
  command->setOpen(true);
  PropertyList list = command->propertyList();

  EXPECT_EQ(list.stringForKey("Type"), "Plot");
  EXPECT_EQ(list.booleanForKey("Exclude"), true);
  EXPECT_EQ(list.booleanForKey("Hide"), false);
  EXPECT_EQ(list.booleanForKey("Open"), true);
  EXPECT_EQ(list.integerForKey("Magnify Option"), 2);
  EXPECT_EQ(list.integerForKey("Which X Axis"), 2);
  EXPECT_EQ(list.integerForKey("Which Y Axis"), 1);
  ASSERT_NE(list.find("Axis"), nullptr);
  EXPECT_EQ(list.find("Axis")->integerForKey("Which X"), 2);
  EXPECT_NE(list.find("Crop With"), nullptr);

  auto again = makeCountingCommand();
  again->fillFromPropertyList(list);
  EXPECT_TRUE(again->exclude());
  EXPECT_FALSE(again->hide());
  EXPECT_TRUE(again->isOpen());
  EXPECT_EQ(again->whichXAxis(), 2);
  EXPECT_EQ(again->whichYAxis(), 1);
  EXPECT_EQ(again->magnificationOption(), 2);
  EXPECT_EQ(again->propertyList(), list);
}

TEST(DrawingCommand, OlderAxisKeysGiveTheSameChoiceAsAxis) {
  auto withAxis = makeCountingCommand();
  withAxis->fillFromPropertyList(PlistDictionary{{"Type", "Plot"}, {"Axis", PlistDictionary{{"Which X", 1}, {"Which Y", 3}}}});
  auto older = makeCountingCommand();
  older->fillFromPropertyList(PlistDictionary{{"Type", "Plot"}, {"Which X Axis", 1}, {"Which Y Axis", 3}});
  EXPECT_EQ(older->whichXAxis(), withAxis->whichXAxis());
  EXPECT_EQ(older->whichYAxis(), withAxis->whichYAxis());
  EXPECT_EQ(older->whichYAxis(), 3);
  // "Axis" decides when both are present; a lone older key is not enough.
  auto both = makeCountingCommand();
  both->fillFromPropertyList(PlistDictionary{
      {"Axis", PlistDictionary{{"Which X", 1}, {"Which Y", 1}}}, {"Which X Axis", 4}, {"Which Y Axis", 4}});
  EXPECT_EQ(both->whichXAxis(), 1);
  auto half = makeCountingCommand();
  half->fillFromPropertyList(PlistDictionary{{"Which X Axis", 4}});
  EXPECT_EQ(half->whichXAxis(), 0);
}

TEST(DrawingCommand, SettingThatCannotGiveItsListIsLeftOutWithTheTwoMessages) {
  MessageCapture messages;
  auto command = makeCountingCommand();
  ASSERT_TRUE(command->connect(std::make_shared<ThrowingSetting>(), "Broken"));
  PropertyList list = command->propertyList();
  EXPECT_EQ(list.find("Broken"), nullptr);
  EXPECT_NE(list.find("Y"), nullptr);
  auto all = messages.messages();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back().shortText, "Could not get property");
  EXPECT_NE(all.back().longText.find("Could not get property for key = Broken\nstd::length_error : no room"),
            std::string::npos);
  EXPECT_EQ(all.back().longText.rfind("Failed inside class ", 0), 0u);
}

TEST(DrawingCommand, UnknownKeysAndBadValuesLoadWithDefaultsAndAreReported) {
  MessageCapture messages;
  auto command = makeCountingCommand();
  command->fillFromPropertyList(PlistDictionary{
      {"Type", "Plot"}, {"Exclude", "yes"}, {"Magnify Option", 9}, {"Future Setting", 5}, {"Axis", "left"},
      {"Open", "wide"}});
  EXPECT_FALSE(command->exclude());
  EXPECT_EQ(command->magnificationOption(), 1);
  EXPECT_EQ(command->whichXAxis(), 0);
  auto texts = messages.takeShortTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(commandtext::kBadSettingValue)), 4);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(commandtext::kUnknownSetting)), 1);
  // What no setting claimed is written back, not lost.
  EXPECT_EQ(command->propertyList().integerForKey("Future Setting"), 5);

  // Not even a dictionary: every setting takes its default.
  command->fillFromPropertyList(PropertyList(3.5));
  EXPECT_FALSE(command->exclude());
  EXPECT_FALSE(messages.takeShortTexts().empty());
}

TEST(DrawingCommand, ExcludeAndHide) {
  auto command = makeCountingCommand();
  EXPECT_TRUE(command->shouldDrawInStandardView());
  command->setHidden(true);
  EXPECT_TRUE(command->hide());
  EXPECT_FALSE(command->exclude());
  EXPECT_FALSE(command->shouldDrawInStandardView());
  command->setHidden(false);
  command->setExclude(true);
  EXPECT_FALSE(command->shouldDrawInStandardView());

  // A command without the buttons is never excluded, and setting does nothing.
  VKTextBlockController block;
  block.finishConnections();
  block.setExclude(true);
  EXPECT_FALSE(block.exclude());
  EXPECT_EQ(block.objectWithName("Exclude"), nullptr);
}

TEST(DrawingCommand, SettingChangesReachTheCommandInAndOutOfADocument) {
  auto alone = makeCountingCommand();
  auto changes = alone->changeCount();
  alone->setExclude(true);
  alone->setMagnificationOption(2);
  EXPECT_EQ(alone->changeCount(), changes + 2);

  // Joining a graph before the graph joins its document keeps the links.
  auto graph = std::make_shared<testing_support::TestGraph>();
  graph->addCommand(alone);
  auto document = testing_support::TestCommandDocument::create();
  document->addGraph(graph);
  changes = alone->changeCount();
  alone->setHidden(true);
  EXPECT_EQ(alone->changeCount(), changes + 1);
  EXPECT_TRUE(graph->waitingForAnUpdateCall());
  // Leaving the graph detaches the settings from the command's document.
  graph->removeCommand(alone.get());
  EXPECT_EQ(alone->insideDrawing(), nullptr);
  EXPECT_EQ(alone->objectWithName("Hide")->document(), nullptr);
}

TEST(DrawingCommand, MagnificationOptions) {
  struct Case {
    int tag;
    bool standard, magnified, loupe;
    std::string tooltip;
  };
  const Case cases[] = {
      {1, true, true, false, ""},
      {2, true, false, false,
       "Content is not drawn by the Magnify command.  To change that open the command detail and change the "
       "magnification options (right below the Exclude check box)"},
      {3, false, true, false,
       "Content is only drawn by the Magnify command.  To change that open the command detail and change the "
       "magnification options (right below the Exclude check box)"},
      {4, true, true, true, "Content is only drawn by the loupe tool"},
  };
  for (const auto& c : cases) {
    auto command = makeCountingCommand();
    command->setMagnificationOption(c.tag);
    EXPECT_EQ(command->shouldDrawInStandardView(), c.standard) << c.tag;
    EXPECT_EQ(command->shouldDrawInMagnified(), c.magnified) << c.tag;
    EXPECT_EQ(command->onlyDrawInLoupeTool(), c.loupe) << c.tag;
    EXPECT_EQ(command->magnificationTooltip(), c.tooltip) << c.tag;
  }
}

TEST(DrawingCommand, SerialNumbersAreUniqueAndIncreasing) {
  auto first = makeCountingCommand();
  auto second = makeCountingCommand();
  VKTextBlockController third;
  EXPECT_LT(first->serialNumber(), second->serialNumber());
  EXPECT_LT(second->serialNumber(), third.serialNumber());
}

TEST(DrawingCommand, ErrorExplanationAndMissingColumnNeverThrows) {
  auto document = testing_support::TestCommandDocument::create();
  auto graph = std::make_shared<testing_support::TestGraph>();
  document->addGraph(graph);
  auto command = makeCountingCommand();
  graph->addCommand(command);
  command->fillFromPropertyList(PlistDictionary{{"Y", PlistDictionary{{"Name", "nowhere"}}}});
  command->establishDependencyConnections();
  EXPECT_EQ(command->errorExplanation(), "The column \"nowhere\" does not exist.");
  KRDrawingInformation information;
  auto drawing = command->drawingObjectForScale(testing_support::makeRecord(), 1, information);
  EXPECT_NE(drawing, nullptr);
  // The column turns up: the explanation goes.
  document->addColumn("nowhere", {"1"});
  command->establishDependencyConnections();
  EXPECT_FALSE(command->hasErrorExplanation());

  command->setErrorExplanation("Too many bins (5).");
  EXPECT_TRUE(command->hasErrorExplanation());
  command->setErrorExplanation(std::nullopt);
  EXPECT_FALSE(command->hasErrorExplanation());
}

TEST(DrawingCommand, ColumnNamesExtractedFromCommand) {
  auto document = testing_support::TestCommandDocument::create();
  auto graph = std::make_shared<testing_support::TestGraph>();
  document->addGraph(graph);
  auto column = document->addColumn("height", {"1", "2"});
  auto command = makeCountingCommand();
  graph->addCommand(command);
  auto mask = std::make_shared<VKMaskInputController>();
  command->connect(mask, "Mask");
  mask->setText("height>1 && a<2");
  command->y->selectColumn(column);
  EXPECT_EQ(command->columnNamesExtractedFromCommand(), std::vector<std::string>{"height"});
}

}  // namespace
}  // namespace orrelin
