#include "QtDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>

#include "ShellTesting.h"
#include "Wait.h"

namespace {

// Message and input boxes show their text and give the answer; file dialogs
// offer the filter and open in the folder last used for their kind.
TEST(QtDialogsTest, BoxesGiveTheAnswerAndFileDialogsOpenInTheFolderLastUsedForTheirKind) {
  QTemporaryDir temporary;
  // Never the user's own settings.
  QtDialogs dialogs{nullptr, LastFolder(temporary.filePath("Quillory.conf"))};
  QStringList seen;
  WhenModalShows<QMessageBox>([&](QMessageBox& box) {
    seen << box.windowTitle() << box.text() << QString::number(box.icon());
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Overwrite?\r\nReally", MessageButtons::YesNo, MessageIcon::Question),
            MessageAnswer::No);
  EXPECT_EQ(seen, (QStringList{"Quillory", "Overwrite?\nReally", QString::number(QMessageBox::Question)}));

  WhenModalShows<QInputDialog>([](QInputDialog& input) {
    input.setTextValue(input.textValue() + ", now Seahorse valley");
    input.accept();
  });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "Untitled, now Seahorse valley");
  WhenModalShows<QDialog>([](QDialog& input) { input.reject(); });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "");

  const QString chosen = temporary.filePath("chosen");
  ASSERT_TRUE(QDir().mkpath(chosen));
  seen.clear();
  WhenModalShows<QFileDialog>([&](QFileDialog& dialog) {
    seen << dialog.windowTitle() << dialog.nameFilters() << dialog.defaultSuffix();
    dialog.selectNameFilter("PNG Files (*.png)");
    emit dialog.filterSelected("PNG Files (*.png)");
    seen << dialog.defaultSuffix();
    dialog.setDirectory(chosen);
    dialog.selectFile(chosen + "/view.png");
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  EXPECT_EQ(dialogs.SaveFileDialog({"bmp", "Bitmap Files (*.bmp);;PNG Files (*.png)"}),
            (chosen + "/view.png").toStdString());
  EXPECT_EQ(seen, (QStringList{"Quillory", "Bitmap Files (*.bmp)", "PNG Files (*.png)", "bmp", "png"}));

  // Kept in the settings file for the next visit.
  QtDialogs later{nullptr, LastFolder(temporary.filePath("Quillory.conf"))};
  QString startedIn;
  const auto cancel = [&](QFileDialog& dialog) {
    startedIn = dialog.directory().absolutePath();
    dialog.reject();
  };
  WhenModalShows<QFileDialog>(cancel);
  EXPECT_EQ(later.OpenFileDialog({"PNG Files (*.png)"}), "");
  EXPECT_EQ(startedIn, QDir(chosen).absolutePath());
  WhenModalShows<QFileDialog>(cancel);
  later.SaveFileDialog({"mid", "MIDI Files (*.mid)"});
  EXPECT_NE(startedIn, QDir(chosen).absolutePath()) << "songs keep a folder of their own";
}

TEST(QtDialogsTest, WaitRunsPendingEventsOnceAndTimersForAtLeastItsTime) {
  int runs = 0;
  for (int i = 0; i < 2; ++i) QMetaObject::invokeMethod(qApp, [&] { ++runs; }, Qt::QueuedConnection);
  Wait(0);
  EXPECT_EQ(runs, 2);
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++runs; });
  timer.start(5);
  const auto start = std::chrono::steady_clock::now();
  Wait(0.06);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
  EXPECT_GE(runs, 2 + 3);
}

}  // namespace
