#pragma once

#include <cstdint>

#include "ComplexNumber.h"

// Everything an escape count depends on besides the point itself.
struct EscapeParameters {
  bool isJulia = false;
  ComplexNumber juliaPoint{};
  std::int32_t maxIterations = 0;
};

// The constant added at every step, in both fractal types.
inline constexpr ComplexNumber kStepOffset{0.001, 0.001};

// z^2 + c + stepOffset, added in that order.
ComplexNumber FractalStep(ComplexNumber z, ComplexNumber c);

// The reference escape count: the first step at which |z|^2 exceeds 4, or the
// cap when the orbit stays inside; never below 1. Faster counters must agree
// with it on every point.
std::int32_t EscapeCount(const EscapeParameters& parameters, ComplexNumber point);
