#pragma once

#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <functional>

class PixelMask;

// A line or rectangle outline lying over a picture surface. It is shown by
// inverting the pixels beneath it and never touches the surface's persistent
// picture, so moving it leaves nothing behind. The surface owns its shapes.
class InvertedShape : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Line, Rectangle };

  InvertedShape(Kind kind, int penWidth, QObject* parent);

  Kind GetKind() const { return kind_; }
  bool IsVisible() const { return visible_; }
  void SetVisible(bool visible);

  // A line runs from (x1, y1) to (x2, y2), both ends included.
  void SetLine(double x1, double y1, double x2, double y2);
  QPointF Start() const { return start_; }
  QPointF End() const { return end_; }

  // A rectangle is its left, top, width and height in pixels.
  void SetRectangle(double left, double top, double width, double height);
  QRectF Rectangle() const { return rectangle_; }

  // The pixels the shape covers, in surface coordinates.
  QRect Bounds() const;
  void Rasterise(PixelMask& mask) const;

 signals:
  // The area that needs repainting: where the shape was and where it is.
  void Changed(const QRect& area);

 private:
  void Change(const std::function<void()>& update);

  Kind kind_;
  int penWidth_;
  bool visible_ = false;
  QPointF start_;
  QPointF end_;
  QRectF rectangle_;
};
