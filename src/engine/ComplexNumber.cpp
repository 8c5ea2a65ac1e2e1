#include "ComplexNumber.h"

ComplexNumber ComplexAdd(ComplexNumber a, ComplexNumber b) {
  return {a.real + b.real, a.imaginary + b.imaginary};
}

ComplexNumber ComplexSquare(ComplexNumber z) {
  const double realSquared = z.real * z.real;
  const double imaginarySquared = z.imaginary * z.imaginary;
  const double cross = z.real * z.imaginary;
  return {realSquared - imaginarySquared, cross * 2.0};
}

double ComplexMagnitudeSquared(ComplexNumber z) {
  const double realSquared = z.real * z.real;
  const double imaginarySquared = z.imaginary * z.imaginary;
  return realSquared + imaginarySquared;
}
