#pragma once

#include <cstdint>

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
};
