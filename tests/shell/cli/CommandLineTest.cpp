#include <gtest/gtest.h>
#include <sndfile.hh>

#include <QBuffer>
#include <QImage>
#include <map>
#include <sstream>
#include <thread>

#include "BitmapFileSurface.h"
#include "BitmapWriter.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "QuilloryProcess.h"
#include "SafeFileWriter.h"
#include "SmallDisk.h"
#include "SongBytes.h"

namespace {

namespace fs = std::filesystem;

// Not a resource limit: the disk is filled to leave that many bytes free.
constexpr int kFullDisk = -2;

// "@name" in a command line or a message names a file in `folder`.
std::string Expand(std::string text, const fs::path& folder) {
  if (const auto at = text.find('@'); at != std::string::npos) text.replace(at, 1, folder.string() + "/");
  return text;
}

// A command line as a user types it, split at spaces.
std::vector<std::string> Words(const std::string& line, const fs::path& folder) {
  std::vector<std::string> words;
  std::istringstream stream(line);
  for (std::string word; stream >> word;) words.push_back(Expand(word, folder));
  return words;
}

// Every entry of a folder with its bytes (a folder as "/"), to see that
// nothing changed.
std::map<std::string, std::vector<std::uint8_t>> Contents(const fs::path& folder) {
  std::map<std::string, std::vector<std::uint8_t>> contents;
  for (const auto& entry : fs::directory_iterator(folder))
    contents[entry.path().filename().string()] =
        entry.is_regular_file() ? ReadBytes(entry.path()) : std::vector<std::uint8_t>{'/'};
  return contents;
}

// The commands through the executables the user runs, copied to a program
// folder of their own (where track files go): the launcher renders bitmaps
// and hands everything else to the desktop program beside it. The files the
// failure table writes go to a small disk where one can be mounted.
class CommandLineTest : public testing::Test {
 protected:
  CommandLineTest() {
    fs::create_directories(program);
    fs::copy_file(QUILLORY_EXECUTABLE, program / "quillory");
    fs::copy_file(QUILLORY_DESKTOP, program / "quillory-desktop");
    for (const char* name : {"folder.bmp", "folder.mid"}) fs::create_directories(output / name);
    WriteBytes(output / "old.bmp", smf::Ascii("an older picture"));
    WriteBytes(output / "old.mid", smf::Ascii("an older song"));
  }
  long InProgramFolder() const { return std::distance(fs::directory_iterator(program), {}); }
  QuilloryProcess::Ended Run(const std::vector<std::string>& arguments, int resource = -1, rlim_t limit = 0) {
    quillory.Start(arguments, resource, limit);
    return quillory.Wait();
  }

  TemporaryFolder root;
  const SmallDisk disk{1024};
  const fs::path program = root.Path() / "program";
  const fs::path output = (disk.Mounted() ? disk.Path() : root.Path()) / "out";
  QuilloryProcess quillory{program / "quillory"};
};

// One rule for every command: 0 for work done, 2 for arguments it cannot
// take, 1 for a read or a write that failed. A failure is one line on stderr
// naming the command and the real cause, and every file as it was. A file
// size limit fails a save as a full disk does, where no small disk can be
// mounted. One row for each refusal a command words differently.
TEST_F(CommandLineTest, EveryCommandFollowsTheExitCodeRule) {
  struct Case {
    const char* line;
    int exitCode;
    const char* mentions;
    int resource = -1;
    rlim_t limit = 0;
  };
  const Case cases[] = {
      // The largest values each command takes are work, not errors; songs
      // named as audio are written as audio, without a progress line.
      {"render --size 8x8 --center +1e308,-1e308 --view-width 1e308 --max-iter +2147483647 --out @a.bmp", 0, ""},
      {"render --size 32767x1 --out @a.bmp", 0, ""},
      {"render --size 1x32767 --out @a.bmp", 0, ""},
      {"orbit --point 0.3,0.5 --notes 2147483647 --out @a.mid", 0, ""},
      {"melody --from 2,2 --to 3,3 --max-iter 2147483647 --measures 1 --out @a.FLAC", 0, ""},
      {"render --size 0x10 --out @a.bmp", 2, "--size must be WxH with both sides from 1 to 32767, not '0x10'"},
      {"render --out @a.bmp", 2, "--size WxH is required"},
      {"render --size 8x8 --center nan,0 --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --view-width 0 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --max-iter 2147483648 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --engine turbo --out @a.bmp", 2, "--engine"},
      {"render --size 8x8 --draft=yes --out @a.bmp", 2, "unknown option: yes"},
      {"render --size 8x8 --out=@odd=name.gif", 2, "/odd=name.gif'"},
      {"render --size 8x8 --out", 2, "--out needs a value"},
      {"orbit --point 1e308,0 --out @a.mid", 2, "--point"},
      {"orbit --point 0,0 --notes many --out @a.mid", 2, "--notes"},
      {"orbit --point 0,0", 2, "--out"},
      {"melody --from 0,0 --out @a.mid", 2, "--to"},
      {"melody --from inf,0 --to 1,1 --out @a.mid", 2, "--from"},
      {"melody --from 0,0 --to 1,1 --measures 2.5 --out @a.mid", 2, "--measures"},
      {"melody --from 0,0 --to 1,1 --tempo nan --out @a.mid", 2, "--tempo"},
      {"melody --from 0,0 --to 1,1 --scale Dorian --out @a.mid", 2, "--scale"},
      {"melody --from 0,0 --to 1,1 --instrument 128 --out @a.mid", 2, "--instrument"},
      {"melody --from 0,0 --to 1,1 --max-iter 2147483648 --out @a.mid", 2, "--max-iter"},
      {"midi-info", 2, "give exactly one MIDI file"},
      {"midi-info @missing.mid", 1, "'@missing.mid' doesn't exist."},
      {"midi-info @old.mid", 1, "Cannot recognize the file format of '@old.mid'."},
      {"play", 2, "give one MIDI file first"},
      {"play @old.mid --out @a.mp3", 2, "must name a .wav, .flac or .ogg"},
      {"play @missing.mid --out @a.wav", 1, "cannot be opened"},
      {"play @old.mid --out @a.wav", 1, "is not a Standard MIDI File"},
      {"render --size 8x8 --out @folder.bmp", 1, "cannot write '@folder.bmp': Is a directory"},
      {"render --size 8x8 --out @missing/a.png", 1, "cannot write '@missing/a.png': No such file or directory"},
      {"melody --from 2,2 --to 3,3 --out @folder.mid", 1, "cannot write '@folder.mid': Is a directory"},
      {"render --size 64x64 --out @old.bmp", 1, "cannot write '@old.bmp': File too large", RLIMIT_FSIZE, 4096},
      {"melody --from 2,2 --to 3,3 --out @old.mid", 1, "cannot write '@old.mid': File too large", RLIMIT_FSIZE, 32},
      // The disk stays full from here on.
      {"render --size 64x64 --out @old.bmp", 1, "cannot write '@old.bmp': No space left on device", kFullDisk, 4096},
#if !defined(__SANITIZE_ADDRESS__)  // which needs more address space than this
      {"render --size 30000x30000 --draft --out @a.bmp", 1, "not enough memory for a 30000\u00D730000 picture",
       RLIMIT_AS, 1 << 30},
#endif
  };
  const auto before = Contents(output);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    if (test.resource == kFullDisk && !disk.Mounted()) continue;
    if (test.resource == kFullDisk) disk.FillLeaving(test.limit);
    const std::vector<std::string> arguments = Words(test.line, output);
    const auto ended = Run(arguments, test.resource, test.limit);
    EXPECT_EQ(ended.exitCode, test.exitCode);
    if (test.exitCode == 0) {
      EXPECT_EQ(ended.errors, "");
      EXPECT_TRUE(fs::remove(arguments.back()));
    } else {
      EXPECT_EQ(ended.errors.rfind("quillory " + arguments.front() + ": ", 0), 0u) << ended.errors;
      EXPECT_EQ(ended.errors.find('\n'), ended.errors.size() - 1) << ended.errors;
      EXPECT_NE(ended.errors.find(Expand(test.mentions, output)), std::string::npos) << ended.errors;
    }
    EXPECT_EQ(Contents(output), before);
  }
  EXPECT_EQ(InProgramFolder(), 2) << "only the executables";
}

// Ctrl-C or a killed batch job in the middle of a song: the temporary file
// and the track folder go, the older song stays.
TEST_F(CommandLineTest, AnInterruptedSongLeavesNothingBehind) {
  const auto before = Contents(output);
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    quillory.Start(
        Words("melody --from -0.5,0 --to 0,0.1 --max-iter 2147483647 --measures 100 --out @old.mid", output));
    // Interrupt only once the new song is being written beside the old one.
    for (int wait = 0; wait < 200 && Contents(output).size() == before.size(); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Contents(output).size(), before.size() + 1) << "the song never started";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(static_cast<pid_t>(quillory.processId()), signalNumber);
    EXPECT_EQ(quillory.Wait().signal, signalNumber);
    EXPECT_EQ(Contents(output), before);
    EXPECT_EQ(InProgramFolder(), 2) << "only the executables";
  }
}

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
  // Rows of width 333 end in a padding byte, those of 40 in none; the tall
  // picture takes several writes; the centre alone keeps the starting width,
  // and values may be joined to their options.
  const std::tuple<const char*, int, int, void (*)(FractalRenderer&), bool> cases[] = {
      {"render --size 333x1200 --out @a.BMP", 333, 1200, nullptr, false},
      {"render --size=40x30 --center=-1,0 --engine=reference --out @a.bmp", 40, 30,
       [](FractalRenderer& renderer) { renderer.WindowSet(-1, 0, 4); }, false},
      {"render --size 90x60 --julia -0.8,0.156 --center 0.1,-0.2 --view-width 2.5 --max-iter 500 --draft --out @a.png",
       90, 60, Julia, true}};
  for (const auto& [line, width, height, configure, draft] : cases) {
    SCOPED_TRACE(line);
    const std::vector<std::string> arguments = Words(line, root.Path());
    ASSERT_EQ(Run(arguments).exitCode, 0);
    const QImage expected = Expected(width, height, configure, draft);
    const QString written = QString::fromStdString(arguments.back());
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
    SafeFileWriter file(root.File("surface.bmp"));
    ASSERT_TRUE(file.Open());
    BitmapFileSurface surface(width, height, file);
    ASSERT_TRUE(surface.Start());
    Draw(surface, width, height);
    ASSERT_TRUE(file.Commit(surface.FileSize())) << file.Error();
    EXPECT_TRUE(ReadBytes(root.File("surface.bmp")) == std::vector<std::uint8_t>(expected.begin(), expected.end()))
        << width << "x" << height;
  }
}

// 40 orbit notes of a quarter second each at 120 beats per minute, written
// as the four opening events, a note on and off per note and the end; 2
// measures of melody, 17 positions of an eighth of a second, the last note
// held to the end, and over a Julia set other notes. Played, or saved as
// audio, the song lasts at least as long.
TEST_F(CommandLineTest, SongsAndTheirAudioLastAsLongAsTheirNotes) {
  const auto run = [this](const std::string& line) { return Run(Words(line, root.Path())); };
  ASSERT_EQ(run("orbit --point -0.1,0.1 --notes 40 --out @orbit.mid").exitCode, 0);
  EXPECT_EQ(run("midi-info @orbit.mid").output,
            "Format: 1\nTracks: 1\nTicks per quarter note: 64\nTrack 1: 85 events \"Track 1\"\n"
            "Tempo: 120 beats per minute\nDuration: 10 seconds\n");
  ASSERT_EQ(run("melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @melody.mid").exitCode, 0);
  const std::string melody = run("midi-info @melody.mid").output;
  EXPECT_TRUE(melody.ends_with("\nDuration: 2.125 seconds\n")) << melody;
  ASSERT_EQ(run("melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --julia -0.4,0.6 --out @julia.mid").exitCode,
            0);
  EXPECT_NE(ReadBytes(root.File("julia.mid")), ReadBytes(root.File("melody.mid"))) << "--julia was ignored";
  for (const char* line : {"play @melody.mid --out @song.wav",
                           "melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @song.wav"}) {
    const auto saved = run(line);
    EXPECT_EQ(std::tuple(saved.exitCode, saved.errors), std::tuple(0, "")) << line << ": no progress line";
    const SndfileHandle audio(root.File("song.wav"));
    EXPECT_EQ(audio.format() & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV) << line;
    EXPECT_GE(static_cast<double>(audio.frames()) / audio.samplerate(), 2.125) << line;
  }
}

}  // namespace
