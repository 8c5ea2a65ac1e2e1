#include "InvertedShape.h"

#include <cmath>
#include <functional>

#include "PixelMask.h"
#include "Nearest.h"

namespace {


}  // namespace

InvertedShape::InvertedShape(Kind kind, int penWidth, QObject* parent)
    : QObject(parent), kind_(kind), penWidth_(penWidth) {}

void InvertedShape::Change(const std::function<void()>& update) {
  const QRect before = visible_ ? Bounds() : QRect();
  update();
  const QRect after = visible_ ? Bounds() : QRect();
  if (!before.isEmpty() || !after.isEmpty()) emit Changed(before.united(after));
}

void InvertedShape::SetVisible(bool visible) {
  if (visible == visible_) return;
  // Both states count, so the area is repainted on showing and on hiding.
  const QRect area = Bounds();
  visible_ = visible;
  emit Changed(area);
}

void InvertedShape::SetLine(double x1, double y1, double x2, double y2) {
  Change([&] {
    start_ = {x1, y1};
    end_ = {x2, y2};
  });
}

void InvertedShape::SetRectangle(double left, double top, double width, double height) {
  Change([&] { rectangle_ = {left, top, width, height}; });
}

QRect InvertedShape::Bounds() const {
  const int margin = penWidth_ + 1;
  QRect area;
  if (kind_ == Kind::Line) {
    area = QRect(QPoint(Nearest(std::min(start_.x(), end_.x())), Nearest(std::min(start_.y(), end_.y()))),
                 QPoint(Nearest(std::max(start_.x(), end_.x())), Nearest(std::max(start_.y(), end_.y()))));
  } else {
    area = QRect(QPoint(Nearest(rectangle_.left()), Nearest(rectangle_.top())),
                 QPoint(Nearest(rectangle_.left() + rectangle_.width()), Nearest(rectangle_.top() + rectangle_.height())));
  }
  return area.normalized().adjusted(-margin, -margin, margin, margin);
}

void InvertedShape::Rasterise(PixelMask& mask) const {
  if (kind_ == Kind::Line) {
    const int x1 = Nearest(start_.x());
    const int y1 = Nearest(start_.y());
    const int x2 = Nearest(end_.x());
    const int y2 = Nearest(end_.y());
    mask.Line(x1, y1, x2, y2, penWidth_);
    mask.Stamp(x2, y2, penWidth_);
    return;
  }
  const int left = Nearest(rectangle_.left());
  const int top = Nearest(rectangle_.top());
  const int right = Nearest(rectangle_.left() + rectangle_.width()) - 1;
  const int bottom = Nearest(rectangle_.top() + rectangle_.height()) - 1;
  // A box dragged to no size still shows as a dot where the drag began.
  mask.RectangleOutline(left, top, std::max(left, right), std::max(top, bottom), penWidth_);
}
