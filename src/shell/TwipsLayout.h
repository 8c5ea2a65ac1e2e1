#pragma once

#include <QFont>
#include <QRect>
#include <QString>

// The windows' designs give positions in twips, 15 to the pixel at 96 dots
// per inch, and their fonts by the names of old Windows faces.
namespace twips {

constexpr int Pixels(int twips) { return twips / 15; }

inline QRect Rect(int left, int top, int width, int height) {
  return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

// DejaVu Sans stands in for Tahoma and MS Sans Serif, 8.25 point. Its
// condensed face runs about as wide as Tahoma, so captions sized for Tahoma
// still fit their labels.
inline QFont DialogFont() {
  // Named by family as well as stretch: fontconfig does not always pick the
  // condensed face from the stretch alone.
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
  font.setPointSizeF(8.25);
  font.setStretch(QFont::Condensed);
  return font;
}

}  // namespace twips
