#include "Wait.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>

#include "WidgetTesting.h"

namespace {

TEST(WaitTest, AWaitOfNothingStillRunsPendingEventsOnce) {
  TestApplication();
  int runs = 0;
  QMetaObject::invokeMethod(&TestApplication(), [&] { ++runs; }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(&TestApplication(), [&] { ++runs; }, Qt::QueuedConnection);
  Wait(0);
  EXPECT_EQ(runs, 2);
}

TEST(WaitTest, TimersTickDuringAWaitThatLastsAtLeastItsTime) {
  TestApplication();
  int ticks = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start();
  const auto start = std::chrono::steady_clock::now();
  Wait(0.06);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(60));
  EXPECT_GE(ticks, 3);
}

}  // namespace
