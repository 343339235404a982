#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/SerialNumbers.h"

using namespace orrelin;

TEST(SerialNumbers, UniqueAndIncreasingAcrossThreads) {
  std::int64_t first = nextUniqueSerialNumber();
  EXPECT_GE(first, 1);
  constexpr int kThreads = 4, kEach = 5000;
  std::vector<std::vector<std::int64_t>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&taken, t] {
      for (int i = 0; i < kEach; ++i) taken[t].push_back(nextUniqueSerialNumber());
    });
  for (auto& thread : threads) thread.join();
  std::vector<std::int64_t> all;
  for (auto& numbers : taken) {
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    all.insert(all.end(), numbers.begin(), numbers.end());
  }
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  EXPECT_GT(all.front(), first);
  EXPECT_EQ(all.back() - all.front() + 1, kThreads * kEach);
}
