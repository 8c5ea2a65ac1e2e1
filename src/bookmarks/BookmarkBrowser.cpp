#include "BookmarkBrowser.h"

#include <cmath>
#include <vector>

#include "BookmarkView.h"

namespace {

constexpr const char* kConfirmDelete = "Are you sure you want to delete the current bookmark?";
constexpr const char* kBookmarkGone =
    "The bookmark you selected is no longer stored.  It may have been deleted in another copy of Quillory.";

}  // namespace

BookmarkBrowser::BookmarkBrowser(BookmarkBrowserView& view, BookmarkTarget& target, Dialogs& dialogs,
                                 std::filesystem::path programFolder)
    : view_(view), target_(target), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

BookmarkBrowser::~BookmarkBrowser() { renderer_.SetListener(nullptr); }

void BookmarkBrowser::Load(RenderSurface& preview) {
  renderer_.SetListener(this);
  // Nobody is looking yet; the activation reads the file again and reports.
  OpenStore();
  renderer_.Initialize(preview);
  RefreshList();
}

void BookmarkBrowser::OnActivated() {
  // The table may have changed since the last visit (the main window's
  // "Add", another copy of the program), so it is read afresh.
  const auto openError = OpenStore();
  const auto listError = RefreshList();
  if (openError) Report(*openError);
  else if (listError) Report(*listError);
}

std::optional<StoreError> BookmarkBrowser::OpenStore() {
  store_.reset();
  auto opened = BookmarkStore::Open(programFolder_);
  if (!opened.Ok()) return opened.Error();
  store_.emplace(std::move(opened.Value()));
  return std::nullopt;
}

std::optional<StoreError> BookmarkBrowser::RefreshList() {
  view_.EnableCommands(false);
  view_.ShowProgress("");
  // A preview under way starts again from its first row at the next tick.
  renderer_.Abort();
  current_.reset();

  std::optional<StoreError> error;
  std::vector<std::string> names;
  if (!store_) {
    error = StoreError{"The bookmark file is not open."};
  } else if (auto bookmarks = store_->List(); !bookmarks.Ok()) {
    error = bookmarks.Error();
  } else {
    for (const Bookmark& bookmark : bookmarks.Value()) names.push_back(bookmark.name);
  }
  view_.ShowNames(names);
  view_.EnableList(!error);
  return error;
}

MessageAnswer BookmarkBrowser::Ask(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  ++openMessages_;
  const MessageAnswer answer = dialogs_.MessageBox(text, buttons, icon);
  --openMessages_;
  return answer;
}

void BookmarkBrowser::Report(const StoreError& error) { Ask(error.message, MessageButtons::Ok, MessageIcon::Stop); }

void BookmarkBrowser::OnSelected(const std::string& name) {
  if (!store_) return;
  // Names are bound as values, so an apostrophe in a name is just a letter.
  auto found = store_->Find(name);
  if (!found.Ok() || !found.Value()) {
    // Never leave an earlier bookmark current under a new selection.
    current_.reset();
    view_.EnableCommands(false);
    if (!found.Ok()) {
      Report(found.Error());
      return;
    }
    Ask(kBookmarkGone, MessageButtons::Ok, MessageIcon::Information);
    if (auto error = RefreshList()) Report(*error);
    return;
  }
  view_.EnableCommands(true);
  current_ = *found.Value();
  BookmarkView::Apply(*current_, renderer_, BookmarkView::JuliaPoint::OnlyForJulia);
  renderer_.Redraw(true);
}

void BookmarkBrowser::OnLoad() {
  if (!current_) return;
  target_.ShowBookmark(*current_);
  view_.Close();
}

void BookmarkBrowser::OnDelete() {
  if (!current_ || !store_) return;
  if (Ask(kConfirmDelete, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes) return;
  if (auto error = store_->Delete(current_->name)) Report(*error);
  if (auto error = RefreshList()) Report(*error);
}

void BookmarkBrowser::OnClosing() { view_.StopPreviewTimer(); }

bool BookmarkBrowser::OnPreviewTimerTick() { return renderer_.RendererCallback(); }

void BookmarkBrowser::OnRedraw() { view_.StartPreviewTimer(); }

void BookmarkBrowser::OnProgress(double percentComplete) {
  // The last row of blocks may reach past the bottom edge, so 101% can show.
  view_.ShowProgress(std::to_string(static_cast<int>(std::floor(percentComplete * 100))) + "%");
}

void BookmarkBrowser::OnAfterRender() { view_.ShowProgress("Done"); }
