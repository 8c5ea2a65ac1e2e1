#pragma once

#include <QFrame>
#include <QImage>
#include <QPointF>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "InvertedShape.h"
#include "RenderSurface.h"

class PixelMask;

// A picture surface: a widget that keeps what is drawn on it as a persistent
// image, repainted from that image whenever it is uncovered, with inverted
// line and rectangle shapes shown over it. Coordinates are pixels of the
// inside, from its top-left corner; colours are packed (red + 256 * green +
// 65536 * blue). Mouse events are reported in the same coordinates.
class PictureBox : public QFrame, public RenderSurface {
  Q_OBJECT

 public:
  enum class DrawMode { Copy, Invert };

  explicit PictureBox(QWidget* parent = nullptr);

  // The surface interface the renderer draws through.
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  void Clear() override;
  void FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) override;
  void FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) override;

  // On a scaled desktop, draw at the screen's own pixels: the picture then
  // has more pixels than the widget has logical ones, and every size, shape
  // and mouse position of this surface counts those pixels.
  void SetDevicePixels(bool enabled);
  bool UsesDevicePixels() const { return devicePixels_; }
  // Picture pixels per logical pixel: 1 unless device pixels are in use.
  double PixelRatio() const;
  // Shifts the picture by whole pixels, the uncovered part in the background
  // colour, as a hand drags it.
  void ScrollPicture(int dx, int dy);

  void SetBackColour(std::int32_t colour);
  std::int32_t BackColour() const { return backColour_; }
  void SetDrawMode(DrawMode mode) { drawMode_ = mode; }
  DrawMode GetDrawMode() const { return drawMode_; }
  void SetDrawWidth(int width) { drawWidth_ = std::max(width, 1); }
  int DrawWidth() const { return drawWidth_; }

  // The pen position: where the last line ended or the last pixel was set.
  QPointF CurrentPoint() const { return currentPoint_; }
  void SetCurrentPoint(double x, double y) { currentPoint_ = {x, y}; }

  void DrawLine(double x1, double y1, double x2, double y2, std::int32_t colour);
  void DrawLineTo(double x, double y, std::int32_t colour);
  void SetPixel(double x, double y, std::int32_t colour);
  void DrawRectangleOutline(double x1, double y1, double x2, double y2, std::int32_t colour);

  // Replaces the target's picture by this one, placed at the target's
  // top-left corner; whatever does not fit is cut off.
  void CopyPictureTo(PictureBox& target) const;
  // Writes the persistent picture as a bitmap file, replacing the file only
  // once it is complete. Gives the platform's description of a failure.
  std::optional<std::string> SavePicture(const std::string& path) const;

  // A new shape over the picture, hidden until shown; the surface owns it.
  InvertedShape* AddLineShape(int penWidth);
  InvertedShape* AddRectangleShape(int penWidth);

  // The persistent picture, sized to the inside.
  const QImage& Picture() const;
  // The picture as the screen shows it, with the visible shapes inverted.
  QImage ComposedPicture() const;
  // The colour of one pixel of the persistent picture (packed).
  std::int32_t Point(int x, int y) const;

  static QRgb ToRgb(std::int32_t colour);
  static std::int32_t ToPacked(QRgb rgb);

 signals:
  void MousePressed(Qt::MouseButton button, QPointF position);
  void MouseMoved(Qt::MouseButtons buttons, QPointF position);
  void MouseReleased(Qt::MouseButton button, QPointF position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The picture follows the widget's size lazily: a resize keeps what fits
  // and fills the rest with the background colour.
  QImage& Image() const;
  void Apply(const PixelMask& mask, std::int32_t colour);
  void UpdatePictureArea(const QRect& area);
  void InvertShapes(QImage& part, const QRect& area) const;
  QPointF ToInside(const QPointF& widgetPosition) const;
  QSize PictureSize() const;
  QRect ToPictureArea(const QRect& logicalArea) const;
  QRect ToLogicalArea(const QRect& pictureArea) const;

  mutable QImage image_;
  std::vector<QRgb> blockRgbs_;
  std::int32_t backColour_ = 0xFFFFFF;
  DrawMode drawMode_ = DrawMode::Copy;
  int drawWidth_ = 1;
  bool devicePixels_ = false;
  QPointF currentPoint_;
  std::vector<InvertedShape*> shapes_;
};
