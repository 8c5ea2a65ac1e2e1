#pragma once

#include <QImage>
#include <filesystem>
#include <optional>
#include <string>

// Pictures as files. Both save safely: the old file is replaced only by the
// complete new picture (see SafeFileWriter).

// The bytes of the image in a Qt format ("BMP", "PNG"); empty, with the
// reason in error, when it cannot be encoded.
QByteArray EncodeImage(const QImage& image, const char* format, std::string& error);

// The error description on failure.
std::optional<std::string> SaveImageSafely(const QImage& image, const std::filesystem::path& path, const char* format);
