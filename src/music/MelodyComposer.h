#pragma once

#include <cstdint>

#include "FractalRenderer.h"
#include "MelodizerSettings.h"
#include "MelodyLine.h"
#include "ScaleTables.h"

// Turns positions along a line into heights and notes under the current
// settings. Every value is read at the moment of the call (the flattening,
// the key, the first point), as a run reads its window's controls while it
// goes; both the live run and the song file sample through here.
class MelodyComposer {
 public:
  MelodyComposer(const MelodizerSettings& settings, const FractalRenderer& renderer, const ScaleTables& scales);

  // A new line from the point boxes, for a run or a save about to start.
  MelodyLine LineForRun() const;

  // The point of level k at position p; the first point is read from its
  // boxes now, the rest of the line was fixed when the run started.
  ComplexNumber SamplePoint(const MelodyLine& line, double p, int k) const;
  // From 0 to the picture's height: the escape count of the sampled point,
  // shaped by the flattening curve. Points inside the set reach the top.
  double SampleHeight(const MelodyLine& line, double p, int k) const;
  // The note of a height index under the selected scale, key and octave.
  std::int16_t GetNote(std::int16_t index) const;
  // The note level k plays at position p.
  std::int16_t NoteAt(const MelodyLine& line, double p, int k) const;

 private:
  const MelodizerSettings& settings_;
  const FractalRenderer& renderer_;
  const ScaleTables& scales_;
};
