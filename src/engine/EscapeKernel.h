#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "EscapeCount.h"

// One row of points that share an imaginary part, with room for their counts.
struct EscapeRow {
  EscapeParameters parameters;
  std::span<const double> reals;
  double imaginary = 0.0;
  std::span<std::int32_t> counts;
};

// Writes the escape count of every point of the row that this call claims
// from `cursor`, the index of the next unclaimed point. Several threads may
// share one cursor; together they count the whole row. Every count equals
// EscapeCount's for the same point, bit for bit: the arithmetic is the same,
// lane by lane, and the only shortcut is an orbit returning exactly to an
// earlier value, which can then never escape.
void CountEscapes(const EscapeRow& row, std::atomic<std::size_t>& cursor);

// The instruction sets the kernel was built for that this processor runs,
// best first, as Highway target bits. While one is forced, only that one.
std::vector<std::int64_t> EscapeKernelTargets();
std::string EscapeKernelTargetName(std::int64_t target);
// Makes CountEscapes use one instruction set from EscapeKernelTargets, for
// every thread of the process, so that each can be checked against the
// reference; 0 returns to the best one.
void ForceEscapeKernelTarget(std::int64_t target);
// The instruction set CountEscapes runs on now.
std::int64_t ActiveEscapeKernelTarget();
