#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

// The borderless title window shown at start-up. After three seconds it
// closes itself and then runs `showMainWindow`.
class frmTitle : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kShowMilliseconds = 3000;

  explicit frmTitle(std::function<void()> showMainWindow, QWidget* parent = nullptr);

 private:
  void timTimer_Timer();
  void CentreOnScreen();

  std::function<void()> showMainWindow_;
  QTimer timTimer;
};
