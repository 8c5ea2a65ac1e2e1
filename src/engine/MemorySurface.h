#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "RenderSurface.h"

// A picture held in memory, for headless rendering, benchmarks and tests.
// Pixels are packed colours, row by row from the top-left corner.
class MemorySurface final : public RenderSurface {
 public:
  MemorySurface(int width, int height, std::int32_t background = 0);

  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }
  void Clear() override;
  void FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) override;
  void FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) override;
  // Rows are lines of their own in one buffer that never moves while drawn.
  bool FillsRowsFromAnyThread() const override { return true; }

  // A host may resize its surface at any time; the picture starts anew.
  void Resize(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::int32_t Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const std::vector<std::int32_t>& Pixels() const { return pixels_; }
  std::span<const std::int32_t> Line(int y) const {
    return {pixels_.data() + static_cast<std::size_t>(y) * width_, static_cast<std::size_t>(width_)};
  }

 private:
  std::span<std::int32_t> MutableLine(int y) {
    return {pixels_.data() + static_cast<std::size_t>(y) * width_, static_cast<std::size_t>(width_)};
  }

  int width_;
  int height_;
  std::int32_t background_;
  std::vector<std::int32_t> pixels_;
  // Nothing drawn since the last clear: clearing again would only rewrite
  // the same background, which costs a pass over a big picture.
  bool blank_ = false;
};
