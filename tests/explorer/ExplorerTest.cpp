#include "Explorer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "BookmarkFolder.h"
#include "MemorySurface.h"
#include "Readouts.h"
#include "ScriptedDialogs.h"

namespace {

const std::string kZoomHint = "Click on a point and drag the mouse to zoom into a specific area";
const std::string kJuliaHint = "Pick a point in the viewport to serve as the origin for the next Julia set";
const std::string kTraceHint = "Click and drag the mouse to define the area you want to trace";
const std::string kNotSaved = "The picture was not saved.";
using Button = Explorer::MouseButton;

// A main window's model on a 600 x 400 viewport, with its first render done,
// and a window that shows what the model shows and records the hand-offs.
class Session : public ExplorerView {
 public:
  Session() { explorer.Load(viewport); explorer.Start(); RunRender(); }
  // The pump as the window runs it, while work remains.
  void RunRender() { while (timerRunning) timerRunning = explorer.OnRenderTimerTick(); }
  void StartRendering() {
    explorer.RedrawView();
    timerRunning = explorer.OnRenderTimerTick();
    ASSERT_TRUE(explorer.IsRendering() && captions[Tool::RedrawAbort] == "Abort");
  }
  // What a user sees of the view, the buttons and the mode, in one line. The
  // window sets the first captions; the model only changes them.
  std::string State() const {
    const FractalRenderer& r = explorer.Renderer();
    std::ostringstream state;
    state << "width " << r.GetWindowWidth() << " at " << r.GetWindowCenterX() << "," << r.GetWindowCenterY()
          << ", limit " << r.GetMaxIterations() << (timerRunning ? ", drawing" : ", still");
    if (captions.count(Tool::FractalToggle)) state << ", " << captions.at(Tool::FractalToggle);
    if (r.GetFractalType() == FractalType::Julia) state << " (julia)";
    for (const auto& [tool, on] : pending)
      if (on) state << ", pending " << static_cast<int>(tool);
    if (explorer.Mode() != MouseMode::Normal) state << ", mode " << static_cast<int>(explorer.Mode());
    state << (zoomBox ? ", zoom box" : "") << (tracer ? ", tracer" : "");
    if (!windows.empty()) state << ", " << windows;
    return state.str();
  }

  float ViewportWidth() const override { return viewport.ScaleWidth(); }
  float ViewportHeight() const override { return viewport.ScaleHeight(); }
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowProgress(double fraction) override { progress.push_back(fraction); }
  void MoveProgressLine(double row) override { progressRows.push_back(row); }
  void ShowIterations(const std::string& text) override { iterations = text; }
  void ShowMagnification(const std::string& text) override { magnification = text; }
  void ShowCoordinates(const std::string& text) override { coordinates = text; }
  void PlaceCoordinates(bool bottom) override { coordinatesAtBottom = bottom; }
  void ShowToolCaption(Tool tool, const std::string& caption) override { captions[tool] = caption; }
  void ShowToolLook(Tool tool, ToolLook look) override { pending[tool] = look == ToolLook::ModePending; }
  void ShowToolHighlight(Tool tool, bool on) override { highlighted[tool] = on; }
  void ShowZoomBox(const ZoomBox& box) override { zoomBox = box; }
  void HideZoomBox() override { zoomBox.reset(); }
  void ShowTracer(const PixelLine& line) override { tracer = line; }
  void HideTracer() override { tracer.reset(); }
  void StartRenderTimer() override { timerRunning = true; }
  void StopRenderTimer() override { timerRunning = false; }
  void FocusViewport() override { windows += "F"; }
  std::optional<std::string> WritePicture(const std::string& name) override {
    if (!writeFailure) std::ofstream(name) << "picture";
    return writeFailure;
  }
  void ShowOrbiter() override { windows += "O"; }
  void ShowBookmarks() override { windows += "B"; }
  void ShowMelodizer(const MelodizerHandoff& handoff) override { handoffs.push_back(handoff); whileMelodizerOpen(); }

  MemorySurface viewport{600, 400};
  std::vector<std::string> statuses{""};
  std::vector<double> progress, progressRows;
  std::string iterations, magnification, coordinates;
  bool coordinatesAtBottom = false, timerRunning = false;
  std::map<Tool, std::string> captions;
  std::map<Tool, bool> pending, highlighted;
  std::optional<ZoomBox> zoomBox;
  std::optional<PixelLine> tracer;
  // A letter for every Orbiter (O) or bookmarks window (B) shown and every
  // time the viewport took the focus (F).
  std::string windows;
  std::optional<std::string> writeFailure;
  std::vector<MelodizerHandoff> handoffs;
  std::function<void()> whileMelodizerOpen = [] {};
  BookmarkFolder folder;
  ScriptedDialogs dialogs;
  Explorer explorer{*this, dialogs, folder.Path()};
};

class ExplorerTest : public testing::Test, protected Session {};

TEST_F(ExplorerTest, StartsOnTheWholeMandelbrotSetAndReportsEveryPassUntilReady) {
  EXPECT_EQ(State(), "width 4 at 0,0, limit 256, still");
  EXPECT_EQ(std::vector({iterations, magnification, captions[Tool::RedrawAbort]}),
            std::vector<std::string>({"256", "1.00E+00X", "Redraw"}));
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"", "Initializing...", "Pass 2/4", "Pass 3/4", "Pass 4/4", "Ready"}));
  EXPECT_EQ(progress.back(), 0.0) << "the bar is emptied at the end";
  // The progress line crosses the viewport where the bar says the pass is.
  ASSERT_EQ(progressRows.size() + 1, progress.size());
  for (std::size_t i = 0; i < progressRows.size(); ++i) EXPECT_EQ(progressRows[i], progress[i] * 400);
}

// A click on a button cancels a pending Julia pick or trace (a drag in a
// pending mode zooms nothing); only a button other than the pending mode's
// own then runs its command. A cancelled pick goes back to the Mandelbrot
// set's starting view; nothing is redrawn before a pick. A press stops the
// render, except on Redraw, which aborts it on its release. Every row starts
// from the view zoomed in once.
TEST_F(ExplorerTest, ToolButtonsRunTheirCommandsAndCancelPendingModes) {
  using enum Tool;
  struct Case { std::vector<Tool> clicks; const char* state; std::string hint = ""; bool drawing = false; };
  const Case cases[] = {
      {{ZoomIn}, "width 1 at 0,0, limit 256, drawing"},
      {{ZoomOut, ZoomOut}, "width 8 at 0,0, limit 256, drawing"},
      {{HalveIterations}, "width 2 at 0,0, limit 128, drawing"},
      {{DoubleIterations}, "width 2 at 0,0, limit 512, drawing"},
      {{RedrawAbort}, "width 2 at 0,0, limit 256, drawing, F"},
      {{Orbiter}, "width 2 at 0,0, limit 256, still, O"},
      {{LoadBookmarks}, "width 2 at 0,0, limit 256, still, B"},
      {{FractalToggle}, "width 2 at 0,0, limit 256, still, Julia Set (julia), pending 3, mode 3", kJuliaHint},
      {{FractalToggle, FractalToggle}, "width 4 at 0,0, limit 256, drawing, Mandelbrot Set"},
      {{FractalToggle, Melodizer}, "width 4 at 0,0, limit 256, drawing, Mandelbrot Set, pending 6, mode 6"},
      {{Melodizer}, "width 2 at 0,0, limit 256, still, pending 6, mode 6", kTraceHint},
      {{Melodizer, Melodizer}, "width 2 at 0,0, limit 256, still"},
      {{Melodizer, FractalToggle}, "width 2 at 0,0, limit 256, still, Julia Set (julia), pending 3, mode 3"},
      {{Orbiter}, "width 2 at 0,0, limit 256, still, O", "", true},
      {{RedrawAbort}, "width 2 at 0,0, limit 256, still", "", true},
  };
  for (const auto& c : cases) {
    Session session;
    session.explorer.ClickTool(ZoomIn);
    session.RunRender();
    if (c.drawing) session.StartRendering();
    for (Tool tool : c.clicks) {
      Explorer& model = session.explorer;
      if (model.Mode() != MouseMode::Normal) model.OnViewportPressed(Button::Left, 10, 10);
      model.OnViewportMoved(true, 40, 40);
      model.ClickTool(tool);
    }
    EXPECT_EQ(session.State(), c.state) << static_cast<int>(c.clicks.back());
    EXPECT_EQ(session.captions[RedrawAbort], "Redraw");
    if (c.hint.empty()) continue;
    EXPECT_EQ(session.statuses.back(), c.hint);
    EXPECT_EQ(session.progress.back(), 0.0) << "the bar is emptied for the hint";
  }
}

TEST_F(ExplorerTest, DraggingABoxZoomsIntoItAndAClickOrAnotherButtonDoesNot) {
  const FractalRenderer& r = explorer.Renderer();
  const std::vector<double> zoomed{r.GetVirtualX(170), r.GetVirtualY(131), 60 * r.GetWindowWidth() / 600};
  StartRendering();
  explorer.OnViewportPressed(Button::Left, 200.4f, 150.6f);
  EXPECT_EQ(State(), "width 4 at 0,0, limit 256, still, zoom box");
  EXPECT_EQ(zoomBox->width + zoomBox->height, 0.0f) << "the box starts as a point";
  explorer.OnViewportMoved(true, 230, 156);
  EXPECT_EQ(zoomBox->PixelRectangle(), ZoomBox::FromDrag(200, 151, 230, 156, 600, 400).PixelRectangle());
  EXPECT_FALSE(tracer) << "a zoom drag draws no trace line";
  explorer.OnViewportMoved(false, 400, 156);
  EXPECT_EQ(zoomBox->width, 60) << "only a move with the left button alone reshapes the box";
  explorer.OnViewportReleased(230, 156);
  EXPECT_TRUE(!zoomBox && timerRunning);
  EXPECT_EQ(std::vector({r.GetWindowLeft(), r.GetWindowTop(), r.GetWindowWidth()}), zoomed);
  for (const auto button : {Button::Left, Button::Other}) {
    RunRender();
    StartRendering();
    explorer.OnViewportPressed(button, 100, 100);
    EXPECT_EQ(explorer.IsDragging(), button == Button::Left);
    // Width plus height 1.67: a click, no zoom, and the stopped render stays stopped.
    explorer.OnViewportMoved(true, 100.5f, 100.2f);
    explorer.OnViewportReleased(100.5f, 100.2f);
    EXPECT_FALSE(explorer.IsDragging() || zoomBox || timerRunning);
    EXPECT_EQ(r.GetWindowWidth(), zoomed[2]);
  }
}

TEST_F(ExplorerTest, TheReadoutShowsThePlaneUnderTheMouseInTheOtherHalfAndHoveringLightsOneButton) {
  const FractalRenderer& r = explorer.Renderer();
  for (const auto& [y, atBottom] : {std::pair{199.5f, true}, {200.0f, false}}) {
    explorer.OnViewportMoved(false, 40, y);
    EXPECT_EQ(coordinatesAtBottom, atBottom) << y;
  }
  EXPECT_EQ(coordinates, FormatCoordinates(r.GetVirtualX(40), r.GetVirtualY(200)));
  explorer.OnReadoutHovered(10);
  EXPECT_TRUE(coordinatesAtBottom) << "over the readout only its place follows the mouse";
  // The Orbiter has always shown the Melodizer's tip; moving within one
  // button changes nothing; a move in the viewport puts the button out and
  // shows the zoom hint.
  for (const Tool tool : {Tool::Orbiter, Tool::SavePicture, Tool::SavePicture}) explorer.OnToolHovered(tool);
  EXPECT_EQ(highlighted, (std::map<Tool, bool>{{Tool::Orbiter, false}, {Tool::SavePicture, true}}));
  explorer.OnViewportMoved(false, 5, 5);
  EXPECT_FALSE(highlighted[Tool::SavePicture] || explorer.HoveredTool());
  EXPECT_EQ(std::vector(statuses.end() - 3, statuses.end()),
            std::vector<std::string>({"Convert a linear cross-section of the fractal object into a melody",
                                      "Export the image in the viewport to a bitmap file", kZoomHint}));
}

// A changed limit is shown as the renderer reports it, after the bounds; an
// unchanged one as typed. A number left in the box ends the pending mode as a
// click on Redraw would; text that is no number (limit 0 here) only brings
// the limit back.
TEST_F(ExplorerTest, LeavingTheIterationBoxChecksTheTextAndRestartsTheRender) {
  const std::tuple<const char*, const char*, std::int32_t> entries[] = {
      {"0", "1", 1},          {"1e9", "131072", 131072}, {"131072.4", "131072", 131072},
      {"131072.0", "131072.0", 131072}, {" 300 ", "300", 300}, {"2.5", "2", 2}, {"3.5", "4", 4},
      {"3.5e2", "350", 350},  {" 350 ", " 350 ", 350},   {"lots", "350", 0}};
  for (const auto& [typed, shown, limit] : entries) {
    explorer.ClickTool(Tool::Melodizer);
    explorer.OnIterationsTyped(typed);
    explorer.OnIterationsLeft();
    EXPECT_EQ(iterations, shown) << typed;
    const std::string redrawn = "width 4 at 0,0, limit " + std::to_string(limit) + ", drawing, F";
    EXPECT_EQ(State(), limit ? redrawn : "width 4 at 0,0, limit 350, still, pending 6, mode 6") << typed;
    if (!limit) explorer.ClickTool(Tool::Melodizer);
    RunRender();
    windows.clear();
  }
}

TEST_F(ExplorerTest, ATracedLineGoesToTheMelodizerWithTheViewsSetAndThenTraceModeEnds) {
  explorer.ShowBookmark({"J", 0.1, -0.2, 3.0, 300, 1, -0.8, 0.156});
  RunRender();
  explorer.ClickTool(Tool::Melodizer);
  explorer.OnIterationsTyped("40000.5");
  StartRendering();
  // Tracing does not stop the main render.
  explorer.OnViewportPressed(Button::Other, 10, 20);
  explorer.OnViewportMoved(false, 50, 60);
  EXPECT_EQ(tracer->x2, 50);
  std::string whileOpen;
  whileMelodizerOpen = [&] { whileOpen = State(); };
  explorer.OnViewportReleased(70, 80);
  EXPECT_EQ(whileOpen, "width 3 at 0.1,-0.2, limit 300, drawing, Julia Set (julia), pending 6, mode 6, tracer");
  EXPECT_EQ(State(), "width 3 at 0.1,-0.2, limit 300, drawing, Julia Set (julia)");
  EXPECT_FALSE(explorer.IsDragging());
  const FractalRenderer& r = explorer.Renderer();
  ASSERT_EQ(handoffs.size(), 1u);
  const MelodizerHandoff& h = handoffs[0];
  // The imaginary parts are not negated as in the readout.
  EXPECT_EQ(std::vector({h.realPart1, h.imaginaryPart1, h.realPart2, h.imaginaryPart2, h.juliaReal,
                         h.juliaImaginary, double(h.maxIterations), double(h.fractalType)}),
            std::vector({r.GetVirtualX(10), r.GetVirtualY(20), r.GetVirtualX(70), r.GetVirtualY(80), -0.8,
                         0.156, 40000.0, 1.0}));
}

TEST_F(ExplorerTest, SavingAPictureAsksBeforeOverwritingAndReportsEveryOtherOutcome) {
  const std::string path = (folder.Path() / "view.bmp").string();
  const std::string exists = "The file [" + path + "] already exists.  Would you like to overwrite?";
  // The answer to the save dialog, what the file held, the answer to the
  // question, how writing fails; the messages shown and what the file holds.
  using Case = std::tuple<std::string, std::string, MessageAnswer, std::optional<std::string>,
                          std::vector<std::string>, std::string>;
  const Case cases[] = {{"", "", MessageAnswer::Yes, std::nullopt, {kNotSaved}, ""},
                        {path, "old", MessageAnswer::No, std::nullopt, {exists, kNotSaved}, "old"},
                        {path, "old", MessageAnswer::Yes, std::nullopt, {exists}, "picture"},
                        {path, "", MessageAnswer::Yes, "Disk full", {"Unable to save file:\r\nDisk full"},
                         ""}};
  for (const auto& [name, before, overwrite, failure, messages, after] : cases) {
    std::filesystem::remove(path);
    if (!before.empty()) std::ofstream(path) << before;
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(name);
    if (!before.empty()) dialogs.AnswerMessage(overwrite);
    writeFailure = failure;
    explorer.ClickTool(Tool::SavePicture);
    EXPECT_EQ(dialogs.Messages(), messages) << name << before;
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), after) << name << before;
  }
  EXPECT_EQ(dialogs.History()[0].text + " " + dialogs.History()[0].defaultAnswer,
            "Bitmap Files (*.bmp);;PNG Files (*.png) bmp");
}

TEST_F(ExplorerTest, BookmarksJuliaPicksAndOtherWaysInMoveTheView) {
  explorer.ClickTool(Tool::ZoomIn);
  RunRender();
  dialogs.AnswerInput("Closer");
  explorer.ClickTool(Tool::AddBookmark);
  EXPECT_TRUE(dialogs.Messages().empty()) << "a successful add is silent";
  EXPECT_EQ(State(), "width 2 at 0,0, limit 256, still") << "and redraws nothing";
  const auto added = BookmarkStore::Open(folder.Path()).Value().Find("Closer");
  EXPECT_TRUE(added.Ok() && added.Value() && added.Value()->windowWidth == 2.0);
  // A Julia pick takes the clicked point and draws its set in the starting
  // view; moves meanwhile leave the status alone.
  explorer.ClickTool(Tool::FractalToggle);
  const ComplexNumber picked{explorer.Renderer().GetVirtualX(120), explorer.Renderer().GetVirtualY(90)};
  explorer.OnViewportMoved(false, 130, 95);
  EXPECT_EQ(statuses.back(), kJuliaHint);
  explorer.OnViewportPressed(Button::Other, 120, 90);
  explorer.OnViewportReleased(120, 90);
  EXPECT_EQ(State(), "width 4 at 0,0, limit 256, drawing, Julia Set (julia)");
  EXPECT_EQ(std::pair(explorer.Renderer().GetJuliaPointReal(), explorer.Renderer().GetJuliaPointImaginary()),
            std::pair(picked.real, picked.imaginary));

  explorer.ShowBookmark({"J", 0.25, 0.5, 1.0, 512, 1, -0.4, 0.6});
  EXPECT_EQ(State(), "width 1 at 0.25,0.5, limit 512, drawing, Julia Set (julia)");
  explorer.ShowBookmark({"M", -0.5, 0, 3, 256, 0, 0, 0});
  EXPECT_EQ(explorer.Renderer().GetJuliaPointReal(), 0.0) << "loading always sets the Julia point";
  // A centred view (of the bookmark's width and set) is drawn at once.
  // Minimising only clears the status; a resize stops the render and draws
  // the view again once the window is laid out.
  RunRender();
  explorer.CenterOn(-0.5, 0.25);
  EXPECT_EQ(State(), "width 3 at -0.5,0.25, limit 256, drawing, Mandelbrot Set");
  StartRendering();
  EXPECT_FALSE(explorer.OnResizing(true));
  EXPECT_EQ(statuses.back(), "");
  EXPECT_TRUE(explorer.IsRendering() && timerRunning);
  EXPECT_TRUE(explorer.OnResizing(false));
  EXPECT_FALSE(explorer.IsRendering() || timerRunning);
  viewport.Resize(300, 100);
  explorer.OnLaidOut();
  EXPECT_EQ(State(), "width 3 at -0.5,0.25, limit 256, drawing, Mandelbrot Set");
  EXPECT_EQ(explorer.Renderer().GetWindowHeight(), 1.0);
}

}  // namespace
