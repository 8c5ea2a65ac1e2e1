#pragma once

#include <cstdint>

// Which set a renderer draws. The values are the ones stored in the bookmark
// table and passed on as numbers.
enum class FractalType : std::int16_t { Mandelbrot = 0, Julia = 1 };
