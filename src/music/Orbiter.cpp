#include "Orbiter.h"

#include <cmath>

#include "AudioNotice.h"
#include "MIDIFile.h"
#include "OrbitSong.h"
#include "TypedValues.h"

namespace {

constexpr char kChooseText[] = "Click on a point to iterate or key in the values above";

}  // namespace

Orbiter::Orbiter(OrbiterView& view, MidiOutput& midiDevice, Dialogs& dialogs, std::filesystem::path programFolder)
    : view_(view), midiDevice_(midiDevice), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

void Orbiter::Load(RenderSurface& surface) {
  renderer_ = FractalRenderer();
  renderer_.SetListener(this);
  texts_ = Texts();
  // Nothing can be used until the picture is there.
  enabled_ = Enabled();
  noteInterval_ = 0.0;
  orbitStopped_ = false;
  surface_ = &surface;
  renderer_.Initialize(surface);
  renderer_.Redraw(false);
  audioNotice_ = OpenDefaultDevice(midiDevice_);
  midiDevice_.ProgramChange(0, 0, 46);
}

void Orbiter::OnMidiOutputChanged() {
  midiDevice_.AllSoundsOff();
  audioNotice_ = OpenDefaultDevice(midiDevice_);
  midiDevice_.ProgramChange(0, 0, 46);
}

void Orbiter::Unload() {
  renderer_.Abort();
  view_.DisableRenderTimer();
  midiDevice_.CloseDevice();
  SetNoteTimer(false);
}

void Orbiter::OnRedraw() { view_.EnableRenderTimer(); }

void Orbiter::OnRenderTimerTick() {
  view_.DisableRenderTimer();
  if (renderer_.RendererCallback()) view_.EnableRenderTimer();
}

void Orbiter::OnBeforeRender() {
  DisableInputs();
  enabled_.iterate = enabled_.play = enabled_.newPoint = enabled_.saveSong = false;
}

void Orbiter::OnProgress(double percentComplete) {
  const auto percent = static_cast<std::int64_t>(std::floor(percentComplete * 100));
  texts_.progress = "Initializing... " + std::to_string(percent) + "%";
}

void Orbiter::OnAfterRender() {
  texts_.progress = kChooseText;
  view_.KeepOriginalPicture();
  EnableInputs();
  enabled_.iterate = enabled_.play = enabled_.saveSong = true;
}

void Orbiter::OnPicturePicked(double x, double y) {
  if (!enabled_.inputs) return;
  texts_.currentReal = FormatNumber(renderer_.GetVirtualX(x));
  // Rows grow downwards; the imaginary axis points up.
  texts_.currentImaginary = FormatNumber(-renderer_.GetVirtualY(y));
  texts_.real = texts_.currentReal;
  texts_.imaginary = texts_.currentImaginary;
  OnIterate();
}

void Orbiter::OnRealLostFocus() {
  texts_.real = CheckOrbitPart(texts_.real);
  texts_.currentImaginary = texts_.imaginary;
  texts_.currentReal = texts_.real;
}

void Orbiter::OnImaginaryLostFocus() {
  texts_.imaginary = CheckOrbitPart(texts_.imaginary);
  texts_.currentImaginary = texts_.imaginary;
  texts_.currentReal = texts_.real;
}

void Orbiter::OnIterate() {
  DisableInputs();
  texts_.progress = "Click on 'Iterate' to reiterate the point";
  bool ok = false;
  if (enabled_.newPoint) {
    ok = renderer_.StepIterate(false);
    ShowCurrentValue();
    if (ok) DrawOrbitStep({renderer_.GetCurrentRealPart(), renderer_.GetCurrentImaginaryPart()});
  } else {
    const ComplexNumber c{NumberOrZero(texts_.currentReal), NumberOrZero(texts_.currentImaginary)};
    DrawOrbitStart(c);
    ok = renderer_.StepIterate(true, c.real, c.imaginary);
    ShowCurrentValue();
    if (ok) enabled_.newPoint = true;
  }
  if (!ok) {
    texts_.progress = "The point has exploded.  Click on 'New Point'";
    SetNoteTimer(false);
    enabled_.iterate = enabled_.play = false;
  }
}

void Orbiter::OnNewPoint() {
  texts_.progress = kChooseText;
  EnableInputs();
  enabled_.newPoint = false;
  enabled_.iterate = enabled_.play = enabled_.saveSong = true;
  SetNoteTimer(false);
  orbitStopped_ = true;
  view_.RestoreOriginalPicture();
  texts_.currentReal = texts_.real;
  texts_.currentImaginary = texts_.imaginary;
}

void Orbiter::OnPlay() {
  OnIterate();
  if (std::floor(noteInterval_) == 0) noteInterval_ = 5;
  SetNoteTimer(true, Nearest(noteInterval_));
}

void Orbiter::OnNoteTimerTick() {
  SetNoteTimer(false);
  // Each note sounds until the next tick.
  midiDevice_.AllSoundsOff();
  if (orbitStopped_) return;
  OnIterate();
  if (std::floor(noteInterval_) == 0) noteInterval_ = 50;
  SetNoteTimer(true, Nearest(noteInterval_));
}

void Orbiter::OnSaveSong() {
  RunSaveSongCommand(dialogs_, [this](const std::string& fileName) { return SaveOrbitSong(fileName); });
}

SongResult Orbiter::SaveOrbitSong(const std::string& fileName) {
  const ComplexNumber c{NumberOrZero(texts_.real), NumberOrZero(texts_.imaginary)};
  const OrbitNoteCount count = OrbitNotesToRecord(renderer_, c, dialogs_);
  if (!count.notes) return {SongResult::Outcome::Failed, count.error};
  MIDIFile file(programFolder_, dialogs_);
  return WriteOrbitSong(file, fileName, renderer_, c, *count.notes);
}

void Orbiter::SetNoteTimer(bool running, std::int32_t intervalMilliseconds) {
  noteTimerRunning_ = running;
  if (running)
    view_.EnableNoteTimer(intervalMilliseconds);
  else
    view_.DisableNoteTimer();
}

void Orbiter::ShowCurrentValue() {
  texts_.currentReal = FormatNumber(renderer_.GetCurrentRealPart());
  texts_.currentImaginary = FormatNumber(renderer_.GetCurrentImaginaryPart());
}

OrbitPixel Orbiter::PixelOf(ComplexNumber z) const {
  if (!surface_) return {};
  return OrbitScreenPoint(z, Nearest<int>(surface_->ScaleWidth()),
                          Nearest<int>(surface_->ScaleHeight()));
}

void Orbiter::DrawOrbitStart(ComplexNumber c) { view_.DrawOrbitStart(PixelOf(c)); }

void Orbiter::DrawOrbitStep(ComplexNumber z) {
  view_.DrawOrbitStep(PixelOf(z));
  if (!OrbitValueSounds(z)) {
    orbitStopped_ = true;
    return;
  }
  orbitStopped_ = false;
  midiDevice_.NoteOn(0, OrbitPitch(z), OrbitVelocity(z));
  noteInterval_ = OrbitNoteInterval(z);
}
