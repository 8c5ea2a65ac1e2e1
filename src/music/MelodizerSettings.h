#pragma once

#include <cstdint>
#include <string>

#include "ComplexNumber.h"

// The values of the Melodizer's controls, as the window holds them. Texts are
// kept as typed: the checks run when a box loses the focus, and a run or a
// save reads the numbers afresh from these texts. Defaults are those after
// the window has loaded.
struct MelodizerSettings {
  // The melody picture's inside: its outer 309 x 113 less a 2-pixel border.
  static constexpr double kPictureWidth = 305.0;
  static constexpr double kPictureHeight = 109.0;

  std::string firstPointReal;
  std::string firstPointImaginary;
  std::string secondPointReal;
  std::string secondPointImaginary;
  std::string measures = "20";        // txtBeats
  std::string tempo = "120";          // txtTempo, beats per minute
  std::string maxIterations = "256";  // txtMaxIterations

  int key = 0;           // cboKey: semitones above C
  int octave = 0;        // cboOctave: the index, "1" being 0
  int scaleType = 4;     // cboScaleType: "Minor Pentatonic"
  int complexity = 0;    // cboComplexity: the top level, "1" being 0
  int patch = 99;        // cboPatch: "Atmosphere"
  int mountainBar = 20;  // scrMountain, 20 (top) to 160 (bottom)

  // What SetRegion writes: the ends of the traced line and the main window's
  // iteration limit, unchecked.
  void SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                 std::int32_t newMaxIterations);

  // A point box that is not a number reads as 0.
  ComplexNumber FirstPoint() const;
  ComplexNumber SecondPoint() const;
  // The limit a run or a save uses. The main window can hand over a limit of
  // 0 (by halving 1), and heights divide by a power of it, so anything below
  // 1 is raised to the box's minimum, 32.
  std::int32_t IterationLimit() const;
  // Eight positions per measure; a box that does not hold a usable number of
  // measures counts as the box's check would leave it.
  std::int32_t Steps() const;
  // The tempo as the box's check leaves it (30 to 400).
  double Tempo() const;
  std::int16_t Flattening() const;
  // The highest sounding level, 0 to 3.
  int TopLevel() const;
};
