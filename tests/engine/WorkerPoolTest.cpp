#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace {

TEST(WorkerPoolTest, EveryJobRunsOnceOnTheCallerAndOnEachHelperBeforeTheCallReturns) {
  WorkerPool pool(3);
  const std::thread::id caller = std::this_thread::get_id();
  for (int round = 0; round < 200; ++round) {
    // Now and then the helpers have gone to sleep before the next job, and
    // before the pool ends.
    if (round % 20 == 19) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    std::mutex mutex;
    std::multiset<std::thread::id> runs;
    pool.RunOnAll([&] {
      // Helpers slower than the caller, so that a call returning early shows.
      if (std::this_thread::get_id() != caller) std::this_thread::sleep_for(std::chrono::microseconds(200));
      std::lock_guard lock(mutex);
      runs.insert(std::this_thread::get_id());
    });
    std::lock_guard lock(mutex);
    ASSERT_EQ(runs.size(), 4u) << "round " << round;
    ASSERT_EQ(std::set(runs.begin(), runs.end()).size(), 4u) << "round " << round;
    ASSERT_EQ(runs.count(caller), 1u) << "round " << round;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
}

}  // namespace
