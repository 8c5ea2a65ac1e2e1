#include "Wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

void Wait(double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  while (elapsed() <= seconds) {
    // Sleep in the event loop rather than spin: events and timers still run
    // as they arrive, and the loop wakes when the time is up.
    const double remainingMs = (seconds - elapsed()) * 1000.0;
    const int timeout = static_cast<int>(std::ceil(std::clamp(remainingMs, 0.0, 1000.0))) + 1;
    QEventLoop loop;
    QTimer::singleShot(timeout, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}
