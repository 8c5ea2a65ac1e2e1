// The main window's ways out into the other windows: the Orbiter, the
// Melodizer after a traced line, the bookmarks dialog and adding a bookmark.

#include <QLineEdit>
#include <cmath>
#include <limits>

#include "AddBookmark.h"
#include "DesktopMidiService.h"
#include "PictureBox.h"
#include "ToolButton.h"
#include "frmBookmarks.h"
#include "frmMusic.h"
#include "frmOrbits.h"
#include "frmQuillory.h"

namespace {

const QString kTraceHint = QStringLiteral("Click and drag the mouse to define the area you want to trace");

// The iteration box's text as the limit handed to the Melodizer: nearest
// whole number, ties to even. Text that is no number gives 0, which the
// Melodizer raises to its own minimum.
std::int32_t IterationsFromText(const QString& text) {
  bool isNumber = false;
  const double value = text.trimmed().toDouble(&isNumber);
  if (!isNumber || !std::isfinite(value)) return 0;
  constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(value, -kLargest, kLargest)));
}

}  // namespace

MidiService& frmQuillory::Midi() {
  if (midiService_ == nullptr) {
    ownMidiService_ = MakeDesktopMidiService();
    midiService_ = ownMidiService_.get();
  }
  return *midiService_;
}

frmBookmarks* frmQuillory::BookmarksDialog() const { return bookmarks_; }
frmMusic* frmQuillory::MelodizerWindow() const { return melodizer_; }
frmOrbits* frmQuillory::OrbiterWindow() const { return orbiter_; }

void frmQuillory::SetFractalCaption(const QString& caption) { lblButtons[3]->setText(caption); }

void frmQuillory::ShowOrbiter() {
  if (!orbiter_) orbiter_ = new frmOrbits(Midi(), dialogs_, programFolder_, this);
  orbiter_->exec();
}

void frmQuillory::LoadBookmarksDialog() {
  if (bookmarks_) return;
  bookmarks_ = new frmBookmarks(*this, dialogs_, programFolder_, this);
  bookmarks_->Load();
}

void frmQuillory::ShowBookmarks() {
  LoadBookmarksDialog();
  // Leaving the dialog unloads it; the next "Load..." loads it anew.
  bookmarks_->exec();
}

void frmQuillory::AddCurrentView() { AddBookmark(rndRenderer, programFolder_, dialogs_); }

void frmQuillory::StartTraceMode() {
  mouseMode = 6;
  lblButtons[6]->SetLook(ToolButton::Look::ModePending);
  SetProgress(0);
  SetStatus(kTraceHint);
}

void frmQuillory::TraceMouseDown(QPointF position) {
  if (isDragging) return;
  isDragging = true;
  linTracer->SetLine(position.x(), position.y(), position.x(), position.y());
  linTracer->SetVisible(true);
}

void frmQuillory::TraceMouseMove(QPointF position) {
  if (!isDragging) return;
  const QPointF start = linTracer->Start();
  linTracer->SetLine(start.x(), start.y(), position.x(), position.y());
}

void frmQuillory::TraceMouseUp(QPointF position) {
  const QPointF start = linTracer->Start();
  linTracer->SetLine(start.x(), start.y(), position.x(), position.y());
  isDragging = false;
  // The mouse reports single-precision pixels; the line's ends are those.
  const auto pixel = [](double value) { return static_cast<double>(static_cast<float>(value)); };
  ShowMelodizer(rndRenderer.GetVirtualX(pixel(start.x())), rndRenderer.GetVirtualY(pixel(start.y())),
                rndRenderer.GetVirtualX(pixel(position.x())), rndRenderer.GetVirtualY(pixel(position.y())));
  // Ends trace mode as a click on "Melodizer..." would.
  lblButtons_MouseUp(6);
}

void frmQuillory::ShowMelodizer(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2) {
  if (!melodizer_) melodizer_ = new frmMusic(Midi(), dialogs_, programFolder_, this);
  melodizer_->SetRegion(realPart1, imaginaryPart1, realPart2, imaginaryPart2, IterationsFromText(txtIterations->text()));
  FractalRenderer& melodyRenderer = melodizer_->rndRenderer();
  melodyRenderer.SetFractal(rndRenderer.GetFractal());
  melodyRenderer.SetJuliaPoint(rndRenderer.GetJuliaPointReal(), rndRenderer.GetJuliaPointImaginary());
  melodizer_->StartMelody(1, false);
  // The Melodizer may have been closed while it drew the melody.
  if (melodizer_) melodizer_->exec();
}
