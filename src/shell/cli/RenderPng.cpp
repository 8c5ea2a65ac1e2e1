#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "MemorySurface.h"
#include "RenderCommand.h"

namespace {

bool EncodePng(const MemorySurface& surface, std::vector<std::uint8_t>& bytes, std::string& error) {
  // Packed colours lie in memory as red, green, blue and an unused byte.
  const QImage view(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.Width(), surface.Height(),
                    static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGBX8888);
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "PNG");
  if (!writer.write(view)) {
    error = writer.errorString().toStdString();
    return false;
  }
  bytes.assign(encoded.constBegin(), encoded.constEnd());
  return true;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  return RunRenderCommand(arguments, out, err, EncodePng);
}
