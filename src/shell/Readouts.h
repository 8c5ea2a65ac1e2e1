#pragma once

#include <QString>

// The magnification box's text: floor(zoomFactor * 100) / 100 in scientific
// notation with two decimals and a signed two-digit exponent, then "X"
// (1 reads 1.00E+00X, 123 reads 1.23E+02X).
QString FormatMagnification(double zoomFactor);

// The coordinate readout: the real part, a line break, and the imaginary
// part with its sign turned, since rows grow downwards while the imaginary
// axis points up.
QString FormatCoordinates(double virtualX, double virtualY);
