// libFuzzer entry for the numbers typed into the windows' boxes: every check
// must land inside its bounds, keep what it produced, and read back its own
// text unchanged.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "IterationLimit.h"
#include "Nearest.h"
#include "TypedValues.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// A check's text is a number within its bounds, and checking it again keeps it.
void CheckBounded(std::string (*check)(std::string_view), std::string_view typed, double lowest, double highest) {
  const std::string text = check(typed);
  const auto value = ParseNumber(text);
  Require(value && *value >= lowest && *value <= highest);
  Require(check(text) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view typed(reinterpret_cast<const char*>(data), size);
  if (const auto value = ParseNumber(typed)) {
    Require(std::isfinite(*value));
    const std::string shown = FormatNumber(*value);
    const auto reread = ParseNumber(shown);
    Require(reread && FormatNumber(*reread) == shown);
    const std::int32_t nearest = Nearest<std::int32_t>(*value);
    Require(std::fabs(nearest - *value) <= 0.5 || nearest == INT32_MAX || nearest == INT32_MIN);
  }
  CheckBounded(CheckMeasures, typed, 1, 100);
  CheckBounded(CheckMaxIterations, typed, 32, 65536);
  CheckBounded(CheckTempo, typed, 30, 400);
  CheckBounded(CheckOrbitPart, typed, -2, 2);
  const ConvergeAnswer answer = ReadConvergeAnswer(typed);
  Require(!answer.notes || (*answer.notes >= 1 && *answer.notes <= 16000));
  Require(!(answer.notes && answer.tooLarge));

  if (const auto entry = IterationLimit::CheckTyped(std::string(typed))) {
    Require(entry->limit >= IterationLimit::kSmallest && entry->limit <= IterationLimit::kLargest);
    Require(IterationLimit::Halved(entry->limit) <= entry->limit);
    Require(IterationLimit::Doubled(entry->limit) >= entry->limit);
  }
  return 0;
}
