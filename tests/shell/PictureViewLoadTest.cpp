#include "PictureViewLoad.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "BookmarkTarget.h"
#include "BookmarkView.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "PictureView.h"
#include "RendererListener.h"
#include "ScriptedDialogs.h"
#include "ViewState.h"
#include "WidgetTesting.h"

namespace {

class MainWindowStandIn final : public BookmarkTarget, public RendererListener {
 public:
  MainWindowStandIn() {
    renderer.Initialize(surface);
    renderer.WindowCenterAbsolute(0, 0);
    renderer.SetListener(this);
  }
  void ShowBookmark(const Bookmark& bookmark) override {
    BookmarkView::Apply(bookmark, renderer, BookmarkView::JuliaPoint::Always);
    fractalCaption = bookmark.fractalType == 1 ? QStringLiteral("Julia Set") : QStringLiteral("Mandelbrot Set");
    renderer.Redraw(false);
  }
  void OnRedraw() override { ++redrawsStarted; }

  MemorySurface surface{300, 200};
  FractalRenderer renderer;
  QString fractalCaption = QStringLiteral("Mandelbrot Set");
  int redrawsStarted = 0;
};

class PictureViewLoadTest : public ::testing::Test {
 protected:
  QApplication& application{TestApplication()};
  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  MainWindowStandIn mainWindow;
};

TEST_F(PictureViewLoadTest, APictureWithAViewLoadsItAsABookmarkWouldAndOthersAreRefused) {
  EXPECT_FALSE(LoadViewFromPicture(mainWindow, dialogs));
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].kind, ScriptedDialogs::Kind::OpenFile);
  EXPECT_EQ(dialogs.History()[0].text, "PNG Files (*.png)");
  EXPECT_EQ(mainWindow.redrawsStarted, 0);

  const QString plain = folder.filePath("plain.png");
  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(plain));
  dialogs.ClearHistory();
  dialogs.AnswerOpenFile(plain.toStdString());
  EXPECT_FALSE(LoadViewFromPicture(mainWindow, dialogs));
  EXPECT_EQ(dialogs.Messages(),
            std::vector<std::string>{"The picture [" + plain.toStdString() + "] does not hold a Quillory view."});
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
  EXPECT_EQ(mainWindow.renderer.GetWindowWidth(), 4.0);

  ViewState view;
  view.centerX = -0.1011;
  view.centerY = 0.9563;
  view.windowWidth = 0.01;
  view.maxIterations = 999;
  view.fractalType = 1;
  view.juliaReal = 0.285;
  view.juliaImaginary = 0.01;
  const QString tagged = folder.filePath("tagged.png");
  ASSERT_FALSE(PictureView::SavePng(picture, tagged.toStdString(), &view));
  dialogs.ClearHistory();
  dialogs.AnswerOpenFile(tagged.toStdString());
  EXPECT_TRUE(LoadViewFromPicture(mainWindow, dialogs));
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(mainWindow.redrawsStarted, 1);
  EXPECT_EQ(mainWindow.fractalCaption, "Julia Set");
  const ViewState loaded = ViewState::Capture(mainWindow.renderer, mainWindow.surface);
  EXPECT_TRUE(loaded.ShowsSameAs(view));
  EXPECT_EQ(loaded.maxIterations, 999);
  EXPECT_EQ(loaded.juliaReal, 0.285);
}

}  // namespace
