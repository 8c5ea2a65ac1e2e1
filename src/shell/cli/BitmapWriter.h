#pragma once

#include <cstddef>
#include <functional>

class MemorySurface;

// Writes a picture as a 24-bit uncompressed bitmap file (rows bottom-up,
// blue-green-red, each padded to four bytes), the same bytes Qt's bitmap
// writer produces, a few rows at a time through `write`, so that even the
// largest picture needs no full-size copy. Stops and returns false as soon
// as `write` does.
bool WriteBitmap(const MemorySurface& picture, const std::function<bool(const char* data, std::size_t size)>& write);
