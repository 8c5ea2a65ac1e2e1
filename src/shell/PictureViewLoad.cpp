#include "PictureViewLoad.h"

#include "BookmarkTarget.h"
#include "Dialogs.h"
#include "PictureView.h"
#include "ViewState.h"

bool LoadViewFromPicture(BookmarkTarget& mainView, Dialogs& dialogs) {
  const std::string path = dialogs.OpenFileDialog({"PNG Files (*.png)"});
  if (path.empty()) return false;
  const auto view = PictureView::Read(QString::fromStdString(path));
  if (!view) {
    dialogs.ShowMessage("The picture [" + path + "] does not hold a Quillory view.", MessageIcon::Exclamation);
    return false;
  }
  ApplyViewToMainWindow(*view, mainView);
  return true;
}

void ApplyViewToMainWindow(const ViewState& view, BookmarkTarget& mainView) {
  // A picture's view loads exactly as a bookmark of the same view would.
  Bookmark bookmark;
  bookmark.centerX = view.centerX;
  bookmark.centerY = view.centerY;
  bookmark.windowWidth = view.windowWidth;
  bookmark.maxIterations = view.maxIterations;
  bookmark.fractalType = view.fractalType;
  bookmark.x1 = view.juliaReal;
  bookmark.y1 = view.juliaImaginary;
  mainView.ShowBookmark(bookmark);
}
