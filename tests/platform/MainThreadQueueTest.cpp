#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/MainThreadQueue.h"

using namespace orrelin;

TEST(MainThreadQueue, RunsCallsInOrderIncludingThoseQueuedWhileDraining) {
  auto& queue = MainThreadQueue::shared();
  queue.drain();
  std::vector<int> order;
  queue.performOnMainThread([&] {
    order.push_back(1);
    queue.performAtEndOfEvent([&] { order.push_back(3); });
  });
  queue.performAtEndOfEvent([&] { order.push_back(2); });
  EXPECT_TRUE(queue.hasPending());
  EXPECT_EQ(queue.drain(), 3u);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(queue.hasPending());
}

TEST(MainThreadQueue, CancelledCallsOfOneOwnerDoNotRun) {
  auto& queue = MainThreadQueue::shared();
  queue.drain();
  int owner = 0, other = 0;
  std::vector<int> ran;
  queue.performAtEndOfEvent([&] { ran.push_back(1); }, &owner);
  queue.performAtEndOfEvent([&] { ran.push_back(2); }, &other);
  queue.performAtEndOfEvent([&] { ran.push_back(3); }, &owner);
  queue.cancelPerforms(&owner);
  queue.drain();
  EXPECT_EQ(ran, std::vector<int>{2});
}

TEST(MainThreadQueue, OtherThreadsQueueAndTheMainThreadRuns) {
  auto& queue = MainThreadQueue::shared();
  queue.drain();
  EXPECT_TRUE(MainThreadQueue::isMainThread());
  int wakeUps = 0;
  queue.setWakeUp([&] { ++wakeUps; });
  bool ranOnMain = false;
  std::thread([&] {
    EXPECT_FALSE(MainThreadQueue::isMainThread());
    queue.performOnMainThread([&] { ranOnMain = MainThreadQueue::isMainThread(); });
  }).join();
  queue.setWakeUp(nullptr);
  EXPECT_EQ(wakeUps, 1);
  queue.drain();
  EXPECT_TRUE(ranOnMain);
}
