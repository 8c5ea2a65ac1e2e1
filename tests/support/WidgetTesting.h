#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

// Helpers for the widget tests, whose main (QtTestMain.cpp) makes the
// application.
inline QApplication& TestApplication() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

// Lets events run until `condition` holds; false when it still does not
// after `timeoutMs`. QTest's own QTRY macros report to QTest, not to
// GoogleTest, so tests wait through this instead.
template <typename Condition>
[[nodiscard]] bool WaitUntil(Condition condition, int timeoutMs = 30000) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(2);
  }
  return true;
}
