#include "MemorySurface.h"

#include <algorithm>

#include "BlockLine.h"

MemorySurface::MemorySurface(int width, int height, std::int32_t background)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), background_(background) {
  Clear();
}

void MemorySurface::Clear() {
  if (blank_) return;
  pixels_.assign(static_cast<std::size_t>(width_) * height_, background_);
  blank_ = true;
}

void MemorySurface::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  blank_ = false;
  Clear();
}

void MemorySurface::FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) {
  blank_ = false;
  const int left = std::max(std::min(x1, x2), 0);
  const int right = std::min(std::max(x1, x2), width_ - 1);
  const int top = std::max(std::min(y1, y2), 0);
  const int bottom = std::min(std::max(y1, y2), height_ - 1);
  for (int y = top; y <= bottom; ++y) {
    auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
    std::fill(row + left, row + right + 1, colour);
  }
}

void MemorySurface::FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) {
  blank_ = false;
  const int first = std::max(top, 0);
  const int last = std::min(bottom, height_ - 1);
  if (first > last || width_ == 0) return;
  const std::span<std::int32_t> line = MutableLine(first);
  ComposeBlockLine(line, step, extent, colours);
  for (int y = first + 1; y <= last; ++y) std::copy(line.begin(), line.end(), MutableLine(y).begin());
}
