#pragma once

#include <array>
#include <cstdint>

// The zoom box dragged in the viewport: centred on where the drag began and
// shaped like the viewport, so the view that it becomes is not stretched.
// Single precision, as mouse positions are.
struct ZoomBox {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;

  // The box for the mouse at (x, y) after a drag from (startX, startY) in a
  // viewport of viewportWidth x viewportHeight pixels. The box may reach
  // past the viewport's edges.
  static ZoomBox FromDrag(std::int16_t startX, std::int16_t startY, float x, float y, float viewportWidth,
                          float viewportHeight);

  // A box this small is a click, not a zoom.
  bool IsTiny() const { return width + height <= 2; }

  // Left, top, width and height in whole pixels (nearest, ties to even),
  // as the renderer's WindowZoom takes them.
  std::array<std::int16_t, 4> PixelRectangle() const;
};
