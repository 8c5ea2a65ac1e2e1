#pragma once

#include <QLineEdit>

#include "WidgetTesting.h"

// Shows a window and waits until it is the active one.
[[nodiscard]] inline bool ShowActive(QWidget* window) {
  window->show();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

// Types into a box as a user does and leaves it with Tab.
inline void TypeAndLeave(QLineEdit* box, const QString& text) {
  box->setFocus(Qt::TabFocusReason);
  box->selectAll();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Tab);
}
