#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few helper threads that run one job alongside the calling thread. The
// threads start on the first job and live as long as the pool; between jobs
// they spin briefly, since rows follow each other closely, and then sleep.
class WorkerPool {
 public:
  explicit WorkerPool(unsigned helperCount);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned HelperCount() const { return helperCount_; }

  // Runs `job` once on the calling thread and once on every helper, and
  // returns when all have finished. A call made while another is running
  // (from a second thread) runs the job on the caller alone.
  void RunOnAll(const std::function<void()>& job);

 private:
  void StartHelpers();
  void HelperLoop(std::uint64_t seenGeneration);
  bool WaitForJob(std::uint64_t& seenGeneration);
  void WaitForHelpers();

  const unsigned helperCount_;
  std::mutex runMutex_;  // one job at a time

  std::mutex stateMutex_;
  std::condition_variable jobReady_;
  std::condition_variable jobDone_;
  const std::function<void()>* job_ = nullptr;
  std::atomic<std::uint64_t> generation_{0};
  std::atomic<unsigned> busyHelpers_{0};
  bool stopping_ = false;
  std::vector<std::thread> helpers_;
};
