#include "frmBookmarks.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "BookmarkFolder.h"
#include "BookmarkLoadTarget.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "PictureBox.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"
#include "WidgetTesting.h"

namespace {

constexpr int kRenderTimeout = 30000;
const std::string kConfirmDelete = "Are you sure you want to delete the current bookmark?";

// The main window as the dialog sees it: a renderer of its own that records
// which redraws were started, and the fractal-type button's caption.
class MainWindowStandIn final : public BookmarkLoadTarget, public RendererListener {
 public:
  MainWindowStandIn() {
    renderer.Initialize(surface);
    renderer.SetListener(this);
  }

  FractalRenderer& MainRenderer() override { return renderer; }
  void SetFractalCaption(const QString& caption) override { fractalCaption = caption; }
  void OnRedraw() override { ++redrawsStarted; }
  void OnProgressPass(std::int16_t, std::int16_t) override { ++passesAnnounced; }

  MemorySurface surface{400, 300};
  FractalRenderer renderer;
  QString fractalCaption = QStringLiteral("Mandelbrot Set");
  int redrawsStarted = 0;
  int passesAnnounced = 0;
};

const Bookmark kRabbit{"Rabbit", 0.0, 0.0, 3.0, 64, 1, -0.123, 0.745};
const Bookmark kSeahorse{"Seahorse", -0.745, -0.1, 0.05, 128, 0, 0.0, 0.0};

class FrmBookmarksTest : public ::testing::Test {
 protected:
  void Add(const Bookmark& bookmark) { ASSERT_EQ(store.Add(bookmark).status, BookmarkStore::AddStatus::Added); }

  void LoadDialog(const std::filesystem::path& programFolder, Dialogs& answering) {
    dialog = new frmBookmarks(mainWindow, answering, programFolder, &owner);
    dialog->Load();
  }
  void LoadDialog(const std::filesystem::path& programFolder) { LoadDialog(programFolder, dialogs); }
  void LoadDialog() { LoadDialog(folder.Path()); }

  // Showing activates the dialog, whose refresh runs once the activation
  // has been handled.
  void Activate() {
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QCoreApplication::processEvents();
  }
  void LoadAndShow() {
    LoadDialog();
    Activate();
  }

  QStringList ListedNames() const {
    QStringList names;
    for (int row = 0; row < dialog->lstBookmarks->count(); ++row) names << dialog->lstBookmarks->item(row)->text();
    return names;
  }
  QStringList SelectedNames() const {
    QStringList names;
    for (const QListWidgetItem* item : dialog->lstBookmarks->selectedItems()) names << item->text();
    return names;
  }
  void Click(const QString& name) {
    const auto items = dialog->lstBookmarks->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    QWidget* viewport = dialog->lstBookmarks->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, dialog->lstBookmarks->visualItemRect(items.front()).center());
  }
  void WaitForPreview() {
    ASSERT_TRUE(WaitUntil(
        [&] { return !dialog->renderTimer.IsRunning() && dialog->lblProgress->text() == "Done"; }, kRenderTimeout))
        << "progress: " << dialog->lblProgress->text().toStdString();
  }
  bool ButtonsEnabled() const { return dialog->cmdLoad->isEnabled() && dialog->cmdDelete->isEnabled(); }
  bool ButtonsDisabled() const { return !dialog->cmdLoad->isEnabled() && !dialog->cmdDelete->isEnabled(); }
  // Closing deletes the dialog once events run.
  bool WaitUntilUnloaded() { return WaitUntil([&] { return dialog.isNull(); }, 5000); }

  QApplication& application{TestApplication()};
  BookmarkFolder folder;
  BookmarkStore store{folder.OpenEmptyStore()};
  ScriptedDialogs dialogs;
  MainWindowStandIn mainWindow;
  QWidget owner;
  QPointer<frmBookmarks> dialog;
};

// What the preview should show: the bookmark drawn in draft quality on a
// surface of the preview's size.
MemorySurface DraftPicture(const Bookmark& bookmark, const PictureBox& preview) {
  MemorySurface surface(static_cast<int>(preview.ScaleWidth()), static_cast<int>(preview.ScaleHeight()));
  FractalRenderer reference;
  reference.Initialize(surface);
  BookmarkView::Apply(bookmark, reference, BookmarkView::JuliaPoint::OnlyForJulia);
  reference.Redraw(true);
  while (reference.RendererCallback()) {
  }
  return surface;
}

int PixelsDiffering(const MemorySurface& expected, const PictureBox& preview) {
  int differing = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      if (preview.Point(x, y) != expected.Pixel(x, y)) ++differing;
  return differing;
}

TEST_F(FrmBookmarksTest, IsAFixedToolWindowWithTheListFirstInTabOrder) {
  LoadDialog();
  EXPECT_EQ(dialog->windowTitle(), "Quillory - Bookmarks");
  EXPECT_EQ(dialog->windowType(), Qt::Tool);
  EXPECT_EQ(dialog->minimumSize(), QSize(317, 203));
  EXPECT_EQ(dialog->maximumSize(), QSize(317, 203));
  // The preview's inside, where the renderer draws, is within its 2-pixel border.
  EXPECT_EQ(dialog->pbxPreview->ScaleWidth(), 121.0f);
  EXPECT_EQ(dialog->pbxPreview->ScaleHeight(), 81.0f);

  QList<QWidget*> tabOrder;
  for (QWidget* widget = dialog->lstBookmarks; tabOrder.size() < 5; widget = widget->nextInFocusChain())
    if (widget->focusPolicy() & Qt::TabFocus) tabOrder << widget;
  const QList<QWidget*> expectedOrder{dialog->lstBookmarks, dialog->cmdLoad, dialog->cmdDelete, dialog->cmdCancel,
                                      dialog->lstBookmarks};
  EXPECT_EQ(tabOrder, expectedOrder);
}

TEST_F(FrmBookmarksTest, ListsTheBookmarksInNameOrderWithNothingSelected) {
  Add({"Zebra Stripes", -0.5, 0.5, 1.0, 100, 0});
  Add({"apple Core", 0.1, 0.2, 0.3, 200, 0});
  Add({"Bob's Spiral", -0.7, 0.1, 0.01, 300, 1, 0.2, 0.3});
  LoadAndShow();

  EXPECT_EQ(ListedNames(), (QStringList{"apple Core", "Bob's Spiral", "Zebra Stripes"}));
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_TRUE(ButtonsDisabled());
  EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(FrmBookmarksTest, AnEmptyTableListsNothingAndEnterLoadsNothing) {
  LoadAndShow();
  EXPECT_EQ(dialog->lstBookmarks->count(), 0);
  EXPECT_TRUE(dialog->lstBookmarks->isEnabled());
  EXPECT_TRUE(ButtonsDisabled());

  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());
  QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_FALSE(dialog.isNull());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
  EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(FrmBookmarksTest, PreviewDrawsTheClickedBookmarkInDraftQualityWhateverCameBefore) {
  Add(kRabbit);
  Add(kSeahorse);
  LoadAndShow();

  Click("Rabbit");
  WaitForPreview();
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(dialog->renderer.GetFractal(), 1);
  EXPECT_EQ(dialog->renderer.GetJuliaPointReal(), kRabbit.x1);
  EXPECT_EQ(dialog->renderer.GetJuliaPointImaginary(), kRabbit.y1);
  const MemorySurface rabbit = DraftPicture(kRabbit, *dialog->pbxPreview);
  EXPECT_EQ(PixelsDiffering(rabbit, *dialog->pbxPreview), 0);

  // The fractal type is set on every click, so a Mandelbrot bookmark after a
  // Julia one shows the Mandelbrot set.
  Click("Seahorse");
  WaitForPreview();
  EXPECT_EQ(dialog->renderer.GetFractal(), 0);
  EXPECT_EQ(dialog->renderer.GetMaxIterations(), kSeahorse.maxIterations);
  const MemorySurface seahorse = DraftPicture(kSeahorse, *dialog->pbxPreview);
  EXPECT_EQ(PixelsDiffering(seahorse, *dialog->pbxPreview), 0);
  EXPECT_GT(PixelsDiffering(rabbit, *dialog->pbxPreview), 1000);

  // Previewing leaves the main view alone.
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
  EXPECT_EQ(mainWindow.renderer.GetMaxIterations(), 256);
}

TEST_F(FrmBookmarksTest, ProgressShowsWholePercentsCutDownThenDone) {
  LoadDialog();
  RendererListener& events = *dialog;
  const struct {
    double fraction;
    const char* shown;
  } cases[] = {{0.0, "0%"}, {0.315, "31%"}, {0.999, "99%"}, {1.0125, "101%"}};
  for (const auto& step : cases) {
    events.OnProgress(step.fraction);
    EXPECT_EQ(dialog->lblProgress->text(), step.shown) << step.fraction;
  }
  events.OnAfterRender();
  EXPECT_EQ(dialog->lblProgress->text(), "Done");
}

TEST_F(FrmBookmarksTest, LoadLocationHandsTheBookmarkToTheMainWindowAndUnloads) {
  const struct {
    Bookmark bookmark;
    bool byEnterKey;
    QString caption;
  } cases[] = {{kRabbit, false, "Julia Set"}, {kSeahorse, true, "Mandelbrot Set"}};
  Add(kRabbit);
  Add(kSeahorse);

  for (const auto& loading : cases) {
    SCOPED_TRACE(loading.bookmark.name);
    // The main view shows some other Julia set, so every field must change.
    mainWindow.renderer.SetFractal(loading.bookmark.fractalType == 1 ? 0 : 1);
    mainWindow.renderer.SetJuliaPoint(0.3, -0.4);
    mainWindow.fractalCaption = loading.bookmark.fractalType == 1 ? "Mandelbrot Set" : "Julia Set";
    mainWindow.redrawsStarted = 0;
    mainWindow.passesAnnounced = 0;

    LoadAndShow();
    Click(QString::fromStdString(loading.bookmark.name));
    if (loading.byEnterKey) QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);
    else QTest::mouseClick(dialog->cmdLoad, Qt::LeftButton);

    const FractalRenderer& view = mainWindow.renderer;
    EXPECT_EQ(view.GetMaxIterations(), loading.bookmark.maxIterations);
    EXPECT_DOUBLE_EQ(view.GetWindowCenterX(), loading.bookmark.centerX);
    EXPECT_DOUBLE_EQ(view.GetWindowCenterY(), loading.bookmark.centerY);
    EXPECT_EQ(view.GetWindowWidth(), loading.bookmark.windowWidth);
    EXPECT_EQ(view.GetFractal(), loading.bookmark.fractalType);
    // Always set: a Mandelbrot bookmark's empty constant reads as 0, 0.
    EXPECT_EQ(view.GetJuliaPointReal(), loading.bookmark.x1);
    EXPECT_EQ(view.GetJuliaPointImaginary(), loading.bookmark.y1);
    EXPECT_EQ(mainWindow.fractalCaption, loading.caption);

    // A full render: unlike a draft, its first row announces the passes.
    ASSERT_EQ(mainWindow.redrawsStarted, 1);
    mainWindow.renderer.RendererCallback();
    EXPECT_EQ(mainWindow.passesAnnounced, 1);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(WaitUntilUnloaded());
  }
}

TEST_F(FrmBookmarksTest, CancelEscapeAndClosingUnloadWithoutTouchingTheMainView) {
  Add(kRabbit);
  const std::function<void(frmBookmarks&)> ways[] = {
      [](frmBookmarks& shown) { QTest::mouseClick(shown.cmdCancel, Qt::LeftButton); },
      [](frmBookmarks& shown) { QTest::keyClick(shown.lstBookmarks, Qt::Key_Escape); },
      [](frmBookmarks& shown) { shown.close(); },
  };
  for (const auto& closeDialog : ways) {
    LoadAndShow();
    // A preview under way must end with the dialog.
    Click("Rabbit");
    ASSERT_TRUE(dialog->renderTimer.IsRunning());
    closeDialog(*dialog);
    EXPECT_TRUE(WaitUntilUnloaded());
  }
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
  EXPECT_EQ(mainWindow.renderer.GetFractal(), 0);
  EXPECT_EQ(mainWindow.fractalCaption, "Mandelbrot Set");
}

TEST_F(FrmBookmarksTest, DeleteAskedAndAnsweredYesRemovesTheRowAndTheSelection) {
  Add({"Alpha", 0, 0, 1, 64, 0});
  Add({"Bob's Spiral", -0.7, 0.1, 0.01, 300, 1, 0.2, 0.3});
  Add({"Zed", 0, 0, 2, 64, 0});
  LoadAndShow();
  Click("Bob's Spiral");
  ASSERT_TRUE(ButtonsEnabled());

  dialogs.AnswerMessage(MessageAnswer::Yes);
  QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);

  ASSERT_EQ(dialogs.History().size(), 1u);
  const auto& question = dialogs.History().front();
  EXPECT_EQ(question.text, kConfirmDelete);
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_EQ(NamesOf(store.List().Value()), (std::vector<std::string>{"Alpha", "Zed"}));
  EXPECT_EQ(ListedNames(), (QStringList{"Alpha", "Zed"}));
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_TRUE(ButtonsDisabled());
  EXPECT_TRUE(dialog->lblProgress->text().isEmpty());
  // Not on "Cancel", where the next Enter would close the dialog.
  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());

  // Without a selection the commands do nothing, even when clicked.
  QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
  EXPECT_EQ(dialogs.History().size(), 1u);
}

TEST_F(FrmBookmarksTest, EachVisitReadsTheTableAgainAndClearsTheSelection) {
  Add({"Middle", 0, 0, 1, 64, 0});
  LoadAndShow();
  Click("Middle");

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  // Added meanwhile, as by the main window's "Add".
  Add({"Zulu", 0, 0, 1, 64, 0});
  Add({"Alpha", 0, 0, 1, 64, 0});
  Activate();

  EXPECT_EQ(ListedNames(), (QStringList{"Alpha", "Middle", "Zulu"}));
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_TRUE(ButtonsDisabled());
  EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(FrmBookmarksTest, AnsweringNoKeepsTheRowAndTheSelectionAfterTheRealQuestionBox) {
  Add({"Middle", 0, 0, 1, 64, 0});
  QtDialogs desktop;
  LoadDialog(folder.Path(), desktop);
  desktop.SetOwner(dialog);
  Activate();
  Click("Middle");

  // The real question box, answered No as soon as it is up.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answerer.stop();
      box->button(QMessageBox::No)->click();
    }
  });
  answerer.start(5);
  QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
  ASSERT_FALSE(answerer.isActive());
  // Whether or not the window system hands the focus back by itself.
  Activate();

  EXPECT_EQ(SelectedNames(), QStringList{"Middle"});
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(NamesOf(store.List().Value()), std::vector<std::string>{"Middle"});
}

TEST_F(FrmBookmarksTest, ABookmarkDeletedElsewhereIsReportedAndTheListReadAgain) {
  Add({"Alpha", 0, 0, 1, 64, 0});
  Add({"Gone", 0, 0, 1, 64, 0});
  LoadAndShow();
  ASSERT_FALSE(store.Delete("Gone"));

  Click("Gone");
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History().front().icon, MessageIcon::Information);
  EXPECT_EQ(ListedNames(), QStringList{"Alpha"});
  EXPECT_TRUE(ButtonsDisabled());

  // Nothing is left current for Enter to load.
  QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
}

TEST_F(FrmBookmarksTest, AnUnreadableBookmarkFileIsReportedOnShowingAndLeftAsItIs) {
  BookmarkFolder damaged;
  const std::string bytes = "These are somebody's notes, not a bookmark database.\n";
  damaged.WriteDataFile(bytes);

  LoadDialog(damaged.Path());
  // Loading happens hidden at start-up; the user hears of it on opening.
  EXPECT_TRUE(dialogs.History().empty());
  Activate();

  ASSERT_EQ(dialogs.History().size(), 1u);
  const auto& report = dialogs.History().front();
  EXPECT_EQ(report.icon, MessageIcon::Stop);
  EXPECT_EQ(report.text.rfind("Unable to open the bookmark file:", 0), 0u) << report.text;
  // An empty list would look like a table without bookmarks.
  EXPECT_EQ(dialog->lstBookmarks->count(), 0);
  EXPECT_FALSE(dialog->lstBookmarks->isEnabled());
  EXPECT_TRUE(ButtonsDisabled());
  EXPECT_EQ(damaged.ReadDataFile(), bytes);

  QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
  EXPECT_TRUE(WaitUntilUnloaded());
  EXPECT_EQ(dialogs.History().size(), 1u);
}

}  // namespace
