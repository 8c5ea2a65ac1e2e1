#include "frmQuillory.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "Dialogs.h"
#include "IterationLimit.h"
#include "PictureBox.h"
#include "Readouts.h"
#include "SavePictureCommand.h"
#include "ToolButton.h"
#include "ViewNavigator.h"
#include "ViewState.h"
#include "ZoomBox.h"
#include "frmMusic.h"

namespace {

// The smallest outer size the window may take, in pixels (4560 by 3480 twips).
constexpr int kMinimumOuterHeight = 304;
constexpr int kMinimumOuterWidth = 232;

const QString kZoomHint = QStringLiteral("Click on a point and drag the mouse to zoom into a specific area");
const QString kJuliaHint = QStringLiteral("Pick a point in the viewport to serve as the origin for the next Julia set");

std::int16_t NearestInt16(double value) {
  return static_cast<std::int16_t>(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
}

}  // namespace

frmQuillory::frmQuillory(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent),
      timRenderer([this] { return rndRenderer.RendererCallback(); }),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)) {
  setWindowTitle(QStringLiteral("Quillory"));
  // A palette, not a style sheet: a sheet here would cascade into the
  // windows this one owns and override their fonts.
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(224, 224, 224));
  setPalette(background);
  setAutoFillBackground(true);
  resize(MainWindowControls::Pixels(6105), MainWindowControls::Pixels(5700));
  setMouseTracking(true);
  BuildControls(*this);

  connect(pbxOutput, &PictureBox::MousePressed, this, &frmQuillory::pbxOutput_MouseDown);
  connect(pbxOutput, &PictureBox::MouseMoved, this, &frmQuillory::pbxOutput_MouseMove);
  connect(pbxOutput, &PictureBox::MouseReleased, this, &frmQuillory::pbxOutput_MouseUp);
  for (ToolButton* button : lblButtons) {
    connect(button, &ToolButton::Hovered, this, &frmQuillory::lblButtons_MouseMove);
    connect(button, &ToolButton::Pressed, this, [this](int index, Qt::MouseButton) { lblButtons_MouseDown(index); });
    connect(button, &ToolButton::Released, this, [this](int index, Qt::MouseButton) { lblButtons_MouseUp(index); });
  }
  lblCoordinates->installEventFilter(this);
  fraModes->installEventFilter(this);
  txtIterations->installEventFilter(this);
  SetUpConveniences();  // desktop conveniences: wheel, keys, history, drops, help
}

frmQuillory::~frmQuillory() {
  timRenderer.Stop();
  rndRenderer.SetListener(nullptr);
}

void frmQuillory::Load() {
  if (isLoaded_) return;
  isLoaded_ = true;
  rndRenderer.SetListener(this);
  rndRenderer.Initialize(*pbxOutput);
  setWindowState(windowState() | Qt::WindowMaximized);
  mouseMode = -1;
  hoveredButton = -1;
  Form_Resize();
  show();
  rndRenderer.WindowCenterAbsolute(0, 0);
  rndRenderer.Redraw(false);
  timRenderer.Start();
}

// ---------------------------------------------------------------- frame

void frmQuillory::SetStatus(const QString& text) { lblStatus->setText(text); }

void frmQuillory::SetProgress(double fraction) {
  // The bar may reach a little past the outline on the last row of a pass.
  const int width = static_cast<int>(std::nearbyint(lblStatus->width() * fraction));
  shpProgressBar->resize(std::max(width, 0), shpProgressBar->height());
}

void frmQuillory::StopRendering() {
  rndRenderer.Abort();
  timRenderer.Stop();
}

void frmQuillory::UpdateMinimumSize() {
  // The minimum is an outer size; the window system adds its frame.
  const int frameWidth = frameGeometry().width() - geometry().width();
  const int frameHeight = frameGeometry().height() - geometry().height();
  // Never so low that the strip covers the last tool buttons.
  setMinimumSize(std::max(kMinimumOuterWidth - frameWidth, 0),
                 std::max({kMinimumOuterHeight - frameHeight, ToolColumnHeight(), 0}));
}

void frmQuillory::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!isLoaded_) return;
  UpdateMinimumSize();
  Form_Resize();
}

void frmQuillory::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A minimised window only loses its status text; the render goes on.
  if (event->type() == QEvent::WindowStateChange && isMinimized()) SetStatus(QString());
}

void frmQuillory::Form_Resize() {
  SetStatus(QString());
  if (isMinimized()) return;
  StopRendering();
  const int insideWidth = width();
  const int insideHeight = height();
  fraBottom->setGeometry(0, insideHeight - fraBottom->height(), insideWidth, fraBottom->height());
  lblStatus->resize(fraBottom->width() - Pixels(120), lblStatus->height());
  // The right column reaches down behind the bottom strip, which covers it.
  fraRight->setGeometry(insideWidth - fraRight->width(), 0, fraRight->width(), insideHeight - lblStatus->height());
  pbxOutput->resize(insideWidth - fraRight->width() - Pixels(120), insideHeight - fraBottom->height() - Pixels(120));
  linProgressLine->SetLine(0, 0, pbxOutput->ScaleWidth(), 0);
  shpProgressBar->setGeometry(lblStatus->x(), lblStatus->y(), 0, lblStatus->height());
  shpProgressOutline->setGeometry(lblStatus->geometry());
  rndRenderer.WindowRescale();
  rndRenderer.Redraw(false);
}

void frmQuillory::closeEvent(QCloseEvent* event) {
  timRenderer.Stop();
  // The Melodizer's own unload work (its notes switched off) runs first.
  if (melodizer_) melodizer_->close();
  event->accept();
  emit Closed();
}

// ---------------------------------------------------------------- renderer events

void frmQuillory::OnBeforeRender() {
  navigator_->RecordCurrent();  // desktop conveniences: the view history
  SetStatus(QStringLiteral("Initializing..."));
  lblButtons[4]->setText(QStringLiteral("Abort"));
}

void frmQuillory::OnProgressPass(std::int16_t passNumber, std::int16_t totalPasses) {
  SetStatus(QStringLiteral("Pass %1/%2").arg(passNumber).arg(totalPasses));
}

void frmQuillory::OnProgress(double percentComplete) {
  const double row = percentComplete * pbxOutput->ScaleHeight();
  linProgressLine->SetLine(linProgressLine->Start().x(), row, linProgressLine->End().x(), row);
  SetProgress(percentComplete);
}

void frmQuillory::OnAfterRender() {
  SetProgress(0);
  SetStatus(QStringLiteral("Ready"));
  lblButtons[4]->setText(QStringLiteral("Redraw"));
}

void frmQuillory::OnAbort() { lblButtons[4]->setText(QStringLiteral("Redraw")); }

void frmQuillory::OnChangeIterations(std::int32_t newMaxIterations) {
  txtIterations->setText(QString::number(newMaxIterations));
}

void frmQuillory::OnZoomChange(double zoomFactor) { txtZoom->setText(FormatMagnification(zoomFactor)); }

void frmQuillory::OnRedraw() { timRenderer.Start(); }

// ---------------------------------------------------------------- viewport mouse

void frmQuillory::PlaceCoordinates(double viewportY) {
  const double viewportHeight = pbxOutput->ScaleHeight();
  const QPoint inside = pbxOutput->contentsRect().topLeft();
  // The readout always sits in the half of the viewport the mouse is not in.
  // The labels are widgets, placed in logical pixels also on a scaled screen.
  const int logicalHeight = pbxOutput->contentsRect().height();
  const int top = viewportY < viewportHeight / 2 ? logicalHeight - lblCoordinates->height() - 5 : 5;
  lblCoordinates->move(inside.x() + 5, inside.y() + top);
  lblCoordinatesShadow->move(inside.x() + 6, inside.y() + top + 1);
}

void frmQuillory::ClearHighlight() {
  if (hoveredButton == -1) return;
  lblButtons[hoveredButton]->SetHighlighted(false);
  hoveredButton = -1;
}

void frmQuillory::pbxOutput_MouseDown(Qt::MouseButton button, QPointF position) {
  if (mouseMode == 6) TraceMouseDown(position);
  if (mouseMode != -1) return;
  StopRendering();
  if (isDragging || button != Qt::LeftButton) return;
  isDragging = true;
  shpZoomBox->SetRectangle(position.x(), position.y(), 0, 0);
  shpZoomBox->SetVisible(true);
  dragStartX = NearestInt16(position.x());
  dragStartY = NearestInt16(position.y());
}

void frmQuillory::pbxOutput_MouseMove(Qt::MouseButtons buttons, QPointF position) {
  PlaceCoordinates(position.y());
  const QString readout = FormatCoordinates(rndRenderer.GetVirtualX(static_cast<float>(position.x())),
                                            rndRenderer.GetVirtualY(static_cast<float>(position.y())));
  lblCoordinates->setText(readout);
  lblCoordinatesShadow->setText(readout);
  if (mouseMode == 6) TraceMouseMove(position);
  if (mouseMode != -1) return;
  SetStatus(kZoomHint);
  ClearHighlight();
  if (buttons != Qt::LeftButton || !isDragging) return;
  const ZoomBox box = ZoomBox::FromDrag(dragStartX, dragStartY, static_cast<float>(position.x()),
                                        static_cast<float>(position.y()), pbxOutput->ScaleWidth(),
                                        pbxOutput->ScaleHeight());
  shpZoomBox->SetRectangle(box.left, box.top, box.width, box.height);
}

void frmQuillory::pbxOutput_MouseUp(Qt::MouseButton /*button*/, QPointF position) {
  if (mouseMode == -1 && isDragging) FinishZoomDrag();
  else if (mouseMode == 3) PickJuliaPoint(position);
  else if (mouseMode == 6) TraceMouseUp(position);
}

void frmQuillory::FinishZoomDrag() {
  const QRectF shape = shpZoomBox->Rectangle();
  const ZoomBox box{static_cast<float>(shape.left()), static_cast<float>(shape.top()),
                    static_cast<float>(shape.width()), static_cast<float>(shape.height())};
  shpZoomBox->SetVisible(false);
  isDragging = false;
  // A click is no zoom; the render its press stopped stays stopped.
  if (box.IsTiny()) return;
  const auto [left, top, width, height] = box.PixelRectangle();
  rndRenderer.WindowZoom(left, top, width, height);
  rndRenderer.Redraw(false);
}

void frmQuillory::PickJuliaPoint(QPointF position) {
  rndRenderer.SetJuliaPoint(rndRenderer.GetVirtualX(static_cast<float>(position.x())),
                            rndRenderer.GetVirtualY(static_cast<float>(position.y())));
  lblButtons[3]->SetLook(ToolButton::Look::Normal);
  // The new set is drawn in the starting view, not where it was picked.
  rndRenderer.WindowReset();
  rndRenderer.WindowCenterAbsolute(0, 0);
  rndRenderer.Redraw(false);
  mouseMode = -1;
}

void frmQuillory::mouseMoveEvent(QMouseEvent* event) {
  ClearHighlight();
  QWidget::mouseMoveEvent(event);
}

bool frmQuillory::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblCoordinates && event->type() == QEvent::MouseMove) {
    // Only the placement follows the mouse over the readout itself. A drag
    // that began on it passes on to the viewport, which then zooms.
    const auto* move = static_cast<QMouseEvent*>(event);
    if (move->buttons() != Qt::NoButton) return false;
    PlaceCoordinates((lblCoordinates->mapTo(pbxOutput, move->position()).y() - pbxOutput->contentsRect().top()) *
                     pbxOutput->PixelRatio());
    return true;
  }
  if (watched == fraModes && event->type() == QEvent::MouseMove) {
    ClearHighlight();
    return false;
  }
  if (watched == txtIterations && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      pbxOutput->setFocus(Qt::OtherFocusReason);
      return true;
    }
  }
  if (watched == txtIterations && event->type() == QEvent::FocusOut) {
    // Switching to another program or opening a menu is no leaving of the box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) txtIterations_LostFocus();
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- tool buttons

void frmQuillory::lblButtons_MouseMove(int index) {
  if (index == hoveredButton) return;
  ClearHighlight();
  lblButtons[index]->SetHighlighted(true);
  SetStatus(lblButtons[index]->toolTip());
  hoveredButton = static_cast<std::int16_t>(index);
}

void frmQuillory::lblButtons_MouseDown(int index) {
  if (index != 4) StopRendering();
}

void frmQuillory::lblButtons_MouseUp(int index) {
  if (mouseMode == 3) {
    ShowMandelbrotStart();
  } else if (mouseMode == 6) {
    lblButtons[6]->SetLook(ToolButton::Look::Normal);
    linTracer->SetVisible(false);
  }
  // Clicking a pending mode's own button again only cancels the mode.
  if (index == mouseMode) {
    mouseMode = -1;
    return;
  }
  mouseMode = -1;
  RunCommand(index);
}

void frmQuillory::RunCommand(int index) {
  switch (index) {
    case 0: rndRenderer.WindowZoomIn(); break;
    case 1: rndRenderer.WindowZoomOut(); break;
    case 3: ToggleFractal(); break;
    case 4: RedrawOrAbort(); break;
    case 5: {
      const ViewState shown = ViewState::Capture(rndRenderer, *pbxOutput);
      SavePictureCommand(*pbxOutput, dialogs_, &shown);
      break;
    }
    case 9:
      rndRenderer.SetMaxIterations(IterationLimit::Halved(rndRenderer.GetMaxIterations()));
      rndRenderer.Redraw(false);
      break;
    case 10:
      rndRenderer.SetMaxIterations(IterationLimit::Doubled(rndRenderer.GetMaxIterations()));
      rndRenderer.Redraw(false);
      break;
    case 2: ShowOrbiter(); break;
    case 6: StartTraceMode(); break;
    case 7: ShowBookmarks(); break;
    case 8: AddCurrentView(); break;
    default: break;
  }
}

void frmQuillory::ShowMandelbrotStart() {
  lblButtons[3]->SetLook(ToolButton::Look::Normal);
  lblButtons[3]->setText(QStringLiteral("Mandelbrot Set"));
  rndRenderer.SetFractal(0);
  rndRenderer.WindowReset();
  rndRenderer.WindowCenterAbsolute(0, 0);
  rndRenderer.Redraw(false);
}

void frmQuillory::ToggleFractal() {
  if (lblButtons[3]->text() == QStringLiteral("Julia Set")) {
    // Going back to the Mandelbrot set always returns to the starting view.
    ShowMandelbrotStart();
    return;
  }
  mouseMode = 3;
  lblButtons[3]->setText(QStringLiteral("Julia Set"));
  lblButtons[3]->SetLook(ToolButton::Look::ModePending);
  SetProgress(0);
  SetStatus(kJuliaHint);
  rndRenderer.SetFractal(1);
}

void frmQuillory::RedrawOrAbort() {
  if (lblButtons[4]->text() == QStringLiteral("Redraw")) {
    pbxOutput->setFocus(Qt::OtherFocusReason);
    rndRenderer.Redraw(false);
  } else {
    StopRendering();
  }
}

void frmQuillory::txtIterations_LostFocus() {
  const auto entry = IterationLimit::CheckTyped(txtIterations->text());
  if (!entry) {
    txtIterations->setText(QString::number(rndRenderer.GetMaxIterations()));
    return;
  }
  txtIterations->setText(entry->text);
  StopRendering();
  lblButtons_MouseUp(4);
  // Set after the redraw was started: the drawing happens in later ticks.
  rndRenderer.SetMaxIterations(entry->limit);
}
