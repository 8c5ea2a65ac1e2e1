#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "EscapeCount.h"
#include "FractalRenderer.h"
#include "HLS.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "RowsAhead.h"

namespace {

// Shows where nothing was painted.
constexpr std::int32_t kBackground = 0x123456;

struct View {
  int width, height;
  std::int32_t cap = 256;
  double centreX = 0, centreY = 0, viewWidth = 4;
  bool julia = false, draft = false;
};

// A renderer on a surface in memory showing `view`, its events recorded from
// the first Redraw on.
struct Harness {
  explicit Harness(const View& view, RowCounter* counter = nullptr)
      : surface(view.width, view.height, kBackground) {
    renderer.SetListener(&listener);
    renderer.SetRowCounter(counter);
    renderer.Initialize(surface);
    renderer.SetMaxIterations(view.cap);
    renderer.WindowSet(view.centreX, view.centreY, view.viewWidth);
    if (view.julia) renderer.SetFractal(FractalType::Julia);
    renderer.SetJuliaPoint(-0.4, 0.6);
    listener.events.clear();
  }
  // The callbacks made until the render ended, `beforeCall` before each; a
  // render that never ends fails the test instead of hanging it.
  int RunToEnd(const std::function<void(int call)>& beforeCall = [](int) {}) {
    int calls = 0;
    do beforeCall(calls);
    while (++calls < 200000 && renderer.RendererCallback());
    EXPECT_LT(calls, 200000) << "the render did not end";
    return calls;
  }
  MemorySurface surface;
  RecordingListener listener;
  FractalRenderer renderer;
  bool tookShortcut = false;
};

// A 500-wide first pass has 126-pixel blocks from 0 to 125: centre (62.5,
// 62.5) rounds to pixel 62, not 63. Then 4 rows of 125, 13 of 31 and 400
// single-pixel rows.
TEST(RenderingTest, BlocksTakeTheColourOfTheirCentreRoundedToEvenAndEveryPassIsReported) {
  Harness h({500, 400, 256, -0.8, 0.196, 0.05});  // neighbouring centres differ here
  h.renderer.Redraw(false);
  EXPECT_EQ(h.RunToEnd([&](int call) {
    if (call != 1) return;
    const FractalRenderer& r = h.renderer;
    const std::int32_t colour = r.CountColour(r.IteratePoint(r.GetVirtualX(62), r.GetVirtualY(62)));
    EXPECT_NE(colour, r.CountColour(r.IteratePoint(r.GetVirtualX(63), r.GetVirtualY(63))));
    EXPECT_EQ(h.surface.Pixel(0, 0), colour);
    EXPECT_EQ(h.surface.Pixel(124, 125), colour);  // column 125 is the next block's
    EXPECT_EQ(h.surface.Pixel(0, 126), kBackground);
    // Meanwhile the other cores count the pass's next rows.
    for (int spins = 0; r.RowsCountedAhead() == 0 && spins < 100000000; ++spins) std::this_thread::yield();
    EXPECT_GT(r.RowsCountedAhead(), 0u);
  }), 4 + 13 + 400);
  const auto& progress = h.listener.progress;
  // Progress comes before its row, ProgressPass before the pass's first
  // Progress; the passes themselves are the table's below.
  EXPECT_EQ(std::vector(h.listener.events.begin(), h.listener.events.begin() + 6),
            (std::vector<std::string>{"ZoomChange 80", "Redraw", "BeforeRender", "ProgressPass 2/4",
                                      "Progress", "Progress"}));
  // The last row of a pass reaches past the bottom.
  EXPECT_EQ(std::vector(progress.begin(), progress.begin() + 5), (std::vector{0.3125, 0.625, 0.9375, 1.25, 0.0775}));
  EXPECT_EQ(progress.back(), 1.0);
}

// Every pixel of a draft shows the centre of its 2-pixel block.
TEST(RenderingTest, ADraftIsOneSweepOfSmallBlocksAndStartsOverAsADraftAfterAnAbort) {
  Harness h({.width = 10, .height = 5});
  h.renderer.Redraw(true);
  EXPECT_EQ(h.RunToEnd(), 3);
  EXPECT_EQ(h.listener.events, (std::vector<std::string>{"ZoomChange 1", "Redraw", "BeforeRender", "Progress",
                                                         "Progress", "Progress", "AfterRender"}));
  EXPECT_EQ(h.listener.progress, (std::vector<double>{0.4, 0.8, 1.2}));
  const FractalRenderer& r = h.renderer;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(h.surface.Pixel(x, y),
                r.CountColour(r.IteratePoint(r.GetVirtualX(x | 1), r.GetVirtualY(y | 1))));

  h.renderer.Redraw(true);
  ASSERT_TRUE(h.renderer.RendererCallback());
  EXPECT_EQ(h.surface.Pixel(0, 4), kBackground) << "a render starts on a cleared surface";
  h.listener.events.clear();
  h.renderer.Abort();
  // Without a new Redraw the render restarts from the top, still as a draft.
  ASSERT_TRUE(h.renderer.RendererCallback());
  EXPECT_EQ(h.listener.events, (std::vector<std::string>{"Abort", "BeforeRender", "Progress"}));
}

// Before the callback numbered `first` (from 0), `second` changes the view.
using Change = std::pair<int, std::function<void(FractalRenderer&, MemorySurface&)>>;

std::unique_ptr<Harness> RenderView(const View& view, RowCounter* counter, const std::vector<Change>& changes,
                                    bool tryShortcut) {
  auto rendered = std::make_unique<Harness>(view, counter);
  Harness& h = *rendered;
  h.renderer.Redraw(view.draft);
  h.tookShortcut = tryShortcut && h.renderer.DrawFinalPassAtOnce();
  if (h.tookShortcut) { EXPECT_FALSE(h.renderer.DrawFinalPassAtOnce()); }
  std::size_t next = 0;
  h.RunToEnd([&](int call) {
    if (next == changes.size() || changes[next].first != call) return;
    // Gives the helpers time to count ahead, so that the change meets rows
    // counted under the old settings; the comparison holds either way.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (!counter && h.renderer.RowsCountedAhead() < 2 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    changes[next++].second(h.renderer, h.surface);
  });
  // A render ends once, and a finished one draws nothing more.
  const std::size_t events = h.listener.events.size();
  EXPECT_FALSE(h.renderer.RendererCallback());
  EXPECT_EQ(h.listener.events.size(), events);
  EXPECT_EQ(std::count(h.listener.events.begin(), h.listener.events.end(), "AfterRender"), 1);
  return rendered;
}

// Where a render ends with a per-pixel pass, every pixel shows the colour of
// its own point of the set asked for, and Progress stayed positive.
void ExpectEveryPixelsOwnPoint(const Harness& h, bool julia) {
  const FractalRenderer& r = h.renderer;
  const int cap = r.GetMaxIterations();
  const ComplexNumber juliaPoint{r.GetJuliaPointReal(), r.GetJuliaPointImaginary()};
  int wrong = 0;
  for (int y = 0; y < h.surface.Height(); ++y)
    for (int x = 0; x < h.surface.Width(); ++x) {
      const int count = EscapeCount({julia, juliaPoint, cap}, {r.GetVirtualX(x), r.GetVirtualY(y)});
      wrong += h.surface.Pixel(x, y) != (count == cap ? 0 : HLSToRGB((4 * count) % 256, 127, 255));
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(*std::min_element(h.listener.progress.begin(), h.listener.progress.end()), 0.0);
  EXPECT_EQ(h.listener.progress.back(), 1.0);
}

// The fast path paints exactly what the reference loop paints, with the same
// events, also through changes that land in the coarse passes and in the
// per-pixel pass (no count made before a change may be painted after it);
// drawing only the last pass, where that pass covers every pixel, leaves the
// same picture. The last pass does not cover every pixel when it is a draft's
// 2-pixel blocks (180 x 90), a pass of single pixels that ends after its first
// row (4 x 9), of 2-pixel blocks (8 x 6) or a row of blocks of no size (1 x 5).
// Where the passes are given, the render ends on single pixels: among them
// surfaces so wide that their blocks round to nothing before the last pass,
// and surfaces near the 16-bit height limit; rows past it cannot be drawn.
// Surfaces without width or height (a minimised window) begin and end at
// once; one or two pixels wide, they have no block size to step by and draw
// one row.
TEST(RenderingTest, EveryPathPaintsTheReferencePicture) {
  const std::vector<Change> changes{
      {3, [](FractalRenderer& r, MemorySurface&) { r.WindowCenterRelative(40, 30); }},
      {20, [](FractalRenderer& r, MemorySurface&) { r.SetMaxIterations(90); }},
      {60, [](FractalRenderer& r, MemorySurface&) { r.SetFractal(FractalType::Julia); }},
      {80, [](FractalRenderer& r, MemorySurface&) { r.SetJuliaPoint(-0.8, 0.156); }},
      {100, [](FractalRenderer&, MemorySurface& s) { s.Resize(s.Width() - 7, s.Height() + 5); }},
      {130, [](FractalRenderer& r, MemorySurface&) { r.WindowZoomIn(); }},
  };
  struct Case { View view; bool changed, lastPassCovers; std::string passes = ""; };
  std::vector<Case> cases{
      {{300, 200}, true, true}, {{257, 300}, true, true}, {{64, 400}, true, true}, {{0, 10}, false, false},
      {{120, 70, 4096, -0.7436438870371587, 0.1318259042053119, 1e-9}, false, true, "2/3 3/3 "},
      {{97, 61, 500, 0, 0, 3, true}, false, true, "2/3 3/3 "}, {{4, 1}, false, true, "2/1 "},
      {{17, 40, 100, -0.5, 0, 3}, false, true, "2/2 2/2 "}, {{2, 2}, false, false}, {{1, 1}, false, true},
      {{180, 90, 500, 0, 0, 3, true, true}, false, false}, {{10, 5, 256, 0, 0, 4, false, true}, false, false},
      {{50, 0}, false, false}, {{4, 9}, false, false}, {{8, 6}, false, false}, {{1, 5}, false, false},
      {{6561, 3, 64}, false, true, "2/9 3/9 4/9 5/9 6/9 7/9 9/9 "},
      {{8192, 3, 64}, false, true, "2/9 3/9 4/9 5/9 6/9 7/9 9/9 "},
      {{16, 40000, 32}, false, false}, {{10922, 3, 64}, false, true, "2/10 3/10 4/10 5/10 6/10 7/10 10/10 "},
      {{21846, 3, 64}, false, true, "2/12 3/12 4/12 5/12 6/12 7/12 8/12 12/12 "},
      {{32767, 3, 64}, false, true, "2/13 3/13 4/13 5/13 6/13 7/13 8/13 13/13 "}};
  for (int height = 32760; height <= 32767; ++height) cases.push_back({{16, height, 32}, false, true, "2/2 2/2 "});
  ReferenceRowCounter reference;
  for (const auto& [view, changed, lastPassCovers, passes] : cases) {
    SCOPED_TRACE(std::to_string(view.width) + "x" + std::to_string(view.height));
    const std::vector<Change> viewChanges = changed ? changes : std::vector<Change>{};
    // The reference loop is the yardstick and is never cut short.
    const auto expected = RenderView(view, &reference, viewChanges, true);
    EXPECT_FALSE(expected->tookShortcut);
    const std::vector<std::string>& events = expected->listener.events;
    if (!passes.empty()) {
      std::string announced;
      for (const std::string& event : events)
        if (event.rfind("ProgressPass ", 0) == 0) announced += event.substr(13) + " ";
      EXPECT_EQ(announced, passes);
      ExpectEveryPixelsOwnPoint(*expected, view.julia);
    }
    if (view.width * view.height == 0) {
      EXPECT_EQ(events, (std::vector<std::string>{"ZoomChange 1", "Redraw", "BeforeRender", "AfterRender"}));
    }
    const auto fast = RenderView(view, nullptr, viewChanges, false);
    EXPECT_EQ(fast->listener.events, events);
    EXPECT_EQ(fast->listener.progress, expected->listener.progress);
    EXPECT_TRUE(fast->surface.Pixels() == expected->surface.Pixels());
    if (changed) continue;
    const auto lastPass = RenderView(view, nullptr, {}, true);
    EXPECT_EQ(lastPass->tookShortcut, lastPassCovers);
    const std::vector lastEvents(lastPass->listener.events.end() - 3, lastPass->listener.events.end());
    if (lastPassCovers) { EXPECT_EQ(lastEvents, (std::vector<std::string>{"Redraw", "BeforeRender", "AfterRender"})); }
    EXPECT_TRUE(lastPass->surface.Pixels() == expected->surface.Pixels());
  }
}

// The rows counted ahead for the fast path: a helper still counting a row when
// the settings change must not hand its count out under the new ones,
// although they count the same row again.
TEST(RenderingTest, ACountMadeAheadBeforeAChangeIsNeverHandedOutAfterIt) {
  // One point per row. Row 1 starts at 0, which then turns round the edge of
  // the golden-mean Siegel disk for ever, so its count is the cap however
  // high; rows 0 and 2 escape at once.
  const EscapeParameters siegel{true, {-0.39154087021840001, -0.58778790734696873}, 1 << 22};
  const BlockRowSettings uncapped{siegel, 0, -3, 3, 0, 1, 3};
  const BlockRowSettings capped{{true, siegel.juliaPoint, 1000}, 0, -3, 3, 0, 1, 3};
  RowsAhead ahead(2);
  std::vector<std::int32_t> counts;
  ahead.CountRow(uncapped, 0, counts);
  // Rows are claimed in order: once row 2 is counted, a helper is on row 1.
  for (int spins = 0; ahead.RowsReady() == 0 && spins < 100000000; ++spins) std::this_thread::yield();
  ahead.CountRow(capped, 0, counts);
  // Meanwhile that helper finishes its row, as long as this count takes.
  EXPECT_EQ(EscapeCount(uncapped.parameters, {0, 0}), 1 << 22);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ahead.CountRow(capped, 1, counts);
  EXPECT_EQ(counts, std::vector<std::int32_t>{1000});
}

TEST(RenderingTest, BorderScanFindsTheSmallestCountOnTheEdges) {
  Harness h({20, 10, 256, -0.5, 0, 1});
  const FractalRenderer& r = h.renderer;
  int expected = 256;
  const auto consider = [&](double x, double y) {
    expected = std::min(expected, r.IteratePoint(r.GetVirtualX(x), r.GetVirtualY(y)));
  };
  for (int x = 0; x <= 20; ++x) consider(x, 0), consider(x, 10);
  for (int y = 0; y <= 10; ++y) consider(0, y), consider(20, y);
  EXPECT_EQ(h.renderer.WindowFindMinIterations(), expected);
  EXPECT_LT(expected, 256);
  const std::vector<double>& progress = h.listener.boundingProgress;
  ASSERT_EQ(progress.size(), 21u + 11u);
  EXPECT_EQ(std::pair(progress.front(), progress.back()), std::pair(1.0 / 30, 32.0 / 30));
}

}  // namespace
