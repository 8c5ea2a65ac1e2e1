#pragma once

#include <cstdint>
#include <span>

// What the renderer needs of a picture: its drawable size in pixels (read
// afresh at every use, so a resized surface takes effect at once), clearing to
// the background colour, and filling an inclusive rectangle with a packed
// colour (red + 256 * green + 65536 * blue). Rectangles may reach past the
// edges; the surface clips them.
class RenderSurface {
 public:
  virtual ~RenderSurface() = default;

  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  virtual void Clear() = 0;
  virtual void FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) = 0;

  // One row of blocks at once: block i covers the columns from i * step to
  // i * step + extent and the rows from top to bottom, all inclusive, and is
  // painted after block i - 1, so it wins where they overlap. The result is
  // that of one FillRectangle per block in that order, which is what this
  // default does; surfaces that hold their pixels write whole scanlines.
  virtual void FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours);

  // Whether FillBlockRow calls for rows that do not overlap may come from
  // several threads at once (a surface that only holds pixels in memory).
  virtual bool FillsRowsFromAnyThread() const { return false; }
};
