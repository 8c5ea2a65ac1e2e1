#pragma once

#include "Bookmark.h"

// Where "Load Location" sends a bookmark: the main view, which takes its
// view, shows which set it is, and draws it in full.
class BookmarkTarget {
 public:
  virtual ~BookmarkTarget() = default;

  virtual void ShowBookmark(const Bookmark& bookmark) = 0;
};
