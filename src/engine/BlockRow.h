#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "EscapeCount.h"

// Everything the escape counts of one row of blocks depend on besides the
// row itself, read from the renderer and its surface when the row is drawn.
// Counts made under one set of settings are only ever painted under the same
// settings, compared bit for bit.
struct BlockRowSettings {
  EscapeParameters parameters;
  double windowLeft = 0.0;
  double windowTop = 0.0;
  double pixelSize = 0.0;
  int width = 0;       // blocks start at 0, step, 2 * step, ... up to and including it
  int blockSize = 0;   // below 2: single pixels
  double height = 0.0; // rows start above it

  bool SameAs(const BlockRowSettings& other) const;
  int Step() const { return blockSize > 1 ? blockSize : 1; }
  // How far a block reaches past its left column and top row.
  int Extent() const { return blockSize > 1 ? blockSize : 0; }
  std::size_t BlockCount() const { return width < 0 ? 0 : static_cast<std::size_t>(width / Step()) + 1; }
};

// The centres of the blocks of the row whose top is `row`: their real parts
// into `reals`, and the imaginary part they share as the result. Each block
// takes the point of its centre pixel, rounded to even.
double BlockRowPoints(const BlockRowSettings& settings, int row, std::vector<double>& reals);
// The imaginary part alone, for rows whose reals are known already.
double BlockRowImaginary(const BlockRowSettings& settings, int row);
