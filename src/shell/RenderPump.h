#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

// Drives a progressive render from a 1 ms timer. Each tick calls the step
// (the renderer's RendererCallback) again and again while it reports more
// work and the tick's time budget lasts, then returns to the event loop so
// the window stays responsive; the timer is re-armed only while work
// remains. With a budget of zero every tick makes exactly one step.
class RenderPump : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::microseconds kDefaultBudget{8000};

  explicit RenderPump(std::function<bool()> step, QObject* parent = nullptr);

  void Start();
  void Stop();
  bool IsRunning() const { return timer_.isActive(); }

  void SetBudget(std::chrono::microseconds budget) { budget_ = budget; }
  std::chrono::microseconds Budget() const { return budget_; }

 private:
  void Tick();

  std::function<bool()> step_;
  QTimer timer_;
  std::chrono::microseconds budget_ = kDefaultBudget;
  // Counts Start and Stop calls, so a tick notices when a step's events
  // started or stopped the pump and leaves that decision standing.
  unsigned commands_ = 0;
};
