#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "ViewState.h"

// The views drawn so far, as a browser keeps pages: recording a new view
// drops whatever lay ahead of the current one; the oldest views fall off
// once kLevels are kept.
class ViewHistory {
 public:
  static constexpr std::size_t kLevels = 256;

  // A view that shows the same picture as the current one is not recorded
  // again, so redraws and resizes leave the history alone.
  void Record(const ViewState& view);

  bool CanGoBack() const { return !views_.empty() && current_ > 0; }
  bool CanGoForward() const { return !views_.empty() && current_ + 1 < views_.size(); }
  // The view to show next; nothing at either end.
  std::optional<ViewState> Back();
  std::optional<ViewState> Forward();

  std::size_t Size() const { return views_.size(); }
  const ViewState* Current() const { return views_.empty() ? nullptr : &views_[current_]; }

 private:
  std::deque<ViewState> views_;
  std::size_t current_ = 0;
};
