#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "RenderSurface.h"

class SafeFileWriter;

// A black picture that lives in the bitmap file being saved rather than in
// memory: every row drawn goes straight to its place in the file, from
// whichever thread draws it. The largest picture then needs no memory of its
// size, and its bytes are already on their way to the disk while the rest is
// still being counted. Write failures are kept by the file, which reports
// them at its Commit().
class BitmapFileSurface final : public RenderSurface {
 public:
  BitmapFileSurface(int width, int height, SafeFileWriter& file);

  // Sizes the file for the whole picture and writes its header; false when
  // the file would not take it.
  bool Start();
  // The size the finished file must have.
  std::uint64_t FileSize() const;

  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }
  void Clear() override;
  void FillRectangle(int x1, int y1, int x2, int y2, std::int32_t colour) override;
  void FillBlockRow(int top, int bottom, int step, int extent, std::span<const std::int32_t> colours) override;
  bool FillsRowsFromAnyThread() const override { return true; }

 private:
  // One pixel as the file stores it.
  struct FilePixel {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
  };
  static FilePixel ToFilePixel(std::int32_t colour);

  bool ReadLine(int y, std::span<FilePixel> line) const;
  void WriteLines(int first, int last, std::span<const FilePixel> line) const;
  void NoteFinishedRow();

  int width_;
  int height_;
  SafeFileWriter& file_;
  // Rows are drawn from several threads at once.
  std::atomic<bool> blank_{true};
  std::atomic<int> finishedRows_{0};
  int rowsPerWriteBack_ = 1;
};
