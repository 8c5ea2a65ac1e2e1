#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Bookmark.h"
#include "BookmarkBrowserView.h"
#include "BookmarkStore.h"
#include "BookmarkTarget.h"
#include "Dialogs.h"
#include "FractalRenderer.h"
#include "RenderSurface.h"
#include "RendererListener.h"

// The bookmarks dialog without its widgets: the stored names, the selected
// bookmark and its draft preview, loading it into the main view, deleting
// it, and every message about the bookmark file.
class BookmarkBrowser final : private RendererListener {
 public:
  // Everything given must outlive the browser.
  BookmarkBrowser(BookmarkBrowserView& view, BookmarkTarget& target, Dialogs& dialogs,
                  std::filesystem::path programFolder);
  ~BookmarkBrowser() override;

  // The load work, while the dialog is still hidden: the preview bound to
  // its surface (which must outlive the browser) and the list read. A file
  // that cannot be read is reported at the next activation, not now.
  void Load(RenderSurface& preview);
  // Each time the dialog becomes active the table is read afresh.
  void OnActivated();
  void OnSelected(const std::string& name);
  void OnLoad();
  void OnDelete();
  void OnClosing();
  bool OnPreviewTimerTick();

  // One of the browser's own message boxes is open; coming back from it is
  // no new visit.
  bool IsAsking() const { return openMessages_ > 0; }
  const std::optional<Bookmark>& Current() const { return current_; }
  const FractalRenderer& Preview() const { return renderer_; }

 private:
  void OnAfterRender() override;
  void OnProgress(double percentComplete) override;
  void OnRedraw() override;

  // Replaces the open store by a fresh one; the reason when there is none.
  std::optional<StoreError> OpenStore();
  std::optional<StoreError> RefreshList();
  MessageAnswer Ask(const std::string& text, MessageButtons buttons, MessageIcon icon);
  void Report(const StoreError& error);

  BookmarkBrowserView& view_;
  BookmarkTarget& target_;
  Dialogs& dialogs_;
  std::filesystem::path programFolder_;
  FractalRenderer renderer_;
  std::optional<BookmarkStore> store_;
  // The bookmark the last selection found; what Load and Delete act on.
  std::optional<Bookmark> current_;
  int openMessages_ = 0;
};
