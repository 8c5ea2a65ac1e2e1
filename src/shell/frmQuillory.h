#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "Explorer.h"
#include "ExplorerView.h"
#include "MainWindowControls.h"
#include "RenderPump.h"

class Dialogs;
class MidiService;
class frmBookmarks;
class frmMusic;
class frmOrbits;
class frmHelp;
class ViewNavigator;
struct ViewState;

// The main window's controls, connected to its model: the viewport drawn
// progressively, the status strip, and the column of tool buttons.
class frmQuillory : public QWidget, public MainWindowControls, private ExplorerView {
  Q_OBJECT

 public:
  frmQuillory(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent = nullptr);
  ~frmQuillory() override;

  // The load steps: the renderer bound to the viewport, the window laid out
  // and shown maximised, and the first render started.
  void Load();

  // Public so that other windows and other ways in can reach the view.
  Explorer explorer;
  RenderPump timRenderer;

  // The one MIDI service of the program, shared by the Melodizer and the
  // Orbiter; without one the desktop service is made on first use.
  void SetMidiService(MidiService& midiService) { midiService_ = &midiService; }
  // Start-up loads the bookmarks dialog hidden; "Load..." shows it.
  void LoadBookmarksDialog();
  // The windows reached from here while they are loaded; null otherwise.
  frmBookmarks* BookmarksDialog() const;
  frmMusic* MelodizerWindow() const;
  frmOrbits* OrbiterWindow() const;

  // ---- Desktop conveniences (frmQuilloryConveniences.cpp): the wheel,
  // the keys, the view history, dropped pictures and the help window.
  const ViewNavigator& Navigator() const { return *navigator_; }
  // Shows a view found elsewhere (a dropped picture), as a loaded bookmark.
  void RestoreView(const ViewState& view);
  frmHelp* HelpWindow() const;

 signals:
  // The window was closed: the program ends.
  void Closed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  float ViewportWidth() const override;
  float ViewportHeight() const override;
  void ShowStatus(const std::string& text) override;
  void ShowProgress(double fraction) override;
  void MoveProgressLine(double row) override;
  void ShowIterations(const std::string& text) override;
  void ShowMagnification(const std::string& text) override;
  void ShowCoordinates(const std::string& text) override;
  void PlaceCoordinates(bool atBottom) override;
  void ShowToolCaption(Tool tool, const std::string& caption) override;
  void ShowToolLook(Tool tool, ToolLook look) override;
  void ShowToolHighlight(Tool tool, bool highlighted) override;
  void ShowZoomBox(const ZoomBox& box) override;
  void HideZoomBox() override;
  void ShowTracer(const PixelLine& line) override;
  void HideTracer() override;
  void StartRenderTimer() override;
  void StopRenderTimer() override;
  void FocusViewport() override;
  void RenderBegins() override;
  std::optional<std::string> WritePicture(const std::string& fileName) override;
  void ShowOrbiter() override;
  void ShowBookmarks() override;
  void ShowMelodizer(const MelodizerHandoff& handoff) override;

  void Form_Resize();
  void UpdateMinimumSize();
  void ConnectControls();
  MidiService& Midi();

  // ---- Desktop conveniences.
  void SetUpConveniences();
  void MoveInHistory(bool forward);
  void RedrawKey();
  void ShowHelp();
  // The least inside height that shows the whole tool column.
  int ToolColumnHeight() const;

  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  bool isLoaded_ = false;
  MidiService* midiService_ = nullptr;
  std::unique_ptr<MidiService> ownMidiService_;
  QPointer<frmBookmarks> bookmarks_;
  QPointer<frmMusic> melodizer_;
  QPointer<frmOrbits> orbiter_;
  std::unique_ptr<ViewNavigator> navigator_;
  QPointer<frmHelp> help_;
};
