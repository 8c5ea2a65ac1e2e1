#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>

#include "BookmarkBrowser.h"
#include "BookmarkBrowserView.h"
#include "RenderPump.h"

class BookmarkTarget;
class Dialogs;
class PictureBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The bookmarks dialog's controls, connected to its model. Closing the dialog
// in any way unloads it (the object deletes itself), so the next showing
// loads it anew.
class frmBookmarks : public QDialog, private BookmarkBrowserView {
  Q_OBJECT

 public:
  frmBookmarks(BookmarkTarget& mainView, Dialogs& dialogs, std::filesystem::path programFolder,
               QWidget* parent = nullptr);
  ~frmBookmarks() override;

  // The load work, done once while the dialog is still hidden: the preview
  // bound to its surface and the list read. A bookmark file that cannot be
  // read is reported when the dialog is shown, not at load.
  void Load();

  BookmarkBrowser browser;
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
  void ShowNames(const std::vector<std::string>& names) override;
  void EnableList(bool enabled) override;
  void EnableCommands(bool enabled) override;
  void ShowProgress(const std::string& text) override;
  void StartPreviewTimer() override;
  void StopPreviewTimer() override;
  void Close() override;

  void BuildControls();
  void lstBookmarks_Click();

  bool isLoaded_ = false;
  // One of the dialog's own message boxes took the focus: coming back from
  // it is no new visit and must keep the selection.
  bool coveredByOwnMessage_ = false;
};
