#include "frmBookmarks.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <cmath>

#include "PictureBox.h"
#include "PictureViewLoad.h"
#include "TwipsLayout.h"

namespace {

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

frmBookmarks::frmBookmarks(BookmarkTarget& mainView, Dialogs& dialogs, std::filesystem::path programFolder,
                           QWidget* parent)
    : QDialog(parent),
      browser(*this, mainView, dialogs, std::move(programFolder)),
      renderTimer([this] { return browser.OnPreviewTimerTick(); }) {
  // One row of blocks per tick, so the percentages count up row by row.
  renderTimer.SetBudget(std::chrono::microseconds{0});
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Quillory - Bookmarks"));
  // One row taller than the frame, for the picture button below it.
  setFixedSize(twips::Pixels(4755), twips::Pixels(3045 + 390));
  // Every way of closing unloads the dialog.
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();

  connect(lstBookmarks, &QListWidget::itemSelectionChanged, this, &frmBookmarks::lstBookmarks_Click);
  connect(cmdLoad, &QPushButton::clicked, this, [this] { browser.OnLoad(); });
  connect(cmdDelete, &QPushButton::clicked, this, [this] { browser.OnDelete(); });
  connect(cmdCancel, &QPushButton::clicked, this, &frmBookmarks::reject);
  connect(cmdPicture, &QPushButton::clicked, this, [this, &mainView, &dialogs] {
    if (LoadViewFromPicture(mainView, dialogs)) accept();
  });
}

frmBookmarks::~frmBookmarks() { renderTimer.Stop(); }

void frmBookmarks::BuildControls() {
  fraBookmarks = new QGroupBox(QStringLiteral("Bookmarks"), this);
  fraBookmarks->setObjectName(QStringLiteral("fraBookmarks"));
  fraBookmarks->setGeometry(twips::Rect(60, 0, 4635, 2955));
  fraBookmarks->setFont(InterfaceFont());

  lstBookmarks = new QListWidget(fraBookmarks);
  lstBookmarks->setGeometry(twips::Rect(120, 240, 2415, 2595));
  lstBookmarks->setSelectionMode(QAbstractItemView::SingleSelection);

  cmdLoad = MakeButton(QStringLiteral("&Load Location"), twips::Rect(2640, 240, 1875, 315), fraBookmarks);
  cmdLoad->setDefault(true);
  cmdLoad->setEnabled(false);
  cmdDelete = MakeButton(QStringLiteral("&Delete Location"), twips::Rect(2640, 600, 1875, 315), fraBookmarks);
  cmdDelete->setEnabled(false);
  cmdCancel = MakeButton(QStringLiteral("&Cancel"), twips::Rect(2640, 960, 1875, 315), fraBookmarks);

  pbxPreview = new PictureBox(fraBookmarks);
  pbxPreview->setGeometry(twips::Rect(2640, 1320, 1875, 1275));
  pbxPreview->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  pbxPreview->setFocusPolicy(Qt::NoFocus);
  pbxPreview->SetDevicePixels(true);  // sharp on a scaled desktop

  lblProgress = new QLabel(fraBookmarks);
  lblProgress->setGeometry(twips::Rect(2640, 2580, 1875, 255));
  lblProgress->setAlignment(Qt::AlignCenter);

  setTabOrder(lstBookmarks, cmdLoad);
  setTabOrder(cmdLoad, cmdDelete);
  setTabOrder(cmdDelete, cmdCancel);
  cmdPicture = MakeButton(QStringLiteral("From &Picture..."), twips::Rect(2700, 3045, 1875, 315), this);
  cmdPicture->setToolTip(QStringLiteral("Load the view kept in a picture saved as PNG"));
  cmdPicture->setFont(InterfaceFont());
  setTabOrder(cmdCancel, cmdPicture);
  lstBookmarks->setFocus(Qt::OtherFocusReason);
}

void frmBookmarks::Load() {
  if (isLoaded_) return;
  isLoaded_ = true;
  browser.Load(*pbxPreview);
}

void frmBookmarks::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) coveredByOwnMessage_ = false;
}

bool frmBookmarks::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) {
    if (browser.IsAsking()) coveredByOwnMessage_ = true;
  } else if (event->type() == QEvent::WindowActivate && !browser.IsAsking()) {
    if (coveredByOwnMessage_) {
      coveredByOwnMessage_ = false;
    } else {
      // Queued: a message box must not open in the middle of the activation.
      QMetaObject::invokeMethod(this, [this] { browser.OnActivated(); }, Qt::QueuedConnection);
    }
  }
  return QDialog::event(event);
}

void frmBookmarks::lstBookmarks_Click() {
  const auto selected = lstBookmarks->selectedItems();
  if (selected.size() == 1) browser.OnSelected(selected.front()->text().toStdString());
}

void frmBookmarks::done(int result) {
  browser.OnClosing();
  QDialog::done(result);
}

void frmBookmarks::ShowNames(const std::vector<std::string>& names) {
  lstBookmarks->clear();
  for (const std::string& name : names) lstBookmarks->addItem(QString::fromStdString(name));
}

void frmBookmarks::EnableList(bool enabled) { lstBookmarks->setEnabled(enabled); }

void frmBookmarks::EnableCommands(bool enabled) {
  // A disabled button passes its focus on to "Cancel", where Enter would
  // close the dialog; the list is the better place for it. The dialog's
  // focus widget counts too: while a message box is up the dialog has no
  // focus, and it gives it back to that widget afterwards.
  if (!enabled && (focusWidget() == cmdLoad || focusWidget() == cmdDelete))
    lstBookmarks->setFocus(Qt::OtherFocusReason);
  cmdLoad->setEnabled(enabled);
  cmdDelete->setEnabled(enabled);
}

void frmBookmarks::ShowProgress(const std::string& text) { lblProgress->setText(QString::fromStdString(text)); }

void frmBookmarks::StartPreviewTimer() { renderTimer.Start(); }

void frmBookmarks::StopPreviewTimer() { renderTimer.Stop(); }

void frmBookmarks::Close() { accept(); }
