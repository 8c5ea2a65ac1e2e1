#include "Explorer.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
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

// Shows what the model shows, as a window would, and records the hand-offs.
class FakeView final : public ExplorerView {
 public:
  explicit FakeView(MemorySurface& viewport) : viewport_(viewport) {}

  float ViewportWidth() const override { return viewport_.ScaleWidth(); }
  float ViewportHeight() const override { return viewport_.ScaleHeight(); }
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowProgress(double fraction) override { progress.push_back(fraction); }
  void MoveProgressLine(double row) override { progressRows.push_back(row); }
  void ShowIterations(const std::string& text) override { iterations = text; }
  void ShowMagnification(const std::string& text) override { magnification = text; }
  void ShowCoordinates(const std::string& text) override { coordinates = text; }
  void PlaceCoordinates(bool bottom) override { coordinatesAtBottom = bottom; }
  void ShowToolCaption(Tool tool, const std::string& caption) override { captions[Index(tool)] = caption; }
  void ShowToolLook(Tool tool, ToolLook look) override { looks[Index(tool)] = look; }
  void ShowToolHighlight(Tool tool, bool on) override { highlighted[Index(tool)] = on; }
  void ShowZoomBox(const ZoomBox& box) override { zoomBox = box; }
  void HideZoomBox() override { zoomBox.reset(); }
  void ShowTracer(const PixelLine& line) override { tracer = line; }
  void HideTracer() override { tracer.reset(); }
  void StartRenderTimer() override { timerRunning = true; }
  void StopRenderTimer() override { timerRunning = false; }
  void FocusViewport() override { ++viewportFocused; }
  std::optional<std::string> WritePicture(const std::string& fileName) override {
    if (writeFailure) return writeFailure;
    std::ofstream(fileName) << "picture";
    return std::nullopt;
  }
  void ShowOrbiter() override { ++orbiterShown; }
  void ShowBookmarks() override { ++bookmarksShown; }
  void ShowMelodizer(const MelodizerHandoff& handoff) override {
    handoffs.push_back(handoff);
    if (whileMelodizerOpen) whileMelodizerOpen();
  }

  const std::string& Status() const { return statuses.back(); }
  const std::string& Caption(Tool tool) const { return captions[Index(tool)]; }
  ToolLook Look(Tool tool) const { return looks[Index(tool)]; }
  bool Highlighted(Tool tool) const { return highlighted[Index(tool)]; }

  std::vector<std::string> statuses{" "};
  std::vector<double> progress;
  std::vector<double> progressRows;
  std::string iterations, magnification, coordinates;
  bool coordinatesAtBottom = false;
  std::array<std::string, kToolCount> captions{};
  std::array<ToolLook, kToolCount> looks{};
  std::array<bool, kToolCount> highlighted{};
  std::optional<ZoomBox> zoomBox;
  std::optional<PixelLine> tracer;
  bool timerRunning = false;
  int viewportFocused = 0;
  std::optional<std::string> writeFailure;
  int orbiterShown = 0;
  int bookmarksShown = 0;
  std::vector<MelodizerHandoff> handoffs;
  std::function<void()> whileMelodizerOpen;

 private:
  static int Index(Tool tool) { return static_cast<int>(tool); }
  MemorySurface& viewport_;
};

// A main window's model on a 600 x 400 viewport, loaded, with its first
// render done.
class ExplorerSession {
 public:
  ExplorerSession() {
    explorer.Load(viewport);
    explorer.Start();
    RunRender();
  }

  // The pump as the window runs it: off during each tick, on again while
  // work remains.
  void RunRender() {
    while (view.timerRunning) {
      view.timerRunning = false;
      if (explorer.OnRenderTimerTick()) view.timerRunning = true;
    }
  }
  void StartRenderAndTakeOneStep() {
    explorer.RedrawView();
    view.timerRunning = explorer.OnRenderTimerTick();
    ASSERT_TRUE(explorer.IsRendering());
  }
  void Click(Tool tool) {
    explorer.OnToolPressed(tool);
    explorer.OnToolReleased(tool);
  }
  void ClickViewport(float x, float y, Explorer::MouseButton button = Explorer::MouseButton::Left) {
    explorer.OnViewportPressed(button, x, y);
    explorer.OnViewportReleased(x, y);
  }
  double ViewWidth() const { return explorer.Renderer().GetWindowWidth(); }

  MemorySurface viewport{600, 400};
  FakeView view{viewport};
  BookmarkFolder folder;
  ScriptedDialogs dialogs;
  Explorer explorer{view, dialogs, folder.Path()};
};

class ExplorerTest : public testing::Test, protected ExplorerSession {};

TEST_F(ExplorerTest, StartsOnTheWholeMandelbrotSetAndReportsEveryPassUntilReady) {
  EXPECT_EQ(view.iterations, "256");
  EXPECT_EQ(view.magnification, "1.00E+00X");
  EXPECT_EQ(explorer.Renderer().GetWindowCenterX(), 0.0);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterY(), 0.0);
  EXPECT_EQ(view.Status(), "Ready");
  EXPECT_EQ(view.Caption(Tool::RedrawAbort), "Redraw");
  EXPECT_FALSE(explorer.IsRendering());
  EXPECT_EQ(view.progress.back(), 0.0) << "the bar is emptied at the end";
  EXPECT_EQ(view.statuses[1], "Initializing...");
  const std::vector<std::string> passes(view.statuses.begin() + 2, view.statuses.end() - 1);
  ASSERT_FALSE(passes.empty());
  // The first pass bounds the set and reports no pass text of its own.
  for (std::size_t pass = 0; pass < passes.size(); ++pass)
    EXPECT_EQ(passes[pass], "Pass " + std::to_string(pass + 2) + "/" + std::to_string(passes.size() + 1));
  // The progress line crosses the viewport where the bar says the pass is.
  ASSERT_EQ(view.progressRows.size() + 1, view.progress.size());
  for (std::size_t i = 0; i < view.progressRows.size(); ++i) EXPECT_EQ(view.progressRows[i], view.progress[i] * 400);
}

TEST_F(ExplorerTest, ViewAndLimitButtonsChangeTheViewAndDrawItAgain) {
  const struct {
    Tool tool;
    double width;
    std::int32_t limit;
    const char* magnification;
  } commands[] = {{Tool::ZoomIn, 2, 256, "2.00E+00X"},
                  {Tool::ZoomOut, 4, 256, "1.00E+00X"},
                  {Tool::ZoomOut, 8, 256, "5.00E-01X"},
                  {Tool::HalveIterations, 8, 128, "5.00E-01X"},
                  {Tool::DoubleIterations, 8, 256, "5.00E-01X"},
                  {Tool::DoubleIterations, 8, 512, "5.00E-01X"}};
  for (const auto& command : commands) {
    Click(command.tool);
    EXPECT_TRUE(view.timerRunning) << static_cast<int>(command.tool);
    EXPECT_EQ(ViewWidth(), command.width);
    EXPECT_EQ(explorer.Renderer().GetMaxIterations(), command.limit);
    EXPECT_EQ(view.iterations, std::to_string(command.limit));
    EXPECT_EQ(view.magnification, command.magnification);
    RunRender();
  }
}

TEST_F(ExplorerTest, PressesStopTheRenderExceptOnRedrawWhichAbortsOrRedrawsOnItsRelease) {
  StartRenderAndTakeOneStep();
  explorer.OnToolPressed(Tool::RedrawAbort);
  EXPECT_TRUE(explorer.IsRendering()) << "its press stops nothing";
  explorer.OnToolReleased(Tool::RedrawAbort);
  EXPECT_FALSE(explorer.IsRendering());
  EXPECT_FALSE(view.timerRunning);
  EXPECT_EQ(view.Caption(Tool::RedrawAbort), "Redraw");
  EXPECT_EQ(view.viewportFocused, 0);

  Click(Tool::RedrawAbort);
  EXPECT_EQ(view.viewportFocused, 1);
  EXPECT_TRUE(view.timerRunning);
  view.timerRunning = explorer.OnRenderTimerTick();
  EXPECT_EQ(view.Caption(Tool::RedrawAbort), "Abort");
  for (const Tool tool : {Tool::AddBookmark, Tool::SavePicture, Tool::Orbiter, Tool::ZoomIn}) {
    StartRenderAndTakeOneStep();
    explorer.OnToolPressed(tool);
    EXPECT_FALSE(explorer.IsRendering()) << static_cast<int>(tool);
    EXPECT_FALSE(view.timerRunning);
  }
}

TEST_F(ExplorerTest, AJuliaPickTakesTheClickedPointAndDrawsItsSetInTheStartingView) {
  Click(Tool::ZoomIn);
  RunRender();
  Click(Tool::FractalToggle);
  EXPECT_EQ(explorer.Mode(), MouseMode::JuliaPick);
  EXPECT_EQ(view.Caption(Tool::FractalToggle), "Julia Set");
  EXPECT_EQ(view.Look(Tool::FractalToggle), ToolLook::ModePending);
  EXPECT_EQ(view.Status(), kJuliaHint);
  EXPECT_EQ(view.progress.back(), 0.0);
  EXPECT_FALSE(view.timerRunning) << "nothing is redrawn before the pick";
  EXPECT_EQ(explorer.Renderer().GetFractalType(), FractalType::Julia);

  const double real = explorer.Renderer().GetVirtualX(120);
  const double imaginary = explorer.Renderer().GetVirtualY(90);
  explorer.OnViewportMoved(false, 130, 95);
  EXPECT_EQ(view.Status(), kJuliaHint) << "moves leave the status alone";
  ClickViewport(120, 90, Explorer::MouseButton::Other);
  EXPECT_EQ(explorer.Mode(), MouseMode::Normal);
  EXPECT_EQ(view.Look(Tool::FractalToggle), ToolLook::Normal);
  EXPECT_EQ(explorer.Renderer().GetJuliaPointReal(), real);
  EXPECT_EQ(explorer.Renderer().GetJuliaPointImaginary(), imaginary);
  EXPECT_EQ(ViewWidth(), 4.0);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterX(), 0.0);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterY(), 0.0);
  EXPECT_TRUE(view.timerRunning);
  RunRender();

  // From the Julia set the toggle returns straight to the starting view.
  Click(Tool::ZoomIn);
  Click(Tool::FractalToggle);
  EXPECT_EQ(explorer.Mode(), MouseMode::Normal);
  EXPECT_EQ(view.Caption(Tool::FractalToggle), "Mandelbrot Set");
  EXPECT_EQ(explorer.Renderer().GetFractalType(), FractalType::Mandelbrot);
  EXPECT_EQ(ViewWidth(), 4.0);
}

TEST(ExplorerModesTest, AnyButtonCancelsAPendingModeAndOnlyAnotherButtonRunsItsCommand) {
  const struct {
    Tool starter;
    Tool next;
    MouseMode after;
    int orbiters;
    std::int32_t limit;
  } cases[] = {{Tool::FractalToggle, Tool::FractalToggle, MouseMode::Normal, 0, 256},
               {Tool::FractalToggle, Tool::DoubleIterations, MouseMode::Normal, 0, 512},
               {Tool::FractalToggle, Tool::Melodizer, MouseMode::Trace, 0, 256},
               {Tool::Melodizer, Tool::Melodizer, MouseMode::Normal, 0, 256},
               {Tool::Melodizer, Tool::Orbiter, MouseMode::Normal, 1, 256},
               {Tool::Melodizer, Tool::FractalToggle, MouseMode::JuliaPick, 0, 256}};
  for (const auto& c : cases) {
    ExplorerSession session;
    session.Click(Tool::ZoomIn);
    session.Click(c.starter);
    session.explorer.OnViewportPressed(Explorer::MouseButton::Left, 10, 10);
    session.explorer.OnViewportMoved(true, 40, 40);
    session.Click(c.next);
    const FakeView& view = session.view;
    const std::string label =
        std::to_string(static_cast<int>(c.starter)) + " then " + std::to_string(static_cast<int>(c.next));
    EXPECT_EQ(session.explorer.Mode(), c.after) << label;
    EXPECT_EQ(view.orbiterShown, c.orbiters) << label;
    EXPECT_EQ(session.explorer.Renderer().GetMaxIterations(), c.limit) << label;
    EXPECT_EQ(view.Look(c.starter), ToolLook::Normal) << label;
    if (c.starter == Tool::FractalToggle) {
      // A cancelled pick goes back to the Mandelbrot set's starting view.
      EXPECT_EQ(session.ViewWidth(), 4.0) << label;
      EXPECT_EQ(session.explorer.Renderer().GetFractalType(),
                c.after == MouseMode::JuliaPick ? FractalType::Julia : FractalType::Mandelbrot) << label;
    } else {
      EXPECT_FALSE(view.tracer) << label;
      EXPECT_EQ(session.ViewWidth(), 2.0) << label;
    }
  }
}

TEST_F(ExplorerTest, DraggingABoxZoomsIntoItAndAClickOrAnotherButtonDoesNot) {
  const double pixel = ViewWidth() / 600;
  const double left = explorer.Renderer().GetWindowLeft();
  const double top = explorer.Renderer().GetWindowTop();
  StartRenderAndTakeOneStep();
  explorer.OnViewportPressed(Explorer::MouseButton::Left, 200.4f, 150.6f);
  EXPECT_FALSE(explorer.IsRendering());
  EXPECT_TRUE(explorer.IsDragging());
  ASSERT_TRUE(view.zoomBox);
  EXPECT_EQ(view.zoomBox->left, 200.4f);
  EXPECT_EQ(view.zoomBox->top, 150.6f);
  EXPECT_EQ(view.zoomBox->width + view.zoomBox->height, 0.0f) << "the box starts as a point";
  explorer.OnViewportMoved(true, 230, 156);
  EXPECT_FALSE(view.tracer) << "a zoom drag draws no trace line";
  ASSERT_TRUE(view.zoomBox);
  EXPECT_EQ(view.zoomBox->width, 60);
  EXPECT_EQ(view.zoomBox->height, 40);
  EXPECT_EQ(view.zoomBox->left, 170) << "centred on the start, rounded to whole pixels";
  explorer.OnViewportMoved(false, 400, 156);
  EXPECT_EQ(view.zoomBox->width, 60) << "only a move with the left button alone reshapes the box";
  explorer.OnViewportReleased(230, 156);
  EXPECT_FALSE(view.zoomBox);
  EXPECT_FALSE(explorer.IsDragging());
  EXPECT_DOUBLE_EQ(explorer.Renderer().GetWindowLeft(), left + 170 * pixel);
  EXPECT_DOUBLE_EQ(explorer.Renderer().GetWindowTop(), top + 131 * pixel);
  EXPECT_DOUBLE_EQ(ViewWidth(), 60 * pixel);
  EXPECT_TRUE(view.timerRunning);
  RunRender();

  const double zoomedWidth = ViewWidth();
  for (const auto button : {Explorer::MouseButton::Left, Explorer::MouseButton::Other}) {
    StartRenderAndTakeOneStep();
    explorer.OnViewportPressed(button, 100, 100);
    EXPECT_EQ(explorer.IsDragging(), button == Explorer::MouseButton::Left);
    // Width plus height 1.67: a click, no zoom.
    explorer.OnViewportMoved(true, 100.5f, 100.2f);
    explorer.OnViewportReleased(100.5f, 100.2f);
    EXPECT_FALSE(view.zoomBox);
    EXPECT_FALSE(explorer.IsDragging());
    EXPECT_EQ(ViewWidth(), zoomedWidth);
    EXPECT_FALSE(view.timerRunning) << "the stopped render stays stopped";
  }
}

TEST_F(ExplorerTest, TheReadoutShowsThePlaneUnderTheMouseInTheOtherHalfOfTheViewport) {
  for (const auto& [y, atBottom] : {std::pair{20.0f, true}, {199.5f, true}, {200.0f, false}, {390.0f, false}}) {
    explorer.OnViewportMoved(false, 40, y);
    EXPECT_EQ(view.coordinatesAtBottom, atBottom) << y;
    EXPECT_EQ(view.coordinates, FormatCoordinates(explorer.Renderer().GetVirtualX(40),
                                                  explorer.Renderer().GetVirtualY(y)));
  }
  const std::string shown = view.coordinates;
  explorer.OnReadoutHovered(10);
  EXPECT_TRUE(view.coordinatesAtBottom);
  EXPECT_EQ(view.coordinates, shown) << "over the readout only its place follows the mouse";
}

TEST_F(ExplorerTest, HoveringLightsOneButtonAndShowsItsTipUntilTheBackgroundOrViewport) {
  explorer.OnToolHovered(Tool::Orbiter);
  EXPECT_TRUE(view.Highlighted(Tool::Orbiter));
  const std::string orbiterTip = view.Status();
  explorer.OnToolHovered(Tool::Melodizer);
  EXPECT_FALSE(view.Highlighted(Tool::Orbiter));
  EXPECT_EQ(view.Status(), orbiterTip) << "the Orbiter has always shown the Melodizer's tip";
  explorer.OnToolHovered(Tool::SavePicture);
  EXPECT_EQ(view.Status(), "Export the image in the viewport to a bitmap file");
  const std::size_t shown = view.statuses.size();
  explorer.OnToolHovered(Tool::SavePicture);
  EXPECT_EQ(view.statuses.size(), shown) << "moving within one button changes nothing";
  explorer.OnBackgroundHovered();
  EXPECT_FALSE(view.Highlighted(Tool::SavePicture));
  EXPECT_FALSE(explorer.HoveredTool());
  EXPECT_EQ(view.Status(), "Export the image in the viewport to a bitmap file");

  explorer.OnToolHovered(Tool::ZoomIn);
  explorer.OnViewportMoved(false, 5, 5);
  EXPECT_FALSE(view.Highlighted(Tool::ZoomIn));
  EXPECT_EQ(view.Status(), kZoomHint);
}

TEST_F(ExplorerTest, LeavingTheIterationBoxChecksTheTextAndAlwaysRestartsTheRender) {
  const struct {
    const char* typed;
    const char* shown;
    std::int32_t limit;
    bool redrawn;
  } entries[] = {// A changed limit is shown as the renderer reports it...
                 {"0", "1", 1, true},        {"500000", "131072", 131072, true}, {"900000", "131072", 131072, true},
                 {" 300 ", "300", 300, true},
                 {"2.5", "2", 2, true},      {"3.5e2", "350", 350, true},
                 // ...an unchanged one as typed, after the bounds.
                 {" 350 ", " 350 ", 350, true}, {"350.4", "350.4", 350, true},
                 {"lots", "350", 350, false}, {"", "350", 350, false}};
  for (const auto& entry : entries) {
    Click(Tool::Melodizer);
    explorer.OnIterationsTyped(entry.typed);
    explorer.OnIterationsLeft();
    EXPECT_EQ(view.iterations, entry.shown) << entry.typed;
    EXPECT_EQ(explorer.Renderer().GetMaxIterations(), entry.limit) << entry.typed;
    EXPECT_EQ(view.timerRunning, entry.redrawn) << entry.typed;
    // A number left in the box ends the pending mode as a click on Redraw would.
    EXPECT_EQ(explorer.Mode(), entry.redrawn ? MouseMode::Normal : MouseMode::Trace) << entry.typed;
    if (!entry.redrawn) Click(Tool::Melodizer);
    RunRender();
  }
}

TEST_F(ExplorerTest, ATracedLineGoesToTheMelodizerWithTheViewsSetAndThenTraceModeEnds) {
  const Bookmark julia{"J", 0.1, -0.2, 3.0, 300, 1, -0.8, 0.156};
  explorer.ShowBookmark(julia);
  RunRender();
  Click(Tool::Melodizer);
  EXPECT_EQ(explorer.Mode(), MouseMode::Trace);
  EXPECT_EQ(view.Look(Tool::Melodizer), ToolLook::ModePending);
  EXPECT_EQ(view.Status(), kTraceHint);
  explorer.OnIterationsTyped("40000.5");

  StartRenderAndTakeOneStep();
  explorer.OnViewportPressed(Explorer::MouseButton::Other, 10, 20);
  EXPECT_TRUE(explorer.IsRendering()) << "tracing does not stop the main render";
  explorer.OnViewportMoved(false, 50, 60);
  ASSERT_TRUE(view.tracer);
  EXPECT_EQ(view.tracer->x2, 50);
  bool traceShownWhileOpen = false;
  view.whileMelodizerOpen = [&] { traceShownWhileOpen = view.tracer && explorer.Mode() == MouseMode::Trace; };
  explorer.OnViewportReleased(70, 80);

  ASSERT_EQ(view.handoffs.size(), 1u);
  const MelodizerHandoff& handoff = view.handoffs[0];
  const FractalRenderer& renderer = explorer.Renderer();
  EXPECT_EQ(handoff.realPart1, renderer.GetVirtualX(10));
  EXPECT_EQ(handoff.imaginaryPart1, renderer.GetVirtualY(20)) << "not negated as in the readout";
  EXPECT_EQ(handoff.realPart2, renderer.GetVirtualX(70));
  EXPECT_EQ(handoff.imaginaryPart2, renderer.GetVirtualY(80));
  EXPECT_EQ(handoff.maxIterations, 40000);
  EXPECT_EQ(handoff.fractalType, FractalType::Julia);
  EXPECT_EQ(handoff.juliaReal, -0.8);
  EXPECT_EQ(handoff.juliaImaginary, 0.156);
  EXPECT_TRUE(traceShownWhileOpen);
  EXPECT_EQ(explorer.Mode(), MouseMode::Normal);
  EXPECT_EQ(view.Look(Tool::Melodizer), ToolLook::Normal);
  EXPECT_FALSE(view.tracer);
  EXPECT_FALSE(explorer.IsDragging());

  // A click without dragging hands over a line of length zero.
  Click(Tool::Melodizer);
  ClickViewport(33, 44);
  ASSERT_EQ(view.handoffs.size(), 2u);
  EXPECT_EQ(view.handoffs[1].realPart1, view.handoffs[1].realPart2);
  EXPECT_EQ(view.handoffs[1].imaginaryPart1, view.handoffs[1].imaginaryPart2);
}

TEST_F(ExplorerTest, SavingAPictureAsksBeforeOverwritingAndReportsEveryOtherOutcome) {
  const std::string path = (folder.Path() / "view.bmp").string();
  const std::string exists = "The file [" + path + "] already exists.  Would you like to overwrite?";
  const struct {
    const char* name;
    bool present;
    std::optional<MessageAnswer> answer;
    std::optional<std::string> failure;
    std::vector<std::string> messages;
    const char* content;
  } cases[] = {
      {"cancelled", false, std::nullopt, std::nullopt, {kNotSaved}, ""},
      {"new file", false, std::nullopt, std::nullopt, {}, "picture"},
      {"kept", true, MessageAnswer::No, std::nullopt, {exists, kNotSaved}, "old"},
      {"overwritten", true, MessageAnswer::Yes, std::nullopt, {exists}, "picture"},
      {"failed", false, std::nullopt, "Disk full", {"Unable to save file:\r\nDisk full"}, ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(path);
    if (c.present) std::ofstream(path) << "old";
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(c.name == std::string("cancelled") ? "" : path);
    if (c.answer) dialogs.AnswerMessage(*c.answer);
    view.writeFailure = c.failure;
    Click(Tool::SavePicture);
    EXPECT_EQ(dialogs.Messages(), c.messages) << c.name;
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), c.content) << c.name;
  }
  ASSERT_FALSE(dialogs.History().empty());
  EXPECT_EQ(dialogs.History()[0].text, "Bitmap Files (*.bmp);;PNG Files (*.png)");
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "bmp");
}

TEST_F(ExplorerTest, BookmarksAreAddedFromTheViewAndLoadedWithTheirSet) {
  Click(Tool::ZoomIn);
  dialogs.AnswerInput("Closer");
  Click(Tool::AddBookmark);
  EXPECT_TRUE(dialogs.Messages().empty()) << "a successful add is silent";
  EXPECT_FALSE(view.timerRunning) << "and redraws nothing";
  auto store = BookmarkStore::Open(folder.Path());
  ASSERT_TRUE(store.Ok());
  const auto added = store.Value().Find("Closer");
  ASSERT_TRUE(added.Ok() && added.Value());
  EXPECT_EQ(added.Value()->windowWidth, 2.0);

  Click(Tool::LoadBookmarks);
  EXPECT_EQ(view.bookmarksShown, 1);
  const Bookmark julia{"J", 0.25, 0.5, 1.0, 512, 1, -0.4, 0.6};
  explorer.ShowBookmark(julia);
  EXPECT_EQ(view.Caption(Tool::FractalToggle), "Julia Set");
  EXPECT_EQ(explorer.ShownFractal(), FractalType::Julia);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterX(), 0.25);
  EXPECT_EQ(explorer.Renderer().GetJuliaPointReal(), -0.4);
  EXPECT_EQ(view.iterations, "512");
  EXPECT_TRUE(view.timerRunning);
  // The toggle now knows the Julia set is shown and goes back to the start.
  Click(Tool::FractalToggle);
  EXPECT_EQ(explorer.Mode(), MouseMode::Normal);
  EXPECT_EQ(view.Caption(Tool::FractalToggle), "Mandelbrot Set");
  explorer.ShowBookmark(Bookmark{"M", -0.5, 0, 3, 256, 0, 0, 0});
  EXPECT_EQ(view.Caption(Tool::FractalToggle), "Mandelbrot Set");
  EXPECT_EQ(explorer.Renderer().GetJuliaPointReal(), 0.0) << "loading always sets the Julia point";
}

TEST_F(ExplorerTest, ViewOperationsForOtherWaysInMoveTheViewAndDrawIt) {
  explorer.CenterOn(-0.5, 0.25);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterX(), -0.5);
  EXPECT_EQ(explorer.Renderer().GetWindowCenterY(), 0.25);
  EXPECT_TRUE(view.timerRunning);
  RunRender();
  explorer.SetView(0.1, 0.2, 0.5);
  EXPECT_EQ(explorer.Renderer().GetWindowWidth(), 0.5);
  EXPECT_EQ(view.magnification, "8.00E+00X");
  EXPECT_TRUE(view.timerRunning);
}

TEST_F(ExplorerTest, AResizeAbortsAndDrawsAgainWhileMinimisingOnlyClearsTheStatus) {
  StartRenderAndTakeOneStep();
  EXPECT_FALSE(explorer.OnResizing(true));
  EXPECT_EQ(view.Status(), "");
  EXPECT_TRUE(explorer.IsRendering());
  EXPECT_TRUE(view.timerRunning);

  EXPECT_TRUE(explorer.OnResizing(false));
  EXPECT_FALSE(explorer.IsRendering());
  EXPECT_FALSE(view.timerRunning);
  viewport.Resize(300, 100);
  explorer.OnLaidOut();
  EXPECT_TRUE(view.timerRunning);
  EXPECT_DOUBLE_EQ(explorer.Renderer().GetWindowWidth() / 300, explorer.Renderer().GetWindowHeight() / 100);
}

}  // namespace
