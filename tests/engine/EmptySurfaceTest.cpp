#include <gtest/gtest.h>

#include "FractalRenderer.h"
#include "HLS.h"
#include "MemorySurface.h"
#include "RecordingListener.h"

namespace {

// A surface with no width or no height (a minimised window) gets a render
// that begins and ends at once, and ends only once.
TEST(EmptySurfaceTest, ARenderOnASurfaceWithoutWidthOrHeightEndsAtOnceAndOnlyOnce) {
  for (const auto& [width, height] : {std::pair{0, 50}, {50, 0}}) {
    MemorySurface surface(40, 30);
    FractalRenderer renderer;
    RecordingListener listener;
    renderer.Initialize(surface);
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
    surface.Resize(width, height);
    renderer.SetListener(&listener);
    renderer.Redraw(false);
    listener.events.clear();
    EXPECT_FALSE(renderer.RendererCallback()) << width << " x " << height;
    EXPECT_FALSE(renderer.RendererCallback());
    EXPECT_EQ(listener.events, (std::vector<std::string>{"BeforeRender", "AfterRender"})) << width << " x " << height;
  }
}

// Worked by hand from the conversion's formulas.
TEST(HLSEdgeTest, GreyHasNoHueAndTheDarkestTintRoundsItsUpperLevelUp) {
  // Saturation 0 is grey: all three channels at the luminance.
  EXPECT_EQ(HLSToRGB(0, 100, 0), 100 + 256 * 100 + 65536 * 100);
  EXPECT_EQ(HLSToRGB(170, 300, 0), 255 + 256 * 255 + 65536 * 255);
  // Luminance 1, saturation 1: upper = nearest((256 * 1 + 127) / 255) = 2,
  // lower = 0; at hue 0 red is the upper level, green and blue the lower.
  EXPECT_EQ(HLSToRGB(0, 1, 1), 2);
}

}  // namespace
