#include "BitmapWriter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <string>

#include "MemorySurface.h"

namespace {

std::string Written(const MemorySurface& picture, std::size_t failAfter = SIZE_MAX) {
  std::string bytes;
  std::size_t writes = 0;
  const bool written = WriteBitmap(picture, [&](const char* data, std::size_t size) {
    if (writes++ >= failAfter) return false;
    bytes.append(data, size);
    return true;
  });
  return written ? bytes : "failed after " + std::to_string(writes) + " writes";
}

// The same picture through Qt's own bitmap writer.
std::string WrittenByQt(const MemorySurface& picture) {
  QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const std::int32_t colour = picture.Pixel(x, y);
      image.setPixel(x, y, qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return buffer.data().toStdString();
}

TEST(BitmapWriterTest, WritesTheBytesQtWritesForEveryRowPadding) {
  // Widths 1 to 4 need 1, 2, 3 and 0 bytes of padding per row; the tall one
  // spans several writes.
  for (auto [width, height] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2}, std::pair{4, 5}, std::pair{7, 2},
                               std::pair{333, 1200}}) {
    MemorySurface picture(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) picture.FillRectangle(x, y, x, y, (x * 37 + y * 101) * 7919 & 0xFFFFFF);
    EXPECT_TRUE(Written(picture) == WrittenByQt(picture)) << width << "x" << height;
  }
}

TEST(BitmapWriterTest, StopsAtTheFirstFailedWrite) {
  MemorySurface picture(600, 2000);
  EXPECT_EQ(Written(picture, 0), "failed after 1 writes");
  EXPECT_EQ(Written(picture, 2), "failed after 3 writes");
}

}  // namespace
