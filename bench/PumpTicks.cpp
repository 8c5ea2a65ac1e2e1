// Renders the starting view in the real main window with its viewport at
// 1280 x 1024 and reports how long the event loop was kept busy: every pump
// tick (a timer event) and every other event, timed at the outermost
// dispatch. The window must stay responsive, so no tick may take long.
//   bench_pump [reference]      (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "PictureBox.h"
#include "RowCounter.h"
#include "ScriptedDialogs.h"
#include "frmQuillory.h"

namespace {

using Clock = std::chrono::steady_clock;

class TimedApplication final : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_ > 0 || !measuring) return QApplication::notify(receiver, event);
    const bool isTick = event->type() == QEvent::Timer;
    ++depth_;
    const auto started = Clock::now();
    const bool handled = QApplication::notify(receiver, event);
    const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    --depth_;
    (isTick ? ticks : others).push_back(milliseconds);
    return handled;
  }

  bool measuring = false;
  std::vector<double> ticks;
  std::vector<double> others;

 private:
  int depth_ = 0;
};

void Report(const char* what, std::vector<double> times) {
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  double total = 0;
  for (double time : times) total += time;
  std::printf("%-14s %6zu events, busy %8.1f ms, median %6.2f ms, 99th %6.2f ms, longest %6.2f ms\n", what,
              times.size(), total, times[times.size() / 2], times[times.size() * 99 / 100], times.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const bool reference = argc > 1 && std::strcmp(argv[1], "reference") == 0;
  TimedApplication application(argc, argv);
  ScriptedDialogs dialogs;
  frmQuillory window(dialogs, std::filesystem::temp_directory_path());
  ReferenceRowCounter referenceCounter;
  if (reference) window.explorer.Renderer().SetRowCounter(&referenceCounter);
  window.Load();
  window.timRenderer.Stop();
  window.showNormal();
  // The frame around the viewport is fixed, so one correction sets its size.
  const QSize wanted(1280, 1024);
  window.resize(window.size() + wanted - window.pbxOutput->size());
  application.processEvents();
  if (window.pbxOutput->size() != wanted) {
    std::fprintf(stderr, "bench_pump: the viewport is %dx%d, not 1280x1024\n", window.pbxOutput->width(),
                 window.pbxOutput->height());
    return 1;
  }

  // The resize started a fresh render of the same view; time it to the end.
  window.explorer.Renderer().WindowSet(0.0, 0.0, 4.0);
  window.explorer.Renderer().Redraw(false);
  application.measuring = true;
  const auto started = Clock::now();
  QTimer finished;
  QObject::connect(&finished, &QTimer::timeout, [&] {
    if (!window.timRenderer.IsRunning()) application.quit();
  });
  finished.start(20);
  application.exec();
  application.measuring = false;
  const double total = std::chrono::duration<double, std::milli>(Clock::now() - started).count();

  std::printf("Main window, starting view at 1280x1024, cap 256, %s engine: render %.0f ms\n",
              reference ? "reference" : "fast", total);
  Report("pump ticks", application.ticks);
  Report("other events", application.others);
  return 0;
}
