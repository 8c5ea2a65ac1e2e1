#include "MainWindowControls.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "PictureBox.h"
#include "Tool.h"
#include "ToolButton.h"
#include "TwipsLayout.h"

namespace {

const QString kPanelColour = QStringLiteral("rgb(224,224,224)");

QWidget* Panel(QWidget& parent) {
  auto* panel = new QWidget(&parent);
  panel->setObjectName(QStringLiteral("panel"));
  panel->setAutoFillBackground(true);
  panel->setStyleSheet(QStringLiteral("QWidget#panel { background-color: %1; }").arg(kPanelColour));
  // Moves over a frame neither highlight nor clear a tool button.
  panel->setAttribute(Qt::WA_NoMousePropagation);
  return panel;
}

QGroupBox* Frame(QWidget* parent, const QString& caption, const QRect& geometry) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setFont(MainWindowControls::InterfaceFont(8.25));
  frame->setGeometry(geometry);
  frame->setStyleSheet(QStringLiteral("QGroupBox { background-color: %1; border: 1px solid rgb(160,160,160);"
                                      " margin-top: 6px; }"
                                      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                                      " left: 6px; padding: 0px 2px; }")
                           .arg(kPanelColour));
  return frame;
}

QLabel* CoordinateLabel(QWidget* parent, const QRect& geometry, const QString& colour) {
  auto* label = new QLabel(parent);
  label->setFont(MainWindowControls::InterfaceFont(6.75, true));
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setStyleSheet(QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour));
  return label;
}

QLineEdit* NumberBox(QWidget* parent, const QString& text, const QString& toolTip) {
  auto* box = new QLineEdit(text, parent);
  box->setGeometry(twips::Rect(300, 240, 855, 240));
  box->setFont(MainWindowControls::InterfaceFont(6.75));
  box->setToolTip(toolTip);
  box->setStyleSheet(QStringLiteral("QLineEdit { background-color: white; color: black; border: 1px solid gray;"
                                    " padding: 0px; }"));
  return box;
}

QFrame* BoxShape(QWidget* parent, const QString& fill) {
  auto* shape = new QFrame(parent);
  shape->setStyleSheet(QStringLiteral("QFrame { background-color: %1; border: 1px solid black; }").arg(fill));
  shape->setAttribute(Qt::WA_TransparentForMouseEvents);
  return shape;
}

}  // namespace

QFont MainWindowControls::InterfaceFont(double pointSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

void MainWindowControls::BuildControls(QWidget& window) {
  // Created back to front: the viewport over the bottom strip over the
  // right column, so the strip covers the column where they overlap.
  BuildToolColumn(window);
  BuildStatusStrip(window);
  BuildViewport(window);
}

void MainWindowControls::BuildViewport(QWidget& window) {
  pbxOutput = new PictureBox(&window);
  pbxOutput->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pbxOutput->setLineWidth(2);
  pbxOutput->SetBackColour(0x000000);
  pbxOutput->setFocusPolicy(Qt::ClickFocus);
  pbxOutput->move(twips::Pixels(60), twips::Pixels(120));

  linProgressLine = pbxOutput->AddLineShape(2);
  linProgressLine->SetVisible(true);
  shpZoomBox = pbxOutput->AddRectangleShape(2);
  shpZoomBox->SetRectangle(0, 0, twips::Pixels(2355), twips::Pixels(2355));
  linTracer = pbxOutput->AddLineShape(2);

  // The readout sits on the inside of the viewport's sunken border; the
  // shadow lies one pixel down and right, under the white text.
  const QPoint inside = pbxOutput->contentsRect().topLeft();
  lblCoordinatesShadow = CoordinateLabel(pbxOutput, twips::Rect(90, 90, 4320, 330).translated(inside), "black");
  lblCoordinates = CoordinateLabel(pbxOutput, twips::Rect(75, 75, 4320, 330).translated(inside), "white");
  lblCoordinatesShadow->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblCoordinates->setMouseTracking(true);
}

void MainWindowControls::BuildStatusStrip(QWidget& window) {
  fraBottom = Panel(window);
  fraBottom->setGeometry(twips::Rect(0, 5100, 6075, 375));
  shpProgressOutline = BoxShape(fraBottom, QStringLiteral("white"));
  shpProgressBar = BoxShape(fraBottom, QStringLiteral("rgb(192,192,255)"));
  lblStatus = new QLabel(QStringLiteral(" "), fraBottom);
  lblStatus->setGeometry(twips::Rect(60, 60, 4515, 255));
  lblStatus->setAlignment(Qt::AlignCenter);
  lblStatus->setFont(InterfaceFont(8.25));
  lblStatus->setStyleSheet(QStringLiteral("QLabel { color: palette(window-text); background: transparent; }"));
}

void MainWindowControls::BuildToolColumn(QWidget& window) {
  fraRight = Panel(window);
  fraRight->setGeometry(twips::Rect(4620, 0, 1515, 4635));
  fraDisplay = Frame(fraRight, QStringLiteral("Fractal Control"), twips::Rect(0, 0, 1455, 915));
  fraZoom = Frame(fraRight, QStringLiteral("Magnification"), twips::Rect(0, 900, 1455, 615));
  fraIterations = Frame(fraRight, QStringLiteral("Max. Iterations"), twips::Rect(0, 1500, 1455, 615));
  fraBookmarks = Frame(fraRight, QStringLiteral("Bookmarks"), twips::Rect(0, 2100, 1455, 915));
  fraModes = Frame(fraRight, QStringLiteral("Tools"), twips::Rect(0, 3000, 1455, 1215));
  fraModes->setMouseTracking(true);

  txtZoom = NumberBox(fraZoom, QStringLiteral("1X"), QStringLiteral("Current magnification"));
  txtZoom->setReadOnly(true);
  txtIterations = NumberBox(fraIterations, QString(), QStringLiteral("Maximum number of iterations"));
  BuildButtons();
}

void MainWindowControls::BuildButtons() {
  struct Design {
    QGroupBox* frame;
    QRect geometry;
    QString caption;
  };
  // Tooltips come from the model, whose status line shows them too.
  const std::array<Design, kButtonCount> designs{{
      {fraZoom, twips::Rect(1140, 240, 195, 240), QStringLiteral("▲")},
      {fraZoom, twips::Rect(120, 240, 195, 240), QStringLiteral("▼")},
      {fraModes, twips::Rect(120, 540, 1215, 255), QStringLiteral("Orbiter...")},
      {fraDisplay, twips::Rect(120, 540, 1215, 255), QStringLiteral("Mandelbrot Set")},
      {fraDisplay, twips::Rect(120, 240, 1215, 255), QStringLiteral("Redraw")},
      {fraModes, twips::Rect(120, 840, 1215, 255), QStringLiteral("Save Picture...")},
      {fraModes, twips::Rect(120, 240, 1215, 255), QStringLiteral("Melodizer...")},
      {fraBookmarks, twips::Rect(120, 540, 1215, 255), QStringLiteral("Load...")},
      {fraBookmarks, twips::Rect(120, 240, 1215, 255), QStringLiteral("Add")},
      {fraIterations, twips::Rect(120, 240, 195, 240), QStringLiteral("▼")},
      {fraIterations, twips::Rect(1140, 240, 195, 240), QStringLiteral("▲")},
  }};
  for (int index = 0; index < kButtonCount; ++index) {
    const Design& design = designs[index];
    const bool isTriangle = design.geometry.width() < twips::Pixels(1215);
    const QFont font = isTriangle ? InterfaceFont(9.75) : InterfaceFont(8.25);
    const QString toolTip = QString::fromStdString(ToolTipText(static_cast<Tool>(index)));
    lblButtons[index] = new ToolButton(index, design.caption, toolTip, font, design.frame);
    lblButtons[index]->setGeometry(design.geometry);
  }
}
