#pragma once

#include <cstdint>
#include <span>

// The Melodizer's scales as semitone offsets from the key's root, indexed as
// the "Scale Type" list. Chromatic has no table: every semitone is a degree.
class ScaleTables {
 public:
  static constexpr int kChromatic = 2;
  // Notes from here up are never sent or written: they stand for silence.
  static constexpr std::int16_t kSilent = 120;

  ScaleTables();

  // Degrees per octave of the scale; 0 for an index that names no scale.
  int Length(int scaleType) const;
  std::span<const std::int16_t> Offsets(int scaleType) const;

  // The note of a height index under a scale, key (0-11) and octave (0-11).
  // Table scales wrap modulo 108, chromatic modulo 128; no scale gives 0.
  std::int16_t GetNote(std::int16_t index, int scaleType, int key, int octave) const;

  static bool IsSilent(std::int16_t note) { return note >= kSilent; }

 private:
  struct Scale {
    std::int16_t offsets[12];
    int length;
  };
  Scale scales_[7];
};
