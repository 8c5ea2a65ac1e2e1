#include "BitmapFileSurface.h"

#include <algorithm>
#include <vector>

#include "BitmapWriter.h"
#include "BlockLine.h"
#include "SafeFileWriter.h"

namespace {

// The disk is asked to start on the picture about once per megabyte drawn.
constexpr std::size_t kBytesPerWriteBack = std::size_t{1} << 20;
// Rows finish out of order across the threads; the few most recent may still
// have neighbours being drawn, so they wait for the next request.
constexpr int kRowsStillDrawn = 8;

}  // namespace

BitmapFileSurface::BitmapFileSurface(int width, int height, SafeFileWriter& file)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      file_(file),
      rowsPerWriteBack_(static_cast<int>(std::max<std::size_t>(1, kBytesPerWriteBack / std::max<std::size_t>(BitmapRowBytes(width_), 1)))) {}

BitmapFileSurface::FilePixel BitmapFileSurface::ToFilePixel(std::int32_t colour) {
  return {static_cast<std::uint8_t>((colour >> 16) & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
          static_cast<std::uint8_t>(colour & 0xFF)};
}

std::uint64_t BitmapFileSurface::FileSize() const { return BitmapRowOffset(width_, height_, -1); }

bool BitmapFileSurface::Start() {
  const std::string header = BitmapHeader(width_, height_);
  blank_ = true;
  return file_.Resize(FileSize()) &&
         file_.WriteAt(0, {reinterpret_cast<const std::uint8_t*>(header.data()), header.size()});
}

void BitmapFileSurface::Clear() {
  if (blank_) return;
  // Cutting the rows off and growing them back leaves zeros: black pixels
  // and zero padding.
  const std::uint64_t headerSize = BitmapRowOffset(width_, height_, height_ - 1);
  if (file_.Resize(headerSize) && file_.Resize(FileSize())) blank_ = true;
}

bool BitmapFileSurface::ReadLine(int y, std::span<FilePixel> line) const {
  return file_.ReadAt(BitmapRowOffset(width_, height_, y),
                      {reinterpret_cast<std::uint8_t*>(line.data()), line.size() * sizeof(FilePixel)});
}

void BitmapFileSurface::WriteLines(int first, int last, std::span<const FilePixel> line) const {
  // The padding is written too, so the rows lie in one stretch of the file.
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(line.data()),
                                            BitmapRowBytes(width_));
  for (int y = first; y <= last; ++y)
    if (!file_.WriteAt(BitmapRowOffset(width_, height_, y), bytes)) return;
}

void BitmapFileSurface::FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) {
  const int left = std::max(std::min(x1, x2), 0);
  const int right = std::min(std::max(x1, x2), width_ - 1);
  const int top = std::max(std::min(y1, y2), 0);
  const int bottom = std::min(std::max(y1, y2), height_ - 1);
  if (left > right || top > bottom) return;
  blank_ = false;
  // One spare pixel holds the row's padding.
  std::vector<FilePixel> line(static_cast<std::size_t>(width_) + 1, FilePixel{0, 0, 0});
  for (int y = top; y <= bottom; ++y) {
    if (!ReadLine(y, std::span(line).first(static_cast<std::size_t>(width_)))) return;
    std::fill(line.begin() + left, line.begin() + right + 1, ToFilePixel(colour));
    WriteLines(y, y, line);
  }
}

void BitmapFileSurface::FillBlockRow(int top, int bottom, int step, int extent,
                                     std::span<const std::int32_t> colours) {
  const int first = std::max(top, 0);
  const int last = std::min(bottom, height_ - 1);
  if (first > last || width_ == 0) return;
  blank_ = false;
  std::vector<FilePixel> line(static_cast<std::size_t>(width_) + 1, FilePixel{0, 0, 0});
  const std::span<FilePixel> pixels = std::span(line).first(static_cast<std::size_t>(width_));
  // Blocks that leave columns uncovered keep what the file holds there.
  const bool coversLine = !colours.empty() && extent + 1 >= step &&
                          static_cast<std::int64_t>(colours.size() - 1) * step + extent >= width_ - 1;
  if (!coversLine && !ReadLine(first, pixels)) return;
  std::vector<FilePixel> blocks(colours.size());
  std::transform(colours.begin(), colours.end(), blocks.begin(), ToFilePixel);
  ComposeBlockLine<FilePixel>(pixels, step, extent, blocks);
  WriteLines(first, last, line);
  if (step == 1 && extent == 0 && first == last) NoteFinishedRow();
}

// Rows of single pixels are final, whichever pass or thread drew them.
void BitmapFileSurface::NoteFinishedRow() {
  const int finished = finishedRows_.fetch_add(1, std::memory_order_relaxed) + 1;
  if (finished % rowsPerWriteBack_ != 0 || finished <= kRowsStillDrawn) return;
  // Rows are drawn from the top; the top rows lie at the end of the file.
  const int upTo = std::min(finished - kRowsStillDrawn, height_);
  const int from = std::max(upTo - rowsPerWriteBack_, 0);
  const std::uint64_t start = BitmapRowOffset(width_, height_, upTo - 1);
  const std::uint64_t end = BitmapRowOffset(width_, height_, from - 1);
  file_.StartWriteBack(start, end - start);
}
