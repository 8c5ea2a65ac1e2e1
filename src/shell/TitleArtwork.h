#pragma once

#include <QIcon>
#include <QImage>

// The pictures of the title window and the program's icon, drawn at start-up
// from the fractal engine and QPainter rather than kept as image files.
class TitleArtwork {
 public:
  static constexpr QSize kArtworkSize{282, 179};
  static constexpr QSize kCreditSize{282, 17};

  // The program's name in script lettering over a faded Mandelbrot set, a
  // treble clef and a line of music notation.
  static QImage Artwork();
  // One line of black text on a transparent background.
  static QImage CreditStrip();
  static QIcon ProgramIcon();
  // The icon at one size: the set in a rounded tile with a note over it.
  static QImage IconPicture(int side);

 private:
  static QImage FractalPicture(const QSize& size, double centerX, double viewWidth);
};
