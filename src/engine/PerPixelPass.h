#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "BlockRow.h"
#include "WorkerPool.h"

// The per-pixel pass of a whole picture at once, for hosts that only want the
// finished picture: rows are counted in bands of a few million points on
// every thread of `pool`, each thread claiming whole rows, so the threads
// meet once per band instead of once per row. `colour` turns a row's counts
// into colours in place (on the counting thread); `paint` then receives the
// rows in order, from 0 to rowCount - 1, on the calling thread, or, when
// `paintOnCountingThreads`, each row once, in no particular order, on the
// thread that counted it. The counts
// are exactly those RowsAhead and the reference loop give for the same rows
// under `settings` (whose block size must be below 2).
void PaintPerPixelPass(const BlockRowSettings& settings, int rowCount, WorkerPool& pool,
                       const std::function<void(std::span<std::int32_t> countsToColours)>& colour,
                       const std::function<void(int row, std::span<const std::int32_t> colours)>& paint,
                       bool paintOnCountingThreads = false);
