#include <gtest/gtest.h>

#include "graph/commandbase/CommandTestSupport.h"
#include "graph/commandbase/CommandTexts.h"
#include "platform/MainThreadQueue.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

using testing_support::makeCountingCommand;
using testing_support::TestCommandDocument;
using testing_support::TestGraph;

class UpdateCycle : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadQueue::shared().drain();
    document = TestCommandDocument::create();
    graph = std::make_shared<TestGraph>();
    document->addGraph(graph);
    view = std::make_shared<HeadlessGraphView>();
    graph->setDrawingView(view);
    column = document->addColumn("y", {"1", "2"});
    for (int i = 0; i < 3; ++i) {
      auto command = makeCountingCommand();
      graph->addCommand(command);
      command->y->selectColumn(column);
      commands.push_back(command);
    }
    settle();
  }
  void TearDown() override { MainThreadQueue::shared().drain(); }
  // The end of the event, then the screen's display pass.
  void settle() {
    MainThreadQueue::shared().drain();
    view->displayIfNeeded(*graph);
  }

  MessageCapture messages;
  std::shared_ptr<TestCommandDocument> document;
  std::shared_ptr<TestGraph> graph;
  std::shared_ptr<HeadlessGraphView> view;
  std::shared_ptr<OrrelinColumn> column;
  std::vector<std::shared_ptr<testing_support::CountingCommand>> commands;
};

TEST_F(UpdateCycle, ManyChangesInOneEventGiveOneUpdate) {
  const int passes = graph->passes;
  const int received = view->graphicsReceived();
  column->setString("5", 0);
  commands[0]->setHidden(true);
  commands[1]->moveToXAxis(0, 1);
  column->setString("6", 1);
  EXPECT_TRUE(document->cycle.updateMessagePending());
  EXPECT_FALSE(view->needsDisplay());
  settle();
  EXPECT_FALSE(document->cycle.updateMessagePending());
  EXPECT_EQ(graph->passes, passes + 1);
  EXPECT_EQ(view->graphicsReceived(), received + 1);
  // Each command computed once for the pass; the hidden one not at all.
  EXPECT_EQ(commands[1]->computations, 2);
  EXPECT_EQ(commands[2]->computations, 2);
  EXPECT_EQ(commands[0]->computations, 1);
  // Nothing changed since: no further pass.
  settle();
  EXPECT_EQ(graph->passes, passes + 1);
}

TEST_F(UpdateCycle, ChangesWhileLoadingAreIgnored) {
  document->cycle.setLoading(true);
  column->setString("5", 0);
  EXPECT_FALSE(document->cycle.updateMessagePending());
  document->cycle.setLoading(false);
}

TEST_F(UpdateCycle, AnErrorWhenDrawingKeepsThePreviousPicture) {
  auto before = view->graphic();
  ASSERT_NE(before, nullptr);
  commands[2]->throwWhenComputing = true;
  column->setString("5", 0);
  settle();
  EXPECT_EQ(view->graphic(), before);
  auto all = messages.messages();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back().shortText, "Error when drawing");
  EXPECT_EQ(all.back().longText, "Error when computing drawing content\nstd::runtime_error : broken data");
  ASSERT_EQ(document->presented.size(), 1u);
  EXPECT_EQ(document->presented.front(), "Error when drawing: broken data");
  // Not retried until the next change.
  const int tries = commands[2]->computations;
  view->setNeedsDisplay();
  settle();
  EXPECT_EQ(commands[2]->computations, tries);
  commands[2]->throwWhenComputing = false;
  column->setString("6", 0);
  settle();
  EXPECT_NE(view->graphic(), before);
}

TEST_F(UpdateCycle, UndoThenRedoGivesBackTheSameList) {
  auto& command = commands[0];
  const PropertyList original = command->propertyList();
  PropertyList edited = original;
  edited.dictionary()["Hide"] = true;
  edited.dictionary()["Magnify Option"] = 2;
  command->setFromPropertyListRecordUndo(edited);
  const PropertyList changed = command->propertyList();
  EXPECT_TRUE(command->hide());
  EXPECT_EQ(document->undo.undoCount(), 1u);

  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(command->propertyList(), original);
  ASSERT_TRUE(document->undo.redo());
  EXPECT_EQ(command->propertyList(), changed);
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(command->propertyList(), original);
}

TEST_F(UpdateCycle, UndoRecordsFindTheirSettingAgain) {
  auto& command = commands[1];
  auto axis = command->axisSelector();
  command->moveToXAxis(1, 1, true);
  EXPECT_EQ(command->whichXAxis(), 1);
  ASSERT_TRUE(document->undo.undo());
  EXPECT_EQ(command->whichXAxis(), 0);
  ASSERT_TRUE(document->undo.redo());
  EXPECT_EQ(command->whichYAxis(), 1);

  EXPECT_FALSE(command->recordUndoFor(axis.get(), "explode:", PropertyList(1)));
  EXPECT_TRUE(messages.saw("Trying to record an undo with an invalid selector."));

  PlistDictionary record{{"CommandNumber", 1}, {"Drawing Number", 0}, {"CommandData", 1},
                         {"Which", "Axis"}, {"Selector", "explode:"}};
  EXPECT_FALSE(DataDrawingCommand::undoCommand(*document, record));
  EXPECT_TRUE(messages.saw("Unexpected selector send during undo"));
}

TEST_F(UpdateCycle, TheOverridingSizeIsGivenToTheView) {
  struct SizedGraph : TestGraph {
    KRSize overwriteSizeWith() const override { return size; }
    double drawingMagnification() const override { return 2; }
    KRSize size{360, 216};
  };
  auto sized = std::make_shared<SizedGraph>();
  auto other = std::make_shared<HeadlessGraphView>();
  sized->setDrawingView(other);
  document->addGraph(sized);
  document->current = sized;
  column->setString("3", 0);
  settle();
  other->displayIfNeeded(*sized);
  EXPECT_EQ(other->drawingSize(), (KRSize{360, 216}));
  EXPECT_EQ(other->drawingScale(), 2);
  EXPECT_EQ(other->resizeCount(), 1);
  // Back to automatic: the view follows its window again.
  sized->size = {0, 0};
  sized->updateGraphWhenPossible();
  sized->updateGraphicAskForRedraw(true);
  EXPECT_FALSE(other->drawSizeSet());
  EXPECT_EQ(other->resizeCount(), 2);
}

}  // namespace
}  // namespace orrelin
