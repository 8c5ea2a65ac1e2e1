#include "IterationLimit.h"

#include <limits>

#include "Nearest.h"
#include "TypedValues.h"

namespace IterationLimit {

std::optional<Entry> CheckTyped(const std::string& typed) {
  const auto value = ParseNumber(typed);
  if (!value) return std::nullopt;
  if (*value < kSmallest) return Entry{std::to_string(kSmallest), kSmallest};
  if (*value > kLargest) return Entry{std::to_string(kLargest), kLargest};
  return Entry{typed, Nearest(*value)};
}

std::int32_t Halved(std::int32_t limit) { return Nearest(limit / 2.0); }

std::int32_t Doubled(std::int32_t limit) {
  const double doubled = limit * 2.0;
  if (doubled > std::numeric_limits<std::int32_t>::max() || doubled < std::numeric_limits<std::int32_t>::min())
    return limit;
  return static_cast<std::int32_t>(doubled);
}

std::int32_t FromText(const std::string& text) { return Nearest(ParseNumber(text).value_or(0.0)); }

}  // namespace IterationLimit
