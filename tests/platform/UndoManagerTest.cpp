#include <gtest/gtest.h>

#include <functional>

#include "platform/UndoManager.h"

namespace orrelin {
namespace {

// A value whose every change registers the change back, as the settings do.
struct Undoable {
  InMemoryUndoManager& undo;
  int value = 0;
  void set(int next) {
    const int before = value;
    undo.registerUndo([this, before] { set(before); });
    value = next;
  }
};

TEST(InMemoryUndoManager, UndoAndRedoWalkBackAndForth) {
  InMemoryUndoManager undo;
  Undoable v{undo};
  v.set(1);
  v.set(2);
  ASSERT_TRUE(undo.undo());
  EXPECT_EQ(v.value, 1);
  ASSERT_TRUE(undo.undo());
  EXPECT_EQ(v.value, 0);
  EXPECT_FALSE(undo.undo());
  ASSERT_TRUE(undo.redo());
  ASSERT_TRUE(undo.redo());
  EXPECT_EQ(v.value, 2);
  EXPECT_FALSE(undo.redo());
  // A new change after an undo drops what could have been redone.
  undo.undo();
  v.set(7);
  EXPECT_FALSE(undo.canRedo());
  undo.undo();
  EXPECT_EQ(v.value, 1);
}

TEST(InMemoryUndoManager, AGroupIsOneStepUndoneInReverseOrder) {
  InMemoryUndoManager undo;
  Undoable a{undo}, b{undo};
  std::vector<char> order;
  undo.beginUndoGrouping();
  a.set(1);
  undo.beginUndoGrouping();  // nested groups make no step of their own
  b.set(2);
  undo.registerUndo([&] { order.push_back('c'); });
  undo.endUndoGrouping();
  undo.registerUndo([&] { order.push_back('d'); });
  undo.endUndoGrouping();
  EXPECT_EQ(undo.undoCount(), 1u);
  ASSERT_TRUE(undo.undo());
  EXPECT_EQ(order, (std::vector<char>{'d', 'c'}));
  EXPECT_EQ(a.value, 0);
  EXPECT_EQ(b.value, 0);
  EXPECT_EQ(undo.redoCount(), 1u);
  ASSERT_TRUE(undo.redo());
  EXPECT_EQ(a.value, 1);
  EXPECT_EQ(b.value, 2);
  // An unbalanced end changes nothing.
  undo.endUndoGrouping();
  EXPECT_EQ(undo.undoCount(), 1u);
}

}  // namespace
}  // namespace orrelin
