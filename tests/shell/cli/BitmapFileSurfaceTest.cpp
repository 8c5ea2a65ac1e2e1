#include "BitmapFileSurface.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "BitmapWriter.h"
#include "MemorySurface.h"
#include "SafeFileWriter.h"

namespace {

namespace fs = std::filesystem;

// The same drawing on both surfaces: blocks of every shape, rows that only
// partly cover the line (so the file's own pixels must be kept), rectangles
// reaching past the edges, and a clear in the middle.
template <typename Surface>
void Draw(Surface& surface, int width, int height) {
  std::vector<std::int32_t> colours;
  for (int i = 0; i <= width; ++i) colours.push_back(static_cast<std::int32_t>((i * 7919u + 13u) * 104729u & 0xFFFFFFu));
  surface.FillBlockRow(0, height, 4, 4, colours);
  surface.Clear();
  surface.FillBlockRow(-2, height / 2, 3, 3, colours);
  surface.FillBlockRow(height - 1, height + 3, 5, 1, colours);
  surface.FillRectangle(width / 3, -1, width + 4, height / 3, 0x123456);
  for (int y = height / 2 + 1; y < height - 1; ++y) surface.FillBlockRow(y, y, 1, 0, colours);
  const int half = height / 2;
  surface.FillBlockRow(half, half, 1, 0, std::span(colours).first(static_cast<std::size_t>(width) / 2));
}

TEST(BitmapFileSurfaceTest, TheFileHoldsTheBitmapOfTheSamePictureDrawnInMemory) {
  const fs::path path = fs::temp_directory_path() / ("quillory-surface-" + std::to_string(getpid()) + ".bmp");
  // Widths 1 to 4 need 3, 2, 1 and no bytes of padding per row.
  for (auto [width, height] : {std::pair{1, 1}, std::pair{2, 5}, std::pair{3, 4}, std::pair{4, 3}, std::pair{61, 40}}) {
    MemorySurface memory(width, height);
    Draw(memory, width, height);
    std::string expected;
    WriteBitmap(memory, [&](const char* data, std::size_t size) { return expected.append(data, size), true; });

    SafeFileWriter file(path);
    ASSERT_TRUE(file.Open());
    BitmapFileSurface surface(width, height, file);
    ASSERT_TRUE(surface.Start());
    Draw(surface, width, height);
    ASSERT_TRUE(file.Commit(surface.FileSize())) << file.Error();
    std::ifstream saved(path, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(saved), {}) == expected) << width << "x" << height;
  }
  fs::remove(path);
}

}  // namespace
