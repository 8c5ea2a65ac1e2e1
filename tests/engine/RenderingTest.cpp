#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "HLS.h"
#include "MemorySurface.h"
#include "RecordingListener.h"

namespace {

// Keeps the picture and the edge length of the blocks of each fill.
class RecordingSurface final : public RenderSurface {
 public:
  RecordingSurface(int width, int height) : picture(width, height) {}
  float ScaleWidth() const override { return picture.ScaleWidth(); }
  float ScaleHeight() const override { return picture.ScaleHeight(); }
  void Clear() override {
    ++clears;
    picture.Clear();
  }
  void FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) override {
    fills.push_back({x1, y1, x2, y2});
    picture.FillRectangle(x1, y1, x2, y2, colour);
  }

  struct Fill {
    int x1, y1, x2, y2;
  };
  MemorySurface picture;
  std::vector<Fill> fills;
  int clears = 0;
};

// A renderer bound to a recording surface, its events recorded from here on.
struct Harness {
  Harness(int width, int height) : surface(width, height) {
    renderer.SetListener(&listener);
    renderer.Initialize(surface);
    listener.events.clear();
  }
  RecordingSurface surface;
  RecordingListener listener;
  FractalRenderer renderer;
};

// The escape count written out from the definition, without the engine's
// helpers: z -> z^2 + c + (0.001 + 0.001i), escape when |z|^2 > 4.
int IndependentCount(double cr, double ci, double zr, double zi, int cap) {
  for (int n = 1;; ++n) {
    const double nextReal = ((zr * zr - zi * zi) + cr) + 0.001;
    const double nextImaginary = ((zr * zi) * 2 + ci) + 0.001;
    zr = nextReal;
    zi = nextImaginary;
    if (zr * zr + zi * zi > 4.0) return n;
    if (n >= cap) return n;
  }
}

std::int32_t IndependentColour(int count, int cap) { return count == cap ? 0 : HLSToRGB((4 * count) % 256, 127, 255); }

// Runs callbacks until the renderer says it is done; a render that never ends
// fails the test instead of hanging it.
int RunToEnd(FractalRenderer& renderer, int limit = 100000) {
  int calls = 1;
  while (renderer.RendererCallback()) {
    if (++calls > limit) {
      ADD_FAILURE() << "render did not end after " << limit << " callbacks";
      break;
    }
  }
  return calls;
}

struct ScheduleCase {
  int width;
  std::vector<std::string> passEvents;  // ProgressPass events in order
  std::vector<int> blockEdges;          // edge of the first block of each pass, 0 for single pixels
};

class PassScheduleTest : public testing::TestWithParam<ScheduleCase> {};

TEST_P(PassScheduleTest, PassesDivideTheBlockEdgeByFour) {
  const ScheduleCase& expected = GetParam();
  Harness h(expected.width, 8);
  auto& [surface, listener, renderer] = h;
  renderer.Redraw(false);
  listener.events.clear();
  RunToEnd(renderer);

  std::vector<std::string> passEvents;
  for (const std::string& event : listener.Milestones())
    if (event.rfind("ProgressPass", 0) == 0) passEvents.push_back(event);
  EXPECT_EQ(passEvents, expected.passEvents);
  EXPECT_EQ(listener.Milestones().front(), "BeforeRender");
  EXPECT_EQ(listener.Milestones().back(), "AfterRender");

  std::vector<int> edges;
  for (std::size_t i = 0; i < surface.fills.size(); ++i) {
    const int edge = surface.fills[i].x2 - surface.fills[i].x1;
    if (surface.fills[i].x1 == 0 && surface.fills[i].y1 == 0) edges.push_back(edge);
  }
  EXPECT_EQ(edges, expected.blockEdges);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, PassScheduleTest,
    testing::Values(ScheduleCase{500, {"ProgressPass 2/4", "ProgressPass 3/4", "ProgressPass 4/4"}, {125, 31, 0}},
                    ScheduleCase{100, {"ProgressPass 2/3", "ProgressPass 3/3"}, {25, 0}},
                    ScheduleCase{1000,
                                 {"ProgressPass 2/5", "ProgressPass 3/5", "ProgressPass 4/5", "ProgressPass 5/5"},
                                 {250, 62, 16, 0}},
                    // No per-pixel pass at all.
                    ScheduleCase{40, {"ProgressPass 2/2"}, {10}},
                    ScheduleCase{22, {"ProgressPass 2/2"}, {6}},
                    // The per-pixel pass is announced as pass 2 again.
                    ScheduleCase{16, {"ProgressPass 2/2", "ProgressPass 2/2"}, {4, 0}},
                    // One pass only: the render ends after its first row.
                    ScheduleCase{15, {"ProgressPass 2/1"}, {4}}));

TEST(RenderingTest, FullRenderEventOrderAndProgress) {
  Harness h(500, 400);
  auto& [surface, listener, renderer] = h;
  renderer.Redraw(false);
  const int calls = RunToEnd(renderer);

  // 4 rows of 125, 13 of 31, then 400 single-pixel rows.
  EXPECT_EQ(calls, 4 + 13 + 400);
  EXPECT_EQ(listener.progress.size(), static_cast<std::size_t>(calls));
  EXPECT_EQ(listener.Milestones(),
            (std::vector<std::string>{"ZoomChange 1", "Redraw", "BeforeRender", "ProgressPass 2/4", "ProgressPass 3/4",
                                      "ProgressPass 4/4", "AfterRender"}));
  ASSERT_GE(listener.progress.size(), 4u);
  EXPECT_EQ(listener.progress[0], 0.3125);
  EXPECT_EQ(listener.progress[3], 1.25);  // the last row of a pass reaches past the bottom
  EXPECT_EQ(listener.progress.back(), 1.0);
  // Progress comes before its row, ProgressPass before the pass's first Progress.
  EXPECT_EQ(listener.events[3], "ProgressPass 2/4");
  EXPECT_EQ(listener.events[4], "Progress");
}

TEST(RenderingTest, FinishedPictureMatchesIndependentCounts) {
  // 100 pixels wide ends with a per-pixel pass, so every pixel shows its own point.
  MemorySurface surface(100, 75);
  FractalRenderer renderer;
  renderer.Initialize(surface);
  renderer.WindowSet(-0.745, 0.11, 0.02);
  renderer.SetMaxIterations(300);
  renderer.Redraw(false);
  RunToEnd(renderer);

  const double pixelSize = 0.02 / 100;
  int mismatches = 0;
  std::set<std::int32_t> colours;
  for (int y = 0; y < 75; ++y) {
    for (int x = 0; x < 100; ++x) {
      const double real = renderer.GetWindowLeft() + x * pixelSize;
      const double imaginary = renderer.GetWindowTop() + y * pixelSize;
      const int count = IndependentCount(real, imaginary, 0, 0, 300);
      if (surface.Pixel(x, y) != IndependentColour(count, 300)) ++mismatches;
      colours.insert(surface.Pixel(x, y));
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(colours.size(), 20u) << "the view should show the set's edge, not one flat colour";
}

TEST(RenderingTest, BlocksTakeTheColourOfTheirCentreRoundedToEven) {
  // A 500-wide first pass has 126-pixel blocks from 0 to 125: centre
  // (62.5, 62.5) rounds to pixel 62, not 63.
  RecordingSurface surface(500, 400);
  FractalRenderer renderer;
  renderer.Initialize(surface);
  renderer.WindowSet(-0.7436, 0.1318, 0.0005);
  renderer.Redraw(false);
  ASSERT_TRUE(renderer.RendererCallback());
  const auto& first = surface.fills.front();
  EXPECT_EQ(first.x1, 0);
  EXPECT_EQ(first.x2, 125);
  EXPECT_EQ(first.y2, 125);
  const int count = renderer.IteratePoint(renderer.GetVirtualX(62), renderer.GetVirtualY(62));
  EXPECT_EQ(surface.picture.Pixel(0, 0), renderer.CountColour(count));
  EXPECT_EQ(surface.picture.Pixel(125, 125), renderer.CountColour(count));
  // The last block starts at 500 and is clipped to nothing visible.
  EXPECT_EQ(surface.fills.back().x1, 500);
  EXPECT_EQ(surface.fills.size(), 5u);
}

TEST(RenderingTest, DraftIsOneSweepOfSmallBlocksWithoutPasses) {
  Harness h(10, 5);
  auto& [surface, listener, renderer] = h;
  renderer.Redraw(true);
  EXPECT_EQ(RunToEnd(renderer), 3);  // rows 0, 2 and 4
  EXPECT_EQ(listener.events, (std::vector<std::string>{"ZoomChange 1", "Redraw", "BeforeRender", "Progress", "Progress",
                                                       "Progress", "AfterRender"}));
  EXPECT_EQ(listener.progress, (std::vector<double>{0.4, 0.8, 1.2}));
  EXPECT_EQ(surface.fills.size(), 3u * 6u);  // 3 x 3 blocks at x = 0, 2, ..., 10
}

TEST(RenderingTest, AbortKeepsThePictureAndTheNextCallbackStartsOver) {
  Harness h(100, 100);
  auto& [surface, listener, renderer] = h;
  renderer.Redraw(true);
  ASSERT_TRUE(renderer.RendererCallback());
  ASSERT_TRUE(renderer.RendererCallback());
  const std::int32_t drawn = surface.picture.Pixel(5, 1);
  listener.events.clear();
  renderer.Abort();
  EXPECT_EQ(listener.events, std::vector<std::string>{"Abort"});
  EXPECT_EQ(surface.clears, 1);
  EXPECT_EQ(surface.picture.Pixel(5, 1), drawn);

  // Without a new Redraw the render restarts from the top, still as a draft.
  const std::size_t fillsBefore = surface.fills.size();
  ASSERT_TRUE(renderer.RendererCallback());
  EXPECT_EQ(listener.events, (std::vector<std::string>{"Abort", "BeforeRender", "Progress"}));
  EXPECT_EQ(surface.fills[fillsBefore].y1, 0);
  EXPECT_EQ(surface.fills[fillsBefore].y2, 2);
  EXPECT_EQ(surface.clears, 1);
}

TEST(RenderingTest, EveryRenderEndsAndAFinishedOneDrawsNothingMore) {
  // Empty and one- or two-pixel surfaces have no block size to step by.
  for (auto [width, height] : {std::pair{0, 0}, std::pair{0, 10}, std::pair{1, 1}, std::pair{2, 3}, std::pair{10, 5}}) {
    RecordingSurface surface(width, height);
    RecordingListener listener;
    FractalRenderer renderer;
    renderer.SetListener(&listener);
    renderer.Initialize(surface);
    for (bool draft : {false, true}) {
      renderer.Redraw(draft);
      EXPECT_LE(RunToEnd(renderer, 50), 50) << width << "x" << height;
      EXPECT_EQ(listener.Milestones().back(), "AfterRender") << width << "x" << height;
      const std::size_t fills = surface.fills.size();
      const std::size_t events = listener.events.size();
      EXPECT_FALSE(renderer.RendererCallback());
      EXPECT_EQ(surface.fills.size(), fills);
      EXPECT_EQ(listener.events.size(), events);
    }
    for (double progress : listener.progress) EXPECT_TRUE(std::isfinite(progress));
  }
}

// Pixels that differ from the colour of their own point: what a finished full
// render with a per-pixel pass must leave.
int PixelsOffTheirOwnPoint(const FractalRenderer& renderer, const MemorySurface& picture) {
  int differences = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.Pixel(x, y) !=
          renderer.CountColour(renderer.IteratePoint(renderer.GetVirtualX(x), renderer.GetVirtualY(y))))
        ++differences;
  return differences;
}

TEST(RenderingTest, WideSurfacesWhoseBlocksRoundToNothingEndWithAPerPixelPass) {
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {6561, {"2/9", "3/9", "4/9", "5/9", "6/9", "7/9", "9/9"}},
      {8192, {"2/9", "3/9", "4/9", "5/9", "6/9", "7/9", "9/9"}},
      {10922, {"2/10", "3/10", "4/10", "5/10", "6/10", "7/10", "10/10"}},
      {21846, {"2/12", "3/12", "4/12", "5/12", "6/12", "7/12", "8/12", "12/12"}},
      {32767, {"2/13", "3/13", "4/13", "5/13", "6/13", "7/13", "8/13", "13/13"}},
  };
  for (const auto& [width, passes] : cases) {
    MemorySurface picture(width, 3);
    RecordingListener listener;
    FractalRenderer renderer;
    renderer.SetListener(&listener);
    renderer.Initialize(picture);
    renderer.SetMaxIterations(64);
    renderer.Redraw(false);
    RunToEnd(renderer, 1000);
    std::vector<std::string> announced;
    for (const std::string& event : listener.Milestones())
      if (event.rfind("ProgressPass ", 0) == 0) announced.push_back(event.substr(13));
    EXPECT_EQ(announced, passes) << width;
    EXPECT_EQ(listener.Milestones().back(), "AfterRender") << width;
    EXPECT_EQ(PixelsOffTheirOwnPoint(renderer, picture), 0) << width;
  }
}

TEST(RenderingTest, TallSurfacesEndWithoutNegativeProgress) {
  for (int height = 32760; height <= 32767; ++height) {
    MemorySurface picture(16, height);
    RecordingListener listener;
    FractalRenderer renderer;
    renderer.SetListener(&listener);
    renderer.Initialize(picture);
    renderer.SetMaxIterations(32);
    renderer.Redraw(false);
    // 16 wide: 4-pixel blocks, then the per-pixel pass.
    EXPECT_EQ(RunToEnd(renderer, 50000), (height + 3) / 4 + height) << height;
    EXPECT_EQ(listener.Milestones().back(), "AfterRender") << height;
    EXPECT_GT(*std::min_element(listener.progress.begin(), listener.progress.end()), 0.0) << height;
    EXPECT_EQ(PixelsOffTheirOwnPoint(renderer, picture), 0) << height;
  }
}

TEST(RenderingTest, BorderScanFindsTheSmallestCountOnTheEdges) {
  Harness h(20, 10);
  auto& [surface, listener, renderer] = h;
  renderer.WindowSet(-0.5, 0, 1);
  listener.events.clear();
  int expected = 256;
  const auto consider = [&](double x, double y) {
    expected = std::min(expected, IndependentCount(renderer.GetVirtualX(x), renderer.GetVirtualY(y), 0, 0, 256));
  };
  for (int x = 0; x <= 20; ++x) consider(x, 0), consider(x, 10);
  for (int y = 0; y <= 10; ++y) consider(0, y), consider(20, y);
  EXPECT_EQ(renderer.WindowFindMinIterations(), expected);
  EXPECT_LT(expected, 256);
  ASSERT_EQ(listener.boundingProgress.size(), 21u + 11u);
  EXPECT_EQ(listener.boundingProgress.back(), 32.0 / 30);
  EXPECT_EQ(listener.events.back(), "AfterBounding");
}

}  // namespace
