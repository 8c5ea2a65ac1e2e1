#include "frmQuillory.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "DesktopMidiService.h"
#include "InvertedShape.h"
#include "Nearest.h"
#include "PictureBox.h"
#include "PictureView.h"
#include "ToolButton.h"
#include "TwipsLayout.h"
#include "ViewNavigator.h"
#include "ViewState.h"
#include "frmBookmarks.h"
#include "frmMusic.h"
#include "frmOrbits.h"

namespace {

// The smallest outer size the window may take, in pixels (4560 by 3480 twips).
constexpr int kMinimumOuterHeight = 304;
constexpr int kMinimumOuterWidth = 232;

}  // namespace

frmQuillory::frmQuillory(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent),
      explorer(*this, dialogs, programFolder),
      timRenderer([this] { return explorer.OnRenderTimerTick(); }),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)) {
  setWindowTitle(QStringLiteral("Quillory"));
  // A palette, not a style sheet: a sheet here would cascade into the
  // windows this one owns and override their fonts.
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(224, 224, 224));
  setPalette(background);
  setAutoFillBackground(true);
  resize(twips::Pixels(6105), twips::Pixels(5700));
  setMouseTracking(true);
  BuildControls(*this);
  ConnectControls();
  SetUpConveniences();  // desktop conveniences: wheel, keys, history, drops, help
}

frmQuillory::~frmQuillory() { timRenderer.Stop(); }

void frmQuillory::ConnectControls() {
  connect(pbxOutput, &PictureBox::MousePressed, this, [this](Qt::MouseButton button, QPointF at) {
    const auto which = button == Qt::LeftButton ? Explorer::MouseButton::Left : Explorer::MouseButton::Other;
    explorer.OnViewportPressed(which, static_cast<float>(at.x()), static_cast<float>(at.y()));
  });
  connect(pbxOutput, &PictureBox::MouseMoved, this, [this](Qt::MouseButtons buttons, QPointF at) {
    explorer.OnViewportMoved(buttons == Qt::LeftButton, static_cast<float>(at.x()), static_cast<float>(at.y()));
  });
  connect(pbxOutput, &PictureBox::MouseReleased, this, [this](Qt::MouseButton, QPointF at) {
    explorer.OnViewportReleased(static_cast<float>(at.x()), static_cast<float>(at.y()));
  });
  for (ToolButton* button : lblButtons) {
    connect(button, &ToolButton::Hovered, this, [this](int index) { explorer.OnToolHovered(static_cast<Tool>(index)); });
    connect(button, &ToolButton::Pressed, this,
            [this](int index, Qt::MouseButton) { explorer.OnToolPressed(static_cast<Tool>(index)); });
    connect(button, &ToolButton::Released, this,
            [this](int index, Qt::MouseButton) { explorer.OnToolReleased(static_cast<Tool>(index)); });
  }
  connect(txtIterations, &QLineEdit::textChanged, this,
          [this](const QString& text) { explorer.OnIterationsTyped(text.toStdString()); });
  lblCoordinates->installEventFilter(this);
  fraModes->installEventFilter(this);
  txtIterations->installEventFilter(this);
}

void frmQuillory::Load() {
  if (isLoaded_) return;
  isLoaded_ = true;
  explorer.Load(*pbxOutput);
  setWindowState(windowState() | Qt::WindowMaximized);
  Form_Resize();
  show();
  explorer.Start();
}

// ---------------------------------------------------------------- frame

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
  if (event->type() == QEvent::WindowStateChange && isMinimized()) explorer.OnResizing(true);
}

void frmQuillory::Form_Resize() {
  if (!explorer.OnResizing(isMinimized())) return;
  const int insideWidth = width();
  const int insideHeight = height();
  fraBottom->setGeometry(0, insideHeight - fraBottom->height(), insideWidth, fraBottom->height());
  lblStatus->resize(fraBottom->width() - twips::Pixels(120), lblStatus->height());
  // The right column reaches down behind the bottom strip, which covers it.
  fraRight->setGeometry(insideWidth - fraRight->width(), 0, fraRight->width(), insideHeight - lblStatus->height());
  pbxOutput->resize(insideWidth - fraRight->width() - twips::Pixels(120),
                    insideHeight - fraBottom->height() - twips::Pixels(120));
  linProgressLine->SetLine(0, 0, pbxOutput->ScaleWidth(), 0);
  shpProgressBar->setGeometry(lblStatus->x(), lblStatus->y(), 0, lblStatus->height());
  shpProgressOutline->setGeometry(lblStatus->geometry());
  explorer.OnLaidOut();
}

void frmQuillory::closeEvent(QCloseEvent* event) {
  timRenderer.Stop();
  // The Melodizer's own unload work (its notes switched off) runs first.
  if (melodizer_) melodizer_->close();
  event->accept();
  emit Closed();
}

void frmQuillory::mouseMoveEvent(QMouseEvent* event) {
  explorer.OnBackgroundHovered();
  QWidget::mouseMoveEvent(event);
}

bool frmQuillory::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblCoordinates && event->type() == QEvent::MouseMove) {
    // Only the placement follows the mouse over the readout itself. A drag
    // that began on it passes on to the viewport, which then zooms.
    const auto* move = static_cast<QMouseEvent*>(event);
    if (move->buttons() != Qt::NoButton) return false;
    explorer.OnReadoutHovered((lblCoordinates->mapTo(pbxOutput, move->position()).y() - pbxOutput->contentsRect().top()) *
                              pbxOutput->PixelRatio());
    return true;
  }
  if (watched == fraModes && event->type() == QEvent::MouseMove) {
    explorer.OnBackgroundHovered();
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
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) explorer.OnIterationsLeft();
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- what the model shows

float frmQuillory::ViewportWidth() const { return pbxOutput->ScaleWidth(); }

float frmQuillory::ViewportHeight() const { return pbxOutput->ScaleHeight(); }

void frmQuillory::ShowStatus(const std::string& text) { lblStatus->setText(QString::fromStdString(text)); }

void frmQuillory::ShowProgress(double fraction) {
  // The bar may reach a little past the outline on the last row of a pass.
  const int width = Nearest(lblStatus->width() * fraction);
  shpProgressBar->resize(std::max(width, 0), shpProgressBar->height());
}

void frmQuillory::MoveProgressLine(double row) {
  linProgressLine->SetLine(linProgressLine->Start().x(), row, linProgressLine->End().x(), row);
}

void frmQuillory::ShowIterations(const std::string& text) {
  txtIterations->setText(QString::fromStdString(text));
}

void frmQuillory::ShowMagnification(const std::string& text) { txtZoom->setText(QString::fromStdString(text)); }

void frmQuillory::ShowCoordinates(const std::string& text) {
  lblCoordinates->setText(QString::fromStdString(text));
  lblCoordinatesShadow->setText(QString::fromStdString(text));
}

void frmQuillory::PlaceCoordinates(bool atBottom) {
  // The labels are widgets, placed in logical pixels also on a scaled screen.
  const int viewportHeight = pbxOutput->contentsRect().height();
  const QPoint inside = pbxOutput->contentsRect().topLeft();
  const int top = atBottom ? viewportHeight - lblCoordinates->height() - 5 : 5;
  lblCoordinates->move(inside.x() + 5, inside.y() + top);
  lblCoordinatesShadow->move(inside.x() + 6, inside.y() + top + 1);
}

void frmQuillory::ShowToolCaption(Tool tool, const std::string& caption) {
  lblButtons[static_cast<int>(tool)]->setText(QString::fromStdString(caption));
}

void frmQuillory::ShowToolLook(Tool tool, ToolLook look) {
  lblButtons[static_cast<int>(tool)]->SetLook(look == ToolLook::Normal ? ToolButton::Look::Normal
                                                                       : ToolButton::Look::ModePending);
}

void frmQuillory::ShowToolHighlight(Tool tool, bool highlighted) {
  lblButtons[static_cast<int>(tool)]->SetHighlighted(highlighted);
}

void frmQuillory::ShowZoomBox(const ZoomBox& box) {
  shpZoomBox->SetRectangle(box.left, box.top, box.width, box.height);
  shpZoomBox->SetVisible(true);
}

void frmQuillory::HideZoomBox() { shpZoomBox->SetVisible(false); }

void frmQuillory::ShowTracer(const PixelLine& line) {
  linTracer->SetLine(line.x1, line.y1, line.x2, line.y2);
  linTracer->SetVisible(true);
}

void frmQuillory::HideTracer() { linTracer->SetVisible(false); }

void frmQuillory::StartRenderTimer() { timRenderer.Start(); }

void frmQuillory::StopRenderTimer() { timRenderer.Stop(); }

void frmQuillory::FocusViewport() { pbxOutput->setFocus(Qt::OtherFocusReason); }

std::optional<std::string> frmQuillory::WritePicture(const std::string& fileName) {
  if (!PictureView::IsPngName(fileName)) return pbxOutput->SavePicture(fileName);
  // A PNG keeps the view it shows, so it can be loaded again.
  const ViewState shown = ViewState::Capture(explorer.Renderer(), *pbxOutput);
  return PictureView::SavePng(pbxOutput->Picture(), fileName, &shown);
}

// ---------------------------------------------------------------- the other windows

frmBookmarks* frmQuillory::BookmarksDialog() const { return bookmarks_; }
frmMusic* frmQuillory::MelodizerWindow() const { return melodizer_; }
frmOrbits* frmQuillory::OrbiterWindow() const { return orbiter_; }

MidiService& frmQuillory::Midi() {
  if (midiService_ == nullptr) {
    ownMidiService_ = MakeDesktopMidiService();
    midiService_ = ownMidiService_.get();
  }
  return *midiService_;
}

void frmQuillory::ShowOrbiter() {
  if (!orbiter_) orbiter_ = new frmOrbits(Midi(), dialogs_, programFolder_, this);
  orbiter_->exec();
}

void frmQuillory::LoadBookmarksDialog() {
  if (bookmarks_) return;
  bookmarks_ = new frmBookmarks(explorer, dialogs_, programFolder_, this);
  bookmarks_->Load();
}

void frmQuillory::ShowBookmarks() {
  LoadBookmarksDialog();
  // Leaving the dialog unloads it; the next "Load..." loads it anew.
  bookmarks_->exec();
}

void frmQuillory::ShowMelodizer(const MelodizerHandoff& handoff) {
  if (!melodizer_) melodizer_ = new frmMusic(Midi(), dialogs_, programFolder_, this);
  melodizer_->SetRegion(handoff.realPart1, handoff.imaginaryPart1, handoff.realPart2, handoff.imaginaryPart2,
                        handoff.maxIterations);
  FractalRenderer& melodyRenderer = melodizer_->rndRenderer();
  melodyRenderer.SetFractal(handoff.fractalType);
  melodyRenderer.SetJuliaPoint(handoff.juliaReal, handoff.juliaImaginary);
  melodizer_->StartMelody(1, false);
  // The Melodizer may have been closed while it drew the melody.
  if (melodizer_) melodizer_->exec();
}
