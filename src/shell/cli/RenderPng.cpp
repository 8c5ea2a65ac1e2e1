#include <QImage>
#include <QIODevice>
#include <ostream>

#include "MemorySurface.h"
#include "RenderCommand.h"

namespace {

bool WritePng(const MemorySurface& surface, QIODevice& file) {
  // Packed colours lie in memory as red, green, blue and an unused byte.
  const QImage view(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.Width(), surface.Height(),
                    static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGBX8888);
  return view.save(&file, "PNG");
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  return RunRenderCommand(arguments, out, err, WritePng);
}
