#pragma once

#include <string>

// The magnification box's text: floor(zoomFactor * 100) / 100 in scientific
// notation with two decimals and a signed two-digit exponent, then "X"
// (1 reads 1.00E+00X, 123 reads 1.23E+02X).
std::string FormatMagnification(double zoomFactor);

// The coordinate readout: the real part, a line break, and the imaginary
// part with its sign turned, since rows grow downwards while the imaginary
// axis points up.
std::string FormatCoordinates(double virtualX, double virtualY);
