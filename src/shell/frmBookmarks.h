#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>

#include "Bookmark.h"
#include "BookmarkStore.h"
#include "Dialogs.h"
#include "FractalRenderer.h"
#include "RenderPump.h"
#include "RendererListener.h"

class BookmarkLoadTarget;
class PictureBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The bookmarks dialog: the stored views listed by name, a draft preview of
// the selected one drawn by the dialog's own renderer, and the commands to
// load it into the main window or to delete it. Closing the dialog in any way
// unloads it (the object deletes itself), so the next showing loads it anew.
class frmBookmarks : public QDialog, public RendererListener {
  Q_OBJECT

 public:
  frmBookmarks(BookmarkLoadTarget& mainWindow, Dialogs& dialogs, std::filesystem::path programFolder,
               QWidget* parent = nullptr);
  ~frmBookmarks() override;

  // The load work, done once while the dialog is still hidden: the preview
  // bound to its surface and the list read. A bookmark file that cannot be
  // read is reported when the dialog is shown, not at load.
  void Load();

  FractalRenderer renderer;
  RenderPump renderTimer;

  QGroupBox* fraBookmarks = nullptr;
  QListWidget* lstBookmarks = nullptr;
  QPushButton* cmdLoad = nullptr;
  QPushButton* cmdDelete = nullptr;
  QPushButton* cmdCancel = nullptr;
  // Loads the view a saved PNG picture carries instead of a bookmark.
  QPushButton* cmdPicture = nullptr;
  PictureBox* pbxPreview = nullptr;
  QLabel* lblProgress = nullptr;

 public slots:
  void done(int result) override;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Renderer events.
  void OnAfterRender() override;
  void OnProgress(double percentComplete) override;
  void OnRedraw() override;

  void BuildControls();
  void Form_Activate();
  void lstBookmarks_Click();
  void cmdLoad_Click();
  void cmdDelete_Click();

  // Replaces the open store by a fresh one; the reason when there is none.
  std::optional<StoreError> OpenStore();
  std::optional<StoreError> RefreshList();
  // Every message box of the dialog goes through here, so that coming back
  // from one is not taken for a new visit.
  MessageAnswer Ask(const std::string& text, MessageButtons buttons, MessageIcon icon);
  void Report(const StoreError& error);

  BookmarkLoadTarget& mainWindow_;
  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  std::optional<BookmarkStore> store_;
  // The bookmark the last list click found; what Load and Delete act on.
  std::optional<Bookmark> current_;
  bool isLoaded_ = false;
  int openMessages_ = 0;
  // One of the dialog's own message boxes took the focus: coming back from
  // it is no new visit and must keep the selection.
  bool coveredByOwnMessage_ = false;
};
