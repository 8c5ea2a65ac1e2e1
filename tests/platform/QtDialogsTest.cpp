#include "QtDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>

#include "Wait.h"
#include "WidgetTesting.h"

namespace {

// Looks for the modal dialog every few milliseconds and answers it once it
// shows. Each look schedules a copy of itself, so nothing owns itself.
struct ModalPoll {
  std::function<void(QWidget&)> answer;
  void operator()() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return answer(*modal);
    QTimer::singleShot(10, *this);
  }
};

// Runs `answer` on the modal dialog once it is showing, from inside its
// event loop, so the test never blocks.
void WhenModalShows(std::function<void(QWidget&)> answer) { QTimer::singleShot(0, ModalPoll{std::move(answer)}); }

class QtDialogsTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  QTemporaryDir temporary;
  // Never the user's own settings.
  QtDialogs dialogs{nullptr, LastFolder(temporary.filePath("Quillory.conf"))};
};

TEST_F(QtDialogsTest, MessageBoxesAreTitledAndAnswerWithTheButtonPressed) {
  QStringList seen;
  WhenModalShows([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    seen << box.windowTitle() << box.text() << QString::number(box.icon());
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Overwrite?\r\nReally", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::No);
  EXPECT_EQ(seen, (QStringList{"Quillory", "Overwrite?\nReally", QString::number(QMessageBox::Question)}));

  WhenModalShows([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    seen = {QString::number(box.icon()), QString::number(box.button(QMessageBox::No) == nullptr)};
    box.button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Gone.", MessageButtons::Ok, MessageIcon::Stop), MessageAnswer::Ok);
  EXPECT_EQ(seen, (QStringList{QString::number(QMessageBox::Critical), "1"}));
}

TEST_F(QtDialogsTest, InputBoxOffersTheDefaultAndGivesNothingOnCancel) {
  WhenModalShows([](QWidget& modal) {
    auto& input = dynamic_cast<QInputDialog&>(modal);
    input.setTextValue(input.textValue() + ", now Seahorse valley");
    input.accept();
  });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "Untitled, now Seahorse valley");
  WhenModalShows([](QWidget& modal) { dynamic_cast<QDialog&>(modal).reject(); });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "");
}

TEST_F(QtDialogsTest, SaveDialogUsesTheFilterAndDefaultExtension) {
  QStringList seen;
  WhenModalShows([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    seen << dialog.windowTitle() << dialog.nameFilters() << dialog.defaultSuffix();
    dialog.reject();
  });
  EXPECT_EQ(dialogs.SaveFileDialog({"bmp", "Bitmap Files (*.bmp)"}), "");
  EXPECT_EQ(seen, (QStringList{"Quillory", "Bitmap Files (*.bmp)", "bmp"}));
}

TEST_F(QtDialogsTest, FileDialogsOpenInTheFolderLastUsedAndPngTakesItsOwnExtension) {
  const QString chosenFolder = temporary.filePath("chosen");
  ASSERT_TRUE(QDir().mkpath(chosenFolder));
  QString suffixAfterPng;
  WhenModalShows([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    dialog.selectNameFilter("PNG Files (*.png)");
    emit dialog.filterSelected("PNG Files (*.png)");
    suffixAfterPng = dialog.defaultSuffix();
    dialog.setDirectory(chosenFolder);
    dialog.selectFile(chosenFolder + "/view.png");
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  EXPECT_EQ(dialogs.SaveFileDialog({"bmp", "Bitmap Files (*.bmp);;PNG Files (*.png)"}),
            (chosenFolder + "/view.png").toStdString());
  EXPECT_EQ(suffixAfterPng, "png");

  QString startedIn;
  WhenModalShows([&](QWidget& modal) {
    startedIn = dynamic_cast<QFileDialog&>(modal).directory().absolutePath();
    dynamic_cast<QDialog&>(modal).reject();
  });
  EXPECT_EQ(dialogs.OpenFileDialog({"PNG Files (*.png)"}), "");
  EXPECT_EQ(startedIn, QDir(chosenFolder).absolutePath());
  // Songs keep a folder of their own.
  WhenModalShows([&](QWidget& modal) {
    startedIn = dynamic_cast<QFileDialog&>(modal).directory().absolutePath();
    dynamic_cast<QDialog&>(modal).reject();
  });
  dialogs.SaveFileDialog({"mid", "MIDI Files (*.mid)"});
  EXPECT_NE(startedIn, QDir(chosenFolder).absolutePath());
}

TEST_F(QtDialogsTest, WaitRunsPendingEventsOnceAndTimersForAtLeastItsTime) {
  int runs = 0;
  for (int i = 0; i < 2; ++i) QMetaObject::invokeMethod(&application, [&] { ++runs; }, Qt::QueuedConnection);
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
