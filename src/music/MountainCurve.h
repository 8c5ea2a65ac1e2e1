#pragma once

#include <cstdint>
#include <vector>

// The flattening curve that maps a count's fraction of the limit onto a
// height. The "Mountain Flattening" bar runs from 20 (top) to 160 (bottom);
// flattening is 180 minus its value, so it is never 0.
std::int16_t FlatteningOfBar(int barValue);

// a^(20/flattening) / b^(20/flattening), each power taken separately, the
// exponent computed as 1 / (flattening / 20).
double TraceLine(double a, double b, std::int16_t flattening);

// The height, from 0 to pictureHeight, of an escape count under a limit:
// (count^e / limit^e) * pictureHeight with e = 20 / flattening. A point that
// never escapes (count = limit) reaches the top whatever the flattening.
double CountHeight(std::int32_t count, std::int32_t limit, std::int16_t flattening, double pictureHeight);

struct PicturePoint {
  double x = 0.0;
  double y = 0.0;
};

// The red curve of the mountain picture, from its bottom-left corner, as the
// polyline DrawMountain joins (over the white diagonal from (0, height) to
// (width, 0)).
std::vector<PicturePoint> MountainCurvePoints(double width, double height, std::int16_t flattening);
