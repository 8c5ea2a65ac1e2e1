// Prints how many escape iterations a full render of one view performs (the
// sum of the counts of every block of every pass), so that a timing of
// `quillory render` can be turned into iterations per second.
//   render_work WIDTH HEIGHT CENTRE_X CENTRE_Y VIEW_WIDTH MAX_ITERATIONS
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "FastRowCounter.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"

namespace {

class SummingCounter final : public RowCounter {
 public:
  void CountRow(const EscapeParameters& parameters, std::span<const double> reals, double imaginary,
                std::span<std::int32_t> counts) override {
    fast_.CountRow(parameters, reals, imaginary, counts);
    for (std::int32_t count : counts) total += count;
  }
  std::int64_t total = 0;

 private:
  FastRowCounter fast_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::cerr << "usage: render_work WIDTH HEIGHT CENTRE_X CENTRE_Y VIEW_WIDTH MAX_ITERATIONS\n";
    return 2;
  }
  try {
    const int width = std::stoi(argv[1]);
    const int height = std::stoi(argv[2]);
    const std::int32_t cap = std::stoi(argv[6]);
    if (width < 1 || height < 1 || width > 32767 || height > 32767) throw std::out_of_range("size");
    MemorySurface surface(width, height);
    SummingCounter counter;
    FractalRenderer renderer;
    renderer.SetRowCounter(&counter);
    renderer.Initialize(surface);
    renderer.SetMaxIterations(cap);
    renderer.WindowSet(std::stod(argv[3]), std::stod(argv[4]), std::stod(argv[5]));
    renderer.Redraw(false);
    while (renderer.RendererCallback()) {
    }
    std::cout << counter.total << "\n";
  } catch (const std::exception&) {
    std::cerr << "render_work: the arguments must be numbers, the sizes from 1 to 32767\n";
    return 2;
  }
  return 0;
}
