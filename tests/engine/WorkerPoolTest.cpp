#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <set>
#include <thread>

namespace {

TEST(WorkerPoolTest, EveryJobRunsOnceOnTheCallerAndOnEachHelper) {
  WorkerPool pool(3);
  for (int round = 0; round < 300; ++round) {
    std::mutex mutex;
    std::multiset<std::thread::id> runs;
    pool.RunOnAll([&] {
      std::lock_guard lock(mutex);
      runs.insert(std::this_thread::get_id());
    });
    // RunOnAll has returned, so every run must be recorded by now.
    ASSERT_EQ(runs.size(), 4u) << "round " << round;
    ASSERT_EQ(std::set(runs.begin(), runs.end()).size(), 4u) << "round " << round;
    ASSERT_EQ(runs.count(std::this_thread::get_id()), 1u) << "round " << round;
  }
}

TEST(WorkerPoolTest, JobsAfterTheHelpersFellAsleepStillRun) {
  WorkerPool pool(1);
  std::atomic<int> runs{0};
  for (int round = 0; round < 3; ++round) {
    pool.RunOnAll([&] { ++runs; });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(runs.load(), 6);
}

TEST(WorkerPoolTest, ASecondCallerWhileBusyRunsItsJobAlone) {
  WorkerPool pool(2);
  std::promise<void> firstJobStarted;
  std::promise<void> secondCallDone;
  std::shared_future<void> release = secondCallDone.get_future().share();
  std::atomic<int> firstRuns{0};
  std::atomic<bool> announced{false};
  std::thread first([&] {
    pool.RunOnAll([&] {
      ++firstRuns;
      if (!announced.exchange(true)) firstJobStarted.set_value();
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
