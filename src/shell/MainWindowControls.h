#pragma once

#include <QFont>
#include <array>

class InvertedShape;
class PictureBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;
class ToolButton;

// The controls of the main window with their captions, tooltips, colours,
// fonts and stacking. Positions are the design ones; the window's resize
// layout replaces those that follow its size. The window owns the widgets.
class MainWindowControls {
 public:
  static constexpr int kButtonCount = 11;

  // DejaVu Sans stands in for Tahoma, Small Fonts and Marlett.
  static QFont InterfaceFont(double pointSize, bool bold = false);

  PictureBox* pbxOutput = nullptr;
  QLabel* lblCoordinates = nullptr;
  QLabel* lblCoordinatesShadow = nullptr;
  InvertedShape* linTracer = nullptr;
  InvertedShape* shpZoomBox = nullptr;
  InvertedShape* linProgressLine = nullptr;
  QWidget* fraBottom = nullptr;
  QLabel* lblStatus = nullptr;
  QFrame* shpProgressBar = nullptr;
  QFrame* shpProgressOutline = nullptr;
  QWidget* fraRight = nullptr;
  QGroupBox* fraDisplay = nullptr;
  QGroupBox* fraZoom = nullptr;
  QGroupBox* fraIterations = nullptr;
  QGroupBox* fraBookmarks = nullptr;
  QGroupBox* fraModes = nullptr;
  QLineEdit* txtZoom = nullptr;
  QLineEdit* txtIterations = nullptr;
  std::array<ToolButton*, kButtonCount> lblButtons{};

 protected:
  void BuildControls(QWidget& window);

 private:
  void BuildViewport(QWidget& window);
  void BuildStatusStrip(QWidget& window);
  void BuildToolColumn(QWidget& window);
  void BuildButtons();
};
