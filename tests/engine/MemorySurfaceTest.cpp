#include "MemorySurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::int32_t> Colours(int count) {
  std::vector<std::int32_t> colours;
  for (int i = 0; i < count; ++i) colours.push_back((0x1F3D5B * (i + 1)) & 0xFFFFFF);
  return colours;
}

TEST(MemorySurfaceTest, BlockRowsPaintWhatOneRectanglePerBlockPaints) {
  // Rows of blocks as the renderer draws them on a 40 x 30 surface, with the
  // edges they cross.
  const struct {
    int top, bottom, step, extent, blocks;
  } rows[] = {
      {5, 5, 1, 0, 41},    // per pixel, one block past the right edge
      {2, 2, 1, 0, 10},    // fewer blocks than columns
      {0, 10, 10, 10, 5},  // blocks overlapping by one, the last one off the edge
      {27, 34, 7, 7, 6},   // through the bottom and right edges
      {3, 5, 2, 2, 21},    // a draft row
      {30, 31, 4, 4, 11},  // below the surface: nothing
      {-3, 1, 10, 10, 5},  // above it: only what is inside
  };
  for (const auto& row : rows) {
    MemorySurface spans(40, 30, 0x123456);
    MemorySurface rectangles(40, 30, 0x123456);
    // Something underneath, so that a missed pixel shows.
    spans.FillRectangle(0, 0, 39, 29, 0x654321);
    rectangles.FillRectangle(0, 0, 39, 29, 0x654321);
    spans.FillBlockRow(row.top, row.bottom, row.step, row.extent, Colours(row.blocks));
    rectangles.RenderSurface::FillBlockRow(row.top, row.bottom, row.step, row.extent, Colours(row.blocks));
    EXPECT_TRUE(spans.Pixels() == rectangles.Pixels()) << "rows " << row.top << "-" << row.bottom;
  }
  MemorySurface empty(0, 0);
  empty.FillBlockRow(0, 4, 4, 4, Colours(3));
  EXPECT_TRUE(empty.Pixels().empty());
}

TEST(MemorySurfaceTest, ClearingAfterAnyDrawingBringsBackTheBackground) {
  MemorySurface surface(12, 5, 0x0A0B0C);
  surface.Clear();
  surface.FillRectangle(2, 1, 3, 2, 0x111111);
  surface.Clear();
  EXPECT_TRUE(surface.Pixels() == std::vector<std::int32_t>(12 * 5, 0x0A0B0C));
  surface.FillBlockRow(4, 4, 1, 0, Colours(12));
  surface.Clear();
  surface.Clear();
  EXPECT_TRUE(surface.Pixels() == std::vector<std::int32_t>(12 * 5, 0x0A0B0C));
  surface.Resize(3, 2);
  surface.FillBlockRow(0, 1, 2, 2, Colours(2));
  surface.Clear();
  EXPECT_TRUE(surface.Pixels() == std::vector<std::int32_t>(3 * 2, 0x0A0B0C));
}

}  // namespace
