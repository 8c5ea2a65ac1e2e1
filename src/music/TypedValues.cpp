#include "TypedValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

double NumberOrZero(std::string_view text) { return ParseNumber(text).value_or(0.0); }

std::string FormatNumber(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

std::string CheckMeasures(std::string_view text) {
  const double value = std::floor(ParseNumber(text).value_or(20.0) + 0.5);
  return FormatNumber(std::clamp(value, 1.0, 100.0));
}

std::string CheckMaxIterations(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value || *value < 32) return "32";
  if (*value > 65536) return "65536";
  return std::string(text);
}

std::string CheckTempo(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value) return "80";
  if (*value < 30) return "30";
  if (*value > 400) return "400";
  return std::string(text);
}

std::string CheckOrbitPart(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value) return "0";
  if (*value > 2) return "2";
  if (*value < -2) return "-2";
  return std::string(text);
}

std::int32_t PositionInterval(double tempo) { return Nearest(60000.0 / tempo / 4.0); }

ConvergeAnswer ReadConvergeAnswer(std::string_view answer) {
  const auto value = ParseNumber(answer);
  if (!value) return {};
  const double rounded = std::nearbyint(*value);
  if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
    return {std::nullopt, true};
  return {std::clamp(static_cast<std::int32_t>(rounded), 1, 16000), false};
}
