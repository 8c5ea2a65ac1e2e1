#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

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
    const std::set<std::thread::id> threads(runs.begin(), runs.end());
    ASSERT_EQ(std::tuple(runs.size(), threads.size(), runs.count(caller)), std::tuple(4u, 4u, 1u)) << round;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
}

}  // namespace
