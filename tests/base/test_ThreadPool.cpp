#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "base/cThreadPool.h"

// Every iteration runs exactly once, in chunks of the grain, for pools of one thread (no workers: everything inline) up
// to more threads than cores, with counts that do and do not divide by the grain.
TEST(ThreadPool, EveryIterationRunsOnceInChunksOfTheGrain) {
  for (int threads : {1, 2, 3}) {
    cThreadPool pool(threads);
    EXPECT_EQ(pool.GetThreadCount(), threads);
    for (auto [count, grain] : {std::pair<size_t, size_t>{0, 4}, {1, 4}, {7, 0}, {1000, 7}, {4096, 256}}) {
      std::vector<std::atomic<int>> runs(count);
      std::atomic<bool> oversized{false};
      pool.ParallelFor(count, grain, [&](size_t begin, size_t end) {
        if (end - begin > std::max<size_t>(grain, 1) && pool.GetThreadCount() > 1) oversized = true;
        for (size_t i = begin; i < end; ++i) ++runs[i];
      });
      for (size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i], 1) << threads << " threads, " << count << " at " << i;
      EXPECT_FALSE(oversized) << threads << " threads, count " << count;
    }
  }
}

// A loop started inside a body, or from another thread while a loop runs,
// runs inline on its caller instead of waiting for the pool.
TEST(ThreadPool, NestedAndConcurrentLoopsRunInline) {
  cThreadPool pool(2);
  std::atomic<int> inner{0};
  pool.ParallelFor(8, 1, [&](size_t, size_t) {
    const std::thread::id caller = std::this_thread::get_id();
    pool.ParallelFor(4, 1, [&](size_t begin, size_t end) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      inner += static_cast<int>(end - begin);
    });
  });
  EXPECT_EQ(inner, 32);
  std::atomic<int> total{0};
  std::thread other([&] {
    for (int k = 0; k < 200; ++k) pool.ParallelFor(16, 1, [&](size_t begin, size_t end) { total += int(end - begin); });
  });
  for (int k = 0; k < 200; ++k) pool.ParallelFor(16, 1, [&](size_t begin, size_t end) { total += int(end - begin); });
  other.join();
  EXPECT_EQ(total, 2 * 200 * 16);
}

TEST(ThreadPool, ThreadCountChangesBetweenLoops) {
  cThreadPool pool(3);
  for (int threads : {1, 4, 0, 2}) {
    pool.SetThreadCount(threads);
    EXPECT_EQ(pool.GetThreadCount(), std::max(threads, 1));
    std::atomic<size_t> sum{0};
    pool.ParallelFor(100, 3, [&](size_t begin, size_t end) {
      for (size_t i = begin; i < end; ++i) sum += i;
    });
    EXPECT_EQ(sum, 4950u);
  }
  EXPECT_GE(cThreadPool::CoreCount(), 1);
}
