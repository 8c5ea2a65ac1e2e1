#pragma once

#include <QSize>
#include <string>

class QLabel;
class QWidget;

// A status line under a music window's controls that says when the notes
// cannot be heard. While there is nothing to say it is hidden and the window
// keeps its own size; with a notice the window grows by the line.
class AudioNoticeLine {
 public:
  AudioNoticeLine(QWidget* window, QSize windowSize);

  // An empty notice hides the line.
  void Show(const std::string& notice);
  QLabel* Label() const { return label_; }

 private:
  static constexpr int kHeight = 17;

  QWidget* window_;
  QSize windowSize_;
  QLabel* label_;
};
