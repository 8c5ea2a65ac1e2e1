#pragma once

#include <string>
#include <vector>

// What the bookmarks dialog's model needs from its window.
class BookmarkBrowserView {
 public:
  virtual ~BookmarkBrowserView() = default;

  // Replaces the list's entries; nothing is selected afterwards.
  virtual void ShowNames(const std::vector<std::string>& names) = 0;
  // A list that cannot be read is disabled, so it never looks like an empty table.
  virtual void EnableList(bool enabled) = 0;
  // "Load Location" and "Delete Location" together.
  virtual void EnableCommands(bool enabled) = 0;
  virtual void ShowProgress(const std::string& text) = 0;
  // The preview's timer: each tick calls BookmarkBrowser::OnPreviewTimerTick.
  virtual void StartPreviewTimer() = 0;
  virtual void StopPreviewTimer() = 0;
  // Closes (unloads) the dialog.
  virtual void Close() = 0;
};
