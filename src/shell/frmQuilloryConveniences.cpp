// The main window's desktop conveniences: wheel and keys, the view history,
// dropped pictures, the help window, the device-pixel viewport and the
// minimum height of the tool column. They reach the view only through the
// model's and the renderer's own operations, as the tool buttons do.
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
const char* const kKeyHints[kToolCount] = {
    "+", "-", nullptr, nullptr, "F5, Ctrl+R; Esc aborts", "Ctrl+S", nullptr, "Ctrl+L", "Ctrl+D", nullptr, nullptr};

}  // namespace

void frmQuillory::SetUpConveniences() {
  pbxOutput->SetDevicePixels(true);
  // The keys belong to the viewport from the start, not to the iteration
  // box, which would take the arrows and Backspace for its own text.
  pbxOutput->setFocus(Qt::OtherFocusReason);
  navigator_ = std::make_unique<ViewNavigator>(explorer.Renderer(), *pbxOutput, [this] { explorer.StopRendering(); });
  ViewportNavigation::Actions actions;
  actions.inNormalMode = [this] { return explorer.Mode() == MouseMode::Normal && !explorer.IsDragging(); };
  actions.clickButton = [this](int index) { explorer.ClickTool(static_cast<Tool>(index)); };
  actions.back = [this] { MoveInHistory(false); };
  actions.forward = [this] { MoveInHistory(true); };
  actions.redraw = [this] { RedrawKey(); };
  actions.escape = [this] { explorer.OnEscape(); };
  actions.help = [this] { ShowHelp(); };
  new ViewportNavigation(*pbxOutput, *this, *navigator_, std::move(actions));
  new PictureDropTarget(*this, [this](const ViewState& view) { RestoreView(view); });
  for (int index = 0; index < kToolCount; ++index)
    if (kKeyHints[index]) lblButtons[index]->SetKeyHint(QString::fromUtf8(kKeyHints[index]));
}

void frmQuillory::RenderBegins() { navigator_->RecordCurrent(); }

void frmQuillory::MoveInHistory(bool forward) {
  // A view set but not yet drawn is a view of its own; a pending Julia pick
  // has only changed the fractal type, which is no view yet.
  if (explorer.Mode() != MouseMode::JuliaPick) navigator_->RecordCurrent();
  const bool possible = forward ? navigator_->History().CanGoForward() : navigator_->History().CanGoBack();
  if (!possible) return;
  explorer.DropPendingMode();
  if (forward) navigator_->Forward();
  else navigator_->Back();
  explorer.ShowRendererFractal();
}

void frmQuillory::RestoreView(const ViewState& view) {
  explorer.DropPendingMode();
  explorer.StopRendering();
  ApplyViewToMainWindow(view, explorer);
}

void frmQuillory::RedrawKey() {
  // A redraw key always redraws; the button would abort a running render.
  explorer.StopRendering();
  explorer.ClickTool(Tool::RedrawAbort);
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
