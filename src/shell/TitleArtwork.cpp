#include "TitleArtwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "PictureBox.h"

namespace {

void DrawStaff(QPainter& painter, double left, double right, double top, double spacing) {
  painter.setPen(QPen(QColor(40, 40, 60), 1));
  for (int line = 0; line < 5; ++line) painter.drawLine(QPointF(left, top + line * spacing), QPointF(right, top + line * spacing));
}

// A treble clef from a few Bézier curves: the spiral round the G line, the
// stem rising into its loop, and the hooked tail below the staff.
void DrawTrebleClef(QPainter& painter, double x, double gLine, double spacing) {
  const double s = spacing;
  QPainterPath clef;
  clef.moveTo(x + 0.2 * s, gLine);
  clef.cubicTo(x + 1.0 * s, gLine - 0.6 * s, x + 1.2 * s, gLine + 0.9 * s, x + 0.2 * s, gLine + 1.0 * s);
  clef.cubicTo(x - 1.3 * s, gLine + 1.0 * s, x - 1.3 * s, gLine - 1.2 * s, x + 0.0 * s, gLine - 2.0 * s);
  clef.cubicTo(x + 1.1 * s, gLine - 2.8 * s, x + 1.0 * s, gLine - 4.6 * s, x + 0.3 * s, gLine - 4.8 * s);
  clef.cubicTo(x - 0.4 * s, gLine - 4.6 * s, x - 0.3 * s, gLine - 3.2 * s, x + 0.0 * s, gLine - 1.0 * s);
  clef.lineTo(x + 0.4 * s, gLine + 2.2 * s);
  clef.cubicTo(x + 0.5 * s, gLine + 3.0 * s, x - 0.5 * s, gLine + 3.2 * s, x - 0.6 * s, gLine + 2.5 * s);
  painter.setPen(QPen(QColor(20, 20, 40), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(clef);
  painter.setBrush(QColor(20, 20, 40));
  painter.drawEllipse(QPointF(x - 0.5 * s, gLine + 2.4 * s), 0.35 * s, 0.35 * s);
}

void DrawNote(QPainter& painter, double x, double y, double spacing, bool stemUp) {
  painter.save();
  painter.translate(x, y);
  painter.rotate(-20);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 20, 40));
  painter.drawEllipse(QPointF(0, 0), 0.65 * spacing, 0.45 * spacing);
  painter.restore();
  painter.setPen(QPen(QColor(20, 20, 40), 1));
  const double stemX = stemUp ? x + 0.6 * spacing : x - 0.6 * spacing;
  painter.drawLine(QPointF(stemX, y), QPointF(stemX, stemUp ? y - 3.3 * spacing : y + 3.3 * spacing));
}

}  // namespace

QImage TitleArtwork::FractalPicture(const QSize& size, double centerX, double viewWidth) {
  MemorySurface surface(size.width(), size.height());
  FractalRenderer renderer;
  renderer.Initialize(surface);
  renderer.SetMaxIterations(64);
  renderer.WindowSet(centerX, 0.0, viewWidth);
  renderer.Redraw(false);
  while (renderer.RendererCallback()) {
  }
  QImage picture(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) picture.setPixel(x, y, PictureBox::ToRgb(surface.Pixel(x, y)));
  return picture;
}

QImage TitleArtwork::Artwork() {
  QImage artwork(kArtworkSize, QImage::Format_RGB32);
  artwork.fill(Qt::white);
  QPainter painter(&artwork);
  painter.setRenderHint(QPainter::Antialiasing);

  // The set, faded towards white like an old print, on the right-hand side.
  painter.setOpacity(0.35);
  painter.drawImage(QPoint(70, 0), FractalPicture(QSize(212, 179), -0.65, 3.0));
  painter.setOpacity(1.0);
  QLinearGradient fade(QPointF(70, 0), QPointF(140, 0));
  fade.setColorAt(0, Qt::white);
  fade.setColorAt(1, QColor(255, 255, 255, 0));
  painter.fillRect(QRectF(70, 0, 70, 179), fade);

  const double spacing = 6;
  const double staffTop = 122;
  DrawStaff(painter, 10, 272, staffTop, spacing);
  DrawTrebleClef(painter, 24, staffTop + 3 * spacing, spacing);
  // A rising and falling phrase: positions in half staff spaces below the top line.
  const std::array<int, 9> steps{7, 5, 4, 2, 3, 1, 4, 6, 8};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const double y = staffTop + steps[i] * spacing / 2;
    DrawNote(painter, 58 + 24.0 * i, y, spacing, steps[i] >= 4);
  }
  painter.setPen(QPen(QColor(20, 20, 40), 1.5));
  painter.drawLine(QPointF(271, staffTop), QPointF(271, staffTop + 4 * spacing));

  // Script lettering: a slanted serif italic with a soft shadow.
  QFont lettering(QStringLiteral("DejaVu Serif"));
  lettering.setItalic(true);
  lettering.setBold(true);
  lettering.setPixelSize(50);
  painter.setFont(lettering);
  painter.setTransform(QTransform().shear(-0.25, 0), true);
  const QRectF nameArea(40, 20, 260, 80);
  painter.setPen(QColor(255, 255, 255, 200));
  painter.drawText(nameArea.translated(2, 2), Qt::AlignCenter, QStringLiteral("Quillory"));
  painter.setPen(QColor(60, 30, 110));
  painter.drawText(nameArea, Qt::AlignCenter, QStringLiteral("Quillory"));
  return artwork;
}

QImage TitleArtwork::CreditStrip() {
  QImage strip(kCreditSize, QImage::Format_ARGB32);
  strip.fill(Qt::transparent);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(10);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(strip.rect(), Qt::AlignCenter, QStringLiteral("Fractal explorer and composer  \u00b7  version 0.1"));
  return strip;
}

QIcon TitleArtwork::ProgramIcon() {
  QIcon icon;
  for (int side : {16, 32, 64, 128}) icon.addPixmap(QPixmap::fromImage(IconPicture(side)));
  return icon;
}

QImage TitleArtwork::IconPicture(int side) {
  QImage icon(side, side, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath tile;
  const double corner = side / 6.0;
  tile.addRoundedRect(QRectF(0, 0, side, side), corner, corner);
  painter.setClipPath(tile);
  painter.drawImage(0, 0, FractalPicture(QSize(side, side), -0.6, 3.0));
  painter.setClipping(false);
  // Too small for a legible note below 32 pixels; the set alone reads there.
  if (side >= 32) {
    const double unit = side / 16.0;
    painter.setPen(QPen(QColor(255, 255, 255, 235), 0.9 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawLine(QPointF(12.2 * unit, 3 * unit), QPointF(12.2 * unit, 11.5 * unit));
    QPainterPath flag;
    flag.moveTo(12.2 * unit, 3 * unit);
    flag.cubicTo(13.2 * unit, 4.8 * unit, 15 * unit, 5.2 * unit, 14.2 * unit, 7.6 * unit);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flag);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.translate(10.8 * unit, 12 * unit);
    painter.rotate(-25);
    painter.drawEllipse(QPointF(0, 0), 1.7 * unit, 1.2 * unit);
  }
  return icon;
}
