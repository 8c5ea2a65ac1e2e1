#include "PictureViewLoad.h"

#include "BookmarkLoadTarget.h"
#include "Dialogs.h"
#include "FractalRenderer.h"
#include "PictureView.h"
#include "ViewState.h"

bool LoadViewFromPicture(BookmarkLoadTarget& mainWindow, Dialogs& dialogs) {
  const std::string path = dialogs.OpenFileDialog({"PNG Files (*.png)"});
  if (path.empty()) return false;
  const auto view = PictureView::Read(QString::fromStdString(path));
  if (!view) {
    dialogs.ShowMessage("The picture [" + path + "] does not hold a Quillory view.", MessageIcon::Exclamation);
    return false;
  }
  ApplyViewToMainWindow(*view, mainWindow);
  return true;
}

void ApplyViewToMainWindow(const ViewState& view, BookmarkLoadTarget& mainWindow) {
  FractalRenderer& renderer = mainWindow.MainRenderer();
  view.ApplyTo(renderer);
  mainWindow.SetFractalCaption(view.fractalType == 0 ? QStringLiteral("Mandelbrot Set") : QStringLiteral("Julia Set"));
  renderer.Redraw(false);
}
