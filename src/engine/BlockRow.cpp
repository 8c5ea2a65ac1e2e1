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
  reals.clear();
  for (int x = 0; x <= settings.width; x += step) {
    // Summed in full integers: near the 16-bit limit a short sum would wrap.
    const int centreX = Nearest((x + (x + extent)) / 2.0);
    reals.push_back(settings.windowLeft + centreX * settings.pixelSize);
  }
  const int centreY = Nearest((row + (row + extent)) / 2.0);
  return settings.windowTop + centreY * settings.pixelSize;
}
