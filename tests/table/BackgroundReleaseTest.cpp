// Large column storage and parsed cell formulas are freed on the memory
// manager's thread, never on the thread that lets go of them.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "TableTestSupport.h"
#include "graph/dependency/VKMemoryManager.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnSpecified.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

// Keeps the shared memory manager's thread busy until released, so that
// whatever is handed to it meanwhile is visibly still alive.
class ManagerHeldUp {
 public:
  ManagerHeldUp() {
    struct Gate {
      std::shared_future<void> open;
      ~Gate() { open.wait_for(std::chrono::seconds(20)); }
    };
    auto gate = std::make_unique<Gate>();
    gate->open = opened_.get_future().share();
    VKMemoryManager::shared().addToQueAndRelease(std::move(gate));
  }
  ~ManagerHeldUp() { release(); }
  void release() {
    if (released_) return;
    released_ = true;
    opened_.set_value();
    VKMemoryManager::shared().waitUntilFinished();
  }

 private:
  std::promise<void> opened_;
  bool released_ = false;
};

std::shared_ptr<VKDataColumnBinary> numbersColumn(long rows) {
  auto column = VKDataColumnBinary::createEmptyFor();
  column->setNumbers(std::vector<double>(std::size_t(rows), 1.5), std::vector<std::uint8_t>(std::size_t(rows), 1));
  return column;
}

TEST(BackgroundRelease, LargeStorageOfADroppedColumnIsFreedByTheMemoryManager) {
  auto large = numbersColumn(NumberRows::kLargeRows);
  auto small = numbersColumn(10);
  std::weak_ptr<const KRDoubleArrayContainer> largeValues = large->numberVersion();
  std::weak_ptr<const KRUCharArrayContainer> largeMask = large->whichAreIncluded();
  std::weak_ptr<const KRDoubleArrayContainer> smallValues = small->numberVersion();
  ManagerHeldUp heldUp;
  large.reset();
  small.reset();
  EXPECT_FALSE(largeValues.expired());
  EXPECT_FALSE(largeMask.expired());
  EXPECT_TRUE(smallValues.expired()) << "small arrays are not worth the hand-over";
  heldUp.release();
  EXPECT_TRUE(largeValues.expired());
  EXPECT_TRUE(largeMask.expired());
}

TEST(BackgroundRelease, AnEditLetsGoOfTheOldArraysInTheBackground) {
  const long rows = NumberRows::kLargeRows + 1;
  auto column = numbersColumn(rows);
  std::weak_ptr<const KRDoubleArrayContainer> before = column->numberVersion();
  ManagerHeldUp heldUp;
  // Removing a row builds new arrays.
  ASSERT_TRUE(column->removeRowNumbers({0}));
  EXPECT_FALSE(before.expired());
  EXPECT_EQ(column->howManyEntries(), rows - 1);
  heldUp.release();
  EXPECT_TRUE(before.expired());
  // A reader that still holds the arrays keeps them; the hand-over only
  // gives up the column's reference.
  auto held = column->numberVersion();
  ASSERT_TRUE(column->removeRowNumbers({0}));
  VKMemoryManager::shared().waitUntilFinished();
  EXPECT_EQ(held->length(), rows - 1);
  EXPECT_EQ(held->constDoublePointer()[rows - 2], 1.5);
}

TEST(BackgroundRelease, ManyParsedCellFormulasAreFreedByTheMemoryManager) {
  auto document = TestDocument::create();
  document->setParameter("k", 2);
  auto cells = VKDataColumnSpecified::createEmptyFor();
  document->table->insertColumn(cells, 1);
  cells->setStringList(std::vector<std::string>(std::size_t(VKDataColumnSpecified::kManyCachedExpressions), "k*3"));
  ASSERT_EQ(cells->howManyCachedExpressions(), VKDataColumnSpecified::kManyCachedExpressions);
  std::weak_ptr<const KRExpression> formula = cells->cachedExpression(0);
  ASSERT_FALSE(formula.expired());
  ManagerHeldUp heldUp;
  cells->setStringList({"1", "2"});
  EXPECT_EQ(cells->howManyCachedExpressions(), 0);
  EXPECT_FALSE(formula.expired());
  heldUp.release();
  EXPECT_TRUE(formula.expired());
}

}  // namespace
