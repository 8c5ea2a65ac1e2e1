#include "PictureView.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>

#include "SafeFileWriter.h"

namespace {

const QString kCenterX = QStringLiteral("Quillory.CenterX");
const QString kCenterY = QStringLiteral("Quillory.CenterY");
const QString kWidth = QStringLiteral("Quillory.WindowWidth");
const QString kMaxIterations = QStringLiteral("Quillory.MaxIterations");
const QString kFractalType = QStringLiteral("Quillory.FractalType");
const QString kJuliaReal = QStringLiteral("Quillory.JuliaReal");
const QString kJuliaImaginary = QStringLiteral("Quillory.JuliaImaginary");

// The shortest text that reads back as the same double, so a view survives
// the file to the bit.
QString ExactText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return QString::fromLatin1(buffer.data(), static_cast<int>(result.ptr - buffer.data()));
}

template <typename Number>
std::optional<Number> ParseText(const QString& text) {
  const QByteArray bytes = text.trimmed().toLatin1();
  Number value{};
  const auto result = std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
  if (bytes.isEmpty() || result.ec != std::errc{} || result.ptr != bytes.constData() + bytes.size())
    return std::nullopt;
  return value;
}

std::optional<double> FiniteNumber(const QImageReader& reader, const QString& key) {
  const auto value = ParseText<double>(reader.text(key));
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

}  // namespace

bool PictureView::IsPngName(const std::string& path) {
  return QString::fromStdString(path).endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

std::optional<std::string> PictureView::SavePng(const QImage& picture, const std::string& path,
                                                const ViewState* view) {
  // Encoded in memory, then saved as every picture is: the old file is
  // replaced only by the complete new one.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "PNG");
  writer.setText(QStringLiteral("Software"), QStringLiteral("Quillory"));
  if (view) {
    writer.setText(kCenterX, ExactText(view->centerX));
    writer.setText(kCenterY, ExactText(view->centerY));
    writer.setText(kWidth, ExactText(view->windowWidth));
    writer.setText(kMaxIterations, QString::number(view->maxIterations));
    writer.setText(kFractalType, QString::number(view->fractalType));
    writer.setText(kJuliaReal, ExactText(view->juliaReal));
    writer.setText(kJuliaImaginary, ExactText(view->juliaImaginary));
  }
  if (!writer.write(picture)) return writer.errorString().toStdString();
  return SaveFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())));
}

std::optional<ViewState> PictureView::Read(const QString& path) {
  QImageReader reader(path);
  if (!reader.canRead()) return std::nullopt;
  const auto centerX = FiniteNumber(reader, kCenterX);
  const auto centerY = FiniteNumber(reader, kCenterY);
  const auto width = FiniteNumber(reader, kWidth);
  const auto juliaReal = FiniteNumber(reader, kJuliaReal);
  const auto juliaImaginary = FiniteNumber(reader, kJuliaImaginary);
  const auto maxIterations = ParseText<std::int32_t>(reader.text(kMaxIterations));
  const auto fractalType = ParseText<std::int16_t>(reader.text(kFractalType));
  // The renderer takes the numbers unchecked; a damaged view is no view.
  if (!centerX || !centerY || !width || *width <= 0 || !juliaReal || !juliaImaginary || !maxIterations ||
      *maxIterations < 0 || !fractalType || (*fractalType != 0 && *fractalType != 1))
    return std::nullopt;
  ViewState view;
  view.centerX = *centerX;
  view.centerY = *centerY;
  view.windowWidth = *width;
  view.maxIterations = *maxIterations;
  view.fractalType = *fractalType;
  view.juliaReal = *juliaReal;
  view.juliaImaginary = *juliaImaginary;
  return view;
}
