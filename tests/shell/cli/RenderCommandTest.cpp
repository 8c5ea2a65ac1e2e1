#include <QBuffer>
#include <QImage>

#include "CommandTesting.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"

namespace {

using RenderCommandTest = CommandTest;

// The same view drawn straight through the engine, as a picture Qt can write.
QImage Expected(int width, int height, void (*configure)(FractalRenderer&), bool draft) {
  MemorySurface surface(width, height);
  FractalRenderer renderer;
  renderer.Initialize(surface);
  if (configure) configure(renderer);
  renderer.Redraw(draft);
  while (renderer.RendererCallback()) {
  }
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::int32_t colour = surface.Pixel(x, y);
      image.setPixel(x, y, qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
  return image;
}

void Julia(FractalRenderer& renderer) {
  renderer.SetMaxIterations(500);
  renderer.WindowSet(0.1, -0.2, 2.5);
  renderer.SetFractal(1);
  renderer.SetJuliaPoint(-0.8, 0.156);
}

// A bitmap holds the bytes Qt's own writer gives the engine's picture; a
// PNG reads back as that picture.
TEST_F(RenderCommandTest, PicturesHoldWhatTheEngineDraws) {
  struct Case {
    const char* line;
    int width, height;
    void (*configure)(FractalRenderer&);
    bool draft;
  };
  // Rows of widths 1 to 3 end in 3, 2 and 1 padding bytes, those of 40 in
  // none; the tall picture takes several writes; the centre alone keeps the
  // starting width, and values may be joined to their options.
  const Case cases[] = {
      {"render --size 1x1 --out @a.bmp", 1, 1, nullptr, false},
      {"render --size 2x3 --out @a.bmp", 2, 3, nullptr, false},
      {"render --size 3x2 --out @a.bmp", 3, 2, nullptr, false},
      {"render --size 333x1200 --out @a.BMP", 333, 1200, nullptr, false},
      {"render --size=40x30 --center=-1,0 --engine=reference --out @a.bmp", 40, 30,
       [](FractalRenderer& renderer) { renderer.WindowSet(-1, 0, 4); }, false},
      {"render --size 90x60 --julia -0.8,0.156 --center 0.1,-0.2 --view-width 2.5 --max-iter 500 --draft --out @a.png",
       90, 60, Julia, true}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    ASSERT_EQ(Run(test.line), 0) << err.str();
    const QImage expected = Expected(test.width, test.height, test.configure, test.draft);
    const QString written = QString::fromStdString(Words(test.line, folder.Path()).back());
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    expected.save(&buffer, "BMP");
    if (written.endsWith(".png"))
      EXPECT_TRUE(QImage(written).convertToFormat(QImage::Format_RGB32) == expected);
    else
      EXPECT_TRUE(ReadBytes(written.toStdString()) == std::vector<std::uint8_t>(bitmap.begin(), bitmap.end()));
  }
  EXPECT_FALSE(Expected(90, 60, Julia, true) == Expected(90, 60, Julia, false)) << "--draft would go unchecked";
}

}  // namespace
