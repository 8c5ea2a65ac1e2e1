#pragma once

#include <cstdint>

#include "ComplexNumber.h"

// The line a melody walks, fixed when a run starts. Only the first point is
// read afresh at each position (the window's boxes may change during a run),
// so SamplePoint takes it as an argument.
struct MelodyLine {
  double re1 = 0.0;
  double im1 = 0.0;
  double re2 = 0.0;
  double im2 = 0.0;
  double dx = 0.0;
  double dy = 0.0;
  bool vertical = true;
  double slope = 0.0;
  double intercept = 0.0;
  std::int32_t steps = 1;  // the run has positions 0..steps
  double dxStep = 0.0;

  // steps must be at least 1.
  static MelodyLine Through(ComplexNumber first, ComplexNumber second, std::int32_t steps);

  // The point level k samples at position p. On a slanted line level k runs
  // over it 2^k times per run, restarting at the first point each time.
  ComplexNumber SamplePoint(double p, int k, ComplexNumber firstPointNow) const;
  ComplexNumber SamplePoint(double p, int k) const { return SamplePoint(p, k, {re1, im1}); }
};

// The number of positions of a run of this many measures: eight per measure.
std::int32_t StepsOfMeasures(double measures);
