#include "PassSchedule.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr std::int16_t kDraftBlockSize = 2;

// Ties go to the even integer, as the floating-point unit converts by default.
std::int16_t NearestQuarter(int edge) { return static_cast<std::int16_t>(std::nearbyint(edge / 4.0)); }

}  // namespace

PassPosition FirstPass(int width, bool draft) {
  if (draft) return {0, kDraftBlockSize, 1, 1};
  PassPosition position;
  position.currentPass = 2;
  // One pass per power of four in the width: the fourth root, cut down.
  position.passCount = static_cast<std::int16_t>(std::floor(std::pow(static_cast<double>(width), 0.25)));
  position.blockSize = NearestQuarter(width);
  return position;
}

PassPosition NextPass(PassPosition position) {
  ++position.currentPass;
  position.currentRow = 0;
  position.blockSize = NearestQuarter(position.blockSize);
  if (position.currentPass == position.passCount) position.blockSize = 1;
  // Wide surfaces can divide their edge down to nothing before the pass
  // count runs out (7680: ... 8, 2, 0); such a pass draws single pixels, so
  // it is the per-pixel pass, and a render never steps by 0.
  if (position.blockSize < 1 && position.currentPass < position.passCount) position.blockSize = 1;
  // A pass that reaches single pixels is the last one, whatever its number.
  if (position.blockSize == 1) position.currentPass = position.passCount;
  return position;
}

bool AdvanceRow(PassPosition& position, double height) {
  // Summed wider than the row counter, so a row near the 16-bit limit ends
  // its pass instead of wrapping to a negative row.
  // Rows past the 16-bit range cannot be addressed; a taller surface ends
  // its passes there.
  const int nextRow = position.currentRow + position.blockSize;
  if (nextRow >= height || nextRow > INT16_MAX) {
    position = NextPass(position);
    return true;
  }
  position.currentRow = static_cast<std::int16_t>(nextRow);
  return false;
}

double ProgressBeforeRow(const PassPosition& position, double height) {
  return static_cast<double>(position.currentRow + position.blockSize) / height;
}
