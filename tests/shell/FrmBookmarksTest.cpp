#include "frmBookmarks.h"

#include <gtest/gtest.h>

#include <QGroupBox>

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "BookmarkFolder.h"
#include "BookmarkLoadTarget.h"
#include "BookmarkView.h"
#include "MemorySurface.h"
#include "PictureBox.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"
#include "ShellTesting.h"

namespace {

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

// The pixels of the preview that differ from the bookmark drawn in draft
// quality on a surface of the preview's size.
int PixelsDifferingFromDraft(const Bookmark& bookmark, const PictureBox& preview) {
  MemorySurface expected(static_cast<int>(preview.ScaleWidth()), static_cast<int>(preview.ScaleHeight()));
  FractalRenderer reference;
  reference.Initialize(expected);
  BookmarkView::Apply(bookmark, reference, BookmarkView::JuliaPoint::OnlyForJulia);
  reference.Redraw(true);
  while (reference.RendererCallback()) {
  }
  int differing = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) differing += preview.Point(x, y) != expected.Pixel(x, y);
  return differing;
}

class FrmBookmarksTest : public ::testing::Test {
 protected:
  void Add(const Bookmark& bookmark) { ASSERT_EQ(store.Add(bookmark).status, BookmarkStore::AddStatus::Added); }
  void AddNamed(const char* name) { Add({name, 0, 0, 1, 64, 0}); }

  void LoadDialog(const std::filesystem::path& programFolder, Dialogs& answering) {
    dialog = new frmBookmarks(mainWindow, answering, programFolder, &owner);
    dialog->Load();
  }
  // Showing activates the dialog, whose refresh runs once the activation
  // has been handled.
  void Activate() {
    ASSERT_TRUE(ShowActive(dialog));
    QCoreApplication::processEvents();
  }
  void LoadAndShow() {
    LoadDialog(folder.Path(), dialogs);
    Activate();
  }

  QStringList Names(bool selectedOnly = false) const {
    QStringList names;
    for (const QListWidgetItem* item : dialog->lstBookmarks->findItems("*", Qt::MatchWildcard))
      if (!selectedOnly || item->isSelected()) names << item->text();
    return names;
  }
  void Click(const QString& name) {
    const auto items = dialog->lstBookmarks->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    QTest::mouseClick(dialog->lstBookmarks->viewport(), Qt::LeftButton, {},
                      dialog->lstBookmarks->visualItemRect(items.front()).center());
  }
  void WaitForPreview() {
    ASSERT_TRUE(WaitUntil([&] { return !dialog->renderTimer.IsRunning() && dialog->lblProgress->text() == "Done"; }))
        << "progress: " << dialog->lblProgress->text().toStdString();
  }
  // Load Location and Delete: "11" when both are enabled.
  std::string Buttons() const {
    return std::string(1, "01"[dialog->cmdLoad->isEnabled()]) + "01"[dialog->cmdDelete->isEnabled()];
  }
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

TEST_F(FrmBookmarksTest, EachVisitListsTheTableAgainInNameOrderWithNothingSelected) {
  LoadAndShow();
  EXPECT_EQ(dialog->lstBookmarks->count(), 0);
  EXPECT_TRUE(dialog->lstBookmarks->isEnabled());
  EXPECT_EQ(Buttons(), "00");
  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());

  QWidget other;
  ASSERT_TRUE(ShowActive(&other));
  // Added meanwhile, as by the main window's "Add".
  for (const char* name : {"Middle", "Zulu", "alpha"}) AddNamed(name);
  Activate();
  EXPECT_EQ(Names(), (QStringList{"alpha", "Middle", "Zulu"}));
  Click("Middle");
  EXPECT_EQ(Buttons(), "11");
  ASSERT_TRUE(ShowActive(&other));
  Activate();
  EXPECT_TRUE(Names(true).isEmpty());
  EXPECT_EQ(Buttons(), "00");
  EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(FrmBookmarksTest, PreviewDrawsTheClickedBookmarkInDraftQualityWhateverCameBefore) {
  Add(kRabbit);
  Add(kSeahorse);
  LoadAndShow();

  Click("Rabbit");
  WaitForPreview();
  EXPECT_EQ(PixelsDifferingFromDraft(kRabbit, *dialog->pbxPreview), 0);

  // The fractal type is set on every click, so a Mandelbrot bookmark after a
  // Julia one shows the Mandelbrot set.
  Click("Seahorse");
  WaitForPreview();
  EXPECT_EQ(PixelsDifferingFromDraft(kSeahorse, *dialog->pbxPreview), 0);
  EXPECT_GT(PixelsDifferingFromDraft(kRabbit, *dialog->pbxPreview), 1000);

  // Previewing leaves the main view alone.
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
  EXPECT_EQ(mainWindow.renderer.GetMaxIterations(), 256);
}

TEST_F(FrmBookmarksTest, AFixedToolWindowWhoseProgressShowsWholePercentsCutDownThenDone) {
  LoadDialog(folder.Path(), dialogs);
  // One row below the frame holds the button that loads a picture's view.
  EXPECT_EQ(dialog->minimumSize(), QSize(317, 203 + 26));
  EXPECT_EQ(dialog->maximumSize(), QSize(317, 203 + 26));
  EXPECT_GE(dialog->cmdPicture->y(), dialog->fraBookmarks->geometry().bottom());
  EXPECT_LE(dialog->cmdPicture->geometry().bottom(), dialog->height() - 1);
  // The preview's inside, where the renderer draws, is within its 2-pixel border.
  EXPECT_EQ(QSizeF(dialog->pbxPreview->ScaleWidth(), dialog->pbxPreview->ScaleHeight()), QSizeF(121, 81));

  RendererListener& events = *dialog;
  for (const auto& [fraction, shown] : {std::pair{0.0, "0%"}, {0.315, "31%"}, {0.999, "99%"}, {1.0125, "101%"}}) {
    events.OnProgress(fraction);
    EXPECT_EQ(dialog->lblProgress->text(), shown) << fraction;
  }
  events.OnAfterRender();
  EXPECT_EQ(dialog->lblProgress->text(), "Done");
}

// A Julia bookmark by the button is loaded in the hand-off tests; here a
// Mandelbrot one by Enter over a main view of some other Julia set.
TEST_F(FrmBookmarksTest, EnterHandsTheBookmarkToTheMainWindowAndUnloads) {
  Add(kSeahorse);
  mainWindow.renderer.SetFractal(1);
  mainWindow.renderer.SetJuliaPoint(0.3, -0.4);
  mainWindow.fractalCaption = "Julia Set";
  LoadAndShow();
  Click("Seahorse");
  QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);

  const FractalRenderer& view = mainWindow.renderer;
  EXPECT_EQ(view.GetMaxIterations(), kSeahorse.maxIterations);
  EXPECT_DOUBLE_EQ(view.GetWindowCenterX(), kSeahorse.centerX);
  EXPECT_DOUBLE_EQ(view.GetWindowCenterY(), kSeahorse.centerY);
  EXPECT_EQ(view.GetWindowWidth(), kSeahorse.windowWidth);
  EXPECT_EQ(view.GetFractal(), 0);
  // Always set: a Mandelbrot bookmark's empty constant reads as 0, 0.
  EXPECT_EQ(view.GetJuliaPointReal(), 0.0);
  EXPECT_EQ(view.GetJuliaPointImaginary(), 0.0);
  EXPECT_EQ(mainWindow.fractalCaption, "Mandelbrot Set");
  // A full render: unlike a draft, its first row announces the passes.
  ASSERT_EQ(mainWindow.redrawsStarted, 1);
  mainWindow.renderer.RendererCallback();
  EXPECT_EQ(mainWindow.passesAnnounced, 1);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(WaitUntilUnloaded());
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

TEST_F(FrmBookmarksTest, DeleteAskedAndAnsweredYesOrDoneElsewhereRemovesTheRowAndTheSelection) {
  AddNamed("Alpha");
  Add({"Bob's Spiral", -0.7, 0.1, 0.01, 300, 1, 0.2, 0.3});
  AddNamed("Zed");
  LoadAndShow();
  Click("Bob's Spiral");
  dialogs.AnswerMessage(MessageAnswer::Yes);
  QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
  ASSERT_EQ(dialogs.History().size(), 1u);
  const auto& question = dialogs.History().front();
  EXPECT_EQ(question.text, "Are you sure you want to delete the current bookmark?");
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_EQ(NamesOf(store.List().Value()), (std::vector<std::string>{"Alpha", "Zed"}));
  EXPECT_EQ(Names(), (QStringList{"Alpha", "Zed"}));
  EXPECT_TRUE(Names(true).isEmpty());
  EXPECT_EQ(Buttons(), "00");
  // Not on "Cancel", where the next Enter would close the dialog.
  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());
  // Without a selection the commands do nothing, even when clicked.
  QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
  EXPECT_EQ(dialogs.History().size(), 1u);

  // A bookmark deleted elsewhere is reported, and the list read again.
  ASSERT_FALSE(store.Delete("Zed"));
  Click("Zed");
  ASSERT_EQ(dialogs.History().size(), 2u);
  EXPECT_EQ(dialogs.History().back().icon, MessageIcon::Information);
  EXPECT_EQ(Names(), QStringList{"Alpha"});
  EXPECT_EQ(Buttons(), "00");
  // Nothing is left current for Enter to load.
  QTest::keyClick(dialog->lstBookmarks, Qt::Key_Return);
  EXPECT_EQ(mainWindow.redrawsStarted, 0);
}

TEST_F(FrmBookmarksTest, TheRealQuestionBoxKeepsTheRowOnNoAndLeavesTheFocusOnTheListOnYes) {
  AddNamed("Middle");
  QtDialogs desktop;
  LoadDialog(folder.Path(), desktop);
  desktop.SetOwner(dialog);
  Activate();
  // The real question box, answered as soon as it is up.
  QTimer answerer;
  QMessageBox::StandardButton answer = QMessageBox::No;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answerer.stop();
      box->button(answer)->click();
    }
  });
  for (QMessageBox::StandardButton next : {QMessageBox::No, QMessageBox::Yes}) {
    answer = next;
    Click("Middle");
    answerer.start(5);
    QTest::mouseClick(dialog->cmdDelete, Qt::LeftButton);
    ASSERT_FALSE(answerer.isActive());
    // Whether or not the window system hands the focus back by itself.
    Activate();
    if (next == QMessageBox::No) {
      EXPECT_EQ(Names(true), QStringList{"Middle"});
      EXPECT_EQ(Buttons(), "11");
      EXPECT_EQ(NamesOf(store.List().Value()), std::vector<std::string>{"Middle"});
    }
  }
  EXPECT_TRUE(NamesOf(store.List().Value()).empty());
  // Not on "Cancel", where the next Enter would close the dialog.
  EXPECT_TRUE(dialog->lstBookmarks->hasFocus());
}

TEST_F(FrmBookmarksTest, AnUnreadableBookmarkFileIsReportedOnShowingAndLeftAsItIs) {
  BookmarkFolder damaged;
  const std::string bytes = "These are somebody's notes, not a bookmark database.\n";
  damaged.WriteDataFile(bytes);

  LoadDialog(damaged.Path(), dialogs);
  // Loading happens hidden at start-up; the user hears of it on opening.
  EXPECT_TRUE(dialogs.History().empty());
  Activate();
  ASSERT_EQ(dialogs.History().size(), 1u);
  const auto& report = dialogs.History().front();
  EXPECT_EQ(report.icon, MessageIcon::Stop);
  EXPECT_EQ(report.text.rfind("Unable to open the bookmark file:", 0), 0u) << report.text;
  // An empty list would look like a table without bookmarks.
  EXPECT_FALSE(dialog->lstBookmarks->isEnabled());
  EXPECT_EQ(Buttons(), "00");
  EXPECT_EQ(damaged.ReadDataFile(), bytes);

  QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
  EXPECT_TRUE(WaitUntilUnloaded());
  EXPECT_EQ(dialogs.History().size(), 1u) << "reported once";
}

}  // namespace
