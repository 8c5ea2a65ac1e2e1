#include "Readouts.h"

#include <cmath>
#include <cstdio>

QString FormatMagnification(double zoomFactor) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2E", std::floor(zoomFactor * 100) / 100);
  return QString::fromLatin1(text) + QLatin1Char('X');
}

namespace {

// Fifteen significant digits, switching to exponent form for very small and
// very large magnitudes; adding 0.0 turns a negative zero into "0".
QString General(double value) { return QString::number(value + 0.0, 'g', 15); }

}  // namespace

QString FormatCoordinates(double virtualX, double virtualY) {
  return QStringLiteral("R: ") + General(virtualX) + QStringLiteral("\n I: ") + General(-virtualY);
}
