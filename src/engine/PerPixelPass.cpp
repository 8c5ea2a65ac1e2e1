#include "PerPixelPass.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "EscapeKernel.h"

namespace {

// About 16 MB of counts per band: a big picture never needs a second full-size
// copy, and a small one is a single band.
constexpr std::size_t kPointsPerBand = std::size_t{1} << 22;

}  // namespace

void PaintPerPixelPass(const BlockRowSettings& settings, int rowCount, WorkerPool& pool,
                       const std::function<void(std::span<std::int32_t> countsToColours)>& colour,
                       const std::function<void(int row, std::span<const std::int32_t> colours)>& paint,
                       bool paintOnCountingThreads) {
  if (rowCount <= 0) return;
  // Single pixels share their real parts down the whole picture.
  std::vector<double> reals;
  BlockRowPoints(settings, 0, reals);
  const std::size_t rowLength = reals.size();
  // Rows painted where they are counted need no band: the threads meet once.
  const int bandRows = paintOnCountingThreads ? rowCount
                                              : static_cast<int>(std::clamp<std::size_t>(
                                                    kPointsPerBand / std::max<std::size_t>(rowLength, 1), 1, rowCount));
  // Left uninitialised, so its pages are first touched by the threads that
  // count into them; painting straight from the counting threads needs only
  // a row for each.
  const std::size_t bandSize = paintOnCountingThreads ? 0 : static_cast<std::size_t>(bandRows) * rowLength;
  const auto band = std::make_unique_for_overwrite<std::int32_t[]>(bandSize);

  for (int bandTop = 0; bandTop < rowCount; bandTop += bandRows) {
    const int rows = std::min(bandRows, rowCount - bandTop);
    // On a cache line of its own: every thread writes it.
    alignas(64) std::atomic<int> nextRow{0};
    pool.RunOnAll([&] {
      std::vector<std::int32_t> ownRow(paintOnCountingThreads ? rowLength : 0);
      for (int index = nextRow.fetch_add(1); index < rows; index = nextRow.fetch_add(1)) {
        const int row = bandTop + index;
        const double imaginary = BlockRowImaginary(settings, row);
        const std::span<std::int32_t> counts(
            paintOnCountingThreads ? ownRow.data() : band.get() + static_cast<std::size_t>(index) * rowLength,
            rowLength);
        std::atomic<std::size_t> cursor{0};
        CountEscapes({settings.parameters, reals, imaginary, counts}, cursor);
        colour(counts);
        if (paintOnCountingThreads) paint(row, counts);
      }
    });
    if (paintOnCountingThreads) continue;
    for (int index = 0; index < rows; ++index)
      paint(bandTop + index, std::span<const std::int32_t>(band.get() + static_cast<std::size_t>(index) * rowLength,
                                                           rowLength));
  }
}
