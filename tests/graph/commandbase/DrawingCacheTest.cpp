#include <gtest/gtest.h>

#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/InputControllers.h"
#include "graph/commandbase/VKDrawingCommand.h"

namespace orrelin {
namespace {

using testing_support::CountingCommand;
using testing_support::makeCountingCommand;
using testing_support::makeRecord;
using testing_support::TestCommandDocument;
using testing_support::TestGraph;

class DrawingCache : public ::testing::Test {
 protected:
  void SetUp() override {
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    column = document->addColumn("y", {"1", "2", "3"});
    command = add("Plot");
    command->y->selectColumn(column);
  }
  std::shared_ptr<CountingCommand> add(const std::string& type) {
    auto made = makeCountingCommand(type);
    graph->addCommand(made);
    return made;
  }

  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<OrrelinColumn> column;
  std::shared_ptr<CountingCommand> command;
};

TEST_F(DrawingCache, SameScalingComputesOnceAndAnOutputPassBetweenNeitherUsesNorDisturbsIt) {
  KRDrawingInformation information;
  auto first = command->drawingObjectForScale(makeRecord(), 1, information);
  auto pdf = command->drawingObjectForScale(makeRecord(10, true), 1, information);
  auto second = command->drawingObjectForScale(makeRecord(), 1, information);
  EXPECT_EQ(command->computations, 2);  // the screen once, the PDF once
  EXPECT_EQ(first, second);
  EXPECT_NE(pdf, first);
  EXPECT_FALSE(command->lastInfo()->destinationIsResolutionIndependent);
  // A second output pass computes again.
  command->drawingObjectForScale(makeRecord(10, true), 1, information);
  EXPECT_EQ(command->computations, 3);
}

TEST_F(DrawingCache, OtherScalingOrAnyChangeRecomputes) {
  KRDrawingInformation information;
  command->drawingObjectForScale(makeRecord(10), 1, information);
  command->drawingObjectForScale(makeRecord(20), 1, information);
  EXPECT_EQ(command->computations, 2);
  const auto changes = command->changeCount();
  command->moveToXAxis(1, 0);
  EXPECT_EQ(command->changeCount(), changes + 1);
  EXPECT_EQ(command->cachedFinalDrawing(), nullptr);
  command->drawingObjectForScale(makeRecord(20), 1, information);
  EXPECT_EQ(command->computations, 3);
  // A new magnification is applied to the kept drawing without recomputing.
  auto plain = command->drawingObjectForScale(makeRecord(20), 1, information);
  auto magnified = command->drawingObjectForScale(makeRecord(20), 2, information);
  EXPECT_EQ(command->computations, 3);
  EXPECT_EQ(magnified->boundingRectangle().maxX(), 2 * plain->boundingRectangle().maxX());
}

TEST_F(DrawingCache, AColumnChangeRecomputesOnce) {
  KRDrawingInformation information;
  command->drawingObjectForScale(makeRecord(), 1, information);
  const auto changes = command->changeCount();
  column->setString("7", 0);
  EXPECT_EQ(command->changeCount(), changes + 1);
  command->drawingObjectForScale(makeRecord(), 1, information);
  command->drawingObjectForScale(makeRecord(), 1, information);
  EXPECT_EQ(command->computations, 2);
  EXPECT_TRUE(graph->waitingForAnUpdateCall());
}

TEST_F(DrawingCache, HitRectanglesOnlyFromFreshComputationsDoubleClicksAlsoFromTheCache) {
  KRDrawingInformation fresh;
  command->drawingObjectForScale(makeRecord(), 1, fresh);
  EXPECT_EQ(fresh.hitRects.size(), 1u);
  EXPECT_EQ(fresh.doubleClick.size(), 1u);
  KRDrawingInformation cached;
  command->drawingObjectForScale(makeRecord(), 1, cached);
  EXPECT_EQ(command->computations, 1);
  EXPECT_TRUE(cached.hitRects.empty());
  EXPECT_EQ(cached.doubleClick.size(), 1u);
  EXPECT_EQ(cached.doubleClick.front().command, command.get());
}

TEST_F(DrawingCache, OptionThreeDrawsNothingInTheStandardView) {
  command->setMagnificationOption(VKDrawingCommand::kOnlyInMagnified);
  KRDrawingInformation information;
  EXPECT_EQ(command->drawingObjectForScale(makeRecord(), 1, information), nullptr);
  EXPECT_EQ(command->computations, 0);
  EXPECT_FALSE(command->shouldDrawInStandardView());
  EXPECT_TRUE(command->shouldDrawInMagnified());
}

TEST_F(DrawingCache, OnlyFiveKindsMayCrop) {
  auto cropped = add("Scatter");
  for (const char* type : {"Plot", "Function", "Bars", "Fit", "Histogram", "Scatter", "Label", "Box"}) {
    auto candidate = add(type);
    const bool allowed = std::string(type) == "Plot" || std::string(type) == "Function" ||
                         std::string(type) == "Bars" || std::string(type) == "Fit" || std::string(type) == "Histogram";
    EXPECT_EQ(cropped->cropWithSelector()->selectCommand(candidate), allowed) << type;
  }
  EXPECT_FALSE(cropped->cropWithSelector()->selectCommand(cropped));
}

TEST_F(DrawingCache, CroppingUsesTheCroppersCachedOutline) {
  auto cropped = add("Scatter");
  ASSERT_TRUE(cropped->cropWithSelector()->selectCommand(command));
  EXPECT_EQ(cropped->croppingCommand(), command);
  KRDrawingInformation information;
  auto first = cropped->drawingObjectForScale(makeRecord(), 1, information);
  auto second = cropped->drawingObjectForScale(makeRecord(), 1, information);
  EXPECT_EQ(first, second);
  EXPECT_EQ(command->outlineComputations, 1);
  EXPECT_EQ(cropped->computations, 1);
  // The cropper changes: the cropped command hears of it.
  column->setString("9", 1);
  cropped->drawingObjectForScale(makeRecord(), 1, information);
  EXPECT_EQ(cropped->computations, 2);
  EXPECT_EQ(command->outlineComputations, 2);
}

TEST_F(DrawingCache, AnEmptyCropOutlineDrawsNothing) {
  auto cropped = add("Scatter");
  ASSERT_TRUE(cropped->cropWithSelector()->selectCommand(command));
  command->outline = KRDrawingPathRectangle::createWithRect(KRRect());
  KRDrawingInformation information;
  EXPECT_EQ(cropped->drawingObjectForScale(makeRecord(), 1, information), nullptr);
}

TEST_F(DrawingCache, CropSelectionIsStoredByPositionAndFoundAgain) {
  auto cropped = add("Scatter");
  ASSERT_TRUE(cropped->cropWithSelector()->selectCommand(command));
  PropertyList list = cropped->propertyList();
  EXPECT_EQ(list.find("Crop With")->integerForKey("Index"), 0);
  EXPECT_EQ(list.find("Crop With")->stringForKey("Type"), "Plot");

  auto again = add("Scatter");
  again->fillFromPropertyList(list);
  again->establishDependencyConnections();
  EXPECT_EQ(again->croppingCommand(), command);
  // A position with no command of that type there: an explanation, no crop.
  auto lost = add("Scatter");
  PropertyList elsewhere = list;
  elsewhere.dictionary()["Crop With"] = PlistDictionary{{"Index", 9}, {"Type", "Plot"}};
  lost->fillFromPropertyList(elsewhere);
  lost->establishDependencyConnections();
  EXPECT_EQ(lost->croppingCommand(), nullptr);
  EXPECT_EQ(lost->errorExplanation(), "The command selected for \"Crop With\" does not exist.");
  // Removing the cropper clears the choice.
  graph->removeCommand(command.get());
  EXPECT_EQ(again->croppingCommand(), nullptr);
}

TEST(ScalingRecord, SameScalingInformation) {
  auto base = makeRecord();
  EXPECT_TRUE(base->sameScalingInformation(*makeRecord()));
  EXPECT_FALSE(base->sameScalingInformation(*makeRecord(11)));
  auto moved = makeRecord();
  moved->graphRegion = KRRect(1, 0, 100, 100);
  EXPECT_FALSE(base->sameScalingInformation(*moved));
  auto logarithmic = makeRecord();
  logarithmic->setXLogarithmicShift(0, 10);
  EXPECT_FALSE(base->sameScalingInformation(*logarithmic));
}

}  // namespace
}  // namespace orrelin
