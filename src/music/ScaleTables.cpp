#include "ScaleTables.h"

namespace {

// Heights are never negative in a run; a stray negative index still lands on
// a note rather than outside the table.
int PositiveModulo(int value, int divisor) {
  const int remainder = value % divisor;
  return remainder < 0 ? remainder + divisor : remainder;
}

}  // namespace

ScaleTables::ScaleTables()
    : scales_{
          {{0, 2, 4, 5, 7, 9, 11}, 7},
          // The minor scale keeps the major sixth and seventh, as it always has.
          {{0, 2, 3, 5, 7, 9, 11}, 7},
          {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12},
          {{0, 2, 4, 7, 9}, 5},
          {{0, 3, 5, 7, 10}, 5},
          {{0, 4, 7}, 3},
          {{0, 3, 7}, 3},
      } {}

int ScaleTables::Length(int scaleType) const {
  if (scaleType < 0 || scaleType >= 7) return 0;
  return scales_[scaleType].length;
}

std::span<const std::int16_t> ScaleTables::Offsets(int scaleType) const {
  if (scaleType < 0 || scaleType >= 7) return {};
  return {scales_[scaleType].offsets, static_cast<std::size_t>(scales_[scaleType].length)};
}

std::int16_t ScaleTables::GetNote(std::int16_t index, int scaleType, int key, int octave) const {
  if (scaleType == kChromatic) return static_cast<std::int16_t>(PositiveModulo(index + 12 * octave + key, 128));
  const int length = Length(scaleType);
  if (length == 0) return 0;
  const int degree = PositiveModulo(index, length);
  const int octaves = (index - degree) / length;
  return static_cast<std::int16_t>(
      PositiveModulo(octaves * 12 + scales_[scaleType].offsets[degree] + 12 * octave + key, 108));
}
