#include "MountainCurve.h"

#include <algorithm>
#include <cmath>

#include "TypedValues.h"

std::int16_t FlatteningOfBar(int barValue) {
  // Off the bar's range the exponent would grow without bound (or divide by 0).
  return static_cast<std::int16_t>(180 - std::clamp(barValue, 20, 160));
}

double TraceLine(double a, double b, std::int16_t flattening) {
  const double exponent = 1.0 / (flattening / 20.0);
  return std::pow(a, exponent) / std::pow(b, exponent);
}

double CountHeight(std::int32_t count, std::int32_t limit, std::int16_t flattening, double pictureHeight) {
  const double exponent = 20.0 / flattening;
  const double ratio =
      std::pow(static_cast<double>(count), exponent) / std::pow(static_cast<double>(limit), exponent);
  return ratio * pictureHeight;
}

std::vector<PicturePoint> MountainCurvePoints(double width, double height, std::int16_t flattening) {
  std::vector<PicturePoint> points{{0.0, height}};
  const std::int32_t last = Nearest(width);
  for (std::int32_t x = 0; x <= last; x += 2)
    points.push_back({static_cast<double>(x), height - 1 - height * TraceLine(x, width, flattening)});
  return points;
}
