#include "RenderPump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "WidgetTesting.h"

namespace {

using namespace std::chrono_literals;

class EventLog : public RendererListener {
 public:
  void OnAbort() override { events.push_back("Abort"); }
  void OnAfterRender() override { events.push_back("AfterRender"); }
  void OnBeforeRender() override { events.push_back("BeforeRender"); }
  void OnProgress(double percentComplete) override { events.push_back("Progress " + std::to_string(percentComplete)); }
  void OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) override {
    events.push_back("Pass " + std::to_string(passNumber) + "/" + std::to_string(totalPasses));
  }
  void OnRedraw() override { events.push_back("Redraw"); }
  std::vector<std::string> events;
};

class RenderPumpTest : public ::testing::TestWithParam<std::chrono::microseconds> {};

// Whatever the budget, a pumped render gives the events and the picture of
// one made by calling the renderer directly.
TEST_P(RenderPumpTest, PumpedRenderGivesEveryEventInOrderAndTheSamePicture) {
  MemorySurface surfaces[2] = {MemorySurface(160, 120), MemorySurface(160, 120)};
  FractalRenderer renderers[2];
  EventLog logs[2];
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
  EXPECT_EQ(surfaces[1].Pixels(), surfaces[0].Pixels());
}

INSTANTIATE_TEST_SUITE_P(Budgets, RenderPumpTest, ::testing::Values(0us, 8000us, 1000000us),
                         [](const auto& budget) { return std::to_string(budget.param.count()) + "us"; });

TEST(RenderPumpStepsTest, ABudgetOfZeroMakesOneStepPerTickAndALargeOneManySteps) {
  int steps = 0;
  RenderPump slow([&] { return ++steps < 100; });
  slow.SetBudget(0us);
  slow.Start();
  QTest::qWait(5);
  EXPECT_LT(steps, 100);
  ASSERT_TRUE(WaitUntil([&] { return steps == 100; }));
  EXPECT_FALSE(slow.IsRunning());

  // One tick, worth up to a second of steps, finishes a million of them.
  steps = 0;
  RenderPump fast([&] { return ++steps < 1000000; });
  fast.SetBudget(1000000us);
  fast.Start();
  ASSERT_TRUE(WaitUntil([&] { return !fast.IsRunning(); }, 10000));
  EXPECT_EQ(steps, 1000000);
}

TEST(RenderPumpStepsTest, AStopFromInsideAStepIsNotUndone) {
  int steps = 0;
  RenderPump* self = nullptr;
  RenderPump pump([&] {
    if (++steps == 3) self->Stop();
    return true;
  });
  self = &pump;
  pump.Start();
  QTest::qWait(50);
  EXPECT_EQ(steps, 3);
  EXPECT_FALSE(pump.IsRunning());
}

}  // namespace
