#include "Readouts.h"

#include <cmath>
#include <cstdio>

std::string FormatMagnification(double zoomFactor) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2E", std::floor(zoomFactor * 100) / 100);
  return std::string(text) + "X";
}

namespace {

// Fifteen significant digits, switching to exponent form for very small and
// very large magnitudes; adding 0.0 turns a negative zero into "0".
std::string General(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value + 0.0);
  return text;
}

}  // namespace

std::string FormatCoordinates(double virtualX, double virtualY) {
  return "R: " + General(virtualX) + "\n I: " + General(-virtualY);
}
