#include "Melodizer.h"

#include <algorithm>

#include "AudioNotice.h"
#include "MelodySong.h"
#include "MelodizerLists.h"
#include "TypedValues.h"

namespace {

constexpr std::int16_t kLiveVelocity = 100;

std::size_t ListSize(Melodizer::List list) {
  switch (list) {
    case Melodizer::List::Complexity: return kComplexityItems.size();
    case Melodizer::List::Key: return kKeyItems.size();
    case Melodizer::List::Octave: return kOctaveItems.size();
    case Melodizer::List::ScaleType: return kScaleTypeItems.size();
    case Melodizer::List::Patch: return PatchItems().size();
  }
  return 0;
}

}  // namespace

Melodizer::Melodizer(MelodyView& view, MidiOutput& midiOut, Dialogs& dialogs, std::filesystem::path programFolder)
    : view_(view), midiOut_(midiOut), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

void Melodizer::Load() {
  ready_ = false;
  rndRenderer = FractalRenderer();
  settings_ = MelodizerSettings();
  rndRenderer.SetMaxIterations(256);
  MoveTracer(0.0);
  position_ = 0.0;
  playing_ = false;
  resetPending_ = false;
  ready_ = true;
  audioNotice_ = OpenDefaultDevice(midiOut_);
  SendPatch();
}

void Melodizer::OnMidiOutputChanged() {
  // The notes of a running melody go on from the next position on the new output.
  midiOut_.AllSoundsOff();
  audioNotice_ = OpenDefaultDevice(midiOut_);
  SendPatch();
  previousNotes_.fill(0);
}

void Melodizer::Unload() {
  // Not ready first, so that a close handled during the wait below neither
  // waits again nor lets a run start.
  const bool wasReady = ready_;
  ready_ = false;
  if (wasReady) StopMelody();
  view_.DisableTimer();
  midiOut_.AllSoundsOff();
  midiOut_.CloseDevice();
}

void Melodizer::SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                          std::int32_t newMaxIterations) {
  settings_.SetRegion(realPart1, imaginaryPart1, realPart2, imaginaryPart2, newMaxIterations);
}

void Melodizer::StartMelody(std::int16_t stepIncrement, bool play) {
  if (!ready_) return;
  StopMelody();
  // The window may have been closed while StopMelody waited.
  if (!ready_) return;
  midiOut_.AllSoundsOff();
  MelodyStep(stepIncrement, play);
  view_.EnableTimer(play ? PositionInterval(settings_.Tempo()) : 1);
}

void Melodizer::StopMelody() {
  view_.DisableTimer();
  view_.Wait(0.5);
  resetPending_ = true;
  MelodyStep(0, false);
}

bool Melodizer::MelodyStep(std::int16_t stepIncrement, bool play) {
  if (resetPending_) {
    position_ = 0.0;
    resetPending_ = false;
    return false;
  }
  if (position_ == 0.0) StartRun(stepIncrement, play);
  MoveTracer(position_ / line_.steps);
  if (playing_) SoundPosition();
  DrawPosition();

  position_ += stepIncrement_;
  bool more = true;
  if (position_ > line_.steps) {
    midiOut_.AllSoundsOff();
    position_ = 0.0;
    more = false;
  }
  view_.ProcessPendingEvents();
  return more;
}

void Melodizer::StartRun(std::int16_t stepIncrement, bool play) {
  playing_ = play;
  // A run that never advanced would redraw its first position for ever.
  stepIncrement_ = std::max<std::int16_t>(stepIncrement, 1);
  previousNotes_.fill(0);
  // The box shows the limit the run really uses. (Texts are assigned as
  // temporaries: GCC 12 warns falsely about assigning short literals here.)
  if (const auto limit = ParseNumber(settings_.maxIterations); !limit || Nearest(*limit) < 1)
    settings_.maxIterations = std::string("32");
  rndRenderer.SetMaxIterations(settings_.IterationLimit());
  for (std::string* box : {&settings_.firstPointReal, &settings_.firstPointImaginary, &settings_.secondPointReal,
                           &settings_.secondPointImaginary})
    if (!ParseNumber(*box)) *box = std::string("0");
  line_ = composer_.LineForRun();
  baseY_ = MelodizerSettings::kPictureHeight - 1;
  xStep_ = MelodizerSettings::kPictureWidth / line_.steps;
  topLevel_ = settings_.TopLevel();
  if (!playing_) {
    view_.ClearMelody();
    DrawGrid();
  }
}

void Melodizer::SoundPosition() {
  std::array<std::int16_t, kLevelSlots> notes{};
  for (int k = topLevel_; k >= 0; --k) notes[k] = composer_.NoteAt(line_, position_, k);
  for (int k = topLevel_; k >= 0; --k) {
    if (notes[k] == previousNotes_[k]) continue;  // held, not struck again
    const auto channel = static_cast<std::int16_t>(k);
    if (!ScaleTables::IsSilent(previousNotes_[k])) midiOut_.NoteOff(channel, previousNotes_[k]);
    if (!ScaleTables::IsSilent(notes[k])) midiOut_.NoteOn(channel, notes[k], kLiveVelocity);
    previousNotes_[k] = notes[k];
  }
}

void Melodizer::DrawPosition() {
  // Level 0 is drawn last, on top of the others.
  for (int k = topLevel_; k >= 0; --k) {
    const double height = composer_.SampleHeight(line_, position_, k);
    const double y = baseY_ - height;
    if (position_ == 0.0)
      view_.SetMelodyPixel({0.0, y}, kVoiceColours[k]);
    else
      view_.DrawMelodyLine({(position_ - 1) * xStep_, baseY_ - previousHeights_[k]}, {position_ * xStep_, y},
                           kVoiceColours[k]);
    previousHeights_[k] = height;
  }
}

std::int16_t Melodizer::GetNote(std::int16_t index) const { return composer_.GetNote(index); }

void Melodizer::DrawGrid() {
  const int length = scales_.Length(settings_.scaleType);
  if (length == 0) return;
  const double height = MelodizerSettings::kPictureHeight;
  // One guide line per octave of scale degrees, counted from the bottom.
  for (std::int32_t y = Nearest(height); y >= 0; y -= length) {
    const std::int16_t note = GetNote(static_cast<std::int16_t>(Nearest(height - y)));
    const std::int32_t colour = note == settings_.key ? kRootGridColour : kOtherGridColour;
    view_.DrawMelodyLine({0.0, static_cast<double>(y)}, {MelodizerSettings::kPictureWidth, static_cast<double>(y)},
                         colour);
  }
}

void Melodizer::MoveTracer(double fraction) { view_.MoveTracerTo(MelodizerSettings::kPictureWidth * fraction); }

SongResult Melodizer::SaveSong(const std::string& fileName) {
  MIDIFile file(programFolder_, dialogs_);
  return WriteMelodySong(file, fileName, settings_, rndRenderer, scales_);
}

void Melodizer::OnMeasuresLostFocus() {
  settings_.measures = CheckMeasures(settings_.measures);
  StartMelody(1, false);
}

void Melodizer::OnMaxIterationsLostFocus() {
  settings_.maxIterations = CheckMaxIterations(settings_.maxIterations);
  const double value = *ParseNumber(settings_.maxIterations);
  if (value == lastMaxIterations_) return;
  lastMaxIterations_ = Nearest(value);
  StartMelody(1, false);
}

void Melodizer::OnTempoLostFocus() {
  settings_.tempo = CheckTempo(settings_.tempo);
  view_.SetTimerInterval(PositionInterval(settings_.Tempo()));
}

void Melodizer::OnMountainChanged(int barValue) {
  settings_.mountainBar = std::clamp(barValue, 20, 160);
  StartMelody(1, false);
}

int Melodizer::OnListChanged(List list, int selectedIndex) {
  if (selectedIndex < 0 || selectedIndex >= static_cast<int>(ListSize(list))) selectedIndex = 0;
  switch (list) {
    case List::Complexity:
      settings_.complexity = selectedIndex;
      StartMelody(1, false);
      break;
    case List::Octave:
      settings_.octave = selectedIndex;
      StartMelody(1, false);
      break;
    case List::ScaleType:
      settings_.scaleType = selectedIndex;
      StartMelody(1, false);
      break;
    case List::Key:
      settings_.key = selectedIndex;  // heard from the next note on, not redrawn
      break;
    case List::Patch:
      settings_.patch = selectedIndex;
      SendPatch();
      break;
  }
  return selectedIndex;
}

void Melodizer::SendPatch() {
  for (std::int16_t channel = 0; channel < 16; ++channel)
    midiOut_.ProgramChange(channel, 0, static_cast<std::int16_t>(settings_.patch));
}

void Melodizer::OnPlay() { StartMelody(1, true); }

void Melodizer::OnStop() {
  midiOut_.AllSoundsOff();
  StopMelody();
}

void Melodizer::OnRedraw() {
  midiOut_.AllSoundsOff();
  StopMelody();
  StartMelody(1, false);
}

void Melodizer::OnSaveSong() {
  RunSaveSongCommand(dialogs_, [this](const std::string& fileName) { return SaveSong(fileName); });
}

void Melodizer::OnTimerTick() {
  // A tick that finds no run under way (one queued before a stop or a close)
  // must not start a run of its own.
  if (!ready_ || (position_ == 0.0 && !resetPending_)) {
    view_.DisableTimer();
    return;
  }
  if (!MelodyStep(0, false)) view_.DisableTimer();
}
