// The number files of a save are filled on the task queue's thread while the
// save goes on, and a file that could not be filled loses nothing.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "TableTestSupport.h"
#include "datafiles/KRDataFile.h"
#include "graph/dependency/VKTaskQue.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"
#include "table/ColumnFiles.h"
#include "table/VKDataColumnBinary.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

// Keeps the shared task queue's thread busy until released.
class TaskQueHeldUp {
 public:
  TaskQueHeldUp() {
    auto open = opened_.get_future().share();
    VKTaskQue::shared().addObject(std::make_shared<int>(0),
                                  [open](int&) { open.wait_for(std::chrono::seconds(20)); });
  }
  ~TaskQueHeldUp() { release(); }
  void release() {
    if (released_) return;
    released_ = true;
    opened_.set_value();
  }

 private:
  std::promise<void> opened_;
  bool released_ = false;
};

TEST(DeferredWrites, FilesAreFilledOnTheTaskQueueWhileTheSaveGoesOn) {
  TemporaryFolder package;
  PlistDictionary info{{"Wrapper", package.root()}};
  ColumnFile record;
  TaskQueHeldUp heldUp;
  DeferredColumnWrites writes;
  const auto name = saveNumbersFile(NumberRows({1, 2, 3}, {1, 0, 1}), NumbersFolder::Binary, info, record);
  ASSERT_EQ(name, "Column 1.mvbin");
  EXPECT_FALSE(std::filesystem::exists(package.path("Binary/Column 1.mvbin"))) << "not filled yet";
  EXPECT_FALSE(record.sameAsData);
  heldUp.release();
  EXPECT_TRUE(writes.finish().empty());
  EXPECT_TRUE(record.sameAsData);
  auto file = KRDataFile::openFileName(package.path("Binary/Column 1.mvbin"));
  ASSERT_TRUE(file);
  auto values = file->readDoubleArray("Numbers");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->valueAtIndex(2), 3);
}

TEST(DeferredWrites, NumbersWhoseFileCouldNotBeFilledStayInline) {
  MessageCapture messages;
  TemporaryFolder package;
  auto document = TestDocument::create();
  auto binary = VKDataColumnBinary::createEmptyFor();
  binary->setNumbers({4, 5, 6}, {1, 1, 0});
  document->table->insertColumn(binary, 1);

  TaskQueHeldUp heldUp;
  PlistDictionary info{{"Wrapper", package.root()}};
  std::pair<PlistArray, PlistArray> saved;
  std::thread save([&] { saved = document->table->columnDescription(info); });
  // Once the file is made (and waits to be filled), its folder goes away.
  const auto folder = package.path("Binary");
  for (int k = 0; k < 2000; ++k) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error) && !std::filesystem::is_empty(folder, error)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::filesystem::remove_all(folder);
  heldUp.release();
  save.join();

  ASSERT_EQ(saved.second.size(), 1u);
  EXPECT_FALSE(saved.second[0].find("File")) << "the entry names no file that is not there";
  EXPECT_FALSE(binary->binaryFileSameAsData());
  auto reread = TestDocument::create();
  reread->table->setFromColumnDescriptions(saved.first, saved.second, package.root());
  EXPECT_EQ(maskOf(*reread->table->columnAtIndex(1)), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(reread->table->columnAtIndex(1)->valueAtRow(1), 5);
}

}  // namespace
