#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ComplexNumber.h"

// Parsing of the headless commands' option values. Every parser accepts the
// whole text or nothing: "12abc" is not 12.
std::optional<double> ParseDouble(std::string_view text);
std::optional<std::int64_t> ParseInteger(std::string_view text);
// "X,Y" as two doubles.
std::optional<ComplexNumber> ParsePoint(std::string_view text);
// "WxH" with both sides between 1 and 32767.
struct PictureSize {
  int width = 0;
  int height = 0;
};
std::optional<PictureSize> ParseSize(std::string_view text);

// Walks "--name value" (or "--name=value") pairs and bare "--flag"s in order. A command asks for
// each option it knows; whatever is left over is an unknown option.
class OptionReader {
 public:
  explicit OptionReader(std::vector<std::string> arguments);

  // The value of --name, if given; sets an error when the option has no value.
  std::optional<std::string> Value(std::string_view name);
  bool Flag(std::string_view name);
  // The first argument nobody asked for, or the first error.
  std::optional<std::string> Problem() const;

 private:
  std::vector<std::string> arguments_;
  std::vector<bool> used_;
  std::optional<std::string> error_;
};
