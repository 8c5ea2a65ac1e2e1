#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class MemorySurface;
class QIODevice;

// Writes a rendered picture as PNG; false when the writing failed.
using PngWriter = bool (*)(const MemorySurface& picture, QIODevice& file);

// Returned, before anything is written or created, when the picture is to be
// a PNG and no PNG writer was given.
inline constexpr int kRenderNeedsPngWriter = -1;

// quillory render: draws one view into a picture file without any window.
// Bitmaps need nothing beyond the engine; PNGs need Qt's image writers.
int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     PngWriter writePng);
int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
