#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/MessageCapture.h"
#include "graph/dependency/VKCacheIfPossible.h"
#include "graph/dependency/VKMemoryManager.h"
#include "graph/dependency/VKOperationQueue.h"
#include "graph/dependency/VKTaskQue.h"
#include "platform/MainThreadQueue.h"

using namespace orrelin;
using ::testing::ElementsAre;
using ::testing::Each;
using ::testing::Ne;

namespace {

// What happened on which thread, in the order it happened.
struct Trace {
  std::mutex lock;
  std::vector<int> order;
  std::vector<std::thread::id> threads;

  void record(int index) {
    std::lock_guard guard(lock);
    order.push_back(index);
    threads.push_back(std::this_thread::get_id());
  }
  std::set<std::thread::id> distinctThreads() {
    std::lock_guard guard(lock);
    return {threads.begin(), threads.end()};
  }
};

std::vector<int> upTo(int count) {
  std::vector<int> result;
  for (int i = 0; i < count; ++i) result.push_back(i);
  return result;
}

// Records its index on the trace when it is destroyed.
struct Large {
  Large(Trace& trace, int index) : trace(trace), index(index) {}
  ~Large() { trace.record(index); }
  Trace& trace;
  int index;
};

struct Column {
  Column(Trace& trace, int index) : trace(trace), index(index) {}
  void writeData() { trace.record(index); }
  Trace& trace;
  int index;
};

// Runs work and returns what it posted to the shared message centre, where
// reports from threads without a centre of their own go.
std::vector<KRMessage> postedToTheSharedCentreBy(const std::function<void()>& work) {
  auto shared = KRMessageCenter::sharedCenter();
  MainThreadQueue::shared().drain();
  std::size_t before = shared->shownMessages().size();
  work();
  MainThreadQueue::shared().drain();
  auto shown = shared->shownMessages();
  return {shown.begin() + static_cast<std::ptrdiff_t>(before), shown.end()};
}

TEST(MemoryManager, ReleasesOffTheCallersThreadInTheOrderHandedOver) {
  Trace trace;
  VKMemoryManager manager;
  for (int i = 0; i < 200; ++i) {
    if (i % 2)
      manager.addToQueAndRelease(std::make_shared<Large>(trace, i));
    else
      manager.addToQueAndRelease(std::make_unique<Large>(trace, i));
  }
  manager.waitUntilFinished();
  EXPECT_EQ(trace.order, upTo(200));
  EXPECT_THAT(trace.threads, Each(Ne(std::this_thread::get_id())));
  EXPECT_EQ(trace.distinctThreads().size(), 1u);
}

TEST(MemoryManager, GivesUpOnlyTheCallersReference) {
  Trace trace;
  auto kept = std::make_shared<Large>(trace, 1);
  auto handedOver = kept;
  releaseInQue(handedOver);
  EXPECT_EQ(handedOver, nullptr);
  VKMemoryManager::shared().waitUntilFinished();
  // Someone else still holds it, so it lives on.
  EXPECT_TRUE(trace.order.empty());
  EXPECT_EQ(kept.use_count(), 1);
}

// An object whose destruction hands more objects to the same manager, as a
// column releasing its storage does.
struct Nest {
  Nest(VKMemoryManager& manager, Trace& trace, int depth) : manager(manager), trace(trace), depth(depth) {}
  ~Nest() {
    trace.record(depth);
    if (depth < 5) manager.addToQueAndRelease(std::make_shared<Nest>(manager, trace, depth + 1));
  }
  VKMemoryManager& manager;
  Trace& trace;
  int depth;
};

TEST(MemoryManager, ObjectsReleasedWhileReleasingAreFreedToo) {
  Trace trace;
  {
    VKMemoryManager manager;
    manager.addToQueAndRelease(std::make_shared<Nest>(manager, trace, 0));
    manager.waitUntilFinished();
    EXPECT_EQ(trace.order, upTo(6));
  }
  // Shutting down with nothing queued is just as clean.
  EXPECT_EQ(trace.order, upTo(6));
}

TEST(TaskQue, RunsCallsInOrderOnOneThreadThatIsNotTheCallers) {
  Trace trace;
  VKTaskQue queue;
  queue.setLog(nullptr);
  for (int i = 0; i < 300; ++i) {
    auto column = std::make_shared<Column>(trace, i);
    if (i % 2)
      queue.addObject(column, &Column::writeData);
    else
      queue.addObject(column, [](Column& c) { c.writeData(); });
  }
  queue.waitUntilFinished();
  EXPECT_EQ(trace.order, upTo(300));
  EXPECT_THAT(trace.threads, Each(Ne(std::this_thread::get_id())));
  EXPECT_EQ(trace.distinctThreads().size(), 1u);
}

TEST(TaskQue, KeepsTheObjectUntilItsCallHasRun) {
  Trace trace;
  VKTaskQue queue;
  queue.setLog(nullptr);
  std::weak_ptr<Column> watch;
  std::promise<void> release;
  auto gate = release.get_future().share();
  {
    auto column = std::make_shared<Column>(trace, 7);
    watch = column;
    queue.addObject(column, [gate](Column& c) {
      gate.wait();
      c.writeData();
    });
  }
  EXPECT_FALSE(watch.expired());
  release.set_value();
  queue.waitUntilFinished();
  EXPECT_THAT(trace.order, ElementsAre(7));
  EXPECT_TRUE(watch.expired());
}

TEST(TaskQue, LogsHowManyCallsEachBatchMade) {
  std::vector<std::string> lines;
  std::mutex linesLock;
  Trace trace;
  VKTaskQue queue;
  queue.setLog([&](const std::string& line) {
    std::lock_guard guard(linesLock);
    lines.push_back(line);
  });
  std::promise<void> started, release;
  auto gate = release.get_future().share();
  queue.addObject(std::make_shared<Column>(trace, 0), [&started, gate](Column& c) {
    started.set_value();
    gate.wait();
    c.writeData();
  });
  // While the first call runs, three more gather into the next batch.
  started.get_future().wait();
  for (int i = 1; i <= 3; ++i) queue.addObject(std::make_shared<Column>(trace, i), &Column::writeData);
  release.set_value();
  queue.waitUntilFinished();
  std::lock_guard guard(linesLock);
  EXPECT_THAT(lines, ElementsAre("called 1 method(s)", "called 3 method(s)"));
}

TEST(TaskQue, ShutdownRunsEverythingQueuedAndLaterCallsStillRun) {
  Trace trace;
  auto queue = std::make_unique<VKTaskQue>();
  queue->setLog(nullptr);
  VKTaskQue* raw = queue.get();
  for (int i = 0; i < 100; ++i) {
    queue->addObject(std::make_shared<Column>(trace, i), [raw, &trace, i](Column& c) {
      c.writeData();
      // A call that queues another while the queue is being shut down.
      if (i == 99) raw->addObject(std::make_shared<Column>(trace, 100), &Column::writeData);
    });
  }
  queue->shutdown();
  EXPECT_EQ(trace.order, upTo(101));

  // Once stopped, a call runs at once on the caller's thread rather than
  // being lost.
  queue->addObject(std::make_shared<Column>(trace, 101), &Column::writeData);
  EXPECT_EQ(trace.order.back(), 101);
  EXPECT_EQ(trace.threads.back(), std::this_thread::get_id());
  queue.reset();
  EXPECT_EQ(trace.order.size(), 102u);
}

TEST(TaskQue, AFailingCallIsReportedAndTheOthersStillRun) {
  MessageCapture onThisThread;
  Trace trace;
  VKTaskQue queue;
  queue.setLog(nullptr);
  auto posted = postedToTheSharedCentreBy([&] {
    queue.addObject(std::make_shared<Column>(trace, 0), &Column::writeData);
    queue.addObject(std::make_shared<Column>(trace, 1), [](Column&) { throw std::runtime_error("disk full"); });
    queue.addObject(std::make_shared<Column>(trace, 2), &Column::writeData);
    queue.addObject(std::shared_ptr<Column>(), &Column::writeData);
    queue.waitUntilFinished();
  });
  EXPECT_THAT(trace.order, ElementsAre(0, 2));
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].shortText, "Error in a background call");
  EXPECT_EQ(posted[0].longText, "disk full");
  EXPECT_THAT(onThisThread.takeShortTexts(), ElementsAre(VKTaskQue::kEmptyObject));
}

TEST(OperationQueue, BlocksItsCallerUntilEveryOperationHasRun) {
  std::atomic<int> done{0};
  std::vector<std::shared_ptr<VKOperation>> operations;
  for (int i = 0; i < 64; ++i) operations.push_back(VKOperation::withCall([&done] { ++done; }));
  operations.push_back(nullptr);
  VKOperationQueue(4).performOperations(operations);
  EXPECT_EQ(done.load(), 64);
  VKOperationQueue::shared().performOperations(operations);
  EXPECT_EQ(done.load(), 128);
  VKOperationQueue::shared().performOperations({});
}

TEST(OperationQueue, TakesTheOperationsFromTheEndOfTheList) {
  Trace trace;
  std::vector<std::shared_ptr<VKOperation>> operations;
  for (int i = 0; i < 5; ++i) operations.push_back(VKOperation::withCall([&trace, i] { trace.record(i); }));
  VKOperationQueue(1).performOperations(operations);
  EXPECT_THAT(trace.order, ElementsAre(4, 3, 2, 1, 0));
  EXPECT_THAT(trace.threads, Each(Ne(std::this_thread::get_id())));
}

TEST(OperationQueue, RunsTheOperationsOnSeveralThreadsAtOnce) {
  // Each operation waits until all three are running, which only happens
  // when three threads run them side by side. The wait is bounded so that a
  // fault fails the test instead of hanging it.
  constexpr int kThreads = 3;
  std::mutex lock;
  std::condition_variable allHere;
  int arrived = 0;
  std::atomic<int> met{0};
  Trace trace;
  std::vector<std::shared_ptr<VKOperation>> operations;
  for (int i = 0; i < kThreads; ++i)
    operations.push_back(VKOperation::withCall([&, i] {
      trace.record(i);
      std::unique_lock guard(lock);
      ++arrived;
      allHere.notify_all();
      if (allHere.wait_for(guard, std::chrono::seconds(20), [&] { return arrived == kThreads; })) ++met;
    }));
  VKOperationQueue(kThreads).performOperations(operations);
  EXPECT_EQ(met.load(), kThreads);
  EXPECT_EQ(trace.distinctThreads().size(), static_cast<std::size_t>(kThreads));
  EXPECT_FALSE(trace.distinctThreads().contains(std::this_thread::get_id()));
}

TEST(OperationQueue, AFailingOperationIsReportedAndTheOthersStillRun) {
  std::atomic<int> done{0};
  std::vector<std::shared_ptr<VKOperation>> operations{
      VKOperation::withCall([&done] { ++done; }),
      VKOperation::withCall([] { throw std::runtime_error("mask too large"); }),
      VKOperation::withCall([&done] { ++done; })};
  auto posted = postedToTheSharedCentreBy([&] { VKOperationQueue(2).performOperations(operations); });
  EXPECT_EQ(done.load(), 2);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].longText, "mask too large");
}

TEST(OperationQueue, KeepsItsThreadsForTheBatchesAfter) {
  VKOperationQueue queue(2);
  EXPECT_EQ(queue.threadsStarted(), 0u) << "no thread before the first batch";
  Trace trace;
  for (int batch = 0; batch < 20; ++batch) {
    std::vector<std::shared_ptr<VKOperation>> operations;
    for (int i = 0; i < 4; ++i) operations.push_back(VKOperation::withCall([&trace, i] { trace.record(i); }));
    queue.performOperations(operations);
  }
  EXPECT_EQ(trace.order.size(), 80u);
  EXPECT_EQ(queue.threadsStarted(), 2u);
  EXPECT_LE(trace.distinctThreads().size(), 2u) << "every batch ran on the same two threads";
}

TEST(OperationQueue, ABatchHandedInFromAnOperationRunsWithoutWaitingForItself) {
  // One thread only, busy with the outer operation: the inner batch runs on
  // it, where a queue that waited for a free thread would never return.
  VKOperationQueue queue(1);
  std::atomic<int> inner{0};
  std::thread::id outerThread;
  std::vector<std::thread::id> innerThreads;
  queue.performOperations({VKOperation::withCall([&] {
    outerThread = std::this_thread::get_id();
    std::vector<std::shared_ptr<VKOperation>> operations;
    for (int i = 0; i < 3; ++i)
      operations.push_back(VKOperation::withCall([&] {
        ++inner;
        innerThreads.push_back(std::this_thread::get_id());
      }));
    queue.performOperations(operations);
  })});
  EXPECT_EQ(inner.load(), 3);
  EXPECT_THAT(innerThreads, Each(outerThread));
}

TEST(OperationQueue, TheCallerWorksAlongsideAndHelpsWithWhatIsLeft) {
  // The last operation (taken first) waits until operation 2 has run. Its
  // taker is stuck until then, so whichever of the two takes it, the caller
  // runs at least one operation.
  VKOperationQueue queue(1);
  std::promise<void> released;
  std::shared_future<void> release = released.get_future().share();
  Trace trace;
  std::vector<std::shared_ptr<VKOperation>> operations;
  for (int i = 0; i < 3; ++i)
    operations.push_back(VKOperation::withCall([&, i] {
      trace.record(i);
      if (i == 2) released.set_value();
    }));
  operations.push_back(VKOperation::withCall([&] {
    release.wait_for(std::chrono::seconds(20));
    trace.record(3);
  }));
  std::thread::id ownThread;
  queue.performOperationsAlongside(operations, [&] { ownThread = std::this_thread::get_id(); });
  EXPECT_EQ(ownThread, std::this_thread::get_id());
  std::lock_guard guard(trace.lock);
  ASSERT_EQ(trace.order.size(), 4u);
  EXPECT_NE(std::find(trace.threads.begin(), trace.threads.end(), std::this_thread::get_id()), trace.threads.end());
}

// Makes a cache of its own when it is destroyed, as an image holding a
// cached preview might.
struct ImageWithPreview {
  ~ImageWithPreview() { VKCacheIfPossible preview(std::make_shared<int>(1)); }
};

TEST(CacheIfPossible, CleanUpEmptiesEveryLiveCache) {
  std::size_t listeningBefore = VKCacheIfPossible::howManyListening();
  auto image = std::make_shared<ImageWithPreview>();
  std::weak_ptr<ImageWithPreview> watch = image;
  VKCacheIfPossible first(image);
  image.reset();
  {
    VKCacheIfPossible second(std::make_shared<std::string>("page"));
    EXPECT_EQ(*second.objectAs<std::string>(), "page");
    EXPECT_EQ(VKCacheIfPossible::howManyListening(), listeningBefore + 2);
  }
  EXPECT_EQ(VKCacheIfPossible::howManyListening(), listeningBefore + 1);
  EXPECT_FALSE(watch.expired());

  VKCacheIfPossible::postCleanUp();
  EXPECT_EQ(first.object(), nullptr);
  EXPECT_TRUE(watch.expired());
  first.setObject(std::make_shared<int>(3));
  EXPECT_EQ(*first.objectAs<int>(), 3);
}

}  // namespace
