#include "frmBookmarks.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <cmath>

#include "BookmarkLoadTarget.h"
#include "BookmarkView.h"
#include "PictureBox.h"
#include "PictureViewLoad.h"

namespace {

constexpr const char* kConfirmDelete = "Are you sure you want to delete the current bookmark?";
constexpr const char* kBookmarkGone =
    "The bookmark you selected is no longer stored.  It may have been deleted in another copy of Quillory.";

// The design is in twips, 15 to the pixel.
constexpr int Pixels(int twips) { return twips / 15; }

QRect FromTwips(int left, int top, int width, int height) {
  return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

// DejaVu Sans stands in for Tahoma.
QFont InterfaceFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(8.25);
  return font;
}

QPushButton* MakeButton(const QString& caption, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

frmBookmarks::frmBookmarks(BookmarkLoadTarget& mainWindow, Dialogs& dialogs, std::filesystem::path programFolder,
                           QWidget* parent)
    : QDialog(parent),
      renderTimer([this] { return renderer.RendererCallback(); }),
      mainWindow_(mainWindow),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)) {
  // One row of blocks per tick, so the percentages count up row by row.
  renderTimer.SetBudget(std::chrono::microseconds{0});
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Quillory - Bookmarks"));
  // One row taller than the frame, for the picture button below it.
  setFixedSize(Pixels(4755), Pixels(3045 + 390));
  // Every way of closing unloads the dialog.
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();

  connect(lstBookmarks, &QListWidget::itemSelectionChanged, this, &frmBookmarks::lstBookmarks_Click);
  connect(cmdLoad, &QPushButton::clicked, this, &frmBookmarks::cmdLoad_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmBookmarks::cmdDelete_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmBookmarks::reject);
  connect(cmdPicture, &QPushButton::clicked, this, [this] {
    if (LoadViewFromPicture(mainWindow_, dialogs_)) accept();
  });
}

frmBookmarks::~frmBookmarks() {
  renderTimer.Stop();
  renderer.SetListener(nullptr);
}

void frmBookmarks::BuildControls() {
  fraBookmarks = new QGroupBox(QStringLiteral("Bookmarks"), this);
  fraBookmarks->setObjectName(QStringLiteral("fraBookmarks"));
  fraBookmarks->setGeometry(FromTwips(60, 0, 4635, 2955));
  fraBookmarks->setFont(InterfaceFont());

  lstBookmarks = new QListWidget(fraBookmarks);
  lstBookmarks->setGeometry(FromTwips(120, 240, 2415, 2595));
  lstBookmarks->setSelectionMode(QAbstractItemView::SingleSelection);

  cmdLoad = MakeButton(QStringLiteral("&Load Location"), FromTwips(2640, 240, 1875, 315), fraBookmarks);
  cmdLoad->setDefault(true);
  cmdLoad->setEnabled(false);
  cmdDelete = MakeButton(QStringLiteral("&Delete Location"), FromTwips(2640, 600, 1875, 315), fraBookmarks);
  cmdDelete->setEnabled(false);
  cmdCancel = MakeButton(QStringLiteral("&Cancel"), FromTwips(2640, 960, 1875, 315), fraBookmarks);

  pbxPreview = new PictureBox(fraBookmarks);
  pbxPreview->setGeometry(FromTwips(2640, 1320, 1875, 1275));
  pbxPreview->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  pbxPreview->setFocusPolicy(Qt::NoFocus);
  pbxPreview->SetDevicePixels(true);  // sharp on a scaled desktop

  lblProgress = new QLabel(fraBookmarks);
  lblProgress->setGeometry(FromTwips(2640, 2580, 1875, 255));
  lblProgress->setAlignment(Qt::AlignCenter);

  setTabOrder(lstBookmarks, cmdLoad);
  setTabOrder(cmdLoad, cmdDelete);
  setTabOrder(cmdDelete, cmdCancel);
  cmdPicture = MakeButton(QStringLiteral("From &Picture..."), FromTwips(2700, 3045, 1875, 315), this);
  cmdPicture->setToolTip(QStringLiteral("Load the view kept in a picture saved as PNG"));
  cmdPicture->setFont(InterfaceFont());
  setTabOrder(cmdCancel, cmdPicture);
  lstBookmarks->setFocus(Qt::OtherFocusReason);
}

void frmBookmarks::Load() {
  if (isLoaded_) return;
  isLoaded_ = true;
  renderer.SetListener(this);
  // Nobody is looking yet; the showing reads the file again and reports.
  OpenStore();
  renderer.Initialize(*pbxPreview);
  RefreshList();
}

// ---------------------------------------------------------------- activation

void frmBookmarks::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) coveredByOwnMessage_ = false;
}

bool frmBookmarks::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) {
    if (openMessages_ > 0) coveredByOwnMessage_ = true;
  } else if (event->type() == QEvent::WindowActivate && openMessages_ == 0) {
    if (coveredByOwnMessage_) {
      coveredByOwnMessage_ = false;
    } else {
      // Queued: a message box must not open in the middle of the activation.
      QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    }
  }
  return QDialog::event(event);
}

void frmBookmarks::Form_Activate() {
  // The table may have changed since the last visit (the main window's
  // "Add", another copy of the program), so it is read afresh.
  auto openError = OpenStore();
  auto listError = RefreshList();
  if (openError) Report(*openError);
  else if (listError) Report(*listError);
}

std::optional<StoreError> frmBookmarks::OpenStore() {
  store_.reset();
  auto opened = BookmarkStore::Open(programFolder_);
  if (!opened.Ok()) return opened.Error();
  store_.emplace(std::move(opened.Value()));
  return std::nullopt;
}

MessageAnswer frmBookmarks::Ask(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  ++openMessages_;
  const MessageAnswer answer = dialogs_.MessageBox(text, buttons, icon);
  --openMessages_;
  return answer;
}

void frmBookmarks::Report(const StoreError& error) { Ask(error.message, MessageButtons::Ok, MessageIcon::Stop); }

// ---------------------------------------------------------------- the list

std::optional<StoreError> frmBookmarks::RefreshList() {
  // A disabled button passes its focus on to "Cancel", where Enter would
  // close the dialog; the list is the better place for it. The dialog's
  // focus widget counts too: while a message box is up the dialog has no
  // focus, and it gives it back to that widget afterwards.
  if (focusWidget() == cmdLoad || focusWidget() == cmdDelete) lstBookmarks->setFocus(Qt::OtherFocusReason);
  cmdLoad->setEnabled(false);
  cmdDelete->setEnabled(false);
  lblProgress->clear();
  // A preview under way starts again from its first row at the next tick.
  renderer.Abort();
  current_.reset();
  lstBookmarks->clear();

  std::optional<StoreError> error;
  if (!store_) {
    error = StoreError{"The bookmark file is not open."};
  } else if (auto bookmarks = store_->List(); !bookmarks.Ok()) {
    error = bookmarks.Error();
  } else {
    for (const Bookmark& bookmark : bookmarks.Value()) lstBookmarks->addItem(QString::fromStdString(bookmark.name));
  }
  // A list that cannot be read must not look like an empty table.
  lstBookmarks->setEnabled(!error);
  return error;
}

void frmBookmarks::lstBookmarks_Click() {
  const auto selected = lstBookmarks->selectedItems();
  if (selected.size() != 1 || !store_) return;

  // Names are bound as values, so an apostrophe in a name is just a letter.
  auto found = store_->Find(selected.front()->text().toStdString());
  if (!found.Ok() || !found.Value()) {
    // Never leave an earlier bookmark current under a new selection.
    current_.reset();
    cmdLoad->setEnabled(false);
    cmdDelete->setEnabled(false);
    if (!found.Ok()) {
      Report(found.Error());
      return;
    }
    Ask(kBookmarkGone, MessageButtons::Ok, MessageIcon::Information);
    if (auto error = RefreshList()) Report(*error);
    return;
  }

  cmdLoad->setEnabled(true);
  cmdDelete->setEnabled(true);
  current_ = *found.Value();
  BookmarkView::Apply(*current_, renderer, BookmarkView::JuliaPoint::OnlyForJulia);
  renderer.Redraw(true);
}

// ---------------------------------------------------------------- commands

void frmBookmarks::cmdLoad_Click() {
  if (!current_) return;
  FractalRenderer& mainRenderer = mainWindow_.MainRenderer();
  BookmarkView::Apply(*current_, mainRenderer, BookmarkView::JuliaPoint::Always);
  mainWindow_.SetFractalCaption(current_->fractalType == 0 ? QStringLiteral("Mandelbrot Set")
                                                           : QStringLiteral("Julia Set"));
  mainRenderer.Redraw(false);
  accept();
}

void frmBookmarks::cmdDelete_Click() {
  if (!current_ || !store_) return;
  if (Ask(kConfirmDelete, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes) return;
  if (auto error = store_->Delete(current_->name)) Report(*error);
  if (auto error = RefreshList()) Report(*error);
}

void frmBookmarks::done(int result) {
  renderTimer.Stop();
  QDialog::done(result);
}

// ---------------------------------------------------------------- renderer events

void frmBookmarks::OnRedraw() { renderTimer.Start(); }

void frmBookmarks::OnProgress(double percentComplete) {
  // The last row of blocks may reach past the bottom edge, so 101% can show.
  const int percent = static_cast<int>(std::floor(percentComplete * 100));
  lblProgress->setText(QString::number(percent) + QLatin1Char('%'));
}

void frmBookmarks::OnAfterRender() { lblProgress->setText(QStringLiteral("Done")); }
