#include "RenderPump.h"

RenderPump::RenderPump(std::function<bool()> step, QObject* parent) : QObject(parent), step_(std::move(step)) {
  timer_.setInterval(1);
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setSingleShot(false);
  connect(&timer_, &QTimer::timeout, this, &RenderPump::Tick);
}

void RenderPump::Start() {
  ++commands_;
  timer_.start();
}

void RenderPump::Stop() {
  ++commands_;
  timer_.stop();
}

void RenderPump::Tick() {
  timer_.stop();
  const auto started = std::chrono::steady_clock::now();
  for (;;) {
    const unsigned commandsBefore = commands_;
    const bool moreWork = step_();
    // An Abort raised from inside the step must not be undone by re-arming.
    if (commands_ != commandsBefore) return;
    if (!moreWork) return;
    if (std::chrono::steady_clock::now() - started >= budget_) break;
  }
  timer_.start();
}
