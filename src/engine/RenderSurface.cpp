#include "RenderSurface.h"

void RenderSurface::FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) {
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const int left = static_cast<int>(i) * step;
    FillRectangle(left, top, left + extent, bottom, colours[i]);
  }
}
