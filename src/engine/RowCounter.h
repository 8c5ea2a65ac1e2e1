#pragma once

#include <cstdint>
#include <span>

#include "EscapeCount.h"

// Computes the escape counts of one row of block centres, all on the same
// imaginary line. The renderer asks for a whole row at once so that a faster
// implementation can work on many points together; every implementation
// returns exactly the reference counts.
class RowCounter {
 public:
  virtual ~RowCounter() = default;

  virtual void CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                        std::span<std::int32_t> counts) = 0;
};

// Point by point with the reference loop.
class ReferenceRowCounter final : public RowCounter {
 public:
  void CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                std::span<std::int32_t> counts) override;
};
