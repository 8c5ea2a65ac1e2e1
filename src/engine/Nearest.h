#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// Every conversion from floating point to an integer in the program: the
// nearest integer, a tie going to the even one (the floating-point unit's
// default rounding, which std::nearbyint follows; std::round would not).
// Values past the integer's range saturate and NaN gives 0, so no
// conversion is ever undefined.
template <typename Integer = std::int32_t>
Integer Nearest(double value) {
  constexpr double kLowest = std::numeric_limits<Integer>::min();
  constexpr double kHighest = std::numeric_limits<Integer>::max();
  if (std::isnan(value)) return 0;
  return static_cast<Integer>(std::clamp(std::nearbyint(value), kLowest, kHighest));
}
