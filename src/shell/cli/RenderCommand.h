#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class MemorySurface;

// Encodes a rendered picture as PNG into bytes; false, with the reason in
// error, when it could not.
using PngEncoder = bool (*)(const MemorySurface& picture, std::vector<std::uint8_t>& bytes, std::string& error);

// Returned, before anything is written or created, when the picture is to be
// a PNG and no PNG encoder was given.
inline constexpr int kRenderNeedsPngWriter = -1;

// quillory render: draws one view into a picture file without any window.
// Bitmaps need nothing beyond the engine; PNGs need Qt's image writers.
int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     PngEncoder encodePng);
int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
