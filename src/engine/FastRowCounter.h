#pragma once

#include <cstdint>
#include <span>

#include "RowCounter.h"
#include "WorkerPool.h"

// Counts a row with the vector kernel on every core: the calling thread and
// the pool's helpers claim the row's points from one shared cursor, so they
// finish together however unevenly the work is spread. The counts are the
// reference's, bit for bit.
class FastRowCounter final : public RowCounter {
 public:
  // One thread per core, the caller included.
  FastRowCounter();
  explicit FastRowCounter(unsigned threadCount);

  void CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                std::span<std::int32_t> counts) override;

 private:
  WorkerPool pool_;
};
