#include "ViewHistory.h"

void ViewHistory::Record(const ViewState& view) {
  if (!views_.empty() && views_[current_].ShowsSameAs(view)) return;
  if (!views_.empty()) views_.erase(views_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, views_.end());
  views_.push_back(view);
  if (views_.size() > kLevels) views_.pop_front();
  current_ = views_.size() - 1;
}

std::optional<ViewState> ViewHistory::Back() {
  if (!CanGoBack()) return std::nullopt;
  --current_;
  return views_[current_];
}

std::optional<ViewState> ViewHistory::Forward() {
  if (!CanGoForward()) return std::nullopt;
  ++current_;
  return views_[current_];
}
