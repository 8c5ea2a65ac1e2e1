#include "Arguments.h"

#include <charconv>
#include <cmath>
#include <limits>

std::optional<double> ParseDouble(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<ComplexNumber> ParsePoint(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto real = ParseDouble(text.substr(0, comma));
  const auto imaginary = ParseDouble(text.substr(comma + 1));
  if (!real || !imaginary) return std::nullopt;
  return ComplexNumber{*real, *imaginary};
}

std::optional<PictureSize> ParseSize(std::string_view text) {
  const auto cross = text.find_first_of("xX");
  if (cross == std::string_view::npos) return std::nullopt;
  const auto width = ParseInteger(text.substr(0, cross));
  const auto height = ParseInteger(text.substr(cross + 1));
  // Pixel coordinates are 16-bit throughout the renderer.
  constexpr std::int64_t kLargest = std::numeric_limits<std::int16_t>::max();
  if (!width || !height || *width < 1 || *height < 1 || *width > kLargest || *height > kLargest)
    return std::nullopt;
  return PictureSize{static_cast<int>(*width), static_cast<int>(*height)};
}

namespace {

// "--name=value" is the same as "--name value"; a value may hold "=" itself.
std::vector<std::string> SplitJoinedValues(std::vector<std::string> arguments) {
  std::vector<std::string> split;
  for (std::string& argument : arguments) {
    const auto equals = argument.find('=');
    if (argument.rfind("--", 0) == 0 && equals != std::string::npos && equals > 2) {
      split.push_back(argument.substr(0, equals));
      split.push_back(argument.substr(equals + 1));
    } else {
      split.push_back(std::move(argument));
    }
  }
  return split;
}

}  // namespace

OptionReader::OptionReader(std::vector<std::string> arguments)
    : arguments_(SplitJoinedValues(std::move(arguments))), used_(arguments_.size(), false) {}

std::optional<std::string> OptionReader::Value(std::string_view name) {
  std::optional<std::string> value;
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    if (used_[i] || arguments_[i] != name) continue;
    used_[i] = true;
    if (i + 1 >= arguments_.size()) {
      if (!error_) error_ = std::string(name) + " needs a value";
      return std::nullopt;
    }
    used_[i + 1] = true;
    value = arguments_[i + 1];  // the last one given wins
    ++i;
  }
  return value;
}

bool OptionReader::Flag(std::string_view name) {
  bool found = false;
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    if (!used_[i] && arguments_[i] == name) {
      used_[i] = true;
      found = true;
    }
  }
  return found;
}

std::optional<std::string> OptionReader::Problem() const {
  if (error_) return error_;
  for (std::size_t i = 0; i < arguments_.size(); ++i)
    if (!used_[i]) return "unknown option: " + arguments_[i];
  return std::nullopt;
}
