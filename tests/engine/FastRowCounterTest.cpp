#include "FastRowCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "RowCounter.h"

namespace {

std::vector<double> RowOfView(double left, double pixelSize, int points) {
  std::vector<double> reals;
  for (int x = 0; x < points; ++x) reals.push_back(left + x * pixelSize);
  return reals;
}

std::vector<std::int32_t> CountWith(RowCounter& counter, const EscapeParameters& parameters,
                                    const std::vector<double>& reals, double imaginary) {
  std::vector<std::int32_t> counts(reals.size(), -1);
  counter.CountRow(parameters, reals, imaginary, counts);
  return counts;
}

TEST(FastRowCounterTest, MatchesTheReferenceForAnyRowLengthAndThreadCount) {
  ReferenceRowCounter reference;
  const EscapeParameters mandelbrot{false, {}, 2000};
  const EscapeParameters julia{true, {-0.8, 0.156}, 700};
  for (unsigned threads : {1u, 2u, 5u}) {
    FastRowCounter counter(threads);
    for (int points : {1, 7, 63, 64, 65, 300, 2049}) {
      for (const EscapeParameters& parameters : {mandelbrot, julia}) {
        const std::vector<double> reals = RowOfView(-2.0, 2.6 / points, points);
        EXPECT_EQ(CountWith(counter, parameters, reals, 0.3), CountWith(reference, parameters, reals, 0.3))
            << threads << " threads, " << points << " points, julia " << parameters.isJulia;
      }
    }
  }
}

struct RenderResult {
  std::vector<std::int32_t> pixels;
  std::vector<std::string> events;
  std::vector<double> progress;
};

struct View {
  const char* name;
  int width, height;
  double centreX, centreY, viewWidth;
  std::int32_t cap;
  bool julia, draft;
};

RenderResult Render(const View& view, RowCounter* counter) {
  MemorySurface surface(view.width, view.height);
  RecordingListener log;
  FractalRenderer renderer;
  renderer.SetListener(&log);
  renderer.SetRowCounter(counter);
  renderer.Initialize(surface);
  renderer.SetMaxIterations(view.cap);
  renderer.WindowSet(view.centreX, view.centreY, view.viewWidth);
  if (view.julia) {
    renderer.SetFractal(1);
    renderer.SetJuliaPoint(-0.4, 0.6);
  }
  renderer.Redraw(view.draft);
  while (renderer.RendererCallback()) {
  }
  return {surface.Pixels(), log.events, log.progress};
}

TEST(FastRowCounterTest, RenderersDrawTheReferencePictureWithTheSameEvents) {
  const View views[] = {
      {"start", 321, 203, 0.0, 0.0, 4.0, 256, false, false},
      {"seahorse", 120, 70, -0.7436438870371587, 0.1318259042053119, 1e-9, 4096, false, false},
      {"inside", 90, 50, -0.1, 0.0, 0.5, 16384, false, false},
      {"julia draft", 180, 90, 0.0, 0.0, 3.0, 500, true, true},
      {"narrow", 17, 40, -0.5, 0.0, 3.0, 100, false, false},
  };
  ReferenceRowCounter reference;
  for (const View& view : views) {
    const RenderResult fast = Render(view, nullptr);
    const RenderResult expected = Render(view, &reference);
    EXPECT_EQ(fast.events, expected.events) << view.name;
    EXPECT_EQ(fast.progress, expected.progress) << view.name;
    EXPECT_TRUE(fast.pixels == expected.pixels) << view.name;
  }
}

}  // namespace
