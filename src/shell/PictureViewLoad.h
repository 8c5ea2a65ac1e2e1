#pragma once

class BookmarkTarget;
class Dialogs;
struct ViewState;

// The bookmarks dialog's way to a view kept in a saved PNG picture: asks for
// the picture and, when it carries a view, loads that view into the main
// window as a bookmark is loaded. True when a view was loaded.
bool LoadViewFromPicture(BookmarkTarget& mainView, Dialogs& dialogs);

// Sets the main window's renderer and fractal button to the view and starts
// a full render, as "Load Location" does.
void ApplyViewToMainWindow(const ViewState& view, BookmarkTarget& mainView);
