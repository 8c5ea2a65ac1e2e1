#include "RenderPump.h"

#include <gtest/gtest.h>

#include "ShellTesting.h"

namespace {

using namespace std::chrono_literals;

// Whatever the budget, the pump makes every step once until the work is
// done and then rests; a step that stops the pump (an Abort clicked during
// it) is not undone by the work it still reports.
TEST(RenderPumpTest, MakesEveryStepUntilTheWorkIsDoneAndAStopDuringAStepHolds) {
  for (const auto budget : {0us, RenderPump::kDefaultBudget, 1000000us}) {
    SCOPED_TRACE(budget.count());
    int steps = 0;
    RenderPump pump([&] { return ++steps < 300; });
    pump.SetBudget(budget);
    pump.Start();
    ASSERT_TRUE(WaitUntil([&] { return !pump.IsRunning(); }));
    EXPECT_EQ(steps, 300);
  }
  int steps = 0;
  RenderPump stopping([&] {
    if (++steps == 3) stopping.Stop();
    return true;
  });
  stopping.Start();
  QTest::qWait(20);
  EXPECT_EQ(steps, 3);
}

}  // namespace
