#include "FastRowCounter.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "EscapeKernel.h"

namespace {

// Below this many points, waking the helpers costs more than they save; the
// coarse passes' rows of a few large blocks stay on the calling thread.
constexpr std::size_t kPointsWorthSharing = 64;

unsigned ThreadsOfThisMachine() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace

FastRowCounter::FastRowCounter() : FastRowCounter(ThreadsOfThisMachine()) {}

FastRowCounter::FastRowCounter(unsigned threadCount) : pool_(std::max(threadCount, 1u) - 1) {}

void FastRowCounter::CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                              std::span<std::int32_t> counts) {
  const EscapeRow row{parameters, reals, imaginary, counts};
  // On a cache line of its own: every thread writes it.
  alignas(64) std::atomic<std::size_t> cursor{0};
  if (reals.size() < kPointsWorthSharing) {
    CountEscapes(row, cursor);
    return;
  }
  pool_.RunOnAll([&] { CountEscapes(row, cursor); });
}
