#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class MemorySurface;

// Writes a picture as a 24-bit uncompressed bitmap file (rows bottom-up,
// blue-green-red, each padded to four bytes), the same bytes Qt's bitmap
// writer produces, a few rows at a time through `write`, so that even the
// largest picture needs no full-size copy. Stops and returns false as soon
// as `write` does.
bool WriteBitmap(const MemorySurface& picture, const std::function<bool(const char* data, std::size_t size)>& write);

// The layout WriteBitmap follows, for writers that place the rows themselves:
// the header, the bytes of one padded row, and where the row with `y` rows
// above it starts in the file.
std::string BitmapHeader(int width, int height);
std::size_t BitmapRowBytes(int width);
std::uint64_t BitmapRowOffset(int width, int height, int y);
