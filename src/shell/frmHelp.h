#pragma once

#include <QDialog>

class QTextBrowser;
class QPushButton;

// F1's window: the tools, the keys, and where bookmarks, pictures and songs
// go, with the way to "About Quillory". It does not block the main window.
class frmHelp : public QDialog {
  Q_OBJECT

 public:
  explicit frmHelp(QWidget* parent = nullptr);

  // The help text, also for tests that check every key is told.
  static QString HelpText();

  QTextBrowser* txtHelp = nullptr;
  QPushButton* cmdAbout = nullptr;
  QPushButton* cmdClose = nullptr;

 private:
  void ShowAbout();
};
