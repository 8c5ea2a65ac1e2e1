// The main window's desktop conveniences: wheel and keys, the view history,
// dropped pictures, the help window, the device-pixel viewport and the
// minimum height of the tool column. They reach the view only through the
// renderer's operations and the tool buttons' own handling.
#include <QGroupBox>

#include "PictureBox.h"
#include "PictureDropTarget.h"
#include "PictureViewLoad.h"
#include "ToolButton.h"
#include "ViewNavigator.h"
#include "ViewState.h"
#include "ViewportNavigation.h"
#include "frmHelp.h"
#include "frmQuillory.h"

namespace {

// The keys named after each tool button's tooltip.
const char* const kKeyHints[MainWindowControls::kButtonCount] = {
    "+", "-", nullptr, nullptr, "F5, Ctrl+R; Esc aborts", "Ctrl+S", nullptr, "Ctrl+L", "Ctrl+D", nullptr, nullptr};

}  // namespace

void frmQuillory::SetUpConveniences() {
  pbxOutput->SetDevicePixels(true);
  // The keys belong to the viewport from the start, not to the iteration
  // box, which would take the arrows and Backspace for its own text.
  pbxOutput->setFocus(Qt::OtherFocusReason);
  navigator_ = std::make_unique<ViewNavigator>(rndRenderer, *pbxOutput, [this] { StopRendering(); });
  ViewportNavigation::Actions actions;
  actions.inNormalMode = [this] { return mouseMode == -1 && !isDragging; };
  actions.clickButton = [this](int index) { ClickButton(index); };
  actions.back = [this] { MoveInHistory(false); };
  actions.forward = [this] { MoveInHistory(true); };
  actions.redraw = [this] { RedrawKey(); };
  actions.escape = [this] { EscapeKey(); };
  actions.help = [this] { ShowHelp(); };
  new ViewportNavigation(*pbxOutput, *this, *navigator_, std::move(actions));
  new PictureDropTarget(*this, [this](const ViewState& view) { RestoreView(view); });
  for (int index = 0; index < kButtonCount; ++index)
    if (kKeyHints[index]) lblButtons[index]->SetKeyHint(QString::fromUtf8(kKeyHints[index]));
}

void frmQuillory::ClickButton(int index) {
  lblButtons_MouseDown(index);
  lblButtons_MouseUp(index);
}

void frmQuillory::DropPendingMode() {
  if (mouseMode == 3) lblButtons[3]->SetLook(ToolButton::Look::Normal);
  if (mouseMode == 6) {
    lblButtons[6]->SetLook(ToolButton::Look::Normal);
    linTracer->SetVisible(false);
  }
  if (isDragging) {
    shpZoomBox->SetVisible(false);
    isDragging = false;
  }
  mouseMode = -1;
}

void frmQuillory::MoveInHistory(bool forward) {
  // A view set but not yet drawn is a view of its own; a pending Julia pick
  // has only changed the fractal type, which is no view yet.
  if (mouseMode != 3) navigator_->RecordCurrent();
  const bool possible = forward ? navigator_->History().CanGoForward() : navigator_->History().CanGoBack();
  if (!possible) return;
  DropPendingMode();
  if (forward) navigator_->Forward();
  else navigator_->Back();
  SetFractalCaption(rndRenderer.GetFractal() == 1 ? QStringLiteral("Julia Set") : QStringLiteral("Mandelbrot Set"));
}

void frmQuillory::RestoreView(const ViewState& view) {
  DropPendingMode();
  StopRendering();
  ApplyViewToMainWindow(view, *this);
}

void frmQuillory::RedrawKey() {
  // A redraw key always redraws; the button would abort a running render.
  StopRendering();
  ClickButton(4);
}

void frmQuillory::EscapeKey() {
  if (lblButtons[4]->text() == QStringLiteral("Abort")) {
    ClickButton(4);
  } else if (isDragging && mouseMode == -1) {
    shpZoomBox->SetVisible(false);
    isDragging = false;
  } else if (mouseMode != -1) {
    // As a click on the pending mode's own button: the mode is cancelled.
    lblButtons_MouseUp(mouseMode);
  }
}

void frmQuillory::ShowHelp() {
  if (!help_) {
    help_ = new frmHelp(this);
    help_->setAttribute(Qt::WA_DeleteOnClose);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

frmHelp* frmQuillory::HelpWindow() const { return help_; }

int frmQuillory::ToolColumnHeight() const {
  return fraRight->y() + fraModes->geometry().bottom() + 1 + fraBottom->height();
}
