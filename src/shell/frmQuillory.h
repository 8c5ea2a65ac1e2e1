#pragma once

#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "BookmarkLoadTarget.h"

#include "FractalRenderer.h"
#include "MainWindowControls.h"
#include "RenderPump.h"
#include "RendererListener.h"

class Dialogs;
class MidiService;
class frmBookmarks;
class frmMusic;
class frmOrbits;
class frmHelp;
class ViewNavigator;
struct ViewState;

// The main window: the viewport drawn progressively by its renderer, the
// status strip, and the column of tool buttons.
class frmQuillory : public QWidget,
                    public MainWindowControls,
                    public RendererListener,
                    public BookmarkLoadTarget {
  Q_OBJECT

 public:
  frmQuillory(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent = nullptr);
  ~frmQuillory() override;

  // The load steps: the renderer bound to the viewport, the window laid out
  // and shown maximised, and the first render started.
  void Load();

  // Public so that other windows can set the view and start a redraw.
  FractalRenderer rndRenderer;
  RenderPump timRenderer;

  // -1 normal (dragging zooms), 3 a Julia point is to be picked, 6 a trace
  // line is to be drawn: the index of the tool button that started the mode.
  std::int16_t mouseMode = -1;
  std::int16_t hoveredButton = -1;
  bool isDragging = false;
  std::int16_t dragStartX = 0;
  std::int16_t dragStartY = 0;

  // A tool button's release handling, which other code also runs with a
  // fixed index as if that button had been clicked.
  void lblButtons_MouseUp(int index);

  const std::filesystem::path& ProgramFolderPath() const { return programFolder_; }

  // The one MIDI service of the program, shared by the Melodizer and the
  // Orbiter; without one the desktop service is made on first use.
  void SetMidiService(MidiService& midiService) { midiService_ = &midiService; }
  // Start-up loads the bookmarks dialog hidden; "Load..." shows it.
  void LoadBookmarksDialog();
  // The windows reached from here while they are loaded; null otherwise.
  frmBookmarks* BookmarksDialog() const;
  frmMusic* MelodizerWindow() const;
  frmOrbits* OrbiterWindow() const;

  // What the bookmarks dialog sets when it loads a view.
  FractalRenderer& MainRenderer() override { return rndRenderer; }
  void SetFractalCaption(const QString& caption) override;

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
  void SetStatus(const QString& text);
  void SetProgress(double fraction);
  void StopRendering();
  void Form_Resize();
  void UpdateMinimumSize();

  // Renderer events.
  void OnAbort() override;
  void OnAfterRender() override;
  void OnBeforeRender() override;
  void OnChangeIterations(std::int32_t newMaxIterations) override;
  void OnProgress(double percentComplete) override;
  void OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) override;
  void OnRedraw() override;
  void OnZoomChange(double zoomFactor) override;

  // The viewport's mouse.
  void pbxOutput_MouseDown(Qt::MouseButton button, QPointF position);
  void pbxOutput_MouseMove(Qt::MouseButtons buttons, QPointF position);
  void pbxOutput_MouseUp(Qt::MouseButton button, QPointF position);
  void PlaceCoordinates(double viewportY);
  void ClearHighlight();
  void FinishZoomDrag();
  void PickJuliaPoint(QPointF position);

  // The tool buttons and the iteration box.
  void lblButtons_MouseMove(int index);
  void lblButtons_MouseDown(int index);
  void RunCommand(int index);
  void ToggleFractal();
  void RedrawOrAbort();
  void ShowMandelbrotStart();
  void txtIterations_LostFocus();

  // The hand-offs to the other windows.
  void ShowOrbiter();
  void StartTraceMode();
  void ShowBookmarks();
  void AddCurrentView();
  void TraceMouseDown(QPointF position);
  void TraceMouseMove(QPointF position);
  void TraceMouseUp(QPointF position);
  void ShowMelodizer(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2);
  MidiService& Midi();

  // ---- Desktop conveniences.
  void SetUpConveniences();
  void ClickButton(int index);
  void MoveInHistory(bool forward);
  void RedrawKey();
  void EscapeKey();
  void ShowHelp();
  // Leaves a pending Julia pick or trace without drawing anything, for a
  // command that draws a whole view of its own.
  void DropPendingMode();
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
