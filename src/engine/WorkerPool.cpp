#include "WorkerPool.h"

#include <chrono>

namespace {

// Long enough to bridge the gap between two rows of a render, short enough
// not to hold a core while a window waits for its next timer tick.
constexpr auto kSpinTime = std::chrono::microseconds(300);

template <typename Ready>
bool SpinUntil(Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + kSpinTime;
  for (unsigned round = 0;; ++round) {
    if (ready()) return true;
    if (round % 64 == 63 && std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
}

}  // namespace

WorkerPool::WorkerPool(unsigned helperCount) : helperCount_(helperCount) {}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(stateMutex_);
    stopping_ = true;
    generation_.fetch_add(1, std::memory_order_release);
  }
  jobReady_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

void WorkerPool::StartHelpers() {
  // Helpers wait for the generation after this one: the job about to start.
  const std::uint64_t current = generation_.load(std::memory_order_relaxed);
  helpers_.reserve(helperCount_);
  for (unsigned i = 0; i < helperCount_; ++i) helpers_.emplace_back([this, current] { HelperLoop(current); });
}

void WorkerPool::RunOnAll(const std::function<void()>& job) {
  std::unique_lock run(runMutex_, std::try_to_lock);
  if (!run.owns_lock() || helperCount_ == 0) {
    job();
    return;
  }
  if (helpers_.empty()) StartHelpers();
  {
    std::lock_guard lock(stateMutex_);
    job_ = &job;
    busyHelpers_.store(helperCount_, std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
  }
  jobReady_.notify_all();
  job();
  WaitForHelpers();
}

void WorkerPool::WaitForHelpers() {
  if (SpinUntil([this] { return busyHelpers_.load(std::memory_order_acquire) == 0; })) return;
  std::unique_lock lock(stateMutex_);
  jobDone_.wait(lock, [this] { return busyHelpers_.load(std::memory_order_acquire) == 0; });
}

bool WorkerPool::WaitForJob(std::uint64_t& seenGeneration) {
  const auto changed = [&] { return generation_.load(std::memory_order_acquire) != seenGeneration; };
  if (!SpinUntil(changed)) {
    std::unique_lock lock(stateMutex_);
    jobReady_.wait(lock, changed);
  }
  std::lock_guard lock(stateMutex_);
  seenGeneration = generation_.load(std::memory_order_relaxed);
  return !stopping_;
}

void WorkerPool::HelperLoop(std::uint64_t seenGeneration) {
  while (WaitForJob(seenGeneration)) {
    const std::function<void()>* job = nullptr;
    {
      std::lock_guard lock(stateMutex_);
      job = job_;
    }
    (*job)();
    if (busyHelpers_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      // Taking the lock orders this notice after the caller's check.
      std::lock_guard lock(stateMutex_);
      jobDone_.notify_all();
    }
  }
}
