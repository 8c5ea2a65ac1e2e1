#include "BlockRow.h"

#include <bit>
#include <cmath>

namespace {

int Nearest(double value) { return static_cast<int>(std::nearbyint(value)); }

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

bool BlockRowSettings::SameAs(const BlockRowSettings& other) const {
  return parameters.isJulia == other.parameters.isJulia &&
         SameBits(parameters.juliaPoint.real, other.parameters.juliaPoint.real) &&
         SameBits(parameters.juliaPoint.imaginary, other.parameters.juliaPoint.imaginary) &&
         parameters.maxIterations == other.parameters.maxIterations && SameBits(windowLeft, other.windowLeft) &&
         SameBits(windowTop, other.windowTop) && SameBits(pixelSize, other.pixelSize) && width == other.width &&
         blockSize == other.blockSize && SameBits(height, other.height);
}

double BlockRowPoints(const BlockRowSettings& settings, int row, std::vector<double>& reals) {
  const int step = settings.Step();
  const int extent = settings.Extent();
  reals.resize(settings.BlockCount());
  // An even extent puts the centre on a whole pixel; an odd one halfway,
  // where the rounding goes to the even pixel. Sums are in full integers:
  // near the 16-bit limit a short sum would wrap.
  const bool halfway = extent % 2 != 0;
  int x = 0;
  for (double& real : reals) {
    const int centreX = halfway ? Nearest((x + (x + extent)) / 2.0) : x + extent / 2;
    real = settings.windowLeft + centreX * settings.pixelSize;
    x += step;
  }
  return BlockRowImaginary(settings, row);
}

double BlockRowImaginary(const BlockRowSettings& settings, int row) {
  const int centreY = Nearest((row + (row + settings.Extent())) / 2.0);
  return settings.windowTop + centreY * settings.pixelSize;
}
