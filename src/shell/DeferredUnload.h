#pragma once

#include <functional>

// Counts a window's handlers that are on the stack. A handler may run a
// nested event loop (Wait, a message box, the save dialog) in which the user
// closes the window; tearing the window down there would pull it from under
// the handler that is still running. A close asked for while handlers run is
// therefore carried out when the outermost one returns.
class DeferredUnload {
 public:
  explicit DeferredUnload(std::function<void()> destroy) : destroy_(std::move(destroy)) {}

  template <typename Handler>
  void Run(Handler&& handler) {
    ++running_;
    handler();
    if (--running_ == 0 && requested_) Finish();
  }

  // Destroys at once when no handler runs, else once the last one returns.
  void Request() {
    requested_ = true;
    if (running_ == 0) Finish();
  }

  bool IsRequested() const { return requested_; }
  int RunningHandlers() const { return running_; }

 private:
  void Finish() {
    if (finished_) return;
    finished_ = true;
    destroy_();
  }

  std::function<void()> destroy_;
  int running_ = 0;
  bool requested_ = false;
  bool finished_ = false;
};
