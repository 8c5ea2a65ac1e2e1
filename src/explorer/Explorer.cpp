#include "Explorer.h"

#include <system_error>

#include "AddBookmark.h"
#include "BookmarkView.h"
#include "IterationLimit.h"
#include "Nearest.h"
#include "Readouts.h"

namespace {

const std::string kZoomHint = "Click on a point and drag the mouse to zoom into a specific area";
const std::string kJuliaHint = "Pick a point in the viewport to serve as the origin for the next Julia set";
const std::string kTraceHint = "Click and drag the mouse to define the area you want to trace";
const std::string kNotSaved = "The picture was not saved.";

std::string FractalCaption(FractalType type) {
  return type == FractalType::Julia ? "Julia Set" : "Mandelbrot Set";
}

}  // namespace

Explorer::Explorer(ExplorerView& view, Dialogs& dialogs, std::filesystem::path programFolder)
    : view_(view), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

Explorer::~Explorer() { renderer_.SetListener(nullptr); }

void Explorer::Load(RenderSurface& viewport) {
  renderer_.SetListener(this);
  renderer_.Initialize(viewport);
  mouseMode_ = MouseMode::Normal;
  hoveredTool_.reset();
}

void Explorer::Start() {
  renderer_.WindowCenterAbsolute(0, 0);
  renderer_.Redraw(false);
  view_.StartRenderTimer();
}

// ---------------------------------------------------------------- view operations

void Explorer::ZoomIn() { renderer_.WindowZoomIn(); }

void Explorer::ZoomOut() { renderer_.WindowZoomOut(); }

void Explorer::ZoomToPixels(std::int16_t left, std::int16_t top, std::int16_t width, std::int16_t height) {
  renderer_.WindowZoom(left, top, width, height);
  renderer_.Redraw(false);
}

void Explorer::CenterOn(double real, double imaginary) {
  renderer_.WindowCenterAbsolute(real, imaginary);
  renderer_.Redraw(false);
}

void Explorer::SetView(double centerX, double centerY, double windowWidth) {
  renderer_.WindowSet(centerX, centerY, windowWidth);
  renderer_.Redraw(false);
}

void Explorer::RedrawView() { renderer_.Redraw(false); }

void Explorer::StopRendering() {
  renderer_.Abort();
  view_.StopRenderTimer();
}

void Explorer::ClickTool(Tool tool) {
  OnToolPressed(tool);
  OnToolReleased(tool);
}

void Explorer::DropPendingMode() {
  if (mouseMode_ == MouseMode::JuliaPick) view_.ShowToolLook(Tool::FractalToggle, ToolLook::Normal);
  if (mouseMode_ == MouseMode::Trace) {
    view_.ShowToolLook(Tool::Melodizer, ToolLook::Normal);
    view_.HideTracer();
  }
  if (isDragging_) {
    view_.HideZoomBox();
    isDragging_ = false;
  }
  mouseMode_ = MouseMode::Normal;
}

void Explorer::OnEscape() {
  if (isRendering_) {
    ClickTool(Tool::RedrawAbort);
  } else if (isDragging_ && mouseMode_ == MouseMode::Normal) {
    view_.HideZoomBox();
    isDragging_ = false;
  } else if (mouseMode_ != MouseMode::Normal) {
    // As a click on the pending mode's own button: the mode is cancelled.
    OnToolReleased(mouseMode_ == MouseMode::JuliaPick ? Tool::FractalToggle : Tool::Melodizer);
  }
}

void Explorer::ShowRendererFractal() { ShowFractal(renderer_.GetFractalType()); }

bool Explorer::OnRenderTimerTick() { return renderer_.RendererCallback(); }

bool Explorer::OnResizing(bool minimised) {
  view_.ShowStatus("");
  // A minimised window only loses its status text; the render goes on.
  if (minimised) return false;
  StopRendering();
  return true;
}

void Explorer::OnLaidOut() {
  renderer_.WindowRescale();
  renderer_.Redraw(false);
}

// ---------------------------------------------------------------- renderer events

void Explorer::OnBeforeRender() {
  view_.RenderBegins();
  view_.ShowStatus("Initializing...");
  ShowRedrawCaption(true);
}

void Explorer::OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) {
  view_.ShowStatus("Pass " + std::to_string(passNumber) + "/" + std::to_string(totalPasses));
}

void Explorer::OnProgress(double percentComplete) {
  view_.MoveProgressLine(percentComplete * view_.ViewportHeight());
  view_.ShowProgress(percentComplete);
}

void Explorer::OnAfterRender() {
  view_.ShowProgress(0);
  view_.ShowStatus("Ready");
  ShowRedrawCaption(false);
}

void Explorer::OnAbort() { ShowRedrawCaption(false); }

void Explorer::OnChangeIterations(std::int32_t newMaxIterations) {
  iterationsText_ = std::to_string(newMaxIterations);
  view_.ShowIterations(iterationsText_);
}

void Explorer::OnZoomChange(double zoomFactor) { view_.ShowMagnification(FormatMagnification(zoomFactor)); }

void Explorer::OnRedraw() { view_.StartRenderTimer(); }

void Explorer::ShowRedrawCaption(bool rendering) {
  isRendering_ = rendering;
  view_.ShowToolCaption(Tool::RedrawAbort, rendering ? "Abort" : "Redraw");
}

// ---------------------------------------------------------------- viewport mouse

void Explorer::OnViewportPressed(MouseButton button, float x, float y) {
  if (mouseMode_ == MouseMode::Trace && !isDragging_) {
    isDragging_ = true;
    tracer_ = {x, y, x, y};
    view_.ShowTracer(tracer_);
  }
  if (mouseMode_ != MouseMode::Normal) return;
  StopRendering();
  if (isDragging_ || button != MouseButton::Left) return;
  isDragging_ = true;
  zoomBox_ = {x, y, 0, 0};
  view_.ShowZoomBox(zoomBox_);
  dragStartX_ = Nearest<std::int16_t>(x);
  dragStartY_ = Nearest<std::int16_t>(y);
}

void Explorer::OnViewportMoved(bool onlyLeftHeld, float x, float y) {
  OnReadoutHovered(y);
  view_.ShowCoordinates(FormatCoordinates(renderer_.GetVirtualX(x), renderer_.GetVirtualY(y)));
  if (mouseMode_ == MouseMode::Trace && isDragging_) {
    tracer_.x2 = x;
    tracer_.y2 = y;
    view_.ShowTracer(tracer_);
  }
  if (mouseMode_ != MouseMode::Normal) return;
  view_.ShowStatus(kZoomHint);
  ClearHighlight();
  if (!onlyLeftHeld || !isDragging_) return;
  zoomBox_ = ZoomBox::FromDrag(dragStartX_, dragStartY_, x, y, view_.ViewportWidth(), view_.ViewportHeight());
  view_.ShowZoomBox(zoomBox_);
}

void Explorer::OnReadoutHovered(double y) {
  // The readout always sits in the half of the viewport the mouse is not in.
  view_.PlaceCoordinates(y < view_.ViewportHeight() / 2);
}

void Explorer::OnViewportReleased(float x, float y) {
  if (mouseMode_ == MouseMode::Normal && isDragging_) FinishZoomDrag();
  else if (mouseMode_ == MouseMode::JuliaPick) PickJuliaPoint(x, y);
  else if (mouseMode_ == MouseMode::Trace) FinishTrace(x, y);
}

void Explorer::FinishZoomDrag() {
  view_.HideZoomBox();
  isDragging_ = false;
  // A click is no zoom; the render its press stopped stays stopped.
  if (zoomBox_.IsTiny()) return;
  const auto [left, top, width, height] = zoomBox_.PixelRectangle();
  ZoomToPixels(left, top, width, height);
}

void Explorer::PickJuliaPoint(float x, float y) {
  renderer_.SetJuliaPoint(renderer_.GetVirtualX(x), renderer_.GetVirtualY(y));
  view_.ShowToolLook(Tool::FractalToggle, ToolLook::Normal);
  // The new set is drawn in the starting view, not where it was picked.
  renderer_.WindowReset();
  renderer_.WindowCenterAbsolute(0, 0);
  renderer_.Redraw(false);
  mouseMode_ = MouseMode::Normal;
}

void Explorer::FinishTrace(float x, float y) {
  tracer_.x2 = x;
  tracer_.y2 = y;
  view_.ShowTracer(tracer_);
  isDragging_ = false;
  MelodizerHandoff handoff;
  handoff.realPart1 = renderer_.GetVirtualX(tracer_.x1);
  handoff.imaginaryPart1 = renderer_.GetVirtualY(tracer_.y1);
  handoff.realPart2 = renderer_.GetVirtualX(tracer_.x2);
  handoff.imaginaryPart2 = renderer_.GetVirtualY(tracer_.y2);
  handoff.maxIterations = IterationLimit::FromText(iterationsText_);
  handoff.fractalType = renderer_.GetFractalType();
  handoff.juliaReal = renderer_.GetJuliaPointReal();
  handoff.juliaImaginary = renderer_.GetJuliaPointImaginary();
  view_.ShowMelodizer(handoff);
  // Ends trace mode as a click on "Melodizer..." would.
  OnToolReleased(Tool::Melodizer);
}

// ---------------------------------------------------------------- tool buttons

void Explorer::ClearHighlight() {
  if (!hoveredTool_) return;
  view_.ShowToolHighlight(*hoveredTool_, false);
  hoveredTool_.reset();
}

void Explorer::OnToolHovered(Tool tool) {
  if (hoveredTool_ == tool) return;
  ClearHighlight();
  view_.ShowToolHighlight(tool, true);
  view_.ShowStatus(ToolTipText(tool));
  hoveredTool_ = tool;
}

void Explorer::OnBackgroundHovered() { ClearHighlight(); }

void Explorer::OnToolPressed(Tool tool) {
  if (tool != Tool::RedrawAbort) StopRendering();
}

void Explorer::OnToolReleased(Tool tool) {
  if (mouseMode_ == MouseMode::JuliaPick) {
    ShowMandelbrotStart();
  } else if (mouseMode_ == MouseMode::Trace) {
    view_.ShowToolLook(Tool::Melodizer, ToolLook::Normal);
    view_.HideTracer();
  }
  // Clicking a pending mode's own button again only cancels the mode.
  const bool cancelsOwnMode = static_cast<int>(tool) == static_cast<int>(mouseMode_);
  mouseMode_ = MouseMode::Normal;
  if (!cancelsOwnMode) RunCommand(tool);
}

void Explorer::RunCommand(Tool tool) {
  switch (tool) {
    case Tool::ZoomIn: ZoomIn(); break;
    case Tool::ZoomOut: ZoomOut(); break;
    case Tool::Orbiter: view_.ShowOrbiter(); break;
    case Tool::FractalToggle: ToggleFractal(); break;
    case Tool::RedrawAbort: RedrawOrAbort(); break;
    case Tool::SavePicture: SavePicture(); break;
    case Tool::Melodizer: StartTrace(); break;
    case Tool::LoadBookmarks: view_.ShowBookmarks(); break;
    case Tool::AddBookmark: AddBookmark(renderer_, programFolder_, dialogs_); break;
    case Tool::HalveIterations: SetIterations(IterationLimit::Halved(renderer_.GetMaxIterations())); break;
    case Tool::DoubleIterations: SetIterations(IterationLimit::Doubled(renderer_.GetMaxIterations())); break;
  }
}

void Explorer::ShowFractal(FractalType type) {
  shownFractal_ = type;
  view_.ShowToolCaption(Tool::FractalToggle, FractalCaption(type));
}

void Explorer::ShowMandelbrotStart() {
  view_.ShowToolLook(Tool::FractalToggle, ToolLook::Normal);
  ShowFractal(FractalType::Mandelbrot);
  renderer_.SetFractal(FractalType::Mandelbrot);
  renderer_.WindowReset();
  renderer_.WindowCenterAbsolute(0, 0);
  renderer_.Redraw(false);
}

void Explorer::ToggleFractal() {
  if (shownFractal_ == FractalType::Julia) {
    // Going back to the Mandelbrot set always returns to the starting view.
    ShowMandelbrotStart();
    return;
  }
  mouseMode_ = MouseMode::JuliaPick;
  ShowFractal(FractalType::Julia);
  view_.ShowToolLook(Tool::FractalToggle, ToolLook::ModePending);
  view_.ShowProgress(0);
  view_.ShowStatus(kJuliaHint);
  renderer_.SetFractal(FractalType::Julia);
}

void Explorer::RedrawOrAbort() {
  if (isRendering_) {
    StopRendering();
    return;
  }
  view_.FocusViewport();
  renderer_.Redraw(false);
}

void Explorer::SetIterations(std::int32_t limit) {
  renderer_.SetMaxIterations(limit);
  renderer_.Redraw(false);
}

void Explorer::StartTrace() {
  mouseMode_ = MouseMode::Trace;
  view_.ShowToolLook(Tool::Melodizer, ToolLook::ModePending);
  view_.ShowProgress(0);
  view_.ShowStatus(kTraceHint);
}

void Explorer::OnIterationsLeft() {
  const auto entry = IterationLimit::CheckTyped(iterationsText_);
  if (!entry) {
    iterationsText_ = std::to_string(renderer_.GetMaxIterations());
    view_.ShowIterations(iterationsText_);
    return;
  }
  iterationsText_ = entry->text;
  view_.ShowIterations(iterationsText_);
  StopRendering();
  OnToolReleased(Tool::RedrawAbort);
  // Set after the redraw was started: the drawing happens in later ticks.
  renderer_.SetMaxIterations(entry->limit);
}

void Explorer::ShowBookmark(const Bookmark& bookmark) {
  BookmarkView::Apply(bookmark, renderer_, BookmarkView::JuliaPoint::Always);
  ShowFractal(bookmark.fractalType == 0 ? FractalType::Mandelbrot : FractalType::Julia);
  renderer_.Redraw(false);
}

// ---------------------------------------------------------------- save picture

void Explorer::SavePicture() {
  const std::string fileName = dialogs_.SaveFileDialog({"bmp", "Bitmap Files (*.bmp);;PNG Files (*.png)"});
  if (fileName.empty()) {
    dialogs_.ShowMessage(kNotSaved, MessageIcon::Stop);
    return;
  }
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::path(fileName), error);
  if (error) dialogs_.ShowMessage("Unable to save file:\r\n" + error.message());
  // A name whose existence could not be told is treated as taken, so
  // nothing is overwritten unasked.
  if (!exists && !error) {
    WritePicture(fileName);
    return;
  }
  const std::string question = "The file [" + fileName + "] already exists.  Would you like to overwrite?";
  if (dialogs_.MessageBox(question, MessageButtons::YesNo, MessageIcon::None) == MessageAnswer::Yes) {
    WritePicture(fileName);
    return;
  }
  dialogs_.ShowMessage(kNotSaved, MessageIcon::Stop);
}

void Explorer::WritePicture(const std::string& fileName) {
  if (const auto failure = view_.WritePicture(fileName)) dialogs_.ShowMessage("Unable to save file:\r\n" + *failure);
}
