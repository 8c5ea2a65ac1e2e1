#pragma once

#include <QTimer>
#include <filesystem>

#include "AudioNoticeLine.h"
#include "UnloadingDialog.h"
#include "MidiOutput.h"
#include "Orbiter.h"
#include "OrbiterView.h"

class Dialogs;
class MidiService;
class PictureBox;
class QGroupBox;
class QContextMenuEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// The Orbiter: the orbit of one point, picked on the window's own picture of
// the Mandelbrot set or typed, drawn step by step, played note by note and
// saved as a song. The window only connects its controls to the Orbiter
// model. It loads (and starts rendering) when it is made; closing it unloads
// it and the object deletes itself once no handler of it is running.
class frmOrbits : public UnloadingDialog, private OrbiterView {
  Q_OBJECT

 public:
  frmOrbits(MidiService& midiService, Dialogs& dialogs, std::filesystem::path programFolder,
            QWidget* parent = nullptr);
  ~frmOrbits() override;

  const Orbiter& Model() const { return orbiter_; }
  QLabel* AudioNoticeLabel() const { return audioNotice_.Label(); }

  QGroupBox* fraBookmarks = nullptr;
  QLineEdit* txtReal = nullptr;
  QLineEdit* txtImaginary = nullptr;
  QGroupBox* fraCurrentPoint = nullptr;
  QLineEdit* txtCurrentReal = nullptr;
  QLineEdit* txtCurrentImaginary = nullptr;
  QPushButton* cmdNewPoint = nullptr;
  QPushButton* cmdIterate = nullptr;
  QPushButton* cmdPlay = nullptr;
  QPushButton* cmdSaveSong = nullptr;
  QPushButton* cmdClose = nullptr;
  PictureBox* pbxOutput = nullptr;
  QLabel* lblProgress = nullptr;
  PictureBox* pbxOriginalImage = nullptr;
  QTimer renderTimer;
  QTimer timNoteTimer;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Right click on the window's background: the "MIDI Output" menu.
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // OrbiterView.
  void DrawOrbitStart(OrbitPixel at) override;
  void DrawOrbitStep(OrbitPixel at) override;
  void KeepOriginalPicture() override;
  void RestoreOriginalPicture() override;
  void EnableRenderTimer() override;
  void DisableRenderTimer() override;
  void EnableNoteTimer(std::int32_t intervalMilliseconds) override;
  void DisableNoteTimer() override;

  void BuildControls();
  void ConnectControls();
  void ShowModel() override { ShowState(); }
  void UnloadModel() override;
  void ShowState();
  void PartLostFocus(QLineEdit* box);

  MidiService& midiService_;
  MidiOutput midiDevice_;
  Orbiter orbiter_;
  AudioNoticeLine audioNotice_;
};
