#pragma once

// The complex arithmetic of the iteration step. Each operation is written out
// as its own expression so the compiler cannot merge a product into a sum.
struct ComplexNumber {
  double real = 0.0;
  double imaginary = 0.0;
};

ComplexNumber ComplexAdd(ComplexNumber a, ComplexNumber b);
ComplexNumber ComplexSquare(ComplexNumber z);
double ComplexMagnitudeSquared(ComplexNumber z);
