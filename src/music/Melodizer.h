#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "Dialogs.h"
#include "FractalRenderer.h"
#include "MelodizerSettings.h"
#include "MelodyComposer.h"
#include "MelodyLine.h"
#include "MelodyView.h"
#include "MidiOutput.h"
#include "ScaleTables.h"
#include "SongSave.h"

// The Melodizer without its window: the controls' values, the run that walks
// the line position by position (drawing through a MelodyView and sounding
// through a MidiOutput, one channel per level), and the song file. The window
// forwards its control events to the On... handlers and shows Controls().
class Melodizer {
 public:
  enum class List { Complexity, Key, Octave, ScaleType, Patch };

  // Packed colours of levels 0 to 3.
  static constexpr std::array<std::int32_t, 4> kVoiceColours{0xFFFFFF, 0xC0C0FF, 0xC0FFC0, 0xFFC0C0};
  static constexpr std::int32_t kRootGridColour = 0xFFBFBF;   // (191, 191, 255)
  static constexpr std::int32_t kOtherGridColour = 0x5F5F5F;  // (95, 95, 95)

  // The view, device, dialogs and folder must outlive the Melodizer. MIDI
  // temporary files go to programFolder.
  Melodizer(MelodyView& view, MidiOutput& midiOut, Dialogs& dialogs, std::filesystem::path programFolder);

  // Only escape counts are asked of it; it is never bound to a surface. The
  // main window sets its fractal type and Julia point before showing us.
  FractalRenderer rndRenderer;

  // The load sequence: defaults, a fresh renderer, the device opened and the
  // instrument sent. The window draws its mountain and fills its lists from
  // Controls() and MelodizerLists.h. The limit last accepted survives.
  void Load();
  // Closing: the run stopped, all sounds off, the device closed. Safe to
  // call again (the Close button's teardown is followed by the unload's).
  void Unload();

  MelodizerSettings& Controls() { return settings_; }
  const MelodizerSettings& Controls() const { return settings_; }

  void SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                 std::int32_t newMaxIterations);
  void StartMelody(std::int16_t stepIncrement, bool play);
  void StopMelody();
  // Processes one position; false when the run has ended or was rewound.
  bool MelodyStep(std::int16_t stepIncrement, bool play);
  std::int16_t GetNote(std::int16_t index) const;
  void DrawGrid();
  void MoveTracer(double fraction);
  SongResult SaveSong(const std::string& fileName);

  // Control events. Texts are read from Controls(), where the checks also
  // leave the corrected text for the window to show.
  void OnMeasuresLostFocus();
  void OnMaxIterationsLostFocus();
  void OnTempoLostFocus();
  // The bar's value settled (not while its thumb is dragged); the window
  // redraws its mountain first.
  void OnMountainChanged(int barValue);
  // A list's selection changed; -1 (a typed text matching no item) selects
  // the first item. Returns the index now selected.
  int OnListChanged(List list, int selectedIndex);
  void OnPlay();
  void OnStop();
  void OnRedraw();
  void OnSaveSong();
  void OnTimerTick();
  // The default device now reaches another output: reopened, instrument resent.
  void OnMidiOutputChanged();
  // Empty while the notes can be heard, else the notice for the window's status line.
  const std::string& AudioNotice() const { return audioNotice_; }

  bool IsReady() const { return ready_; }
  // The position to be processed next; 0 when no run is under way.
  double Position() const { return position_; }
  bool IsPlaying() const { return playing_; }
  std::int32_t LastMaxIterations() const { return lastMaxIterations_; }

 private:
  static constexpr int kLevelSlots = 17;

  void StartRun(std::int16_t stepIncrement, bool play);
  void SoundPosition();
  void DrawPosition();
  void SendPatch();

  MelodyView& view_;
  MidiOutput& midiOut_;
  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  ScaleTables scales_;
  MelodizerSettings settings_;
  MelodyComposer composer_{settings_, rndRenderer, scales_};

  bool ready_ = false;
  bool resetPending_ = false;
  std::string audioNotice_;
  std::int32_t lastMaxIterations_ = 0;

  // The run.
  MelodyLine line_;
  int topLevel_ = 0;
  double position_ = 0.0;
  std::int16_t stepIncrement_ = 1;
  bool playing_ = false;
  double baseY_ = 0.0;
  double xStep_ = 0.0;
  std::array<std::int16_t, kLevelSlots> previousNotes_{};
  std::array<double, kLevelSlots> previousHeights_{};
};
