#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <set>
#include <thread>

namespace {

TEST(WorkerPoolTest, EveryJobRunsOnceOnTheCallerAndOnEachHelperBeforeTheCallReturns) {
  WorkerPool pool(3);
  const std::thread::id caller = std::this_thread::get_id();
  for (int round = 0; round < 200; ++round) {
    // Now and then the helpers have gone to sleep before the next job.
    if (round % 20 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
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
}

TEST(WorkerPoolTest, ASecondCallerWhileBusyRunsItsJobAlone) {
  WorkerPool pool(2);
  std::promise<void> firstJobStarted, secondCallDone;
  std::shared_future<void> release = secondCallDone.get_future().share();
  std::atomic<int> firstRuns{0};
  std::thread first([&] {
    pool.RunOnAll([&] {
      if (firstRuns++ == 0) firstJobStarted.set_value();
      release.wait();
    });
  });
  firstJobStarted.get_future().wait();
  std::multiset<std::thread::id> secondRuns;
  pool.RunOnAll([&] { secondRuns.insert(std::this_thread::get_id()); });
  secondCallDone.set_value();
  first.join();
  EXPECT_EQ(secondRuns, std::multiset<std::thread::id>{std::this_thread::get_id()});
  EXPECT_EQ(firstRuns.load(), 3);
}

}  // namespace
