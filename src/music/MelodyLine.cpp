#include "MelodyLine.h"

#include <cmath>

#include "TypedValues.h"

MelodyLine MelodyLine::Through(ComplexNumber first, ComplexNumber second, std::int32_t steps) {
  MelodyLine line;
  line.re1 = first.real;
  line.im1 = first.imaginary;
  line.re2 = second.real;
  line.im2 = second.imaginary;
  line.dx = line.re2 - line.re1;
  line.dy = line.im2 - line.im1;
  line.vertical = line.dx == 0.0;
  if (!line.vertical) {
    line.slope = line.dy / line.dx;
    line.intercept = line.im1 - line.re1 * line.slope;
  }
  line.steps = steps;
  line.dxStep = line.dx / steps;
  return line;
}

ComplexNumber MelodyLine::SamplePoint(double p, int k, ComplexNumber firstPointNow) const {
  if (vertical) return {firstPointNow.real, firstPointNow.imaginary + (dy / steps) * p};
  const std::int32_t index = Nearest(std::ldexp(1.0, k) * p) % steps;
  const double re = firstPointNow.real + index * dxStep;
  return {re, re * slope + intercept};
}

std::int32_t StepsOfMeasures(double measures) { return Nearest(measures * 8.0); }
