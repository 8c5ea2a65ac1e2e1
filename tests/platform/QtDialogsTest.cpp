#include "QtDialogs.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "WidgetTesting.h"

namespace {

// Runs `answer` on the modal dialog once it is showing, from inside its
// event loop, so the test never blocks.
void WhenModalShows(std::function<void(QWidget&)> answer) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [answer, poll] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      answer(*modal);
      return;
    }
    QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
}

class QtDialogsTest : public ::testing::Test {
 protected:
  QtDialogsTest() { TestApplication(); }
  QtDialogs dialogs;
};

TEST_F(QtDialogsTest, MessageBoxesAreTitledAndAnswerWithTheButtonPressed) {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModalShows([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    title = box.windowTitle();
    text = box.text();
    icon = box.icon();
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Overwrite?\r\nReally", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::No);
  EXPECT_EQ(title, "Quillory");
  EXPECT_EQ(text, "Overwrite?\nReally");
  EXPECT_EQ(icon, QMessageBox::Question);

  WhenModalShows([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    icon = box.icon();
    EXPECT_EQ(box.button(QMessageBox::No), nullptr);
    box.button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Gone.", MessageButtons::Ok, MessageIcon::Stop), MessageAnswer::Ok);
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(QtDialogsTest, InputBoxOffersTheDefaultAndGivesNothingOnCancel) {
  QString offered;
  WhenModalShows([&](QWidget& modal) {
    auto& input = dynamic_cast<QInputDialog&>(modal);
    offered = input.textValue();
    input.setTextValue("Seahorse valley");
    input.accept();
  });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "Seahorse valley");
  EXPECT_EQ(offered, "Untitled");

  WhenModalShows([](QWidget& modal) { dynamic_cast<QDialog&>(modal).reject(); });
  EXPECT_EQ(dialogs.InputBox("Name?", "Untitled"), "");
}

TEST_F(QtDialogsTest, SaveDialogUsesTheFilterAndDefaultExtension) {
  QString title;
  QStringList filters;
  QString suffix;
  WhenModalShows([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    title = dialog.windowTitle();
    filters = dialog.nameFilters();
    suffix = dialog.defaultSuffix();
    dialog.reject();
  });
  EXPECT_EQ(dialogs.SaveFileDialog({"bmp", "Bitmap Files (*.bmp)"}), "");
  EXPECT_EQ(title, "Quillory");
  EXPECT_EQ(filters, QStringList{"Bitmap Files (*.bmp)"});
  EXPECT_EQ(suffix, "bmp");
}

}  // namespace
