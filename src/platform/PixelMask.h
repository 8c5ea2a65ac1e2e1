#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

// The set of pixels a figure covers, inside a clip rectangle. Figures are
// rasterised here, without anti-aliasing, so that drawing in invert mode
// touches each pixel exactly once and drawing the same figure twice restores
// the picture, which QPainter's own strokes do not promise.
class PixelMask {
 public:
  explicit PixelMask(const QRect& clip);

  const QRect& Clip() const { return clip_; }
  bool Contains(int x, int y) const;
  bool IsEmpty() const;

  void SetPixel(int x, int y);
  // A square pen of the given width, its top-left pixel at (x, y) for
  // width 1 and centred on (x, y) for wider pens.
  void Stamp(int x, int y, int penWidth);
  // Every pixel from (x1, y1) up to, but not including, (x2, y2), as
  // line drawing always left the last point to the next segment.
  void Line(int x1, int y1, int x2, int y2, int penWidth);
  // The filled rectangle between two corners, both included.
  void FilledRectangle(int x1, int y1, int x2, int y2);
  // The outline of the rectangle between two corners, the pen lying inside.
  void RectangleOutline(int x1, int y1, int x2, int y2, int penWidth);

  void PaintOver(QImage& image, QRgb colour) const;
  // Replaces each covered pixel by its inverse colour. `origin` is where the
  // image's top-left pixel lies in the mask's coordinates.
  void InvertOver(QImage& image, const QPoint& origin = {}) const;

 private:
  QRect clip_;
  std::vector<std::uint8_t> covered_;
};
