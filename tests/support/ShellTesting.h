#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "BookmarkTarget.h"

// Helpers for the widget tests, whose main (QtTestMain.cpp) makes the
// application.

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

// Answers the next modal window of type `Modal` from inside its own event
// loop, once it shows; the call that opened it returns only then.
template <typename Modal>
void WhenModalShows(std::function<void(Modal&)> answer) {
  QTimer::singleShot(5, [answer] {
    auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
    if (modal != nullptr && modal->isVisible()) return answer(*modal);
    WhenModalShows(answer);
  });
}

// The main window as a dialog or a loaded picture reaches it: bookmarks shown.
class RecordingBookmarkTarget final : public BookmarkTarget {
 public:
  void ShowBookmark(const Bookmark& bookmark) override { shown.push_back(bookmark); }
  std::vector<Bookmark> shown;
};
