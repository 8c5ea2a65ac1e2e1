#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <functional>

class PictureBox;
class QKeySequence;
class QWidget;
class ViewNavigator;

// The main window's wheel, middle-button hand and keys. The wheel and the
// hand move the view through the navigator; the keys run the window's own
// commands, mostly those of its tool buttons, so a key does exactly what its
// button does.
class ViewportNavigation : public QObject {
  Q_OBJECT

 public:
  struct Actions {
    // The viewport zooms by dragging (no Julia pick or trace pending).
    std::function<bool()> inNormalMode;
    // A tool button pressed and released.
    std::function<void(int index)> clickButton;
    std::function<void()> back;
    std::function<void()> forward;
    std::function<void()> redraw;
    std::function<void()> escape;
    std::function<void()> help;
  };

  ViewportNavigation(PictureBox& viewport, QWidget& window, ViewNavigator& navigator, Actions actions);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddShortcut(QWidget& window, const QKeySequence& keys, std::function<void()> action);
  void AddShortcuts(QWidget& window);
  bool Wheel(QEvent* event);
  void Pan(double across, double down);

  PictureBox& viewport_;
  ViewNavigator& navigator_;
  Actions actions_;
  // Eighths of a degree not yet turned into a notch (touchpads send less).
  int wheelRemainder_ = 0;
  bool isPanning_ = false;
  QPointF panStart_;
  QPoint panScrolled_;
};
