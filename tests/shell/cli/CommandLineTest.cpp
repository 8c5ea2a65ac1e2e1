#include <sndfile.hh>

#include <QBuffer>
#include <QImage>

#include "BitmapFileSurface.h"
#include "BitmapWriter.h"
#include "CommandTesting.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "SafeFileWriter.h"

namespace {

using CommandLineTest = CommandTest;

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
TEST_F(CommandLineTest, PicturesHoldWhatTheEngineDraws) {
  struct Case {
    const char* line;
    int width, height;
    void (*configure)(FractalRenderer&);
    bool draft;
  };
  // Rows of width 333 end in a padding byte, those of 40 in none; the tall
  // picture takes several writes; the centre alone keeps the starting width,
  // and values may be joined to their options.
  const Case cases[] = {
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

// The same drawing on both surfaces: blocks of every shape, rows that only
// partly cover the line (so the file's own pixels must be kept), rectangles
// reaching past the edges, and a clear in the middle.
template <typename Surface>
void Draw(Surface& surface, int width, int height) {
  std::vector<std::int32_t> colours;
  for (int i = 0; i <= width; ++i)
    colours.push_back(static_cast<std::int32_t>((i * 7919u + 13u) * 104729u & 0xFFFFFFu));
  surface.FillBlockRow(0, height, 4, 4, colours);
  surface.Clear();
  surface.FillBlockRow(-2, height / 2, 3, 3, colours);
  surface.FillBlockRow(height - 1, height + 3, 5, 1, colours);
  surface.FillRectangle(width / 3, -1, width + 4, height / 3, 0x123456);
  for (int y = height / 2 + 1; y < height - 1; ++y) surface.FillBlockRow(y, y, 1, 0, colours);
  const int half = height / 2;
  surface.FillBlockRow(half, half, 1, 0, std::span(colours).first(static_cast<std::size_t>(width) / 2));
}

TEST_F(CommandLineTest, AFileSurfaceHoldsTheBitmapOfTheSamePictureDrawnInMemory) {
  // Widths 1 to 4 need 3, 2, 1 and no bytes of padding per row.
  for (auto [width, height] : {std::pair{1, 1}, std::pair{2, 5}, std::pair{3, 4}, std::pair{4, 3}, std::pair{61, 40}}) {
    MemorySurface memory(width, height);
    Draw(memory, width, height);
    std::string expected;
    WriteBitmap(memory, [&](const char* data, std::size_t size) { return expected.append(data, size), true; });
    SafeFileWriter file(folder.File("surface.bmp"));
    ASSERT_TRUE(file.Open());
    BitmapFileSurface surface(width, height, file);
    ASSERT_TRUE(surface.Start());
    Draw(surface, width, height);
    ASSERT_TRUE(file.Commit(surface.FileSize())) << file.Error();
    EXPECT_TRUE(ReadBytes(folder.File("surface.bmp")) == std::vector<std::uint8_t>(expected.begin(), expected.end()))
        << width << "x" << height;
  }
}

// 40 orbit notes of a quarter second each at 120 beats per minute, written
// as the four opening events, a note on and off per note and the end; 2
// measures of melody, 17 positions of an eighth of a second, the last note
// held to the end, and over a Julia set other notes. Played, the song's
// audio lasts at least as long.
TEST_F(CommandLineTest, SongsAndTheirAudioLastAsLongAsTheirNotes) {
  ASSERT_EQ(Run("orbit --point -0.1,0.1 --notes 40 --out @orbit.mid"), 0);
  ASSERT_EQ(Run("midi-info @orbit.mid"), 0);
  EXPECT_EQ(out.str(),
            "Format: 1\nTracks: 1\nTicks per quarter note: 64\nTrack 1: 85 events \"Track 1\"\n"
            "Tempo: 120 beats per minute\nDuration: 10 seconds\n");
  ASSERT_EQ(Run("melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @melody.mid"), 0);
  ASSERT_EQ(Run("midi-info @melody.mid"), 0);
  EXPECT_TRUE(out.str().ends_with("\nDuration: 2.125 seconds\n")) << out.str();
  ASSERT_EQ(Run("melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --julia -0.4,0.6 --out @julia.mid"), 0);
  EXPECT_NE(ReadBytes(folder.File("julia.mid")), ReadBytes(folder.File("melody.mid"))) << "--julia was ignored";
  ASSERT_EQ(Run("play @melody.mid --out @played.wav"), 0) << err.str();
  EXPECT_EQ(err.str(), "") << "no progress line when the output is no terminal";
  const SndfileHandle played(folder.File("played.wav"));
  EXPECT_EQ(played.format() & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
  EXPECT_GE(static_cast<double>(played.frames()) / played.samplerate(), 2.125);
}

}  // namespace
