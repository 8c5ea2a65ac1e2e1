#include "RenderPump.h"

#include <gtest/gtest.h>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RecordingListener.h"
#include "ShellTesting.h"

namespace {

using namespace std::chrono_literals;

class RenderPumpTest : public ::testing::TestWithParam<std::chrono::microseconds> {};

// Whatever the budget, a pumped render gives the events and the picture of
// one made by calling the renderer directly.
TEST_P(RenderPumpTest, PumpedRenderGivesEveryEventInOrderAndTheSamePicture) {
  MemorySurface surfaces[2] = {MemorySurface(160, 120), MemorySurface(160, 120)};
  FractalRenderer renderers[2];
  RecordingListener logs[2];
  for (int i = 0; i < 2; ++i) {
    renderers[i].Initialize(surfaces[i]);
    renderers[i].SetListener(&logs[i]);
    renderers[i].Redraw(false);
  }
  while (renderers[0].RendererCallback()) {
  }
  RenderPump pump([&] { return renderers[1].RendererCallback(); });
  pump.SetBudget(GetParam());
  pump.Start();
  ASSERT_TRUE(WaitUntil([&] { return !pump.IsRunning(); }));
  EXPECT_EQ(logs[1].events, logs[0].events);
  EXPECT_EQ(logs[1].progress, logs[0].progress);
  EXPECT_EQ(surfaces[1].Pixels(), surfaces[0].Pixels());
}

INSTANTIATE_TEST_SUITE_P(Budgets, RenderPumpTest, ::testing::Values(0us, 8000us, 1000000us),
                         [](const auto& budget) { return std::to_string(budget.param.count()) + "us"; });

}  // namespace
