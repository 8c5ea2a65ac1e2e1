#include "ImageFile.h"

#include <QBuffer>
#include <QImageWriter>
#include <span>

#include "SafeFileWriter.h"

QByteArray EncodeImage(const QImage& image, const char* format, std::string& error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) {
    error = writer.errorString().toStdString();
    return {};
  }
  return bytes;
}

std::optional<std::string> SaveImageSafely(const QImage& image, const std::filesystem::path& path,
                                           const char* format) {
  std::string error;
  const QByteArray bytes = EncodeImage(image, format, error);
  if (bytes.isEmpty()) return error;
  return SaveFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())));
}
