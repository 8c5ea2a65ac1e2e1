#include "PictureBox.h"

#include <QImageWriter>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "BlockLine.h"
#include "ImageFile.h"
#include "PixelMask.h"
#include "Nearest.h"

namespace {


}  // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

QRgb PictureBox::ToRgb(std::int32_t colour) {
  return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int32_t PictureBox::ToPacked(QRgb rgb) { return qRed(rgb) + 256 * qGreen(rgb) + 65536 * qBlue(rgb); }

float PictureBox::ScaleWidth() const { return static_cast<float>(PictureSize().width()); }
float PictureBox::ScaleHeight() const { return static_cast<float>(PictureSize().height()); }

QImage& PictureBox::Image() const {
  const QSize inside = PictureSize();
  if (image_.size() != inside) {
    QImage resized(inside, QImage::Format_RGB32);
    resized.fill(ToRgb(backColour_));
    if (!image_.isNull()) {
      QPainter painter(&resized);
      painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
  }
  return image_;
}

const QImage& PictureBox::Picture() const { return Image(); }

std::int32_t PictureBox::Point(int x, int y) const {
  const QImage& image = Image();
  if (!image.rect().contains(x, y)) return -1;
  return ToPacked(image.pixel(x, y));
}

void PictureBox::SetBackColour(std::int32_t colour) {
  backColour_ = colour;
  Clear();
}

void PictureBox::Clear() {
  Image().fill(ToRgb(backColour_));
  currentPoint_ = {0, 0};
  update();
}

void PictureBox::UpdatePictureArea(const QRect& area) {
  update(ToLogicalArea(area).translated(contentsRect().topLeft()).intersected(contentsRect()));
}

void PictureBox::Apply(const PixelMask& mask, std::int32_t colour) {
  QImage& image = Image();
  if (drawMode_ == DrawMode::Invert) mask.InvertOver(image);
  else mask.PaintOver(image, ToRgb(colour));
  UpdatePictureArea(mask.Clip());
}

void PictureBox::FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) {
  // Filled boxes follow the drawing mode like every other figure; a host that
  // draws figures inverted sets copy mode again before it renders.
  QImage& image = Image();
  const QRect area =
      QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))).intersected(image.rect());
  if (area.isEmpty()) return;
  const QRgb rgb = ToRgb(colour);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (drawMode_ == DrawMode::Invert) {
      for (int x = area.left(); x <= area.right(); ++x) line[x] ^= 0x00FFFFFFu;
    } else {
      std::fill(line + area.left(), line + area.right() + 1, rgb);
    }
  }
  UpdatePictureArea(area);
}

void PictureBox::FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) {
  // Inverted blocks cancel where they overlap, so only painting has a
  // shortcut; it writes the scanlines and asks for one repaint of the row.
  if (drawMode_ == DrawMode::Invert) {
    RenderSurface::FillBlockRow(top, bottom, step, extent, colours);
    return;
  }
  QImage& image = Image();
  const int first = std::max(top, 0);
  const int last = std::min(bottom, image.height() - 1);
  if (first > last || image.width() == 0) return;
  blockRgbs_.resize(colours.size());
  std::transform(colours.begin(), colours.end(), blockRgbs_.begin(), ToRgb);
  const auto width = static_cast<std::size_t>(image.width());
  const std::span<QRgb> line(reinterpret_cast<QRgb*>(image.scanLine(first)), width);
  ComposeBlockLine(line, step, extent, std::span<const QRgb>(blockRgbs_));
  for (int y = first + 1; y <= last; ++y) std::copy(line.begin(), line.end(), reinterpret_cast<QRgb*>(image.scanLine(y)));
  UpdatePictureArea(QRect(0, first, image.width(), last - first + 1));
}

void PictureBox::DrawLine(double x1, double y1, double x2, double y2, std::int32_t colour) {
  const QRect clip = Image().rect();
  PixelMask mask(clip.intersected(QRect(QPoint(Nearest(std::min(x1, x2)), Nearest(std::min(y1, y2))),
                                        QPoint(Nearest(std::max(x1, x2)), Nearest(std::max(y1, y2))))
                                      .adjusted(-drawWidth_, -drawWidth_, drawWidth_, drawWidth_)));
  mask.Line(Nearest(x1), Nearest(y1), Nearest(x2), Nearest(y2), drawWidth_);
  Apply(mask, colour);
  currentPoint_ = {x2, y2};
}

void PictureBox::DrawLineTo(double x, double y, std::int32_t colour) {
  DrawLine(currentPoint_.x(), currentPoint_.y(), x, y, colour);
}

void PictureBox::SetPixel(double x, double y, std::int32_t colour) {
  PixelMask mask(Image().rect().intersected(QRect(Nearest(x), Nearest(y), 1, 1)));
  mask.SetPixel(Nearest(x), Nearest(y));
  Apply(mask, colour);
  currentPoint_ = {x, y};
}

void PictureBox::DrawRectangleOutline(double x1, double y1, double x2, double y2, std::int32_t colour) {
  const QRect corners(QPoint(Nearest(std::min(x1, x2)), Nearest(std::min(y1, y2))),
                      QPoint(Nearest(std::max(x1, x2)), Nearest(std::max(y1, y2))));
  PixelMask mask(Image().rect().intersected(corners));
  mask.RectangleOutline(Nearest(x1), Nearest(y1), Nearest(x2), Nearest(y2), drawWidth_);
  Apply(mask, colour);
  currentPoint_ = {x2, y2};
}

void PictureBox::CopyPictureTo(PictureBox& target) const {
  QImage& destination = target.Image();
  destination.fill(ToRgb(target.backColour_));
  QPainter painter(&destination);
  painter.drawImage(0, 0, Image());
  painter.end();
  target.update();
}

std::optional<std::string> PictureBox::SavePicture(const std::string& path) const {
  const QImage& image = Image();
  const QSize inside = PictureSize();
  // Qt leaves the picture empty when it did not fit in memory.
  if (image.isNull() && !inside.isEmpty())
    return "not enough memory for a " + std::to_string(inside.width()) + "\u00D7" + std::to_string(inside.height()) +
           " picture";
  return SaveImageSafely(image, path, "BMP");
}

InvertedShape* PictureBox::AddLineShape(int penWidth) {
  auto* shape = new InvertedShape(InvertedShape::Kind::Line, penWidth, this);
  connect(shape, &InvertedShape::Changed, this, &PictureBox::UpdatePictureArea);
  shapes_.push_back(shape);
  return shape;
}

InvertedShape* PictureBox::AddRectangleShape(int penWidth) {
  auto* shape = new InvertedShape(InvertedShape::Kind::Rectangle, penWidth, this);
  connect(shape, &InvertedShape::Changed, this, &PictureBox::UpdatePictureArea);
  shapes_.push_back(shape);
  return shape;
}

void PictureBox::InvertShapes(QImage& part, const QRect& area) const {
  for (const InvertedShape* shape : shapes_) {
    if (!shape->IsVisible()) continue;
    const QRect clip = area.intersected(shape->Bounds());
    if (clip.isEmpty()) continue;
    PixelMask mask(clip);
    shape->Rasterise(mask);
    mask.InvertOver(part, area.topLeft());
  }
}

QImage PictureBox::ComposedPicture() const {
  QImage composed = Image().copy();
  InvertShapes(composed, composed.rect());
  return composed;
}

void PictureBox::paintEvent(QPaintEvent* event) {
  const QRect inside = contentsRect();
  const QRect area = ToPictureArea(event->rect().intersected(inside).translated(-inside.topLeft())).intersected(Image().rect());
  QPainter painter(this);
  if (!area.isEmpty()) {
    QImage part = Image().copy(area);
    InvertShapes(part, area);
    const double ratio = PixelRatio();
    part.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(area.topLeft()) / ratio + QPointF(inside.topLeft()), part);
  }
  painter.end();
  QFrame::paintEvent(event);
}

QPointF PictureBox::ToInside(const QPointF& widgetPosition) const {
  return (widgetPosition - QPointF(contentsRect().topLeft())) * PixelRatio();
}

// ---------------------------------------------------------------- device pixels

void PictureBox::SetDevicePixels(bool enabled) {
  devicePixels_ = enabled;
  update();
}

double PictureBox::PixelRatio() const { return devicePixels_ ? devicePixelRatioF() : 1.0; }

QSize PictureBox::PictureSize() const {
  const QSize inside = contentsRect().size().expandedTo(QSize(0, 0));
  const double ratio = PixelRatio();
  if (ratio == 1.0) return inside;
  // Rounded up, so that a fractional scale leaves no logical pixel unpainted.
  return {static_cast<int>(std::ceil(inside.width() * ratio - 1e-9)),
          static_cast<int>(std::ceil(inside.height() * ratio - 1e-9))};
}

QRect PictureBox::ToPictureArea(const QRect& logicalArea) const {
  const double ratio = PixelRatio();
  if (ratio == 1.0 || logicalArea.isEmpty()) return logicalArea;
  const int left = static_cast<int>(std::floor(logicalArea.left() * ratio));
  const int top = static_cast<int>(std::floor(logicalArea.top() * ratio));
  const int right = static_cast<int>(std::ceil((logicalArea.right() + 1) * ratio));
  const int bottom = static_cast<int>(std::ceil((logicalArea.bottom() + 1) * ratio));
  return {left, top, right - left, bottom - top};
}

QRect PictureBox::ToLogicalArea(const QRect& pictureArea) const {
  const double ratio = PixelRatio();
  if (ratio == 1.0 || pictureArea.isEmpty()) return pictureArea;
  const int left = static_cast<int>(std::floor(pictureArea.left() / ratio));
  const int top = static_cast<int>(std::floor(pictureArea.top() / ratio));
  const int right = static_cast<int>(std::ceil((pictureArea.right() + 1) / ratio));
  const int bottom = static_cast<int>(std::ceil((pictureArea.bottom() + 1) / ratio));
  return {left, top, right - left, bottom - top};
}

void PictureBox::ScrollPicture(int dx, int dy) {
  QImage& image = Image();
  const QImage before = image.copy();
  image.fill(ToRgb(backColour_));
  QPainter painter(&image);
  painter.drawImage(dx, dy, before);
  painter.end();
  update();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(event->button(), ToInside(event->position()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) { emit MouseMoved(event->buttons(), ToInside(event->position())); }

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseReleased(event->button(), ToInside(event->position()));
}
