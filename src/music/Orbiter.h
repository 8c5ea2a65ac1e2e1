#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "Dialogs.h"
#include "FractalRenderer.h"
#include "MidiOutput.h"
#include "OrbiterView.h"
#include "RenderSurface.h"
#include "RendererListener.h"
#include "SongSave.h"

// The Orbiter without its window: the chosen point, the orbit stepped one
// value at a time with one note per value, the enabled state of every
// control, the status line and the song file. The window forwards its
// events to the On... handlers and shows Texts() and Enabled().
class Orbiter final : private RendererListener {
 public:
  struct Texts {
    std::string real = "0";  // txtReal: the chosen point c
    std::string imaginary = "0";
    std::string currentReal = "0";  // txtCurrentReal: the orbit value z
    std::string currentImaginary = "0";
    std::string progress;  // lblProgress
  };
  struct Enabled {
    bool inputs = false;  // txtReal, txtImaginary
    bool newPoint = false;
    bool iterate = false;
    bool play = false;
    bool saveSong = false;
  };

  // The view, device, dialogs and folder must outlive the Orbiter. MIDI
  // temporary files go to programFolder.
  Orbiter(OrbiterView& view, MidiOutput& midiDevice, Dialogs& dialogs, std::filesystem::path programFolder);

  // Renders the picture of the whole set into surface (which must outlive
  // the Orbiter or the next Load) and opens the device with the harp.
  void Load(RenderSurface& surface);
  void Unload();

  Texts& CurrentTexts() { return texts_; }
  const Texts& CurrentTexts() const { return texts_; }
  const Enabled& ControlsEnabled() const { return enabled_; }
  bool IsNoteTimerRunning() const { return noteTimerRunning_; }
  bool OrbitStopped() const { return orbitStopped_; }
  double NoteInterval() const { return noteInterval_; }
  const FractalRenderer& Renderer() const { return renderer_; }

  void OnRenderTimerTick();
  // A mouse button released over the picture at pixel (x, y).
  void OnPicturePicked(double x, double y);
  // The typed part is corrected, then becomes the current point.
  void OnRealLostFocus();
  void OnImaginaryLostFocus();
  void OnIterate();
  void OnNewPoint();
  void OnPlay();
  void OnNoteTimerTick();
  void OnSaveSong();
  // The default device now reaches another output: reopened with the harp.
  void OnMidiOutputChanged();
  // Empty while the notes can be heard, else the notice for the window's status line.
  const std::string& AudioNotice() const { return audioNotice_; }
  SongResult SaveOrbitSong(const std::string& fileName);

 private:
  void OnRedraw() override;
  void OnBeforeRender() override;
  void OnProgress(double percentComplete) override;
  void OnAfterRender() override;

  void EnableInputs() { enabled_.inputs = true; }
  void DisableInputs() { enabled_.inputs = false; }
  void SetNoteTimer(bool running, std::int32_t intervalMilliseconds = 0);
  void ShowCurrentValue();
  OrbitPixel PixelOf(ComplexNumber z) const;
  void DrawOrbitStart(ComplexNumber c);
  void DrawOrbitStep(ComplexNumber z);

  OrbiterView& view_;
  MidiOutput& midiDevice_;
  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  FractalRenderer renderer_;
  RenderSurface* surface_ = nullptr;

  Texts texts_;
  Enabled enabled_;
  double noteInterval_ = 0.0;
  bool orbitStopped_ = false;
  bool noteTimerRunning_ = false;
  std::string audioNotice_;
};
