#pragma once

#include <cstdint>
#include <string>

// One row of tblBookmarks: a named view of a fractal, in the renderer's own
// coordinates (the imaginary part grows downwards on the screen).
struct Bookmark {
  std::string name;
  double centerX = 0.0;
  double centerY = 0.0;
  double windowWidth = 0.0;
  std::int32_t maxIterations = 0;
  std::int16_t fractalType = 0;  // 0 Mandelbrot, 1 Julia
  // The Julia constant. Mandelbrot rows leave the columns empty; they read as 0.
  double x1 = 0.0;
  double y1 = 0.0;

  bool operator==(const Bookmark&) const = default;
};
