#include "RenderPump.h"

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RendererListener.h"
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

// The events and picture of a render made by calling the renderer directly.
struct DirectRender {
  explicit DirectRender(int width, int height) : surface(width, height) {
    renderer.Initialize(surface);
    renderer.SetListener(&log);
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
  }
  MemorySurface surface;
  FractalRenderer renderer;
  EventLog log;
};

class RenderPumpTest : public ::testing::TestWithParam<std::chrono::microseconds> {
 protected:
  RenderPumpTest() { TestApplication(); }
};

TEST_P(RenderPumpTest, PumpedRenderGivesEveryEventInOrderAndTheSamePicture) {
  const DirectRender direct(160, 120);

  MemorySurface surface(160, 120);
  FractalRenderer renderer;
  EventLog log;
  renderer.Initialize(surface);
  renderer.SetListener(&log);
  RenderPump pump([&] { return renderer.RendererCallback(); });
  pump.SetBudget(GetParam());
  renderer.Redraw(false);
  pump.Start();
  ASSERT_TRUE(WaitUntil([&] { return !pump.IsRunning(); }));

  EXPECT_EQ(log.events, direct.log.events);
  EXPECT_EQ(surface.Pixels(), direct.surface.Pixels());
}

INSTANTIATE_TEST_SUITE_P(Budgets, RenderPumpTest, ::testing::Values(0us, 8000us, 1000000us),
                         [](const auto& budget) { return std::to_string(budget.param.count()) + "us"; });

TEST(RenderPumpStepsTest, ABudgetOfZeroMakesOneStepPerTick) {
  TestApplication();
  int steps = 0;
  RenderPump pump([&] { return ++steps < 100; });
  pump.SetBudget(0us);
  pump.Start();
  QCoreApplication::processEvents();
  QTest::qWait(5);
  EXPECT_LT(steps, 100);
  ASSERT_TRUE(WaitUntil([&] { return steps == 100; }));
  EXPECT_FALSE(pump.IsRunning());
}

TEST(RenderPumpStepsTest, AStopFromInsideAStepIsNotUndone) {
  TestApplication();
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

TEST(RenderPumpStepsTest, ABudgetLetsOneTickMakeManySteps) {
  TestApplication();
  int steps = 0;
  RenderPump pump([&] { return ++steps < 1000000; });
  pump.SetBudget(1000000us);
  pump.Start();
  // One tick, worth up to a second of steps, finishes all of them.
  ASSERT_TRUE(WaitUntil([&] { return !pump.IsRunning(); }, 10000));
  EXPECT_EQ(steps, 1000000);
}

}  // namespace
