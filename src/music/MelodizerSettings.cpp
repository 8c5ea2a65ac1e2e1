#include "MelodizerSettings.h"

#include <algorithm>

#include "MelodyLine.h"
#include "MountainCurve.h"
#include "TypedValues.h"

void MelodizerSettings::SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                                  std::int32_t newMaxIterations) {
  firstPointReal = FormatNumber(realPart1);
  firstPointImaginary = FormatNumber(imaginaryPart1);
  secondPointReal = FormatNumber(realPart2);
  secondPointImaginary = FormatNumber(imaginaryPart2);
  maxIterations = std::to_string(newMaxIterations);
}

ComplexNumber MelodizerSettings::FirstPoint() const {
  return {NumberOrZero(firstPointReal), NumberOrZero(firstPointImaginary)};
}

ComplexNumber MelodizerSettings::SecondPoint() const {
  return {NumberOrZero(secondPointReal), NumberOrZero(secondPointImaginary)};
}

std::int32_t MelodizerSettings::IterationLimit() const {
  const auto value = ParseNumber(maxIterations);
  const std::int32_t limit = value ? Nearest(*value) : 0;
  return limit < 1 ? 32 : limit;
}

std::int32_t MelodizerSettings::Steps() const {
  const auto value = ParseNumber(measures);
  // More than 100 measures cannot come from the box; beyond them the waits
  // of a held note would overflow the file's 16-bit delta times.
  if (value) {
    const std::int32_t steps = StepsOfMeasures(*value);
    if (steps >= 1 && steps <= 800) return steps;
  }
  return StepsOfMeasures(*ParseNumber(CheckMeasures(measures)));
}

double MelodizerSettings::Tempo() const { return *ParseNumber(CheckTempo(tempo)); }

std::int16_t MelodizerSettings::Flattening() const { return FlatteningOfBar(mountainBar); }

int MelodizerSettings::TopLevel() const { return std::clamp(complexity, 0, 3); }
