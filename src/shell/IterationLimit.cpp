#include "IterationLimit.h"

#include <cmath>
#include <limits>

namespace IterationLimit {

std::optional<Entry> CheckTyped(const QString& typed) {
  bool isNumber = false;
  const double value = typed.trimmed().toDouble(&isNumber);
  if (!isNumber || !std::isfinite(value)) return std::nullopt;
  if (value < kSmallest) return Entry{QString::number(kSmallest), kSmallest};
  if (value > kLargest) return Entry{QString::number(kLargest), kLargest};
  return Entry{typed, static_cast<std::int32_t>(std::nearbyint(value))};
}

std::int32_t Halved(std::int32_t limit) { return static_cast<std::int32_t>(std::nearbyint(limit / 2.0)); }

std::int32_t Doubled(std::int32_t limit) {
  const double doubled = limit * 2.0;
  if (doubled > std::numeric_limits<std::int32_t>::max() || doubled < std::numeric_limits<std::int32_t>::min())
    return limit;
  return static_cast<std::int32_t>(doubled);
}

}  // namespace IterationLimit
