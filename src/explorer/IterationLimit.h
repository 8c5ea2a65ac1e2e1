#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The checks and arithmetic of the iteration limit that the main window's
// iteration box and its halve and double buttons apply.
namespace IterationLimit {

inline constexpr std::int32_t kSmallest = 1;
inline constexpr std::int32_t kLargest = 131072;

struct Entry {
  std::string text;     // what the box shows: as typed, or the bound it was clamped to
  std::int32_t limit;   // the limit to set: the number, nearest integer, ties to even
};

// nullopt when the text is not a number (then the box gets the current
// limit back and nothing else happens).
std::optional<Entry> CheckTyped(const std::string& typed);

// Half, rounded to the nearest integer with ties to even: 1 gives 0, 3 gives
// 2, 5 gives 2. There is no lower bound.
std::int32_t Halved(std::int32_t limit);
// Twice the limit; a limit whose double would not fit 32 bits stays as it is.
std::int32_t Doubled(std::int32_t limit);

// The box's text as the limit handed to the Melodizer: nearest whole number,
// ties to even. Text that is no number gives 0, which the Melodizer raises
// to its own minimum.
std::int32_t FromText(const std::string& text);

}  // namespace IterationLimit
