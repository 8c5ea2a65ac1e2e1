#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

// Writes one scanline of a row of blocks (see RenderSurface::FillBlockRow):
// block i covers the columns i * step to i * step + extent, later blocks
// over earlier ones, clipped to the line. Surfaces that hold their pixels
// compose the first row of a block row with it and copy that to the rest.
template <typename Pixel>
void ComposeBlockLine(std::span<Pixel> line, int step, int extent, std::span<const Pixel> values) {
  const std::ptrdiff_t width = static_cast<std::ptrdiff_t>(line.size());
  if (step == 1 && extent == 0) {
    // The per-pixel pass: one value per column.
    const std::size_t count = std::min(line.size(), values.size());
    std::copy_n(values.begin(), count, line.begin());
    return;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::ptrdiff_t left = static_cast<std::ptrdiff_t>(i) * step;
    if (left >= width) break;
    const std::ptrdiff_t right = std::min<std::ptrdiff_t>(left + extent, width - 1);
    std::fill(line.begin() + left, line.begin() + right + 1, values[i]);
  }
}
