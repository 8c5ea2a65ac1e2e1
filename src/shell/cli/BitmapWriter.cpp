#include "BitmapWriter.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "MemorySurface.h"

namespace {

constexpr std::size_t kHeaderSize = 14 + 40;
// 100 dots per inch, as Qt marks the bitmaps it writes.
constexpr std::uint32_t kPixelsPerMetre = 3937;
constexpr std::size_t kBytesPerWrite = std::size_t{1} << 20;

void PutLittleEndian(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string BitmapHeader(int width, int height) {
  const std::size_t rowBytes = BitmapRowBytes(width);
  const auto imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
  std::string header = "BM";
  PutLittleEndian(header, static_cast<std::uint32_t>(kHeaderSize) + imageSize, 4);
  PutLittleEndian(header, 0, 4);
  PutLittleEndian(header, kHeaderSize, 4);
  PutLittleEndian(header, 40, 4);
  PutLittleEndian(header, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(header, static_cast<std::uint32_t>(height), 4);
  PutLittleEndian(header, 1, 2);   // planes
  PutLittleEndian(header, 24, 2);  // bits per pixel
  PutLittleEndian(header, 0, 4);   // uncompressed
  PutLittleEndian(header, imageSize, 4);
  PutLittleEndian(header, kPixelsPerMetre, 4);
  PutLittleEndian(header, kPixelsPerMetre, 4);
  PutLittleEndian(header, 0, 4);
  PutLittleEndian(header, 0, 4);
  return header;
}

std::size_t BitmapRowBytes(int width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

std::uint64_t BitmapRowOffset(int width, int height, int y) {
  // Bitmaps list their rows from the bottom up.
  return kHeaderSize + static_cast<std::uint64_t>(BitmapRowBytes(width)) * static_cast<std::uint64_t>(height - 1 - y);
}

bool WriteBitmap(const MemorySurface& picture, const std::function<bool(const char* data, std::size_t size)>& write) {
  const int width = picture.Width();
  const int height = picture.Height();
  const std::size_t rowBytes = BitmapRowBytes(width);
  const std::string header = BitmapHeader(width, height);
  if (!write(header.data(), header.size())) return false;

  const std::size_t rowsPerWrite = std::max<std::size_t>(1, kBytesPerWrite / std::max<std::size_t>(rowBytes, 1));
  std::string buffer(rowsPerWrite * rowBytes, '\0');
  std::size_t used = 0;
  for (int y = height - 1; y >= 0; --y) {
    char* out = buffer.data() + used;
    for (const std::int32_t colour : picture.Line(y)) {
      *out++ = static_cast<char>((colour >> 16) & 0xFF);
      *out++ = static_cast<char>((colour >> 8) & 0xFF);
      *out++ = static_cast<char>(colour & 0xFF);
    }
    used += rowBytes;  // the padding stays zero
    if (used == buffer.size() || y == 0) {
      if (!write(buffer.data(), used)) return false;
      used = 0;
    }
  }
  return true;
}
