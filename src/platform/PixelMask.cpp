#include "PixelMask.h"

#include <algorithm>
#include <cstdlib>

PixelMask::PixelMask(const QRect& clip)
    : clip_(clip.normalized()), covered_(static_cast<std::size_t>(std::max(0, clip_.width()) * std::max(0, clip_.height())), 0) {}

bool PixelMask::Contains(int x, int y) const {
  if (!clip_.contains(x, y)) return false;
  return covered_[static_cast<std::size_t>(y - clip_.top()) * clip_.width() + (x - clip_.left())] != 0;
}

bool PixelMask::IsEmpty() const { return std::find(covered_.begin(), covered_.end(), 1) == covered_.end(); }

void PixelMask::SetPixel(int x, int y) {
  if (!clip_.contains(x, y)) return;
  covered_[static_cast<std::size_t>(y - clip_.top()) * clip_.width() + (x - clip_.left())] = 1;
}

void PixelMask::Stamp(int x, int y, int penWidth) {
  const int width = std::max(penWidth, 1);
  const int left = x - (width - 1) / 2;
  const int top = y - (width - 1) / 2;
  FilledRectangle(left, top, left + width - 1, top + width - 1);
}

void PixelMask::Line(int x1, int y1, int x2, int y2, int penWidth) {
  // Bresenham, stopping one pixel short of the end point.
  const int dx = std::abs(x2 - x1);
  const int dy = -std::abs(y2 - y1);
  const int stepX = x1 < x2 ? 1 : -1;
  const int stepY = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1;
  int y = y1;
  while (x != x2 || y != y2) {
    Stamp(x, y, penWidth);
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void PixelMask::FilledRectangle(int x1, int y1, int x2, int y2) {
  const QRect area = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
                         .intersected(clip_);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto row = covered_.begin() + static_cast<std::ptrdiff_t>(y - clip_.top()) * clip_.width();
    std::fill(row + (area.left() - clip_.left()), row + (area.right() - clip_.left()) + 1, 1);
  }
}

void PixelMask::RectangleOutline(int x1, int y1, int x2, int y2, int penWidth) {
  const int left = std::min(x1, x2);
  const int right = std::max(x1, x2);
  const int top = std::min(y1, y2);
  const int bottom = std::max(y1, y2);
  const int inset = std::max(penWidth, 1) - 1;
  FilledRectangle(left, top, right, std::min(top + inset, bottom));
  FilledRectangle(left, std::max(bottom - inset, top), right, bottom);
  FilledRectangle(left, top, std::min(left + inset, right), bottom);
  FilledRectangle(std::max(right - inset, left), top, right, bottom);
}

void PixelMask::PaintOver(QImage& image, QRgb colour) const {
  const QRect area = clip_.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x)
      if (Contains(x, y)) line[x] = colour;
  }
}

void PixelMask::InvertOver(QImage& image, const QPoint& origin) const {
  const QRect area = clip_.intersected(image.rect().translated(origin));
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y - origin.y()));
    for (int x = area.left(); x <= area.right(); ++x)
      if (Contains(x, y)) line[x - origin.x()] ^= 0x00FFFFFFu;
  }
}
