#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Nearest.h"

// The rules for values typed into the music windows' boxes. The windows apply
// them when a box loses the focus; the headless commands check their options
// against the same rules, so both always agree on what a value means.

// An ordinary decimal number, blanks around it allowed ("1.5", "-2e-3").
std::optional<double> ParseNumber(std::string_view text);
// A number parsed, or 0 for anything else, as the point boxes are read.
double NumberOrZero(std::string_view text);
// General decimal text with up to 15 significant digits, as the boxes show
// numbers; ParseNumber reads it back to the same text.
std::string FormatNumber(double value);

// Each check returns the text the box holds afterwards.
std::string CheckMeasures(std::string_view text);       // whole 1..100, fallback "20"
std::string CheckMaxIterations(std::string_view text);  // 32..65536, fallback "32"
std::string CheckTempo(std::string_view text);          // 30..400, fallback "80"
std::string CheckOrbitPart(std::string_view text);      // -2..2, fallback "0"

// Milliseconds between positions while a melody plays: a quarter of a beat.
std::int32_t PositionInterval(double tempo);

// The number of orbit notes an answer to the Orbiter's "appears to converge"
// question stands for: a number rounded and kept to 1..16000, or nothing when
// the answer is not a number (the caller then explains and uses 200).
// A number outside the 32-bit range is refused as well, with tooLarge set.
struct ConvergeAnswer {
  std::optional<std::int32_t> notes;
  bool tooLarge = false;
};
ConvergeAnswer ReadConvergeAnswer(std::string_view answer);
