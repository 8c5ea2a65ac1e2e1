#pragma once

#include <QTimer>
#include <cstdint>
#include <filesystem>

#include "AudioNoticeLine.h"
#include "UnloadingDialog.h"
#include "Melodizer.h"
#include "MelodyView.h"
#include "MidiOutput.h"

class Dialogs;
class InvertedShape;
class MidiService;
class PictureBox;
class QComboBox;
class QGroupBox;
class QContextMenuEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The Melodizer: a line traced across the fractal turned into a melody of one
// to four levels, drawn, played live and saved as a song. The window only
// connects its controls to the Melodizer model. It loads when it is made;
// closing it unloads it and the object deletes itself once no handler of it
// is running any more, so the next use makes a fresh one.
class frmMusic : public UnloadingDialog, private MelodyView {
  Q_OBJECT

 public:
  frmMusic(MidiService& midiService, Dialogs& dialogs, std::filesystem::path programFolder,
           QWidget* parent = nullptr);
  ~frmMusic() override;

  // The entry points of the main window after a trace.
  void SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                 std::int32_t newMaxIterations);
  void StartMelody(std::int16_t stepIncrement, bool play);
  // Only escape counts are asked of it; the main window sets its fractal
  // type and Julia point.
  FractalRenderer& rndRenderer() { return melodizer_.rndRenderer; }

  const Melodizer& Model() const { return melodizer_; }
  QLabel* AudioNoticeLabel() const { return audioNotice_.Label(); }

  PictureBox* pbxMelody = nullptr;
  InvertedShape* linTracer = nullptr;
  QGroupBox* Frame2 = nullptr;
  QLineEdit* txt1stPointReal = nullptr;
  QLineEdit* txt1stPointImaginary = nullptr;
  QLineEdit* txt2ndPointReal = nullptr;
  QLineEdit* txt2ndPointImaginary = nullptr;
  QGroupBox* Frame1 = nullptr;
  PictureBox* pbxMountain = nullptr;
  QScrollBar* scrMountain = nullptr;
  QComboBox* cboPatch = nullptr;
  QComboBox* cboKey = nullptr;
  QComboBox* cboOctave = nullptr;
  QComboBox* cboScaleType = nullptr;
  QLineEdit* txtTempo = nullptr;
  QLineEdit* txtBeats = nullptr;
  QLineEdit* txtMaxIterations = nullptr;
  QComboBox* cboComplexity = nullptr;
  QPushButton* cmdPlay = nullptr;
  QPushButton* cmdStop = nullptr;
  QPushButton* cmdRedraw = nullptr;
  QPushButton* cmdSaveSong = nullptr;
  QPushButton* cmdClose = nullptr;
  QTimer timRenderer;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Right click on the window's background: the "MIDI Output" menu.
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // MelodyView.
  void ClearMelody() override;
  void DrawMelodyLine(PicturePoint from, PicturePoint to, std::int32_t colour) override;
  void SetMelodyPixel(PicturePoint at, std::int32_t colour) override;
  void MoveTracerTo(double x) override;
  void EnableTimer(std::int32_t intervalMilliseconds) override;
  void DisableTimer() override;
  void SetTimerInterval(std::int32_t intervalMilliseconds) override;
  void Wait(double seconds) override;
  void ProcessPendingEvents() override;

  void BuildPictures();
  void BuildSource();
  void BuildSettings();
  void BuildButtons();
  void FillLists();
  void ConnectControls();
  void ConnectList(QComboBox* list, Melodizer::List which);

  void ShowModel() override { ShowControls(); }
  void UnloadModel() override;
  void ShowControls();
  void DrawMountain(int barValue);
  void BoxLostFocus(QLineEdit* box);
  void ListTextTyped(QComboBox* list, Melodizer::List which);

  MidiService& midiService_;
  MidiOutput midiOut_;
  Melodizer melodizer_;
  AudioNoticeLine audioNotice_;
  bool destroying_ = false;
};
