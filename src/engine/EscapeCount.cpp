#include "EscapeCount.h"

ComplexNumber FractalStep(ComplexNumber z, ComplexNumber c) {
  return ComplexAdd(ComplexAdd(ComplexSquare(z), c), kStepOffset);
}

std::int32_t EscapeCount(const EscapeParameters& parameters, ComplexNumber point) {
  ComplexNumber z = parameters.isJulia ? point : ComplexNumber{};
  const ComplexNumber c = parameters.isJulia ? parameters.juliaPoint : point;
  z = FractalStep(z, c);
  std::int32_t count = 1;
  if (ComplexMagnitudeSquared(z) > 4.0) return count;
  while (count < parameters.maxIterations) {
    ++count;
    z = FractalStep(z, c);
    if (ComplexMagnitudeSquared(z) > 4.0) return count;
  }
  return count;
}
