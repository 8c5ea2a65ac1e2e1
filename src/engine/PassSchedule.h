#pragma once

#include <cstdint>

// Where a progressive render stands: the top row of the next row of blocks,
// the blocks' edge, and the pass among the passes of this render. A pure
// value, so that the schedule of every surface size can be checked without
// drawing anything.
struct PassPosition {
  std::int16_t currentRow = 0;
  std::int16_t blockSize = 0;
  std::int16_t currentPass = 0;
  std::int16_t passCount = 0;

  // Past the last pass: the render has ended.
  bool IsFinished() const { return currentPass > passCount; }
  // The pass is announced to the host (a draft's single sweep is not).
  bool IsAnnounced() const { return currentPass <= passCount; }
};

// The first pass of a render of a surface `width` pixels wide (the nearest
// whole number of its width). A full render has one pass per power of four
// in the width and numbers them from 2; a draft is one sweep of 2-pixel blocks.
PassPosition FirstPass(int width, bool draft);

// After the row of blocks at `position.currentRow` has been drawn on a
// surface `height` pixels high: moves to the next row, or to the next pass
// when the next row would start at or below the bottom. Returns true when a
// new pass began.
bool AdvanceRow(PassPosition& position, double height);

// The pass after a completed one. A pass whose edge comes out at one pixel,
// or below one before the last pass, is the per-pixel pass and the last.
PassPosition NextPass(PassPosition position);

// The Progress fraction raised before drawing the row at `position`: where
// that row of blocks ends, over the height. Above 1 on a pass's last row,
// never negative.
double ProgressBeforeRow(const PassPosition& position, double height);
