// Escape iterations per second of the kernel on each instruction set, of the
// reference loop, and of whole renders with either engine.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "EscapeKernel.h"
#include "FastRowCounter.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RowCounter.h"

namespace {

struct BenchView {
  const char* name;
  int width, height;
  double centreX, centreY, viewWidth;
  std::int32_t cap;
};

// The script's views at a quarter of their sizes, so the reference finishes
// in reasonable time; rows are taken at the full size.
constexpr BenchView kViews[] = {
    {"start", 480, 270, 0.0, 0.0, 4.0, 256},
    {"seahorse", 240, 135, -0.7436438870371587, 0.1318259042053119, 1e-9, 4096},
    {"inside", 160, 90, -0.1, 0.0, 0.5, 16384},
};

// The middle row of each view at its script size: for the starting view the
// cardioid, the bulbs and quick escapes side by side.
struct MiddleRow {
  EscapeParameters parameters;
  std::vector<double> reals;
  double imaginary = 0.0;
};

MiddleRow MiddleRowOf(const BenchView& view, int scale) {
  const int width = view.width * scale;
  const int height = view.height * scale;
  const double pixelSize = view.viewWidth / width;
  MiddleRow row{{false, {}, view.cap}, {}, view.centreY - pixelSize * height / 2 + (height / 2) * pixelSize};
  for (int x = 0; x <= width; ++x) row.reals.push_back(view.centreX - view.viewWidth / 2 + x * pixelSize);
  return row;
}

std::int64_t Sum(const std::vector<std::int32_t>& counts) {
  return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

void KernelRow(benchmark::State& state, BenchView view, std::int64_t target) {
  ForceEscapeKernelTarget(target);
  const MiddleRow row = MiddleRowOf(view, 4);
  std::vector<std::int32_t> counts(row.reals.size());
  for (auto _ : state) {
    std::atomic<std::size_t> cursor{0};
    CountEscapes({row.parameters, row.reals, row.imaginary, counts}, cursor);
    benchmark::DoNotOptimize(counts.data());
  }
  state.SetItemsProcessed(state.iterations() * Sum(counts));
  ForceEscapeKernelTarget(0);
}

void ReferenceRow(benchmark::State& state, BenchView view) {
  const MiddleRow row = MiddleRowOf(view, 4);
  ReferenceRowCounter counter;
  std::vector<std::int32_t> counts(row.reals.size());
  for (auto _ : state) {
    counter.CountRow(row.parameters, row.reals, row.imaginary, counts);
    benchmark::DoNotOptimize(counts.data());
  }
  state.SetItemsProcessed(state.iterations() * Sum(counts));
}

// Passes every row on and adds up its counts: the iterations a render costs.
class SummingCounter final : public RowCounter {
 public:
  explicit SummingCounter(RowCounter& inner) : inner_(inner) {}
  void CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                std::span<std::int32_t> counts) override {
    inner_.CountRow(parameters, reals, imaginary, counts);
    for (std::int32_t count : counts) total += count;
  }
  std::int64_t total = 0;

 private:
  RowCounter& inner_;
};

// The iterations of one full render of the view, learnt through a summing
// counter before the timed renders.
std::int64_t RenderIterations(const BenchView& view) {
  MemorySurface surface(view.width, view.height);
  FastRowCounter fastCounter;
  SummingCounter counter(fastCounter);
  FractalRenderer renderer;
  renderer.SetRowCounter(&counter);
  renderer.Initialize(surface);
  renderer.SetMaxIterations(view.cap);
  renderer.WindowSet(view.centreX, view.centreY, view.viewWidth);
  renderer.Redraw(false);
  while (renderer.RendererCallback()) {
  }
  return counter.total;
}

// The fast engine is the renderer's own default path, which counts rows
// ahead on every core; the reference is the plain loop, row by row.
void FullRender(benchmark::State& state, BenchView view, bool reference) {
  MemorySurface surface(view.width, view.height);
  ReferenceRowCounter referenceCounter;
  FractalRenderer renderer;
  if (reference) renderer.SetRowCounter(&referenceCounter);
  renderer.Initialize(surface);
  renderer.SetMaxIterations(view.cap);
  renderer.WindowSet(view.centreX, view.centreY, view.viewWidth);
  for (auto _ : state) {
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
  }
  state.SetItemsProcessed(state.iterations() * RenderIterations(view));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (const BenchView& view : kViews) {
    const std::string name = std::string("/") + view.name;
    for (std::int64_t target : EscapeKernelTargets())
      benchmark::RegisterBenchmark(("KernelRow" + name + "/" + EscapeKernelTargetName(target)).c_str(), KernelRow,
                                   view, target);
    benchmark::RegisterBenchmark(("ReferenceRow" + name).c_str(), ReferenceRow, view);
  }
  for (const BenchView& view : kViews) {
    const std::string size = std::to_string(view.width) + "x" + std::to_string(view.height);
    for (bool reference : {true, false})
      benchmark::RegisterBenchmark(
          ("FullRender/" + std::string(view.name) + "/" + size + (reference ? "/reference" : "/fast")).c_str(),
          FullRender, view, reference)
          ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
