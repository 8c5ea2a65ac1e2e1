#include "MemorySurface.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

std::vector<std::int32_t> Colours(int count) {
  std::vector<std::int32_t> colours;
  for (int i = 1; i <= count; ++i) colours.push_back((0x1F3D5B * i) & 0xFFFFFF);
  return colours;
}

TEST(MemorySurfaceTest, BlockRowsPaintWhatOneRectanglePerBlockPaintsAndClearingBringsBackTheBackground) {
  // Rows of blocks as the renderer draws them on a 40 x 30 surface: per pixel
  // with one block past the right edge, fewer blocks than columns, blocks
  // overlapping by one with the last off the edge, through the bottom and
  // right edges, a draft row, below the surface and above it.
  const std::array<int, 5> rows[] = {{5, 5, 1, 0, 41},   {2, 2, 1, 0, 10},  {0, 10, 10, 10, 5},
                                     {27, 34, 7, 7, 6},  {3, 5, 2, 2, 21},  {30, 31, 4, 4, 11},
                                     {-3, 1, 10, 10, 5}};
  const std::vector<std::int32_t> background(40 * 30, 0x123456);
  for (const auto& [top, bottom, step, extent, blocks] : rows) {
    MemorySurface spans(40, 30, 0x123456), rectangles(40, 30, 0x123456);
    // Something underneath, so that a missed pixel shows.
    spans.FillRectangle(0, 0, 39, 29, 0x654321);
    rectangles.FillRectangle(0, 0, 39, 29, 0x654321);
    spans.FillBlockRow(top, bottom, step, extent, Colours(blocks));
    rectangles.RenderSurface::FillBlockRow(top, bottom, step, extent, Colours(blocks));
    EXPECT_TRUE(spans.Pixels() == rectangles.Pixels()) << "rows " << top << "-" << bottom;
    // A row painted on a cleared surface must not let the next Clear skip.
    spans.Clear();
    spans.FillBlockRow(top, bottom, step, extent, Colours(blocks));
    spans.Clear();
    rectangles.Clear();
    EXPECT_TRUE(spans.Pixels() == background && rectangles.Pixels() == background);
  }
  // A window resized before anything was painted on it.
  MemorySurface resized(4, 3, 0x123456);
  resized.Resize(6, 5);
  EXPECT_TRUE(resized.Pixels() == std::vector<std::int32_t>(30, 0x123456));
}

}  // namespace
