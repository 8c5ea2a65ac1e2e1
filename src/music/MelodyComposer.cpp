#include "MelodyComposer.h"

#include "MountainCurve.h"
#include "TypedValues.h"

MelodyComposer::MelodyComposer(const MelodizerSettings& settings, const FractalRenderer& renderer,
                               const ScaleTables& scales)
    : settings_(settings), renderer_(renderer), scales_(scales) {}

MelodyLine MelodyComposer::LineForRun() const {
  return MelodyLine::Through(settings_.FirstPoint(), settings_.SecondPoint(), settings_.Steps());
}

ComplexNumber MelodyComposer::SamplePoint(const MelodyLine& line, double p, int k) const {
  return line.SamplePoint(p, k, settings_.FirstPoint());
}

double MelodyComposer::SampleHeight(const MelodyLine& line, double p, int k) const {
  const ComplexNumber point = SamplePoint(line, p, k);
  const std::int32_t count = renderer_.IteratePoint(point.real, point.imaginary);
  return CountHeight(count, renderer_.GetMaxIterations(), settings_.Flattening(),
                     MelodizerSettings::kPictureHeight);
}

std::int16_t MelodyComposer::GetNote(std::int16_t index) const {
  return scales_.GetNote(index, settings_.scaleType, settings_.key, settings_.octave);
}

std::int16_t MelodyComposer::NoteAt(const MelodyLine& line, double p, int k) const {
  return GetNote(static_cast<std::int16_t>(Nearest(SampleHeight(line, p, k))));
}
