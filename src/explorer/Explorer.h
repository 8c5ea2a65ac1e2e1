#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "BookmarkTarget.h"
#include "Dialogs.h"
#include "ExplorerView.h"
#include "FractalRenderer.h"
#include "RenderSurface.h"
#include "RendererListener.h"
#include "Tool.h"
#include "ZoomBox.h"

// The main window without its widgets: the view drawn by its renderer, the
// mouse modes of the viewport, the tool buttons' commands, the iteration
// box's checks, the status line and the hand-offs to the other windows. The
// window forwards its events to the On... handlers; everything it shows
// comes back through ExplorerView. Keys, the wheel or menus can call the
// public view operations (zoom, redraw, abort) as the buttons do.
class Explorer final : public BookmarkTarget, private RendererListener {
 public:
  enum class MouseButton { Left, Other };

  // The view and dialogs must outlive the Explorer; bookmarks are stored in
  // programFolder.
  Explorer(ExplorerView& view, Dialogs& dialogs, std::filesystem::path programFolder);
  ~Explorer() override;

  // Binds the renderer to the viewport (the surface must outlive the
  // Explorer); shows the limit of 256.
  void Load(RenderSurface& viewport);
  // The first render, of the starting view, once the window is shown.
  void Start();

  FractalRenderer& Renderer() { return renderer_; }
  const FractalRenderer& Renderer() const { return renderer_; }
  MouseMode Mode() const { return mouseMode_; }
  std::optional<Tool> HoveredTool() const { return hoveredTool_; }
  bool IsDragging() const { return isDragging_; }
  bool IsRendering() const { return isRendering_; }
  FractalType ShownFractal() const { return shownFractal_; }
  const std::string& IterationsText() const { return iterationsText_; }

  // View operations, for the buttons and for any other way in.
  void ZoomIn();
  void ZoomOut();
  // Makes a pixel rectangle of the viewport the view and draws it.
  void ZoomToPixels(std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height);
  void CenterOn(double real, double imaginary);
  void SetView(double centerX, double centerY, double windowWidth);
  void RedrawView();
  void StopRendering();
  // As a click on a tool button: pressed, then released.
  void ClickTool(Tool tool);
  // Leaves a pending Julia pick or trace, and a zoom drag, without drawing
  // anything, for a command that draws a whole view of its own.
  void DropPendingMode();
  // Escape: aborts a render, else cancels a zoom drag or the pending mode.
  void OnEscape();
  // The renderer's view was set from outside (history, a dropped picture):
  // the fractal button follows its type.
  void ShowRendererFractal();

  // The render timer's tick: whether more work remains.
  bool OnRenderTimerTick();

  // The window's size changed: false when it is minimised and nothing is to
  // be laid out; otherwise the render is stopped, the window lays itself
  // out and then calls OnLaidOut.
  bool OnResizing(bool minimised);
  void OnLaidOut();

  void OnViewportPressed(MouseButton button, float x, float y);
  // onlyLeftHeld: exactly the left button is held.
  void OnViewportMoved(bool onlyLeftHeld, float x, float y);
  void OnViewportReleased(float x, float y);
  // The mouse over the readout itself, y counted from the readout's top.
  void OnReadoutHovered(double y);

  void OnToolHovered(Tool tool);
  // The window's background or the "Tools" frame: the highlight goes.
  void OnBackgroundHovered();
  void OnToolPressed(Tool tool);
  void OnToolReleased(Tool tool);

  void OnIterationsTyped(const std::string& text) { iterationsText_ = text; }
  void OnIterationsLeft();

  void ShowBookmark(const Bookmark& bookmark) override;

 private:
  void OnAbort() override;
  void OnAfterRender() override;
  void OnBeforeRender() override;
  void OnChangeIterations(std::int32_t newMaxIterations) override;
  void OnProgress(double percentComplete) override;
  void OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) override;
  void OnRedraw() override;
  void OnZoomChange(double zoomFactor) override;

  void RunCommand(Tool tool);
  void ClearHighlight();
  void ShowRedrawCaption(bool rendering);
  void ShowFractal(FractalType type);
  void ShowMandelbrotStart();
  void ToggleFractal();
  void RedrawOrAbort();
  void SetIterations(std::int32_t limit);
  void SavePicture();
  void WritePicture(const std::string& fileName);
  void StartTrace();
  void FinishZoomDrag();
  void PickJuliaPoint(float x, float y);
  void FinishTrace(float x, float y);

  ExplorerView& view_;
  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  FractalRenderer renderer_;

  MouseMode mouseMode_ = MouseMode::Normal;
  std::optional<Tool> hoveredTool_;
  bool isDragging_ = false;
  std::int16_t dragStartX_ = 0;
  std::int16_t dragStartY_ = 0;
  ZoomBox zoomBox_;
  PixelLine tracer_;
  bool isRendering_ = false;
  FractalType shownFractal_ = FractalType::Mandelbrot;
  std::string iterationsText_;
};
